// What a command reads navaids from: a database of the family or any file an
// import reads, told apart by content whatever the name, and read once from
// its first byte, so that a pipe or standard input ("-") serves as a file does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "interchange.h"
#include "line_reader.h"

namespace navaid {

// Takes each navaid as a record of the family, with the kUnstated... bits
// of the fields its input does not state; a failure ends the read.
using RecordSink = std::function<Outcome(std::string_view record, std::uint8_t unstated)>;

class NavaidSource {
public:
    // Opens `path` ("-": standard input) and tells what it holds: a database
    // of `family` (its first records' type blocks and numbers are the
    // family's), or a format by its first lines. A database of the other
    // family, or a file of no format, is refused.
    Outcome Open(const std::string& path, Family family);
    const std::string& Name() const { return lines_.Name(); }
    // The import format; null for a database of the family.
    const Format* ImportFormat() const { return format_; }

    // Hands each navaid `filter` keeps to `sink`, in the input's order, and
    // counts them in `navaids`. A database's records are checked as they
    // come: one that is not of the family refuses the input (or is passed
    // over with the filter's skipInvalid), and so does a piece after the last.
    Outcome Read(const ImportFilter& filter, const RecordSink& sink, ImportTally& tally,
                 std::uint64_t& navaids);
    Outcome Close() { return lines_.Close(); }

private:
    Outcome ReadDatabase(const ImportFilter& filter, const RecordSink& sink, ImportTally& tally,
                         std::uint64_t& navaids);

    LineReader lines_;
    Family family_ = Family::Vor;
    const Format* format_ = nullptr;
};

// Why a record cannot be one of the family's (an undefined type block, a
// number that is not finite or a position out of range); empty when it can.
std::string RecordFault(Family family, const std::uint8_t* record);

}  // namespace navaid
