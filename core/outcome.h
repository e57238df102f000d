// Result of an operation: success (perhaps with a warning), or which file
// failed, where in it, and why, and of what kind the failure is.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

namespace navaid {

struct Outcome {
    // A file that could not be read, written or understood; or a request
    // that is wrong in itself (a bad value, an index past the end), refused
    // before anything was opened.
    enum class Kind { File, Usage };

    bool ok = true;
    std::string file;      // the file the failure concerns (empty when not about a file)
    std::string reason;    // what the operating system (or the rule that refused) said
    std::size_t line = 0;  // the line of the file it concerns, counting from 1; 0 for none
    Kind kind = Kind::File;

    static Outcome Success() { return {}; }
    static Outcome Failure(std::string file, std::string reason) {
        return Outcome{false, std::move(file), std::move(reason)};
    }
    // A failure at a line of a text file.
    static Outcome FailureAt(std::string file, std::size_t line, std::string reason) {
        return Outcome{false, std::move(file), std::move(reason), line};
    }
    static Outcome Usage(std::string reason) {
        return Outcome{false, {}, std::move(reason), 0, Kind::Usage};
    }
    // Succeeded, but the user must still be told something about a file.
    static Outcome Warning(std::string file, std::string reason) {
        return Outcome{true, std::move(file), std::move(reason)};
    }
    explicit operator bool() const { return ok; }
    bool HasWarning() const { return ok && !reason.empty(); }

    // "<file>:<line>: <reason>", without the parts that are not known.
    std::string Message() const {
        std::string text = file;
        if (line > 0) {
            text += ':';
            text += std::to_string(line);
        }
        if (text.empty()) return reason;
        text += ": ";
        text += reason;
        return text;
    }
};

}  // namespace navaid
