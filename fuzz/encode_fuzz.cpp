// Record encoding of arbitrary texts and numbers: a record is exactly its
// family's size or nothing, and the numbers are stored bit for bit.
// Input: a family byte, 20 bytes of numbers, then ID, name and type name
// separated by 0xFF bytes.
#include <cstring>

#include "fuzz_support.h"

using namespace navaid;

namespace {

std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 21) return 0;
    const Family family = data[0] & 1 ? Family::Ndb : Family::Vor;
    NavaidEntry entry;
    float numbers[4];
    std::memcpy(numbers, data + 1, sizeof numbers);
    std::memcpy(&entry.altitude, data + 17, sizeof entry.altitude);
    entry.latitude = numbers[0];
    entry.longitude = numbers[1];
    entry.frequency = numbers[2];
    entry.magVar = numbers[3];
    std::string* texts[] = {&entry.id, &entry.name, &entry.typeName};
    std::size_t field = 0;
    for (std::size_t i = 21; i < size; ++i) {
        if (data[i] == 0xFF && field < 2)
            ++field;
        else
            texts[field]->push_back(static_cast<char>(data[i]));
    }

    std::string record = "an earlier value";
    const Outcome outcome = EncodeRecord(family, entry, record);
    const TypeBlock* block = FindTypeBlock(UpperCase(TrimWhiteSpace(entry.typeName)));
    if (block == nullptr || block->family != family) {
        FUZZ_CHECK(!outcome.ok && !outcome.reason.empty());
        return 0;
    }
    FUZZ_CHECK(outcome.ok);
    FUZZ_CHECK(record.size() == RecordSize(family));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.data());
    FUZZ_CHECK(Bits(ReadFloatLE(bytes + RecordLayout::kLatitude)) == Bits(entry.latitude));
    FUZZ_CHECK(Bits(ReadFloatLE(bytes + RecordLayout::kLongitude)) == Bits(entry.longitude));
    FUZZ_CHECK(Bits(ReadFloatLE(bytes + RecordLayout::kFrequency)) == Bits(entry.frequency));
    FUZZ_CHECK(Bits(ReadFloatLE(bytes + RecordLayout::kMagVar)) == Bits(entry.magVar));
    FUZZ_CHECK(ReadInt32LE(bytes + RecordLayout::kAltitude) ==
               (family == Family::Vor ? entry.altitude : 0));
    FUZZ_CHECK(std::memcmp(bytes + RecordLayout::kTypeBlock, block->bytes.data(), block->size) ==
               0);

    // Each text field is its trimmed, upper-cased text cut to the field, then
    // spaces (the built-in code page has no double-byte characters to keep whole).
    const struct {
        const std::string& text;
        std::size_t offset, width;
    } fields[] = {{entry.id, RecordLayout::kId, RecordLayout::kIdSize},
                  {entry.name, RecordLayout::kName, RecordLayout::kNameSize}};
    for (const auto& f : fields) {
        std::string expected = UpperCase(TrimWhiteSpace(f.text)).substr(0, f.width);
        expected.resize(f.width, ' ');
        FUZZ_CHECK(record.compare(f.offset, f.width, expected) == 0);
    }
    return 0;
}
