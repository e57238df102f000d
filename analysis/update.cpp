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
    // Candidates only among records and navaids of one key: few each.
    std::unordered_map<std::string, std::vector<std::size_t>> byKey;
    for (std::size_t n = 0; n < navaids.size(); ++n)
        byKey[MatchKey(std::string_view(navaids[n].record).substr(0, RecordLayout::kIdSize))]
            .push_back(n);
    struct Candidate {
        bool otherType;
        double nm;
        std::size_t record, navaid;
    };
    std::vector<Candidate> candidates;
    for (std::size_t r = 0; r < records.size(); ++r) {
        auto found = byKey.find(records[r].key);
        if (found == byKey.end()) continue;
        for (std::size_t n : found->second) {
            const DecodedRecord navaid = DecodeRecord(
                family, reinterpret_cast<const std::uint8_t*>(navaids[n].record.data()));
            const double nm =
                DistanceNm(records[r].lat, records[r].lon, navaid.latitude, navaid.longitude);
            if (nm <= withinNm)
                candidates.push_back({navaid.typeCode != records[r].typeCode, nm, r, n});
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
