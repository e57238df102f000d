#include "output_file.h"

namespace navaid::cli {

Outcome OutputFile::Check(const std::string& path) {
    staged_.emplace(path);
    return staged_->Check();
}

Outcome OutputFile::Open(const std::string& path) {
    if (!staged_)
        if (Outcome checked = Check(path); !checked) return checked;
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
