#include "diff.h"

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

// One hunk's events: each removed record, changed where it pairs, then the
// added records left. By ID within the distance first, then by place.
void ReportHunk(Family family, double matchNm, const Hunk& hunk, const std::string& removedBytes,
                std::size_t removedFrom, const std::string& addedBytes, std::size_t addedFrom,
                const ReportSink& report) {
    const std::size_t size = RecordSize(family);
    auto removed = [&](std::size_t r) { return Span(removedBytes, removedFrom + r, size); };
    auto added = [&](std::size_t a) { return Span(addedBytes, addedFrom + a, size); };
    constexpr std::size_t kNone = -1;
    std::vector<std::size_t> partner(hunk.removed, kNone);
    std::vector<bool> paired(hunk.added, false);
    for (std::size_t r = 0; r < hunk.removed; ++r) {
        const DecodedRecord a = DecodeRecord(family, removed(r).data());
        for (std::size_t n = 0; n < hunk.added; ++n) {
            if (paired[n]) continue;
            const DecodedRecord b = DecodeRecord(family, added(n).data());
            if (TrimWhiteSpace(a.id) == TrimWhiteSpace(b.id) &&
                DistanceNm(a.latitude, a.longitude, b.latitude, b.longitude) <= matchNm) {
                paired[n] = true;
                partner[r] = n;
                break;
            }
        }
    }
    for (std::size_t r = 0, next = 0; r < hunk.removed; ++r) {
        if (partner[r] != kNone) continue;
        while (next < hunk.added && paired[next]) ++next;
        if (next == hunk.added) break;
        paired[next] = true;
        partner[r] = next;
    }
    for (std::size_t r = 0; r < hunk.removed; ++r) {
        ReportEvent event{ReportEvent::Kind::Removed, hunk.removedAt + r, removed(r)};
        if (partner[r] != kNone) {
            event.kind = ReportEvent::Kind::Changed;
            event.after = added(partner[r]);
            event.changes =
                ChangedFields(family, event.record.data(), event.after.data(), AllFields());
        }
        report(event);
    }
    for (std::size_t n = 0; n < hunk.added; ++n)
        if (!paired[n]) report({ReportEvent::Kind::Added, hunk.addedAt + n, added(n)});
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
            ReportHunk(family, matchNm, hunks[h], bytes[0], from[0], bytes[1], from[1], report);
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
