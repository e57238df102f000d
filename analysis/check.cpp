// The findings of 'navaid check'.
#include "check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "code_page.h"
#include "geo.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

constexpr double kDuplicateNm = 10.0;

std::string Percent(std::uint64_t part, std::uint64_t whole) {
    return std::to_string(whole ? (part * 100 + whole / 2) / whole : 0) + "%";
}

// The type code, then the ID as the duplicate search compares it.
std::array<char, 11> KeyOf(const std::uint8_t* record) {
    std::array<char, 11> key{};
    key[0] = static_cast<char>(record[RecordLayout::kTypeBlock]);
    const std::string id = UpperCase(TrimWhiteSpace(std::string_view(
        reinterpret_cast<const char*>(record + RecordLayout::kId), RecordLayout::kIdSize)));
    std::copy(id.begin(), id.begin() + std::min(id.size(), key.size() - 1), key.begin() + 1);
    return key;
}

}  // namespace

DatabaseChecker::DatabaseChecker(Family family)
    : family_(family),
      own_{RecordSize(family), {}},
      other_{RecordSize(OtherFamily(family)), {}},
      again_{RecordSize(family), {}} {}

void DatabaseChecker::Feed(const std::uint8_t* data, std::size_t size) {
    length_ += size;
    FeedStride(own_, data, size, &DatabaseChecker::KeepPosition);
    FeedStride(other_, data, size, &DatabaseChecker::CountOther);
}

void DatabaseChecker::Reread(const std::uint8_t* data, std::size_t size,
                             const FindingSink& report) {
    report_ = &report;
    lengthAgain_ += size;
    FeedStride(again_, data, size, &DatabaseChecker::CheckRecord);
    report_ = nullptr;
}

void DatabaseChecker::FeedStride(Stride& stride, const std::uint8_t* data, std::size_t size,
                                 Visit visit) {
    while (size > 0) {
        const std::uint8_t* record = nullptr;
        if (stride.pending.empty() && size >= stride.size) {
            record = data;
            data += stride.size;
            size -= stride.size;
        } else {
            std::size_t take = std::min(size, stride.size - stride.pending.size());
            stride.pending.insert(stride.pending.end(), data, data + take);
            data += take;
            size -= take;
            if (stride.pending.size() < stride.size) return;
            record = stride.pending.data();
        }
        (this->*visit)(record);
        ++stride.records;
        stride.pending.clear();
    }
}

void DatabaseChecker::CountOther(const std::uint8_t* record) {
    if (IsValidTypeBlock(OtherFamily(family_), record + RecordLayout::kTypeBlock))
        ++other_.validTypes;
}

void DatabaseChecker::KeepPosition(const std::uint8_t* record) {
    if (IsValidTypeBlock(family_, record + RecordLayout::kTypeBlock)) ++own_.validTypes;
    const float lat = ReadFloatLE(record + RecordLayout::kLatitude);
    const float lon = ReadFloatLE(record + RecordLayout::kLongitude);
    if (!PositionInRange(lat, lon)) return;
    const std::uint64_t index = own_.records;
    positions_.push_back({KeyOf(record), static_cast<std::uint8_t>(index >> 32), lat, lon,
                          ReadFloatLE(record + RecordLayout::kFrequency),
                          static_cast<std::uint32_t>(index)});
}

void DatabaseChecker::Add(std::uint64_t index, bool warning, std::string text) {
    (*report_)(Finding{static_cast<long long>(index), warning, std::move(text)});
}

void DatabaseChecker::CheckText(std::uint64_t index, const char* what, const std::uint8_t* bytes,
                                std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    auto shown = [&] { return std::string(what) + " " + Quoted(EscapeBytes(text)); };
    if (TrimWhiteSpace(text).empty()) Add(index, false, std::string(what) + " is empty");
    if (text.find('\0') != std::string::npos) Add(index, false, shown() + " has a zero byte");
    if (std::any_of(text.begin(), text.end(), [](char c) {
            auto b = static_cast<unsigned char>(c);
            return (b != 0 && b < 0x20) || b == 0x7F;
        })) {
        Add(index, false, shown() + " has control bytes");
    }
    if (UpperCase(text) != text) Add(index, true, shown() + " has lower-case letters");
}

