// Result of a core file operation: success (perhaps with a warning), or which
// file failed and why.
#pragma once

#include <string>
#include <utility>

namespace navaid {

struct Outcome {
    bool ok = true;
    std::string file;    // the file the failure concerns (empty when not about a file)
    std::string reason;  // what the operating system (or the rule that refused) said

    static Outcome Success() { return {}; }
    static Outcome Failure(std::string file, std::string reason) {
        return Outcome{false, std::move(file), std::move(reason)};
    }
    // Succeeded, but the user must still be told something about a file.
    static Outcome Warning(std::string file, std::string reason) {
        return Outcome{true, std::move(file), std::move(reason)};
    }
    explicit operator bool() const { return ok; }
    bool HasWarning() const { return ok && !reason.empty(); }

    // "<file>: <reason>", or just the reason when no file is concerned.
    std::string Message() const { return file.empty() ? reason : file + ": " + reason; }
};

}  // namespace navaid
