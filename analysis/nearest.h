// How far the nearest place of an ID lies: for the report's withdrawn and
// new stations, the nearest counterpart on the other side.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "records.h"

namespace navaid {

// An ID as it is looked up, padded with zeros.
using PlaceKey = std::array<char, RecordLayout::kIdSize>;

// Each key's places as a k-d tree over points on the unit sphere, where the
// nearest by the straight line is the nearest by the great circle, whatever
// the longitudes: a search costs log n however the places lie.
class NearestPlaces {
public:
    // A place out of range is nowhere and is left out.
    void Add(const PlaceKey& key, float lat, float lon);
    // Each place of a key once, as its tree: twins cost what one place does.
    // Call after the last Add, before Nearest.
    void Seal();
    // The distance in NM to the nearest place of `key`, if it has one.
    std::optional<double> Nearest(const PlaceKey& key, float lat, float lon) const;

private:
    using Point3 = std::array<double, 3>;
    struct Place {
        PlaceKey key;
        float lat, lon;
        Point3 at;
    };
    static Point3 OnSphere(float lat, float lon);
    void Build(std::size_t from, std::size_t to, int axis);
    void Search(std::size_t from, std::size_t to, int axis, const Point3& at,
                std::pair<double, std::size_t>& best) const;
    std::vector<Place> places_;
};

}  // namespace navaid
