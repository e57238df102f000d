// navaid list: the comma-separated list of a database, written to DATABASE.txt.
#include "command.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

const CommandInfo kListCommand{
    "list",
    "write the database as a comma-separated list to DATABASE.txt",
    {"DATABASE"},
    {},
    kReadsDatabase | kWritesList,
    "Writes DATABASE.txt: a header line, then one line per complete record with\n"
    "ID, name, latitude, longitude, frequency, magnetic variation, altitude (VOR\n"
    "only) and type, each followed by a comma; lines end in CR LF.\n"
    "\n"
    "Example:\n"
    "  navaid list vor samples/vor.qvz      # writes samples/vor.qvz.txt\n",
    [](const CommandLine& line, const Console& console) -> Ending {
        const std::string& database = line.positional[0];
        StagedOutput out(ListName(database));
        if (Outcome listed = out.Write([&](const std::string& path) {
                return ExportNavaidList(line.family, database, path);
            });
            !listed)
            return listed;
        out.Report(console) << ": " << Records(line.databaseBytes / RecordSize(line.family))
                            << "\n";
        return kExitOk;
    }};

}  // namespace navaid::cli
