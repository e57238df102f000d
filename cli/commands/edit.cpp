// navaid edit: DATABASE.new as the database with a file's list of set, delete
// and add lines made in one pass, every line checked before anything is written.
#include <array>
#include <map>

#include "command.h"
#include "database.h"
#include "edits.h"
#include "line_reader.h"
#include "navaid_db.h"
#include "output_file.h"
#include "staged_output.h"

namespace navaid::cli {

namespace {

struct Edit {
    const CommandInfo* command;
    std::size_t line;
    FieldChange change;                // set
    Deletion deletion;                 // delete
    std::string record;                // add
    std::vector<std::uint64_t> picks;  // delete with a selection: the records it picks,
    std::vector<std::string> shown;    // and their lines as find prints them
};

// What the edits do to the records of the database, by index, known before
// anything is written; a record's sets are made in their order.
struct Plan {
    struct Mark {
        std::size_t line;
        bool selects;
    };
    std::map<std::uint64_t, Mark> deleted, changed;  // changed: by its first set
    std::map<std::uint64_t, std::vector<const FieldChange*>> changes;
    std::uint64_t count = 0, added = 0;
};

// A failure of the database's own kind, told of the line that met it.
Outcome AtLine(Outcome failure, const std::string& name, std::size_t line) {
    failure.file = name;
    failure.line = line;
    return failure;
}

bool Selects(const Edit& edit) { return edit.command == &kDeleteCommand && edit.deletion.selects; }

// A refusal of a huge word shows its start and its end, never the whole line.
std::string Shortened(const std::string& reason) {
    constexpr std::size_t kHead = 100, kTail = 60;
    if (reason.size() <= kHead + kTail + 5) return reason;
    return reason.substr(0, kHead) + " ... " + reason.substr(reason.size() - kTail);
}

// Reads the double-quoted text that starts at text[i] into `word`, i left at
// its closing quote; false when there is none.
bool DoubleQuoted(std::string_view text, std::size_t& i, std::string& word) {
    for (++i; i < text.size(); ++i) {
        if (text[i] == '"') return true;
        // Inside double quotes a backslash keeps only these as they are.
        if (text[i] == '\\' && i + 1 < text.size() &&
            std::string_view("$`\"\\").find(text[i + 1]) != std::string_view::npos)
            ++i;
        word += text[i];
    }
    return false;
}

// Splits a line as a POSIX shell splits words, without expansions: blanks part
// them, quotes and backslashes keep what they hold, and a word that starts
// with '#' begins a comment. Refuses with RefuseUsage.
std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
            continue;
        }
        if (c == '#' && !inWord) break;
        inWord = true;
        if (c == '\\') {
            if (++i == text.size()) RefuseUsage("a backslash ends the line");
            word += text[i];
        } else if (c == '\'') {
            const std::size_t end = text.find('\'', i + 1);
            if (end == std::string_view::npos) RefuseUsage("a single quote is not closed");
            word.append(text.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '"') {
            if (!DoubleQuoted(text, i, word)) RefuseUsage("a double quote is not closed");
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

// One line's edit, read with its command's own arguments and options.
Edit ParseEdit(const std::vector<std::string>& words, Family family, std::size_t number) {
    static const std::array<const CommandInfo*, 3> kEdits = {&kSetCommand, &kDeleteCommand,
                                                             &kAddCommand};
    Edit edit{nullptr, number, {}, {}, {}, {}, {}};
    for (const CommandInfo* command : kEdits)
        if (command->name == words[0]) edit.command = command;
    if (edit.command == nullptr) RefuseUsage("'" + words[0] + "' is not set, delete or add");
    // The database is the tool's; the line gives what follows it.
    std::vector<std::string> args = {FamilyName(family), "DATABASE"};
    args.insert(args.end(), words.begin() + 1, words.end());
    const CommandLine line = ParseCommandLine(args, edit.command->arguments, edit.command->options);
    CheckOptionValues(line, edit.command->options);
    if (edit.command == &kSetCommand) edit.change = FieldChangeOf(line);
    if (edit.command == &kDeleteCommand) edit.deletion = DeletionOf(line);
    if (edit.command == &kAddCommand) edit.record = EntryRecord(line);
    return edit;
}

// Every edit of EDITS, read a line at a time (a pipe cannot be read again),
// or the first bad line's refusal, named by EDITS and its line.
Outcome ParseEdits(LineReader& reader, Family family, std::vector<Edit>& edits) {
    std::string_view line;
    bool got = true;
    while (true) {
        if (Outcome read = reader.Next(line, got); !read || !got) return read;
        if (reader.Number() == 1 && line.starts_with("\xef\xbb\xbf")) line.remove_prefix(3);
        try {
            const std::vector<std::string> words = Words(line);
            if (!words.empty()) edits.push_back(ParseEdit(words, family, reader.Number()));
        } catch (Outcome& refused) {
            refused.file = reader.Name();
            refused.line = reader.Number();
            refused.reason = Shortened(refused.reason);
            throw;
        }
    }
}

// The records each selection picks among those of the database as it is; one
// that picks none is refused as delete refuses it.
Outcome PickSelections(const CommandLine& line, std::vector<Edit>& edits, const std::string& name) {
    // Only the lines with a selection are walked for each record.
    std::vector<Edit*> selecting;
    for (Edit& edit : edits)
        if (Selects(edit)) selecting.push_back(&edit);
    if (selecting.empty()) return Outcome::Success();
    Outcome read = line.Database().ForEach([&](std::uint64_t index, const std::uint8_t* record) {
        const DecodedRecord decoded = DecodeRecord(line.family, record);
        for (Edit* edit : selecting) {
            if (!Matches(edit->deletion.query, line.family, decoded)) continue;
            edit->picks.push_back(index);
            edit->shown.push_back(RecordLine(line.family, index, record));
        }
    });
    if (!read) return read;
    for (const Edit* edit : selecting)
        if (edit->picks.empty()) return AtLine(NoneSelected(line), name, edit->line);
    return Outcome::Success();
}

// Takes record `index` for `edit`, refusing one that another line deletes, or
// that a delete finds changed: a wrong list (status 2) where both lines give
// its index, status 1 where a selection picked it in the database.
Outcome Claim(Plan& plan, const Edit& edit, std::uint64_t index, const std::string& name) {
    const bool deletes = edit.command == &kDeleteCommand;
    const auto refuse = [&](const Plan::Mark& other, const char* what, const char* why) {
        const std::string reason = "record " + std::to_string(index) + " is " + what + " by line " +
                                   std::to_string(other.line) + why;
        return AtLine(
            other.selects || Selects(edit) ? Outcome::Failure("", reason) : Outcome::Usage(reason),
            name, edit.line);
    };
    if (auto other = plan.deleted.find(index); other != plan.deleted.end())
        return refuse(other->second, "deleted",
                      deletes ? " already" : "; it cannot be changed too");
    if (!deletes) {
        plan.changed.emplace(index, Plan::Mark{edit.line, false});
        plan.changes[index].push_back(&edit.change);
    } else if (auto other = plan.changed.find(index); other != plan.changed.end()) {
        return refuse(other->second, "changed", "; it cannot be deleted too");
    } else {
        plan.deleted.emplace(index, Plan::Mark{edit.line, Selects(edit)});
    }
    return Outcome::Success();
}

Outcome PlanEdits(const CommandLine& line, const std::vector<Edit>& edits, const std::string& name,
                  Plan& plan) {
    plan.count = line.databaseBytes / RecordSize(line.family);
    for (const Edit& edit : edits) {
        if (edit.command == &kAddCommand) {
            ++plan.added;
            continue;
        }
        if (Selects(edit)) {
            for (const std::uint64_t index : edit.picks)
                if (Outcome claimed = Claim(plan, edit, index, name); !claimed) return claimed;
            continue;
        }
        const bool set = edit.command == &kSetCommand;
        const std::uint64_t index = set ? edit.change.index : edit.deletion.index;
        if (index >= plan.count) {
            const std::string& text = set ? edit.change.indexText : edit.deletion.indexText;
            return AtLine(NoRecordAt(line.positional[0], plan.count, text), name, edit.line);
        }
        if (Outcome claimed = Claim(plan, edit, index, name); !claimed) return claimed;
    }
    return Outcome::Success();
}

// One pass over the database: each record kept, changed or left out as the
// plan says, then the added ones in their order.
Outcome WriteEdits(const CommandLine& line, const std::vector<Edit>& edits, const Plan& plan,
                   StagedOutput& out) {
    const std::size_t size = RecordSize(line.family);
    std::string changed;
    const RecordReplacer replace = [&](std::uint64_t index, const std::uint8_t* record) {
        if (plan.deleted.count(index)) return RecordFate{RecordFate::Drop, {}};
        const auto found = plan.changes.find(index);
        if (found == plan.changes.end()) return RecordFate{};
        changed.assign(reinterpret_cast<const char*>(record), size);
        for (const FieldChange* change : found->second) change->ApplyTo(changed);
        return RecordFate{RecordFate::Replace, changed};
    };
    const auto append = [&](const RecordAppender& appender) {
        for (const Edit& edit : edits)
            if (edit.command == &kAddCommand)
                if (Outcome added = appender(edit.record); !added) return added;
        return Outcome::Success();
    };
    return out.Write([&](const std::string& path) {
        return line.Database().CopyWith(
            [&](io::File& file) { return RewriteRecords(file, path, size, replace, append); });
    });
}

// A line per edit, in the words of the command that makes it alone.
void PrintEdits(const std::vector<Edit>& edits, const Console& console) {
    for (const Edit& edit : edits) {
        console.out << "line " << edit.line << ": ";
        if (edit.command == &kSetCommand)
            console.out << "record " << edit.change.index << " changed\n";
        if (edit.command == &kAddCommand)
            console.out << "plus " << TrimWhiteSpace(edit.record.substr(0, RecordLayout::kIdSize))
                        << "\n";
        if (edit.command != &kDeleteCommand) continue;
        if (!edit.deletion.selects) {
            console.out << "without record " << edit.deletion.index << "\n";
            continue;
        }
        console.out << "without " << Records(edit.picks.size()) << "\n";
        for (const std::string& shown : edit.shown)
            console.out << "- " << console.Shown(shown) << '\n';
    }
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const std::string& path = line.positional[1];
    // The list must outlast the run: DATABASE.new is written over it.
    if (path != io::kStandardInputPath)
        if (Outcome refused = RefuseRunFiles("EDITS", path, {WorkingCopyName(database)}); !refused)
            return refused;
    LineReader reader("a list of edits");
    std::vector<Edit> edits;
    Outcome read = reader.Open(path);
    if (read) read = ParseEdits(reader, line.family, edits);
    if (Outcome closed = reader.Close(); read) read = closed;
    if (!read) return read;
    const std::string& name = reader.Name();
    if (edits.empty()) RefuseUsage(ShownName(name) + " holds no edit (set, delete or add lines)");
    Plan plan;
    if (Outcome picked = PickSelections(line, edits, name); !picked) return picked;
    if (Outcome planned = PlanEdits(line, edits, name, plan); !planned) return planned;
    StagedOutput out(WorkingCopyName(database));
    if (Outcome written = WriteEdits(line, edits, plan, out); !written) return written;
    PrintEdits(edits, console);
    out.Report(console) << ": " << Records(plan.count - plan.deleted.size() + plan.added) << ", "
                        << ShownName(database) << " with " << Counted(edits.size(), "edit") << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kEditCommand{
    "edit",
    "write DATABASE.new as the database with a file's list of edits made",
    {"DATABASE", "EDITS"},
    {},
    kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily,
    "Writes DATABASE.new as the database with the edits EDITS lists (a file, or\n"
    "'-' for standard input; a line ends in LF, CR LF or CR), one a line in the\n"
    "words of the commands that make each alone:\n"
    "  set INDEX --field VALUE...   as 'navaid set'\n"
    "  delete INDEX                 as 'navaid delete', or with a selection\n"
    "  add --id ID --name NAME ...  as 'navaid add'\n"
    "Words are split as a shell splits them (quotes and backslashes keep spaces;\n"
    "nothing is expanded); a word starting with '#' begins a comment, and blank\n"
    "lines are passed over. INDEX, and what a selection picks, is a record of\n"
    "DATABASE as given, before any edit of the list; added records follow the\n"
    "database's in their order, and two sets of one record are made in turn.\n"
    "\n"
    "Every line is checked before anything is written. A line that is wrong in\n"
    "itself, or that deletes a record another line deletes or sets by index,\n"
    "writes nothing and exits with status 2, naming EDITS and the line, as\n"
    "does an EDITS that is DATABASE.new; an INDEX past the end, a selection\n"
    "that picks nothing or picks a record another line takes, or a line of\n"
    "more than 64 KiB, with status 1. The result has the bytes of the same\n"
    "edits made one after the other with 'set', 'delete', 'add' and 'apply'.\n"
    "\n"
    "Example, with fixes.txt holding these lines:\n"
    "  set 17 --freq 114.35 --type VOR-DME\n"
    "  delete --name 'OLD FIELD'   # withdrawn\n"
    "  add --id NEW --name NEWTON --lat 50 --lon 8 --freq 112 --magvar 2 --type DME\n"
    "then\n"
    "  navaid edit vor vor.qvz fixes.txt\n"
    "  navaid apply vor vor.qvz\n",
    Run};

}  // namespace navaid::cli
