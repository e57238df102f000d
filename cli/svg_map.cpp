#include "svg_map.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

namespace navaid::cli {

namespace {

constexpr double kMapSize = 1000;  // pixels along the map's longer side
constexpr double kLeft = 60, kTop = 50;
constexpr double kFontSize = 11, kCharWidth = 6.6;
constexpr std::size_t kMaxListed = 500;

std::string Num(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
    std::string text(buffer, result.ptr);
    if (text.size() > 2 && text.compare(text.size() - 2, 2, ".0") == 0)
        text.resize(text.size() - 2);
    return text == "-0" ? "0" : text;
}

struct Style {
    const char* symbol;
    const char* label;
};

// One symbol per type code; "undef" for codes that read "Type undefined".
Style StyleOf(Family family, std::uint8_t code) {
    if (family == Family::Vor) {
        switch (code) {
            case 1:
                return {"vor", "VOR"};
            case 2:
                return {"vortac", "VORTAC"};
            case 3:
                return {"tacan", "TACAN"};
            case 4:
                return {"vordme", "VOR-DME"};
            case 9:
                return {"dme", "DME"};
        }
    } else {
        switch (code) {
            case '5':
                return {"ndb", "NDB"};
            case '7':
                return {"ndbdme", "NDB-DME"};
        }
    }
    return {"undef", kTypeUndefined};
}

const char* kSymbols =
    "<defs>\n"
    "<g id=\"vor\"><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\" stroke-width=\"1.5\"/><circle r=\"1\" fill=\"#1f5fbf\"/></g>\n"
    "<g id=\"vordme\"><rect x=\"-6\" y=\"-5\" width=\"12\" height=\"10\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\"/><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" "
    "fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"dme\"><rect x=\"-4.5\" y=\"-4.5\" width=\"9\" height=\"9\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"vortac\"><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" "
    "fill=\"#0b3d91\" stroke=\"#0b3d91\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"tacan\"><polygon points=\"0,-5.5 5,3.5 -5,3.5\" fill=\"#fff\" stroke=\"#0b7d7d\" "
    "stroke-width=\"1.8\"/></g>\n"
    "<g id=\"ndb\"><circle r=\"4.5\" fill=\"#fff\" stroke=\"#8b1a1a\" stroke-width=\"1.5\"/>"
    "<circle r=\"1.5\" fill=\"#8b1a1a\"/></g>\n"
    "<g id=\"ndbdme\"><rect x=\"-5.5\" y=\"-5.5\" width=\"11\" height=\"11\" fill=\"#fff\" "
    "stroke=\"#8b1a1a\"/><circle r=\"4\" fill=\"none\" stroke=\"#8b1a1a\" stroke-width=\"1.5\"/>"
    "<circle r=\"1.5\" fill=\"#8b1a1a\"/></g>\n"
    "<g id=\"undef\"><path d=\"M-4,-4 L4,4 M-4,4 L4,-4\" stroke=\"#d00000\" "
    "stroke-width=\"2\"/></g>\n"
    "</defs>\n";

// Placed label boxes in a coarse grid, so a new label is tested only against its neighbours.
class LabelGrid {
public:
    // Places the box unless it overlaps one placed before.
    bool TryPlace(double x0, double y0, double x1, double y1) {
        const int cx0 = Cell(x0), cx1 = Cell(x1), cy0 = Cell(y0), cy1 = Cell(y1);
        for (int cx = cx0; cx <= cx1; ++cx) {
            for (int cy = cy0; cy <= cy1; ++cy) {
                auto cell = cells_.find(Key(cx, cy));
                if (cell == cells_.end()) continue;
                for (const Box& b : cell->second)
                    if (x0 < b.x1 && b.x0 < x1 && y0 < b.y1 && b.y0 < y1) return false;
            }
        }
        Place(x0, y0, x1, y1);
        return true;
    }
    void Place(double x0, double y0, double x1, double y1) {
        for (int cx = Cell(x0); cx <= Cell(x1); ++cx)
            for (int cy = Cell(y0); cy <= Cell(y1); ++cy)
                cells_[Key(cx, cy)].push_back({x0, y0, x1, y1});
    }

private:
    struct Box {
        double x0, y0, x1, y1;
    };
    static int Cell(double v) { return static_cast<int>(std::floor(v / 64)); }
    static long long Key(int x, int y) {
        return (static_cast<long long>(x) << 32) ^ (y & 0xffffffffLL);
    }
    std::unordered_map<long long, std::vector<Box>> cells_;
};

std::string Degrees(double value, const char* positive, const char* negative) {
    if (value == 0) return "0\xC2\xB0";
    return Num(std::fabs(value)) + "\xC2\xB0" + (value > 0 ? positive : negative);
}

}  // namespace

bool OnTheMap(float lat, float lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::fabs(lat) <= 90 &&
           std::fabs(lon) <= 180;
}

Extent MapExtent(const std::vector<MapNavaid>& navaids) {
    if (navaids.empty()) return {-90, 90, -180, 180};
    Extent e{90, -90, 180, -180};
    for (const MapNavaid& n : navaids) {
        e.south = std::min<double>(e.south, n.lat);
        e.north = std::max<double>(e.north, n.lat);
        e.west = std::min<double>(e.west, n.lon);
        e.east = std::max<double>(e.east, n.lon);
    }
    // A margin of a tenth of the extent, at least one degree.
    const double latMargin = std::max(1.0, (e.north - e.south) / 10);
    const double lonMargin = std::max(1.0, (e.east - e.west) / 10);
    return {std::max(-90.0, e.south - latMargin), std::min(90.0, e.north + latMargin),
            std::max(-180.0, e.west - lonMargin), std::min(180.0, e.east + lonMargin)};
}

std::string RenderSvgMap(const MapData& data) {
    const Extent e = MapExtent(data.drawn);
    const double latSpan = e.north - e.south, lonSpan = e.east - e.west;
    const double scale = kMapSize / std::max(latSpan, lonSpan);
    const double mapW = lonSpan * scale, mapH = latSpan * scale;
    auto X = [&](double lon) { return kLeft + (lon - e.west) * scale; };
    auto Y = [&](double lat) { return kTop + (e.north - lat) * scale; };

    // Legend entries: the family's types, then "Type undefined" when present.
    std::vector<std::pair<Style, std::size_t>> legend;
    std::vector<std::uint8_t> codes = data.family == Family::Vor
                                          ? std::vector<std::uint8_t>{1, 2, 3, 4, 9}
                                          : std::vector<std::uint8_t>{'5', '7'};
    codes.push_back(0);
    for (std::uint8_t code : codes) {
        Style style = StyleOf(data.family, code);
        std::size_t count = std::count_if(data.drawn.begin(), data.drawn.end(), [&](const auto& n) {
            return StyleOf(data.family, n.typeCode).symbol == style.symbol;
        });
        if (code != 0 || count > 0) legend.push_back({style, count});
    }

    const std::size_t listed = std::min(data.notDrawn.size(), kMaxListed);
    const double listTop = kTop + mapH + 40;
    const double listHeight =
        data.notDrawn.empty() ? 0 : 20 + 15.0 * (listed + (listed < data.notDrawn.size()));
    const double width = std::max(kLeft + mapW + 190, 560.0);
    const double height = std::max(listTop + listHeight + 10, kTop + 40 + 20.0 * legend.size());

    std::string svg;
    svg.reserve(4096 + data.drawn.size() * 120);
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg +=
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\"" +
        Num(width) + "\" height=\"" + Num(height) + "\" viewBox=\"0 0 " + Num(width) + " " +
        Num(height) + "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n";
    svg += "<title>" + XmlEscape(data.title) + "</title>\n";
    svg += kSymbols;
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + Num(kLeft) + "\" y=\"28\" font-size=\"16\" font-weight=\"bold\">" +
           XmlEscape(data.title) + "</text>\n";
    svg += "<rect id=\"map-area\" x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" +
           Num(mapW) + "\" height=\"" + Num(mapH) + "\" fill=\"#f4f8fb\" stroke=\"#555\"/>\n";

    // Graticule every 10 degrees, labelled on the left and bottom edges.
    svg +=
        "<g id=\"graticule\" stroke=\"#b8c4cc\" stroke-width=\"0.8\" font-size=\"10\" "
        "fill=\"#555\">\n";
    // Lines every 10 degrees; labels on every line that leaves them room.
    const int labelEvery = 10 * static_cast<int>(std::ceil(48 / (10 * scale)));
    for (int lat = -90; lat <= 90; lat += 10) {
        if (lat < e.south || lat > e.north) continue;
        svg += "<line x1=\"" + Num(X(e.west)) + "\" y1=\"" + Num(Y(lat)) + "\" x2=\"" +
               Num(X(e.east)) + "\" y2=\"" + Num(Y(lat)) + "\"/>\n";
        if (lat % labelEvery != 0) continue;
        svg += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(Y(lat) + 3.5) +
               "\" text-anchor=\"end\" stroke=\"none\">" + Degrees(lat, "N", "S") + "</text>\n";
    }
    for (int lon = -180; lon <= 180; lon += 10) {
        if (lon < e.west || lon > e.east) continue;
        svg += "<line x1=\"" + Num(X(lon)) + "\" y1=\"" + Num(Y(e.north)) + "\" x2=\"" +
               Num(X(lon)) + "\" y2=\"" + Num(Y(e.south)) + "\"/>\n";
        if (lon % labelEvery != 0) continue;
        svg += "<text x=\"" + Num(X(lon)) + "\" y=\"" + Num(Y(e.south) + 14) +
               "\" text-anchor=\"middle\" stroke=\"none\">" + Degrees(lon, "E", "W") + "</text>\n";
    }
    svg += "</g>\n";

    // Symbols first, then the labels that find room, so labels sit on top.
    svg += "<g id=\"navaids\">\n";
    for (const MapNavaid& n : data.drawn) {
        svg += "<use xlink:href=\"#" + std::string(StyleOf(data.family, n.typeCode).symbol) +
               "\" x=\"" + Num(X(n.lon)) + "\" y=\"" + Num(Y(n.lat)) + "\"><title>" +
               std::to_string(n.index) + " " + XmlEscape(Cp1252ToUtf8(n.id)) + "</title></use>\n";
    }
    svg += "</g>\n<g id=\"labels\" font-size=\"" + Num(kFontSize) + "\" fill=\"#222\">\n";
    // Symbols claim their place first, so a label never hides a navaid; each
    // label then tries the right side of its symbol, then the left.
    LabelGrid grid;
    for (const MapNavaid& n : data.drawn)
        grid.Place(X(n.lon) - 6, Y(n.lat) - 6, X(n.lon) + 6, Y(n.lat) + 6);
    for (const MapNavaid& n : data.drawn) {
        if (n.id.empty()) continue;
        const double w = kCharWidth * n.id.size();
        const double y = Y(n.lat) + 4;
        for (double x : {X(n.lon) + 8, X(n.lon) - 8 - w}) {
            if (!grid.TryPlace(x - 1, y - kFontSize + 1, x + w + 1, y + 2)) continue;
            svg += "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\">" +
                   XmlEscape(Cp1252ToUtf8(n.id)) + "</text>\n";
            break;
        }
    }
    svg += "</g>\n";

    // The legend to the right of the map.
    const double legendX = kLeft + mapW + 20;
    svg += "<g id=\"legend\" font-size=\"12\">\n";
    svg += "<text x=\"" + Num(legendX) + "\" y=\"" + Num(kTop + 12) +
           "\" font-weight=\"bold\">Types</text>\n";
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const double y = kTop + 35 + 20.0 * i;
        svg += "<use xlink:href=\"#" + std::string(legend[i].first.symbol) + "\" x=\"" +
               Num(legendX + 6) + "\" y=\"" + Num(y - 4) + "\"/><text x=\"" + Num(legendX + 18) +
               "\" y=\"" + Num(y) + "\">" + XmlEscape(legend[i].first.label) + " (" +
               std::to_string(legend[i].second) + ")</text>\n";
    }
    svg += "</g>\n";

