// The SVG map of 'navaid map': navaids on a plain latitude/longitude grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli.h"

namespace navaid::cli {

struct MapNavaid {
    std::uint64_t index;
    std::string id;  // the record's ID bytes, trimmed (Windows-1252)
    float lat, lon;
    std::uint8_t typeCode;
};

struct MapData {
    Family family = Family::Vor;
    std::string title;
    std::vector<MapNavaid> drawn;     // coordinates inside -90..90 and -180..180
    std::vector<MapNavaid> notDrawn;  // all others, listed under the map
};

// Whether a navaid at these coordinates can be drawn.
bool OnTheMap(float lat, float lon);

// The map area in degrees: the navaids' extent with a margin, inside the world.
struct Extent {
    double south, north, west, east;
};
Extent MapExtent(const std::vector<MapNavaid>& navaids);

std::string RenderSvgMap(const MapData& data);

}  // namespace navaid::cli
