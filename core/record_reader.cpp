#include "record_reader.h"

#include <algorithm>
#include <cstring>

#include "records.h"

namespace navaid {

namespace {
// Records per read: large enough that the seam's calls cost nothing beside
// the copying, small enough that memory stays flat.
constexpr std::size_t kRecordsPerChunk = 4096;
}  // namespace

void RecordReader::Reset(std::size_t recordSize) {
    recordSize_ = recordSize;
    // Whole records only, so a record never straddles the buffer's end.
    buffer_.assign(recordSize_ * kRecordsPerChunk, 0);
    begin_ = end_ = 0;
    atEnd_ = false;
    count_ = 0;
}

Outcome RecordReader::Open(const std::string& path, std::size_t recordSize, io::OpenMode mode) {
    Reset(recordSize);
    file_ = &own_;
    return own_.Open(path, mode);
}

void RecordReader::Attach(io::File& file, std::size_t recordSize) {
    Reset(recordSize);
    file_ = &file;
}

Outcome RecordReader::Next(const std::uint8_t*& record) {
    record = nullptr;
    while (end_ - begin_ < recordSize_ && !atEnd_) {
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        std::size_t got = 0;
        Outcome read = file_->Read(buffer_.data() + end_, buffer_.size() - end_, got);
        if (!read) return read;
        if (got == 0) atEnd_ = true;
        end_ += got;
    }
    if (end_ - begin_ < recordSize_) return Outcome::Success();
    record = buffer_.data() + begin_;
    begin_ += recordSize_;
    ++count_;
    return Outcome::Success();
}

std::string_view RecordReader::Trailing() const {
    return {reinterpret_cast<const char*>(buffer_.data()) + begin_, end_ - begin_};
}

Outcome ForEachRecord(const std::string& path, std::size_t recordSize, const RecordVisitor& visit,
                      std::string* trailing, io::OpenMode mode) {
    RecordReader reader;
    Outcome result = reader.Open(path, recordSize, mode);
    const std::uint8_t* record = nullptr;
    while (result && (result = reader.Next(record)) && record) visit(reader.Index(), record);
    if (result && trailing) trailing->assign(reader.Trailing());
    if (Outcome closed = reader.Close(); result && !closed) result = closed;
    return result;
}

Outcome ForEachLabel(RecordReader& reader, const LabelVisitor& visit) {
    // A label ends before its first zero byte.
    auto label = [](const void* bytes) {
        const char* text = static_cast<const char*>(bytes);
        return std::string_view(text, std::find(text, text + kLabelSize, '\0') - text);
    };
    Outcome result;
    const std::uint8_t* record = nullptr;
    while ((result = reader.Next(record)) && record) visit(reader.Index(), label(record));
    // A trailing piece long enough for a label gives one too.
    if (result && reader.Trailing().size() >= kLabelSize)
        visit(reader.Count(), label(reader.Trailing().data()));
    return result;
}

Outcome ForEachLabel(const std::string& path, std::size_t recordSize, const LabelVisitor& visit,
                     io::OpenMode mode) {
    RecordReader reader;
    Outcome result = reader.Open(path, recordSize, mode);
    if (result) result = ForEachLabel(reader, visit);
    if (Outcome closed = reader.Close(); result && !closed) result = closed;
    return result;
}

}  // namespace navaid
