#include "output_file.h"

namespace navaid::cli {

namespace {

Outcome WritesOver(const std::string& path, const std::string& input, bool& same) {
    io::OutputTarget target;
    if (Outcome resolved = io::ResolveOutput(path, target); !resolved) return resolved;
    if (target.descriptor >= 0) return Outcome::Success();
    if (Outcome queried = io::SameFile(target.path, input, same); !queried || same) return queried;
    if (io::NameOf(target.path) != io::NameOf(input)) return Outcome::Success();
    return io::SameFile(io::FolderOf(target.path), io::FolderOf(input), same);
}

}  // namespace

Outcome RefuseRunFiles(std::string_view label, const std::string& path,
                       const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        bool same = false;
        if (file == io::kStandardInputPath) continue;
        if (Outcome checked = WritesOver(path, file, same); !checked) return checked;
        if (same)
            return Outcome::Usage(std::string(label) + ": " + ShownName(path) + " is " +
                                  ShownName(file) + ", which the run reads or writes");
    }
    return Outcome::Success();
}

std::string OnStandardOutput(std::string_view what, std::string_view instead) {
    return "is standard output, where the " + std::string(what) +
           " would run into the other lines: name " + std::string(instead);
}

Outcome RefuseStandardOutput(std::string_view option, const std::string& path,
                             std::string_view what, std::string_view instead) {
    io::OutputTarget target;
    if (path != io::kStandardInputPath) {
        if (Outcome resolved = io::ResolveOutput(path, target); !resolved) return resolved;
        if (target.descriptor != 1) return Outcome::Success();
    }
    return Outcome::Usage("--" + std::string(option) + ": '" + path + "' " +
                          OnStandardOutput(what, instead));
}

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
