// How far the nearest place of an ID lies: for the report's withdrawn and
// new stations, the nearest counterpart on the other side.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "records.h"

namespace navaid {

// An ID as it is looked up, padded with zeros.
using PlaceKey = std::array<char, RecordLayout::kIdSize>;

class NearestPlaces {
public:
    // A place that is not finite is nowhere and is left out.
    void Add(const PlaceKey& key, float lat, float lon);
    // Sorts the places by key and latitude, each place of a key once: twins
    // cost what one place does. Call before Nearest.
    void Seal();
    // The distance in NM to the nearest place of `key`, if it has one: the
    // search walks out from the latitude and stops where the latitude alone
    // lies farther than the best found.
    std::optional<double> Nearest(const PlaceKey& key, float lat, float lon) const;

private:
    struct Place {
        PlaceKey key;
        float lat, lon;
    };
    std::vector<Place> places_;
};

}  // namespace navaid