void DatabaseChecker::CheckRecord(const std::uint8_t* record) {
    const std::uint64_t index = again_.records;
    const DecodedRecord r = DecodeRecord(family_, record);
    CheckText(index, "ID", record + RecordLayout::kId, RecordLayout::kIdSize);
    CheckText(index, "name", record + RecordLayout::kName, RecordLayout::kNameSize);
    CheckTypeAndAltitude(index, record, r);
    CheckNumbers(index, r);
    // A record of undefined type is judged by the band of the type named as its family.
    const TypeBlock* type = FindType(family_, r.typeCode);
    if (type == nullptr) type = FindTypeBlock(FamilyName(family_));
    if (std::isfinite(r.frequency) &&
        (r.frequency < type->bandLow || r.frequency > type->bandHigh)) {
        Add(index, true, "frequency " + FormatListReal(r.frequency) + " is outside " + type->band);
    }
    for (; !duplicates_.empty() && duplicates_.front().Index() == index; duplicates_.pop_front())
        ReportDuplicate(duplicates_.front(), record, r);
}

void DatabaseChecker::ReportDuplicate(const Duplicate& found, const std::uint8_t* record,
                                      const DecodedRecord& r) {
    const std::array<char, 11> key = KeyOf(record);
    const std::string id =
        Quoted(EscapeBytes(std::string(key.data() + 1, strnlen(key.data() + 1, key.size() - 1))));
    const std::string nm =
        std::to_string(found.tenths / 10) + "." + std::to_string(found.tenths % 10) + " NM";
    if (found.repeats) {
        Add(found.Index(), true,
            "DME repeats the DME of record " + std::to_string(found.Earlier()) + " " + id + " (" +
                nm + " away, same frequency)");
        return;
    }
    Add(found.Index(), true,
        "likely duplicate of record " + std::to_string(found.Earlier()) + " (same type " +
            TypeText(family_, r.typeCode) + " and ID " + id + ", " + nm + " apart)");
}

void DatabaseChecker::CheckTypeAndAltitude(std::uint64_t index, const std::uint8_t* record,
                                           const DecodedRecord& r) {
    if (std::string_view(r.type) == kTypeUndefined) {
        std::string code = std::to_string(r.typeCode);
        if (r.typeCode > 0x20 && r.typeCode < 0x7F)
            code += " ('" + std::string(1, char(r.typeCode)) + "')";
        Add(index, false, "type code " + code + " reads \"" + kTypeUndefined + "\"");
    }
    if (family_ == Family::Ndb && ReadInt32LE(record + RecordLayout::kAltitude) != 0) {
        Add(index, false,
            "NDB record has non-zero altitude bytes (" + FormatListInteger(r.altitude) + ")");
    }
}

void DatabaseChecker::CheckNumbers(std::uint64_t index, const DecodedRecord& r) {
    struct Field {
        const char* name;
        float value;
        float limit;
    };
    for (const Field& field :
         {Field{"latitude", r.latitude, 90.0f}, Field{"longitude", r.longitude, 180.0f},
          Field{"frequency", r.frequency, 0.0f}, Field{"magnetic variation", r.magVar, 0.0f}}) {
        if (!std::isfinite(field.value)) {
            Add(index, false,
                std::string(field.name) + " " + FormatListReal(field.value) +
                    " is not a finite number");
        } else if (field.limit != 0.0f && std::fabs(field.value) > field.limit) {
            Add(index, false,
                std::string(field.name) + " " + FormatListReal(field.value) + " is outside -" +
                    FormatListReal(field.limit) + ".." + FormatListReal(field.limit));
        }
    }
    // Stored beyond -180..180, a variation is likely a bearing that was never wrapped.
    if (std::isfinite(r.magVar) && std::fabs(r.magVar) > 180)
        Add(index, true,
            "magnetic variation " + FormatListReal(r.magVar) + " is outside -180..180");
}

