// navaid list: the comma-separated list of a database, written to DATABASE.txt.
#include "args.h"
#include "files.h"
#include "navaid_db.h"

namespace navaid::cli {

namespace {

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE"}, {});
    const std::string& database = line.positional[0];
    std::string listPath = ListName(database);
    if (Outcome checked = CheckDatabaseAndOutput(database, listPath); !checked) {
        return ReportFailure(console, checked);
    }
    if (Outcome outcome = ExportNavaidList(line.family, database, listPath); !outcome) {
        return ReportFailure(console, outcome);
    }
    return kExitOk;
}

}  // namespace

const CommandInfo kListCommand{
    "list", "write the database as a comma-separated list to DATABASE.txt",
    "Usage: navaid list vor|ndb DATABASE\n"
    "\n"
    "Writes DATABASE.txt: a header line, then one line per complete record with\n"
    "ID, name, latitude, longitude, frequency, magnetic variation, altitude (VOR\n"
    "only) and type, each followed by a comma; lines end in CR LF.\n"
    "\n"
    "Example:\n"
    "  navaid list vor samples/vor.qvz      # writes samples/vor.qvz.txt\n",
    Run};

}  // namespace navaid::cli
