// navaid map: the navaids drawn on a latitude/longitude map, as SVG.
#include "command.h"
#include "file_io.h"
#include "database.h"
#include "output_file.h"
#include "svg_map.h"

namespace navaid::cli {

namespace {


Ending Run(const CommandLine& line, const Console& console) {
    const MapJob job{line.family, io::NameOf(line.positional[0]), SelectionOf(line)};
    OutputSink file(line.positional[1]);
    HeldSink out(file);
    MapCounts counts;
    if (Outcome drawn = Draw(job, DatabaseSource(line, 0), out, counts); !drawn) return drawn;
    // A selection that picks nothing is a mistake, not an empty map.
    const bool none = Selects(line) && counts.records == 0;
    if (Outcome closed = out.Release(!none); !closed) return closed;
    if (none) return NoneSelected(line);
    file.Report(console) << ": " << counts.drawn << " of " << Records(counts.records)
                         << " drawn\n";
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
    "options select records as 'navaid find' does; a selection that picks none\n"
    "writes nothing (status 1). OUT '-' is standard output, and a device or\n"
    "FIFO is written directly.\n"
    "\n"
    "Example:\n"
    "  navaid map vor samples/vor.qvz vor-map.svg\n"
    "  rsvg-convert vor-map.svg -o vor-map.png\n",
    Run};

}  // namespace navaid::cli
