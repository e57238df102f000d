// Result of an operation: success (perhaps with a warning), or which file
// failed, where in it, and why, and of what kind the failure is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace navaid {

// A file name as a line of output shows it: its control bytes as \xNN, so
// that no name can end a line early or drive the terminal.
inline std::string ShownName(std::string_view name) {
    static const char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        shown += "\\x";
        shown += kHex[byte >> 4];
        shown += kHex[byte & 15];
    }
    return shown;
}

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
    // The field of a navaid or the setting it concerns, as the library names
    // it ("lat", "type", "version"); the caller says where that came from.
    std::string field;

    static Outcome Success() { return {}; }
    static Outcome Failure(std::string file, std::string reason) {
        return Make(false, std::move(file), std::move(reason), 0, Kind::File, {});
    }
    // A failure at a line of a text file.
    static Outcome FailureAt(std::string file, std::size_t line, std::string reason) {
        return Make(false, std::move(file), std::move(reason), line, Kind::File, {});
    }
    static Outcome Usage(std::string reason) {
        return Make(false, {}, std::move(reason), 0, Kind::Usage, {});
    }
    // A value refused by the rule for its field or setting.
    static Outcome Refused(std::string field, std::string reason) {
        return Make(false, {}, std::move(reason), 0, Kind::Usage, std::move(field));
    }
    // Succeeded, but the user must still be told something about a file.
    static Outcome Warning(std::string file, std::string reason) {
        return Make(true, std::move(file), std::move(reason), 0, Kind::File, {});
    }
    explicit operator bool() const { return ok; }
    bool HasWarning() const { return ok && !reason.empty(); }

    // "<file>:<line>: <reason>", without the parts that are not known.
    std::string Message() const {
        std::string text = ShownName(file);
        if (line > 0) {
            text += ':';
            text += std::to_string(line);
        }
        if (text.empty()) return reason;
        text += ": ";
        text += reason;
        return text;
    }

private:
    static Outcome Make(bool ok, std::string file, std::string reason, std::size_t line, Kind kind,
                        std::string field) {
        Outcome outcome;
        outcome.ok = ok;
        outcome.file = std::move(file);
        outcome.reason = std::move(reason);
        outcome.line = line;
        outcome.kind = kind;
        outcome.field = std::move(field);
        return outcome;
    }
};

}  // namespace navaid
