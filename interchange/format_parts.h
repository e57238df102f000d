// What the formats' readers and writers share inside this library.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "csv_scanner.h"
#include "interchange.h"
#include "line_reader.h"

namespace navaid {

// The first thing a reader cannot read. Thrown inside a reader only and
// turned into an Outcome at its edge (CatchReadError), so no exception
// leaves the library.
struct ReadError {
    std::size_t line;  // 0 for the file as a whole
    std::string what;
};

// A failure that already names its file (a read, a write, a malformed
// text), carried out of a reader as it is.
struct FileFailure {
    Outcome outcome;
};
inline void Check(Outcome outcome) {
    if (!outcome) throw FileFailure{std::move(outcome)};
}

template <typename Read>
Outcome CatchReadError(const LineReader& lines, Read&& read) {
    const std::string& path = lines.Name();
    try {
        read();
        return Outcome::Success();
    } catch (const ReadError& error) {
        return Outcome::FailureAt(path, error.line, error.what);
    } catch (const FileFailure& failure) {
        return failure.outcome;
    }
}

// Counts a row passed over with skipInvalid, keeping the first few to show.
void PassOver(const ReadError& error, ImportTally& tally);

// A CSV import's reading: hands the first row to `header` (with false when
// the file has none), then each later row and its number to `row`. A row's
// ReadError refuses the file or, with skipInvalid, is counted and passed
// over; one of line 0 (the file as a whole) always refuses.
template <typename OnHeader, typename OnRow>
void ReadCsvRows(LineReader& lines, const ImportFilter& filter, ImportTally& tally,
                 OnHeader&& header, OnRow&& row) {
    const std::string& path = lines.Name();
    CsvRowReader reader(lines);
    CsvRow next;
    bool got = false;
    Check(reader.Next(path, next, got));
    header(next, got);
    for (std::size_t number = 1; Check(reader.Next(path, next, got)), got; ++number) {
        ++tally.rows;
        try {
            row(next, number);
        } catch (const ReadError& error) {
            if (!filter.skipInvalid || error.line == 0) throw;
            PassOver(error, tally);
        }
    }
}

// A name or ident as stored: valid UTF-8 in Windows-1252, with the characters
// it lacks as '?' (counted), a tab as a space; other bytes as they stand.
std::string StoredText(std::string_view text, ImportTally& tally);

// Whether EncodeRecord will cut this name to the record's field.
bool ShortensName(std::string_view name);

// nav.dat's numbers: fixed notation, an optional sign, no exponent.
bool ParseNavDatNumber(std::string_view text, double& value);

// A variation as stored, in -180..180 east positive: 360 is 0, 356.7 is -3.3.
double VariationInRange(double degrees);

// The shortest decimal text that `readBack` turns into exactly `value`
// (the C++ shortest form, else all 17 digits); empty when neither does.
// Without `readBack`, the C++ shortest form, which C++ reads back exactly.
std::string ShortestDecimal(float value, bool (*readBack)(std::string_view text, float& value));

// The fixed-notation text with the fewest decimals (at least `minDecimals`,
// padded with zeros) of value * scale that `readBack` gives back exactly;
// empty for a value that is not finite.
std::string FixedDecimal(float value, double scale, int minDecimals,
                         float (*readBack)(std::string_view text, double scale));

// Settle for a format that takes none of the settings.
Outcome NoSettings(ExportSettings& settings);

// A record an export cannot write: "record N (ID): why; then".
Outcome RefuseRecord(const ExportRecord& record, const std::string& why, std::string_view then);

// Why an ID or name cannot be written: it holds a control byte (a zero, ESC,
// a line break), which no reader takes back and `check` calls an error;
// empty for one that can.
std::string ControlByteFault(const DecodedRecord& record);

// The map formats' parts, GeoJSON's and KML's (in geojson.cpp): a degree at
// 6 decimals, about 10 cm; a warning naming a record whose position is out
// of range, which they leave out (Success for the others).
std::string Degrees(float value);
Outcome LeaveOutOfRange(const ExportRecord& record);

}  // namespace navaid
