#include "database.h"

#include <cmath>

#include "code_page.h"
#include "command.h"
#include "entry_texts.h"
#include "number_format.h"

namespace navaid::cli {

namespace {

double StrictNumber(const std::string& option, std::string_view text) {
    float value = 0;
    if (!ParseStrictReal(text, value) || std::isnan(value)) {
        throw UsageError("--" + option + ": '" + std::string(text) + "' is not a number");
    }
    if (std::isinf(value)) {
        throw UsageError("--" + option + ": '" + std::string(text) + "' is too large to hold");
    }
    return value;
}

std::string Normalized(std::string_view text) { return UpperCase(TrimWhiteSpace(text)); }

// An --id or --name value as the stored bytes it is compared with.
std::string StoredQuery(const char* option, const std::string& text) {
    std::string stored;
    if (auto refused = GivenToCp1252(text, stored)) {
        throw UsageError("--" + std::string(option) + ": " + *refused);
    }
    return Normalized(stored);
}

}  // namespace

Outcome ReadRecords(const std::string& path, Family family, const RecordVisitor& visit,
                    std::string* trailing) {
    return ForEachRecord(path, RecordSize(family), visit, trailing, io::OpenMode::Read);
}

RecordSource DatabaseSource(const CommandLine& line, std::size_t index, std::string* trailing) {
    return [path = line.positional[index], family = line.family, trailing](
               const RecordVisitor& visit) { return ReadRecords(path, family, visit, trailing); };
}

DatabaseInput DatabaseInputOf(const CommandLine& line, std::size_t index) {
    auto trailing = std::make_shared<std::string>();
    return {DatabaseSource(line, index, trailing.get()), trailing, line.positional[index]};
}

// Functions, not globals: the command table is built from them while the
// program starts, in no order across files.
const std::vector<OptionSpec>& CircleOptions() {
    static const std::vector<OptionSpec> options = {
        {"near", "LAT,LON", "with --within: at most NM nautical miles from the position"},
        {"within", "NM", "the circle's radius in nautical miles"},
    };
    return options;
}

const std::vector<OptionSpec>& QueryOptions() {
    static const std::vector<OptionSpec> options = [] {
        std::vector<OptionSpec> all = {
            {"id", "ID", "the ID, ignoring case and padding"},
            {"name", "TEXT", "a part of the name, ignoring case"},
            {"type", "TYPE", "one of the family's types"},
        };
        all.insert(all.end(), CircleOptions().begin(), CircleOptions().end());
        return all;
    }();
    return options;
}

std::vector<OptionSpec> EntryOptions(bool required) {
    return {{"id", "ID", "at most 10 bytes", required},
            {"name", "NAME", "at most 20 bytes", required},
            {"lat", "X", "latitude in degrees, north positive", required},
            {"lon", "X", "longitude in degrees, east positive", required},
            {"freq", "X", "frequency: MHz for the VOR family, kHz for NDBs", required},
            {"magvar", "X", "magnetic variation in degrees", required},
            {"alt", "N", "altitude in feet, a whole number (VOR only; 0 when left out)"},
            {"type", "TYPE", "one of the family's types", required}};
}

double MatchWithin(const CommandLine& line) {
    const std::string text = line.Option("match-within").value_or("10");
    float nm = 0;
    if (!ParseStrictReal(text, nm) || !(nm >= 0) || std::isinf(nm))
        throw UsageError("--match-within: '" + text + "' is not a distance in NM");
    return nm;
}

std::optional<Circle> CircleOf(const CommandLine& line) {
    auto near = line.Option("near");
    auto within = line.Option("within");
    if (near.has_value() != within.has_value()) {
        throw UsageError("--near and --within go together");
    }
    if (!near) return std::nullopt;
    std::size_t comma = near->find(',');
    if (comma == std::string::npos) throw UsageError("--near: expected LAT,LON");
    Circle circle{StrictNumber("near", std::string_view(*near).substr(0, comma)),
                  StrictNumber("near", std::string_view(*near).substr(comma + 1)), 0};
    if (!PositionInRange(circle.lat, circle.lon)) {
        throw UsageError("--near: '" + *near + "' is not a position (-90..90,-180..180)");
    }
    circle.nm = StrictNumber("within", *within);
    if (circle.nm < 0) throw UsageError("--within: a distance cannot be negative");
    return circle;
}

FindQuery QueryOf(const CommandLine& line) {
    FindQuery query;
    if (auto id = line.Option("id")) query.id = StoredQuery("id", *id);
    if (auto name = line.Option("name")) query.name = StoredQuery("name", *name);
    if (auto type = line.Option("type")) {
        if (auto message = CheckTypeName(line.family, *type)) {
            throw UsageError("--type: " + *message);
        }
        query.type = Normalized(*type);
    }
    query.near = CircleOf(line);
    return query;
}

RecordSelection SelectionOf(const CommandLine& line) {
    return [query = QueryOf(line), family = line.family](const DecodedRecord& record) {
        return Matches(query, family, record);
    };
}

}  // namespace navaid::cli
