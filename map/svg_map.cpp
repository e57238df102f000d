#include "svg_map.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "code_page.h"
#include "geo.h"
#include "map_symbols.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

constexpr double kMapSize = 1000;  // pixels along the map's longer side
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
    const TypeBlock* type = FindType(family, code);
    return type ? Style{MapSymbol(*type), type->name} : Style{"undef", kTypeUndefined};
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

std::string Degrees(double value, const char* positive, const char* negative) {
    if (value == 0) return "0\xC2\xB0";
    return Num(std::fabs(value)) + "\xC2\xB0" + (value > 0 ? positive : negative);
}

// The navaids' bounds with a margin of a tenth of the extent, at least one degree.
Extent WithMargin(double south, double north, double west, double east) {
    const double latMargin = std::max(1.0, (north - south) / 10);
    const double lonMargin = std::max(1.0, (east - west) / 10);
    return {std::max(-90.0, south - latMargin), std::min(90.0, north + latMargin),
            std::max(-180.0, west - lonMargin), std::min(180.0, east + lonMargin)};
}

}  // namespace

void SvgMap::Count(const MapNavaid& n) {
    if (!PositionInRange(n.lat, n.lon)) {
        if (listed_.size() < kMaxListed) listed_.push_back(n);
        ++notDrawn_;
        return;
    }
    ++drawn_;
    south_ = std::min<double>(south_, n.lat);
    north_ = std::max<double>(north_, n.lat);
    west_ = std::min<double>(west_, n.lon);
    east_ = std::max<double>(east_, n.lon);
    const std::string_view symbol = StyleOf(family_, n.typeCode).symbol;
    for (auto& [counted, count] : typeCounts_) {
        if (counted == symbol) {
            ++count;
            return;
        }
    }
    typeCounts_.push_back({symbol, 1});
}

namespace {

// Legend entries: the family's types in the table's order, then "Type
// undefined" when present.
std::vector<std::pair<Style, std::uint64_t>> LegendEntries(
    Family family, const std::vector<std::pair<std::string_view, std::uint64_t>>& counts) {
    std::vector<Style> styles;
    std::size_t count = 0;
    const TypeBlock* types = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i)
        if (types[i].family == family) styles.push_back({MapSymbol(types[i]), types[i].name});
    styles.push_back({"undef", kTypeUndefined});
    std::vector<std::pair<Style, std::uint64_t>> legend;
    for (const Style& style : styles) {
        std::uint64_t n = 0;
        for (const auto& [symbol, counted] : counts)
            if (symbol == style.symbol) n = counted;
        if (style.label != std::string_view(kTypeUndefined) || n > 0) legend.push_back({style, n});
    }
    return legend;
}

}  // namespace

void SvgMap::LayOut(std::string title) {
    title_ = std::move(title);
    extent_ = drawn_ == 0 ? Extent{-90, 90, -180, 180} : WithMargin(south_, north_, west_, east_);
    const double latSpan = extent_.north - extent_.south, lonSpan = extent_.east - extent_.west;
    scale_ = kMapSize / std::max(latSpan, lonSpan);
    mapW_ = lonSpan * scale_;
    mapH_ = latSpan * scale_;
    const std::size_t listed = listed_.size();
    const double listHeight = notDrawn_ == 0 ? 0 : 20 + 15.0 * (listed + (listed < notDrawn_));
    const std::size_t legendRows = LegendEntries(family_, typeCounts_).size();
    width_ = std::max(kLeft + mapW_ + 190, 560.0);
    height_ = std::max(kTop + mapH_ + 40 + listHeight + 10, kTop + 40 + 20.0 * legendRows);
}

std::string SvgMap::Head() const {
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg +=
        "<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "xmlns:xlink=\"http://www.w3.org/1999/xlink\" version=\"1.1\" width=\"" +
        Num(width_) + "\" height=\"" + Num(height_) + "\" viewBox=\"0 0 " + Num(width_) + " " +
        Num(height_) + "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n";
    svg += "<title>" + XmlEscape(title_) + "</title>\n";
    svg += kSymbols;
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + Num(kLeft) + "\" y=\"28\" font-size=\"16\" font-weight=\"bold\">" +
           XmlEscape(title_) + "</text>\n";
    svg += "<rect id=\"map-area\" x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" +
           Num(mapW_) + "\" height=\"" + Num(mapH_) + "\" fill=\"#f4f8fb\" stroke=\"#555\"/>\n";
    return svg + Graticule() + "<g id=\"navaids\">\n";
}

