#include "update.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "code_page.h"

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

std::string MatchKey(std::string_view id) { return UpperCase(TrimWhiteSpace(id)); }

std::vector<long long> MatchRecords(Family family, const std::vector<UpdateRecord>& records,
                                    const std::vector<UpdateNavaid>& navaids, double withinNm) {
    // Candidates only among navaids of the record's key whose latitude lies
    // near enough: one ID may stand a thousand times worldwide.
    struct Place {
        float lat, lon;
        std::uint8_t typeCode;
        std::size_t navaid;
    };
    std::unordered_map<std::string, std::vector<Place>> byKey;
    for (std::size_t n = 0; n < navaids.size(); ++n) {
        const DecodedRecord r =
            DecodeRecord(family, reinterpret_cast<const std::uint8_t*>(navaids[n].record.data()));
        byKey[MatchKey(r.id)].push_back({r.latitude, r.longitude, r.typeCode, n});
    }
    for (auto& [key, places] : byKey)
        std::sort(places.begin(), places.end(),
                  [](const Place& a, const Place& b) { return a.lat < b.lat; });
    struct Candidate {
        bool otherType;
        double nm;
        std::size_t record, navaid;
    };
    std::vector<Candidate> candidates;
    const float window = static_cast<float>(withinNm / 60.0 + 1e-4);
    for (std::size_t r = 0; r < records.size(); ++r) {
        auto found = byKey.find(records[r].key);
        if (found == byKey.end()) continue;
        const std::vector<Place>& places = found->second;
        auto place = std::lower_bound(places.begin(), places.end(), records[r].lat - window,
                                      [](const Place& p, float lat) { return p.lat < lat; });
        for (; place != places.end() && place->lat <= records[r].lat + window; ++place) {
            const double nm = DistanceNm(records[r].lat, records[r].lon, place->lat, place->lon);
            if (nm <= withinNm)
                candidates.push_back(
                    {place->typeCode != records[r].typeCode, nm, r, place->navaid});
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return std::tie(a.otherType, a.nm, a.record, a.navaid) <
               std::tie(b.otherType, b.nm, b.record, b.navaid);
    });
    std::vector<long long> partner(records.size(), -1);
    std::vector<bool> taken(navaids.size(), false);
    for (const Candidate& c : candidates) {
        if (partner[c.record] >= 0 || taken[c.navaid]) continue;
        partner[c.record] = static_cast<long long>(c.navaid);
        taken[c.navaid] = true;
    }
    return partner;
}

RecordUpdate UpdateRecordFrom(Family family, const std::uint8_t* stored, const UpdateNavaid& navaid,
                              const std::vector<RecordField>& fields) {
    // What the newer file does not state is neither compared nor changed.
    std::vector<RecordField> stated;
    for (RecordField field : fields) {
        if (field == RecordField::MagVar && (navaid.unstated & kUnstatedMagVar)) continue;
        if (field == RecordField::Alt &&
            (family == Family::Ndb || (navaid.unstated & kUnstatedAltitude)))
            continue;
        stated.push_back(field);
    }
    const auto* newer = reinterpret_cast<const std::uint8_t*>(navaid.record.data());
    RecordUpdate update{ChangedFields(family, stored, newer, stated),
                        std::string(reinterpret_cast<const char*>(stored), RecordSize(family))};
    for (const FieldChange& change : update.changes) {
        const Span span = SpanOf(family, change.field);
        update.updated.replace(span.offset, span.size, navaid.record, span.offset, span.size);
    }
    return update;
}

}  // namespace navaid
