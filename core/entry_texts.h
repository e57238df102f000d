// A navaid given as texts (options or a CSV row), checked strictly and
// converted as the entry dialog converts them; the families' type names.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "records.h"

namespace navaid {

struct EntryTexts {
    std::string id, name, lat, lon, freq, magvar;
    std::optional<std::string> alt;
    std::string type;
};
struct FieldError {
    std::string field;  // "id", "name", "lat", "lon", "freq", "magvar", "alt", "type"
    std::string message;
};
std::optional<FieldError> BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry);

// What `check` would call an error, or an export could not write, in a navaid
// about to be stored: a position out of range, an empty ID, white space or a
// control byte inside the ID, a control byte in the name. Every way into a
// database through the tool passes here.
std::optional<FieldError> CheckEntryValues(const NavaidEntry& entry);

// The family's type names as a readable list ("DME, TACAN, VOR, VOR-DME, VORTAC").
std::string FamilyTypeNames(Family family);
// A type argument (trimmed and upper-cased) that names one of the family's
// types; otherwise a message saying what is wrong.
std::optional<std::string> CheckTypeName(Family family, std::string_view text);

}  // namespace navaid
