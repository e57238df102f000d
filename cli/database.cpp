#include "database.h"

#include <cmath>

#include "code_page.h"
#include "command.h"
#include "entry_texts.h"
#include "interchange.h"
#include "number_format.h"

namespace navaid::cli {

namespace {

double StrictNumber(std::string_view option, std::string_view text) {
    float value = 0;
    if (!ParseStrictReal(text, value) || std::isnan(value)) {
        RefuseUsage("--" + std::string(option) + ": '" + std::string(text) + "' is not a number");
    }
    if (std::isinf(value)) {
        RefuseUsage("--" + std::string(option) + ": '" + std::string(text) +
                    "' is too large to hold");
    }
    return value;
}

std::string Normalized(std::string_view text) { return UpperCase(TrimWhiteSpace(text)); }

// An --id or --name value as the stored bytes it is compared with; a blank
// one would pick every record.
std::string StoredQuery(std::string_view option, const std::string& text) {
    std::string stored;
    if (Outcome given = GivenToCp1252(text, stored); !given)
        RefuseUsage("--" + std::string(option) + ": " + given.reason);
    stored = Normalized(stored);
    if (stored.empty()) RefuseValue(option, text, "is blank: it would select every record");
    return stored;
}

}  // namespace

RecordSource DatabaseSource(const CommandLine& line, std::size_t index, std::string* trailing) {
    DatabaseFile& database = line.Database(index);
    return [&database, trailing](const RecordVisitor& visit) {
        return database.ForEach(visit, trailing);
    };
}

DatabaseInput DatabaseInputOf(const CommandLine& line, std::size_t index) {
    auto trailing = std::make_shared<std::string>();
    return {DatabaseSource(line, index, trailing.get()), trailing, line.positional[index]};
}

// Functions, not globals: the command table is built from them while the
// program starts, in no order across files.
namespace {

const Option<std::string>& NearOption() {
    static const Option<std::string> option{
        "near", "LAT,LON", "with --within: at most NM nautical miles from the position", AsGiven};
    return option;
}
const Option<double>& WithinOption() {
    static const Option<double> option{
        "within", "NM", "the circle's radius in nautical miles",
        [](std::string_view name, const std::string& text) {
            const double nm = StrictNumber(name, text);
            if (nm < 0) RefuseUsage("--within: a distance cannot be negative");
            return nm;
        }};
    return option;
}
// The stored bytes an --id or --name is compared with.
const Option<std::string>& IdQueryOption() {
    static const Option<std::string> option{"id", "ID", "the ID, ignoring case and padding",
                                            StoredQuery};
    return option;
}
const Option<std::string>& NameQueryOption() {
    static const Option<std::string> option{"name", "TEXT", "a part of the name, ignoring case",
                                            StoredQuery};
    return option;
}
const Option<std::string>& TypeQueryOption() {
    static const Option<std::string> option{"type", "TYPE", "one of the family's types", AsGiven};
    return option;
}

}  // namespace

const std::vector<OptionSpec>& CircleOptions() {
    static const std::vector<OptionSpec> options = {NearOption().Spec(), WithinOption().Spec()};
    return options;
}

const std::vector<OptionSpec>& QueryOptions() {
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> all = {IdQueryOption().Spec(), NameQueryOption().Spec(),
                                       TypeQueryOption().Spec()};
        all.insert(all.end(), CircleOptions().begin(), CircleOptions().end());
        return all;
    }();
    return options;
}

const std::vector<EntryField>& EntryFields() {
    static const std::vector<EntryField> fields = [] {
        auto field = [](std::string_view name, std::string_view value, const char* help,
                        std::size_t offset, std::size_t size) {
            return EntryField{Option<std::string>{name, value, help, AsGiven}, offset, size};
        };
        return std::vector<EntryField>{
            field("id", "ID", "at most 10 bytes", RecordLayout::kId, RecordLayout::kIdSize),
            field("name", "NAME", "at most 20 bytes", RecordLayout::kName, RecordLayout::kNameSize),
            field("lat", "X", "latitude in degrees, north positive", RecordLayout::kLatitude, 4),
            field("lon", "X", "longitude in degrees, east positive", RecordLayout::kLongitude, 4),
            field("freq", "X", "frequency: MHz for the VOR family, kHz for NDBs",
                  RecordLayout::kFrequency, 4),
            field("magvar", "X", "magnetic variation in degrees", RecordLayout::kMagVar, 4),
            field("alt", "N", "altitude in feet, a whole number (VOR only; 0 when left out)",
                  RecordLayout::kAltitude, 4),
            field("type", "TYPE", "one of the family's types", RecordLayout::kTypeBlock, 0)};
    }();
    return fields;
}

std::vector<OptionSpec> EntryOptions(bool required) {
    std::vector<OptionSpec> options;
    for (const EntryField& field : EntryFields())
        options.push_back(required && field.option.Name() != "alt" ? field.option.Required()
                                                                   : field.option.Spec());
    return options;
}

