// navaid check: reports what looks wrong in a database.
#include "check.h"

#include "command.h"
#include "database.h"

namespace navaid::cli {

namespace {

std::string Counted(std::uint64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    DatabaseChecker checker(line.family);
    const std::size_t recordSize = RecordSize(line.family);
    std::string trailing;
    const Outcome read = ReadRecords(
        database, line.family,
        [&](std::uint64_t, const std::uint8_t* record) { checker.Feed(record, recordSize); },
        &trailing);
    if (!read) return read;
    checker.Feed(reinterpret_cast<const std::uint8_t*>(trailing.data()), trailing.size());

    // The findings stream from a second read, in index order; only positions
    // and duplicates are kept between the two.
    std::uint64_t findings = 0, warnings = 0;
    const FindingSink print = [&](const Finding& finding) {
        ++findings;
        warnings += finding.warning;
        if (finding.index < 0) {
            console.out << "file: ";
        } else {
            console.out << "record " << finding.index << ": ";
        }
        console.out << (finding.warning ? "warning: " : "error: ") << console.Shown(finding.text)
                    << '\n';
    };
    checker.EndFirstRead(print);
    const Outcome again = ReadRecords(
        database, line.family,
        [&](std::uint64_t, const std::uint8_t* record) {
            checker.Reread(record, recordSize, print);
        },
        &trailing);
    if (!again) return again;
    checker.Reread(reinterpret_cast<const std::uint8_t*>(trailing.data()), trailing.size(), print);
    if (!checker.EndSecondRead(print))
        return Outcome::Failure(database, "it changed while it was read");
    console.out << database << ": " << Counted(checker.RecordCount(), "record") << ", "
                << Counted(findings - warnings, "error") << ", " << Counted(warnings, "warning")
                << "\n";
    return findings == 0 ? kExitOk : kExitFindings;
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
    "  error    an ID or name with control bytes or zero bytes\n"
    "  warning  an ID or name with lower-case letters\n"
    "  warning  a frequency outside the band (VOR 108.00-117.95 MHz, TACAN up to\n"
    "           135.95 MHz, NDB 190-1750 kHz); some real stations sit outside\n"
    "  warning  a record of the same type and ID as an earlier one less than\n"
    "           10 NM away, named once: the nearest (of equals, the first)\n"
    "It also says when the file looks like a database of the other family.\n"
    "A last line counts records, errors and warnings.\n"
    "\n"
    "Exit status: 0 when nothing was found, 3 when something was.\n"
    "\n"
    "Example:\n"
    "  navaid check ndb samples/ndb.qvz\n",
    Run};

}  // namespace navaid::cli
