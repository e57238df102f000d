// The map's symbol of each type: the id of its drawing in the map's <defs>.
#pragma once

#include "records.h"

namespace navaid {

// The drawings, as the <defs> of an SVG map, each with its symbol as id.
extern const char* const kMapSymbolDefs;

// Null for a type the map has no symbol for.
const char* MapSymbol(const TypeBlock& type);
// The symbol of a family's type code; "undef" for a code of no type.
const char* MapSymbolOf(Family family, std::uint8_t code);

}  // namespace navaid
