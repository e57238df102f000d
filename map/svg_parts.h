// What the maps share: numbers and degrees as SVG text, the area a map shows,
// and its graticule.
#pragma once

#include <string>
#include <string_view>

namespace navaid {

// The map area in degrees.
struct Extent {
    double south, north, west, east;
};

// An extent on the page: its top left corner in pixels, and pixels per
// degree of latitude and of longitude.
struct MapFrame {
    Extent extent;
    double left, top, scale, lonScale;
    double X(double lon) const { return left + (lon - extent.west) * lonScale; }
    double Y(double lat) const { return top + (extent.north - lat) * scale; }
};

// A coordinate on the page: one decimal at most, "-0" as "0".
std::string SvgNumber(double value);
// "50.5°N", "0°" (UTF-8).
std::string DegreesText(double value, const char* positive, const char* negative);
// A record's Windows-1252 bytes as SVG text; control bytes are U+FFFD, so
// they cannot break the XML.
std::string SvgText(std::string_view cp1252);

// Lines every `step` degrees across the frame, labelled on its left and
// bottom edges where they leave room.
std::string Graticule(const MapFrame& frame, double step);

// The document's start up to its title (UTF-8), as both maps open.
std::string SvgStart(double width, double height, const std::string& title);

}  // namespace navaid
