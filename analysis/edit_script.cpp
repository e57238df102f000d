#include "edit_script.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace navaid {

// A 64-bit hash of the record's bytes (FNV-1a, with a final mix so that
// nearby records spread over all the bits).
std::uint64_t HashRecord(const std::uint8_t* record, std::size_t size) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ record[i]) * 0x100000001b3ULL;
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    return h ^ (h >> 33);
}

Outcome HashRecords(const RecordSource& records, std::size_t recordSize, RecordHashes& hashes) {
    return records([&](std::uint64_t, const std::uint8_t* record) {
        hashes.hashes.push_back(HashRecord(record, recordSize));
    });
}

namespace {

// The shortest edit script between a[begin, endA) and b[begin, endB), after
// Myers' O(ND) search; an empty optional when it needs too many edits.
std::optional<std::vector<Edit>> ShortestEdits(const RecordHashes& a, const RecordHashes& b,
                                               std::size_t begin, std::size_t endA,
                                               std::size_t endB, long maxSearched) {
    const long n = static_cast<long>(endA - begin), m = static_cast<long>(endB - begin);
    auto same = [&](long x, long y) { return a.hashes[begin + x] == b.hashes[begin + y]; };
    // trace[d][k + d]: the furthest x on diagonal k after d edits.
    std::vector<std::vector<long>> trace;
    for (long d = 0; d <= std::min(n + m, maxSearched); ++d) {
        std::vector<long> v(2 * d + 1);
        const std::vector<long>* prev = d > 0 ? &trace.back() : nullptr;
        auto before = [&](long k) { return (*prev)[k + d - 1]; };
        for (long k = -d; k <= d; k += 2) {
            long x = d == 0                                                   ? 0
                     : (k == -d || (k != d && before(k - 1) < before(k + 1))) ? before(k + 1)
                                                                              : before(k - 1) + 1;
            long y = x - k;
            while (x < n && y < m && same(x, y)) ++x, ++y;
            v[k + d] = x;
            if (x >= n && y >= m) {
                trace.push_back(std::move(v));
                std::vector<Edit> edits;
                long cx = n, cy = m;
                for (long e = d; e > 0; --e) {
                    const std::vector<long>& pv = trace[e - 1];
                    const long ck = cx - cy;
                    auto at = [&](long kk) { return pv[kk + e - 1]; };
                    const bool down = ck == -e || (ck != e && at(ck - 1) < at(ck + 1));
                    const long pk = down ? ck + 1 : ck - 1;
                    const long px = at(pk), py = px - pk;
                    edits.push_back(down ? Edit{true, begin + static_cast<std::size_t>(py)}
                                         : Edit{false, begin + static_cast<std::size_t>(px)});
                    cx = px;
                    cy = py;
                }
                return std::vector<Edit>(edits.rbegin(), edits.rend());
            }
        }
        trace.push_back(std::move(v));
    }
    return std::nullopt;
}

}  // namespace

bool ForEachEdit(const RecordHashes& a, const RecordHashes& b,
                 const std::function<void(const Edit&)>& visit, long maxSearched) {
    const std::size_t countA = a.Size(), countB = b.Size();
    std::size_t prefix = 0, suffix = 0;
    while (prefix < countA && prefix < countB && a.hashes[prefix] == b.hashes[prefix]) ++prefix;
    while (suffix < countA - prefix && suffix < countB - prefix &&
           a.hashes[countA - 1 - suffix] == b.hashes[countB - 1 - suffix])
        ++suffix;
    const std::size_t endA = countA - suffix, endB = countB - suffix;
    if (prefix == endA && prefix == endB) return false;
    if (const auto edits = ShortestEdits(a, b, prefix, endA, endB, maxSearched)) {
        for (const Edit& edit : *edits) visit(edit);
        return true;
    }
    // Beyond that many differences the search would cost time and memory
    // growing with its square: the middle is shown as wholly replaced.
    for (std::size_t i = prefix; i < endA; ++i) visit({false, i});
    for (std::size_t i = prefix; i < endB; ++i) visit({true, i});
    return true;
}

}  // namespace navaid
