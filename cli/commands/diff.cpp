// navaid diff: the records removed from one database and added in another.
#include "diff.h"

#include "change_outputs.h"
#include "code_page.h"
#include "command.h"
#include "database.h"
#include "file_io.h"
#include "find.h"
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

// The map of the changes over OLD's unchanged records.
Outcome DrawMap(ChangeMapOutput& map, const CommandLine& line, const Console& console) {
    const std::string title = std::string(FamilyName(line.family)) + " diff of " +
                              FileNameToUtf8(io::NameOf(line.positional[0])) + " and " +
                              FileNameToUtf8(io::NameOf(line.positional[1]));
    return map.Write(line.Database(0), title, std::nullopt, console);
}

const Flag& UnorderedFlag() {
    static const Flag flag{"unordered", "pair records by ID and nearness, whatever their order"};
    return flag;
}

// The counts as the report's summary gives them.
ReportSummary Counts(const DiffSummary& sum) {
    ReportSummary counts = {{"old_records", sum.oldRecords}, {"new_records", sum.newRecords},
                            {"unchanged", sum.unchanged},    {"changed", sum.changed},
                            {"removed", sum.removed},        {"added", sum.added}};
    if (sum.moved) counts.emplace_back("moved_in_file", *sum.moved);
    return counts;
}

// The counts last, as update's summary gives them.
void PrintSummary(const CommandLine& line, const DiffSummary& sum, const Console& console) {
    console.out << ShownName(line.positional[0]) << " -> " << ShownName(line.positional[1]) << ": "
                << Records(sum.oldRecords) << " in OLD, " << sum.newRecords
                << " in NEW: " << sum.unchanged << " unchanged";
    if (sum.moved) console.out << " (" << *sum.moved << " moved in the file)";
    console.out << ", " << sum.changed << " changed, " << sum.removed << " removed, " << sum.added
                << " added";
    if (sum.piecesDiffer) console.out << "; the bytes after the last records differ";
    console.out << '\n';
}

Ending Run(const CommandLine& line, const Console& console) {
    const bool unordered = UnorderedFlag().Get(line);
    ChangeOutputs outputs(line, "removed", "added");
    if (Outcome checked = outputs.Check(line, {line.positional[0], line.positional[1]}); !checked)
        return checked;
    ReportFile& report = outputs.report;
    DiffSummary summary;
    const auto each = [&](const ReportEvent& event) {
        Print(line.family, event, console);
        outputs.Keep(event);
    };
    const auto diff = unordered ? DiffUnordered : Diff;
    const Outcome compared = diff(line.family, DatabaseInputOf(line, 0), DatabaseInputOf(line, 1),
                                  MatchWithin(line), each, summary);
    if (!compared) return compared;
    PrintSummary(line, summary, console);
    // The unordered pairing has found each removed and added record's nearest already.
    if (report.Wanted() && !unordered)
        if (Outcome found =
                report.Rows().FindNearest(DatabaseSource(line, 0), DatabaseSource(line, 1));
            !found)
            return found;
    if (Outcome written = report.Finish(Counts(summary), console); !written) return written;
    if (Outcome drawn = DrawMap(outputs.map, line, console); !drawn) return drawn;
    return summary.Differs() ? kExitFindings : kExitOk;
}

}  // namespace

const CommandInfo kDiffCommand{
    "diff",
    "print the records removed from OLD and added in NEW",
    {"OLD", "NEW"},
    {MatchWithinOption().Spec(), UnorderedFlag().Spec(), ReportOption().Spec(), MapOption().Spec()},
    kReadsDatabase | kReadsSecond,
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A record\n"
    "removed and one added at the same place, or of the same ID within\n"
    "--match-within NM, are one changed record (\"~ \"): its index in OLD, its ID\n"
    "and each changed field as old -> new, numbers with every digit they need.\n"
    "With --unordered the records are paired whatever their order: a record with\n"
    "one of the same bytes, else as 'navaid update' pairs them (the same ID\n"
    "within --match-within NM, the same type first, then the closest); a record\n"
    "that only stands elsewhere is unchanged, and the changed and removed ones\n"
    "are printed in OLD's order, then the added ones in NEW's. A piece after the\n"
    "last record that differs is shown after the records. Last, a summary: the\n"
    "records of each, how many are unchanged (with --unordered, how many of them\n"
    "moved in the file), changed, removed and added. --report FILE writes the\n"
    "same as rows, CSV or JSON by FILE's ending: a row per changed field, and per\n"
    "removed or added record with how far the nearest record of its ID in the\n"
    "other database lies (distance_nm). --map OUT.svg draws the changes, over\n"
    "OLD's unchanged records, as 'navaid update' does. Exit status 0 when both\n"
    "hold the same records in the same order (with --unordered, in any order)\n"
    "and the same piece after them, 3 when they differ.\n"
    "\n"
    "Examples:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n"
    "  navaid diff vor vor.qvz fresh-import.qvz --unordered --report changes.json\n",
    Run};

}  // namespace navaid::cli
