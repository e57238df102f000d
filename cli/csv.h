// A small CSV reader for 'navaid import': commas, double-quoted fields with
// doubled quotes, LF or CR LF line ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace navaid::cli {

struct CsvRow {
    std::size_t line;  // the line the row starts on, counting from 1
    std::vector<std::string> fields;
};

// What is wrong with a malformed text, and on which line.
struct CsvError {
    std::size_t line;
    std::string what;
};

// Splits the whole text into rows; blank lines are skipped and a leading
// UTF-8 byte-order mark is dropped. On a malformed text returns the error
// and no rows.
std::optional<CsvError> ReadCsv(std::string_view text, std::vector<CsvRow>& rows);

// ReadCsv with the error as one message: "line N: ...".
std::optional<std::string> ParseCsv(std::string_view text, std::vector<CsvRow>& rows);

}  // namespace navaid::cli
