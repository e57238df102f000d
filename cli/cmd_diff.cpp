// navaid diff: the records removed from one database and added in another.
#include <cstring>

#include "find.h"

namespace navaid::cli {

namespace {

// Beyond this many differences the middle is shown as wholly replaced: the
// search would cost time and memory growing with its square.
constexpr long kMaxSearchedDifferences = 2000;

struct Records {
    std::string bytes;
    std::size_t size = 0, count = 0;
    const char* At(std::size_t i) const { return bytes.data() + i * size; }
};

Outcome Load(const std::string& path, Family family, Records& records) {
    records.size = RecordSize(family);
    return ForEachRecord(path, family, [&](std::uint64_t, const std::uint8_t* record) {
        records.bytes.append(reinterpret_cast<const char*>(record), records.size);
        ++records.count;
    });
}

struct Edit {
    bool added;
    std::size_t index;  // in OLD when removed, in NEW when added
};

// The shortest edit script between a[begin, endA) and b[begin, endB), after
// Myers' O(ND) search; an empty optional when it needs too many edits.
std::optional<std::vector<Edit>> ShortestEdits(const Records& a, const Records& b,
                                               std::size_t begin, std::size_t endA,
                                               std::size_t endB) {
    const long n = static_cast<long>(endA - begin), m = static_cast<long>(endB - begin);
    auto same = [&](long x, long y) {
        return std::memcmp(a.At(begin + x), b.At(begin + y), a.size) == 0;
    };
    // trace[d][k + d]: the furthest x on diagonal k after d edits.
    std::vector<std::vector<long>> trace;
    for (long d = 0; d <= std::min(n + m, kMaxSearchedDifferences); ++d) {
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

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"OLD", "NEW"}, {});
    Records a, b;
    if (Outcome read = Load(line.positional[0], line.family, a); !read) {
        return ReportFailure(console, read);
    }
    if (Outcome read = Load(line.positional[1], line.family, b); !read) {
        return ReportFailure(console, read);
    }
    std::size_t prefix = 0, suffix = 0;
    while (prefix < a.count && prefix < b.count &&
           std::memcmp(a.At(prefix), b.At(prefix), a.size) == 0)
        ++prefix;
    while (suffix < a.count - prefix && suffix < b.count - prefix &&
           std::memcmp(a.At(a.count - 1 - suffix), b.At(b.count - 1 - suffix), a.size) == 0)
        ++suffix;
    auto edits = ShortestEdits(a, b, prefix, a.count - suffix, b.count - suffix);
    if (!edits) {
        edits.emplace();
        for (std::size_t i = prefix; i < a.count - suffix; ++i) edits->push_back({false, i});
        for (std::size_t i = prefix; i < b.count - suffix; ++i) edits->push_back({true, i});
    }
    for (const Edit& edit : *edits) {
        const Records& from = edit.added ? b : a;
        console.out << (edit.added ? "+ " : "- ")
                    << FindLine(line.family, edit.index,
                                reinterpret_cast<const std::uint8_t*>(from.At(edit.index)))
                    << '\n';
    }
    return edits->empty() ? kExitOk : kExitFindings;
}

}  // namespace

const CommandInfo kDiffCommand{
    "diff", "print the records removed from OLD and added in NEW",
    "Usage: navaid diff vor|ndb OLD NEW\n"
    "\n"
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A changed\n"
    "record is one removed and one added. Exit status 0 when both hold the same\n"
    "records in the same order, 3 when they differ.\n"
    "\n"
    "Example:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n",
    Run};

}  // namespace navaid::cli
