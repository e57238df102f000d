#include "nearest.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "geo.h"

namespace navaid {

NearestPlaces::Point3 NearestPlaces::OnSphere(float lat, float lon) {
    constexpr double kRad = 3.14159265358979323846 / 180;
    return {std::cos(lat * kRad) * std::cos(lon * kRad),
            std::cos(lat * kRad) * std::sin(lon * kRad), std::sin(lat * kRad)};
}

void NearestPlaces::Add(const PlaceKey& key, float lat, float lon) {
    if (PositionInRange(lat, lon)) places_.push_back({key, lat, lon, OnSphere(lat, lon)});
}

void NearestPlaces::Seal() {
    auto site = [](const Place& p) { return std::tie(p.key, p.lat, p.lon); };
    std::sort(places_.begin(), places_.end(),
              [&](const Place& a, const Place& b) { return site(a) < site(b); });
    places_.erase(std::unique(places_.begin(), places_.end(),
                              [&](const Place& a, const Place& b) { return site(a) == site(b); }),
                  places_.end());
    for (std::size_t from = 0, to = 0; from < places_.size(); from = to) {
        while (to < places_.size() && places_[to].key == places_[from].key) ++to;
        Build(from, to, 0);
    }
}

// The median by one axis at the middle, the halves below it by the next.
void NearestPlaces::Build(std::size_t from, std::size_t to, int axis) {
    if (to - from < 2) return;
    const std::size_t mid = from + (to - from) / 2;
    std::nth_element(places_.begin() + from, places_.begin() + mid, places_.begin() + to,
                     [axis](const Place& a, const Place& b) { return a.at[axis] < b.at[axis]; });
    Build(from, mid, (axis + 1) % 3);
    Build(mid + 1, to, (axis + 1) % 3);
}

// The nearest place as its squared straight distance and its number; the
// far half only where the plane between them is nearer than that.
void NearestPlaces::Search(std::size_t from, std::size_t to, int axis, const Point3& at,
                           std::pair<double, std::size_t>& best) const {
    if (from >= to) return;
    const std::size_t mid = from + (to - from) / 2;
    const Point3& p = places_[mid].at;
    const double squared = (at[0] - p[0]) * (at[0] - p[0]) + (at[1] - p[1]) * (at[1] - p[1]) +
                           (at[2] - p[2]) * (at[2] - p[2]);
    if (squared < best.first) best = {squared, mid};
    const double apart = at[axis] - p[axis];
    const int next = (axis + 1) % 3;
    Search(apart < 0 ? from : mid + 1, apart < 0 ? mid : to, next, at, best);
    if (apart * apart < best.first)
        Search(apart < 0 ? mid + 1 : from, apart < 0 ? to : mid, next, at, best);
}

std::optional<double> NearestPlaces::Nearest(const PlaceKey& key, float lat, float lon) const {
    if (!PositionInRange(lat, lon)) return std::nullopt;
    const auto first = std::partition_point(places_.begin(), places_.end(),
                                            [&](const Place& p) { return p.key < key; });
    const auto last =
        std::partition_point(first, places_.end(), [&](const Place& p) { return p.key == key; });
    std::pair<double, std::size_t> best{5.0, 0};  // farther than any two points (2 squared is 4)
    Search(first - places_.begin(), last - places_.begin(), 0, OnSphere(lat, lon), best);
    if (best.first > 4.5) return std::nullopt;
    const Place& nearest = places_[best.second];
    return DistanceNm(lat, lon, nearest.lat, nearest.lon);
}

}  // namespace navaid
