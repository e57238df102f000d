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

namespace {

// One data row, read by column name; `at` starts its messages.
class Row {
public:
    Row(const CsvRow& row, const std::array<int, 8>& where, std::string at)
        : row_(row), where_(where), at_(std::move(at)) {}

    const std::string& At() const { return at_; }
    std::string_view Cell(Column c) const {
        return where_[c] < 0 ? std::string_view() : TrimWhiteSpace(row_.fields[where_[c]]);
    }
    // An empty cell reads as 0: OurAirports leaves many unknown values out.
    double Number(Column c, bool required) const {
        double value = 0;
        if (Cell(c).empty() && !required) return value;
        if (!ParseNavDatNumber(Cell(c), value)) {
            throw UsageError(at_ + "column " + std::string(kColumnNames[c]) + ": " +
                             Quoted(Cell(c)) + " is not a number");
        }
        return value;
    }

private:
    const CsvRow& row_;
    const std::array<int, 8>& where_;
    std::string at_;
};

const TypeBlock& RowType(const Row& row) {
    const TypeBlock* block = FindTypeBlock(UpperCase(row.Cell(kType)));
    if (block == nullptr) {
        throw UsageError(row.At() + "column type: " + Quoted(row.Cell(kType)) +
                         " is not a navaid type (" + FamilyTypeNames(Family::Vor) + ", " +
                         FamilyTypeNames(Family::Ndb) + ")");
    }
    return *block;
}

// Frequency, variation and (for a VOR) altitude; the position is read first.
void ReadRowNumbers(const Row& row, Family family, NavaidEntry& entry) {
    const double khz = row.Number(kFrequency, false);
    entry.frequency = static_cast<float>(family == Family::Vor ? khz / 1000.0 : khz);
    entry.magVar = static_cast<float>(row.Number(kMagVar, false));
    if (family == Family::Vor) {
        const double feet = std::round(row.Number(kElevation, false));
        if (!(std::fabs(feet) <= 2147483647.0)) {
            throw UsageError(row.At() +
                             "column elevation_ft: beyond the range of a stored altitude");
        }
        entry.altitude = static_cast<std::int32_t>(feet);
    }
    for (float value : {entry.latitude, entry.longitude, entry.frequency, entry.magVar}) {
        if (!std::isfinite(value)) {
            throw UsageError(row.At() + "a number is beyond the range of a stored number");
        }
    }
}

// ID and name, from the file's UTF-8 to the databases' Windows-1252.
void ReadRowTexts(const Row& row, NavaidEntry& entry, ImportTally& tally) {
    entry.id = Utf8ToCp1252(row.Cell(kIdent));
    if (entry.id.size() > RecordLayout::kIdSize) {
        throw UsageError(row.At() + "column ident: " + Quoted(entry.id) + " has " +
                         std::to_string(entry.id.size()) + " bytes; at most " +
                         std::to_string(RecordLayout::kIdSize) + " fit");
    }
    entry.name = Utf8ToCp1252(row.Cell(kName));
    if (ShortensName(entry.name)) ++tally.shortened;
}

}  // namespace

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
        const Row row(rows[r], where, path + ":" + std::to_string(rows[r].line) + ": ");
        if (rows[r].fields.size() != rows[0].fields.size()) {
            throw UsageError(row.At() + "has " + std::to_string(rows[r].fields.size()) +
                             " columns, the header has " + std::to_string(rows[0].fields.size()));
        }
        const TypeBlock& block = RowType(row);
        if (block.family != family) {
            ++result.tally.otherFamily;
            continue;
        }
        NavaidEntry entry;
        entry.latitude = static_cast<float>(row.Number(kLatitude, true));
        entry.longitude = static_cast<float>(row.Number(kLongitude, true));
        if (!InsideNear(near, entry.latitude, entry.longitude)) {
            ++result.tally.outside;
            continue;
        }
        ReadRowNumbers(row, family, entry);
        ReadRowTexts(row, entry, result.tally);
        entry.typeName = block.name;
        result.entries.push_back(std::move(entry));
    }
    return result;
}

}  // namespace navaid::cli
