// GeoJSON (RFC 7946) of a database: one Point feature per navaid.
#include <cmath>
#include <cstdio>

#include "code_page.h"
#include "format_parts.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

// JSON forbids raw control characters; Cp1252ToUtf8 has made them U+FFFD.
std::string JsonString(std::string_view cp1252) {
    std::string out = "\"";
    for (char c : Cp1252ToUtf8(cp1252)) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + '"';
}

// The shortest decimal that reads back as the stored value; JSON has no
// infinity or NaN, so those are null.
std::string JsonNumber(float value) {
    if (!std::isfinite(value)) return "null";
    return ShortestDecimal(value, nullptr);
}

Outcome AppendFeature(Family family, const ExportRecord& record, std::uint64_t written,
                      std::string& json) {
    const bool vor = family == Family::Vor;
    const DecodedRecord& r = record.fields;
    if (Outcome placed = LeaveOutOfRange(record); placed.HasWarning()) return placed;
    json += written == 0 ? "\n" : ",\n";
    json += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[" +
            Degrees(r.longitude) + "," + Degrees(r.latitude) + "]},\"properties\":{";
    json += "\"index\":" + std::to_string(record.index);
    json += ",\"ident\":" + JsonString(TrimWhiteSpace(r.id));
    json += ",\"name\":" + JsonString(TrimWhiteSpace(r.name));
    json += ",\"type\":" + JsonString(r.type);
    json +=
        std::string(vor ? ",\"frequency_mhz\":" : ",\"frequency_khz\":") + JsonNumber(r.frequency);
    json += ",\"magvar\":" + JsonNumber(r.magVar);
    if (vor) json += ",\"altitude_ft\":" + std::to_string(r.altitude);
    json += "}}";
    return Outcome::Success();
}

}  // namespace

std::string Degrees(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
    return text;
}

Outcome LeaveOutOfRange(const ExportRecord& record) {
    const DecodedRecord& r = record.fields;
    if (PositionInRange(r.latitude, r.longitude)) return Outcome::Success();
    return Outcome::Warning("", "left out record " + std::to_string(record.index) + " (" +
                                    EscapeBytes(TrimWhiteSpace(r.id)) + "): position " +
                                    FormatListReal(r.latitude) + "," + FormatListReal(r.longitude) +
                                    " is out of range");
}

const Format kGeoJsonFormat{
    "GeoJSON",
    ".geojson",
    nullptr,
    nullptr,
    NoSettings,
    [](Family, const ExportSettings&) -> std::string {
        return "{\"type\":\"FeatureCollection\",\"features\":[";
    },
    [](Family family, const ExportRecord& record, const ExportSettings&, std::uint64_t written,
       std::string& text) { return AppendFeature(family, record, written, text); },
    "\n]}\n"};

}  // namespace navaid
