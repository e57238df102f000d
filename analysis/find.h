// The record filter of 'navaid find' (and of import's --near), and the line
// by which find and diff show a record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "geo.h"
#include "records.h"

namespace navaid {

struct FindQuery {
    std::optional<std::string> id;    // upper-cased, trimmed
    std::optional<std::string> name;  // upper-cased, trimmed; matches a part
    std::optional<std::string> type;  // one of the family's type names
    std::optional<Circle> near;
};

bool Matches(const FindQuery& query, Family family, const DecodedRecord& record);

// The index, a TAB, then the record's list columns with ID and name escaped
// as 'labels' escapes them, so each record stays on one line.
std::string RecordLine(Family family, std::uint64_t index, const std::uint8_t* record);

}  // namespace navaid
