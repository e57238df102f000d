// diff --unordered: the records of two databases paired whatever their order,
// as update pairs a database with a newer file's navaids.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "diff.h"
#include "edit_script.h"
#include "geo.h"
#include "update.h"

namespace navaid {

namespace {

constexpr std::uint32_t kNone = UpdateRecord::kNone;

MatchKey KeyOfRecord(const std::uint8_t* record) {
    return KeyOf(std::string_view(reinterpret_cast<const char*>(record), RecordLayout::kIdSize));
}
float LatOf(const std::uint8_t* record) { return ReadFloatLE(record + RecordLayout::kLatitude); }
float LonOf(const std::uint8_t* record) { return ReadFloatLE(record + RecordLayout::kLongitude); }

// A record's hash and its place in its file: equal hashes sort in file order.
struct Hashed {
    std::uint64_t hash;
    std::uint32_t index;
    bool operator<(const Hashed& h) const {
        return std::tie(hash, index) < std::tie(h.hash, h.index);
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
        hashes.push_back({HashRecord(r, size), at});
    });
}

// Each record paired with a navaid of the same bytes, the i-th of a kind in
// OLD with the i-th in NEW, so that a kept order stays one.
void PairIdentical(std::vector<Hashed> old, const UpdateNavaids& navaids,
                   std::vector<UpdateRecord>& records, std::vector<bool>& taken) {
    std::vector<Hashed> fresh;
    fresh.reserve(navaids.Count());
    for (std::size_t n = 0; n < navaids.Count(); ++n)
        fresh.push_back({HashRecord(navaids.Record(n), navaids.Bytes(n).size()),
                         static_cast<std::uint32_t>(n)});
    std::sort(old.begin(), old.end());
    std::sort(fresh.begin(), fresh.end());
    for (std::size_t o = 0, n = 0; o < old.size() && n < fresh.size();) {
        if (old[o].hash != fresh[n].hash) {
            ++(old[o].hash < fresh[n].hash ? o : n);
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

// The places of some keys on one side, for the nearest of a key to a place.
// Places out of range have no distance and are left out.
class NearestOfKey {
public:
    void Add(const MatchKey& key, float lat, float lon) {
        if (PositionInRange(lat, lon)) points_.push_back({key, lat, lon});
    }
    void Sort() {
        std::sort(points_.begin(), points_.end());
        points_.erase(std::unique(points_.begin(), points_.end()), points_.end());
    }
    std::optional<double> Nearest(const MatchKey& key, float lat, float lon) const;

private:
    struct Point {
        MatchKey key;
        float lat, lon;
        auto operator<=>(const Point&) const = default;
    };
    std::vector<Point> points_;
};

// Outwards from the latitude in both directions, until a degree of latitude
// (60 NM and a little) alone is farther than the nearest found.
std::optional<double> NearestOfKey::Nearest(const MatchKey& key, float lat, float lon) const {
    std::optional<double> best;
    if (!PositionInRange(lat, lon)) return best;
    const auto from = std::lower_bound(points_.begin(), points_.end(), Point{key, lat, -1000});
    auto look = [&](const Point& p) {
        if (p.key != key || (best && std::fabs(static_cast<double>(p.lat) - lat) * 60.0 > *best))
            return false;
        const double nm = DistanceNm(lat, lon, p.lat, p.lon);
        if (!best || nm < *best) best = nm;
        return true;
    };
    for (auto p = from; p != points_.end() && look(*p); ++p) {
    }
    for (auto p = from; p != points_.begin() && look(*(p - 1)); --p) {
    }
    return best;
}

std::vector<MatchKey> SortedKeys(std::vector<MatchKey> keys) {
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

// The places on each side of the keys an unpaired record of the other side
// has: [0] OLD's, for NEW's added records; [1] NEW's, for OLD's removed ones.
void PlacesForUnpaired(const std::vector<UpdateRecord>& records, const UpdateNavaids& navaids,
                       const std::vector<bool>& taken, NearestOfKey (&places)[2]) {
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
    places[0].Sort();
    places[1].Sort();
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
    const NearestOfKey (&places)[2];
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
    NearestOfKey places[2];
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
