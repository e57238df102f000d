// navaid delete: DATABASE.new as the database without one record.
#include "args.h"
#include "files.h"
#include "navaid_db.h"

namespace navaid::cli {

namespace {

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE", "INDEX"}, {});
    const std::string& database = line.positional[0];
    const std::string& indexText = line.positional[1];
    bool digitsOnly = !indexText.empty() && indexText.size() <= 18 &&
                      indexText.find_first_not_of("0123456789") == std::string::npos;
    if (!digitsOnly) throw UsageError("'" + indexText + "' is not a record index");
    long long index = std::stoll(indexText);

    std::string workingCopy = WorkingCopyName(database);
    if (Outcome checked = CheckDatabaseAndOutput(database, workingCopy); !checked) {
        return ReportFailure(console, checked);
    }
    io::File file;
    std::uint64_t size = 0;
    Outcome sized = file.Open(database, io::OpenMode::ReadCreate);
    if (sized) sized = file.Size(size);
    if (Outcome closed = file.Close(); sized && !closed) sized = closed;
    if (!sized) return ReportFailure(console, sized);
    std::uint64_t count = LabelCount(size, RecordSize(line.family));
    if (static_cast<std::uint64_t>(index) >= count) {
        throw UsageError("index " + indexText + " names no record; " + database + " has " +
                         std::to_string(count) + " (see 'navaid labels')");
    }
    if (Outcome outcome = DeleteNavaid(database, workingCopy, RecordSize(line.family), index);
        !outcome) {
        return ReportFailure(console, outcome);
    }
    return kExitOk;
}

}  // namespace

const CommandInfo kDeleteCommand{
    "delete", "write DATABASE.new as the database without one record",
    "Usage: navaid delete vor|ndb DATABASE INDEX\n"
    "\n"
    "Writes DATABASE.new as the database without the record at INDEX (counting\n"
    "from 0, as 'navaid labels' and 'navaid find' print it). Later records move\n"
    "forward by one. An index that names no record writes nothing.\n"
    "\n"
    "Example:\n"
    "  navaid find vor vor.qvz --id FFM      # prints e.g. 17<TAB>FFM ...\n"
    "  navaid delete vor vor.qvz 17\n",
    Run};

}  // namespace navaid::cli
