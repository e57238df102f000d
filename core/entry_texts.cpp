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
std::optional<FieldError> ConvertText(const char* field, const char* what, std::string_view text,
                                      std::size_t limit, std::string& stored) {
    if (auto refused = GivenToCp1252(text, stored)) return FieldError{field, *refused};
    const std::size_t size = TrimWhiteSpace(stored).size();
    if (size <= limit) return std::nullopt;
    return FieldError{field, std::string(what) + " '" + std::string(TrimWhiteSpace(text)) +
                                 "' has " + std::to_string(size) + " bytes; at most " +
                                 std::to_string(limit) + " fit"};
}

std::optional<FieldError> ConvertReal(const char* field, const std::string& text, float& value) {
    if (!ParseStrictReal(text, value)) {
        return FieldError{field, "'" + text + "' is not a number"};
    }
    // The dialog would store infinity; a script almost certainly mistyped.
    if (std::isinf(value)) {
        return FieldError{field, "'" + text + "' is beyond the range of a stored number"};
    }
    return std::nullopt;
}

std::optional<FieldError> ConvertAltitude(Family family, const std::string& text,
                                          std::int32_t& altitude) {
    if (family == Family::Ndb) {
        return FieldError{"alt", "an NDB record has no altitude"};
    }
    if (!ParseStrictInteger(text, altitude)) {
        return FieldError{"alt", Quoted(text) + " is not a whole number"};
    }
    // The dialog wraps long digit strings around; a script means the number it wrote.
    std::string_view digits = TrimWhiteSpace(text);
    if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
    long long wide = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), wide);
    if (error != std::errc() || wide != altitude) {
        return FieldError{"alt", Quoted(text) + " is beyond the range of a stored altitude"};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FieldError> BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry) {
    NavaidEntry result;
    if (auto error = ConvertText("id", "ID", texts.id, RecordLayout::kIdSize, result.id))
        return error;
    if (auto error = ConvertText("name", "name", texts.name, RecordLayout::kNameSize, result.name))
        return error;
    if (auto error = ConvertReal("lat", texts.lat, result.latitude)) return error;
    if (auto error = ConvertReal("lon", texts.lon, result.longitude)) return error;
    if (auto error = ConvertReal("freq", texts.freq, result.frequency)) return error;
    if (auto error = ConvertReal("magvar", texts.magvar, result.magVar)) return error;
    if (texts.alt) {
        if (auto error = ConvertAltitude(family, *texts.alt, result.altitude)) return error;
    }
    if (auto message = CheckTypeName(family, texts.type)) {
        return FieldError{"type", *message};
    }
    result.typeName = texts.type;
    if (auto error = CheckEntryValues(result)) return error;
    entry = std::move(result);
    return std::nullopt;
}

std::optional<FieldError> CheckEntryValues(const NavaidEntry& entry) {
    auto control = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    };
    const std::string_view id = TrimWhiteSpace(entry.id);
    if (id.empty()) return FieldError{"id", "the ID is empty"};
    if (std::any_of(id.begin(), id.end(), control))
        return FieldError{"id", "ID " + Quoted(EscapeBytes(id)) + " holds a control byte"};
    if (id.find(' ') != std::string_view::npos)
        return FieldError{"id", "ID " + Quoted(id) + " holds white space"};
    const std::string_view name = TrimWhiteSpace(entry.name);
    if (std::any_of(name.begin(), name.end(), control))
        return FieldError{"name", "name " + Quoted(EscapeBytes(name)) + " holds a control byte"};
    if (!(std::fabs(entry.latitude) <= 90))
        return FieldError{"lat",
                          "latitude " + FormatListReal(entry.latitude) + " is outside -90..90"};
    if (!(std::fabs(entry.longitude) <= 180))
        return FieldError{"lon",
                          "longitude " + FormatListReal(entry.longitude) + " is outside -180..180"};
    return std::nullopt;
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

std::optional<std::string> CheckTypeName(Family family, std::string_view text) {
    std::string name = UpperCase(TrimWhiteSpace(text));
    const TypeBlock* found = name.empty() ? nullptr : FindTypeBlock(name);
    std::string familyTypes =
        std::string(FamilyName(family)) + " types are " + FamilyTypeNames(family);
    if (name.empty()) return "no type given; " + familyTypes;
    if (!found) return Quoted(text) + " is not a type; " + familyTypes;
    if (found->family != family) {
        return Quoted(name) + " is " + WithArticle(FamilyName(found->family)) + " type, not " +
               WithArticle(FamilyName(family)) + " type; " + familyTypes;
    }
    return std::nullopt;
}

}  // namespace navaid
