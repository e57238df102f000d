// navaid diff: the records removed from one database and added in another.
#include "diff.h"

#include "change_map_output.h"
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
                              Cp1252ToUtf8(io::NameOf(line.positional[0])) + " and " +
                              Cp1252ToUtf8(io::NameOf(line.positional[1]));
    return map.Write(line.Database(0), title, std::nullopt, console);
}

Ending Run(const CommandLine& line, const Console& console) {
    bool differ = false;
    ChangeMapOutput map(line, "removed", "added");
    if (Outcome checked = map.Check({line.positional[0], line.positional[1]}); !checked)
        return checked;
    const Outcome compared = Diff(line.family, DatabaseInputOf(line, 0), DatabaseInputOf(line, 1),
                                  MatchWithin(line), [&](const ReportEvent& event) {
                                      differ = true;
                                      Print(line.family, event, console);
                                      map.Keep(event);
                                  });
    if (!compared) return compared;
    if (Outcome drawn = DrawMap(map, line, console); !drawn) return drawn;
    return differ ? kExitFindings : kExitOk;
}

}  // namespace

const CommandInfo kDiffCommand{
    "diff",
    "print the records removed from OLD and added in NEW",
    {"OLD", "NEW"},
    {MatchWithinOption().Spec(), MapOption().Spec()},
    kReadsDatabase | kReadsSecond,
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A record\n"
    "removed and one added at the same place, or of the same ID within\n"
    "--match-within NM, are one changed record (\"~ \"): its index in OLD, its ID\n"
    "and each changed field as old -> new, numbers with every digit they need. A\n"
    "piece after the last record that differs is shown last. --map OUT.svg also\n"
    "draws the changes, over OLD's unchanged records, as 'navaid update' does.\n"
    "Exit status 0 when both hold the same records in the same order (and the\n"
    "same piece after them), 3 when they differ.\n"
    "\n"
    "Example:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n",
    Run};

}  // namespace navaid::cli
