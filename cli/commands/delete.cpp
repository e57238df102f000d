// navaid delete: DATABASE.new as the database without one record.
#include "command.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

const CommandInfo kDeleteCommand{
    "delete",
    "write DATABASE.new as the database without one record",
    {"DATABASE", "INDEX"},
    {},
    kReadsDatabase | kWritesNew | kEditsDatabase,
    "Writes DATABASE.new as the database without the record at INDEX (counting\n"
    "from 0, as 'navaid labels' and 'navaid find' print it). Later records move\n"
    "forward by one. An index that names no record writes nothing.\n"
    "\n"
    "Example:\n"
    "  navaid find vor vor.qvz --id FFM      # prints e.g. 17<TAB>FFM ...\n"
    "  navaid delete vor vor.qvz 17\n",
    [](const CommandLine& line, const Console& console) -> Ending {
        const std::string& database = line.positional[0];
        const std::string& indexText = line.positional[1];
        const bool digitsOnly = !indexText.empty() && indexText.size() <= 18 &&
                                indexText.find_first_not_of("0123456789") == std::string::npos;
        if (!digitsOnly) throw UsageError("'" + indexText + "' is not a record index");
        const long long index = std::stoll(indexText);
        // The size is the one the tool checked: the database is whole records.
        const std::uint64_t count = line.databaseBytes / RecordSize(line.family);
        if (static_cast<std::uint64_t>(index) >= count) {
            throw UsageError("index " + indexText + " names no record; " + database + " has " +
                             Records(count) + " (see 'navaid labels')");
        }
        StagedOutput out(WorkingCopyName(database));
        if (Outcome deleted = out.Write([&](const std::string& path) {
                return DeleteNavaid(database, path, RecordSize(line.family), index);
            });
            !deleted)
            return deleted;
        console.out << out.Wrote() << ": " << Records(count - 1) << ", " << database
                    << " without record " << index << "\n";
        return kExitOk;
    }};

}  // namespace navaid::cli
