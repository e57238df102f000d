// The tool's entry: the command table, help, the checks a command's row
// asks for, dispatch, and the one mapping from endings to exit statuses.
#include <algorithm>
#include <array>
#include <cerrno>
#include <streambuf>

#include "command.h"
#include "file_io.h"
#include "records.h"
#include "working_copy.h"

namespace navaid::cli {

namespace {

const std::array<const CommandInfo*, 14> kCommands = {
    &kListCommand,   &kLabelsCommand, &kAddCommand,    &kSetCommand,    &kDeleteCommand,
    &kEditCommand,   &kCheckCommand,  &kFindCommand,   &kImportCommand, &kMapCommand,
    &kExportCommand, &kDiffCommand,   &kUpdateCommand, &kApplyCommand};

constexpr std::size_t kHelpWidth = 79;

void PrintOverview(std::ostream& out) {
    out << "Usage: navaid COMMAND vor|ndb DATABASE [ARGUMENTS]\n"
           "\n"
           "Reads and edits the navaid databases of the QVZ scenery. Edits go to\n"
           "DATABASE.new, lists to DATABASE.txt; only 'apply' writes the database, putting\n"
           "DATABASE.new in its place and keeping the earlier one as DATABASE.bak.\n"
           "\n"
           "Commands:\n";
    for (const CommandInfo* command : kCommands) {
        std::string name(command->name);
        name.resize(9, ' ');
        out << "  " << name << command->summary << "\n";
    }
    out << "\n"
           "'navaid COMMAND --help' or 'navaid help COMMAND' describes a command.\n"
           "Exit status: 0 success; 1 a file could not be read, written or understood,\n"
           "or an index or a selection names no record in it ('find': none matched);\n"
           "2 a wrong command line (nothing is opened then);\n"
           "3 'check' found something, 'diff' or 'update' a difference;\n"
           "129, 130, 141, 143 stopped by SIGHUP, SIGINT, SIGPIPE, SIGTERM before its\n"
           "output was moved into place (the earlier output is as it was).\n";
}

bool AsksForHelp(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") return false;
        if (arg == "--help" || arg == "-h") return true;
    }
    return false;
}

const CommandInfo* FindCommand(std::string_view name) {
    auto found = std::find_if(kCommands.begin(), kCommands.end(),
                              [&](const CommandInfo* c) { return c->name == name; });
    return found == kCommands.end() ? nullptr : *found;
}

// Fails unless `path` names an existing file that is not a folder, so that
// a mistyped name is reported instead of being read as empty.
Outcome RequireExistingFile(const std::string& path) {
    bool folder = false;
    if (Outcome queried = io::IsFolder(path, folder); !queried) return queried;
    if (folder) return Outcome::Failure(path, io::ErrorText(EISDIR));
    return Outcome::Success();
}

// A database is read more than once, through one handle: a pipe or a device
// could not be, and opening a FIFO would wait for a writer.
Outcome RequireDatabaseFile(const std::string& path) {
    if (Outcome exists = RequireExistingFile(path); !exists) return exists;
    bool regular = false;
    if (Outcome queried = io::IsRegularFile(path, regular); !queried) return queried;
    if (!regular) return Outcome::Failure(path, "not a regular file, as a database must be");
    return Outcome::Success();
}

// Refuses an output that is the database itself (through a link or alias):
// the chosen database is never written.
// Standard output as OUT ('-') is refused alike when it is the database (`>> DATABASE`).
Outcome RefuseSameFile(const std::string& database, const std::string& output) {
    bool same = false;
    const bool standard = output == io::kStandardInputPath;
    Outcome queried = standard ? io::IsStandardOutput(database, same)
                               : io::SameFile(database, output, same);
    if (queried && same) {
        return Outcome::Usage("the output " + ShownName(output) + (standard ? " (standard output)" : "") +
                              " is the database itself");
    }
    return queried;
}

}  // namespace

std::string Misaligned(const std::string& path, Family family, std::uint64_t size) {
    const std::uint64_t recordSize = RecordSize(family);
    std::string text = ShownName(path) + ": its " + std::to_string(size) + " bytes are " +
                       Records(size / recordSize) + " of " + FamilyName(family) + " and " +
                       Counted(size % recordSize, "byte") + " more";
    const Family other = OtherFamily(family);
    if (size % RecordSize(other) == 0) {
        text += "; it looks like a database of the other family (" +
                Records(size / RecordSize(other)) + " of " + FamilyName(other) + ")";
    }
    return text;
}

