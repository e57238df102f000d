#include "diff.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "code_page.h"
#include "edit_script.h"
#include "geo.h"

namespace navaid {

namespace {

// Pairing searches every removed record against every added one.
constexpr std::uint64_t kMaxPaired = 2000;
// Records of one side's edits held at a time: a long script is read in
// windows of this many, each a further read of both databases.
constexpr std::uint64_t kWindowRecords = 65536;

// A stretch of edits between two stretches of common records.
struct Hunk {
    std::uint64_t removedAt = 0, removed = 0, addedAt = 0, added = 0;
};

// The edits grouped as diff shows them: a new hunk after common records, or
// when one side already holds as many as are paired.
std::vector<Hunk> Hunks(const RecordHashes& a, const RecordHashes& b) {
    std::vector<Hunk> hunks;
    std::uint64_t next[2] = {0, 0};  // the index after the last edit, in OLD and NEW
    ForEachEdit(a, b, [&](const Edit& edit) {
        const std::uint64_t at = next[edit.added];
        if (hunks.empty() || edit.index != at ||
            (edit.added ? hunks.back().added : hunks.back().removed) >= kMaxPaired) {
            const std::uint64_t kept = edit.index - at;
            next[0] += kept;
            next[1] += kept;
            hunks.push_back({next[0], 0, next[1], 0});
        }
        ++(edit.added ? hunks.back().added : hunks.back().removed);
        ++next[edit.added];
    });
    return hunks;
}

// The bytes of one side's edited records in hunks [first, last), from one read.
Outcome Collect(const DatabaseInput& input, std::size_t size, const std::vector<Hunk>& hunks,
                std::size_t first, std::size_t last, bool added, std::string& bytes) {
    bytes.clear();
    std::uint64_t wanted = 0;
    for (std::size_t h = first; h < last; ++h) wanted += added ? hunks[h].added : hunks[h].removed;
    if (wanted == 0) return Outcome::Success();
    std::size_t h = first;
    const Outcome read = input.records([&](std::uint64_t index, const std::uint8_t* record) {
        auto end = [&] {
            return added ? hunks[h].addedAt + hunks[h].added
                         : hunks[h].removedAt + hunks[h].removed;
        };
        while (h < last && index >= end()) ++h;
        if (h < last && index >= (added ? hunks[h].addedAt : hunks[h].removedAt))
            bytes.append(reinterpret_cast<const char*>(record), size);
    });
    if (!read) return read;
    if (bytes.size() != wanted * size)
        return Outcome::Failure(input.name, "it changed while it was read");
    return Outcome::Success();
}

std::span<const std::uint8_t> Span(const std::string& bytes, std::size_t at, std::size_t size) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()) + at * size, size};
}

// One hunk's records, from the bytes of each side's edited records.
struct HunkRecords {
    const Hunk& hunk;
    const std::string &removedBytes, &addedBytes;
    std::size_t removedFrom, addedFrom, size;
    std::span<const std::uint8_t> Removed(std::size_t r) const {
        return Span(removedBytes, removedFrom + r, size);
    }
    std::span<const std::uint8_t> Added(std::size_t a) const {
        return Span(addedBytes, addedFrom + a, size);
    }
};

constexpr std::size_t kNone = -1;

std::string_view Bytes(std::span<const std::uint8_t> record) {
    return {reinterpret_cast<const char*>(record.data()), record.size()};
}

// A removed record that stands among the added ones with the same bytes is
// unchanged: it pairs with that one before any other.
void PairSame(const HunkRecords& h, std::vector<std::size_t>& partner, std::vector<bool>& paired) {
    std::vector<std::size_t> order(h.hunk.added);
    std::iota(order.begin(), order.end(), std::size_t{0});
    const auto less = [&](std::size_t a, std::size_t b) {
        return Bytes(h.Added(a)) < Bytes(h.Added(b));
    };
    std::stable_sort(order.begin(), order.end(), less);
    for (std::size_t r = 0; r < h.hunk.removed; ++r) {
        const std::string_view bytes = Bytes(h.Removed(r));
        auto at = std::lower_bound(order.begin(), order.end(), bytes,
                                   [&](std::size_t a, auto b) { return Bytes(h.Added(a)) < b; });
        while (at != order.end() && paired[*at] && Bytes(h.Added(*at)) == bytes) ++at;
        if (at == order.end() || Bytes(h.Added(*at)) != bytes) continue;
        paired[*at] = true;
        partner[r] = *at;
    }
}

