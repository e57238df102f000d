// navaid find: the records that match, with the index 'delete' takes.
#include <algorithm>
#include <cmath>

#include "find.h"

namespace navaid::cli {

namespace {

double StrictNumber(const std::string& option, std::string_view text) {
    float value = 0;
    if (!ParseStrictReal(text, value) || !std::isfinite(value)) {
        throw UsageError("--" + option + ": '" + std::string(text) + "' is not a number");
    }
    return value;
}

std::string Normalized(std::string_view text) { return UpperCase(TrimWhiteSpace(text)); }

}  // namespace

FindQuery MakeFindQuery(const CommandLine& line) {
    FindQuery query;
    if (auto id = line.Option("id")) query.id = Normalized(*id);
    if (auto name = line.Option("name")) query.name = Normalized(*name);
    if (auto type = line.Option("type")) {
        if (auto message = CheckTypeName(line.family, *type)) {
            throw UsageError("--type: " + *message);
        }
        query.type = Normalized(*type);
    }
    auto near = line.Option("near");
    auto within = line.Option("within");
    if (near.has_value() != within.has_value()) {
        throw UsageError("--near and --within go together");
    }
    if (near) {
        std::size_t comma = near->find(',');
        if (comma == std::string::npos) throw UsageError("--near: expected LAT,LON");
        query.nearLat = StrictNumber("near", std::string_view(*near).substr(0, comma));
        query.nearLon = StrictNumber("near", std::string_view(*near).substr(comma + 1));
        if (std::fabs(*query.nearLat) > 90 || std::fabs(*query.nearLon) > 180) {
            throw UsageError("--near: '" + *near + "' is not a position (-90..90,-180..180)");
        }
        query.withinNm = StrictNumber("within", *within);
        if (*query.withinNm < 0) throw UsageError("--within: a distance cannot be negative");
    }
    return query;
}

bool Matches(const FindQuery& query, Family family, const DecodedRecord& record) {
    if (query.id && Normalized(record.id) != *query.id) return false;
    if (query.name && Normalized(record.name).find(*query.name) == std::string::npos) {
        return false;
    }
    if (query.type && *query.type != TypeText(family, record.typeCode)) return false;
    if (query.nearLat) {
        if (!std::isfinite(record.latitude) || !std::isfinite(record.longitude)) return false;
        double nm = DistanceNm(*query.nearLat, *query.nearLon, record.latitude, record.longitude);
        if (!(nm <= *query.withinNm)) return false;
    }
    return true;
}

std::string FindLine(Family family, std::uint64_t index, const std::uint8_t* record) {
    // The list line of the record with blank ID and name gives the number and
    // type columns exactly as the list writes them.
    std::vector<std::uint8_t> blank(record, record + RecordSize(family));
    std::fill(blank.begin(), blank.begin() + kLabelSize, ' ');
    std::string columns = ListRecordLine(family, blank.data());
    columns = columns.substr(kLabelSize + 2, columns.size() - kLabelSize - 4);
    auto text = [&](std::size_t offset, std::size_t size) {
        return EscapeBytes(std::string_view(reinterpret_cast<const char*>(record) + offset, size));
    };
    return std::to_string(index) + '\t' + text(RecordLayout::kId, RecordLayout::kIdSize) + ',' +
           text(RecordLayout::kName, RecordLayout::kNameSize) + ',' + columns;
}

namespace {

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(
        args, {"DATABASE"},
        {{"id", false}, {"name", false}, {"type", false}, {"near", false}, {"within", false}});
    FindQuery query = MakeFindQuery(line);
    const Outcome read = ForEachRecord(
        line.positional[0], line.family, [&](std::uint64_t index, const std::uint8_t* record) {
            if (Matches(query, line.family, DecodeRecord(line.family, record)))
                console.out << FindLine(line.family, index, record) << '\n';
        });
    if (!read) return ReportFailure(console, read);
    return kExitOk;
}

}  // namespace

const CommandInfo kFindCommand{
    "find", "print the records that match an ID, name, type or position",
    "Usage: navaid find vor|ndb DATABASE [--id ID] [--name TEXT] [--type TYPE]\n"
    "                   [--near LAT,LON --within NM]\n"
    "\n"
    "Prints each matching record as its index, a TAB, and the columns of its line\n"
    "in the list (ID and name bytes below 0x20, 0x7F and the backslash as \\xNN).\n"
    "The index goes straight to 'navaid delete'. All given conditions must hold:\n"
    "  --id ID         the ID, ignoring case and padding\n"
    "  --name TEXT     a part of the name, ignoring case\n"
    "  --type TYPE     one of the family's types\n"
    "  --near LAT,LON --within NM\n"
    "                  at most NM nautical miles from the position\n"
    "Without conditions every complete record is printed.\n"
    "\n"
    "Example:\n"
    "  navaid find vor samples/vor.qvz --near 50.03,8.57 --within 40 --type VOR-DME\n",
    Run};

}  // namespace navaid::cli