namespace {

// Each database read must exist; an edit refuses one that is not whole
// records, a reading command says so once and goes on. A command that picks
// or writes records refuses one of the other family's records.
Outcome CheckDatabase(std::size_t argument, const CommandInfo& command, CommandLine& line,
                      const Console& console) {
    const std::string& path = line.positional[argument];
    if (Outcome exists = RequireDatabaseFile(path); !exists) return exists;
    auto& database = line.databases[argument];
    database = std::make_shared<DatabaseFile>();
    if (Outcome opened = database->Open(path, line.family); !opened) return opened;
    const std::uint64_t size = database->Bytes();
    if (argument == 0) line.databaseBytes = size;
    const bool whole = size % RecordSize(line.family) == 0;
    if (!whole && (command.needs & kEditsDatabase))
        return Outcome::Failure("", Misaligned(path, line.family, size) +
                                        "; an edit would write records at wrong offsets");
    if (command.needs & kOwnFamily) {
        std::string look;
        if (Outcome sampled = database->OtherFamilyLook(look); !sampled) return sampled;
        if (!look.empty()) return Outcome::Failure(path, look);
    }
    if (!whole) console.err << "navaid: warning: " << Misaligned(path, line.family, size) << "\n";
    return Outcome::Success();
}

// What the command's row says it needs, in the order a user would fix it.
Outcome CheckNeeds(const CommandInfo& command, CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const unsigned needs = command.needs;
    if ((needs & kWritesOut) && line.positional[1].empty())
        return Outcome::Usage(std::string(command.arguments[1]) +
                              " is empty: name a file, or '-' for standard output");
    for (const auto& [need, output] :
         {std::pair{kWritesNew, WorkingCopyName(database)},
          std::pair{kWritesList, ListName(database)},
          std::pair{kWritesOut, needs & kWritesOut ? line.positional[1] : std::string()}}) {
        if (needs & need)
            if (Outcome refused = RefuseSameFile(database, output); !refused) return refused;
    }
    if (needs & kReadsDatabase)
        if (Outcome checked = CheckDatabase(0, command, line, console); !checked) return checked;
    if (needs & kReadsSecond)
        if (Outcome checked = CheckDatabase(1, command, line, console); !checked) return checked;
    if (needs & kReadsNavaids) {
        const std::string& path = line.positional[1];
        if (path != io::kStandardInputPath)
            if (Outcome exists = RequireExistingFile(path); !exists) return exists;
        line.navaids = std::make_shared<NavaidSource>();
        return line.navaids->Open(path, line.family);
    }
    return Outcome::Success();
}

// The one place where an ending becomes an exit status, and a failure a message.
int Finish(const CommandInfo* command, const Ending& ending, const Console& console) {
    const Outcome& failure = ending.failure;
    if (failure) return ending.status;
    // A run told to stop says nothing of the calls that stopped it.
    if (io::Cancelled()) return kExitFileError;
    if (failure.kind == Outcome::Kind::File) {
        console.err << "navaid: " << failure.Message() << "\n";
        return kExitFileError;
    }
    const std::string_view name = command ? command->name : std::string_view();
    const char* space = command ? " " : "";
    console.err << "navaid" << space << name << ": " << failure.Message() << "\nTry 'navaid"
                << space << name << " --help'.\n";
    return kExitUsage;
}

// Words of a synopsis joined into lines no wider than the help, the later
// ones indented under the first argument.
std::string Wrap(const std::string& head, const std::vector<std::string>& words) {
    std::string text = head;
    std::size_t column = head.size();
    for (const std::string& word : words) {
        if (column + 1 + word.size() > kHelpWidth && column > head.size()) {
            text += '\n';
            text.append(head.size(), ' ');
            column = head.size();
        }
        text += ' ';
        text += word;
        column += 1 + word.size();
    }
    text += '\n';
    return text;
}

}  // namespace

std::string Records(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " record" : " records");
}

Outcome NoRecordAt(const std::string& database, std::uint64_t count, const std::string& index) {
    return Outcome::Failure(
        "", ShownName(database) + " has " + Records(count) + "; there is no record " + index);
}

