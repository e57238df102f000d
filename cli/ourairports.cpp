// OurAirports' navaids.csv: columns by name, frequencies in kHz for every type.
#include <array>
#include <cmath>

#include "csv.h"
#include "interchange.h"

namespace navaid::cli {

namespace {

enum Column { kIdent, kName, kType, kFrequency, kLatitude, kLongitude, kElevation, kMagVar };
constexpr std::array<std::string_view, 8> kColumnNames = {
    "ident",        "name",          "type",         "frequency_khz",
    "latitude_deg", "longitude_deg", "elevation_ft", "magnetic_variation_deg"};
constexpr std::size_t kRequired = 6;  // elevation and variation are often left empty

}  // namespace

bool LooksLikeOurAirports(std::string_view text) {
    std::vector<CsvRow> rows;
    if (ParseCsv(text.substr(0, text.find('\n')), rows) || rows.empty()) return false;
    std::size_t known = 0;
    for (const std::string& field : rows[0].fields)
        for (std::size_t c = 0; c < kRequired; ++c) known += field == kColumnNames[c];
    return known == kRequired;
}

ImportedNavaids ReadOurAirports(Family family, const std::string& path, std::string_view text,
                                const FindQuery& near) {
    std::vector<CsvRow> rows;
    if (auto error = ReadCsv(text, rows)) {
        throw UsageError(path + ":" + std::to_string(error->line) + ": " + error->what);
    }
    std::array<int, 8> where;
    where.fill(-1);
    for (std::size_t i = 0; i < rows[0].fields.size(); ++i)
        for (std::size_t c = 0; c < kColumnNames.size(); ++c)
            if (rows[0].fields[i] == kColumnNames[c]) where[c] = static_cast<int>(i);

    ImportedNavaids result;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        const std::string at = path + ":" + std::to_string(row.line) + ": ";
        if (row.fields.size() != rows[0].fields.size()) {
            throw UsageError(at + "has " + std::to_string(row.fields.size()) +
                             " columns, the header has " + std::to_string(rows[0].fields.size()));
        }
        auto cell = [&](Column c) {
            return where[c] < 0 ? std::string_view() : TrimWhiteSpace(row.fields[where[c]]);
        };
        // An empty cell reads as 0: OurAirports leaves many unknown values out.
        auto number = [&](Column c, bool required) {
            double value = 0;
            if (cell(c).empty() && !required) return value;
            if (!ParseNavDatNumber(cell(c), value)) {
                throw UsageError(at + "column " + std::string(kColumnNames[c]) + ": " +
                                 Quoted(cell(c)) + " is not a number");
            }
            return value;
        };
        const std::string type = UpperCase(cell(kType));
        const TypeBlock* block = FindTypeBlock(type);
        if (block == nullptr) {
            throw UsageError(at + "column type: " + Quoted(cell(kType)) +
                             " is not a navaid type (" + FamilyTypeNames(Family::Vor) + ", " +
                             FamilyTypeNames(Family::Ndb) + ")");
        }
        if (block->family != family) {
            ++result.tally.otherFamily;
            continue;
        }
        NavaidEntry entry;
        entry.latitude = static_cast<float>(number(kLatitude, true));
        entry.longitude = static_cast<float>(number(kLongitude, true));
        if (!InsideNear(near, entry.latitude, entry.longitude)) {
            ++result.tally.outside;
            continue;
        }
        const double khz = number(kFrequency, false);
        entry.frequency = static_cast<float>(family == Family::Vor ? khz / 1000.0 : khz);
        entry.magVar = static_cast<float>(number(kMagVar, false));
        if (family == Family::Vor) {
            const double feet = std::round(number(kElevation, false));
            if (!(std::fabs(feet) <= 2147483647.0)) {
                throw UsageError(at + "column elevation_ft: beyond the range of a stored altitude");
            }
            entry.altitude = static_cast<std::int32_t>(feet);
        }
        for (float value : {entry.latitude, entry.longitude, entry.frequency, entry.magVar}) {
            if (!std::isfinite(value)) {
                throw UsageError(at + "a number is beyond the range of a stored number");
            }
        }
        entry.id = Utf8ToCp1252(cell(kIdent));
        if (entry.id.size() > RecordLayout::kIdSize) {
            throw UsageError(at + "column ident: " + Quoted(entry.id) + " has " +
                             std::to_string(entry.id.size()) + " bytes; at most " +
                             std::to_string(RecordLayout::kIdSize) + " fit");
        }
        entry.name = Utf8ToCp1252(cell(kName));
        if (ShortensName(entry.name)) ++result.tally.shortened;
        entry.typeName = block->name;
        result.entries.push_back(std::move(entry));
    }
    return result;
}

}  // namespace navaid::cli
