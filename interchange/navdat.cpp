// nav.dat out, and the format's row: records to rows 2, 3, 12 and 13. The
// reading half, longer by the type words and pairing of real files, is
// navdat_reader.cpp.
#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "navdat_reader.h"
#include "navdat_types.h"
#include "text.h"

namespace navaid {

namespace {

constexpr int kVorRange = 125, kNdbRange = 50;  // "unspecified" and "normal" classes

float ReadScaled(std::string_view text, double scale) {
    double value = 0;
    if (!ParseNavDatNumber(text, value)) return std::nanf("");
    return static_cast<float>(value / scale);
}

// --- writing ---

float ReadBack(std::string_view text, double scale) { return ReadScaled(text, scale); }

struct RowText {
    std::string lat, lon, frequency, extra;
};

void AppendRow(std::string& out, int code, const RowText& t, std::int32_t elevation, int range,
               const std::string& extra, std::string_view id, const std::string& columns,
               std::string_view name, const char* word) {
    char head[160];
    std::snprintf(head, sizeof head, "%-2d %12s %13s %6d %6s %4d %8s ", code, t.lat.c_str(),
                  t.lon.c_str(), static_cast<int>(elevation), t.frequency.c_str(), range,
                  extra.c_str());
    out += head;
    out += id;
    out += ' ';
    out += columns;
    if (!name.empty()) {
        out += name;
        out += ' ';
    }
    out += word;
    out += '\n';
}

// A station's rows: its own row, then its DME's, as nav.dat's table of types says.
void AppendStationRows(std::string& text, const TypeBlock& type, const NavDatType& rows,
                       const RowText& t, std::int32_t elevation, std::string_view id,
                       const std::string& columns, std::string_view name) {
    const bool ndb = type.family == Family::Ndb;
    const int range = ndb ? kNdbRange : kVorRange;
    AppendRow(text, rows.row, t, elevation, range, t.extra, id, columns, name, type.name);
    if (rows.dmeRow == 0) return;
    // A beacon's DME is written without a frequency of its own.
    const RowText dme = ndb ? RowText{t.lat, t.lon, std::string(1, '0'), t.extra} : t;
    AppendRow(text, rows.dmeRow, dme, elevation, range, "0.0", id, columns, name, type.name);
}

// Refuses what does not apply and fills in the defaults: version 1200, region ZZ.
Outcome Settle(ExportSettings& settings) {
    const std::string version = settings.version.value_or("1200");
    settings.navDatVersion = 0;
    for (int known : kNavDatVersions)
        if (version == std::to_string(known)) settings.navDatVersion = known;
    if (settings.navDatVersion == 0) {
        std::string known;
        for (std::size_t i = 0; i < std::size(kNavDatVersions); ++i)
            known += (i == 0                                ? ""
                      : i + 1 == std::size(kNavDatVersions) ? " or "
                                                            : ", ") +
                     std::to_string(kNavDatVersions[i]);
        return Outcome::Refused("version", Quoted(version) + " is not " + known);
    }
    if (settings.region && settings.navDatVersion < 1100)
        return Outcome::Refused("region", "is for nav.dat 1100 and 1200; 810 has no region column");
    const std::string region = UpperCase(settings.region.value_or("ZZ"));
    const bool valid = region.size() == 2 && std::all_of(region.begin(), region.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c));
                       });
    if (!valid) return Outcome::Refused("region", Quoted(region) + " is not two letters or digits");
    settings.region = region;
    return Outcome::Success();
}

std::string Head(Family family, const ExportSettings& settings) {
    return "I\n" + std::to_string(settings.navDatVersion) + " Version - " + FamilyName(family) +
           " navaids written by navaid\n";
}

Outcome AppendStation(Family family, const ExportRecord& record, const ExportSettings& settings,
                      std::string& text) {
    const std::string columns =
        settings.navDatVersion >= 1100 ? "ENRT " + *settings.region + " " : "";
    const bool vor = family == Family::Vor;
    const DecodedRecord& r = record.fields;
    auto refuse = [&](const std::string& why) {
        return RefuseRecord(record, why, "nav.dat cannot hold it");
    };
    const std::string_view id = TrimWhiteSpace(r.id);
    const std::string_view name = TrimWhiteSpace(r.name);
    if (id.empty()) return refuse("its ID is empty");
    for (char c : id)
        if (IsNavDatBlank(c) || c == '\n') return refuse("its ID holds white space");
    for (char c : name)
        if (c == '\r' || c == '\n') return refuse("its name holds a line break");
    if (std::string fault = ControlByteFault(r); !fault.empty()) return refuse(fault);
    const TypeBlock* type = FindType(family, r.typeCode);
    if (type == nullptr) return refuse("its type is undefined");
    const NavDatType* rows = FindNavDatType(type->name);
    if (rows == nullptr) return refuse("nav.dat has no row for its type");
    RowText t{FixedDecimal(r.latitude, 1, 8, ReadBack), FixedDecimal(r.longitude, 1, 8, ReadBack),
              FixedDecimal(r.frequency, vor ? 100 : 1, 0, ReadBack),
              FixedDecimal(r.magVar, 1, 1, ReadBack)};
    if (t.lat.empty() || t.lon.empty()) return refuse("its position is not a number");
    if (t.frequency.empty()) return refuse("its frequency is not a number");
    if (t.extra.empty()) return refuse("its MagVar is not a number");
    AppendStationRows(text, *type, *rows, t, vor ? r.altitude : 0, id, columns, name);
    return Outcome::Success();
}

// A name whose last word a reader takes for the type: "FRANKFURT DME" of a
// VOR-DME comes back as the DME "FRANKFURT", "RUNWAY DME-ILS" not at all.
bool EndsInTypeWord(Family, const DecodedRecord& record) {
    const std::string_view name = TrimWhiteSpace(record.name);
    std::size_t start = name.size();
    while (start > 0 && !IsNavDatBlank(name[start - 1])) --start;
    return start < name.size() && IsNavDatTypeWord(UpperCase(name.substr(start)));
}

std::string TypeWordNames(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " name ends" : " names end") +
           " in a type word or DME-ILS, which a nav.dat reader takes for the type, so those rows "
           "come back with another type or name, or are skipped as a landing system's";
}

}  // namespace

const Format kNavDatFormat{
    "nav.dat",
    ".dat",
    LooksLikeNavDat,
    ReadNavDat,
    Settle,
    Head,
    [](Family family, const ExportRecord& record, const ExportSettings& settings, std::uint64_t,
       std::string& text) { return AppendStation(family, record, settings, text); },
    "99\n",
    nullptr,
    nullptr,
    {},
    EndsInTypeWord,
    TypeWordNames};

}  // namespace navaid
