#include "change_report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>

#include "code_page.h"
#include "geo.h"
#include "nearest.h"
#include "record_changes.h"
#include "update.h"

namespace navaid {

namespace {

constexpr const char* kColumns[] = {"change", "index", "id",  "name",       "type",
                                    "field",  "old",   "new", "distance_nm"};

std::string Number(double value) {
    if (!std::isfinite(value)) return {};
    char text[32];
    auto [end, ec] = std::to_chars(text, text + sizeof text, static_cast<float>(value));
    return std::string(text, end);
}

// A cell as RFC 4180 quotes it. A text that a spreadsheet would run as a
// formula (= + - @ first) is written with a ' before it, shown as text.
std::string CsvCell(std::string_view stored, bool text) {
    std::string cell = Cp1252ToUtf8Whole(stored);
    if (text && !cell.empty() && std::string_view("=+-@").find(cell[0]) != std::string::npos)
        cell.insert(0, 1, '\'');
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + '"';
}

// A JSON string of stored bytes: each a Windows-1252 character, so the text is
// UTF-8 whatever they are; control bytes and those without a character escaped.
std::string JsonString(std::string_view stored) {
    std::string out = "\"";
    for (unsigned char c : stored) {
        const std::string utf8 =
            Cp1252ToUtf8Whole(std::string_view(reinterpret_cast<char*>(&c), 1));
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0 && utf8[0] == '\xC2')) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += utf8;
        }
    }
    return out + '"';
}

}  // namespace

std::optional<ReportFormat> ReportFormatOf(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::string suffix = dot == std::string::npos ? "" : LowerCase(path.substr(dot));
    if (suffix == ".csv") return ReportFormat::Csv;
    if (suffix == ".json") return ReportFormat::Json;
    return std::nullopt;
}

void ChangeReport::Add(const ReportEvent& event) {
    const char change = event.kind == ReportEvent::Kind::Changed   ? '~'
                        : event.kind == ReportEvent::Kind::Removed ? '-'
                                                                   : '+';
    if (event.piece) {
        const std::string bytes = std::to_string(event.record.size());
        rows_.push_back({change, event.index, "", "", "", "piece", change == '-' ? bytes : "",
                         change == '+' ? bytes : ""});
        return;
    }
    const DecodedRecord r = DecodeRecord(family_, event.record.data());
    Row row{change, event.index, FieldValue(family_, r, RecordField::Id),
            FieldValue(family_, r, RecordField::Name), r.type};
    if (event.kind != ReportEvent::Kind::Changed) {
        row.nm = event.nearestNm;
        row.lat = r.latitude;
        row.lon = r.longitude;
        rows_.push_back(std::move(row));
        return;
    }
    const bool after = !event.after.empty();
    const DecodedRecord a = after ? DecodeRecord(family_, event.after.data()) : r;
    for (const FieldChange& changed : event.changes) {
        rows_.push_back(row);
        Row& added = rows_.back();
        added.field = FieldName(changed.field);
        added.before = FieldValue(family_, r, changed.field);
        if (after) added.after = FieldValue(family_, a, changed.field);
        if (after && changed.field == RecordField::Position &&
            PositionInRange(r.latitude, r.longitude) && PositionInRange(a.latitude, a.longitude))
            added.nm = DistanceNm(r.latitude, r.longitude, a.latitude, a.longitude);
    }
}

Outcome ChangeReport::FindNearest(const RecordSource& before, const RecordSource& after) {
    if (Outcome found = Nearest(after, '-'); !found) return found;
    return Nearest(before, '+');
}

// Counterparts are found by the key update and the unordered diff pair by:
// the ID trimmed and upper-cased.
Outcome ChangeReport::Nearest(const RecordSource& other, char change) {
    auto wanted = [&](const Row& row) {
        return row.change == change && row.field.empty() && !row.nm;
    };
    std::vector<PlaceKey> keys;
    for (const Row& row : rows_)
        if (wanted(row)) keys.push_back(KeyOf(row.id));
    if (keys.empty()) return Outcome::Success();
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    NearestPlaces places;
    const Outcome read = other([&](std::uint64_t, const std::uint8_t* record) {
        const DecodedRecord r = DecodeRecord(family_, record);
        const PlaceKey key = KeyOf(r.id);
        if (std::binary_search(keys.begin(), keys.end(), key))
            places.Add(key, r.latitude, r.longitude);
    });
    if (!read) return read;
    places.Seal();
    for (Row& row : rows_)
        if (wanted(row)) row.nm = places.Nearest(KeyOf(row.id), row.lat, row.lon);
    return Outcome::Success();
}

void ChangeReport::Write(ReportFormat format, const ReportSummary& summary,
                         const std::function<void(std::string_view)>& write) const {
    const bool json = format == ReportFormat::Json;
    std::string text;
    if (json) {
        text = "{\"summary\": {";
        for (std::size_t i = 0; i < summary.size(); ++i)
            text += (i ? ", " : "") + JsonString(summary[i].first) + ": " +
                    std::to_string(summary[i].second);
        text += "},\n\"changes\": [";
    } else {
        for (const char* column : kColumns) text += std::string(text.empty() ? "" : ",") + column;
        text += '\n';
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (json) text += i ? ",\n" : "\n";
        AppendRow(rows_[i], json, text);
        if (text.size() < 65536) continue;
        write(text);
        text.clear();
    }
    if (json) text += rows_.empty() ? "]}\n" : "\n]}\n";
    write(text);
}

void ChangeReport::AppendRow(const Row& row, bool json, std::string& text) {
    // The values of an ID or name field are texts, as the ID and name are.
    const bool named = row.field == "id" || row.field == "name";
    const std::string cells[] = {std::string(1, row.change),
                                 row.index ? std::to_string(*row.index) : "",
                                 row.id,
                                 row.name,
                                 row.type,
                                 row.field,
                                 row.before,
                                 row.after,
                                 row.nm ? Number(*row.nm) : ""};
    for (std::size_t c = 0; c < std::size(cells); ++c) {
        if (!json) {
            if (c) text += ',';
            text += CsvCell(cells[c], c == 2 || c == 3 || (named && c >= 6));
            continue;
        }
        const bool number = c == 1 || c == 8;
        text += std::string(c ? ", \"" : "{\"") + kColumns[c] + "\": " +
                (!number            ? JsonString(cells[c])
                 : cells[c].empty() ? "null"
                                    : cells[c]);
    }
    text += json ? "}" : "\n";
}

}  // namespace navaid
