#include "svg_map.h"

#include <algorithm>
#include <cmath>

#include "code_page.h"
#include "geo.h"
#include "map_symbols.h"
#include "number_format.h"
#include "svg_parts.h"
#include "text.h"

namespace navaid {

namespace {

constexpr double kMapSize = 1000;  // pixels along the map's longer side
constexpr double kFontSize = 11, kCharWidth = 6.6;
constexpr std::size_t kMaxListed = 500;

std::string Num(double value) { return SvgNumber(value); }

struct Style {
    const char* symbol;
    const char* label;
};

// One symbol per type code; "undef" for codes that read "Type undefined".
Style StyleOf(Family family, std::uint8_t code) {
    const TypeBlock* type = FindType(family, code);
    return type ? Style{MapSymbol(*type), type->name} : Style{"undef", kTypeUndefined};
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
    std::string svg = SvgStart(width_, height_, title_);
    svg += kMapSymbolDefs;
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + Num(kLeft) + "\" y=\"28\" font-size=\"16\" font-weight=\"bold\">" +
           XmlEscape(title_) + "</text>\n";
    svg += "<rect id=\"map-area\" x=\"" + Num(kLeft) + "\" y=\"" + Num(kTop) + "\" width=\"" +
           Num(mapW_) + "\" height=\"" + Num(mapH_) + "\" fill=\"#f4f8fb\" stroke=\"#555\"/>\n";
    return svg + Graticule() + "<g id=\"navaids\">\n";
}

// Lines every 10 degrees, whatever the extent.
std::string SvgMap::Graticule() const {
    return navaid::Graticule(MapFrame{extent_, kLeft, kTop, scale_, scale_}, 10);
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
