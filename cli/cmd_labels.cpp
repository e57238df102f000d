// navaid labels: the records' labels with the index that 'delete' takes.
#include "args.h"
#include "files.h"
#include "navaid_db.h"
#include "text.h"

namespace navaid::cli {

namespace {

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE"}, {});
    const std::string& database = line.positional[0];
    if (Outcome exists = RequireExistingFile(database); !exists) {
        return ReportFailure(console, exists);
    }
    // Printed as they are read: a database of any size needs no more memory.
    const Outcome outcome = ForEachLabel(
        database, RecordSize(line.family), [&](std::uint64_t index, std::string_view label) {
            console.out << index << '\t' << EscapeBytes(label) << '\n';
        });
    return outcome ? kExitOk : ReportFailure(console, outcome);
}

}  // namespace

const CommandInfo kLabelsCommand{
    "labels", "print each record's index and label (ID and name)",
    "Usage: navaid labels vor|ndb DATABASE\n"
    "\n"
    "Prints one line per label: the record's index, a TAB, and the label, the\n"
    "first 30 bytes of the record (ID and name, with their padding) up to any\n"
    "zero byte. Bytes below 0x20, 0x7F and the backslash are printed as \\xNN.\n"
    "A trailing piece of 30 bytes or more also has a label. The index is the\n"
    "one 'navaid delete' takes.\n"
    "\n"
    "Example:\n"
    "  navaid labels ndb samples/ndb.qvz\n",
    Run};

}  // namespace navaid::cli
