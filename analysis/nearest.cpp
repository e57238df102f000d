#include "nearest.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "geo.h"

namespace navaid {

namespace {

// A degree of latitude is at least this far along any path: a little under
// the meridian's, so that rounding never stops a search early.
constexpr double kNmPerDegree = 59.9;

}  // namespace

void NearestPlaces::Add(const PlaceKey& key, float lat, float lon) {
    if (std::isfinite(lat) && std::isfinite(lon)) places_.push_back({key, lat, lon});
}

void NearestPlaces::Seal() {
    auto order = [](const Place& p) { return std::tie(p.key, p.lat, p.lon); };
    std::sort(places_.begin(), places_.end(),
              [&](const Place& a, const Place& b) { return order(a) < order(b); });
    places_.erase(std::unique(places_.begin(), places_.end(),
                              [&](const Place& a, const Place& b) { return order(a) == order(b); }),
                  places_.end());
}

std::optional<double> NearestPlaces::Nearest(const PlaceKey& key, float lat, float lon) const {
    if (!std::isfinite(lat) || !std::isfinite(lon)) return std::nullopt;
    const auto from =
        std::lower_bound(places_.begin(), places_.end(), std::tie(key, lat),
                         [](const Place& p, const auto& k) { return std::tie(p.key, p.lat) < k; });
    std::optional<double> best;
    auto closer = [&](const Place& p) {
        if (p.key != key) return false;
        if (best && std::fabs(p.lat - lat) * kNmPerDegree > *best) return false;
        const double nm = DistanceNm(lat, lon, p.lat, p.lon);
        if (!best || nm < *best) best = nm;
        return true;
    };
    for (auto p = from; p != places_.end() && closer(*p); ++p) {
    }
    for (auto p = from; p != places_.begin() && closer(*(p - 1)); --p) {
    }
    return best;
}

}  // namespace navaid
