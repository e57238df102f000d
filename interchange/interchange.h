// The navaid data the world publishes, in and out: one table of formats, each
// with the reader and writer of its own file. Knows records, not commands:
// every reader and writer returns its failure as a value.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geo.h"
#include "record_job.h"
#include "record_reader.h"
#include "records.h"

namespace navaid {

class LineReader;

// What an import made of a file's rows.
struct ImportTally {
    std::size_t otherFamily = 0;            // rows of the other family's navaids
    std::size_t landing = 0;                // ILS, localizer, glideslope, marker, GLS rows
    std::size_t outside = 0;                // outside the --near circle
    std::size_t lonelyDme = 0;              // DME rows of a VOR that is not in the file
    std::size_t shortened = 0;              // names cut to the record's 20 bytes
    std::size_t noFrequency = 0;            // OurAirports rows without a usable frequency (closed)
    std::size_t outOfService = 0;           // ARINC 424 records of figure of merit 9
    std::size_t replaced = 0;               // characters Windows-1252 lacks, stored as '?'
    std::size_t invalid = 0;                // rows that could not be read, passed over
    std::size_t repeatedDme = 0;            // nav.dat DMEs that repeat a station's own DME
    std::size_t afterEnd = 0;               // nav.dat rows after its closing "99"
    std::size_t rows = 0;                   // rows read, of any kind: none is no navaid file
    std::vector<std::string> invalidShown;  // the first few of them: "line N: why"
    std::string cycle;                      // the data cycle the file states (YYCC), if any
};

// Which navaids a reader keeps, and how it reads.
struct ImportFilter {
    Family family;
    std::optional<Circle> near;
    std::optional<int> navDatVersion;  // the layout of nav.dat rows without a version line
    bool skipInvalid = false;          // pass over rows that cannot be read, counting them
    bool skipDuplicates = false;       // leave out nav.dat DMEs that repeat a station's own
    // Rows outside `near` kept all the same, by their ID as the file gives it
    // (update: the IDs of records inside, paired wherever their navaids lie).
    std::function<bool(std::string_view id)> alsoOutside = nullptr;
};

// Whether a reader keeps a row at this place with this ID.
bool Keeps(const ImportFilter& filter, double lat, double lon, std::string_view id);

// Takes each navaid a reader keeps, in the order of the rows; a failure ends the read.
using NavaidSink = std::function<Outcome(const NavaidEntry& entry)>;

// One record to export, with its index in the database.
struct ExportRecord {
    std::uint64_t index;
    DecodedRecord fields;
};

// An export's settings as the command line gave them; a format refuses the
// ones it has no use for, and sets what it needs from them.
// A refusal of one names it as its field: "version" or "region".
struct ExportSettings {
    std::optional<std::string> version;  // the nav.dat layout written
    std::optional<std::string> region;   // nav.dat's region column
    int navDatVersion = 0;
};

struct Format {
    std::string_view name;    // as messages name it: "nav.dat", "GeoJSON" ...
    std::string_view suffix;  // the name an export's OUT ends in; empty when not written
    // Whether a file whose first lines these are is of this format; null when not read.
    bool (*sniff)(const std::vector<std::string>& head);
    // Reads the input from its first line, a line at a time, handing each
    // navaid to `sink`; null when not read.
    Outcome (*read)(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
                    ImportTally& tally);
    // Writing, in the order settle, head, a record for each, tail; null when not written.
    // Settle refuses settings that do not apply (a usage failure) and fills in the rest.
    Outcome (*settle)(ExportSettings& settings);
    std::string (*head)(Family family, const ExportSettings& settings);
    // Adds one record's text; a failure refuses the whole export, a warning
    // names a record left out. `written` counts the records added before.
    Outcome (*record)(Family family, const ExportRecord& record, const ExportSettings& settings,
                      std::uint64_t written, std::string& text);
    std::string_view tail;
    // A file grouped by a field (KML's Folder per type) is written in passes,
    // so that no record is held: the database is read once per pass, `record`
    // gets the records `passOf` puts in that pass with `written` counted from
    // the pass's start, and `passTail` ends each pass that wrote any. The
    // other formats leave these out: one pass over every record.
    int (*passes)(Family family) = nullptr;
    int (*passOf)(Family family, const DecodedRecord& record) = nullptr;
    std::string_view passTail = {};
    // Whether a record written reads back otherwise (nav.dat: a name ending
    // in a type word); Export warns once of those, `misread` saying what
    // `count` of them have, before the first few. Null when none do.
    bool (*readsBackOtherwise)(Family family, const DecodedRecord& record) = nullptr;
    std::string (*misread)(std::uint64_t count) = nullptr;
};

// An export's job besides its format and records.
struct ExportJob {
    Family family;
    ExportSettings settings;  // as given; Export settles them with the format
    RecordSelection selected;
    // Told of each record the format leaves out, with the warning that names it.
    std::function<void(const Outcome& warning)> leftOut;
    // Told once, after a whole output, of the records that read back otherwise.
    std::function<void(const Outcome& warning)> misread = {};
};

// Writes the selected records of `records` to `out` in `format`, one read
// per pass, and sets `written` to the records written. `out` is opened only
// once the database could be read, and discarded after any later failure. A
// record the format refuses is a failure without a file: the output's, which
// only the caller can name.
Outcome Export(const Format& format, const ExportJob& job, const RecordSource& records,
               TextSink& out, std::uint64_t& written);

std::span<const Format* const> Formats();
// How many first lines the sniffs look at.
inline constexpr std::size_t kHeadLines = 8;
// The format of the file whose first lines these are: the first whose sniff
// accepts them; null when none does.
const Format* FormatOfHead(const std::vector<std::string>& head);
// The formats read, for a message: "nav.dat, OurAirports navaids.csv, CSV".
std::string ReadFormatNames();
// Why a file is of no format read here: which were looked for, and what its
// first line holds.
Outcome UnknownFormat(const std::string& path, const std::vector<std::string>& head);
// The written format whose suffix the path ends in (any case); null when none.
const Format* FormatOfName(std::string_view path);
// The written formats' suffixes for a message: ".dat (nav.dat), .geojson (GeoJSON) ...".
std::string WrittenSuffixes();

// The formats, for the table and the tests.
extern const Format kNavDatFormat, kOurAirportsFormat, kGeoJsonFormat, kKmlFormat,
    kArinc424Format, kProjectCsvFormat;
// The nav.dat layouts written, and those read (an ImportFilter's navDatVersion).
inline constexpr int kNavDatVersions[] = {810, 1100, 1200};
inline constexpr int kNavDatLayouts[] = {810, 1000, 1100, 1150, 1200};

}  // namespace navaid