EntryTexts EntryTextsOf(const CommandLine& line, Family family) {
    const std::vector<EntryField>& f = EntryFields();
    // The stand-ins are values add takes, for the fields set leaves as they are.
    auto given = [&](std::size_t i, const char* stand) {
        return f[i].option.Given(line).value_or(stand);
    };
    return {given(0, "X"), given(1, "X"), given(2, "0"),           given(3, "0"),
            given(4, "0"), given(5, "0"), f[6].option.Given(line), given(7, FamilyName(family))};
}

namespace {
std::vector<std::string> LayoutNames() {
    std::vector<std::string> layouts;
    for (int layout : kNavDatLayouts) layouts.push_back(std::to_string(layout));
    return layouts;
}
}  // namespace

const Option<int>& NavDatLayoutOption() {
    static const Option<int> option = [] {
        const std::vector<std::string> layouts = LayoutNames();
        return Option<int>{"navdat-version", "N",
                           "the layout of nav.dat rows without a version line (" + layouts.front() +
                               " ... " + layouts.back() + ")",
                           [layouts](std::string_view name, const std::string& text) {
                               for (int layout : kNavDatLayouts)
                                   if (text == std::to_string(layout)) return layout;
                               RefuseValue(name, text, "is not " + OneOf(layouts));
                           }};
    }();
    return option;
}
void RefuseLayoutUnlessNavDat(const ImportFilter& filter, const NavaidSource& source) {
    const Format* format = source.ImportFormat();
    if (filter.navDatVersion && format != &kNavDatFormat) {
        RefuseUsage("--" + std::string(NavDatLayoutOption().Name()) + " is for a nav.dat; " +
                    ShownName(source.Name()) + " is " +
                    (format ? std::string(format->name) : "a database"));
    }
}

Outcome WithLayoutOption(Outcome failure) {
    // The layout is the option's to give.
    if (failure.field == "version")
        failure.reason +=
            " (--" + std::string(NavDatLayoutOption().Name()) + " " + OneOf(LayoutNames()) + ")";
    return failure;
}

const Flag& SkipInvalidFlag() {
    static const Flag flag{"skip-invalid", "pass over rows that cannot be read, counted"};
    return flag;
}

void PrintPassedOver(const Console& console, const std::string& source, const ImportTally& tally) {
    for (const std::string& shown : tally.invalidShown)
        console.err << "navaid: " << ShownName(source) << ": passed over " << shown << "\n";
}

const Option<double>& MatchWithinOption() {
    static const Option<double> option{
        "match-within", "NM", "records of one ID this near are one station", Distance, 10, "10"};
    return option;
}

double MatchWithin(const CommandLine& line) { return MatchWithinOption().Get(line); }

std::optional<Circle> CircleOf(const CommandLine& line) {
    auto near = NearOption().Given(line);
    if (near.has_value() != WithinOption().Present(line)) {
        RefuseUsage("--near and --within go together");
    }
    if (!near) return std::nullopt;
    std::size_t comma = near->find(',');
    if (comma == std::string::npos) RefuseUsage("--near: expected LAT,LON");
    Circle circle{StrictNumber("near", std::string_view(*near).substr(0, comma)),
                  StrictNumber("near", std::string_view(*near).substr(comma + 1)), 0};
    if (!PositionInRange(circle.lat, circle.lon)) {
        RefuseUsage("--near: '" + *near + "' is not a position (-90..90,-180..180)");
    }
    circle.nm = WithinOption().Get(line);
    return circle;
}

FindQuery QueryOf(const CommandLine& line) {
    FindQuery query;
    query.id = IdQueryOption().Given(line);
    query.name = NameQueryOption().Given(line);
    if (auto type = TypeQueryOption().Given(line)) {
        if (Outcome checked = CheckTypeName(line.family, *type); !checked)
            RefuseUsage("--type: " + checked.reason);
        query.type = Normalized(*type);
    }
    query.near = CircleOf(line);
    return query;
}

RecordSelection SelectionOf(const CommandLine& line, std::uint64_t* matched) {
    return [query = QueryOf(line), family = line.family, matched](const DecodedRecord& record) {
        const bool picked = Matches(query, family, record);
        if (picked && matched) ++*matched;
        return picked;
    };
}

bool Selects(const CommandLine& line) {
    return IdQueryOption().Present(line) || NameQueryOption().Present(line) ||
           TypeQueryOption().Present(line) || NearOption().Present(line) ||
           WithinOption().Present(line);
}

Outcome NoneSelected(const CommandLine& line) {
    return Outcome::Failure("", ShownName(line.positional[0]) + " has " +
                                    Records(line.databaseBytes / RecordSize(line.family)) +
                                    "; the selection picks none of them");
}

}  // namespace navaid::cli