std::uint64_t ParseRecordIndex(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        RefuseUsage("'" + text + "' is not a record index");
    std::uint64_t index = 0;
    for (const char digit : text) {
        const unsigned value = static_cast<unsigned>(digit - '0');
        if (index > (UINT64_MAX - value) / 10) return UINT64_MAX;
        index = index * 10 + value;
    }
    return index;
}

namespace {

// "--name VALUE", or "--name" for a flag.
std::string OptionWord(const OptionSpec& option) {
    std::string word = "--";
    word += option.name;
    if (!option.value.empty()) {
        word += ' ';
        word += option.value;
    }
    return word;
}

// Standard error as messages reach the terminal: each line shown as
// ShownMessage shows it, so that no quoted byte of a hostile file paints or
// retitles the terminal, whichever message quotes it.
class MessageBuffer final : public std::streambuf {
public:
    MessageBuffer(std::ostream& to, bool utf8) : to_(to) {
#if defined(_WIN32)
        // navaid.exe's names are in the ANSI code page, as its console's.
        (void)utf8;
        high_ = HighBytes::AsTheyAre;
#else
        high_ = utf8 ? HighBytes::Utf8 : HighBytes::Escape;
#endif
    }
    ~MessageBuffer() override { sync(); }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (c == '\n') {
            to_ << ShownMessage(line_, high_) << '\n';
            line_.clear();
        } else {
            line_ += traits_type::to_char_type(c);
        }
        return c;
    }
    int sync() override {
        if (!line_.empty()) to_ << ShownMessage(line_, high_);
        line_.clear();
        to_.flush();
        return to_ ? 0 : -1;
    }

private:
    std::ostream& to_;
    HighBytes high_;
    std::string line_;
};

int RunCommand(const std::vector<std::string>& args, const Console& console);

}  // namespace

int RunTool(const std::vector<std::string>& args, const Console& console) {
    MessageBuffer messages(console.err, console.utf8);
    std::ostream err(&messages);
    return RunCommand(args, Console{console.out, err, console.utf8});
}

std::string HelpText(const CommandInfo& command) {
    std::vector<std::string> words = {"vor|ndb"};
    for (std::string_view argument : command.arguments) words.emplace_back(argument);
    std::size_t width = 0;
    for (const OptionSpec& option : command.options) {
        const std::string word = OptionWord(option);
        words.push_back(option.required ? word : "[" + word + "]");
        width = std::max(width, word.size());
    }
    std::string text = Wrap("Usage: navaid " + std::string(command.name), words) + "\n";
    if (!command.options.empty()) {
        text += "Options:\n";
        for (const OptionSpec& option : command.options) {
            std::string word = OptionWord(option);
            word.resize(width + 2, ' ');
            text += "  " + word + std::string(option.help) + "\n";
        }
        text += "\n";
    }
    return text + command.about;
}

namespace {

int RunCommand(const std::vector<std::string>& args, const Console& console) {
    if (args.empty()) {
        console.err << "navaid: missing command\nTry 'navaid --help'.\n";
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1)) {
        PrintOverview(console.out);
        return kExitOk;
    }
    if (args[0] == "--version") {
        console.out << "navaid " NAVAID_VERSION "\n";
        return kExitOk;
    }
    const bool help = args[0] == "help";
    const CommandInfo* command = FindCommand(args[help ? 1 : 0]);
    if (command == nullptr) {
        console.err << "navaid: unknown command '" << args[help ? 1 : 0]
                    << "'\nTry 'navaid --help'.\n";
        return kExitUsage;
    }
    std::vector<std::string> rest(args.begin() + (help ? 2 : 1), args.end());
    if (help || AsksForHelp(rest)) {
        console.out << HelpText(*command);
        return kExitOk;
    }
    try {
        CommandLine line = ParseCommandLine(rest, command->arguments, command->options);
        CheckOptionValues(line, command->options);
        if (Outcome ready = CheckNeeds(*command, line, console); !ready) {
            return Finish(command, ready, console);
        }
        return Finish(command, command->run(line, console), console);
    } catch (const Outcome& refused) {
        return Finish(command, refused, console);
    }
}

}  // namespace

}  // namespace navaid::cli