    if (!data.notDrawn.empty()) {
        svg += "<g id=\"not-drawn\" font-size=\"12\">\n<text x=\"" + Num(kLeft) + "\" y=\"" +
               Num(listTop) + "\" font-weight=\"bold\">Not drawn, coordinates out of range (" +
               std::to_string(data.notDrawn.size()) + "):</text>\n";
        for (std::size_t i = 0; i < listed; ++i) {
            const MapNavaid& n = data.notDrawn[i];
            svg += "<text x=\"" + Num(kLeft) + "\" y=\"" + Num(listTop + 20 + 15.0 * i) +
                   "\">record " + std::to_string(n.index) + ": " + XmlEscape(Cp1252ToUtf8(n.id)) +
                   " latitude " + FormatListReal(n.lat) + ", longitude " + FormatListReal(n.lon) +
                   "</text>\n";
        }
        if (listed < data.notDrawn.size()) {
            svg += "<text x=\"" + Num(kLeft) + "\" y=\"" + Num(listTop + 20 + 15.0 * listed) +
                   "\">and " + std::to_string(data.notDrawn.size() - listed) +
                   " more (see navaid check)</text>\n";
        }
        svg += "</g>\n";
    }
    svg += "</svg>\n";
    return svg;
}

}  // namespace navaid::cli
