#include "update.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <iterator>
#include <tuple>

#include "code_page.h"
#include "navaid_db.h"
#include "nearest.h"

namespace navaid {

namespace {

// Each field's bytes in the record; the type block runs to the record's end.
struct Span {
    std::size_t offset, size;
};
Span SpanOf(Family family, RecordField field) {
    switch (field) {
        case RecordField::Id:
            return {RecordLayout::kId, RecordLayout::kIdSize};
        case RecordField::Name:
            return {RecordLayout::kName, RecordLayout::kNameSize};
        case RecordField::Position:
            return {RecordLayout::kLatitude, 8};
        case RecordField::Freq:
            return {RecordLayout::kFrequency, 4};
        case RecordField::MagVar:
            return {RecordLayout::kMagVar, 4};
        case RecordField::Alt:
            return {RecordLayout::kAltitude, 4};
        case RecordField::Type:
            break;
    }
    return {RecordLayout::kTypeBlock, RecordSize(family) - RecordLayout::kTypeBlock};
}

}  // namespace

MatchKey KeyOf(std::string_view id) {
    const std::string key = UpperCase(TrimWhiteSpace(id));
    MatchKey padded{};
    std::copy(key.begin(), key.begin() + std::min(key.size(), padded.size()), padded.begin());
    return padded;
}

namespace {

// A float's bits as a number in the float's order, NaN after infinity: a
// sort by it is a strict weak order whatever a file holds.
std::uint32_t Ordered(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits & 0x80000000u ? ~bits : bits | 0x80000000u;
}

constexpr double kHuge = 1e300;

// A navaid by its key and place.
struct Place {
    MatchKey key;
    std::uint8_t typeCode;
    float lat, lon;
    std::uint32_t navaid;
};

// Sites are runs of one key, place and type; twins among them in their order.
template <typename T>
auto SiteOrder(const T& p, std::uint32_t n) {
    return std::make_tuple(std::cref(p.key), Ordered(p.lat), Ordered(p.lon), p.typeCode, n);
}
bool SameSite(const auto& a, const auto& b) {
    return a.key == b.key && Ordered(a.lat) == Ordered(b.lat) && Ordered(a.lon) == Ordered(b.lon) &&
           a.typeCode == b.typeCode;
}

// The starts of the sites of items in site order, and their end: site s
// holds the items from starts[s] up to starts[s + 1].
template <typename T>
std::vector<std::uint32_t> SiteStarts(const std::vector<T>& items) {
    std::vector<std::uint32_t> starts;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (i == 0 || !SameSite(items[i - 1], items[i]))
            starts.push_back(static_cast<std::uint32_t>(i));
    starts.push_back(static_cast<std::uint32_t>(items.size()));
    return starts;
}

std::vector<Place> PlacesOf(const UpdateNavaids& navaids, const std::vector<bool>& taken) {
    std::vector<Place> places;
    places.reserve(navaids.Count());
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        if (n < taken.size() && taken[n]) continue;
        const std::uint8_t* r = navaids.Record(n);
        places.push_back(
            {KeyOf(std::string_view(reinterpret_cast<const char*>(r), RecordLayout::kIdSize)),
             r[RecordLayout::kTypeBlock], ReadFloatLE(r + RecordLayout::kLatitude),
             ReadFloatLE(r + RecordLayout::kLongitude), static_cast<std::uint32_t>(n)});
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return SiteOrder(a, a.navaid) < SiteOrder(b, b.navaid);
    });
    return places;
}

// A record site and a navaid site near enough, in 12 bytes: the type's
// difference rides in the record site's top bit, as no database holds 2^31
// records. Same type first, then the closest, then the sites' order.
struct Candidate {
    float nm;
    std::uint32_t otherTypeAndSite, navaidSite;
    std::uint32_t RecordSite() const { return otherTypeAndSite & 0x7fffffffu; }
    bool operator<(const Candidate& c) const {
        const bool other = otherTypeAndSite >> 31, cOther = c.otherTypeAndSite >> 31;
        return std::tie(other, nm, otherTypeAndSite, navaidSite) <
               std::tie(cOther, c.nm, c.otherTypeAndSite, c.navaidSite);
    }
};

