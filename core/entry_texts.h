// A navaid given as texts (options or a CSV row), checked strictly and
// converted as the entry dialog converts them; the families' type names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "outcome.h"
#include "records.h"

namespace navaid {

struct EntryTexts {
    std::string id, name, lat, lon, freq, magvar;
    std::optional<std::string> alt;
    std::string type;
};
// A refusal names its field: "id", "name", "lat", "lon", "freq", "magvar", "alt", "type".
Outcome BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry);

// What `check` would call an error, or an export could not write, in a navaid
// about to be stored: a position out of range, an empty ID or name, white
// space or a control byte inside the ID, a control byte in the name. Every
// way into a database through the tool passes here.
Outcome CheckEntryValues(const NavaidEntry& entry);

// The family's type names as a readable list ("DME, TACAN, VOR, VOR-DME, VORTAC").
std::string FamilyTypeNames(Family family);
// Whether a type argument (trimmed and upper-cased) names one of the
// family's types; a refusal says what is wrong.
Outcome CheckTypeName(Family family, std::string_view text);

}  // namespace navaid
