#include "staged_output.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>

#include "interrupt.h"

namespace navaid::cli {

namespace {

using Kind = io::OutputStatus::Kind;

const char* KindText(Kind kind) {
    switch (kind) {
        case Kind::CharacterDevice:
            return "a character device";
        case Kind::BlockDevice:
            return "a block device";
        case Kind::Fifo:
            return "a FIFO";
        case Kind::Socket:
            return "a socket";
        default:
            return "not a regular file";
    }
}

// Where the name's last part starts.
std::size_t NameStart(const std::string& path) { return path.size() - io::NameOf(path).size(); }

}  // namespace

std::string StagedOutput::TemporaryName(const std::string& target) {
    // Two runs writing the same target at once get temporary files of their own.
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", std::random_device{}());
    constexpr std::size_t kSuffix = 13, kShortName = 64;
    const std::size_t start = NameStart(target), name = target.size() - start;
    // A file system that takes the target's name takes one as long: a long
    // name gives up its end to the suffix, never inside a UTF-8 character.
    std::size_t keep = std::min(name, std::max(name, kShortName) - kSuffix);
    while (keep > 0 && keep < name && (target[start + keep] & 0xC0) == 0x80) --keep;
    return target.substr(0, start + keep) + suffix;
}

StagedOutput::StagedOutput(std::string target)
    : target_(std::move(target)), real_(target_), temporary_(TemporaryName(target_)) {}

StagedOutput::~StagedOutput() {
    if (committed_ || !direct_.empty()) return;
    io::RemoveFile(temporary_);
    ForgetOnInterrupt(temporary_);
}

Outcome StagedOutput::Check() {
    if (ToStandardOutput()) return Directly(1);
    io::OutputTarget resolved;
    if (Outcome followed = io::ResolveOutput(target_, resolved); !followed) return followed;
    if (resolved.descriptor >= 0) return Directly(resolved.descriptor);
    // A link stays: the file it leads to is the one replaced, from beside it.
    real_ = resolved.path;
    temporary_ = TemporaryName(real_);
    if (Outcome queried = io::QueryOutput(real_, earlier_); !queried) return InFolder(queried);
    if (earlier_.kind == Kind::Folder) return Outcome::Failure(target_, io::ErrorText(EISDIR));
    if (earlier_.kind == Kind::Socket)
        return Outcome::Failure(target_, "is a socket, which cannot be opened as a file");
    if (earlier_.kind != Kind::Missing && earlier_.kind != Kind::Regular) {
        direct_ = KindText(earlier_.kind);
        return Outcome::Success();
    }
    RemoveOnInterrupt(temporary_);
    if (earlier_.kind == Kind::Missing) return Outcome::Success();
    // A write-protected earlier output is the user's: refused, it stays, even
    // for root, whom the system would let write it.
    if ((earlier_.mode & 0222) == 0) return Outcome::Failure(target_, io::ErrorText(EACCES));
    io::File existing;
    if (Outcome opened = existing.Open(real_, io::OpenMode::Update); !opened) return Named(opened);
    replaces_ = true;
    return existing.Close();
}

Outcome StagedOutput::Directly(int descriptor) {
    descriptor_ = descriptor;
    direct_ = descriptor == 1 ? std::string(io::kStandardOutputName)
                              : "descriptor " + std::to_string(descriptor);
    return Outcome::Success();
}

Outcome StagedOutput::Open(io::File& file) const {
    if (descriptor_ == 1) return file.OpenStandardOutput();
    if (descriptor_ >= 0) return file.OpenDescriptor(descriptor_, target_);
    return Named(file.Open(Path(), io::OpenMode::WriteTruncate));
}

Outcome StagedOutput::Commit() {
    if (!direct_.empty()) return Outcome::Success();
    Outcome result = replaces_ ? io::KeepOwnership(temporary_, earlier_) : Outcome::Success();
    // Flushed before the move: a crash must not leave the name on an empty file.
    if (result) result = io::FlushFile(temporary_);
    if (result) result = MoveHeld(temporary_, [&] { return io::MoveIntoPlace(temporary_, real_); });
    if (!result) return Named(result);
    committed_ = true;
    if (Outcome flushed = io::FlushFolder(real_); !flushed) {
        return Outcome::Failure(target_, flushed.reason +
                                             ", flushing its folder to the disk (the new file is "
                                             "in place)");
    }
    return Outcome::Success();
}

Outcome StagedOutput::InFolder(Outcome outcome) const {
    if (outcome.ok) return outcome;
    for (int error : {EACCES, EPERM, EROFS}) {
        if (outcome.reason != io::ErrorText(error)) continue;
        outcome.reason +=
            " (the folder where " + real_.substr(NameStart(real_)) + " is written)";
        outcome.file = io::FolderOf(real_);
    }
    return outcome;
}

Outcome StagedOutput::Named(Outcome outcome) const {
    if (outcome.file == real_) outcome.file = target_;
    if (outcome.file != temporary_ || !direct_.empty()) return outcome;
    // The temporary file is new: a refusal to make it is the folder's.
    outcome.file = target_;
    return InFolder(outcome);
}

std::string StagedOutput::Wrote() const {
    if (ToStandardOutput()) return "wrote standard output";
    if (!direct_.empty())
        return "wrote " + ShownName(target_) + " (" + direct_ + ", written directly)";
    return "wrote " + ShownName(target_) + (replaces_ ? " (replacing the earlier one)" : "");
}

std::ostream& StagedOutput::Report(const Console& console) const {
    return (direct_.empty() ? console.out : console.err) << Wrote();
}

}  // namespace navaid::cli
