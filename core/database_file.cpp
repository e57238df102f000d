#include "database_file.h"

namespace navaid {

Outcome DatabaseFile::Open(const std::string& path, Family family) {
    path_ = path;
    family_ = family;
    bytes_ = 0;
    started_ = false;
    if (Outcome opened = file_.Open(path, io::OpenMode::Read); !opened) return opened;
    return file_.Size(bytes_);
}

Outcome DatabaseFile::Start(io::File*& file) {
    file = &file_;
    if (!started_) {
        started_ = true;
        return Outcome::Success();
    }
    return file_.Rewind();
}

Outcome DatabaseFile::Unchanged(Outcome result) {
    if (!result) return result;
    std::uint64_t now = 0;
    if (Outcome sized = file_.Size(now); !sized) return sized;
    if (now != bytes_) return Outcome::Failure(path_, "it changed while it was read");
    return result;
}

Outcome DatabaseFile::StartReader(RecordReader& reader) {
    io::File* file = nullptr;
    if (Outcome started = Start(file); !started) return started;
    reader.Attach(*file, RecordSize(family_));
    return Outcome::Success();
}

Outcome DatabaseFile::ForEach(const RecordVisitor& visit, std::string* trailing) {
    RecordReader reader;
    Outcome result = StartReader(reader);
    const std::uint8_t* record = nullptr;
    while (result && (result = reader.Next(record)) && record) visit(reader.Index(), record);
    if (result && trailing) trailing->assign(reader.Trailing());
    return result;
}

Outcome DatabaseFile::ForEachLabel(const LabelVisitor& visit) {
    RecordReader reader;
    Outcome result = StartReader(reader);
    return result ? navaid::ForEachLabel(reader, visit) : result;
}

}  // namespace navaid
