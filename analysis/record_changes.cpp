#include "record_changes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "code_page.h"
#include "geo.h"
#include "text.h"

namespace navaid {

namespace {

// The shortest decimal that reads back as the stored float.
std::string Exact(float value) {
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end);
}

std::string Shown(std::string_view bytes) { return Quoted(EscapeBytes(TrimWhiteSpace(bytes))); }

bool Same(const std::uint8_t* a, const std::uint8_t* b, std::size_t offset, std::size_t size) {
    return std::memcmp(a + offset, b + offset, size) == 0;
}

}  // namespace

const std::vector<RecordField>& AllFields() {
    static const std::vector<RecordField> all = {
        RecordField::Id,     RecordField::Name, RecordField::Position, RecordField::Freq,
        RecordField::MagVar, RecordField::Alt,  RecordField::Type};
    return all;
}

std::string FieldValue(Family family, const DecodedRecord& record, RecordField field) {
    switch (field) {
        case RecordField::Id:
            return std::string(TrimWhiteSpace(record.id));
        case RecordField::Name:
            return std::string(TrimWhiteSpace(record.name));
        case RecordField::Position:
            return Exact(record.latitude) + "," + Exact(record.longitude);
        case RecordField::Freq:
            return Exact(record.frequency);
        case RecordField::MagVar:
            return Exact(record.magVar);
        case RecordField::Alt:
            return family == Family::Vor ? std::to_string(record.altitude) : std::string();
        case RecordField::Type:
            break;
    }
    return record.type;
}

const char* FieldName(RecordField field) {
    constexpr const char* kNames[] = {"position", "freq", "magvar", "alt", "type", "name", "id"};
    return kNames[static_cast<int>(field)];
}

std::vector<FieldChange> ChangedFields(Family family, const std::uint8_t* before,
                                       const std::uint8_t* after,
                                       const std::vector<RecordField>& fields) {
    const DecodedRecord a = DecodeRecord(family, before), b = DecodeRecord(family, after);
    std::vector<FieldChange> changes;
    auto text = [](const char* name, const std::string& from, const std::string& to) {
        return std::string(name) + " " + from + " -> " + to;
    };
    for (RecordField field : AllFields()) {
        if (std::find(fields.begin(), fields.end(), field) == fields.end()) continue;
        switch (field) {
            case RecordField::Id:
                if (!Same(before, after, RecordLayout::kId, RecordLayout::kIdSize))
                    changes.push_back({field, text("id", Shown(a.id), Shown(b.id))});
                break;
            case RecordField::Name:
                if (!Same(before, after, RecordLayout::kName, RecordLayout::kNameSize))
                    changes.push_back({field, text("name", Shown(a.name), Shown(b.name))});
                break;
            case RecordField::Position:
                if (!Same(before, after, RecordLayout::kLatitude, 8)) {
                    std::string moved;
                    if (!Same(before, after, RecordLayout::kLatitude, 4))
                        moved = text("lat", Exact(a.latitude), Exact(b.latitude));
                    if (!Same(before, after, RecordLayout::kLongitude, 4))
                        moved += (moved.empty() ? "" : ", ") +
                                 text("lon", Exact(a.longitude), Exact(b.longitude));
                    char nm[32] = "";
                    if (PositionInRange(a.latitude, a.longitude) &&
                        PositionInRange(b.latitude, b.longitude))
                        std::snprintf(nm, sizeof nm, " (%.1f NM)",
                                      DistanceNm(a.latitude, a.longitude, b.latitude, b.longitude));
                    changes.push_back({field, moved + nm});
                }
                break;
            case RecordField::Freq:
                if (!Same(before, after, RecordLayout::kFrequency, 4))
                    changes.push_back(
                        {field, text("freq", Exact(a.frequency), Exact(b.frequency))});
                break;
            case RecordField::MagVar:
                if (!Same(before, after, RecordLayout::kMagVar, 4))
                    changes.push_back({field, text("magvar", Exact(a.magVar), Exact(b.magVar))});
                break;
            case RecordField::Alt:
                if (family == Family::Vor && !Same(before, after, RecordLayout::kAltitude, 4))
                    changes.push_back({field, text("alt", std::to_string(a.altitude),
                                                   std::to_string(b.altitude))});
                break;
            case RecordField::Type:
                if (!Same(before, after, RecordLayout::kTypeBlock,
                          RecordSize(family) - RecordLayout::kTypeBlock))
                    changes.push_back({field, text("type", a.type, b.type)});
                break;
        }
    }
    return changes;
}

std::string ChangesText(const std::vector<FieldChange>& changes) {
    std::string text;
    for (const FieldChange& change : changes) text += (text.empty() ? "" : ", ") + change.text;
    return text;
}

}  // namespace navaid
