// The tool's own CSV: a header row naming the columns, then one navaid of the
// family per row, its values checked and converted as 'navaid add' does.
#include <algorithm>
#include <array>
#include <bit>

#include "code_page.h"
#include "csv_scanner.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

const std::vector<std::string_view> kColumns = {"id",   "name",   "lat", "lon",
                                                "freq", "magvar", "alt", "type"};
constexpr std::size_t kAlt = 6;

std::string ColumnName(std::string_view cell) { return LowerCase(TrimWhiteSpace(cell)); }

// Column positions by name; refuses a header that does not name the family's columns.
std::vector<int> Columns(Family family, const CsvRow& header) {
    auto refuse = [&](const std::string& why) { throw ReadError{header.line, "header: " + why}; };
    std::string problem;
    const std::vector<int> where = HeaderColumns(header, kColumns, ColumnName, &problem);
    if (!problem.empty()) refuse(problem);
    if (where[kAlt] >= 0 && family == Family::Ndb) {
        refuse("column 'alt' is only for vor; an NDB record has no altitude");
    }
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        if (where[c] < 0 && c != kAlt) {
            refuse("missing column '" + std::string(kColumns[c]) + "' (expected id,name,lat,lon," +
                   "freq,magvar," + (family == Family::Vor ? "alt," : "") + "type)");
        }
    }
    return where;
}

// Hands each row's navaid to `sink`; a row that cannot be read refuses the
// file, or with skipInvalid is counted and passed over.
void Read(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
          ImportTally& tally) {
    std::size_t columns = 0;
    std::vector<int> where;
    ReadCsvRows(
        lines, filter, tally,
        [&](const CsvRow& header, bool got) {
            if (!got) throw ReadError{0, "no header row"};
            where = Columns(filter.family, header);
            columns = header.fields.size();
        },
        [&](const CsvRow& row, std::size_t number) {
            const std::string at = "row " + std::to_string(number) + ": ";
            if (row.fields.size() != columns) {
                throw ReadError{row.line, at + "has " + Counted(row.fields.size(), "column") +
                                              ", the header has " + std::to_string(columns)};
            }
            auto cell = [&](std::size_t column) { return row.fields[where[column]]; };
            // Hand-edited files put tabs between a name's words.
            std::string name = cell(1);
            std::replace(name.begin(), name.end(), '\t', ' ');
            EntryTexts texts{cell(0), name,    cell(2),      cell(3),
                             cell(4), cell(5), std::nullopt, cell(7)};
            if (where[kAlt] >= 0) texts.alt = cell(kAlt);
            NavaidEntry entry;
            if (Outcome built = BuildEntry(filter.family, texts, entry); !built)
                throw ReadError{row.line, at + "column " + built.field + ": " + built.reason};
            // A file without the column states no altitude: an update keeps the stored one.
            if (where[kAlt] < 0) entry.unstated |= kUnstatedAltitude;
            if (!Keeps(filter, entry.latitude, entry.longitude, entry.id)) {
                ++tally.outside;
                return;
            }
            Check(sink(entry));
        });
}

// The tool's CSV: its header names an "id" column; a file of blank lines
// is one too, refused for its missing header.
bool LooksLikeProjectCsv(const std::vector<std::string>& head) {
    for (std::string_view line : head) {
        if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        if (TrimWhiteSpace(line).empty()) continue;
        std::vector<CsvRow> rows;
        if (!ReadCsv(line, rows) || rows.empty()) return false;
        for (const std::string& cell : rows[0].fields)
            if (ColumnName(cell) == "id") return true;
        return false;
    }
    return true;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

}  // namespace

const Format kProjectCsvFormat{
    "CSV",
    ".csv",
    LooksLikeProjectCsv,
    [](LineReader& lines, const ImportFilter& filter, const NavaidSink& sink, ImportTally& tally) {
        return CatchReadError(lines, [&] { Read(lines, filter, sink, tally); });
    },
    NoSettings,
    [](Family family, const ExportSettings&) -> std::string {
        return family == Family::Vor ? "id,name,lat,lon,freq,magvar,alt,type\n"
                                     : "id,name,lat,lon,freq,magvar,type\n";
    },
    [](Family family, const ExportRecord& record, const ExportSettings&, std::uint64_t,
       std::string& text) {
        const DecodedRecord& r = record.fields;
        auto refuse = [&](const std::string& why) {
            return RefuseRecord(record, why, "'navaid import' could not read it back");
        };
        const char* type = TypeText(family, r.typeCode);
        if (type == std::string_view(kTypeUndefined)) return refuse("its type is undefined");
        if (std::string fault = ControlByteFault(r); !fault.empty()) return refuse(fault);
        std::string id, name;
        if (!StoredToGiven(TrimWhiteSpace(r.id), id) ||
            !StoredToGiven(TrimWhiteSpace(r.name), name))
            return refuse("a byte of its ID or name is no Windows-1252 character");
        std::string line = CsvField(id) + ',' + CsvField(name);
        for (float value : {r.latitude, r.longitude, r.frequency, r.magVar}) {
            const std::string number = ShortestDecimal(value, ParseStrictReal);
            if (number.empty()) return refuse("a number of it is not finite");
            line += ',' + number;
        }
        if (family == Family::Vor) line += ',' + std::to_string(r.altitude);
        text += line + ',' + type + '\n';
        return Outcome::Success();
    },
    {}};

}  // namespace navaid
