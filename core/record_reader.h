// A database read one fixed-size record at a time, in chunks through the
// file seam, so a command's memory does not grow with the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "outcome.h"

namespace navaid {

class RecordReader {
public:
    // Opens `path` for records of `recordSize` bytes. With ReadCreate a
    // missing file is created empty, as every source of the program is.
    Outcome Open(const std::string& path, std::size_t recordSize,
                 io::OpenMode mode = io::OpenMode::ReadCreate);
    // Reads `file`, open elsewhere, from where it stands; Close leaves it open.
    void Attach(io::File& file, std::size_t recordSize);
    // Sets `record` to the next complete record, valid until the next call,
    // or to null at the end of the complete records; a trailing piece shorter
    // than a record is then in Trailing().
    Outcome Next(const std::uint8_t*& record);
    // Complete records that the next calls of Next give without reading.
    std::size_t Buffered() const { return (end_ - begin_) / recordSize_; }
    // The next of them, when Buffered() is not 0: no read, so no failure.
    const std::uint8_t* NextBuffered() {
        const std::uint8_t* record = buffer_.data() + begin_;
        begin_ += recordSize_;
        ++count_;
        return record;
    }
    std::uint64_t Index() const { return count_ - 1; }  // of the record Next gave last
    std::uint64_t Count() const { return count_; }      // complete records given so far
    std::string_view Trailing() const;
    Outcome Close() { return file_ == &own_ ? own_.Close() : Outcome::Success(); }

private:
    void Reset(std::size_t recordSize);

    io::File own_;
    io::File* file_ = &own_;
    std::size_t recordSize_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    std::uint64_t count_ = 0;
};

using RecordVisitor = std::function<void(std::uint64_t index, const std::uint8_t* record)>;

// A database's records, each call one read from its first record in file
// order, so that a job in passes reads it once per pass without knowing
// where it lives or how it was opened.
using RecordSource = std::function<Outcome(const RecordVisitor& visit)>;

// Reads the file's complete records in order, calling `visit` with each
// record's index and bytes; `trailing`, when given, receives the piece after
// the last complete record. A failed open, read or close is returned.
Outcome ForEachRecord(const std::string& path, std::size_t recordSize, const RecordVisitor& visit,
                      std::string* trailing = nullptr,
                      io::OpenMode mode = io::OpenMode::ReadCreate);

// Every label in file order, as ListRecordLabels gives them, one at a time.
using LabelVisitor = std::function<void(std::uint64_t index, std::string_view label)>;
Outcome ForEachLabel(const std::string& path, std::size_t recordSize, const LabelVisitor& visit,
                     io::OpenMode mode = io::OpenMode::ReadCreate);
// The same from a reader opened or attached elsewhere, from where it stands.
Outcome ForEachLabel(RecordReader& reader, const LabelVisitor& visit);

}  // namespace navaid