// The navaid sites by key, band of latitude and longitude, so that a record
// looks only at the sites of its key in its band and the two beside it, in
// its stretch of longitude: places of one ID along one parallel cost log n
// each, not n. The sites keep their numbers, and the pairs their order.
class SiteBands {
public:
    SiteBands(const std::vector<Place>& places, const std::vector<std::uint32_t>& starts,
              double withinNm)
        : places_(places), starts_(starts), height_(withinNm / 60.0 + 1e-4) {
        for (std::uint32_t s = 0; s + 1 < starts.size(); ++s)
            if (std::fabs(places[starts[s]].lat) < kFar) order_.push_back(s);
        std::sort(order_.begin(), order_.end(), [&](std::uint32_t a, std::uint32_t b) {
            return Position(Of(a)) < Position(Of(b));
        });
    }
    // Calls `visit` with each site of `key` in `band` whose longitude lies in [west, east].
    template <typename Visit>
    void Each(const MatchKey& key, std::int64_t band, double west, double east,
              Visit&& visit) const {
        auto at = std::partition_point(order_.begin(), order_.end(), [&](std::uint32_t s) {
            return Position(Of(s)) <
                   std::tuple<const MatchKey&, std::int64_t, double>(key, band, west);
        });
        for (; at != order_.end(); ++at) {
            const Place& p = Of(*at);
            if (p.key != key || Band(p.lat) != band || p.lon > east) break;
            visit(*at, p);
        }
    }
    std::int64_t Band(double lat) const {
        return static_cast<std::int64_t>(std::floor(lat / height_));
    }
    // Latitudes beyond are no place at all, in a file that holds them.
    static constexpr double kFar = 1e6;

private:
    const Place& Of(std::uint32_t site) const { return places_[starts_[site]]; }
    std::tuple<const MatchKey&, std::int64_t, double> Position(const Place& p) const {
        return {p.key, Band(p.lat), p.lon};
    }
    const std::vector<Place>& places_;
    const std::vector<std::uint32_t>& starts_;
    double height_;
    std::vector<std::uint32_t> order_;
};

// The navaid sites of the record's key near enough to it, as candidates.
void AddCandidates(const SiteBands& bands, std::uint32_t site, const UpdateRecord& record,
                   double withinNm, std::vector<Candidate>& candidates) {
    if (!(std::fabs(record.lat) < SiteBands::kFar)) return;
    const float window = static_cast<float>(withinNm / 60.0 + 1e-4);
    const double reach =
        LongitudeReach(withinNm, std::fabs(record.lat) + window) + 1e-4;  // float's rounding
    auto consider = [&](std::uint32_t navaidSite, const Place& place) {
        if (!(place.lat >= record.lat - window && place.lat <= record.lat + window)) return;
        double apart = std::fabs(static_cast<double>(place.lon) - record.lon);
        if (apart > 180) apart = 360 - apart;
        if (apart > reach) return;
        const double nm = DistanceNm(record.lat, record.lon, place.lat, place.lon);
        if (nm <= withinNm)
            candidates.push_back({static_cast<float>(nm),
                                  site | (place.typeCode != record.typeCode ? 0x80000000u : 0),
                                  navaidSite});
    };
    // The stretches of longitude, across 180 where it reaches past; the
    // navaids' longitudes are in range, a record's may not be.
    const double lon = record.lon;
    std::vector<std::pair<double, double>> stretches;
    if (reach >= 180 || !(std::fabs(lon) <= 180)) {
        stretches.push_back({-kHuge, kHuge});
    } else {
        stretches.push_back({lon - reach, lon + reach});
        if (lon - reach < -180) stretches.push_back({lon - reach + 360, kHuge});
        if (lon + reach > 180) stretches.push_back({-kHuge, lon + reach - 360});
    }
    const std::int64_t band = bands.Band(record.lat);
    for (std::int64_t b = band - 1; b <= band + 1; ++b)
        for (const auto& [west, east] : stretches) bands.Each(record.key, b, west, east, consider);
}

// The next twin after item i of its site, or kNone: where sites end is
// told by their items, so that each site's start can be its cursor.
template <typename T>
std::uint32_t NextTwin(const std::vector<T>& items, std::uint32_t i) {
    return i + 1 < items.size() && SameSite(items[i], items[i + 1]) ? i + 1 : UpdateRecord::kNone;
}

