// navaid export: the database as nav.dat, GeoJSON, or the CSV that import reads.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "interchange.h"
#include "output_file.h"

namespace navaid::cli {

namespace {

// A number text that 'navaid import' reads back as exactly the stored value:
// the shortest one, or else all the digits of the value.
std::string CsvNumber(float value) {
    char shortest[64], full[64];
    auto [end, ec] = std::to_chars(shortest, shortest + sizeof shortest, value);
    std::snprintf(full, sizeof full, "%.17g", static_cast<double>(value));
    for (const std::string& candidate : {std::string(shortest, end), std::string(full)}) {
        float back = 0;
        if (ParseStrictReal(candidate, back) &&
            std::bit_cast<std::uint32_t>(back) == std::bit_cast<std::uint32_t>(value)) {
            return candidate;
        }
    }
    return {};
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

enum class Format { NavDat, GeoJson, Csv };

Format FormatOf(const std::string& path) {
    const std::string lower = LowerCase(path);
    for (auto [suffix, format] :
         {std::pair{".dat", Format::NavDat}, std::pair{".geojson", Format::GeoJson},
          std::pair{".csv", Format::Csv}}) {
        if (lower.ends_with(suffix)) return format;
    }
    throw UsageError("OUT must end in .dat (nav.dat), .geojson or .csv: " + Quoted(path));
}

int NavDatVersion(const CommandLine& line) {
    const std::string text = line.Option("navdat-version").value_or("1200");
    for (int version : kNavDatVersions)
        if (text == std::to_string(version)) return version;
    throw UsageError("--navdat-version: " + Quoted(text) + " is not 810, 1100 or 1200");
}

std::string Region(const CommandLine& line) {
    const std::string region = UpperCase(line.Option("region").value_or("ZZ"));
    const bool valid = region.size() == 2 && std::all_of(region.begin(), region.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c));
                       });
    if (!valid) throw UsageError("--region: " + Quoted(region) + " is not two letters or digits");
    return region;
}

std::string Head(Format format, Family family, int version) {
    switch (format) {
        case Format::NavDat:
            return NavDatHead(family, version);
        case Format::GeoJson:
            return std::string(kGeoJsonHead);
        case Format::Csv:
            return ImportCsvHead(family);
    }
    return {};
}

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line =
        ParseCommandLine(args, {"DATABASE", "OUT"}, {{"navdat-version", false}, {"region", false}});
    const std::string& database = line.positional[0];
    const std::string& outPath = line.positional[1];
    const Format format = FormatOf(outPath);
    if (format != Format::NavDat && (line.Option("navdat-version") || line.Option("region"))) {
        throw UsageError("--navdat-version and --region are for a .dat file");
    }
    const int version = NavDatVersion(line);
    const std::string region = Region(line);
    if (Outcome checked = RefuseSameFile(database, outPath); !checked) {
        return ReportFailure(console, checked);
    }

    // The output is opened once the database is: a database that cannot be
    // read leaves no output behind, as before any record is written.
    OutputFile out;
    bool started = false, first = true;
    Outcome opened, refused;
    auto start = [&] {
        if (started) return;
        started = true;
        opened = out.Open(outPath);
        if (opened) out.Write(Head(format, line.family, version));
    };
    std::string text, leftOut;
    const Outcome read =
        ForEachRecord(database, line.family, [&](std::uint64_t index, const std::uint8_t* record) {
            start();
            if (!opened || !refused) return;
            const ExportRecord r{index, DecodeRecord(line.family, record)};
            text.clear();
            if (format == Format::GeoJson) {
                if (AppendGeoJson(line.family, r, first, text, leftOut)) {
                    first = false;
                } else {
                    console.err << "navaid: left out " << leftOut << "\n";
                }
            } else {
                refused = format == Format::NavDat
                              ? AppendNavDat(line.family, r, version, region, text)
                              : AppendImportCsv(line.family, r, text);
            }
            out.Write(text);
        });
    if (!read) {
        out.Discard();
        return ReportFailure(console, read);
    }
    start();
    if (!opened) return ReportFailure(console, opened);
    if (!refused) {
        out.Discard();
        return ReportFailure(console, Outcome::Failure(outPath, refused.reason));
    }
    out.Write(format == Format::NavDat    ? kNavDatEnd
              : format == Format::GeoJson ? kGeoJsonEnd
                                          : std::string_view());
    if (Outcome written = out.Close(); !written) return ReportFailure(console, written);
    return kExitOk;
}

}  // namespace

