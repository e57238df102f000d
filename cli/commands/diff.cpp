// navaid diff: the records removed from one database and added in another.
#include "diff.h"

#include "code_page.h"
#include "command.h"
#include "database.h"
#include "find.h"
#include "report_file.h"
#include "text.h"

namespace navaid::cli {

namespace {

// One line per event: a record with its columns, a changed one with its ID and fields.
void Print(Family family, const ReportEvent& event, const Console& console) {
    const char* sign = event.kind == ReportEvent::Kind::Removed ? "- "
                       : event.kind == ReportEvent::Kind::Added ? "+ "
                                                                : "~ ";
    console.out << sign;
    if (event.piece) {
        console.out << "a piece of " << Counted(event.record.size(), "byte") << " after its "
                    << Records(*event.index) << "\n";
    } else if (event.kind != ReportEvent::Kind::Changed) {
        console.out << console.Shown(RecordLine(family, *event.index, event.record.data())) << '\n';
    } else {
        const std::string id(TrimWhiteSpace(DecodeRecord(family, event.record.data()).id));
        console.out << *event.index << ' ' << console.Shown(EscapeBytes(id)) << ": "
                    << console.Shown(ChangesText(event.changes)) << '\n';
    }
}

Ending Run(const CommandLine& line, const Console& console) {
    ReportFile report;
    if (Outcome opened = report.Open(line, {line.positional[0], line.positional[1]}); !opened)
        return opened;
    std::uint64_t counts[3] = {0, 0, 0};  // changed, removed, added
    const Outcome compared = Diff(line.family, DatabaseInputOf(line, 0), DatabaseInputOf(line, 1),
                                  MatchWithin(line), [&](const ReportEvent& event) {
                                      ++counts[static_cast<int>(event.kind)];
                                      Print(line.family, event, console);
                                      if (report.Wanted()) report.Rows().Add(event);
                                  });
    if (!compared) return compared;
    if (report.Wanted())
        if (Outcome found =
                report.Rows().FindNearest(DatabaseSource(line, 0), DatabaseSource(line, 1));
            !found)
            return found;
    const ReportSummary summary = {
        {"changed", counts[0]}, {"removed", counts[1]}, {"added", counts[2]}};
    if (Outcome written = report.Finish(summary, console); !written) return written;
    return counts[0] + counts[1] + counts[2] > 0 ? kExitFindings : kExitOk;
}

}  // namespace

const CommandInfo kDiffCommand{
    "diff",
    "print the records removed from OLD and added in NEW",
    {"OLD", "NEW"},
    {MatchWithinOption().Spec(), ReportOption().Spec()},
    kReadsDatabase | kReadsSecond,
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A record\n"
    "removed and one added at the same place, or of the same ID within\n"
    "--match-within NM, are one changed record (\"~ \"): its index in OLD, its ID\n"
    "and each changed field as old -> new, numbers with every digit they need. A\n"
    "piece after the last record that differs is shown last. Exit status 0 when\n"
    "both hold the same records in the same order (and the same piece after\n"
    "them), 3 when they differ. --report FILE writes the same as rows, CSV or\n"
    "JSON by FILE's ending: a row per changed field, and per removed or added\n"
    "record with how far the nearest record of its ID in the other database\n"
    "lies (distance_nm).\n"
    "\n"
    "Examples:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n"
    "  navaid diff vor vor.qvz vor.qvz.new --report changes.json\n",
    Run};

}  // namespace navaid::cli
