#include "output_file.h"

namespace navaid::cli {

Outcome OutputFile::Open(const std::string& path) {
    staged_.emplace(path);
    if (Outcome checked = staged_->Check(); !checked) return checked;
    return staged_->Open(file_);
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
    Outcome closed = file_.Close();
    if (written_) written_ = closed;
    if (written_) written_ = staged_->Commit();
    return staged_->Named(written_);
}

void OutputFile::Discard() {
    file_.Close();
    staged_.reset();
}

}  // namespace navaid::cli
