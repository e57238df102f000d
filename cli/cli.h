// Shared pieces of the command-line tool: exit statuses, argument parsing,
// messages, and the commands' entry points.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "navaid_db.h"

namespace navaid::cli {

enum ExitStatus : int {
    kExitOk = 0,
    kExitFileError = 1,
    kExitUsage = 2,
    kExitFindings = 3,
};

// Where a command writes; tests pass string streams.
struct Console {
    std::ostream& out;
    std::ostream& err;
};

// A mistake in how the tool was called. Thrown by the parsing helpers and
// turned into exit status 2 with a hint to --help by RunCommand.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One option a command accepts; every option takes a value.
struct OptionSpec {
    std::string_view name;  // without the leading "--"
    bool required = false;
};

struct CommandLine {
    Family family = Family::Vor;
    std::vector<std::string> positional;  // after the family
    std::map<std::string, std::string, std::less<>> options;

    std::optional<std::string> Option(std::string_view name) const;
};

// Parses "vor|ndb" followed by exactly the named further arguments and the
// given options ("--name value" or "--name=value"); "--" ends the options.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::vector<std::string_view>& positionalNames,
                             const std::vector<OptionSpec>& options);

Family ParseFamily(std::string_view text);

// Prints "navaid: <file>: <reason>" and returns kExitFileError.
int ReportFailure(const Console& console, const Outcome& outcome);

// Fails unless `path` names an existing file that is not a folder, so that a
// mistyped database name is reported instead of being created empty.
Outcome RequireExistingFile(const std::string& path);

// Refuses an output path that is the database itself (through a link or alias),
// so that the chosen database is never written. Fails when the system cannot
// tell.
[[nodiscard]] Outcome RefuseSameFile(const std::string& database, const std::string& output);

// "a VOR", "an NDB".
std::string WithArticle(std::string_view familyName);

// The text between single quotes, as messages show a value.
std::string Quoted(std::string_view text);

// Label bytes for a terminal: bytes below 0x20, 0x7F and the backslash as \xNN.
std::string EscapeBytes(std::string_view bytes);

// Windows-1252 text as UTF-8; bytes with no character (and control bytes,
// which XML does not allow) become U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);
// Text for XML character data and attribute values.
std::string XmlEscape(std::string_view utf8);

// Great-circle distance in nautical miles between two points in degrees.
double DistanceNm(double lat1, double lon1, double lat2, double lon2);

// Navaid fields as texts (from options or a CSV row), checked strictly and
// converted as the entry dialog converts them.
struct EntryTexts {
    std::string id, name, lat, lon, freq, magvar;
    std::optional<std::string> alt;
    std::string type;
};
struct FieldError {
    std::string field;  // "id", "name", "lat", "lon", "freq", "magvar", "alt", "type"
    std::string message;
};
std::optional<FieldError> BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry);

// The family's type names as a readable list ("DME, TACAN, VOR, VOR-DME, VORTAC").
std::string FamilyTypeNames(Family family);
// A type argument (trimmed and upper-cased) that names one of the family's
// types; otherwise a message saying what is wrong.
std::optional<std::string> CheckTypeName(Family family, std::string_view text);

// A database read one complete record at a time, without loading it whole.
class RecordReader {
public:
    Outcome Open(const std::string& path, Family family);
    // Sets `record` to the next complete record, or to null at the end of the
    // complete records; a trailing piece is then in TrailingSize().
    Outcome Next(const std::uint8_t*& record);
    std::uint64_t Index() const { return index_; }  // of the record Next gave last
    std::size_t TrailingSize() const { return end_ - begin_; }
    std::uint64_t Offset() const { return offset_; }  // of the byte after the last record
    Outcome Close() { return file_.Close(); }

private:
    io::File file_;
    std::size_t recordSize_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool atEnd_ = false;
    std::uint64_t index_ = 0, offset_ = 0, count_ = 0;
};

// Reads the database's complete records in file order, calling `visit` with
// each record's index and bytes. A failed open, read or close is returned.
Outcome ForEachRecord(const std::string& path, Family family,
                      const std::function<void(std::uint64_t, const std::uint8_t*)>& visit);

// One command: its name, a line for the overview, its full help, and the
// function that runs it with the arguments after the command name.
struct CommandInfo {
    std::string_view name;
    std::string_view summary;
    std::string_view help;
    int (*run)(const std::vector<std::string>& args, const Console& console);
};

extern const CommandInfo kListCommand, kLabelsCommand, kAddCommand, kDeleteCommand, kCheckCommand,
    kFindCommand, kImportCommand, kMapCommand, kExportCommand, kDiffCommand;

// The whole tool: argv without the program name. Prints help, dispatches, and
// turns a UsageError into exit status 2.
int RunTool(const std::vector<std::string>& args, const Console& console);

}  // namespace navaid::cli
