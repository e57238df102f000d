#include "staged_output.h"

#include <cerrno>
#include <cstdio>
#include <random>

#include "file_io.h"

namespace navaid::cli {

StagedOutput::StagedOutput(std::string target) : target_(std::move(target)) {
    // Two runs writing the same target at once get temporary files of their own.
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, ".%08x.tmp", std::random_device{}());
    temporary_ = target_ + suffix;
}

StagedOutput::~StagedOutput() {
    if (!committed_) io::RemoveFile(temporary_);
}

Outcome StagedOutput::Check() {
    io::File existing;
    Outcome opened = existing.Open(target_, io::OpenMode::Update);
    if (!opened) {
        if (opened.reason == io::ErrorText(ENOENT)) return Outcome::Success();
        return opened;
    }
    replaces_ = true;
    return existing.Close();
}

Outcome StagedOutput::Commit() {
    Outcome moved = io::MoveIntoPlace(temporary_, target_);
    committed_ = moved.ok;
    return moved;
}

Outcome StagedOutput::Named(Outcome outcome) const {
    if (outcome.file == temporary_) outcome.file = target_;
    return outcome;
}

std::string StagedOutput::Wrote() const {
    return "wrote " + target_ + (replaces_ ? " (replacing the earlier one)" : "");
}

}  // namespace navaid::cli
