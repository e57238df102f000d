#include "database_file.h"

#include <algorithm>

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

Outcome DatabaseFile::OtherFamilyLook(std::string& look) {
    look.clear();
    io::File* file = nullptr;
    if (Outcome started = Start(file); !started) return started;
    std::string sample(std::min<std::uint64_t>(bytes_, kFamilySampleBytes), '\0');
    std::size_t filled = 0, got = 0;
    do {
        if (Outcome read = file->Read(sample.data() + filled, sample.size() - filled, got); !read)
            return read;
        filled += got;
    } while (got != 0 && filled < sample.size());
    sample.resize(filled);
    look = navaid::OtherFamilyLook(family_, sample);
    return Outcome::Success();
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
