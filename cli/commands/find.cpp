// navaid find: the records that match, with the index 'delete' takes.
#include "command.h"
#include "database.h"

namespace navaid::cli {

const CommandInfo kFindCommand{
    "find",
    "print the records that match an ID, name, type or position",
    {"DATABASE"},
    QueryOptions(),
    kReadsDatabase | kOwnFamily,
    "Prints each matching record as its index, a TAB, and the columns of its line\n"
    "in the list (ID and name bytes below 0x20, 0x7F and the backslash as \\xNN).\n"
    "The index goes straight to 'navaid delete'. All given conditions must hold;\n"
    "without conditions every complete record is printed. As grep, exits with\n"
    "status 1 when no record matches, printing nothing.\n"
    "\n"
    "Example:\n"
    "  navaid find vor samples/vor.qvz --near 50.03,8.57 --within 40 --type VOR-DME\n",
    [](const CommandLine& line, const Console& console) -> Ending {
        const FindQuery query = QueryOf(line);
        std::uint64_t found = 0;
        const Outcome read =
            line.Database().ForEach([&](std::uint64_t index, const std::uint8_t* record) {
                if (!Matches(query, line.family, DecodeRecord(line.family, record))) return;
                ++found;
                console.out << console.Shown(RecordLine(line.family, index, record)) << '\n';
            });
        if (!read) return read;
        return found ? kExitOk : kExitNoMatch;
    }};

}  // namespace navaid::cli