// Pairs as many twins of each candidate's two sites as both have left,
// giving each record the navaid site; the starts become the sites' first
// items not yet paired.
void Pair(std::vector<UpdateRecord>& records, std::vector<std::uint32_t>& recordNext,
          const std::vector<Place>& places, std::vector<std::uint32_t>& navaidNext,
          const std::vector<Candidate>& candidates) {
    constexpr std::uint32_t kNone = UpdateRecord::kNone;
    for (const Candidate& c : candidates) {
        std::uint32_t& r = recordNext[c.RecordSite()];
        std::uint32_t& n = navaidNext[c.navaidSite];
        for (; r != kNone && n != kNone; r = NextTwin(records, r), n = NextTwin(places, n))
            records[r].partner = c.navaidSite;
    }
}

// The twins of each navaid site go to the records it pairs with in the
// records' order, as the next run, finding those records at one place,
// pairs them: so that it finds nothing to change. `records` are in index order.
void GiveTwinsInOrder(std::vector<UpdateRecord>& records, const std::vector<Place>& places) {
    std::vector<std::uint32_t> next = SiteStarts(places);
    for (UpdateRecord& record : records)
        if (record.partner != UpdateRecord::kNone)
            record.partner = places[next[record.partner]++].navaid;
}

}  // namespace

void MatchRecords(std::vector<UpdateRecord>& records, const UpdateNavaids& navaids, double withinNm,
                  const std::vector<bool>& taken) {
    std::sort(records.begin(), records.end(), [](const UpdateRecord& a, const UpdateRecord& b) {
        return SiteOrder(a, a.index) < SiteOrder(b, b.index);
    });
    std::vector<std::uint32_t> recordStarts = SiteStarts(records);
    const std::vector<Place> places = PlacesOf(navaids, taken);
    std::vector<std::uint32_t> navaidStarts = SiteStarts(places);
    std::vector<Candidate> candidates;
    const std::size_t sites = recordStarts.size() - 1;
    // Mostly one each, and a few more: room for them without doubling.
    candidates.reserve(sites + sites / 4);
    {
        const SiteBands bands(places, navaidStarts, withinNm);
        for (std::uint32_t s = 0; s < sites; ++s)
            AddCandidates(bands, s, records[recordStarts[s]], withinNm, candidates);
    }
    std::sort(candidates.begin(), candidates.end());
    for (UpdateRecord& record : records) record.partner = UpdateRecord::kNone;
    Pair(records, recordStarts, places, navaidStarts, candidates);
    std::vector<Candidate>().swap(candidates);
    std::sort(records.begin(), records.end(),
              [](const UpdateRecord& a, const UpdateRecord& b) { return a.index < b.index; });
    GiveTwinsInOrder(records, places);
}

RecordUpdate UpdateRecordFrom(Family family, const std::uint8_t* stored,
                              const UpdateNavaids& navaids, std::size_t navaid,
                              const std::vector<RecordField>& fields) {
    const std::uint8_t unstated = navaids.Unstated(navaid);
    // What the newer file does not state is neither compared nor changed.
    std::vector<RecordField> stated;
    for (RecordField field : fields) {
        if (field == RecordField::MagVar && (unstated & kUnstatedMagVar)) continue;
        if (field == RecordField::Alt && (family == Family::Ndb || (unstated & kUnstatedAltitude)))
            continue;
        stated.push_back(field);
    }
    const std::uint8_t* newer = navaids.Record(navaid);
    RecordUpdate update{ChangedFields(family, stored, newer, stated),
                        std::string(reinterpret_cast<const char*>(stored), RecordSize(family))};
    for (const FieldChange& change : update.changes) {
        const Span span = SpanOf(family, change.field);
        update.updated.replace(span.offset, span.size, navaids.Bytes(navaid), span.offset,
                               span.size);
    }
    return update;
}

