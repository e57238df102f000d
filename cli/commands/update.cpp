// navaid update: DATABASE.new as the database brought up to a newer file's
// data, each record changed in its place, with a report of what differs.
#include "update.h"

#include "change_outputs.h"
#include "code_page.h"
#include "command.h"
#include "database.h"
#include "file_io.h"
#include "interchange.h"
#include "line_reader.h"
#include "navaid_db.h"
#include "number_format.h"
#include "staged_output.h"
#include "text.h"

namespace navaid::cli {

namespace {

// The fields by the names --fields takes, in its help's order.
constexpr std::pair<std::string_view, RecordField> kFieldNames[] = {
    {"position", RecordField::Position}, {"freq", RecordField::Freq},
    {"magvar", RecordField::MagVar},     {"alt", RecordField::Alt},
    {"type", RecordField::Type},         {"name", RecordField::Name}};

std::vector<RecordField> ParseFields(std::string_view option, const std::string& list) {
    std::vector<RecordField> fields;
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string word = LowerCase(TrimWhiteSpace(list.substr(start, comma - start)));
        auto found = std::find_if(std::begin(kFieldNames), std::end(kFieldNames),
                                  [&](const auto& name) { return name.first == word; });
        if (found == std::end(kFieldNames)) {
            std::vector<std::string> names;
            for (const auto& name : kFieldNames) names.emplace_back(name.first);
            RefuseUsage("--" + std::string(option) + ": '" + word + "' is not " + OneOf(names));
        }
        fields.push_back(found->second);
        start = comma + 1;
    }
    return fields;
}

// The names joined with commas: all of them, or all but name (the default).
std::string FieldList(bool withName) {
    std::string list;
    for (const auto& [name, field] : kFieldNames) {
        if (!withName && field == RecordField::Name) continue;
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

const Option<std::vector<RecordField>>& FieldsOption() {
    static const Option<std::vector<RecordField>> option{
        "fields", "LIST", "compared and changed: " + FieldList(true), ParseFields,
        ParseFields("fields", FieldList(false))};
    return option;
}
const Flag& RemoveWithdrawnFlag() {
    static const Flag flag{"remove-withdrawn", "leave out the records no navaid pairs with"};
    return flag;
}
const Flag& AddNewFlag() {
    static const Flag flag{"add-new", "append the navaids no record pairs with"};
    return flag;
}
const Option<double>& MinMoveOption() {
    static const Option<double> option{
        "min-move", "NM", "a position moved less than this stays as it is", Distance, 0, "0"};
    return option;
}
const Flag& DryRunFlag() {
    static const Flag flag{"dry-run", "report only; write nothing"};
    return flag;
}

std::string Named(const Console& console, std::span<const std::uint8_t> record) {
    const std::string_view bytes(reinterpret_cast<const char*>(record.data()), record.size());
    return console.Shown(
        EscapeBytes(TrimWhiteSpace(bytes.substr(0, RecordLayout::kIdSize))) + " " +
        EscapeBytes(TrimWhiteSpace(bytes.substr(RecordLayout::kName, RecordLayout::kNameSize))));
}

void Print(const Console& console, Family family, const ReportEvent& event) {
    if (event.kind == ReportEvent::Kind::Added) {
        const DecodedRecord r = DecodeRecord(family, event.record.data());
        console.out << "+ " << Named(console, event.record) << ": new " << r.type << " at "
                    << FormatListReal(r.latitude) << ',' << FormatListReal(r.longitude) << '\n';
        return;
    }
    const bool withdrawn = event.kind == ReportEvent::Kind::Removed;
    console.out << (withdrawn ? "- " : "~ ") << *event.index << ' ' << Named(console, event.record)
                << ": " << (withdrawn ? "withdrawn" : console.Shown(ChangesText(event.changes)))
                << '\n';
}

// The navaids of NEWER that the pairing circle holds, checked as import checks them.
Outcome ReadNewer(const CommandLine& line, const UpdateSettings& settings, UpdateNavaids& navaids,
                  const Console& console) {
    ImportTally tally;
    std::uint64_t count = 0;
    ImportFilter filter{line.family, PairingCircle(settings), NavDatLayoutOption().Given(line),
                        SkipInvalidFlag().Get(line)};
    if (settings.near)
        filter.alsoOutside = [&](std::string_view id) { return KeyTakesPart(settings, id); };
    RefuseLayoutUnlessNavDat(filter, *line.navaids);
    const Outcome read = line.navaids->Read(
        filter,
        [&](std::string_view record, std::uint8_t unstated) {
            navaids.Add(record, unstated);
            return Outcome::Success();
        },
        tally, count);
    if (!read) return WithLayoutOption(read);
    if (!tally.cycle.empty()) console.out << "data cycle " << tally.cycle << "\n";
    const std::string unit = line.navaids->ImportFormat() ? " row" : " record";
    if (tally.invalid > 0)
        console.out << ShownName(line.navaids->Name()) << ": " << tally.invalid << unit
                    << (tally.invalid == 1 ? "" : "s")
                    << " skipped: could not be read (--skip-invalid)\n";
    PrintPassedOver(console, line.navaids->Name(), tally);
    return Outcome::Success();
}

// The summary's counts by name, as the report's summary holds them; the
// small moves only when --min-move asks for them.
ReportSummary Counts(const UpdateSummary& sum, bool minMove) {
    ReportSummary counts = {{"compared", sum.compared},
                            {"unchanged", sum.unchanged},
                            {"changed", sum.changed},
                            {"withdrawn", sum.withdrawn},
                            {"new", sum.added}};
    if (minMove) counts.emplace_back("moves_passed_over", sum.smallMoves);
    return counts;
}

void PrintSummary(const Console& console, const std::string& database, const UpdateSummary& sum,
                  const UpdateSettings& settings, bool minMove) {
    console.out << ShownName(database) << ": " << Records(sum.compared)
                << " compared: " << sum.unchanged << " unchanged, " << sum.changed << " changed, "
                << sum.withdrawn << " withdrawn ("
                << (settings.removeWithdrawn ? "removed" : "kept") << "), " << sum.added << " new ("
                << (settings.addNew ? "added" : "not added") << ")";
    if (minMove)
        console.out << ", " << Counted(sum.smallMoves, "move") << " under "
                    << FormatListReal(static_cast<float>(settings.minMoveNm)) << " NM passed over";
    console.out << "\n";
}

// The map of the changes, once DATABASE.new is in place (after a dry run, at once).
Outcome DrawMap(ChangeMapOutput& map, const CommandLine& line, const UpdateSettings& settings,
                const Console& console, bool dryRun) {
    const std::string title = std::string(FamilyName(line.family)) + " update of " +
                              FileNameToUtf8(io::NameOf(line.positional[0])) + " from " +
                              FileNameToUtf8(io::NameOf(line.positional[1]));
    const std::string written = WorkingCopyName(line.positional[0]);
    return map.Write(line.Database(), title, settings.near, console, dryRun ? nullptr : &written);
}

// DATABASE.new as the update writes it into `out`, or on a dry run nothing.
Outcome WriteUpdate(DatabaseFile& database, const UpdateNavaids& navaids,
                    const UpdateSettings& settings, const ReportSink& report, UpdateSummary& sum,
                    std::optional<StagedOutput>& out) {
    if (!out) return Update(database, navaids, settings, nullptr, report, sum);
    return out->Write([&](const std::string& path) {
        return Update(database, navaids, settings, &path, report, sum);
    });
}

Ending Run(const CommandLine& line, const Console& console) {
    UpdateSettings settings{CircleOf(line),         FieldsOption().Get(line),
                            MatchWithin(line),      RemoveWithdrawnFlag().Get(line),
                            AddNewFlag().Get(line), MinMoveOption().Get(line)};
    DatabaseFile& database = line.Database();
    const bool dryRun = DryRunFlag().Get(line);
    const std::string newCopy = WorkingCopyName(database.Path());
    ChangeOutputs outputs(line, "withdrawn", "new");
    if (Outcome checked = outputs.Check(line, {database.Path(), line.positional[1], newCopy});
        !checked)
        return checked;
    settings.nearest = outputs.report.Wanted();
    if (Outcome read = FindInsideKeys(database, settings); !read) return read;
    // NEWER next: its reader's pairing is gone before the records are kept.
    UpdateNavaids navaids(line.family);
    if (Outcome read = ReadNewer(line, settings, navaids, console); !read) return read;
    auto each = [&](const ReportEvent& event) {
        Print(console, line.family, event);
        outputs.Keep(event);
    };
    UpdateSummary sum;
    std::optional<StagedOutput> out;
    if (!dryRun) out.emplace(newCopy);
    if (Outcome updated = WriteUpdate(database, navaids, settings, each, sum, out); !updated)
        return updated;
    const bool minMove = MinMoveOption().Present(line);
    PrintSummary(console, database.Path(), sum, settings, minMove);
    const std::uint64_t kept = database.Count() - (settings.removeWithdrawn ? sum.withdrawn : 0) +
                               (settings.addNew ? sum.added : 0);
    if (out) out->Report(console) << ": " << Records(kept) << "\n";
    if (Outcome written =
            outputs.report.Finish(Counts(sum, minMove), console, dryRun ? "" : newCopy);
        !written)
        return written;
    if (Outcome drawn = DrawMap(outputs.map, line, settings, console, dryRun); !drawn) return drawn;
    return sum.Differs() ? kExitFindings : kExitOk;
}

std::vector<OptionSpec> Options() {
    std::vector<OptionSpec> options = CircleOptions();
    options.insert(
        options.end(),
        {NavDatLayoutOption().Spec(), SkipInvalidFlag().Spec(), MatchWithinOption().Spec(),
         FieldsOption().Spec(), RemoveWithdrawnFlag().Spec(), AddNewFlag().Spec(),
         MinMoveOption().Spec(), DryRunFlag().Spec(), ReportOption().Spec(), MapOption().Spec()});
    return options;
}

}  // namespace

const CommandInfo kUpdateCommand{
    "update",
    "write DATABASE.new as the database brought up to a newer file's data",
    {"DATABASE", "NEWER"},
    Options(),
    kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily | kReadsNavaids,
    "Compares the records of DATABASE with the navaids of the family in NEWER (any\n"
    "file 'navaid import' reads, or a database of the family, told by content; -\n"
    "is standard input). A record and a navaid pair when their IDs are the same\n"
    "and they lie at most --match-within NM apart: pairs of the same type first,\n"
    "then the closest. The circle selects records; pairing looks past it: with\n"
    "--near only the records inside take part, a navaid just outside still pairs\n"
    "with one of them, and a navaid inside whose record lies just outside is that\n"
    "record's, not new. NEWER is checked as 'navaid import' checks it: a row or\n"
    "record it would refuse refuses the update, or with --skip-invalid is passed\n"
    "over and counted. Writes DATABASE.new with each paired record's differing\n"
    "fields (default position, freq, magvar, alt and type; a field NEWER does not\n"
    "state, as nav.dat's variation on DME and NDB rows, is left alone) changed in\n"
    "its place. Records no navaid pairs with are withdrawn: kept, or left out with\n"
    "--remove-withdrawn; navaids no record pairs with are new, appended with\n"
    "--add-new. A position that moved less than --min-move NM stays as it is,\n"
    "and the summary counts those moves. Prints a line for each changed (~),\n"
    "withdrawn (-) and new (+) one, then a summary and what it wrote. --report\n"
    "FILE writes the same as rows, CSV or JSON by FILE's ending (also with\n"
    "--dry-run), after DATABASE.new: a row per changed field, and per withdrawn\n"
    "or new one with how far its ID's nearest navaid or record lies\n"
    "(distance_nm). --map OUT.svg also draws the changes as 'navaid map' draws\n"
    "navaids, framed to them or to the circle: withdrawn, new, changed and\n"
    "unchanged records in four styles, a moved one as an arrow from its old\n"
    "place; OUT is written after DATABASE.new (with --dry-run too). Exit status\n"
    "0 when nothing differs, 3 when something does (DATABASE.new is written\n"
    "either way).\n"
    "\n"
    "Examples:\n"
    "  navaid update vor vor.qvz earth_nav.dat.gz --dry-run\n"
    "  navaid update vor vor.qvz navaids.csv --dry-run --min-move 0.1 --report r.csv\n",
    Run};

}  // namespace navaid::cli
