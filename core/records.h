// The two record layouts of the navaid databases, the type blocks and type names.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "outcome.h"

namespace navaid {

enum class Family { Vor, Ndb };

inline constexpr std::size_t kVorRecordSize = 56;
inline constexpr std::size_t kNdbRecordSize = 53;
inline constexpr std::size_t kLabelSize = 30;  // ID and Name together

constexpr std::size_t RecordSize(Family family) {
    return family == Family::Vor ? kVorRecordSize : kNdbRecordSize;
}
const char* FamilyName(Family family);  // "VOR" or "NDB"
constexpr Family OtherFamily(Family family) {
    return family == Family::Vor ? Family::Ndb : Family::Vor;
}

// Field offsets, shared by both layouts up to the type block.
struct RecordLayout {
    static constexpr std::size_t kId = 0, kIdSize = 10;
    static constexpr std::size_t kName = 10, kNameSize = 20;
    static constexpr std::size_t kLatitude = 30;
    static constexpr std::size_t kLongitude = 34;
    static constexpr std::size_t kFrequency = 38;
    static constexpr std::size_t kMagVar = 42;
    static constexpr std::size_t kAltitude = 46;
    static constexpr std::size_t kTypeBlock = 50;
};

// One navaid type as the records know it. nav.dat, the map and the program's
// dialogs keep their own facts of a type in tables of their own, by its name,
// and their tests fail for a type without its row there.
struct TypeBlock {
    const char* name;  // "VOR", "VORTAC", "TACAN", "VOR-DME", "DME", "NDB", "NDB-DME"
    Family family;
    std::array<std::uint8_t, 6> bytes;  // the first 3 are used for the NDB form
    std::size_t size;                   // 6 (VOR form) or 3 (NDB form)
    float bandLow, bandHigh;            // the usual frequencies, MHz or kHz
    const char* band;                   // the band as a message names it
};

// The seven type blocks, VOR family first, in the map legend's order.
const TypeBlock* TypeBlocks(std::size_t& count);

// Exact match on the upper-case name; null when no type has that name.
const TypeBlock* FindTypeBlock(std::string_view name);

// Readers: the type-code byte (byte 0 of the block) to its type; null when undefined.
const TypeBlock* FindType(Family family, std::uint8_t code);
// Its name, or "Type undefined".
const char* TypeText(Family family, std::uint8_t code);
inline constexpr const char* kTypeUndefined = "Type undefined";

// A navaid as the entry dialogs collect it; texts as typed.
struct NavaidEntry {
    std::string id;
    std::string name;
    float latitude = 0, longitude = 0, frequency = 0, magVar = 0;
    std::int32_t altitude = 0;
    std::string typeName;
    // What the source does not state (an import's file): kUnstated... bits.
    std::uint8_t unstated = 0;
};
inline constexpr std::uint8_t kUnstatedMagVar = 1, kUnstatedAltitude = 2;

// Encodes a record of the family: ID and Name trimmed, upper-cased, cut to their
// fields without splitting a double-byte character and padded with spaces.
// Refuses a type name (after trimming and upper-casing) that is not one of the
// family's names. On success `out` holds exactly RecordSize(family) bytes.
Outcome EncodeRecord(Family family, const NavaidEntry& entry, std::string& out);

// A record as readers see it (bytes taken exactly as stored).
struct DecodedRecord {
    std::string id;    // 10 bytes
    std::string name;  // 20 bytes
    float latitude, longitude, frequency, magVar;
    std::int32_t altitude;  // as stored (NDB readers ignore it)
    std::uint8_t typeCode;
    const char* type = kTypeUndefined;  // the family's name for typeCode
};
// `record` must hold RecordSize(family) bytes.
DecodedRecord DecodeRecord(Family family, const std::uint8_t* record);

// Whether the type block at the start of `block` is one that the family's writers store.
bool IsValidTypeBlock(Family family, const std::uint8_t* block);

// Enough of a file's first bytes to tell which family's records it holds.
inline constexpr std::size_t kFamilySampleBytes = 1 << 16;
// The share of the complete records at the start of `bytes` whose type
// block is one of the family's; `records` gets how many records that is.
double TypeFit(Family family, std::string_view bytes, std::size_t& records);
// Why the first bytes of a file look like a database of the other family
// ("it looks like a database of VOR, not of NDB: ..."), or empty.
std::string OtherFamilyLook(Family family, std::string_view sample);

float ReadFloatLE(const std::uint8_t* p);
std::int32_t ReadInt32LE(const std::uint8_t* p);
void WriteFloatLE(std::uint8_t* p, float value);
void WriteInt32LE(std::uint8_t* p, std::int32_t value);

}  // namespace navaid
