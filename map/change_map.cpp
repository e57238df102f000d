#include "change_map.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "code_page.h"
#include "map_symbols.h"
#include "text.h"

namespace navaid {

namespace {

constexpr double kMapSize = 1000;  // pixels along the map's longer side
constexpr double kLeft = 60, kTop = 50, kLegendWidth = 270;
constexpr double kFontSize = 11, kCharWidth = 6.6;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMinHalfSpan = 0.5;  // degrees of latitude each way

using Kind = MapChange::Kind;
const auto N = SvgNumber;

double CosLat(double lat) { return std::max(0.1, std::cos(lat * kPi / 180)); }

// The rings that tell a change's kind around the type's symbol, and the arrow's head.
const char* kChangeDefs =
    "<defs>\n"
    "<marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"8\" "
    "markerHeight=\"8\" markerUnits=\"userSpaceOnUse\" orient=\"auto\"><path d=\"M0,0 L10,5 L0,10 "
    "z\" fill=\"#d97a00\"/></marker>\n"
    "<circle id=\"changed\" r=\"9\" fill=\"none\" stroke=\"#e08a00\" stroke-width=\"2.5\"/>\n"
    "<g id=\"gone\"><circle r=\"9\" fill=\"none\" stroke=\"#c62828\" stroke-width=\"2.5\"/>"
    "<path d=\"M-6.4,6.4 L6.4,-6.4\" stroke=\"#c62828\" stroke-width=\"2.5\"/></g>\n"
    "<rect id=\"came\" x=\"-9\" y=\"-9\" width=\"18\" height=\"18\" rx=\"3\" fill=\"none\" "
    "stroke=\"#2e8b3a\" stroke-width=\"2.5\"/>\n"
    "</defs>\n";

struct KindStyle {
    const char* ring;
    const char* labelColour;
};
KindStyle StyleOf(Kind kind) {
    switch (kind) {
        case Kind::Gone:
            return {"gone", "#b71c1c"};
        case Kind::Came:
            return {"came", "#1b6e2a"};
        default:
            return {"changed", "#9a5400"};
    }
}

struct Bounds {
    double south = 90, north = -90, west = 180, east = -180;
    void Add(double lat, double lon) {
        if (!PositionInRange(lat, lon)) return;
        south = std::min(south, lat), north = std::max(north, lat);
        west = std::min(west, lon), east = std::max(east, lon);
    }
    void Add(const Extent& e) { Add(e.south, e.west), Add(e.north, e.east); }
    bool Empty() const { return south > north; }
    Extent AsExtent() const { return {south, north, west, east}; }
};

bool Within(const Extent& e, double lat, double lon) {
    return PositionInRange(lat, lon) && lat >= e.south && lat <= e.north && lon >= e.west &&
           lon <= e.east;
}

std::string ChangeCounts(const std::vector<MapChange>& changes, const ChangeMapJob& job) {
    std::uint64_t n[3] = {};
    for (const MapChange& change : changes) ++n[static_cast<int>(change.kind)];
    if (changes.empty()) return "no changes";
    return std::to_string(n[0]) + " changed, " + std::to_string(n[1]) + " " + job.goneWord + ", " +
           std::to_string(n[2]) + " " + job.cameWord;
}

std::size_t Utf8Length(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

}  // namespace

Extent FrameAround(Extent b) {
    const double midLat = (b.south + b.north) / 2, midLon = (b.west + b.east) / 2;
    const double k = CosLat(midLat);
    double latHalf = std::max((b.north - b.south) / 2, kMinHalfSpan);
    double lonHalf = std::max((b.east - b.west) / 2, kMinHalfSpan / k);
    // No side less than half the other on the ground: a line of changes
    // still leaves room for their labels.
    latHalf = std::max(latHalf, lonHalf * k / 2) * 1.2;
    lonHalf = std::max(lonHalf, latHalf / 1.2 / k / 2) * 1.2;
    return {std::max(-90.0, midLat - latHalf), std::min(90.0, midLat + latHalf),
            std::max(-180.0, midLon - lonHalf), std::min(180.0, midLon + lonHalf)};
}

Extent CircleBounds(const Circle& c) {
    const double latReach = c.nm / 60;
    // A circle that reaches a pole spans every longitude.
    const bool polar = std::fabs(c.lat) + latReach >= 90;
    const double lonReach = polar ? 180 : latReach / CosLat(std::fabs(c.lat) + latReach);
    return {std::max(-90.0, c.lat - latReach), std::min(90.0, c.lat + latReach),
            std::max(-180.0, c.lon - lonReach), std::min(180.0, c.lon + lonReach)};
}

double GridStep(double span) {
    for (double step : {10.0, 5.0, 2.0, 1.0, 0.5, 0.2})
        if (span / step >= 4) return step;
    return 0.1;
}

double ScaleBarNm(double nmPerPixel, double maxPixels) {
    const double most = nmPerPixel * maxPixels;
    const double power = std::pow(10.0, std::floor(std::log10(most)));
    for (double times : {5.0, 2.0}) {
        if (times * power <= most) return times * power;
    }
    return power;
}

namespace {

// The map being written: its frame, the label grid, what it drew.
class ChangeMap {
public:
    ChangeMap(const ChangeMapJob& job, const Extent& extent);
    std::string Head() const;
    // Claims the changes' places before anything else is drawn.
    void PlaceChanges();
    std::string UnchangedSymbol(std::uint64_t index, const DecodedRecord& r);
    std::string Changes();
    std::string ChangeLabels();
    std::string UnchangedLabel(const DecodedRecord& r);
    std::string Tail() const;
    ChangeMapCounts counts;

private:
    std::string Change(const MapChange& change);
    std::string Arrow(const MapChange& change);
    std::string Label(double x, double y, const std::string& id, bool anywhere);
    std::string Legend() const;
    std::string ScaleBar(double x, double y) const;

