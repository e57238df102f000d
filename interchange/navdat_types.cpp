#include "navdat_types.h"

namespace navaid {

const NavDatType* FindNavDatType(std::string_view type) {
    for (const NavDatType& row : kNavDatTypes)
        if (row.type == type) return &row;
    return nullptr;
}

const NavDatType* NavDatTypeOfWord(std::string_view upperWord) {
    for (const NavDatType& row : kNavDatTypes)
        for (std::string_view word : row.words)
            if (!word.empty() && word == upperWord) return &row;
    return nullptr;
}

bool IsNavDatTypeWord(std::string_view upperWord) {
    return upperWord == "DME-ILS" || NavDatTypeOfWord(upperWord) != nullptr;
}

}  // namespace navaid
