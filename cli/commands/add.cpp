// navaid add: DATABASE.new as the database plus one navaid.
#include "command.h"
#include "database.h"
#include "edits.h"
#include "entry_texts.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

std::string EntryRecord(const CommandLine& line) {
    const EntryTexts texts = EntryTextsOf(line, line.family);
    NavaidEntry entry;
    if (Outcome built = BuildEntry(line.family, texts, entry); !built)
        RefuseUsage("--" + built.field + ": " + built.reason);
    std::string record;
    if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded)
        RefuseUsage(encoded.reason);
    return record;
}

namespace {

Ending Run(const CommandLine& line, const Console& console) {
    const std::string record = EntryRecord(line);
    // Appended straight to the copy, as import does: the program's temporary
    // record file is the dialog's way, not the tool's.
    const std::string& database = line.positional[0];
    StagedOutput out(WorkingCopyName(database));
    if (Outcome added = out.Write([&](const std::string& path) {
            return line.Database().CopyWith([&](io::File& file) {
                return AppendRecordStream(
                    file, path, [&](const RecordAppender& append) { return append(record); });
            });
        });
        !added)
        return added;
    out.Report(console) << ": " << Records(line.databaseBytes / RecordSize(line.family) + 1) << ", "
                        << ShownName(database) << " plus "
                        << TrimWhiteSpace(record.substr(0, RecordLayout::kIdSize)) << "\n";
    return kExitOk;
}

// The type lists come from the core's table of types.
std::string About() {
    return "Writes DATABASE.new as the whole database followed by one new record. ID\n"
           "and NAME are trimmed and upper-cased. Numbers use '.' as the decimal point\n"
           "and may have an exponent (E, e, D, d). TYPE is one of\n"
           "  vor: " +
           FamilyTypeNames(Family::Vor) + "\n  ndb: " + FamilyTypeNames(Family::Ndb) +
           "\n"
           "A latitude outside -90..90 or longitude outside -180..180, a MAGVAR outside\n"
           "-180..180 (east positive), an empty ID or name, white space or a control\n"
           "byte inside the ID, a control byte in the name, and anything else that\n"
           "cannot be stored are refused, and nothing is written.\n"
           "\n"
           "Example:\n"
           "  navaid add vor vor.qvz --id LAX --name 'LOS ANGELES' --lat 33.93 \\\n"
           "      --lon -118.43 --freq 113.6 --magvar 13 --alt 120 --type VORTAC\n";
}

}  // namespace

const CommandInfo kAddCommand{"add",
                              "write DATABASE.new as the database plus one navaid",
                              {"DATABASE"},
                              EntryOptions(true),
                              kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily,
                              About(),
                              Run};

}  // namespace navaid::cli
