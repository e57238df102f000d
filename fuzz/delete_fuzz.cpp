// Deletion of any index from arbitrary bytes read as either family.
// Input: a byte choosing the family and the index's form, eight bytes of
// index, then the database's bytes.
#include <cstring>

#include "fuzz_support.h"

using namespace navaid;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    const Family family = data[0] & 1 ? Family::Ndb : Family::Vor;
    const std::size_t recordSize = RecordSize(family);
    long long index = 0;
    if (data[0] & 2) {
        std::memcpy(&index, data + 1, sizeof index);  // anything at all
    } else {
        index = static_cast<long long>(data[1]) - 4;  // near the labels, and just outside
    }
    const std::string db(reinterpret_cast<const char*>(data) + 9, size - 9);
    const fuzz::Scratch scratch;
    const std::string source = scratch.Path("db.qvz"), copy = scratch.Path("db.qvz.new");
    const std::string earlier = "the working copy the flow made";
    fuzz::WriteFile(source, db);
    fuzz::WriteFile(copy, earlier);

    const Outcome outcome = DeleteNavaid(source, copy, recordSize, index);
    const std::uint64_t labels = LabelCount(db.size(), recordSize);
    std::string written, after;
    const bool copyExists = fuzz::ReadFile(copy, written);
    if (index >= 0 && static_cast<std::uint64_t>(index) < labels) {
        // Exactly the chosen record's bytes (or the trailing piece) are gone.
        const std::size_t offset = static_cast<std::size_t>(index) * recordSize;
        std::string expected = db;
        expected.erase(offset, recordSize);
        FUZZ_CHECK(outcome.ok);
        FUZZ_CHECK(copyExists && written == expected);
        FUZZ_CHECK(written.size() == db.size() - std::min(recordSize, db.size() - offset));
    } else {
        // Refused, with a reason, and nothing written.
        FUZZ_CHECK(!outcome.ok && !outcome.reason.empty());
        FUZZ_CHECK(!copyExists || written == earlier);
    }
    FUZZ_CHECK(fuzz::ReadFile(source, after) && after == db);
    return 0;
}
