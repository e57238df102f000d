// The navaid data the world publishes, in and out: nav.dat, OurAirports'
// navaids.csv, GeoJSON, and the tool's own CSV.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "find.h"

namespace navaid::cli {

// Reads a whole input file; a name ending in ".gz" is inflated as it is read.
Outcome ReadInputFile(const std::string& path, std::string& text);

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

// The first lines of a nav.dat: "I" or "A", then a version this tool reads.
bool LooksLikeNavDat(std::string_view text);
// The header of an OurAirports navaids.csv.
bool LooksLikeOurAirports(std::string_view text);

// Both throw UsageError naming the file, the line and what cannot be read.
// `near` filters by position (only its nearLat/nearLon/withinNm are used).
ImportedNavaids ReadNavDat(Family family, const std::string& path, std::string_view text,
                           const FindQuery& near);
ImportedNavaids ReadOurAirports(Family family, const std::string& path, std::string_view text,
                                const FindQuery& near);

// Whether a navaid lies inside the --near circle (always, without one).
bool InsideNear(const FindQuery& near, float latitude, float longitude);

// Cuts the name to the record's field as EncodeRecord does; true when it was longer.
bool ShortensName(std::string_view name);

// Export, one record at a time: each Append adds the record's text, or
// returns the reason it cannot be written.
struct ExportRecord {
    std::uint64_t index;
    DecodedRecord fields;
};
inline constexpr int kNavDatVersions[] = {810, 1100, 1200};
std::string NavDatHead(Family family, int version);
Outcome AppendNavDat(Family family, const ExportRecord& record, int version,
                     const std::string& region, std::string& text);
inline constexpr std::string_view kNavDatEnd = "99\n";
std::string ImportCsvHead(Family family);
Outcome AppendImportCsv(Family family, const ExportRecord& record, std::string& text);
inline constexpr std::string_view kGeoJsonHead = "{\"type\":\"FeatureCollection\",\"features\":[";
// A record whose position is out of range is left out: false, with `leftOut` saying so.
bool AppendGeoJson(Family family, const ExportRecord& record, bool first, std::string& json,
                   std::string& leftOut);
inline constexpr std::string_view kGeoJsonEnd = "\n]}\n";

// The nav.dat reader's numbers, shared with the writer so that what is
// written reads back as the same single-precision value.
bool ParseNavDatNumber(std::string_view text, double& value);
// The shortest text with at least `minDecimals` decimals that gives `value`
// back through `readBack`; empty for a value that is not finite.
std::string ExactDecimal(float value, double scale, int minDecimals,
                         float (*readBack)(std::string_view, double scale));

}  // namespace navaid::cli
