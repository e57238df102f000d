// What changed between two records of a family, field by field, as diff and
// update report it: "freq 114.2 -> 114.35", numbers with the digits that
// give the stored value back.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records.h"

namespace navaid {

// The fields by the names update's --fields takes.
enum class RecordField { Position, Freq, MagVar, Alt, Type, Name, Id };

struct FieldChange {
    RecordField field;
    std::string text;  // "lat 50.03 -> 50.04, lon 8.57 -> 8.6 (0.6 NM)", "freq 114.2 -> 114.35"
};

// The fields of `fields` whose stored bytes differ between the two records.
std::vector<FieldChange> ChangedFields(Family family, const std::uint8_t* before,
                                       const std::uint8_t* after,
                                       const std::vector<RecordField>& fields);

// One field's value as a report gives it: ID and name trimmed, as stored;
// numbers with the digits above, a position as "lat,lon"; the type's name.
std::string FieldValue(Family family, const DecodedRecord& record, RecordField field);
// A field's name as update's --fields takes it ("position", "freq").
const char* FieldName(RecordField field);

// Every field, in the record's order.
const std::vector<RecordField>& AllFields();

// "id A -> B, freq 1 -> 2"
std::string ChangesText(const std::vector<FieldChange>& changes);

}  // namespace navaid
