// OurAirports' navaids.csv: columns by name, frequencies in kHz for every type.
#include <algorithm>
#include <cmath>
#include <optional>

#include "code_page.h"
#include "csv_scanner.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "text.h"

namespace navaid {

namespace {

enum Column {
    kIdent,
    kName,
    kType,
    kFrequency,
    kLatitude,
    kLongitude,
    kElevation,
    kMagVar,
    kSlaved
};
const std::vector<std::string_view> kColumnNames = {"ident",
                                                    "name",
                                                    "type",
                                                    "frequency_khz",
                                                    "latitude_deg",
                                                    "longitude_deg",
                                                    "elevation_ft",
                                                    "magnetic_variation_deg",
                                                    "slaved_variation_deg"};
constexpr std::size_t kRequired = 6;  // elevation and variation are often left empty

std::string AsIs(std::string_view cell) { return std::string(cell); }

// The header with its trailing empty cells dropped: the files of 2016 and
// 2017 end it with a comma their rows lack.
std::vector<std::string> HeaderCells(std::vector<std::string> cells) {
    while (!cells.empty() && cells.back().empty()) cells.pop_back();
    return cells;
}

bool LooksLikeOurAirports(const std::vector<std::string>& head) {
    for (std::string_view line : head) {
        if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        if (TrimWhiteSpace(line).empty()) continue;
        std::vector<CsvRow> rows;
        if (!ReadCsv(line, rows) || rows.empty()) return false;
        const std::vector<int> where = HeaderColumns(rows[0], kColumnNames, AsIs);
        return std::all_of(where.begin(), where.begin() + kRequired,
                           [](int at) { return at >= 0; });
    }
    return false;
}

// One data row, read by column name.
class Row {
public:
    Row(const CsvRow& row, const std::vector<int>& where) : row_(row), where_(where) {}

    [[noreturn]] void Refuse(const std::string& why) const { throw ReadError{row_.line, why}; }
    std::string_view Cell(Column c) const {
        return where_[c] < 0 ? std::string_view() : TrimWhiteSpace(row_.fields[where_[c]]);
    }
    // An empty cell reads as 0: OurAirports leaves many unknown values out.
    double Number(Column c, bool required) const {
        double value = 0;
        if (Cell(c).empty() && !required) return value;
        if (!ParseNavDatNumber(Cell(c), value)) {
            Refuse("column " + std::string(kColumnNames[c]) + ": " + Quoted(Cell(c)) +
                   " is not a number");
        }
        return value;
    }

private:
    const CsvRow& row_;
    const std::vector<int>& where_;
};

const TypeBlock& RowType(const Row& row) {
    const TypeBlock* block = FindTypeBlock(UpperCase(row.Cell(kType)));
    if (block == nullptr) {
        row.Refuse("column type: " + Quoted(row.Cell(kType)) + " is not a navaid type (" +
                   FamilyTypeNames(Family::Vor) + ", " + FamilyTypeNames(Family::Ndb) + ")");
    }
    return *block;
}

// Frequency, variation and (for a VOR) altitude; the position is read first.
void ReadRowNumbers(const Row& row, Family family, NavaidEntry& entry) {
    const double khz = row.Number(kFrequency, false);
    entry.frequency = static_cast<float>(family == Family::Vor ? khz / 1000.0 : khz);
    // A VOR's radials follow its own, slaved variation; the earth's field at
    // the place stands in where that is empty, and is a beacon's.
    const Column variation =
        family == Family::Vor && !row.Cell(kSlaved).empty() ? kSlaved : kMagVar;
    entry.magVar = static_cast<float>(VariationInRange(row.Number(variation, false)));
    if (row.Cell(variation).empty()) entry.unstated |= kUnstatedMagVar;
    if (row.Cell(kElevation).empty()) entry.unstated |= kUnstatedAltitude;
    if (family == Family::Vor) {
        const double feet = std::round(row.Number(kElevation, false));
        if (!(feet >= -2147483648.0 && feet <= 2147483647.0)) {
            row.Refuse("column elevation_ft: beyond the range of a stored altitude");
        }
        entry.altitude = static_cast<std::int32_t>(feet);
    }
    for (float value : {entry.latitude, entry.longitude, entry.frequency, entry.magVar}) {
        if (!std::isfinite(value)) {
            row.Refuse("a number is beyond the range of a stored number");
        }
    }
}

// ID and name, from the file's UTF-8 to the databases' Windows-1252.
void ReadRowTexts(const Row& row, NavaidEntry& entry, ImportTally& tally) {
    entry.id = StoredText(row.Cell(kIdent), tally);
    if (entry.id.size() > RecordLayout::kIdSize) {
        row.Refuse("column ident: " + Quoted(entry.id) + " has " + std::to_string(entry.id.size()) +
                   " bytes; at most " + std::to_string(RecordLayout::kIdSize) + " fit");
    }
    entry.name = StoredText(row.Cell(kName), tally);
    if (ShortensName(entry.name)) ++tally.shortened;
}

// One row's navaid, or nothing for a row the import passes over.
std::optional<NavaidEntry> ReadRow(const Row& row, const ImportFilter& filter, ImportTally& tally) {
    const TypeBlock& block = RowType(row);
    if (block.family != filter.family) {
        ++tally.otherFamily;
        return std::nullopt;
    }
    // Closed navaids carry -1, unknown ones nothing: no station to store.
    if (!(row.Number(kFrequency, false) > 0)) {
        ++tally.noFrequency;
        return std::nullopt;
    }
    NavaidEntry entry;
    entry.latitude = static_cast<float>(row.Number(kLatitude, true));
    entry.longitude = static_cast<float>(row.Number(kLongitude, true));
    if (!Keeps(filter, entry.latitude, entry.longitude, row.Cell(kIdent))) {
        ++tally.outside;
        return std::nullopt;
    }
    ReadRowNumbers(row, filter.family, entry);
    ReadRowTexts(row, entry, tally);
    entry.typeName = block.name;
    if (Outcome checked = CheckEntryValues(entry); !checked) row.Refuse(checked.reason);
    return entry;
}

void Read(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
          ImportTally& tally) {
    CsvRow header;
    std::vector<int> where;
    ReadCsvRows(
        lines, filter, tally,
        [&](CsvRow& first, bool) {
            header.fields = HeaderCells(std::move(first.fields));
            where = HeaderColumns(header, kColumnNames, AsIs);
        },
        [&](CsvRow& row, std::size_t) {
            // A row may end in empty cells the header lacks.
            while (row.fields.size() > header.fields.size() && row.fields.back().empty())
                row.fields.pop_back();
            const Row cells(row, where);
            if (row.fields.size() != header.fields.size()) {
                cells.Refuse("has " + Counted(row.fields.size(), "column") + ", the header has " +
                             std::to_string(header.fields.size()));
            }
            if (auto entry = ReadRow(cells, filter, tally)) Check(sink(*entry));
        });
}

}  // namespace

const Format kOurAirportsFormat{
    "OurAirports navaids.csv",
    {},
    LooksLikeOurAirports,
    [](LineReader& lines, const ImportFilter& filter, const NavaidSink& sink, ImportTally& tally) {
        return CatchReadError(lines, [&] { Read(lines, filter, sink, tally); });
    },
    nullptr,
    nullptr,
    nullptr,
    {}};

}  // namespace navaid