    const ChangeMapJob& job_;
    MapFrame frame_;
    double mapW_, mapH_, width_, height_;
    std::uint64_t arrows_ = 0;
    LabelGrid grid_;
};

ChangeMap::ChangeMap(const ChangeMapJob& job, const Extent& e) : job_(job) {
    const double k = CosLat((e.south + e.north) / 2);
    const double latSpan = e.north - e.south, lonSpan = e.east - e.west;
    const double scale = kMapSize / std::max(latSpan, lonSpan * k);
    frame_ = {e, kLeft, kTop, scale, scale * k};
    mapW_ = lonSpan * scale * k;
    mapH_ = latSpan * scale;
    // The title's bold letters are about 9.5 pixels wide.
    const double titleWidth = 9.5 * Utf8Length(job.title + ": " + ChangeCounts(job.changes, job));
    width_ = std::max(kLeft + mapW_ + 20 + kLegendWidth, kLeft + titleWidth + 20);
    height_ = std::max(kTop + mapH_ + 40, kTop + 390.0);
}

std::string ChangeMap::Head() const {
    const std::string title = job_.title + ": " + ChangeCounts(job_.changes, job_);
    std::string svg = SvgStart(width_, height_, title);
    svg += std::string(kMapSymbolDefs) + kChangeDefs;
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    svg += "<text x=\"" + N(kLeft) + "\" y=\"28\" font-size=\"16\" font-weight=\"bold\">" +
           XmlEscape(title) + "</text>\n";
    svg += "<rect id=\"map-area\" x=\"" + N(kLeft) + "\" y=\"" + N(kTop) + "\" width=\"" +
           N(mapW_) + "\" height=\"" + N(mapH_) + "\" fill=\"#f4f8fb\" stroke=\"#555\"/>\n";
    svg += Graticule(frame_, GridStep(std::min(frame_.extent.north - frame_.extent.south,
                                               frame_.extent.east - frame_.extent.west)));
    if (job_.near) {
        // Near enough a circle on the ground, as the frame is square at its middle.
        svg += "<circle id=\"near\" cx=\"" + N(frame_.X(job_.near->lon)) + "\" cy=\"" +
               N(frame_.Y(job_.near->lat)) + "\" r=\"" + N(job_.near->nm / 60 * frame_.scale) +
               "\" fill=\"none\" stroke=\"#7a8a96\" stroke-dasharray=\"6 4\"/>\n";
    }
    return svg + "<g id=\"unchanged\" opacity=\"0.4\">\n";
}

void ChangeMap::PlaceChanges() {
    for (const MapChange& c : job_.changes) {
        if (!Within(frame_.extent, c.lat, c.lon)) continue;
        const double x = frame_.X(c.lon), y = frame_.Y(c.lat);
        grid_.Place(x - 10, y - 10, x + 10, y + 10);
    }
}

std::string ChangeMap::UnchangedSymbol(std::uint64_t index, const DecodedRecord& r) {
    if (!Within(frame_.extent, r.latitude, r.longitude)) return {};
    ++counts.unchanged;
    const double x = frame_.X(r.longitude), y = frame_.Y(r.latitude);
    grid_.Place(x - 6, y - 6, x + 6, y + 6);
    return "<use xlink:href=\"#" + std::string(MapSymbolOf(job_.family, r.typeCode)) + "\" x=\"" +
           N(x) + "\" y=\"" + N(y) + "\"><title>" + std::to_string(index) + " " +
           SvgText(TrimWhiteSpace(r.id)) + "</title></use>\n";
}

// From the old place to the ring around the new one; a move too short for
// a head is a plain line, one of no length none.
std::string ChangeMap::Arrow(const MapChange& c) {
    if (c.kind != Kind::Changed || !Within(frame_.extent, c.fromLat, c.fromLon)) return {};
    const double x0 = frame_.X(c.fromLon), y0 = frame_.Y(c.fromLat);
    const double x1 = frame_.X(c.lon), y1 = frame_.Y(c.lat);
    const double length = std::hypot(x1 - x0, y1 - y0);
    if (length < 2) return {};
    ++arrows_;
    const bool head = length > 24;
    const double end = head ? (length - 10) / length : 1;
    return "<circle cx=\"" + N(x0) + "\" cy=\"" + N(y0) +
           "\" r=\"2.5\" fill=\"none\" stroke=\"#d97a00\"/><line x1=\"" + N(x0) + "\" y1=\"" +
           N(y0) + "\" x2=\"" + N(x0 + (x1 - x0) * end) + "\" y2=\"" + N(y0 + (y1 - y0) * end) +
           "\" stroke=\"#d97a00\" stroke-width=\"1.8\"" +
           (head ? " marker-end=\"url(#head)\"" : "") + "/>\n";
}

// The rarer kinds last, on top of the many changed ones.
std::string ChangeMap::Changes() {
    std::string svg = "</g>\n<g id=\"changes\">\n";
    for (Kind kind : {Kind::Changed, Kind::Gone, Kind::Came}) {
        for (const MapChange& c : job_.changes)
            if (c.kind == kind) svg += Change(c);
    }
    return svg + "</g>\n";
}

std::string ChangeMap::Change(const MapChange& c) {
    if (!Within(frame_.extent, c.lat, c.lon)) return {};
    ++counts.changes;
    const std::string x = N(frame_.X(c.lon)), y = N(frame_.Y(c.lat));
    return Arrow(c) + "<g><title>" + XmlEscape(c.note) + "</title><use xlink:href=\"#" +
           MapSymbolOf(job_.family, c.typeCode) + "\" x=\"" + x + "\" y=\"" + y +
           "\"/><use xlink:href=\"#" + StyleOf(c.kind).ring + "\" x=\"" + x + "\" y=\"" + y +
           "\"/></g>\n";
}

// Right of its place, then left; a change's label also above and below.
std::string ChangeMap::Label(double x, double y, const std::string& id, bool anywhere) {
    const double w = kCharWidth * id.size(), base = y + 4;
    const std::pair<double, double> places[] = {
        {x + 12, base}, {x - 12 - w, base}, {x - w / 2, y - 12}, {x - w / 2, y + 12 + kFontSize}};
    for (std::size_t i = 0; i < (anywhere ? 4 : 2); ++i) {
        const auto [lx, ly] = places[i];
        // Inside the map area, clear of the legend.
        if (lx < kLeft || lx + w > kLeft + mapW_ || ly - kFontSize < kTop || ly > kTop + mapH_)
            continue;
        if (!grid_.TryPlace(lx - 1, ly - kFontSize + 1, lx + w + 1, ly + 2)) continue;
        return "<text x=\"" + N(lx) + "\" y=\"" + N(ly) + "\">" + SvgText(id) + "</text>\n";
    }
    return {};
}

std::string ChangeMap::ChangeLabels() {
    std::string svg = "<g id=\"labels\" font-size=\"" + N(kFontSize) + "\" font-weight=\"bold\">\n";
    // The rarer kinds first, where there is room.
    for (Kind kind : {Kind::Gone, Kind::Came, Kind::Changed}) {
        svg += std::string("<g fill=\"") + StyleOf(kind).labelColour + "\">\n";
        for (const MapChange& c : job_.changes) {
            if (c.kind != kind || c.id.empty() || !Within(frame_.extent, c.lat, c.lon)) continue;
            svg += Label(frame_.X(c.lon), frame_.Y(c.lat), c.id, true);
        }
        svg += "</g>\n";
    }
    return svg + "</g>\n<g id=\"unchanged-labels\" font-size=\"" + N(kFontSize) +
           "\" fill=\"#8a949b\">\n";
}

std::string ChangeMap::UnchangedLabel(const DecodedRecord& r) {
    const std::string id(TrimWhiteSpace(r.id));
    if (id.empty() || !Within(frame_.extent, r.latitude, r.longitude)) return {};
    return Label(frame_.X(r.longitude), frame_.Y(r.latitude), id, false);
}

std::string ChangeMap::Tail() const { return "</g>\n" + Legend() + "</svg>\n"; }

// A row of the legend: a drawing at (x + 6, y - 4), then its text.
std::string LegendRow(double x, double y, const std::string& drawing, const std::string& text) {
    return drawing + "<text x=\"" + N(x + 18) + "\" y=\"" + N(y) + "\">" + XmlEscape(text) +
           "</text>\n";
}

std::string Use(const char* id, double x, double y) {
    return "<use xlink:href=\"#" + std::string(id) + "\" x=\"" + N(x) + "\" y=\"" + N(y) + "\"/>";
}

// The kinds of change with their counts, the types' symbols, the scale.
std::string ChangeMap::Legend() const {
    const double x = kLeft + mapW_ + 20;
    std::uint64_t n[3] = {};
    std::uint64_t moves = 0;  // drawn or not: a move shorter than a few pixels has no arrow
    for (const MapChange& c : job_.changes) {
        ++n[static_cast<int>(c.kind)];
        moves += c.kind == Kind::Changed && (c.fromLat != c.lat || c.fromLon != c.lon);
    }
    const std::string undrawn =
        moves > arrows_ ? ", " + std::to_string(moves - arrows_) + " too short to draw" : "";
    std::string svg = "<g id=\"legend\" font-size=\"12\">\n<text x=\"" + N(x) + "\" y=\"" +
                      N(kTop + 12) + "\" font-weight=\"bold\">Changes</text>\n";
    double y = kTop + 35;
    const auto row = [&](const std::string& drawing, const std::string& text) {
        svg += LegendRow(x, y, drawing, text);
        y += 20;
    };
    row(Use("changed", x + 6, y - 4), "changed (" + std::to_string(n[0]) + ")");
    row("<line x1=\"" + N(x - 2) + "\" y1=\"" + N(y - 4) + "\" x2=\"" + N(x + 14) + "\" y2=\"" +
            N(y - 4) + "\" stroke=\"#d97a00\" stroke-width=\"1.8\" marker-end=\"url(#head)\"/>",
        "moved, from its old place (" + std::to_string(moves) + undrawn + ")");
    row(Use("gone", x + 6, y - 4), std::string(job_.goneWord) + " (" + std::to_string(n[1]) + ")");
    row(Use("came", x + 6, y - 4), std::string(job_.cameWord) + " (" + std::to_string(n[2]) + ")");
    row("<g opacity=\"0.4\">" + Use("vor", x + 6, y - 4) + "</g>",
        std::string(job_.near ? "unchanged, or outside the circle" : "unchanged") + " (" +
            std::to_string(counts.unchanged) + ")");
    svg += "<text x=\"" + N(x) + "\" y=\"" + N(y + 15) + "\" font-weight=\"bold\">Types</text>\n";
    y += 38;
    std::size_t count = 0;
    const TypeBlock* types = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i)
        if (types[i].family == job_.family)
            row(Use(MapSymbol(types[i]), x + 6, y - 4), types[i].name);
    row(Use("undef", x + 6, y - 4), kTypeUndefined);
    return svg + ScaleBar(x, y + 20) + "</g>\n";
}

// A bar of a round number of NM, as long as a degree of latitude is at the middle of the map.
std::string ChangeMap::ScaleBar(double x, double y) const {
    const Extent& e = frame_.extent;
    const double midLat = (e.south + e.north) / 2, midLon = (e.west + e.east) / 2;
    const double nmPerPixel = DistanceNm(midLat - 0.5, midLon, midLat + 0.5, midLon) / frame_.scale;
    const double nm = ScaleBarNm(nmPerPixel, kLegendWidth - 60);
    const double length = nm / nmPerPixel;
    return "<g id=\"scale\"><path d=\"M" + N(x) + "," + N(y - 5) + " V" + N(y) + " H" +
           N(x + length) + " V" + N(y - 5) +
           "\" fill=\"none\" stroke=\"#222\" stroke-width=\"1.5\"/>" + "<text x=\"" +
           N(x + length + 6) + "\" y=\"" + N(y) + "\">" + N(nm) + " NM</text></g>\n";
}

// The unchanged records of the older database, decoded, in one read.
Outcome ReadUnchanged(const ChangeMapJob& job,
                      const std::function<void(std::uint64_t, const DecodedRecord&)>& visit) {
    return job.records([&](std::uint64_t index, const std::uint8_t* record) {
        if (index < job.touched.size() && job.touched[index]) return;
        visit(index, DecodeRecord(job.family, record));
    });
}

// The changes and the circle, or else the whole database, with a margin.
Outcome FrameOf(const ChangeMapJob& job, Extent& extent) {
    Bounds bounds;
    for (const MapChange& c : job.changes) {
        bounds.Add(c.lat, c.lon);
        if (c.kind == Kind::Changed) bounds.Add(c.fromLat, c.fromLon);
    }
    if (job.near) bounds.Add(CircleBounds(*job.near));
    if (bounds.Empty()) {
        const Outcome read = ReadUnchanged(job, [&](std::uint64_t, const DecodedRecord& r) {
            bounds.Add(r.latitude, r.longitude);
        });
        if (!read) return read;
    }
    extent = bounds.Empty() ? Extent{-90, 90, -180, 180} : FrameAround(bounds.AsExtent());
    return Outcome::Success();
}

}  // namespace

Outcome DrawChanges(const ChangeMapJob& job, TextSink& out, ChangeMapCounts& counts) {
    counts = {};
    Extent extent{};
    if (Outcome framed = FrameOf(job, extent); !framed) return framed;
    ChangeMap map(job, extent);
    map.PlaceChanges();
    if (Outcome opened = out.Open(); !opened) return opened;
    out.Write(map.Head());
    Outcome drawn = ReadUnchanged(job, [&](std::uint64_t index, const DecodedRecord& r) {
        out.Write(map.UnchangedSymbol(index, r));
    });
    if (drawn) {
        out.Write(map.Changes());
        out.Write(map.ChangeLabels());
        drawn = ReadUnchanged(
            job, [&](std::uint64_t, const DecodedRecord& r) { out.Write(map.UnchangedLabel(r)); });
    }
    if (!drawn) {
        out.Discard();
        return drawn;
    }
    out.Write(map.Tail());
    counts = map.counts;
    return out.Close();
}

}  // namespace navaid
