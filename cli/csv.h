// A small CSV reader for 'navaid import': commas, double-quoted fields with
// doubled quotes, LF or CR LF line ends.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace navaid::cli {

struct CsvRow {
    std::size_t line;  // the line the row starts on, counting from 1
    std::vector<std::string> fields;
};

// Splits the whole text into rows; blank lines are skipped and a leading
// UTF-8 byte-order mark is dropped. On a malformed text returns the message
// ("line N: ...") and no rows.
std::optional<std::string> ParseCsv(std::string_view text, std::vector<CsvRow>& rows);

}  // namespace navaid::cli
