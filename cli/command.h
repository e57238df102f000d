// What every command shares: where it writes, its exit statuses, how a
// usage mistake is reported, and the table entry that names it.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "outcome.h"

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

// Prints "navaid: <file>: <reason>" and returns kExitFileError.
int ReportFailure(const Console& console, const Outcome& outcome);

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
