// The type names an entry dialog's Type list offers.
#pragma once

#include <vector>

#include "records.h"

// The family's type names in the order they are put into the list; the
// sorted list box shows them alphabetically.
const std::vector<const char*>& EntryTypeNames(navaid::Family family);
