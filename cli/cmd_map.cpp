// navaid map: the navaids drawn on a latitude/longitude map, as SVG.

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

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE", "OUT.svg"}, {});
    const std::string& database = line.positional[0];
    const std::string& outPath = line.positional[1];
    if (Outcome checked = RefuseSameFile(database, outPath); !checked) {
        return ReportFailure(console, checked);
    }

    MapData data;
    data.family = line.family;
    std::uint64_t records = 0;
    const Outcome read =
        ForEachRecord(database, line.family, [&](std::uint64_t index, const std::uint8_t* record) {
            ++records;
            const DecodedRecord r = DecodeRecord(line.family, record);
            MapNavaid navaid{index, std::string(TrimWhiteSpace(r.id)), r.latitude, r.longitude,
                             r.typeCode};
            (OnTheMap(r.latitude, r.longitude) ? data.drawn : data.notDrawn)
                .push_back(std::move(navaid));
        });
    if (!read) return ReportFailure(console, read);

    data.title = std::string(FamilyName(line.family)) + " database " +
                 Cp1252ToUtf8(FileName(database)) + ": " + std::to_string(records) + " navaids";
    const std::string svg = RenderSvgMap(data);
    io::File out;
    if (Outcome opened = out.Open(outPath, io::OpenMode::WriteTruncate); !opened) {
        return ReportFailure(console, opened);
    }
    Outcome written = out.Write(svg.data(), svg.size());
    Outcome closed = out.Close();
    if (written) written = closed;
    if (!written) {
        // A partly written map would pass for a complete one.
        io::RemoveFile(outPath);
        return ReportFailure(console, written);
    }
    return kExitOk;
}

}  // namespace

const CommandInfo kMapCommand{
    "map", "draw the navaids on a latitude/longitude map (SVG)",
    "Usage: navaid map vor|ndb DATABASE OUT.svg\n"
    "\n"
    "Writes OUT.svg: the navaids on a plain latitude/longitude map with a\n"
    "graticule every 10 degrees, fitted to the navaids with a margin, one symbol\n"
    "per type with a legend, and each navaid's ID where labels do not pile up.\n"
    "Records whose coordinates are out of range are listed under the map.\n"
    "\n"
    "Example:\n"
    "  navaid map vor samples/vor.qvz vor-map.svg\n"
    "  rsvg-convert vor-map.svg -o vor-map.png\n",
    Run};

}  // namespace navaid::cli
