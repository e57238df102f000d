#include "output_file.h"

namespace navaid::cli {

Outcome OutputFile::Open(const std::string& path) {
    Outcome opened = file_.Open(path, io::OpenMode::WriteTruncate);
    created_ = opened.ok;
    return opened;
}

void OutputFile::Write(std::string_view text) {
    if (!written_) return;
    pending_ += text;
    if (pending_.size() < kChunk) return;
    written_ = file_.Write(pending_.data(), pending_.size());
    pending_.clear();
}

Outcome OutputFile::Close() {
    if (written_ && !pending_.empty()) written_ = file_.Write(pending_.data(), pending_.size());
    pending_.clear();
    const std::string path = file_.Path();
    Outcome closed = file_.Close();
    if (written_) written_ = closed;
    // A partly written file would pass for a complete one.
    if (!written_ && created_) io::RemoveFile(path);
    created_ = false;
    return written_;
}

void OutputFile::Discard() {
    const std::string path = file_.Path();
    file_.Close();
    if (created_) io::RemoveFile(path);
    created_ = false;
}

}  // namespace navaid::cli
