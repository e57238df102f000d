// The findings of 'navaid check', gathered from a database's bytes as they stream past.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "records.h"

namespace navaid {

struct Finding {
    long long index;  // record index; -1 for the file as a whole
    bool warning;     // a warning may be right for some real stations
    std::string text;
};

class DatabaseChecker {
public:
    explicit DatabaseChecker(Family family);
    // Feeds the next bytes of the file, in order, in pieces of any size.
    void Feed(const std::uint8_t* data, std::size_t size);
    // The findings, the file's own first, then by record index.
    std::vector<Finding> Finish();
    std::uint64_t RecordCount() const { return own_.records; }

private:
    struct Stride {
        std::size_t size;
        std::vector<std::uint8_t> pending;  // bytes of the record being assembled
        std::uint64_t records = 0;
        std::uint64_t validTypes = 0;
    };
    // 24 bytes, kept for every placed record until the end: the index is
    // split so that no padding is paid for.
    struct Position {
        std::array<char, 11> key;  // type code, then the trimmed upper-case ID
        std::uint8_t indexHigh;
        float lat, lon;
        std::uint32_t indexLow;
        std::uint64_t Index() const { return std::uint64_t{indexHigh} << 32 | indexLow; }
    };
    void FeedStride(Stride& stride, Family family, const std::uint8_t* data, std::size_t size);
    void CheckRecord(const std::uint8_t* record);
    void CheckTypeAndAltitude(std::uint64_t index, const std::uint8_t* record,
                              const DecodedRecord& r);
    // False when the position is not fit for the duplicate search.
    bool CheckNumbers(std::uint64_t index, const DecodedRecord& r);
    void KeepPosition(std::uint64_t index, const DecodedRecord& r);
    void CheckText(std::uint64_t index, const char* what, const std::uint8_t* bytes,
                   std::size_t size);
    void Add(std::uint64_t index, bool warning, std::string text);
    void FindDuplicates();

    Family family_;
    Stride own_;
    Stride other_;
    std::uint64_t length_ = 0;
    std::vector<Finding> findings_;
    // A deque grows without moving what it holds, so its peak is its size.
    std::deque<Position> positions_;
};

// Whether the type block at the start of `block` is one that the family's writers store.
bool IsValidTypeBlock(Family family, const std::uint8_t* block);

}  // namespace navaid