std::string ImportCsvHead(Family family) {
    return family == Family::Vor ? "id,name,lat,lon,freq,magvar,alt,type\n"
                                 : "id,name,lat,lon,freq,magvar,type\n";
}

Outcome AppendImportCsv(Family family, const ExportRecord& record, std::string& text) {
    const bool vor = family == Family::Vor;
    const DecodedRecord& r = record.fields;
    auto refuse = [&](const std::string& why) {
        return Outcome::Failure("", "record " + std::to_string(record.index) + " (" +
                                        EscapeBytes(TrimWhiteSpace(r.id)) + "): " + why +
                                        "; 'navaid import' could not read it back");
    };
    const char* type = TypeText(family, r.typeCode);
    if (type == std::string_view(kTypeUndefined)) return refuse("its type is undefined");
    std::string line = CsvField(TrimWhiteSpace(r.id)) + ',' + CsvField(TrimWhiteSpace(r.name));
    for (float value : {r.latitude, r.longitude, r.frequency, r.magVar}) {
        const std::string number = CsvNumber(value);
        if (number.empty()) return refuse("a number of it is not finite");
        line += ',' + number;
    }
    if (vor) line += ',' + std::to_string(r.altitude);
    text += line + ',' + type + '\n';
    return Outcome::Success();
}

const CommandInfo kExportCommand{
    "export", "write the database as nav.dat, GeoJSON or CSV",
    "Usage: navaid export vor|ndb DATABASE OUT [--navdat-version 810|1100|1200]\n"
    "                     [--region XX]\n"
    "\n"
    "Writes OUT in the format its name ends in, complete or not at all:\n"
    "  .dat      nav.dat of the given version (default 1200): a VOR as a 3 row,\n"
    "            a VOR-DME or VORTAC as a 3 row and its 12 DME row, a TACAN or DME\n"
    "            as a 13 row, an NDB as a 2 row, an NDB-DME as a 2 row and a 13 row\n"
    "            ending in NDB-DME; the type is the name's last word. Rows follow\n"
    "            the database's order, so importing the file gives the same\n"
    "            records back; readers of nav.dat do not depend on the order.\n"
    "            MagVar goes to the variation column (TACAN, DME: the bias column;\n"
    "            NDB: the column the format leaves unused). 1100 and later carry\n"
    "            ENRT as the terminal area and --region (default ZZ, a code no\n"
    "            ICAO region has) as the region. A record nav.dat cannot hold (an\n"
    "            empty ID or one with spaces, a number that is not finite) is\n"
    "            refused, and nothing is written.\n"
    "  .geojson  GeoJSON (RFC 7946): one Point per record, [longitude, latitude]\n"
    "            at 6 decimals, with index, ident, name, type, frequency_mhz (vor)\n"
    "            or frequency_khz (ndb), magvar and altitude_ft (vor). Records\n"
    "            whose position is out of range are left out and named on\n"
    "            standard error.\n"
    "  .csv      the CSV that 'navaid import' reads.\n"
    "\n"
    "Examples:\n"
    "  navaid export vor samples/vor.qvz user_nav.dat --navdat-version 1100 --region ED\n"
    "  navaid export ndb samples/ndb.qvz ndb.geojson\n",
    Run};

}  // namespace navaid::cli
