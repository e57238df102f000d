// A small CSV reader for the imports: commas, double-quoted fields with
// doubled quotes, LF, CR LF or CR line ends.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "line_reader.h"

namespace navaid {

struct CsvRow {
    std::size_t line;  // the line the row starts on, counting from 1
    std::vector<std::string> fields;
};

// Splits the whole text into rows; blank lines are skipped and a leading
// UTF-8 byte-order mark is dropped. On a malformed text returns what is
// wrong and on which line of the text (no file named), and no rows.
Outcome ReadCsv(std::string_view text, std::vector<CsvRow>& rows);

// Where each of `names` stands in the header row (-1 for a name it lacks),
// each cell first put in the names' form by `normalize`. With `problem`,
// the first cell that is none of the names, or a name again, is described
// there; without, such cells are passed over.
std::vector<int> HeaderColumns(const CsvRow& header, const std::vector<std::string_view>& names,
                               std::string (*normalize)(std::string_view cell),
                               std::string* problem = nullptr);

// CSV rows read a line at a time: a row whose quoted field holds line ends
// takes the lines it needs. Blank rows (white space alone) are passed over.
class CsvRowReader {
public:
    explicit CsvRowReader(LineReader& lines) : lines_(lines) {}
    // The next row; `got` false at the end. A malformed row is a failure at its line.
    Outcome Next(const std::string& path, CsvRow& row, bool& got);

private:
    LineReader& lines_;
    std::string text_;
};

}  // namespace navaid