void DatabaseChecker::KeepDuplicate(std::uint64_t index, std::uint64_t earlier, double nm,
                                    bool repeats) {
    // The tenths as printf rounds them, so the text is the one printed at once.
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", nm);
    unsigned tenths = 0;
    for (const char* c = text; *c != '\0'; ++c)
        if (*c != '.') tenths = tenths * 10 + (*c - '0');
    duplicates_.push_back({static_cast<std::uint32_t>(index), static_cast<std::uint32_t>(earlier),
                           static_cast<std::uint8_t>(index >> 32),
                           static_cast<std::uint8_t>(earlier >> 32),
                           static_cast<std::uint8_t>(tenths), repeats});
}

void DatabaseChecker::FindDuplicates() {
    std::sort(positions_.begin(), positions_.end(), [](const Position& a, const Position& b) {
        if (a.key != b.key) return a.key < b.key;
        if (a.lat != b.lat) return a.lat < b.lat;
        if (a.lon != b.lon) return a.lon < b.lon;
        return a.Index() < b.Index();
    });
    if (family_ == Family::Vor) FindRepeatedDmes();
    // One key at a time, taken off the front, so that what the search finds
    // reuses the memory the positions held.
    std::deque<Position> points;  // the first record at each point of the key
    while (!positions_.empty()) {
        const Key key = positions_.front().key;
        points.clear();
        for (; !positions_.empty() && positions_.front().key == key; positions_.pop_front()) {
            const Position& p = positions_.front();
            // DistanceNm is 0 only between equal coordinates: the first record
            // at a point is the nearest earlier one of every later record there.
            if (!points.empty() && points.back().lat == p.lat && points.back().lon == p.lon) {
                KeepDuplicate(p.Index(), points.back().Index(), 0);
            } else {
                points.push_back(p);
            }
        }
        FindNearestEarlier(points);
    }
    std::sort(duplicates_.begin(), duplicates_.end(), [](const Duplicate& a, const Duplicate& b) {
        return std::pair(a.Index(), a.repeats) < std::pair(b.Index(), b.repeats);
    });
}

// The station a DME record repeats the DME of: a VOR-DME, VORTAC or TACAN of
// its ID within a mile on the same frequency, the nearest (of equals, the
// first); null when none. A point's later twins are its first's duplicates.
const DatabaseChecker::Position* DatabaseChecker::StationRepeated(const Position& dme) const {
    constexpr double kSameStationNm = 1.0, kWindow = kSameStationNm / 60.0 + 1e-6;
    const Position* best = nullptr;
    double bestNm = kSameStationNm;
    for (const char* type : {"VOR-DME", "VORTAC", "TACAN"}) {
        Key key = dme.key;
        key[0] = static_cast<char>(FindTypeBlock(type)->bytes[0]);
        auto at = std::lower_bound(positions_.begin(), positions_.end(),
                                   std::pair(key, dme.lat - kWindow),
                                   [](const Position& p, const std::pair<Key, double>& k) {
                                       return std::pair<Key, double>(p.key, p.lat) < k;
                                   });
        for (const Position* last = nullptr;
             at != positions_.end() && at->key == key && at->lat <= dme.lat + kWindow;
             last = &*at++) {
            if ((last && last->lat == at->lat && last->lon == at->lon) ||
                at->frequency != dme.frequency)
                continue;
            const double nm = DistanceNm(dme.lat, dme.lon, at->lat, at->lon);
            if (nm < bestNm || (nm == bestNm && (!best || at->Index() < best->Index()))) {
                bestNm = nm;
                best = &*at;
            }
        }
    }
    return best;
}

void DatabaseChecker::FindRepeatedDmes() {
    Key dmeKey{};
    dmeKey[0] = static_cast<char>(FindTypeBlock("DME")->bytes[0]);
    auto at = std::lower_bound(positions_.begin(), positions_.end(), dmeKey,
                               [](const Position& p, const Key& k) { return p.key < k; });
    for (const Position* last = nullptr; at != positions_.end() && at->key[0] == dmeKey[0];
         last = &*at++) {
        if (last && last->key == at->key && last->lat == at->lat && last->lon == at->lon) continue;
        if (const Position* station = StationRepeated(*at))
            KeepDuplicate(at->Index(), station->Index(),
                          DistanceNm(at->lat, at->lon, station->lat, station->lon), true);
    }
}

