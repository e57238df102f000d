// The record filter of 'navaid find'.
#pragma once

#include <optional>
#include <string>

#include "cli.h"

namespace navaid::cli {

struct FindQuery {
    std::optional<std::string> id;    // upper-cased, trimmed
    std::optional<std::string> name;  // upper-cased, trimmed; matches a part
    std::optional<std::string> type;  // one of the family's type names
    std::optional<double> nearLat, nearLon, withinNm;
};

// Builds the query from the command line; throws UsageError for bad values.
FindQuery MakeFindQuery(const CommandLine& line);
bool Matches(const FindQuery& query, Family family, const DecodedRecord& record);
// The index, a TAB, then the record's list columns with ID and name escaped
// as 'labels' escapes them, so each record stays on one line.
std::string FindLine(Family family, std::uint64_t index, const std::uint8_t* record);

}  // namespace navaid::cli