// Each removed record's added partner, or kNone: the same bytes first, then
// by ID within the distance, then by place.
std::vector<std::size_t> Partners(Family family, double matchNm, const HunkRecords& h) {
    std::vector<std::size_t> partner(h.hunk.removed, kNone);
    std::vector<bool> paired(h.hunk.added, false);
    PairSame(h, partner, paired);
    for (std::size_t r = 0; r < h.hunk.removed; ++r) {
        if (partner[r] != kNone) continue;
        const DecodedRecord a = DecodeRecord(family, h.Removed(r).data());
        for (std::size_t n = 0; n < h.hunk.added; ++n) {
            if (paired[n]) continue;
            const DecodedRecord b = DecodeRecord(family, h.Added(n).data());
            if (TrimWhiteSpace(a.id) == TrimWhiteSpace(b.id) &&
                DistanceNm(a.latitude, a.longitude, b.latitude, b.longitude) <= matchNm) {
                paired[n] = true;
                partner[r] = n;
                break;
            }
        }
    }
    for (std::size_t r = 0, next = 0; r < h.hunk.removed; ++r) {
        if (partner[r] != kNone) continue;
        while (next < h.hunk.added && paired[next]) ++next;
        if (next == h.hunk.added) break;
        paired[next] = true;
        partner[r] = next;
    }
    return partner;
}

// One hunk's events: each removed record, changed where it pairs (nothing
// where its partner has its bytes), then the added records left.
void ReportHunk(Family family, double matchNm, const HunkRecords& h, const ReportSink& report) {
    const std::vector<std::size_t> partner = Partners(family, matchNm, h);
    std::vector<bool> paired(h.hunk.added, false);
    for (std::size_t r = 0; r < h.hunk.removed; ++r) {
        ReportEvent event{ReportEvent::Kind::Removed, h.hunk.removedAt + r, h.Removed(r)};
        if (partner[r] != kNone) {
            paired[partner[r]] = true;
            event.kind = ReportEvent::Kind::Changed;
            event.after = h.Added(partner[r]);
            if (Bytes(event.record) == Bytes(event.after)) continue;
            event.changes =
                ChangedFields(family, event.record.data(), event.after.data(), AllFields());
        }
        report(event);
    }
    for (std::size_t n = 0; n < h.hunk.added; ++n)
        if (!paired[n]) report({ReportEvent::Kind::Added, h.hunk.addedAt + n, h.Added(n)});
}

}  // namespace

void ReportPieces(const std::string& before, std::uint64_t beforeRecords, const std::string& after,
                  std::uint64_t afterRecords, const ReportSink& report) {
    if (before == after) return;
    const std::string* pieces[2] = {&before, &after};
    const std::uint64_t records[2] = {beforeRecords, afterRecords};
    for (int i = 0; i < 2; ++i) {
        const std::string& piece = *pieces[i];
        if (piece.empty()) continue;
        ReportEvent event{i ? ReportEvent::Kind::Added : ReportEvent::Kind::Removed, records[i],
                          Span(piece, 0, piece.size())};
        event.piece = true;
        report(event);
    }
}

Outcome Diff(Family family, const DatabaseInput& before, const DatabaseInput& after, double matchNm,
             const ReportSink& sink, DiffSummary& summary) {
    summary = {};
    const ReportSink report = [&](const ReportEvent& event) {
        summary.Count(event);
        sink(event);
    };
    const std::size_t size = RecordSize(family);
    const DatabaseInput* inputs[2] = {&before, &after};
    RecordHashes hashes[2];
    for (int i = 0; i < 2; ++i) {
        if (Outcome read = HashRecords(inputs[i]->records, size, hashes[i]); !read) return read;
        if (inputs[i]->trailing) hashes[i].trailing = *inputs[i]->trailing;
    }
    // The records come from further reads of both: only the hashes were kept.
    const std::vector<Hunk> hunks = Hunks(hashes[0], hashes[1]);
    std::string bytes[2];
    Outcome read = Outcome::Success();
    for (std::size_t first = 0, last = 0; first < hunks.size() && read; first = last) {
        for (std::uint64_t held = 0;
             last < hunks.size() && (last == first || held < kWindowRecords); ++last)
            held += hunks[last].removed + hunks[last].added;
        for (int i = 0; i < 2 && read; ++i)
            read = Collect(*inputs[i], size, hunks, first, last, i == 1, bytes[i]);
        for (std::size_t h = first, from[2] = {0, 0}; h < last && read; ++h) {
            ReportHunk(family, matchNm, {hunks[h], bytes[0], bytes[1], from[0], from[1], size},
                       report);
            from[0] += hunks[h].removed;
            from[1] += hunks[h].added;
        }
    }
    if (!read) return read;
    ReportPieces(hashes[0].trailing, hashes[0].Size(), hashes[1].trailing, hashes[1].Size(),
                 report);
    summary.oldRecords = hashes[0].Size();
    summary.newRecords = hashes[1].Size();
    summary.unchanged = summary.oldRecords - summary.changed - summary.removed;
    return Outcome::Success();
}

}  // namespace navaid
