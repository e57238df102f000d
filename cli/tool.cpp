// The tool's entry: overview help, dispatch to a command, usage errors.
#include <algorithm>
#include <array>

#include "command.h"

namespace navaid::cli {

namespace {

const std::array<const CommandInfo*, 10> kCommands = {
    &kListCommand, &kLabelsCommand, &kAddCommand, &kDeleteCommand, &kCheckCommand,
    &kFindCommand, &kImportCommand, &kMapCommand, &kExportCommand, &kDiffCommand};

void PrintOverview(std::ostream& out) {
    out << "Usage: navaid COMMAND vor|ndb DATABASE [ARGUMENTS]\n"
           "\n"
           "Reads and edits the navaid databases of the QVZ scenery. The database is\n"
           "never written: edits go to DATABASE.new, lists to DATABASE.txt.\n"
           "\n"
           "Commands:\n";
    for (const CommandInfo* command : kCommands) {
        std::string name(command->name);
        name.resize(9, ' ');
        out << "  " << name << command->summary << "\n";
    }
    out << "\n"
           "'navaid COMMAND --help' describes a command.\n"
           "Exit status: 0 success, 1 a file could not be read or written, 2 usage error,\n"
           "3 'check' found something or 'diff' found a difference.\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

}  // namespace

int ReportFailure(const Console& console, const Outcome& outcome) {
    console.err << "navaid: " << outcome.Message() << "\n";
    return kExitFileError;
}

int RunTool(const std::vector<std::string>& args, const Console& console) {
    if (args.empty()) {
        console.err << "navaid: missing command\nTry 'navaid --help'.\n";
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintOverview(console.out);
        return kExitOk;
    }
    if (args[0] == "--version") {
        console.out << "navaid " NAVAID_VERSION "\n";
        return kExitOk;
    }
    auto found = std::find_if(kCommands.begin(), kCommands.end(),
                              [&](const CommandInfo* c) { return c->name == args[0]; });
    if (found == kCommands.end()) {
        console.err << "navaid: unknown command '" << args[0] << "'\nTry 'navaid --help'.\n";
        return kExitUsage;
    }
    const CommandInfo& command = **found;
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (AsksForHelp(rest)) {
        console.out << command.help;
        return kExitOk;
    }
    try {
        return command.run(rest, console);
    } catch (const UsageError& error) {
        console.err << "navaid " << command.name << ": " << error.what() << "\nTry 'navaid "
                    << command.name << " --help'.\n";
        return kExitUsage;
    }
}

}  // namespace navaid::cli