namespace {

// The records that take part, small, and those just outside the circle
// that a navaid inside may be paired with; the others stay as they are.
Outcome TakingPart(DatabaseFile& database, const UpdateSettings& settings,
                   std::vector<UpdateRecord>& records) {
    const Family family = database.RecordFamily();
    const std::optional<Circle> pairing = PairingCircle(settings);
    records.reserve(database.Count());
    return database.ForEach([&](std::uint64_t index, const std::uint8_t* r) {
        const DecodedRecord d = DecodeRecord(family, r);
        if (Inside(pairing, d.latitude, d.longitude) || KeyTakesPart(settings, d.id))
            records.push_back({static_cast<std::uint32_t>(index), KeyOf(d.id), d.typeCode,
                               !Inside(settings.near, d.latitude, d.longitude), d.latitude,
                               d.longitude, UpdateRecord::kNone});
    });
}

// The navaids nobody pairs with and the circle holds: new, in the newer file's order.
std::vector<bool> NewNavaids(const UpdateNavaids& navaids, const std::vector<UpdateRecord>& records,
                             const std::optional<Circle>& near) {
    std::vector<bool> fresh(navaids.Count(), true);
    for (const UpdateRecord& record : records)
        if (record.partner != UpdateRecord::kNone) fresh[record.partner] = false;
    for (std::size_t n = 0; n < navaids.Count() && near; ++n) {
        const std::uint8_t* r = navaids.Record(n);
        if (!Inside(near, ReadFloatLE(r + RecordLayout::kLatitude),
                    ReadFloatLE(r + RecordLayout::kLongitude)))
            fresh[n] = false;
    }
    return fresh;
}

// Whether the navaid lies less than `minMoveNm` from the stored record,
// though not at its place. A distance that is no number is a move.
bool SmallMove(const std::uint8_t* stored, const std::uint8_t* newer, double minMoveNm) {
    if (minMoveNm <= 0 ||
        std::memcmp(stored + RecordLayout::kLatitude, newer + RecordLayout::kLatitude, 8) == 0)
        return false;
    auto at = [](const std::uint8_t* r, std::size_t offset) { return ReadFloatLE(r + offset); };
    return DistanceNm(at(stored, RecordLayout::kLatitude), at(stored, RecordLayout::kLongitude),
                      at(newer, RecordLayout::kLatitude),
                      at(newer, RecordLayout::kLongitude)) < minMoveNm;
}

// A record that takes part, paired with `navaid` or none: withdrawn,
// unchanged or changed, reported and counted.
struct Judge {
    Family family;
    const UpdateNavaids& navaids;
    const UpdateSettings& settings;
    const ReportSink& report;
    UpdateSummary& summary;
    const NearestPlaces* navaidPlaces;  // when withdrawn records are told the nearest
    std::vector<RecordField> withoutPosition = {};
    std::string updated = {};

    RecordFate operator()(std::uint64_t index, const std::uint8_t* record, std::uint32_t navaid) {
        ++summary.compared;
        const std::span<const std::uint8_t> bytes(record, RecordSize(family));
        if (navaid == UpdateRecord::kNone) return Withdrawn(index, bytes);
        const bool small = withoutPosition.size() < settings.fields.size() &&
                           SmallMove(record, navaids.Record(navaid), settings.minMoveNm);
        summary.smallMoves += small;
        RecordUpdate update = UpdateRecordFrom(family, record, navaids, navaid,
                                               small ? withoutPosition : settings.fields);
        if (update.changes.empty()) {
            ++summary.unchanged;
            return {};
        }
        ++summary.changed;
        updated = std::move(update.updated);
        report({ReportEvent::Kind::Changed, index, bytes,
                std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()),
                std::move(update.changes)});
        return {RecordFate::Replace, updated};
    }

    RecordFate Withdrawn(std::uint64_t index, std::span<const std::uint8_t> bytes) {
        ++summary.withdrawn;
        ReportEvent event{ReportEvent::Kind::Removed, index, bytes};
        if (navaidPlaces) {
            const DecodedRecord d = DecodeRecord(family, bytes.data());
            event.nearestNm = navaidPlaces->Nearest(KeyOf(d.id), d.latitude, d.longitude);
        }
        report(event);
        return settings.removeWithdrawn ? RecordFate{RecordFate::Drop, {}} : RecordFate{};
    }
};

// The places of the navaids or of the records, by key, for the nearest of each.
NearestPlaces NearestOf(const UpdateNavaids& navaids) {
    NearestPlaces places;
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        const std::uint8_t* r = navaids.Record(n);
        places.Add(KeyOf(std::string_view(reinterpret_cast<const char*>(r), RecordLayout::kIdSize)),
                   ReadFloatLE(r + RecordLayout::kLatitude),
                   ReadFloatLE(r + RecordLayout::kLongitude));
    }
    places.Seal();
    return places;
}
NearestPlaces NearestOf(const std::vector<UpdateRecord>& records) {
    NearestPlaces places;
    for (const UpdateRecord& record : records) places.Add(record.key, record.lat, record.lon);
    places.Seal();
    return places;
}

