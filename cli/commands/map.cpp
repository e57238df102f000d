// navaid map: the navaids drawn on a latitude/longitude map, as SVG.
#include <functional>

#include "code_page.h"
#include "command.h"
#include "database.h"
#include "output_file.h"
#include "svg_map.h"

namespace navaid::cli {

namespace {

// The last part of a path, split as the system splits its paths: plain
// string work, so an ANSI name is not converted on the way.
std::string FileName(const std::string& path) {
#if defined(_WIN32)
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

MapNavaid ReadNavaid(Family family, std::uint64_t index, const std::uint8_t* record) {
    const DecodedRecord r = DecodeRecord(family, record);
    return {index, std::string(TrimWhiteSpace(r.id)), r.latitude, r.longitude, r.typeCode};
}

// Each selected record, in every pass over the database.
Outcome ReadSelected(const std::string& database, Family family, const FindQuery& query,
                     const std::function<void(const MapNavaid&)>& visit) {
    return ReadRecords(database, family, [&](std::uint64_t index, const std::uint8_t* record) {
        if (Matches(query, family, DecodeRecord(family, record)))
            visit(ReadNavaid(family, index, record));
    });
}

// The symbols, then the labels: each a pass over the database into the map file.
Outcome DrawNavaids(const std::string& database, Family family, const FindQuery& query, SvgMap& map,
                    OutputFile& out) {
    Outcome read = ReadSelected(database, family, query,
                                [&](const MapNavaid& navaid) { out.Write(map.Symbol(navaid)); });
    if (!read) return read;
    out.Write(map.LabelsHead());
    return ReadSelected(database, family, query,
                        [&](const MapNavaid& navaid) { out.Write(map.Label(navaid)); });
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const std::string& outPath = line.positional[1];

    // A first pass for the map's extent, its legend and the navaids it cannot draw.
    SvgMap map(line.family);
    const FindQuery query = QueryOf(line);
    std::uint64_t records = 0;
    const Outcome read = ReadSelected(database, line.family, query, [&](const MapNavaid& navaid) {
        ++records;
        map.Count(navaid);
    });
    if (!read) return read;
    map.LayOut(std::string(FamilyName(line.family)) + " database " +
               Cp1252ToUtf8(FileName(database)) + ": " + std::to_string(records) + " navaids");

    OutputFile out;
    if (Outcome opened = out.Open(outPath); !opened) return opened;
    out.Write(map.Head());
    if (Outcome drawn = DrawNavaids(database, line.family, query, map, out); !drawn) {
        out.Discard();
        return drawn;
    }
    out.Write(map.Tail());
    if (Outcome written = out.Close(); !written) return written;
    console.out << out.Wrote() << ": " << map.Drawn() << " of " << Records(records) << " drawn\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kMapCommand{
    "map",
    "draw the navaids on a latitude/longitude map (SVG)",
    {"DATABASE", "OUT.svg"},
    QueryOptions(),
    kReadsDatabase | kWritesOut,
    "Writes OUT.svg: the navaids on a plain latitude/longitude map with a\n"
    "graticule every 10 degrees, fitted to the navaids with a margin, one symbol\n"
    "per type with a legend, and each navaid's ID where labels do not pile up.\n"
    "Records whose coordinates are out of range are listed under the map. The\n"
    "options select records as 'navaid find' does.\n"
    "\n"
    "Example:\n"
    "  navaid map vor samples/vor.qvz vor-map.svg\n"
    "  rsvg-convert vor-map.svg -o vor-map.png\n",
    Run};

}  // namespace navaid::cli
