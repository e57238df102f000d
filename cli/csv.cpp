#include "csv.h"

namespace navaid::cli {

std::optional<std::string> ParseCsv(std::string_view text, std::vector<CsvRow>& rows) {
    rows.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvRow row{line, {}};
        const std::size_t rowStart = i;
        std::string field;
        bool rowDone = false;
        while (!rowDone) {
            field.clear();
            if (i < text.size() && text[i] == '"') {
                const std::size_t openLine = line;
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        rows.clear();
                        return "line " + std::to_string(openLine) +
                               ": a quoted field is not closed";
                    }
                    char c = text[i++];
                    if (c == '"') {
                        if (i < text.size() && text[i] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n') ++line;
                    field += c;
                }
                // After the closing quote only a separator or the line end may follow.
                if (i < text.size() && text[i] == '\r' && i + 1 < text.size() &&
                    text[i + 1] == '\n')
                    ++i;
                if (i < text.size() && text[i] != ',' && text[i] != '\n') {
                    rows.clear();
                    return "line " + std::to_string(line) +
                           ": unexpected text after a quoted field";
                }
            } else {
                while (i < text.size() && text[i] != ',' && text[i] != '\n') field += text[i++];
                if (!field.empty() && field.back() == '\r' && (i >= text.size() || text[i] == '\n'))
                    field.pop_back();
                if (field.find('"') != std::string::npos) {
                    rows.clear();
                    return "line " + std::to_string(line) +
                           ": a quote inside a field that does not start with one";
                }
            }
            row.fields.push_back(field);
            if (i >= text.size() || text[i] == '\n') {
                rowDone = true;
                if (i < text.size()) ++line;
            }
            ++i;
        }
        std::string_view raw = text.substr(rowStart, i - rowStart);
        bool blank = raw.empty() || raw == "\n" || raw == "\r\n" || raw == "\r";
        if (!blank) rows.push_back(std::move(row));
    }
    return std::nullopt;
}

}  // namespace navaid::cli
