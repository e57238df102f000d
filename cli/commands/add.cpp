// navaid add: DATABASE.new as the database plus one navaid.
#include "command.h"
#include "entry_texts.h"
#include "navaid_db.h"

namespace navaid::cli {

namespace {

Ending Run(const CommandLine& line, const Console& console) {
    EntryTexts texts{*line.Option("id"),  *line.Option("name"), *line.Option("lat"),
                     *line.Option("lon"), *line.Option("freq"), *line.Option("magvar"),
                     line.Option("alt"),  *line.Option("type")};
    NavaidEntry entry;
    if (auto error = BuildEntry(line.family, texts, entry)) {
        throw UsageError("--" + error->field + ": " + error->message);
    }
    const std::string& database = line.positional[0];
    const Outcome added = AddNavaidToFiles(line.family, database, WorkingCopyName(database), entry);
    if (!added) return added;
    if (added.HasWarning()) console.err << "navaid: warning: " << added.Message() << "\n";
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
           "Anything else is refused and nothing is written. The record is built in the\n"
           "temporary file navblock.qvz in the current folder, which is gone afterwards.\n"
           "\n"
           "Example:\n"
           "  navaid add vor vor.qvz --id LAX --name 'LOS ANGELES' --lat 33.93 \\\n"
           "      --lon -118.43 --freq 113.6 --magvar 13 --alt 120 --type VORTAC\n";
}

}  // namespace

const CommandInfo kAddCommand{
    "add",
    "write DATABASE.new as the database plus one navaid",
    {"DATABASE"},
    {{"id", "ID", "at most 10 bytes", true},
     {"name", "NAME", "at most 20 bytes", true},
     {"lat", "X", "latitude in degrees, north positive", true},
     {"lon", "X", "longitude in degrees, east positive", true},
     {"freq", "X", "frequency: MHz for the VOR family, kHz for NDBs", true},
     {"magvar", "X", "magnetic variation in degrees", true},
     {"alt", "N", "altitude in feet, a whole number (VOR only; 0 when left out)"},
     {"type", "TYPE", "one of the family's types", true}},
    kReadsDatabase | kWritesNew,
    About(),
    Run};

}  // namespace navaid::cli
