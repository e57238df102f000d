// A database opened once for a whole run: every read of its records, and
// every copy of it into a working copy, reads the file it opened, so a file
// put in its place by name meanwhile cannot mix with it.
#pragma once

#include <cstdint>
#include <string>

#include "file_io.h"
#include "outcome.h"
#include "record_reader.h"
#include "records.h"

namespace navaid {

class DatabaseFile {
public:
    // Opens an existing file (a missing one is an error) and learns its size.
    Outcome Open(const std::string& path, Family family);
    const std::string& Path() const { return path_; }
    Family RecordFamily() const { return family_; }
    std::uint64_t Bytes() const { return bytes_; }
    std::uint64_t Count() const { return bytes_ / RecordSize(family_); }
    // Why its first records look like the other family's (OtherFamilyLook),
    // or empty; reads a bounded sample, so a large database pays no second pass.
    Outcome OtherFamilyLook(std::string& look);

    // Every complete record from the first, in file order; `trailing`, when
    // given, gets the piece after the last one.
    Outcome ForEach(const RecordVisitor& visit, std::string* trailing = nullptr);
    // Every label, as ForEachLabel gives them.
    Outcome ForEachLabel(const LabelVisitor& visit);
    // ForEach as a source for the jobs that read in passes.
    RecordSource Records() {
        return [this](const RecordVisitor& visit) { return ForEach(visit); };
    }
    // The open file at its first byte, for a copy that reads it whole.
    Outcome Start(io::File*& file);
    // `result`, or a failure when the file's size is no longer the one it had
    // when opened: a file written to while a run copied it would give a copy
    // of neither.
    Outcome Unchanged(Outcome result);
    // Runs `copy` on the open file at its first byte, failing it when the
    // file changed meanwhile.
    template <typename Copy>
    Outcome CopyWith(Copy&& copy) {
        io::File* file = nullptr;
        Outcome result = Start(file);
        if (result) result = copy(*file);
        return Unchanged(result);
    }
    Outcome Close() { return file_.Close(); }

private:
    // A reader of the records from the first, through the open file.
    Outcome StartReader(RecordReader& reader);

    io::File file_;
    std::string path_;
    Family family_ = Family::Vor;
    std::uint64_t bytes_ = 0;
    bool started_ = false;  // read from since it was opened: a second read rewinds
};

}  // namespace navaid
