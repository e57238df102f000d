// The SVG map of what changed between two databases, for update and diff:
// the changes, held in memory, over the unchanged records of the older one,
// read from it in passes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo.h"
#include "label_grid.h"
#include "record_job.h"
#include "record_reader.h"
#include "records.h"
#include "svg_parts.h"

namespace navaid {

struct MapChange {
    enum class Kind : std::uint8_t { Changed, Gone, Came };
    Kind kind;
    std::uint8_t typeCode;   // Changed: after the change
    std::string id;          // trimmed, Windows-1252
    float lat, lon;          // where it stands (Gone: stood)
    float fromLat, fromLon;  // Changed: where it stood before
    std::string note;        // UTF-8, shown when pointed at: "12 FFM: freq 114.2 -> 114.35"
};

struct ChangeMapJob {
    Family family;
    std::string title;           // UTF-8
    const char* goneWord;        // "withdrawn", "removed"
    const char* cameWord;        // "new", "added"
    std::optional<Circle> near;  // the circle compared, framed when given
    std::vector<MapChange> changes;
    // The older database; its records not `touched` (by index) are unchanged.
    RecordSource records;
    std::vector<bool> touched;
};

struct ChangeMapCounts {
    std::uint64_t changes = 0;    // drawn
    std::uint64_t unchanged = 0;  // drawn, inside the frame
};

// The map into `out`: the changes, then the unchanged records inside the
// frame, in two reads of `records` (three when there is neither a change
// nor a circle to frame, and the database frames the map).
Outcome DrawChanges(const ChangeMapJob& job, TextSink& out, ChangeMapCounts& counts);

// The choices a change map makes of its extent, for its tests.
// The bounds of the changes or the circle widened to at least a degree of
// latitude, square on the ground, with a margin, inside the world.
Extent FrameAround(Extent bounds);
// The box a circle fits in.
Extent CircleBounds(const Circle& circle);
// The graticule's step: 10, 5, 2, 1, 0.5, 0.2 or 0.1 degrees, the widest
// that draws four lines or more across `spanDegrees`.
double GridStep(double spanDegrees);
// The scale bar's length: 1, 2 or 5 times a power of ten NM, the longest
// that fits in `maxPixels`.
double ScaleBarNm(double nmPerPixel, double maxPixels);

}  // namespace navaid
