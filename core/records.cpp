#include "records.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "code_page.h"

namespace navaid {
namespace {

// Writers look names up in this order; at most one can match.
// TACAN-only stations carry a paired VHF frequency above the VOR band.
constexpr const char* kVorBand = "the VOR band 108.00-117.95 MHz";
constexpr const char* kTacanBand = "the TACAN range 108.00-135.95 MHz";
constexpr const char* kNdbBand = "the NDB band 190-1750 kHz";
const TypeBlock kTypeBlocks[] = {
    {"VOR", Family::Vor, {1, 0, 0, 0, 0, 0}, 6, 108.0f, 117.95f, kVorBand},
    {"VORTAC", Family::Vor, {2, 0, 255, 255, 255, 255}, 6, 108.0f, 117.95f, kVorBand},
    {"TACAN", Family::Vor, {3, 0, 0, 0, 255, 255}, 6, 108.0f, 135.95f, kTacanBand},
    {"VOR-DME", Family::Vor, {4, 0, 255, 255, 0, 0}, 6, 108.0f, 117.95f, kVorBand},
    {"DME", Family::Vor, {9, 0, 255, 255, 0, 0}, 6, 108.0f, 117.95f, kVorBand},
    {"NDB", Family::Ndb, {0x35, 0x20, 0x20, 0, 0, 0}, 3, 190.0f, 1750.0f, kNdbBand},
    {"NDB-DME", Family::Ndb, {0x37, 0x20, 0x20, 0, 0, 0}, 3, 190.0f, 1750.0f, kNdbBand},
};

// Trims, upper-cases, cuts to the field and pads with spaces.
void EncodeText(std::string_view text, std::size_t fieldSize, std::uint8_t* out) {
    const std::string upper = UpperCase(TrimWhiteSpace(text));
    const std::string_view cut = TruncateToBytes(upper, fieldSize);
    std::memset(out, ' ', fieldSize);
    std::memcpy(out, cut.data(), cut.size());
}

}  // namespace

const char* FamilyName(Family family) { return family == Family::Vor ? "VOR" : "NDB"; }

const TypeBlock* TypeBlocks(std::size_t& count) {
    count = sizeof kTypeBlocks / sizeof kTypeBlocks[0];
    return kTypeBlocks;
}

const TypeBlock* FindTypeBlock(std::string_view name) {
    for (const TypeBlock& block : kTypeBlocks)
        if (name == block.name) return &block;
    return nullptr;
}

const TypeBlock* FindType(Family family, std::uint8_t code) {
    for (const TypeBlock& block : kTypeBlocks)
        if (block.family == family && block.bytes[0] == code) return &block;
    return nullptr;
}

const char* TypeText(Family family, std::uint8_t code) {
    const TypeBlock* block = FindType(family, code);
    return block ? block->name : kTypeUndefined;
}

float ReadFloatLE(const std::uint8_t* p) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(ReadInt32LE(p)));
}

std::int32_t ReadInt32LE(const std::uint8_t* p) {
    const std::uint32_t v = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                            std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
    return static_cast<std::int32_t>(v);
}

void WriteInt32LE(std::uint8_t* p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

void WriteFloatLE(std::uint8_t* p, float value) {
    WriteInt32LE(p, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(value)));
}

Outcome EncodeRecord(Family family, const NavaidEntry& entry, std::string& out) {
    const std::string typeName = UpperCase(TrimWhiteSpace(entry.typeName));
    const TypeBlock* block = FindTypeBlock(typeName);
    if (block == nullptr || block->family != family) {
        std::string reason = typeName.empty()
                                 ? std::string("no navaid type was given")
                                 : "\"" + typeName + "\" is not a navaid type of the " +
                                       FamilyName(family) + " family";
        return Outcome::Failure("", reason);
    }
    std::uint8_t record[kVorRecordSize] = {};
    EncodeText(entry.id, RecordLayout::kIdSize, record + RecordLayout::kId);
    EncodeText(entry.name, RecordLayout::kNameSize, record + RecordLayout::kName);
    WriteFloatLE(record + RecordLayout::kLatitude, entry.latitude);
    WriteFloatLE(record + RecordLayout::kLongitude, entry.longitude);
    WriteFloatLE(record + RecordLayout::kFrequency, entry.frequency);
    WriteFloatLE(record + RecordLayout::kMagVar, entry.magVar);
    // NDB records always carry 0 in the altitude bytes.
    WriteInt32LE(record + RecordLayout::kAltitude, family == Family::Vor ? entry.altitude : 0);
    std::memcpy(record + RecordLayout::kTypeBlock, block->bytes.data(), block->size);
    out.assign(reinterpret_cast<const char*>(record), RecordSize(family));
    return Outcome::Success();
}

DecodedRecord DecodeRecord(Family family, const std::uint8_t* record) {
    DecodedRecord r;
    r.id.assign(reinterpret_cast<const char*>(record + RecordLayout::kId), RecordLayout::kIdSize);
    r.name.assign(reinterpret_cast<const char*>(record + RecordLayout::kName),
                  RecordLayout::kNameSize);
    r.latitude = ReadFloatLE(record + RecordLayout::kLatitude);
    r.longitude = ReadFloatLE(record + RecordLayout::kLongitude);
    r.frequency = ReadFloatLE(record + RecordLayout::kFrequency);
    r.magVar = ReadFloatLE(record + RecordLayout::kMagVar);
    r.altitude = ReadInt32LE(record + RecordLayout::kAltitude);
    r.typeCode = record[RecordLayout::kTypeBlock];
    r.type = TypeText(family, r.typeCode);
    return r;
}

bool IsValidTypeBlock(Family family, const std::uint8_t* block) {
    for (const TypeBlock& type : kTypeBlocks) {
        if (type.family == family && std::equal(block, block + type.size, type.bytes.begin()))
            return true;
    }
    return false;
}

double TypeFit(Family family, std::string_view bytes, std::size_t& records) {
    const std::size_t size = RecordSize(family);
    records = bytes.size() / size;
    std::size_t fit = 0;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size)
        fit += IsValidTypeBlock(family, reinterpret_cast<const std::uint8_t*>(bytes.data() + at) +
                                            RecordLayout::kTypeBlock);
    return records ? double(fit) / records : 0;
}

namespace {
std::string Percent(double share) { return std::to_string(int(share * 100 + 0.5)) + "%"; }
}  // namespace

std::string OtherFamilyLook(Family family, std::string_view sample) {
    const Family other = OtherFamily(family);
    std::size_t records = 0, otherRecords = 0;
    const double fit = TypeFit(family, sample, records);
    const double otherFit = TypeFit(other, sample, otherRecords);
    if (otherFit < 0.5 || otherFit <= fit) return {};
    return std::string("it looks like a database of ") + FamilyName(other) + ", not of " +
           FamilyName(family) + ": " + Percent(otherFit) + " of its first " +
           std::to_string(RecordSize(other)) + "-byte records have " + FamilyName(other) +
           " type blocks, " + Percent(fit) + " of its " + std::to_string(RecordSize(family)) +
           "-byte records " + FamilyName(family) + " type blocks";
}

}  // namespace navaid
