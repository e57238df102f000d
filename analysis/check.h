// The findings of 'navaid check', from two reads of a database's bytes as they
// stream past: the first keeps what the duplicate search and the file's own
// findings need, the second reports each record's findings in index order.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "outcome.h"
#include "record_job.h"
#include "records.h"

namespace navaid {

struct Finding {
    long long index;  // record index; -1 for the file as a whole
    bool warning;     // a warning may be right for some real stations
    std::string text;
};

using FindingSink = std::function<void(const Finding&)>;

class DatabaseChecker {
public:
    explicit DatabaseChecker(Family family);
    // The first read: the file's bytes, in order, in pieces of any size.
    void Feed(const std::uint8_t* data, std::size_t size);
    // Ends the first read: finds the duplicates and reports the file's own findings.
    void EndFirstRead(const FindingSink& report);
    // The second read of the same bytes, in pieces of any size: reports each
    // record's findings as its bytes are complete.
    void Reread(const std::uint8_t* data, std::size_t size, const FindingSink& report);
    // Reports the trailing piece, last. False when the second read did not
    // bring as many bytes as the first: the file changed between them.
    bool EndSecondRead(const FindingSink& report);
    std::uint64_t RecordCount() const { return own_.records; }

private:
    struct Stride {
        std::size_t size;
        std::vector<std::uint8_t> pending;  // bytes of the record being assembled
        std::uint64_t records = 0;
        std::uint64_t validTypes = 0;
    };
    using Key = std::array<char, 11>;  // type code, then the trimmed upper-case ID
    // 28 bytes, kept for every placed record until the search: the index is
    // split so that no padding is paid for.
    struct Position {
        Key key;
        std::uint8_t indexHigh;
        float lat, lon, frequency;
        std::uint32_t indexLow;
        std::uint64_t Index() const { return std::uint64_t{indexHigh} << 32 | indexLow; }
    };
    // 12 bytes for each record with an earlier one near it, or a station whose
    // DME it repeats, until it is reported.
    struct Duplicate {
        std::uint32_t indexLow, earlierLow;
        std::uint8_t indexHigh, earlierHigh;
        std::uint8_t tenths;  // the distance in tenths of a NM, as it is printed
        bool repeats;         // a DME that repeats the DME of the station "earlier"
        std::uint64_t Index() const { return std::uint64_t{indexHigh} << 32 | indexLow; }
        std::uint64_t Earlier() const { return std::uint64_t{earlierHigh} << 32 | earlierLow; }
    };
    using Visit = void (DatabaseChecker::*)(const std::uint8_t* record);
    void FeedStride(Stride& stride, const std::uint8_t* data, std::size_t size, Visit visit);
    void CountOther(const std::uint8_t* record);
    void KeepPosition(const std::uint8_t* record);
    void CheckRecord(const std::uint8_t* record);
    void CheckTypeAndAltitude(std::uint64_t index, const std::uint8_t* record,
                              const DecodedRecord& r);
    void CheckNumbers(std::uint64_t index, const DecodedRecord& r);
    void CheckText(std::uint64_t index, const char* what, const std::uint8_t* bytes,
                   std::size_t size);
    void Add(std::uint64_t index, bool warning, std::string text);
    void FindDuplicates();
    void FindNearestEarlier(const std::deque<Position>& points);
    void FindRepeatedDmes();
    const Position* StationRepeated(const Position& dme) const;
    void KeepDuplicate(std::uint64_t index, std::uint64_t earlier, double nm, bool repeats = false);
    void ReportDuplicate(const Duplicate& found, const std::uint8_t* record,
                         const DecodedRecord& r);

    Family family_;
    Stride own_;
    Stride other_;
    Stride again_;  // the second read
    std::uint64_t length_ = 0;
    std::uint64_t lengthAgain_ = 0;
    const FindingSink* report_ = nullptr;
    // Deques grow without moving what they hold, so their peak is their size;
    // the search takes positions off the front as it puts duplicates on.
    std::deque<Position> positions_;
    std::deque<Duplicate> duplicates_;
};

struct CheckTotals {
    std::uint64_t records = 0, errors = 0, warnings = 0;
};

// The whole check of a database in two reads, each finding to `report` as
// it is found, in index order; a database that changed between the reads
// is a failure.
Outcome CheckDatabase(Family family, const DatabaseInput& database, const FindingSink& report,
                      CheckTotals& totals);

}  // namespace navaid
