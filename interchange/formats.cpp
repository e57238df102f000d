// The table of formats, and the parts their readers and writers share.
#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "code_page.h"
#include "format_parts.h"
#include "text.h"

namespace navaid {

bool Keeps(const ImportFilter& filter, double lat, double lon, std::string_view id) {
    return Inside(filter.near, lat, lon) || (filter.alsoOutside && filter.alsoOutside(id));
}

namespace {

// Sniffed in this order; the project's CSV, which has no sniff, last.
const Format* const kFormats[] = {&kNavDatFormat, &kOurAirportsFormat, &kGeoJsonFormat,
                                  &kKmlFormat,    &kArinc424Format,    &kProjectCsvFormat};

}  // namespace

std::span<const Format* const> Formats() { return kFormats; }

const Format* FormatOfHead(const std::vector<std::string>& head) {
    for (const Format* format : kFormats)
        if (format->read && format->sniff && format->sniff(head)) return format;
    return nullptr;
}

std::string ReadFormatNames() {
    std::string names;
    for (const Format* format : kFormats)
        if (format->read) names += (names.empty() ? "" : ", ") + std::string(format->name);
    return names;
}

Outcome UnknownFormat(const std::string& path, const std::vector<std::string>& head) {
    std::string first;
    for (const std::string& line : head)
        if (first.empty()) first = TrimWhiteSpace(line);
    if (first.size() > 60) first = first.substr(0, 57) + "...";
    return Outcome::Failure(path, "not a navaid file this tool reads (looked for " +
                                      ReadFormatNames() + "); its first line holds '" +
                                      EscapeBytes(first) + "'");
}

const Format* FormatOfName(std::string_view path) {
    const std::string lower = LowerCase(path);
    for (const Format* format : kFormats)
        if (format->record && !format->suffix.empty() && lower.ends_with(format->suffix))
            return format;
    return nullptr;
}

std::string WrittenSuffixes() {
    std::vector<const Format*> written;
    for (const Format* format : kFormats)
        if (format->record) written.push_back(format);
    std::string text;
    for (std::size_t i = 0; i < written.size(); ++i) {
        text += i == 0 ? "" : i + 1 == written.size() ? " or " : ", ";
        text += std::string(written[i]->suffix) + " (" + std::string(written[i]->name) + ")";
    }
    return text;
}

void PassOver(const ReadError& error, ImportTally& tally) {
    if (++tally.invalid <= 5)
        tally.invalidShown.push_back("line " + std::to_string(error.line) + ": " + error.what);
}

std::string StoredText(std::string_view text, ImportTally& tally) {
    std::string stored = Utf8ToCp1252(text);
    const auto marks = [](std::string_view t) { return std::count(t.begin(), t.end(), '?'); };
    if (stored != text) tally.replaced += marks(stored) - marks(text);
    // Hand-edited files put tabs between a name's words.
    std::replace(stored.begin(), stored.end(), '\t', ' ');
    return stored;
}

bool ShortensName(std::string_view name) {
    return UpperCase(TrimWhiteSpace(name)).size() > RecordLayout::kNameSize;
}

bool ParseNavDatNumber(std::string_view text, double& value) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() ||
        !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '.')) {
        return false;
    }
    auto [ptr, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    return ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(value);
}

double VariationInRange(double degrees) {
    if (!std::isfinite(degrees) || std::fabs(degrees) <= 180) return degrees;
    double inRange = std::fmod(degrees, 360.0);
    if (inRange > 180) inRange -= 360;
    if (inRange < -180) inRange += 360;
    return inRange + 0.0;  // -360 is 0, not -0
}

std::string ShortestDecimal(float value, bool (*readBack)(std::string_view text, float& value)) {
    char shortest[64], full[64];
    auto [end, ec] = std::to_chars(shortest, shortest + sizeof shortest, value);
    if (readBack == nullptr) return std::string(shortest, end);
    std::snprintf(full, sizeof full, "%.17g", static_cast<double>(value));
    for (const std::string& candidate : {std::string(shortest, end), std::string(full)}) {
        float back = 0;
        if (readBack(candidate, back) &&
            std::bit_cast<std::uint32_t>(back) == std::bit_cast<std::uint32_t>(value)) {
            return candidate;
        }
    }
    return {};
}

std::string FixedDecimal(float value, double scale, int minDecimals,
                         float (*readBack)(std::string_view, double)) {
    if (!std::isfinite(value)) return {};
    const double scaled = static_cast<double>(value) * scale;
    char text[128];
    for (int decimals = 0; decimals <= 60; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, scaled);
        if (std::bit_cast<std::uint32_t>(readBack(text, scale)) ==
            std::bit_cast<std::uint32_t>(value)) {
            // Zeros to the usual width: the value stays, the columns line up.
            std::string exact = text;
            if (decimals < minDecimals) {
                if (decimals == 0) exact += '.';
                exact.append(minDecimals - decimals, '0');
            }
            return exact;
        }
    }
    return {};
}

Outcome NoSettings(ExportSettings& settings) {
    if (settings.version || settings.region)
        return Outcome::Refused(settings.version ? "version" : "region", "is for a .dat file");
    return Outcome::Success();
}

Outcome RefuseRecord(const ExportRecord& record, const std::string& why, std::string_view then) {
    return Outcome::Failure("", "record " + std::to_string(record.index) + " (" +
                                    EscapeBytes(TrimWhiteSpace(record.fields.id)) + "): " + why +
                                    "; " + std::string(then));
}

std::string ControlByteFault(const DecodedRecord& record) {
    const auto control = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    };
    for (const auto& [text, what] :
         {std::pair{&record.id, "ID"}, std::pair{&record.name, "name"}}) {
        const std::string_view trimmed = TrimWhiteSpace(*text);
        if (std::any_of(trimmed.begin(), trimmed.end(), control))
            return std::string("its ") + what + " " + Quoted(EscapeBytes(trimmed)) +
                   " holds a control byte";
    }
    return {};
}

}  // namespace navaid
