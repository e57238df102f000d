#include "find.h"

#include <algorithm>
#include <vector>

#include "code_page.h"
#include "navaid_db.h"
#include "text.h"

namespace navaid {

namespace {

std::string Normalized(std::string_view text) { return UpperCase(TrimWhiteSpace(text)); }

}  // namespace

bool Matches(const FindQuery& query, Family family, const DecodedRecord& record) {
    if (query.id && Normalized(record.id) != *query.id) return false;
    if (query.name && Normalized(record.name).find(*query.name) == std::string::npos) {
        return false;
    }
    if (query.type && *query.type != TypeText(family, record.typeCode)) return false;
    return Inside(query.near, record.latitude, record.longitude);
}

std::string RecordLine(Family family, std::uint64_t index, const std::uint8_t* record) {
    // The list line of the record with blank ID and name gives the number and
    // type columns exactly as the list writes them.
    std::vector<std::uint8_t> blank(record, record + RecordSize(family));
    std::fill(blank.begin(), blank.begin() + kLabelSize, ' ');
    std::string columns = ListRecordLine(family, blank.data());
    columns = columns.substr(kLabelSize + 2, columns.size() - kLabelSize - 4);
    auto text = [&](std::size_t offset, std::size_t size) {
        return EscapeBytes(std::string_view(reinterpret_cast<const char*>(record) + offset, size));
    };
    return std::to_string(index) + '\t' + text(RecordLayout::kId, RecordLayout::kIdSize) + ',' +
           text(RecordLayout::kName, RecordLayout::kNameSize) + ',' + columns;
}

}  // namespace navaid