void DatabaseChecker::FindNearestEarlier(const std::deque<Position>& points) {
    // Sorted by latitude: only neighbours within 10 NM of latitude can be that close.
    constexpr double kWindow = kDuplicateNm / 60.0 + 1e-6;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Position& p = points[i];
        std::uint64_t best = 0;
        double bestNm = kDuplicateNm;
        bool found = false;
        // Only earlier records are measured, so each pair is measured once,
        // from the point lower in the order as before: the tenths stay the same.
        auto consider = [&](const Position& q, const Position& lower, const Position& higher) {
            if (q.Index() > p.Index()) return;
            const double nm = DistanceNm(lower.lat, lower.lon, higher.lat, higher.lon);
            if (nm > bestNm || (nm == bestNm && (!found || q.Index() > best))) return;
            best = q.Index();
            bestNm = nm;
            found = true;
        };
        for (std::size_t j = i; j-- > 0 && p.lat - points[j].lat <= kWindow;)
            consider(points[j], points[j], p);
        for (std::size_t j = i + 1; j < points.size() && points[j].lat - p.lat <= kWindow; ++j)
            consider(points[j], p, points[j]);
        if (found) KeepDuplicate(p.Index(), best, bestNm);
    }
}

void DatabaseChecker::EndFirstRead(const FindingSink& report) {
    FindDuplicates();
    const Family other = OtherFamily(family_);
    const double ownFit = own_.records ? double(own_.validTypes) / own_.records : 0;
    const double otherFit = other_.records ? double(other_.validTypes) / other_.records : 0;
    if (otherFit >= 0.5 && otherFit > ownFit) {
        std::string text = "the file looks like " + WithArticle(FamilyName(other)) +
                           " database: " + Percent(other_.validTypes, other_.records) + " of its " +
                           std::to_string(other_.size) + "-byte records have " + FamilyName(other) +
                           " type blocks, " + Percent(own_.validTypes, own_.records) + " of its " +
                           std::to_string(own_.size) + "-byte records " + FamilyName(family_) +
                           " type blocks";
        if (length_ % other_.size == 0 && length_ % own_.size != 0) {
            text += "; its length " + std::to_string(length_) + " is a multiple of " +
                    std::to_string(other_.size) + ", not of " + std::to_string(own_.size);
        }
        report(Finding{-1, false, text});
    }
}

bool DatabaseChecker::EndSecondRead(const FindingSink& report) {
    if (!again_.pending.empty()) {
        report(Finding{static_cast<long long>(again_.records), false,
                       "trailing piece of " + Counted(again_.pending.size(), "byte") +
                           " at offset " + std::to_string(again_.records * again_.size) +
                           " is not a whole record"});
    }
    return lengthAgain_ == length_;
}

Outcome CheckDatabase(Family family, const DatabaseInput& database, const FindingSink& report,
                      CheckTotals& totals) {
    totals = {};
    const FindingSink counted = [&](const Finding& finding) {
        ++(finding.warning ? totals.warnings : totals.errors);
        report(finding);
    };
    DatabaseChecker checker(family);
    const std::size_t size = RecordSize(family);
    auto piece = [&] {
        return database.trailing ? std::string_view(*database.trailing) : std::string_view();
    };
    auto bytes = [](std::string_view text) {
        return reinterpret_cast<const std::uint8_t*>(text.data());
    };
    const Outcome read = database.records(
        [&](std::uint64_t, const std::uint8_t* record) { checker.Feed(record, size); });
    if (!read) return read;
    checker.Feed(bytes(piece()), piece().size());

    // The findings stream from a second read, in index order; only positions
    // and duplicates are kept between the two.
    checker.EndFirstRead(counted);
    const Outcome again = database.records(
        [&](std::uint64_t, const std::uint8_t* record) { checker.Reread(record, size, counted); });
    if (!again) return again;
    checker.Reread(bytes(piece()), piece().size(), counted);
    if (!checker.EndSecondRead(counted))
        return Outcome::Failure(database.name, "it changed while it was read");
    totals.records = checker.RecordCount();
    return Outcome::Success();
}

}  // namespace navaid
