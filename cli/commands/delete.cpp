// navaid delete: DATABASE.new as the database without one record.
#include "command.h"
#include "navaid_db.h"

namespace navaid::cli {

const CommandInfo kDeleteCommand{
    "delete",
    "write DATABASE.new as the database without one record",
    {"DATABASE", "INDEX"},
    {},
    kReadsDatabase | kWritesNew,
    "Writes DATABASE.new as the database without the record at INDEX (counting\n"
    "from 0, as 'navaid labels' and 'navaid find' print it). Later records move\n"
    "forward by one. An index that names no record writes nothing.\n"
    "\n"
    "Example:\n"
    "  navaid find vor vor.qvz --id FFM      # prints e.g. 17<TAB>FFM ...\n"
    "  navaid delete vor vor.qvz 17\n",
    [](const CommandLine& line, const Console&) -> Ending {
        const std::string& database = line.positional[0];
        const std::string& indexText = line.positional[1];
        const bool digitsOnly = !indexText.empty() && indexText.size() <= 18 &&
                                indexText.find_first_not_of("0123456789") == std::string::npos;
        if (!digitsOnly) throw UsageError("'" + indexText + "' is not a record index");
        // The core refuses an index past the end before it writes anything.
        if (Outcome deleted = DeleteNavaid(database, WorkingCopyName(database),
                                           RecordSize(line.family), std::stoll(indexText));
            !deleted)
            return deleted;
        return kExitOk;
    }};

}  // namespace navaid::cli
