#include "svg_parts.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "code_page.h"
#include "text.h"

namespace navaid {

std::string SvgNumber(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    std::string text(buffer, result.ptr);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.resize(text.size() - 2);
    return text == "-0" ? "0" : text;
}

std::string DegreesText(double value, const char* positive, const char* negative) {
    if (SvgNumber(value) == "0") return "0\xC2\xB0";
    return SvgNumber(std::fabs(value)) + "\xC2\xB0" + (value > 0 ? positive : negative);
}

std::string SvgText(std::string_view cp1252) { return XmlEscape(Cp1252ToUtf8(cp1252)); }

namespace {

// Every how many lines a label fits, lines `gap` pixels apart.
long LabelEvery(double gap) { return std::max(1L, static_cast<long>(std::ceil(48 / gap))); }

// A line on the edge stays though a tenth of a degree is no binary fraction.
double Slack(double step) { return step * 1e-9; }
long First(double from, double step) { return std::lround(std::ceil(from / step - 1e-9)); }

}  // namespace

std::string Graticule(const MapFrame& f, double step) {
    const Extent& e = f.extent;
    const auto N = SvgNumber;
    std::string svg =
        "<g id=\"graticule\" stroke=\"#b8c4cc\" stroke-width=\"0.8\" font-size=\"10\" "
        "fill=\"#555\">\n";
    // Whole multiples of the step, so that 0.1 degrees adds up to no stray digit.
    const long latEvery = LabelEvery(step * f.scale), lonEvery = LabelEvery(step * f.lonScale);
    for (long k = First(e.south, step); k * step <= e.north + Slack(step); ++k) {
        const double lat = k * step;
        svg += "<line x1=\"" + N(f.X(e.west)) + "\" y1=\"" + N(f.Y(lat)) + "\" x2=\"" +
               N(f.X(e.east)) + "\" y2=\"" + N(f.Y(lat)) + "\"/>\n";
        if (k % latEvery != 0) continue;
        svg += "<text x=\"" + N(f.left - 4) + "\" y=\"" + N(f.Y(lat) + 3.5) +
               "\" text-anchor=\"end\" stroke=\"none\">" + DegreesText(lat, "N", "S") + "</text>\n";
    }
    for (long k = First(e.west, step); k * step <= e.east + Slack(step); ++k) {
        const double lon = k * step;
        svg += "<line x1=\"" + N(f.X(lon)) + "\" y1=\"" + N(f.Y(e.north)) + "\" x2=\"" +
               N(f.X(lon)) + "\" y2=\"" + N(f.Y(e.south)) + "\"/>\n";
        if (k % lonEvery != 0) continue;
        svg += "<text x=\"" + N(f.X(lon)) + "\" y=\"" + N(f.Y(e.south) + 14) +
               "\" text-anchor=\"middle\" stroke=\"none\">" + DegreesText(lon, "E", "W") +
               "</text>\n";
    }
    return svg + "</g>\n";
}

std::string SvgStart(double width, double height, const std::string& title) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\"" +
           SvgNumber(width) + "\" height=\"" + SvgNumber(height) + "\" viewBox=\"0 0 " +
           SvgNumber(width) + " " + SvgNumber(height) +
           "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n<title>" + XmlEscape(title) +
           "</title>\n";
}

}  // namespace navaid
