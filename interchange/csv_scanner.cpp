#include "csv_scanner.h"

#include <algorithm>

namespace navaid {

namespace {

// Walks the text one field at a time; `line` follows the line ends passed.
class CsvScanner {
public:
    explicit CsvScanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return i_ >= text_.size(); }

    // Reads the row that starts here; `blank` tells whether it was only a line end.
    Outcome ReadRow(CsvRow& row, bool& blank) {
        row = CsvRow{line_, {}};
        const std::size_t rowStart = i_;
        bool rowDone = false;
        while (!rowDone) {
            std::string field;
            if (Outcome error = ReadField(field); !error) return error;
            row.fields.push_back(std::move(field));
            if (i_ >= text_.size() || text_[i_] == '\n') {
                rowDone = true;
                if (i_ < text_.size()) ++line_;
            }
            ++i_;
        }
        std::string_view raw = text_.substr(rowStart, i_ - rowStart);
        blank = raw.empty() || raw == "\n" || raw == "\r\n" || raw == "\r";
        return Outcome::Success();
    }

private:
    Outcome ReadField(std::string& field) {
        if (i_ < text_.size() && text_[i_] == '"') return ReadQuoted(field);
        while (i_ < text_.size() && text_[i_] != ',' && text_[i_] != '\n') field += text_[i_++];
        if (!field.empty() && field.back() == '\r' && (i_ >= text_.size() || text_[i_] == '\n'))
            field.pop_back();
        if (field.find('"') != std::string::npos) {
            return Outcome::FailureAt({}, line_,
                                      "a quote inside a field that does not start with one");
        }
        return Outcome::Success();
    }

    Outcome ReadQuoted(std::string& field) {
        const std::size_t openLine = line_;
        ++i_;
        for (;;) {
            if (i_ >= text_.size())
                return Outcome::FailureAt({}, openLine, "a quoted field is not closed");
            char c = text_[i_++];
            if (c == '"') {
                if (i_ < text_.size() && text_[i_] == '"') {
                    field += '"';
                    ++i_;
                    continue;
                }
                break;
            }
            if (c == '\n') ++line_;
            field += c;
        }
        // After the closing quote only a separator or the line end may follow.
        if (i_ < text_.size() && text_[i_] == '\r' && i_ + 1 < text_.size() &&
            text_[i_ + 1] == '\n')
            ++i_;
        if (i_ < text_.size() && text_[i_] != ',' && text_[i_] != '\n') {
            return Outcome::FailureAt({}, line_, "unexpected text after a quoted field");
        }
        return Outcome::Success();
    }

    std::string_view text_;
    std::size_t i_ = 0;
    std::size_t line_ = 1;
};

}  // namespace

Outcome ReadCsv(std::string_view text, std::vector<CsvRow>& rows) {
    rows.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    CsvScanner scanner(text);
    while (!scanner.AtEnd()) {
        CsvRow row;
        bool blank = false;
        if (Outcome error = scanner.ReadRow(row, blank); !error) {
            rows.clear();
            return error;
        }
        if (!blank) rows.push_back(std::move(row));
    }
    return Outcome::Success();
}

namespace {

// Whether a line ends inside a quoted field, given whether it began inside one.
bool EndsQuoted(std::string_view line, bool quoted) {
    bool fieldStart = !quoted;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"' && fieldStart) {
            quoted = true;
        }
        fieldStart = !quoted && c == ',';
    }
    return quoted;
}

}  // namespace

Outcome CsvRowReader::Next(const std::string& path, CsvRow& row, bool& got) {
    for (;;) {
        got = false;
        std::string_view line;
        if (Outcome read = lines_.Next(line, got); !read || !got) return read;
        const std::size_t first = lines_.Number();
        text_.assign(line);
        if (first == 1 && text_.starts_with("\xEF\xBB\xBF")) text_.erase(0, 3);
        if (text_.find_first_not_of(" \t") == std::string::npos) continue;  // a blank line
        for (bool quoted = EndsQuoted(text_, false); quoted;) {
            bool more = false;
            if (Outcome read = lines_.Next(line, more); !read) return read;
            if (!more) return Outcome::FailureAt(path, first, "a quoted field is not closed");
            if (text_.size() + line.size() > LineReader::kMaxLine) {
                return Outcome::FailureAt(path, first, "a row of more than 64 KiB");
            }
            quoted = EndsQuoted(line, true);
            text_ += '\n';
            text_ += line;
        }
        std::vector<CsvRow> rows;
        if (Outcome error = ReadCsv(text_, rows); !error)
            return Outcome::FailureAt(path, first + error.line - 1, error.reason);
        if (rows.empty()) continue;  // a blank line
        row = std::move(rows.front());
        row.line = first;
        got = true;
        return Outcome::Success();
    }
}

std::vector<int> HeaderColumns(const CsvRow& header, const std::vector<std::string_view>& names,
                               std::string (*normalize)(std::string_view cell),
                               std::string* problem) {
    std::vector<int> where(names.size(), -1);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string cell = normalize(header.fields[i]);
        auto known = std::find(names.begin(), names.end(), cell);
        if (known == names.end()) {
            if (problem && problem->empty()) *problem = "unknown column '" + cell + "'";
            continue;
        }
        int& slot = where[known - names.begin()];
        if (slot >= 0) {
            if (problem && problem->empty()) *problem = "column '" + cell + "' appears twice";
            continue;
        }
        slot = static_cast<int>(i);
    }
    return where;
}

}  // namespace navaid
