// A navaid's texts checked and converted as the entry dialog converts them.
#include "entry_texts.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

#include "code_page.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

// The text as stored, which must fit in `limit` bytes once trimmed; a
// message shows it as it was given.
Outcome ConvertText(const char* field, const char* what, std::string_view text, std::size_t limit,
                    std::string& stored) {
    if (Outcome given = GivenToCp1252(text, stored); !given)
        return Outcome::Refused(field, given.reason);
    const std::size_t size = TrimWhiteSpace(stored).size();
    if (size <= limit) return Outcome::Success();
    return Outcome::Refused(field, std::string(what) + " '" + std::string(TrimWhiteSpace(text)) +
                                       "' has " + std::to_string(size) + " bytes; at most " +
                                       std::to_string(limit) + " fit");
}

Outcome ConvertReal(const char* field, const std::string& text, float& value) {
    if (!ParseStrictReal(text, value)) {
        return Outcome::Refused(field, "'" + text + "' is not a number");
    }
    // The dialog would store infinity; a script almost certainly mistyped.
    if (std::isinf(value)) {
        return Outcome::Refused(field, "'" + text + "' is beyond the range of a stored number");
    }
    return Outcome::Success();
}

// A variation beyond -180..180 names no direction a reader expects.
Outcome ConvertVariation(const std::string& text, float& value) {
    if (Outcome error = ConvertReal("magvar", text, value); !error) return error;
    if (!(std::fabs(value) <= 180))
        return Outcome::Refused("magvar",
                                "magnetic variation " + Quoted(text) + " is outside -180..180");
    return Outcome::Success();
}

Outcome ConvertAltitude(Family family, const std::string& text, std::int32_t& altitude) {
    if (family == Family::Ndb) {
        return Outcome::Refused("alt", "an NDB record has no altitude");
    }
    if (!ParseStrictInteger(text, altitude)) {
        return Outcome::Refused("alt", Quoted(text) + " is not a whole number");
    }
    // The dialog wraps long digit strings around; a script means the number it wrote.
    std::string_view digits = TrimWhiteSpace(text);
    if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
    long long wide = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), wide);
    if (error != std::errc() || wide != altitude) {
        return Outcome::Refused("alt", Quoted(text) + " is beyond the range of a stored altitude");
    }
    return Outcome::Success();
}

}  // namespace

Outcome BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry) {
    NavaidEntry result;
    if (Outcome error = ConvertText("id", "ID", texts.id, RecordLayout::kIdSize, result.id); !error)
        return error;
    if (Outcome error =
            ConvertText("name", "name", texts.name, RecordLayout::kNameSize, result.name);
        !error)
        return error;
    if (Outcome error = ConvertReal("lat", texts.lat, result.latitude); !error) return error;
    if (Outcome error = ConvertReal("lon", texts.lon, result.longitude); !error) return error;
    if (Outcome error = ConvertReal("freq", texts.freq, result.frequency); !error) return error;
    if (Outcome error = ConvertVariation(texts.magvar, result.magVar); !error) return error;
    if (texts.alt) {
        if (Outcome error = ConvertAltitude(family, *texts.alt, result.altitude); !error)
            return error;
    }
    if (Outcome type = CheckTypeName(family, texts.type); !type)
        return Outcome::Refused("type", type.reason);
    result.typeName = texts.type;
    if (Outcome error = CheckEntryValues(result); !error) return error;
    entry = std::move(result);
    return Outcome::Success();
}

Outcome CheckEntryValues(const NavaidEntry& entry) {
    auto control = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    };
    const std::string_view id = TrimWhiteSpace(entry.id);
    if (id.empty()) return Outcome::Refused("id", "the ID is empty");
    if (std::any_of(id.begin(), id.end(), control))
        return Outcome::Refused("id", "ID " + Quoted(EscapeBytes(id)) + " holds a control byte");
    if (id.find(' ') != std::string_view::npos)
        return Outcome::Refused("id", "ID " + Quoted(id) + " holds white space");
    const std::string_view name = TrimWhiteSpace(entry.name);
    if (name.empty()) return Outcome::Refused("name", "the name is empty");
    if (std::any_of(name.begin(), name.end(), control))
        return Outcome::Refused("name",
                                "name " + Quoted(EscapeBytes(name)) + " holds a control byte");
    if (!(std::fabs(entry.latitude) <= 90))
        return Outcome::Refused(
            "lat", "latitude " + FormatListReal(entry.latitude) + " is outside -90..90");
    if (!(std::fabs(entry.longitude) <= 180))
        return Outcome::Refused(
            "lon", "longitude " + FormatListReal(entry.longitude) + " is outside -180..180");
    return Outcome::Success();
}

std::string FamilyTypeNames(Family family) {
    std::vector<std::string> names;
    std::size_t count = 0;
    const TypeBlock* blocks = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (blocks[i].family == family) names.emplace_back(blocks[i].name);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

Outcome CheckTypeName(Family family, std::string_view text) {
    std::string name = UpperCase(TrimWhiteSpace(text));
    const TypeBlock* found = name.empty() ? nullptr : FindTypeBlock(name);
    std::string familyTypes =
        std::string(FamilyName(family)) + " types are " + FamilyTypeNames(family);
    if (name.empty()) return Outcome::Refused("type", "no type given; " + familyTypes);
    if (!found) return Outcome::Refused("type", Quoted(text) + " is not a type; " + familyTypes);
    if (found->family != family) {
        return Outcome::Refused(
            "type", Quoted(name) + " is " + WithArticle(FamilyName(found->family)) + " type, not " +
                        WithArticle(FamilyName(family)) + " type; " + familyTypes);
    }
    return Outcome::Success();
}

}  // namespace navaid
