// nav.dat's pairing, between its two passes: which DME row belongs to which
// station or beacon, which 13 row is part of a station, which DME repeats a
// station's. The first pass adds a place for each row that can pair; the
// searches then look only at places of the row's ident near it.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string_view>

#include "navdat_types.h"
#include "records.h"

namespace navaid {

// What a name's type words say the station is: a type of kNavDatTypes (its
// index there plus one), none, or the DME of a landing system, which is no
// type of ours.
enum class Kind : std::uint8_t { None = 0, DmeIls = 255 };

constexpr Kind KindOf(std::string_view type) {
    return static_cast<Kind>(NavDatTypeIndex(type) + 1);
}
constexpr Kind kNdb = KindOf("NDB"), kNdbDme = KindOf("NDB-DME"), kVor = KindOf("VOR"),
               kVorDme = KindOf("VOR-DME"), kVortac = KindOf("VORTAC"), kTacan = KindOf("TACAN");

// The rows a place can stand for.
enum class PlaceSet : std::uint8_t {
    Vor,        // 3 rows
    Dme,        // 12 rows, not of a landing system
    Station,    // 13 rows of the VOR family
    Beacon,     // 2 rows
    BeaconDme,  // 13 rows of NDB-DMEs
};

// What the pairing found for a place. kMarked means by set: a VOR a DME row
// pairs with, a DME row without its VOR, a 13 row that is part of a station,
// a beacon given a DME row.
inline constexpr std::uint8_t kMarked = 1, kRepeats = 2, kTwin = 4;

// A row's place, kept small (28 bytes): the first pass keeps one for each
// row that can pair, and the second looks its row's up.
struct Place {
    std::array<char, RecordLayout::kIdSize> ident;  // padded with zeros
    Kind kind;
    std::uint8_t set : 3;  // a PlaceSet
    std::uint8_t marks : 5;
    float lat, lon, frequency;
    std::uint32_t line;
};

class Pairing {
public:
    void Add(const Place& place) { places_.push_back(place); }
    // After the first pass: pairs the places and puts them in line order.
    void Pair();
    // The place of a row by its line; null for a row without one. Quickest
    // when asked in line order.
    const Place* Find(std::size_t line);
    std::size_t Size() const { return places_.size(); }

private:
    using Iter = std::deque<Place>::iterator;
    // The places of `set` and `ident` in `group` that searches look at.
    std::pair<Iter, Iter> Group(PlaceSet set, const Place& of, std::uint8_t group);
    template <typename Holds>
    std::size_t Gallop(std::size_t from, Holds holds) const;
    template <typename Accept>
    Place* Nearest(PlaceSet set, std::uint8_t group, const Place& from, double nm, bool any,
                   Accept accept);
    Place* Unpaired(PlaceSet set, std::uint8_t group, const Place& from, Place* found);
    void SortForSearch();
    void PairPlace(Place& place);
    void FindRepeat(Place& place);

    // A deque grows without moving what it holds: its peak is its size.
    std::deque<Place> places_;
    // Where the last group of each set was sought; then the last line.
    std::array<std::size_t, 5> cursors_{};
};

}  // namespace navaid