// Lines every 10 degrees, labelled on the left and bottom edges where they leave room.
std::string SvgMap::Graticule() const {
    const Extent& e = extent_;
    std::string svg =
        "<g id=\"graticule\" stroke=\"#b8c4cc\" stroke-width=\"0.8\" font-size=\"10\" "
        "fill=\"#555\">\n";
    const int labelEvery = 10 * static_cast<int>(std::ceil(48 / (10 * scale_)));
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
    return svg + "</g>\n";
}

// Symbols claim their place before any label, so a label never hides a navaid.
std::string SvgMap::Symbol(const MapNavaid& n) {
    if (!PositionInRange(n.lat, n.lon)) return {};
    const double x = X(n.lon), y = Y(n.lat);
    grid_.Place(x - 6, y - 6, x + 6, y + 6);
    return "<use xlink:href=\"#" + std::string(StyleOf(family_, n.typeCode).symbol) + "\" x=\"" +
           Num(x) + "\" y=\"" + Num(y) + "\"><title>" + std::to_string(n.index) + " " +
           XmlEscape(Cp1252ToUtf8(n.id)) + "</title></use>\n";
}

std::string SvgMap::LabelsHead() const {
    return "</g>\n<g id=\"labels\" font-size=\"" + Num(kFontSize) + "\" fill=\"#222\">\n";
}

// The label tries the right side of its symbol, then the left.
std::string SvgMap::Label(const MapNavaid& n) {
    if (!PositionInRange(n.lat, n.lon) || n.id.empty()) return {};
    const double w = kCharWidth * n.id.size();
    const double y = Y(n.lat) + 4;
    for (double x : {X(n.lon) + 8, X(n.lon) - 8 - w}) {
        if (!grid_.TryPlace(x - 1, y - kFontSize + 1, x + w + 1, y + 2)) continue;
        return "<text x=\"" + Num(x) + "\" y=\"" + Num(y) + "\">" + XmlEscape(Cp1252ToUtf8(n.id)) +
               "</text>\n";
    }
    return {};
}

std::string SvgMap::Tail() const { return "</g>\n" + Legend() + NotDrawnList() + "</svg>\n"; }

// The legend to the right of the map.
std::string SvgMap::Legend() const {
    const double legendX = kLeft + mapW_ + 20;
    std::string svg = "<g id=\"legend\" font-size=\"12\">\n";
    svg += "<text x=\"" + Num(legendX) + "\" y=\"" + Num(kTop + 12) +
           "\" font-weight=\"bold\">Types</text>\n";
    const auto legend = LegendEntries(family_, typeCounts_);
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const double y = kTop + 35 + 20.0 * i;
        svg += "<use xlink:href=\"#" + std::string(legend[i].first.symbol) + "\" x=\"" +
               Num(legendX + 6) + "\" y=\"" + Num(y - 4) + "\"/><text x=\"" + Num(legendX + 18) +
               "\" y=\"" + Num(y) + "\">" + XmlEscape(legend[i].first.label) + " (" +
               std::to_string(legend[i].second) + ")</text>\n";
    }
    return svg + "</g>\n";
}

// The first of the navaids off the map, listed under it.
std::string SvgMap::NotDrawnList() const {
    if (notDrawn_ == 0) return {};
    const double listTop = kTop + mapH_ + 40;
    std::string svg = "<g id=\"not-drawn\" font-size=\"12\">\n<text x=\"" + Num(kLeft) + "\" y=\"" +
                      Num(listTop) +
                      "\" font-weight=\"bold\">Not drawn, coordinates out of range (" +
                      std::to_string(notDrawn_) + "):</text>\n";
    for (std::size_t i = 0; i < listed_.size(); ++i) {
        const MapNavaid& n = listed_[i];
        svg += "<text x=\"" + Num(kLeft) + "\" y=\"" + Num(listTop + 20 + 15.0 * i) + "\">record " +
               std::to_string(n.index) + ": " + XmlEscape(Cp1252ToUtf8(n.id)) + " latitude " +
               FormatListReal(n.lat) + ", longitude " + FormatListReal(n.lon) + "</text>\n";
    }
    if (listed_.size() < notDrawn_) {
        svg += "<text x=\"" + Num(kLeft) + "\" y=\"" + Num(listTop + 20 + 15.0 * listed_.size()) +
               "\">and " + std::to_string(notDrawn_ - listed_.size()) +
               " more (see navaid check)</text>\n";
    }
    return svg + "</g>\n";
}

}  // namespace navaid
