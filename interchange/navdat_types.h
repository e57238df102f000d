// nav.dat's own facts of each type: the rows a station is written as, and the
// words at the end of a name that say which type a row is.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace navaid {

struct NavDatType {
    std::string_view type;                  // its name in the table of types (records.h)
    int row;                                // the row code of the station itself
    int dmeRow;                             // the row code of its DME, 0 for none
    std::array<std::string_view, 2> words;  // upper case; "" matches no word
};

// One row per type, in the table of types' order.
inline constexpr NavDatType kNavDatTypes[] = {
    {"VOR", 3, 0, {"VOR"}},
    {"VORTAC", 3, 12, {"VORTAC"}},
    {"TACAN", 13, 0, {"TACAN"}},
    {"VOR-DME", 3, 12, {"VOR-DME", "VOR/DME"}},
    {"DME", 13, 0, {"DME"}},
    {"NDB", 2, 0, {"NDB"}},
    {"NDB-DME", 2, 13, {"NDB-DME", "NDB/DME"}},
};

// Where the type named `type` stands in kNavDatTypes. Used at compile time,
// a name that is not there does not build.
constexpr std::size_t NavDatTypeIndex(std::string_view type) {
    for (std::size_t i = 0; i < std::size(kNavDatTypes); ++i)
        if (kNavDatTypes[i].type == type) return i;
    throw "no nav.dat row for this type";
}

// The row of the type named `type`; null when it has none.
const NavDatType* FindNavDatType(std::string_view type);

// The row one of whose words is `upperWord`; null when none is.
const NavDatType* NavDatTypeOfWord(std::string_view upperWord);

// Whether a reader takes `upperWord` at the end of a name for a type: a
// type's word, or DME-ILS.
bool IsNavDatTypeWord(std::string_view upperWord);

}  // namespace navaid
