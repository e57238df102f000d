// Keeping a database current with newer data: which record is which newer
// navaid (the same ID, near enough), and what of it changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo.h"
#include "record_changes.h"
#include "records.h"

namespace navaid {

// A record of the database that takes part, kept small: its place and key.
struct UpdateRecord {
    std::uint64_t index;
    std::string key;  // the ID trimmed and upper-cased, as stored
    float lat, lon;
    std::uint8_t typeCode;
};

// A navaid of the newer file, encoded as an import stores it.
struct UpdateNavaid {
    std::string record;  // RecordSize bytes
    std::uint8_t unstated = 0;
};

// Pairs of one record and one navaid of the same key at most `withinNm`
// apart: pairs of the same type first, then the closest, ties by record
// index and then by the navaid's order; each in at most one pair. The
// result gives, for each record (by its position in `records`), the navaid
// it pairs with, or -1.
std::vector<long long> MatchRecords(Family family, const std::vector<UpdateRecord>& records,
                                    const std::vector<UpdateNavaid>& navaids, double withinNm);

// The fields of `fields` the navaid states that differ from the stored
// record, and the record with them taken from the navaid.
struct RecordUpdate {
    std::vector<FieldChange> changes;
    std::string updated;
};
RecordUpdate UpdateRecordFrom(Family family, const std::uint8_t* stored, const UpdateNavaid& navaid,
                              const std::vector<RecordField>& fields);

// The key a record or navaid is matched by.
std::string MatchKey(std::string_view id);

}  // namespace navaid
