#include "update.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <unordered_map>

#include "code_page.h"
#include "navaid_db.h"

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

std::vector<long long> MatchRecords(const std::vector<UpdateRecord>& records,
                                    const UpdateNavaids& navaids, double withinNm) {
    // Candidates only among navaids of the record's key whose latitude lies
    // near enough: one ID may stand a thousand times worldwide.
    struct Place {
        MatchKey key;
        std::uint8_t typeCode;
        float lat, lon;
        std::uint32_t navaid;
    };
    std::vector<Place> places;
    places.reserve(navaids.Count());
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        const std::uint8_t* r = navaids.Record(n);
        places.push_back(
            {KeyOf(std::string_view(reinterpret_cast<const char*>(r), RecordLayout::kIdSize)),
             r[RecordLayout::kTypeBlock], ReadFloatLE(r + RecordLayout::kLatitude),
             ReadFloatLE(r + RecordLayout::kLongitude), static_cast<std::uint32_t>(n)});
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        return std::tie(a.key, a.lat, a.navaid) < std::tie(b.key, b.lat, b.navaid);
    });
    // 12 bytes: the type's difference rides in the record index's top bit,
    // as no database holds 2^31 records.
    struct Candidate {
        float nm;
        std::uint32_t otherTypeAndRecord, navaid;
        std::uint32_t Record() const { return otherTypeAndRecord & 0x7fffffffu; }
    };
    constexpr std::uint32_t kOtherType = 0x80000000u;
    std::vector<Candidate> candidates;
    // Mostly one each, and a few more: room for them without doubling.
    candidates.reserve(records.size() + records.size() / 4);
    const float window = static_cast<float>(withinNm / 60.0 + 1e-4);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const UpdateRecord& record = records[r];
        auto place = std::lower_bound(
            places.begin(), places.end(), record, [&](const Place& p, const UpdateRecord& rec) {
                return std::tie(p.key, p.lat) < std::make_tuple(rec.key, rec.lat - window);
            });
        const double reach =
            LongitudeReach(withinNm, std::fabs(record.lat) + window) + 1e-4;  // float's rounding
        for (;
             place != places.end() && place->key == record.key && place->lat <= record.lat + window;
             ++place) {
            double apart = std::fabs(static_cast<double>(place->lon) - record.lon);
            if (apart > 180) apart = 360 - apart;
            if (apart > reach) continue;
            const double nm = DistanceNm(record.lat, record.lon, place->lat, place->lon);
            if (nm <= withinNm)
                candidates.push_back({static_cast<float>(nm),
                                      static_cast<std::uint32_t>(r) |
                                          (place->typeCode != record.typeCode ? kOtherType : 0),
                                      place->navaid});
        }
    }
    // The places are done with: their memory goes before the pairing's.
    std::vector<Place>().swap(places);
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        const bool aOther = a.otherTypeAndRecord & kOtherType,
                   bOther = b.otherTypeAndRecord & kOtherType;
        return std::make_tuple(aOther, a.nm, a.Record(), a.navaid) <
               std::make_tuple(bOther, b.nm, b.Record(), b.navaid);
    });
    std::vector<long long> partner(records.size(), -1);
    std::vector<bool> taken(navaids.Count(), false);
    for (const Candidate& c : candidates) {
        if (partner[c.Record()] >= 0 || taken[c.navaid]) continue;
        partner[c.Record()] = c.navaid;
        taken[c.navaid] = true;
    }
    return partner;
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

// The records that take part, small: those outside the circle stay as they are.
Outcome TakingPart(DatabaseFile& database, const std::optional<Circle>& near,
                   std::vector<UpdateRecord>& records) {
    const Family family = database.RecordFamily();
    records.reserve(database.Count());
    return database.ForEach([&](std::uint64_t index, const std::uint8_t* r) {
        const DecodedRecord d = DecodeRecord(family, r);
        if (Inside(near, d.latitude, d.longitude))
            records.push_back({static_cast<std::uint32_t>(index), KeyOf(d.id), d.typeCode,
                               d.latitude, d.longitude});
    });
}

}  // namespace

Outcome Update(DatabaseFile& database, const UpdateNavaids& navaids, const UpdateSettings& settings,
               const std::string* workingCopy, const ReportSink& report, UpdateSummary& summary) {
    const Family family = database.RecordFamily();
    const std::size_t size = RecordSize(family);
    std::vector<UpdateRecord> records;
    if (Outcome read = TakingPart(database, settings.near, records); !read) return read;
    const std::vector<long long> partner = MatchRecords(records, navaids, settings.matchWithinNm);
    summary = {};
    summary.compared = records.size();

    std::size_t next = 0;  // the next record that takes part
    std::string updated;
    auto visit = [&](std::uint64_t index, const std::uint8_t* record) -> RecordFate {
        if (next == records.size() || records[next].index != index) return {};
        const long long navaid = partner[next++];
        const std::span<const std::uint8_t> bytes(record, size);
        if (navaid < 0) {
            ++summary.withdrawn;
            report({ReportEvent::Kind::Removed, index, bytes});
            return settings.removeWithdrawn ? RecordFate{RecordFate::Drop, {}} : RecordFate{};
        }
        RecordUpdate update = UpdateRecordFrom(family, record, navaids, navaid, settings.fields);
        if (update.changes.empty()) {
            ++summary.unchanged;
            return {};
        }
        ++summary.changed;
        updated = std::move(update.updated);
        report({ReportEvent::Kind::Changed, index, bytes,
                std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), size),
                std::move(update.changes)});
        return {RecordFate::Replace, updated};
    };
    // The navaids nobody pairs with are new, in the newer file's order.
    std::vector<bool> paired(navaids.Count(), false);
    for (long long n : partner)
        if (n >= 0) paired[n] = true;
    // Handed on in pieces, so that the new records are never held twice.
    auto appendNew = [&](const RecordAppender& append) {
        if (!settings.addNew) return Outcome::Success();
        std::string piece;
        for (std::size_t n = 0; n < navaids.Count(); ++n) {
            if (paired[n]) continue;
            piece += navaids.Bytes(n);
            if (piece.size() < 65536) continue;
            if (Outcome written = append(piece); !written) return written;
            piece.clear();
        }
        return piece.empty() ? Outcome::Success() : append(piece);
    };
    // A dry run reads the records the rewrite would, and reports the same.
    auto rewrite = [&](io::File& file) {
        return RewriteRecords(file, *workingCopy, size, visit, appendNew);
    };
    auto dryRun = [&](std::uint64_t index, const std::uint8_t* record) { visit(index, record); };
    const Outcome written =
        workingCopy ? database.CopyWith(rewrite) : database.Unchanged(database.ForEach(dryRun));
    if (!written) return written;
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        if (paired[n]) continue;
        ++summary.added;
        report({ReportEvent::Kind::Added, std::nullopt, std::span(navaids.Record(n), size)});
    }
    return Outcome::Success();
}

}  // namespace navaid
