// navaid check: reports what looks wrong in a database.
#include "check.h"

#include "command.h"
#include "database.h"

namespace navaid::cli {

namespace {

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    CheckTotals totals;
    const Outcome checked = CheckDatabase(
        line.family, DatabaseInputOf(line, 0),
        [&](const Finding& finding) {
            if (finding.index < 0) {
                console.out << "file: ";
            } else {
                console.out << "record " << finding.index << ": ";
            }
            console.out << (finding.warning ? "warning: " : "error: ")
                        << console.Shown(finding.text) << '\n';
        },
        totals);
    if (!checked) return checked;
    console.out << ShownName(database) << ": " << Counted(totals.records, "record") << ", "
                << Counted(totals.errors, "error") << ", " << Counted(totals.warnings, "warning")
                << "\n";
    return totals.errors + totals.warnings == 0 ? kExitOk : kExitFindings;
}

}  // namespace

const CommandInfo kCheckCommand{
    "check",
    "report what looks wrong in a database",
    {"DATABASE"},
    {},
    kReadsDatabase,
    "Reads the database and prints one finding per line, with the record index:\n"
    "  error    a trailing piece that is not a whole record (offset and length)\n"
    "  error    a type code that reads \"Type undefined\"\n"
    "  error    an NDB record with non-zero altitude bytes\n"
    "  error    latitude outside -90..90, longitude outside -180..180\n"
    "  error    a number that is not finite\n"
    "  error    an ID or name that is empty, or with control bytes or zero bytes\n"
    "  warning  an ID or name with lower-case letters\n"
    "  warning  a magnetic variation outside -180..180\n"
    "  warning  a frequency outside the band (VOR 108.00-117.95 MHz, TACAN up to\n"
    "           135.95 MHz, NDB 190-1750 kHz); some real stations sit outside\n"
    "  warning  a record of the same type and ID as an earlier one less than\n"
    "           10 NM away, named once: the nearest (of equals, the first)\n"
    "  warning  a DME that repeats the DME of a VOR-DME, VORTAC or TACAN of its\n"
    "           ID within 1 NM on the same frequency (nav.dat files list some twice)\n"
    "It also says when the file looks like a database of the other family.\n"
    "A last line counts records, errors and warnings.\n"
    "\n"
    "Exit status: 0 when nothing was found, 3 when something was.\n"
    "\n"
    "Example:\n"
    "  navaid check ndb samples/ndb.qvz\n",
    Run};

}  // namespace navaid::cli
