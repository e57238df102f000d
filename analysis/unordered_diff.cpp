// diff --unordered: the records of two databases paired whatever their order,
// as update pairs a database with a newer file's navaids.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <tuple>

#include "diff.h"
#include "edit_script.h"
#include "geo.h"
#include "nearest.h"
#include "update.h"

namespace navaid {

namespace {

constexpr std::uint32_t kNone = UpdateRecord::kNone;

MatchKey KeyOfRecord(const std::uint8_t* record) {
    return KeyOf(std::string_view(reinterpret_cast<const char*>(record), RecordLayout::kIdSize));
}
float LatOf(const std::uint8_t* record) { return ReadFloatLE(record + RecordLayout::kLatitude); }
float LonOf(const std::uint8_t* record) { return ReadFloatLE(record + RecordLayout::kLongitude); }

// A record's hash and its place in its file, in 12 bytes (the hash in
// halves, so that nothing pads it): equal hashes sort in file order.
struct Hashed {
    std::uint32_t high, low, index;
    Hashed(std::uint64_t hash, std::uint32_t at)
        : high(static_cast<std::uint32_t>(hash >> 32)),
          low(static_cast<std::uint32_t>(hash)),
          index(at) {}
    auto Hash() const { return std::tie(high, low); }
    bool operator<(const Hashed& h) const {
        return std::tie(high, low, index) < std::tie(h.high, h.low, h.index);
    }
};

// OLD's records kept small, with their hashes, from one read.
Outcome ReadOld(Family family, const DatabaseInput& before, std::vector<UpdateRecord>& records,
                std::vector<Hashed>& hashes) {
    const std::size_t size = RecordSize(family);
    return before.records([&](std::uint64_t index, const std::uint8_t* r) {
        const auto at = static_cast<std::uint32_t>(index);
        records.push_back(
            {at, KeyOfRecord(r), r[RecordLayout::kTypeBlock], false, LatOf(r), LonOf(r), kNone});
        hashes.emplace_back(HashRecord(r, size), at);
    });
}

// Each record paired with a navaid of the same bytes, the i-th of a kind in
// OLD with the i-th in NEW, so that a kept order stays one.
void PairIdentical(std::vector<Hashed> old, const UpdateNavaids& navaids,
                   std::vector<UpdateRecord>& records, std::vector<bool>& taken) {
    std::vector<Hashed> fresh;
    fresh.reserve(navaids.Count());
    for (std::size_t n = 0; n < navaids.Count(); ++n)
        fresh.emplace_back(HashRecord(navaids.Record(n), navaids.Bytes(n).size()),
                           static_cast<std::uint32_t>(n));
    std::sort(old.begin(), old.end());
    std::sort(fresh.begin(), fresh.end());
    for (std::size_t o = 0, n = 0; o < old.size() && n < fresh.size();) {
        if (old[o].Hash() != fresh[n].Hash()) {
            ++(old[o].Hash() < fresh[n].Hash() ? o : n);
            continue;
        }
        records[old[o++].index].partner = fresh[n].index;
        taken[fresh[n++].index] = true;
    }
}

// The records not paired by their bytes, paired as update pairs them.
void PairTheRest(std::vector<UpdateRecord>& records, const UpdateNavaids& navaids, double matchNm,
                 std::vector<bool>& taken) {
    std::vector<UpdateRecord> rest;
    for (const UpdateRecord& record : records)
        if (record.partner == kNone) rest.push_back(record);
    MatchRecords(rest, navaids, matchNm, taken);
    for (const UpdateRecord& record : rest) {
        if (record.partner == kNone) continue;
        records[record.index].partner = record.partner;
        taken[record.partner] = true;
    }
}

std::vector<MatchKey> SortedKeys(std::vector<MatchKey> keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// The places on each side of the keys an unpaired record of the other side
// has: [0] OLD's, for NEW's added records; [1] NEW's, for OLD's removed ones.
void PlacesForUnpaired(const std::vector<UpdateRecord>& records, const UpdateNavaids& navaids,
                       const std::vector<bool>& taken, NearestPlaces (&places)[2]) {
    std::vector<MatchKey> removed, added;
    for (const UpdateRecord& record : records)
        if (record.partner == kNone) removed.push_back(record.key);
    for (std::size_t n = 0; n < navaids.Count(); ++n)
        if (!taken[n]) added.push_back(KeyOfRecord(navaids.Record(n)));
    removed = SortedKeys(std::move(removed));
    added = SortedKeys(std::move(added));
    for (const UpdateRecord& record : records)
        if (std::binary_search(added.begin(), added.end(), record.key))
            places[0].Add(record.key, record.lat, record.lon);
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        const std::uint8_t* r = navaids.Record(n);
        const MatchKey key = KeyOfRecord(r);
        if (std::binary_search(removed.begin(), removed.end(), key))
            places[1].Add(key, LatOf(r), LonOf(r));
    }
    places[0].Seal();
    places[1].Seal();
}

// The length of a longest increasing subsequence of the values fed in, by
// patience: each pile's top is the least end of a subsequence that long.
class LongestIncreasing {
public:
    void Add(std::uint32_t value) {
        const auto pile = std::lower_bound(tops_.begin(), tops_.end(), value);
        if (pile == tops_.end()) {
            tops_.push_back(value);
        } else {
            *pile = value;
        }
    }
    std::size_t Length() const { return tops_.size(); }

private:
    std::vector<std::uint32_t> tops_;
};

// What is read to report OLD's records: the pairing, NEW, and the places
// of the keys the unpaired ones have.
struct Paired {
    Family family;
    const std::vector<UpdateRecord>& records;
    const UpdateNavaids& navaids;
    const NearestPlaces (&places)[2];
};

// OLD's second read: each record unchanged, changed or removed; the
// unchanged ones' partners in OLD's order, for the moves.
Outcome ReportOld(const Paired& paired, const DatabaseInput& before, const ReportSink& report,
                  DiffSummary& summary) {
    const std::size_t size = RecordSize(paired.family);
    LongestIncreasing kept;
    std::uint64_t read = 0;
    const Outcome reread = before.records([&](std::uint64_t index, const std::uint8_t* r) {
        if (++read > paired.records.size()) return;
        const std::uint32_t partner = paired.records[index].partner;
        ReportEvent event{ReportEvent::Kind::Removed, index, std::span(r, size)};
        if (partner == kNone) {
            event.nearestNm = paired.places[1].Nearest(KeyOfRecord(r), LatOf(r), LonOf(r));
        } else if (std::memcmp(r, paired.navaids.Record(partner), size) == 0) {
            ++summary.unchanged;
            kept.Add(partner);
            return;
        } else {
            event.kind = ReportEvent::Kind::Changed;
            event.after = std::span(paired.navaids.Record(partner), size);
            event.changes = ChangedFields(paired.family, r, event.after.data(), AllFields());
        }
        report(event);
    });
    if (!reread) return reread;
    if (read != paired.records.size())
        return Outcome::Failure(before.name, "it changed while it was read");
    summary.moved = summary.unchanged - kept.Length();
    return Outcome::Success();
}

void ReportAdded(const Paired& paired, const std::vector<bool>& taken, const ReportSink& report) {
    const std::size_t size = RecordSize(paired.family);
    for (std::size_t n = 0; n < paired.navaids.Count(); ++n) {
        if (taken[n]) continue;
        const std::uint8_t* r = paired.navaids.Record(n);
        ReportEvent event{ReportEvent::Kind::Added, n, std::span(r, size)};
        event.nearestNm = paired.places[0].Nearest(KeyOfRecord(r), LatOf(r), LonOf(r));
        report(event);
    }
}

}  // namespace

Outcome DiffUnordered(Family family, const DatabaseInput& before, const DatabaseInput& after,
                      double matchNm, const ReportSink& sink, DiffSummary& summary) {
    summary = {};
    const ReportSink report = [&](const ReportEvent& event) {
        summary.Count(event);
        sink(event);
    };
    std::vector<UpdateRecord> records;
    std::vector<Hashed> hashes;
    if (Outcome read = ReadOld(family, before, records, hashes); !read) return read;
    const std::string oldPiece = before.trailing ? *before.trailing : std::string();
    UpdateNavaids navaids(family);
    const Outcome read = after.records([&](std::uint64_t, const std::uint8_t* r) {
        navaids.Add(std::string_view(reinterpret_cast<const char*>(r), RecordSize(family)), 0);
    });
    if (!read) return read;
    const std::string newPiece = after.trailing ? *after.trailing : std::string();
    std::vector<bool> taken(navaids.Count(), false);
    PairIdentical(std::move(hashes), navaids, records, taken);
    PairTheRest(records, navaids, matchNm, taken);
    NearestPlaces places[2];
    PlacesForUnpaired(records, navaids, taken, places);
    const Paired paired{family, records, navaids, places};
    if (Outcome reread = ReportOld(paired, before, report, summary); !reread) return reread;
    ReportAdded(paired, taken, report);
    ReportPieces(oldPiece, records.size(), newPiece, navaids.Count(), report);
    summary.oldRecords = records.size();
    summary.newRecords = navaids.Count();
    return Outcome::Success();
}

}  // namespace navaid
