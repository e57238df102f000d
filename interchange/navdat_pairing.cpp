// The places of one ident and group are searched as a k-d tree kept in their
// own stretch of the deque (each stretch's middle place splits it, by
// latitude and longitude in turn), and twins (rows of one ident and kind at
// one point on one frequency) stand in it once, as their first row, the rest
// after the tree for a later DME row to pair with: a search costs about the
// logarithm of the places of its ident, however they stand.
#include "navdat_pairing.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "geo.h"

namespace navaid {

namespace {

// A paired DME stands at its VOR; real files put it up to a few cables away.
constexpr double kPairedDmeNm = 5.0;
// How near a DME row must lie to be the DME of a beacon, or a station's own.
constexpr double kSameStationNm = 1.0;

PlaceSet SetOf(const Place& place) { return static_cast<PlaceSet>(place.set); }

// What a search keeps apart within an ident: a 13 row's kind, and whether a
// beacon's own row says NDB-DME.
std::uint8_t GroupOf(const Place& place) {
    switch (SetOf(place)) {
        case PlaceSet::Station:
            return static_cast<std::uint8_t>(place.kind);
        case PlaceSet::Beacon:
            return place.kind == kNdbDme;
        default:
            return 0;
    }
}

auto KeyOf(const Place& place) {
    return std::make_tuple(std::uint8_t{place.set}, place.ident, GroupOf(place));
}

bool SameSpot(const Place& a, const Place& b) {
    return KeyOf(a) == KeyOf(b) && a.lat == b.lat && a.lon == b.lon && a.kind == b.kind &&
           a.frequency == b.frequency;
}

using Iter = std::deque<Place>::iterator;

// Makes [begin, end) a k-d tree: its middle place splits it, the halves in turn.
void BuildTree(Iter begin, Iter end, bool byLat) {
    if (end - begin < 2) return;
    const Iter middle = begin + (end - begin) / 2;
    std::nth_element(begin, middle, end, [byLat](const Place& a, const Place& b) {
        return byLat ? a.lat < b.lat : a.lon < b.lon;
    });
    BuildTree(begin, middle, !byLat);
    BuildTree(middle + 1, end, !byLat);
}

// The least longitude difference, around the earth either way, from `lon`
// to a place on the far side of the split at `split`.
double FarSideLongitude(double lon, double split) {
    if (lon < split) return std::min(split - lon, 180 + lon);
    return std::min(lon - split, 180 - lon);
}

// The nearest place within reach that `accept` takes (of equals, the first
// row), or with `any` the first one found.
template <typename Accept>
class TreeSearch {
public:
    TreeSearch(const Place& from, double nm, bool any, Accept& accept)
        : from_(from), best_(nm), any_(any), accept_(accept) {}

    void Visit(Iter begin, Iter end, bool byLat) {
        if (begin == end || (any_ && found_)) return;
        const Iter middle = begin + (end - begin) / 2;
        Consider(*middle);
        const double delta = byLat ? from_.lat - middle->lat : from_.lon - middle->lon;
        const bool low = delta < 0;
        Visit(low ? begin : middle + 1, low ? middle : end, !byLat);
        if (FarSideWithin(delta, byLat, middle->lon))
            Visit(low ? middle + 1 : begin, low ? end : middle, !byLat);
    }
    Place* Found() const { return found_; }

private:
    void Consider(Place& place) {
        if (&place == &from_ || !accept_(place)) return;
        const double nm = DistanceNm(from_.lat, from_.lon, place.lat, place.lon);
        if (nm < best_ || (nm == best_ && (!found_ || place.line < found_->line))) {
            best_ = nm;
            found_ = &place;
        }
    }
    // Whether a place beyond the split can lie within the best distance yet;
    // a degree of latitude is 60.04 NM, never less than 60.
    bool FarSideWithin(double delta, bool byLat, double split) const {
        if (any_ && found_) return false;
        if (byLat) return std::fabs(delta) * 60 <= best_;
        const double maxAbsLat = std::min(90.0, std::fabs(from_.lat) + best_ / 60 + 1e-6);
        return FarSideLongitude(from_.lon, split) <= LongitudeReach(best_, maxAbsLat) + 1e-9;
    }

