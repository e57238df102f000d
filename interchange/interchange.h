// The navaid data the world publishes, in and out: one table of formats, each
// with the reader and writer of its own file. Knows records, not commands:
// every reader and writer returns its failure as a value.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geo.h"
#include "records.h"

namespace navaid {

// What an import made of a file's rows.
struct ImportTally {
    std::size_t otherFamily = 0;  // rows of the other family's navaids
    std::size_t landing = 0;      // ILS, localizer, glideslope, marker, GLS rows
    std::size_t outside = 0;      // outside the --near circle
    std::size_t lonelyDme = 0;    // DME rows of a VOR that is not in the file
    std::size_t shortened = 0;    // names cut to the record's 20 bytes
};

// The navaids of one family read from a file, in the order of their rows.
struct ImportedNavaids {
    std::vector<NavaidEntry> entries;
    ImportTally tally;
};

// Which navaids a reader keeps: the family's, inside the circle when there is one.
struct ImportFilter {
    Family family;
    std::optional<Circle> near;
};

// One record to export, with its index in the database.
struct ExportRecord {
    std::uint64_t index;
    DecodedRecord fields;
};

// An export's settings as the command line gave them; a format refuses the
// ones it has no use for, and sets what it needs from them.
struct ExportSettings {
    std::optional<std::string> version;  // --navdat-version
    std::optional<std::string> region;   // --region
    int navDatVersion = 0;
};

struct Format {
    std::string_view name;    // as messages name it: "nav.dat", "GeoJSON" ...
    std::string_view suffix;  // the name an export's OUT ends in; empty when not written
    // Whether the text is of this format. Null: the format read when no other is.
    bool (*sniff)(std::string_view text);
    // Null when the format is not read.
    Outcome (*read)(const std::string& path, std::string_view text, const ImportFilter& filter,
                    ImportedNavaids& navaids);
    // Writing, in the order settle, head, a record for each, tail; null when not written.
    // Settle refuses settings that do not apply (a usage failure) and fills in the rest.
    Outcome (*settle)(ExportSettings& settings);
    std::string (*head)(Family family, const ExportSettings& settings);
    // Adds one record's text; a failure refuses the whole export, a warning
    // names a record left out. `written` counts the records added before.
    Outcome (*record)(Family family, const ExportRecord& record, const ExportSettings& settings,
                      std::uint64_t written, std::string& text);
    std::string_view tail;
};

std::span<const Format* const> Formats();
// The format of a text: the first whose sniff accepts it, else the one without a sniff.
const Format& FormatOfText(std::string_view text);
// The written format whose suffix the path ends in (any case); null when none.
const Format* FormatOfName(std::string_view path);
// The written formats' suffixes for a message: ".dat (nav.dat), .geojson (GeoJSON) ...".
std::string WrittenSuffixes();

// The formats, for the table and the tests.
extern const Format kNavDatFormat, kOurAirportsFormat, kGeoJsonFormat, kProjectCsvFormat;
inline constexpr int kNavDatVersions[] = {810, 1100, 1200};

// Reads a whole input file (a missing one is an error, not created); gzip data
// is inflated as it is read.
Outcome ReadInputFile(const std::string& path, std::string& text);

}  // namespace navaid
