// What every command shares: its table row (arguments, options, what it
// reads and writes), where it writes, and how it ends.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "args.h"
#include "outcome.h"
#include "text.h"

namespace navaid::cli {

enum ExitStatus : int {
    kExitOk = 0,
    kExitFileError = 1,  // a file could not be read, written or understood
    kExitNoMatch = 1,    // find matched nothing, as grep says it
    kExitUsage = 2,      // the command line is wrong; nothing was opened
    kExitFindings = 3,   // check found something, diff or update a difference
};

// Where a command writes; tests pass string streams.
struct Console {
    std::ostream& out;
    std::ostream& err;
    // Names go out in UTF-8 (the tool on Linux in a UTF-8 locale), else as their bytes.
    bool utf8 = false;

    // A text holding escaped names (EscapeBytes) as this console shows it.
    std::string Shown(std::string escaped) const { return utf8 ? EscapedToUtf8(escaped) : escaped; }
};

// How a command ended: a failure (its kind gives the exit status), or
// success with kExitOk or kExitFindings.
struct Ending {
    Ending(ExitStatus status) : status(status) {}
    Ending(Outcome failure) : status(kExitOk), failure(std::move(failure)) {}
    ExitStatus status;
    Outcome failure;
};

// A mistake in a command line found while its values are read, deep in a
// parser: thrown as the usage failure it is and caught where the tool runs
// the command, the one place that turns it into the exit status.
[[noreturn]] inline void RefuseUsage(std::string reason) {
    throw Outcome::Usage(std::move(reason));
}

// What the tool checks before a command runs, so that no command has to.
enum Needs : unsigned {
    kReadsDatabase = 1,   // the first argument names an existing file, not a folder
    kReadsSecond = 2,     // so does the second
    kWritesNew = 4,       // writes DATABASE.new, which must not be the database
    kWritesList = 8,      // writes DATABASE.txt, likewise
    kWritesOut = 16,      // writes the second argument, likewise
    kEditsDatabase = 32,  // refuses a database that is not whole records (reading ones warn)
    kReadsNavaids = 64,   // the second argument is a database of the family or any import
                          // file, told by content; "-" is standard input
    kOwnFamily = 128,     // refuses a database whose records look like the other family's
};

// "33 records", "1 record".
std::string Records(std::uint64_t count);
// A database that is not a whole number of its family's records: what it
// holds, and the other family where its size fits that one.
std::string Misaligned(const std::string& path, Family family, std::uint64_t size);
// "vor.qvz has 32 records; there is no record 99": an index past the end is
// found once the database is read, so it is a file's failure (status 1).
Outcome NoRecordAt(const std::string& database, std::uint64_t count, const std::string& index);
// A record index as typed: digits only, or a usage failure. One too large for
// 64 bits is past the end of any database, so it reads as the largest.
std::uint64_t ParseRecordIndex(const std::string& text);

// One command's row in the tool's table. Its help is made of the synopsis
// and option list (from `arguments` and `options`), then `about`.
struct CommandInfo {
    std::string_view name;
    std::string_view summary;
    std::vector<std::string_view> arguments;  // after vor|ndb
    std::vector<OptionSpec> options;
    unsigned needs;
    std::string about;  // what it does, then its examples
    Ending (*run)(const CommandLine& line, const Console& console);
};

extern const CommandInfo kListCommand, kLabelsCommand, kAddCommand, kDeleteCommand, kCheckCommand,
    kFindCommand, kImportCommand, kMapCommand, kExportCommand, kDiffCommand, kSetCommand,
    kUpdateCommand, kApplyCommand, kEditCommand;

// The command's full help, as --help prints it.
std::string HelpText(const CommandInfo& command);

// The whole tool: argv without the program name. Prints help, checks what
// the command needs, runs it, and turns its ending into the exit status.
int RunTool(const std::vector<std::string>& args, const Console& console);

}  // namespace navaid::cli