    const Place& from_;
    double best_;
    bool any_;
    Accept& accept_;
    Place* found_ = nullptr;
};

bool All(const Place&) { return true; }

auto SpotOf(const Place& place) {
    return std::make_tuple(KeyOf(place), place.lat, place.lon, place.kind, place.frequency);
}

// A group's tree places (in any order: the tree is built after), then its twins.
auto TwinOrder(const Place& p) {
    if (p.marks & kTwin)
        return std::tuple(KeyOf(p), true, p.lat, p.lon, p.kind, p.frequency, p.line);
    return std::tuple(KeyOf(p), false, 0.0f, 0.0f, Kind::None, 0.0f, std::uint32_t{0});
}

// Whether a VOR row makes a station with a DME of its own.
bool HasOwnDme(const Place& vor) {
    if (vor.kind == kVorDme || vor.kind == kVortac || vor.kind == kTacan) return true;
    return (vor.kind == Kind::None || vor.kind == kVor) && (vor.marks & kMarked);
}

}  // namespace

void Pairing::SortForSearch() {
    std::sort(places_.begin(), places_.end(), [](const Place& a, const Place& b) {
        return std::tuple(KeyOf(a), a.lat, a.lon, a.kind, a.frequency, a.line) <
               std::tuple(KeyOf(b), b.lat, b.lon, b.kind, b.frequency, b.line);
    });
    // A later twin is part of the first, a 13 row of a kind part of its station.
    for (std::size_t i = 1; i < places_.size(); ++i) {
        Place& place = places_[i];
        if (!SameSpot(places_[i - 1], place)) continue;
        place.marks |= kTwin;
        if (SetOf(place) == PlaceSet::Station && place.kind != Kind::None) place.marks |= kMarked;
    }
    // Each group's tree, then its twins by spot and line, for Unpaired.
    std::sort(places_.begin(), places_.end(),
              [](const Place& a, const Place& b) { return TwinOrder(a) < TwinOrder(b); });
    for (Iter begin = places_.begin(); begin != places_.end();) {
        const Iter end = std::find_if(begin, places_.end(),
                                      [&](const Place& p) { return KeyOf(p) != KeyOf(*begin); });
        BuildTree(begin, std::find_if(begin, end, [](const Place& p) { return p.marks & kTwin; }),
                  true);
        begin = end;
    }
}

// The first place from `from` on that `holds` fails, for a `holds` true up
// to some place and false after it: by doubling strides, then halving.
template <typename Holds>
std::size_t Pairing::Gallop(std::size_t from, Holds holds) const {
    std::size_t low = from, high = from, step = 1;
    for (; high < places_.size() && holds(places_[high]); step *= 2) {
        low = high + 1;
        high = std::min(places_.size(), high + step);
    }
    return std::partition_point(places_.begin() + low, places_.begin() + high, holds) -
           places_.begin();
}

std::pair<Pairing::Iter, Pairing::Iter> Pairing::Group(PlaceSet set, const Place& of,
                                                       std::uint8_t group) {
    const auto key = std::make_tuple(static_cast<std::uint8_t>(set), of.ident, group);
    auto before = [&](const Place& place) { return KeyOf(place) < key; };
    // Searches come in the order of the places: a group's start is mostly a
    // few steps on from where the last one of its set was.
    std::size_t& cursor = cursors_[static_cast<std::size_t>(set)];
    if (cursor > places_.size() || (cursor > 0 && !before(places_[cursor - 1])))
        cursor = std::partition_point(places_.begin(), places_.begin() + cursor, before) -
                 places_.begin();
    cursor = Gallop(cursor, before);
    const std::size_t end = Gallop(
        cursor, [&](const Place& place) { return !(place.marks & kTwin) && KeyOf(place) == key; });
    return {places_.begin() + cursor, places_.begin() + end};
}

template <typename Accept>
Place* Pairing::Nearest(PlaceSet set, std::uint8_t group, const Place& from, double nm, bool any,
                        Accept accept) {
    const auto [begin, end] = Group(set, from, group);
    TreeSearch<Accept> search(from, nm, any, accept);
    search.Visit(begin, end, true);
    return search.Found();
}

// Who a DME row pairs with: `found`, or when a DME row took it already, the
// first of its later twins none took (they follow its group's tree by spot
// and line, so two rows of a doubled VOR and DME make two stations).
Place* Pairing::Unpaired(PlaceSet set, std::uint8_t group, const Place& from, Place* found) {
    if (found == nullptr || !(found->marks & kMarked)) return found;
    const auto spot = SpotOf(*found);
    const Iter twins = Group(set, from, group).second;
    const Iter run = std::partition_point(twins, places_.end(),
                                          [&](const Place& p) { return SpotOf(p) < spot; });
    const Iter free = std::partition_point(run, places_.end(), [&](const Place& p) {
        return SpotOf(p) == spot && (p.marks & kMarked);
    });
    return free != places_.end() && SpotOf(*free) == spot ? &*free : found;
}

// A DME row's VOR (the nearest within a few miles), a beacon's DME row's
// beacon (the nearest whose own row says NDB-DME, else the nearest), a 13
// row of a kind near a VOR row or an earlier 13 row of its kind.
void Pairing::PairPlace(Place& place) {
    switch (SetOf(place)) {
        case PlaceSet::Dme:
            if (Place* vor = Unpaired(PlaceSet::Vor, 0, place,
                                      Nearest(PlaceSet::Vor, 0, place, kPairedDmeNm, false, All))) {
                vor->marks |= kMarked;
            } else {
                place.marks |= kMarked;
            }
            return;
        case PlaceSet::BeaconDme: {
            std::uint8_t group = 1;
            Place* beacon = Nearest(PlaceSet::Beacon, group, place, kSameStationNm, false, All);
            if (!beacon)
                beacon = Nearest(PlaceSet::Beacon, group = 0, place, kSameStationNm, false, All);
            if ((beacon = Unpaired(PlaceSet::Beacon, group, place, beacon)))
                beacon->marks |= kMarked;
            return;
        }
        case PlaceSet::Station: {
            if (place.kind == Kind::None || (place.marks & kTwin)) return;
            const Kind kind = place.kind;
            const std::uint32_t line = place.line;
            if (Nearest(PlaceSet::Vor, 0, place, kSameStationNm, true,
                        [&](const Place& vor) { return vor.kind == kind; }) ||
                Nearest(PlaceSet::Station, GroupOf(place), place, kSameStationNm, true,
                        [&](const Place& row) { return row.line < line; }))
                place.marks |= kMarked;
            return;
        }
        default:
            return;
    }
}

// A DME row that repeats the DME of a station of its ident: a VOR-DME,
// VORTAC or TACAN within a mile on the same frequency.
void Pairing::FindRepeat(Place& place) {
    if (SetOf(place) != PlaceSet::Station || (place.marks & kMarked) || place.kind == kTacan)
        return;
    const float frequency = place.frequency;
    if (Nearest(PlaceSet::Vor, 0, place, kSameStationNm, true,
                [&](const Place& vor) { return vor.frequency == frequency && HasOwnDme(vor); }) ||
        Nearest(PlaceSet::Station, static_cast<std::uint8_t>(kTacan), place, kSameStationNm, true,
                [&](const Place& tacan) {
                    return tacan.frequency == frequency && !(tacan.marks & kMarked);
                }))
        place.marks |= kRepeats;
}

void Pairing::Pair() {
    SortForSearch();
    for (Place& place : places_) PairPlace(place);
    // Once every VOR knows its DME and every 13 row whether it is a part.
    for (Place& place : places_) FindRepeat(place);
    std::sort(places_.begin(), places_.end(),
              [](const Place& a, const Place& b) { return a.line < b.line; });
    cursors_ = {};
}

const Place* Pairing::Find(std::size_t line) {
    // The second pass asks in line order: the next place is the one asked for, or later.
    std::size_t& at = cursors_[0];
    if (at > 0 && places_[at - 1].line >= line) at = 0;
    while (at < places_.size() && places_[at].line < line) ++at;
    return at < places_.size() && places_[at].line == line ? &places_[at] : nullptr;
}

}  // namespace navaid
