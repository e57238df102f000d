// An output written beside its target and moved into place when complete, so
// that a failed or refused run leaves whatever stood at the target as it was,
// and no temporary file.
#pragma once

#include <string>

#include "outcome.h"

namespace navaid::cli {

class StagedOutput {
public:
    explicit StagedOutput(std::string target);
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;
    // Removes the temporary file unless it was moved into place.
    ~StagedOutput();

    // Refuses a target that is a folder or a file that cannot be written (it
    // stays as it is), and learns whether an earlier output stands there.
    Outcome Check();
    // Where the output is written: a name of its own in the target's folder.
    const std::string& Path() const { return temporary_; }
    // Moves the complete file into place, or removes it when that fails.
    Outcome Commit();
    // Check, `write` to Path(), then Commit; failures name the target.
    template <typename Writer>
    Outcome Write(Writer&& write) {
        Outcome result = Check();
        if (result) result = write(temporary_);
        if (result) result = Commit();
        return Named(result);
    }
    // A failure that names the temporary file, told of the target instead.
    Outcome Named(Outcome outcome) const;
    // "wrote TARGET" and, when one stood there, that the earlier file was replaced.
    std::string Wrote() const;

private:
    std::string target_, temporary_;
    bool replaces_ = false, committed_ = false;
};

}  // namespace navaid::cli
