// The map's symbol of each type: the id of its drawing in the map's <defs>.
#pragma once

#include "records.h"

namespace navaid {

// Null for a type the map has no symbol for.
const char* MapSymbol(const TypeBlock& type);

}  // namespace navaid