// The new navaids, counted and reported in the newer file's order.
void ReportNew(Family family, const UpdateNavaids& navaids, const std::vector<bool>& fresh,
               const NearestPlaces* recordPlaces, const ReportSink& report,
               UpdateSummary& summary) {
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        if (!fresh[n]) continue;
        ++summary.added;
        ReportEvent event{ReportEvent::Kind::Added, std::nullopt,
                          std::span(navaids.Record(n), RecordSize(family))};
        if (recordPlaces) {
            const DecodedRecord d = DecodeRecord(family, navaids.Record(n));
            event.nearestNm = recordPlaces->Nearest(KeyOf(d.id), d.latitude, d.longitude);
        }
        report(event);
    }
}

// The new navaids handed on in pieces, so that they are never held twice.
Outcome AppendNew(const UpdateNavaids& navaids, const std::vector<bool>& fresh,
                  const RecordAppender& append) {
    std::string piece;
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        if (!fresh[n]) continue;
        piece += navaids.Bytes(n);
        if (piece.size() < 65536) continue;
        if (Outcome written = append(piece); !written) return written;
        piece.clear();
    }
    return piece.empty() ? Outcome::Success() : append(piece);
}

}  // namespace

std::optional<Circle> PairingCircle(const UpdateSettings& settings) {
    if (!settings.near) return std::nullopt;
    return Circle{settings.near->lat, settings.near->lon,
                  settings.near->nm + settings.matchWithinNm};
}

Outcome FindInsideKeys(DatabaseFile& database, UpdateSettings& settings) {
    std::vector<MatchKey>& keys = settings.insideKeys;
    keys.clear();
    if (!settings.near) return Outcome::Success();
    const Family family = database.RecordFamily();
    const Outcome read = database.ForEach([&](std::uint64_t, const std::uint8_t* r) {
        const DecodedRecord d = DecodeRecord(family, r);
        if (Inside(settings.near, d.latitude, d.longitude)) keys.push_back(KeyOf(d.id));
    });
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return read;
}

bool KeyTakesPart(const UpdateSettings& settings, std::string_view id) {
    return std::binary_search(settings.insideKeys.begin(), settings.insideKeys.end(), KeyOf(id));
}

Outcome Update(DatabaseFile& database, const UpdateNavaids& navaids, const UpdateSettings& settings,
               const std::string* workingCopy, const ReportSink& report, UpdateSummary& summary) {
    const Family family = database.RecordFamily();
    const std::size_t size = RecordSize(family);
    std::vector<UpdateRecord> records;
    if (Outcome read = TakingPart(database, settings, records); !read) return read;
    MatchRecords(records, navaids, settings.matchWithinNm);
    summary = {};

    std::optional<NearestPlaces> navaidPlaces, recordPlaces;
    if (settings.nearest) navaidPlaces = NearestOf(navaids), recordPlaces = NearestOf(records);
    std::size_t next = 0;  // the next record that takes part
    Judge judge{family, navaids, settings,
                report, summary, navaidPlaces ? &*navaidPlaces : nullptr};
    std::copy_if(settings.fields.begin(), settings.fields.end(),
                 std::back_inserter(judge.withoutPosition),
                 [](RecordField field) { return field != RecordField::Position; });
    auto visit = [&](std::uint64_t index, const std::uint8_t* record) -> RecordFate {
        if (next == records.size() || records[next].index != index) return {};
        if (records[next].outside) return ++next, RecordFate{};
        return judge(index, record, records[next++].partner);
    };
    const std::vector<bool> fresh = NewNavaids(navaids, records, settings.near);
    auto appendNew = [&](const RecordAppender& append) {
        return settings.addNew ? AppendNew(navaids, fresh, append) : Outcome::Success();
    };
    // A dry run reads the records the rewrite would, and reports the same.
    auto rewrite = [&](io::File& file) {
        return RewriteRecords(file, *workingCopy, size, visit, appendNew);
    };
    auto dryRun = [&](std::uint64_t index, const std::uint8_t* record) { visit(index, record); };
    const Outcome written =
        workingCopy ? database.CopyWith(rewrite) : database.Unchanged(database.ForEach(dryRun));
    if (!written) return written;
    ReportNew(family, navaids, fresh, recordPlaces ? &*recordPlaces : nullptr, report, summary);
    return Outcome::Success();
}

}  // namespace navaid
