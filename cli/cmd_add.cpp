// navaid add: DATABASE.new as the database plus one navaid.
#include "args.h"
#include "entry.h"
#include "files.h"
#include "navaid_db.h"

namespace navaid::cli {

namespace {

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE"},
                                        {{"id", true},
                                         {"name", true},
                                         {"lat", true},
                                         {"lon", true},
                                         {"freq", true},
                                         {"magvar", true},
                                         {"alt", false},
                                         {"type", true}});
    EntryTexts texts{*line.Option("id"),  *line.Option("name"), *line.Option("lat"),
                     *line.Option("lon"), *line.Option("freq"), *line.Option("magvar"),
                     line.Option("alt"),  *line.Option("type")};
    NavaidEntry entry;
    if (auto error = BuildEntry(line.family, texts, entry)) {
        throw UsageError("--" + error->field + ": " + error->message);
    }
    const std::string& database = line.positional[0];
    std::string workingCopy = WorkingCopyName(database);
    if (Outcome checked = CheckDatabaseAndOutput(database, workingCopy); !checked) {
        return ReportFailure(console, checked);
    }
    const Outcome outcome = AddNavaidToFiles(line.family, database, workingCopy, entry);
    if (!outcome) return ReportFailure(console, outcome);
    if (outcome.HasWarning()) console.err << "navaid: warning: " << outcome.Message() << "\n";
    return kExitOk;
}

// The type lists come from the core's table of types.
const std::string& Help() {
    static const std::string help =
        "Usage: navaid add vor|ndb DATABASE --id ID --name NAME --lat X --lon X\n"
        "                  --freq X --magvar X [--alt N] --type TYPE\n"
        "\n"
        "Writes DATABASE.new as the whole database followed by one new record. ID\n"
        "(at most 10 bytes) and NAME (at most 20) are trimmed and upper-cased.\n"
        "Numbers use '.' as the decimal point and may have an exponent (E, e, D, d);\n"
        "--alt is a whole number (VOR only, 0 when left out). TYPE is one of\n"
        "  vor: " +
        FamilyTypeNames(Family::Vor) + "\n  ndb: " + FamilyTypeNames(Family::Ndb) +
        "\n"
        "Anything else is refused and nothing is written. The record is built in the\n"
        "temporary file navblock.qvz in the current folder, which is gone afterwards.\n"
        "\n"
        "Example:\n"
        "  navaid add vor vor.qvz --id LAX --name 'LOS ANGELES' --lat 33.93 \\\n"
        "      --lon -118.43 --freq 113.6 --magvar 13 --alt 120 --type VORTAC\n";
    return help;
}

}  // namespace

const CommandInfo kAddCommand{"add", "write DATABASE.new as the database plus one navaid", Help(),
                              Run};

}  // namespace navaid::cli
