// An output written beside its target and moved into place when complete, so
// that a failed or refused run leaves whatever stood at the target as it was,
// and no temporary file. A target that is no regular file (standard output
// as "-", a device, a FIFO) is written directly instead, as cp writes one.
#pragma once

#include <ostream>
#include <string>

#include "command.h"
#include "file_io.h"
#include "outcome.h"

namespace navaid::cli {

class StagedOutput {
public:
    explicit StagedOutput(std::string target);
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;
    // Removes the temporary file unless it was moved into place.
    ~StagedOutput();

    // Refuses a target that is a folder, a socket or a file that cannot be
    // written (it stays as it is), follows its links, and learns what stands
    // there: an earlier output, whose mode the new one takes, or something
    // written directly.
    Outcome Check();
    // Where the output is written: a name of its own in the target's folder,
    // or the target itself when written directly.
    const std::string& Path() const { return direct_.empty() ? temporary_ : target_; }
    // Opens Path() for writing, or the descriptor the target names.
    Outcome Open(io::File& file) const;
    // Whether the output goes straight to the target, which sees every byte.
    bool Direct() const { return !direct_.empty(); }
    // Whether the output is the process's standard output.
    bool ToStandardOutput() const { return target_ == io::kStandardInputPath; }
    // Gives the complete file the earlier one's mode, flushes it to the disk,
    // moves it into place and flushes the folder; the temporary file goes
    // when that fails before the move.
    Outcome Commit();
    // Check, `write` to Path(), then Commit; failures name the target.
    template <typename Writer>
    Outcome Write(Writer&& write) {
        Outcome result = Check();
        if (result) result = write(Path());
        if (result) result = Commit();
        return Named(result);
    }
    // A failure that names the temporary file, told of the target instead, or
    // of its folder where that refused the file.
    Outcome Named(Outcome outcome) const;
    // "wrote TARGET", saying when an earlier file was replaced or the target
    // written directly.
    std::string Wrote() const;
    // Starts the command's last line with Wrote(): on standard error for a
    // direct write, which may be standard output or read from it.
    std::ostream& Report(const Console& console) const;

    // The temporary name for `target`: its name, cut where needed so that it
    // is no longer than the target's or 64 bytes, then ".XXXXXXXX.tmp".
    static std::string TemporaryName(const std::string& target);

private:
    // A refusal of the folder (no file may be made there), named as the folder's.
    Outcome InFolder(Outcome outcome) const;
    // The target written straight to the process's `descriptor`.
    Outcome Directly(int descriptor);

    std::string target_, real_, temporary_;  // as given, its links followed, beside that
    int descriptor_ = -1;
    std::string direct_;  // what the target is when written directly, else empty
    io::OutputStatus earlier_;
    bool replaces_ = false, committed_ = false;
};

}  // namespace navaid::cli
