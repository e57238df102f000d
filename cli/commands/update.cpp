// navaid update: DATABASE.new as the database brought up to a newer file's
// data, each record changed in its place, with a report of what differs.
#include "update.h"

#include "code_page.h"
#include "command.h"
#include "database.h"
#include "interchange.h"
#include "line_reader.h"
#include "navaid_db.h"
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

Ending Run(const CommandLine& line, const Console& console) {
    const UpdateSettings settings{CircleOf(line), FieldsOption().Get(line), MatchWithin(line),
                                  RemoveWithdrawnFlag().Get(line), AddNewFlag().Get(line)};
    // NEWER first: its reader's pairing is gone before the records are kept.
    UpdateNavaids navaids(line.family);
    ImportTally tally;
    std::uint64_t count = 0;
    const ImportFilter filter{line.family, settings.near, NavDatLayoutOption().Given(line), false};
    RefuseLayoutUnlessNavDat(filter, *line.navaids);
    if (Outcome newer = line.navaids->Read(
            filter,
            [&](std::string_view record, std::uint8_t unstated) {
                navaids.Add(record, unstated);
                return Outcome::Success();
            },
            tally, count);
        !newer)
        return WithLayoutOption(newer);
    if (!tally.cycle.empty()) console.out << "data cycle " << tally.cycle << "\n";
    DatabaseFile& database = line.Database();
    auto print = [&](const ReportEvent& event) { Print(console, line.family, event); };
    UpdateSummary sum;
    if (DryRunFlag().Get(line)) {
        if (Outcome read = Update(database, navaids, settings, nullptr, print, sum); !read)
            return read;
    } else {
        StagedOutput out(WorkingCopyName(database.Path()));
        if (Outcome written = out.Write([&](const std::string& path) {
                return Update(database, navaids, settings, &path, print, sum);
            });
            !written)
            return written;
    }
    console.out << database.Path() << ": " << sum.compared << " records compared: " << sum.unchanged
                << " unchanged, " << sum.changed << " changed, " << sum.withdrawn << " withdrawn ("
                << (settings.removeWithdrawn ? "removed" : "kept") << "), " << sum.added << " new ("
                << (settings.addNew ? "added" : "not added") << ")\n";
    return sum.Differs() ? kExitFindings : kExitOk;
}

std::vector<OptionSpec> Options() {
    std::vector<OptionSpec> options = CircleOptions();
    options.insert(options.end(),
                   {NavDatLayoutOption().Spec(), MatchWithinOption().Spec(), FieldsOption().Spec(),
                    RemoveWithdrawnFlag().Spec(), AddNewFlag().Spec(), DryRunFlag().Spec()});
    return options;
}

}  // namespace

const CommandInfo kUpdateCommand{
    "update",
    "write DATABASE.new as the database brought up to a newer file's data",
    {"DATABASE", "NEWER"},
    Options(),
    kReadsDatabase | kWritesNew | kEditsDatabase | kReadsNavaids,
    "Compares the records of DATABASE with the navaids of the family in NEWER (any\n"
    "file 'navaid import' reads, or a database of the family, told by content; -\n"
    "is standard input), inside the --near circle when one is given. A record and a\n"
    "navaid pair when their IDs are the same and they lie at most --match-within\n"
    "NM apart: pairs of the same type first, then the closest. Writes DATABASE.new\n"
    "with each paired record's differing fields (default position, freq, magvar,\n"
    "alt and type; a field NEWER does not state, as nav.dat's variation on DME\n"
    "and NDB rows, is left alone) changed in its place. Records no navaid pairs\n"
    "with are withdrawn: kept, or left out with --remove-withdrawn; navaids no\n"
    "record pairs with are new, appended with --add-new. Prints a line for each\n"
    "changed (~), withdrawn (-) and new (+) one, then a summary. Exit status 0\n"
    "when nothing differs, 3 when something does.\n"
    "\n"
    "Example:\n"
    "  navaid update vor vor.qvz earth_nav.dat.gz --dry-run\n",
    Run};

}  // namespace navaid::cli
