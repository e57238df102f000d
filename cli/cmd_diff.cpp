// navaid diff: the records removed from one database and added in another.
#include <deque>
#include <functional>

#include "find.h"

namespace navaid::cli {

namespace {

// Beyond this many differences the middle is shown as wholly replaced: the
// search would cost time and memory growing with its square.
constexpr long kMaxSearchedDifferences = 2000;

// What is kept of each record for the matching: a 64-bit hash of its bytes,
// so memory grows by 8 bytes a record; the lines are printed from a second read.
struct Records {
    std::deque<std::uint64_t> hashes;
    std::size_t count = 0;
    std::uint64_t At(std::size_t i) const { return hashes[i]; }
};

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

Outcome Load(const std::string& path, Family family, Records& records) {
    const std::size_t size = RecordSize(family);
    return ForEachRecord(path, family, [&](std::uint64_t, const std::uint8_t* record) {
        records.hashes.push_back(HashRecord(record, size));
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
    auto same = [&](long x, long y) { return a.At(begin + x) == b.At(begin + y); };
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

// A file's records read forward to the ones the edits name, for their lines.
class Cursor {
public:
    Outcome Open(const std::string& path, Family family) {
        path_ = path;
        return reader_.Open(path, RecordSize(family));
    }
    // The record at `index`, which is not before the one given last.
    Outcome Seek(std::uint64_t index, const std::uint8_t*& record) {
        while (record_ == nullptr || reader_.Index() < index) {
            if (Outcome next = reader_.Next(record_); !next) return next;
            if (record_ == nullptr) return Outcome::Failure(path_, "it changed while it was read");
        }
        record = record_;
        return Outcome::Success();
    }
    Outcome Close() { return reader_.Close(); }

private:
    std::string path_;
    RecordReader reader_;
    const std::uint8_t* record_ = nullptr;
};

// Prints the lines of the edits `next` gives in turn (false after the last),
// from a second read of both files.
Outcome PrintEdits(const CommandLine& line, const std::function<bool(Edit&)>& next,
                   const Console& console) {
    Cursor cursors[2];
    for (int i = 0; i < 2; ++i)
        if (Outcome opened = cursors[i].Open(line.positional[i], line.family); !opened)
            return opened;
    for (Edit edit; next(edit);) {
        const std::uint8_t* record = nullptr;
        if (Outcome found = cursors[edit.added].Seek(edit.index, record); !found) return found;
        console.out << (edit.added ? "+ " : "- ") << FindLine(line.family, edit.index, record)
                    << '\n';
    }
    for (Cursor& cursor : cursors)
        if (Outcome closed = cursor.Close(); !closed) return closed;
    return Outcome::Success();
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
    while (prefix < a.count && prefix < b.count && a.At(prefix) == b.At(prefix)) ++prefix;
    while (suffix < a.count - prefix && suffix < b.count - prefix &&
           a.At(a.count - 1 - suffix) == b.At(b.count - 1 - suffix))
        ++suffix;
    const std::size_t endA = a.count - suffix, endB = b.count - suffix;
    if (prefix == endA && prefix == endB) return kExitOk;
    const auto edits = ShortestEdits(a, b, prefix, endA, endB);
    std::size_t i = 0;
    bool added = false;
    auto nextEdit = [&](Edit& edit) {
        if (edits) {
            if (i == edits->size()) return false;
            edit = (*edits)[i++];
            return true;
        }
        // Too many differences to search: the middle of OLD removed, then NEW's added.
        if (!added && prefix + i == endA) added = true, i = 0;
        if (added && prefix + i == endB) return false;
        edit = {added, prefix + i++};
        return true;
    };
    const Outcome printed = PrintEdits(line, nextEdit, console);
    if (!printed) return ReportFailure(console, printed);
    return kExitFindings;
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
