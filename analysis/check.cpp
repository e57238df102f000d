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

}  // namespace

bool IsValidTypeBlock(Family family, const std::uint8_t* block) {
    std::size_t count = 0;
    const TypeBlock* blocks = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (blocks[i].family == family &&
            std::equal(block, block + blocks[i].size, blocks[i].bytes.begin()))
            return true;
    }
    return false;
}

DatabaseChecker::DatabaseChecker(Family family)
    : family_(family), own_{RecordSize(family), {}}, other_{RecordSize(OtherFamily(family)), {}} {}

void DatabaseChecker::Feed(const std::uint8_t* data, std::size_t size) {
    length_ += size;
    FeedStride(own_, family_, data, size);
    FeedStride(other_, OtherFamily(family_), data, size);
}

void DatabaseChecker::FeedStride(Stride& stride, Family family, const std::uint8_t* data,
                                 std::size_t size) {
    const bool own = &stride == &own_;
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
        if (IsValidTypeBlock(family, record + RecordLayout::kTypeBlock)) ++stride.validTypes;
        if (own) CheckRecord(record);
        ++stride.records;
        stride.pending.clear();
    }
}

void DatabaseChecker::Add(std::uint64_t index, bool warning, std::string text) {
    findings_.push_back({static_cast<long long>(index), warning, std::move(text)});
}

void DatabaseChecker::CheckText(std::uint64_t index, const char* what, const std::uint8_t* bytes,
                                std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    auto shown = [&] { return std::string(what) + " " + Quoted(EscapeBytes(text)); };
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
    const std::uint64_t index = own_.records;
    const DecodedRecord r = DecodeRecord(family_, record);
    CheckText(index, "ID", record + RecordLayout::kId, RecordLayout::kIdSize);
    CheckText(index, "name", record + RecordLayout::kName, RecordLayout::kNameSize);
    CheckTypeAndAltitude(index, record, r);
    const bool placed = CheckNumbers(index, r);
    // A record of undefined type is judged by the band of the type named as its family.
    const TypeBlock* type = FindType(family_, r.typeCode);
    if (type == nullptr) type = FindTypeBlock(FamilyName(family_));
    if (std::isfinite(r.frequency) &&
        (r.frequency < type->bandLow || r.frequency > type->bandHigh)) {
        Add(index, true, "frequency " + FormatListReal(r.frequency) + " is outside " + type->band);
    }
    if (placed) KeepPosition(index, r);
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

bool DatabaseChecker::CheckNumbers(std::uint64_t index, const DecodedRecord& r) {
    struct Field {
        const char* name;
        float value;
        float limit;
    };
    bool placed = true;
    for (const Field& field :
         {Field{"latitude", r.latitude, 90.0f}, Field{"longitude", r.longitude, 180.0f},
          Field{"frequency", r.frequency, 0.0f}, Field{"magnetic variation", r.magVar, 0.0f}}) {
        if (!std::isfinite(field.value)) {
            Add(index, false,
                std::string(field.name) + " " + FormatListReal(field.value) +
                    " is not a finite number");
            placed = placed && field.limit == 0.0f;
        } else if (field.limit != 0.0f && std::fabs(field.value) > field.limit) {
            Add(index, false,
                std::string(field.name) + " " + FormatListReal(field.value) + " is outside -" +
                    FormatListReal(field.limit) + ".." + FormatListReal(field.limit));
            placed = false;
        }
    }
    return placed;
}

void DatabaseChecker::KeepPosition(std::uint64_t index, const DecodedRecord& r) {
    Position position{{},
                      static_cast<std::uint8_t>(index >> 32),
                      r.latitude,
                      r.longitude,
                      static_cast<std::uint32_t>(index)};
    const std::string id = UpperCase(TrimWhiteSpace(r.id));
    position.key[0] = static_cast<char>(r.typeCode);
    std::copy(id.begin(), id.begin() + std::min(id.size(), position.key.size() - 1),
              position.key.begin() + 1);
    positions_.push_back(position);
}

void DatabaseChecker::FindDuplicates() {
    // Sorted by type, ID and latitude: only neighbours within 10 NM of
    // latitude can be that close.
    constexpr double kWindow = kDuplicateNm / 60.0 + 1e-6;
    std::sort(positions_.begin(), positions_.end(), [](const Position& a, const Position& b) {
        return a.key != b.key ? a.key < b.key : a.lat < b.lat;
    });
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        for (std::size_t j = i + 1;
             j < positions_.size() && positions_[j].key == positions_[i].key &&
             positions_[j].lat - positions_[i].lat <= kWindow;
             ++j) {
            const Position& a = positions_[i];
            const Position& b = positions_[j];
            double nm = DistanceNm(a.lat, a.lon, b.lat, b.lon);
            if (nm >= kDuplicateNm) continue;
            const Position& first = a.Index() < b.Index() ? a : b;
            const Position& second = a.Index() < b.Index() ? b : a;
            char distance[32];
            std::snprintf(distance, sizeof distance, "%.1f", nm);
            const std::string id(a.key.data() + 1, strnlen(a.key.data() + 1, a.key.size() - 1));
            Add(second.Index(), true,
                "likely duplicate of record " + std::to_string(first.Index()) + " (same type " +
                    TypeText(family_, static_cast<std::uint8_t>(a.key[0])) + " and ID " +
                    Quoted(EscapeBytes(id)) + ", " + distance + " NM apart)");
        }
    }
}

std::vector<Finding> DatabaseChecker::Finish() {
    FindDuplicates();
    if (!own_.pending.empty()) {
        Add(own_.records, false,
            "trailing piece of " + std::to_string(own_.pending.size()) + " bytes at offset " +
                std::to_string(own_.records * own_.size) + " is not a whole record");
    }
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
        findings_.push_back({-1, false, text});
    }
    std::stable_sort(findings_.begin(), findings_.end(),
                     [](const Finding& a, const Finding& b) { return a.index < b.index; });
    return std::move(findings_);
}

}  // namespace navaid
