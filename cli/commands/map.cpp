// navaid map: the navaids drawn on a latitude/longitude map, as SVG.
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

Ending Run(const CommandLine& line, const Console& console) {
    const MapJob job{line.family, FileName(line.positional[0]), SelectionOf(line)};
    OutputSink out(line.positional[1]);
    MapCounts counts;
    if (Outcome drawn = Draw(job, DatabaseSource(line, 0), out, counts); !drawn) return drawn;
    out.Report(console) << ": " << counts.drawn << " of " << Records(counts.records) << " drawn\n";
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
    "options select records as 'navaid find' does. OUT '-' is standard output,\n"
    "and a device or FIFO is written directly.\n"
    "\n"
    "Example:\n"
    "  navaid map vor samples/vor.qvz vor-map.svg\n"
    "  rsvg-convert vor-map.svg -o vor-map.png\n",
    Run};

}  // namespace navaid::cli
