// navaid import: DATABASE.new as the database plus one navaid per CSV row.
#include <algorithm>
#include <array>

#include "cli.h"
#include "csv.h"

namespace navaid::cli {

namespace {

constexpr std::array<std::string_view, 8> kColumns = {"id",   "name",   "lat", "lon",
                                                      "freq", "magvar", "alt", "type"};

// Reads a whole small file; the CSV is checked completely before anything is written.
Outcome ReadWholeFile(const std::string& path, std::string& text) {
    if (Outcome exists = RequireExistingFile(path); !exists) return exists;
    io::File file;
    if (Outcome opened = file.Open(path, io::OpenMode::ReadCreate); !opened) return opened;
    char buffer[1 << 16];
    for (;;) {
        std::size_t got = 0;
        if (Outcome read = file.Read(buffer, sizeof buffer, got); !read) {
            file.Close();
            return read;
        }
        if (got == 0) break;
        text.append(buffer, got);
    }
    return file.Close();
}

// Column positions by name; throws UsageError naming what is wrong with the header.
std::array<int, 8> HeaderColumns(Family family, const std::string& csvPath, const CsvRow& header) {
    std::array<int, 8> where;
    where.fill(-1);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        std::string name = LowerCase(TrimWhiteSpace(header.fields[i]));
        auto known = std::find(kColumns.begin(), kColumns.end(), name);
        std::string at = csvPath + ":" + std::to_string(header.line) + ": header: ";
        if (known == kColumns.end()) throw UsageError(at + "unknown column '" + name + "'");
        int& slot = where[known - kColumns.begin()];
        if (slot >= 0) throw UsageError(at + "column '" + name + "' appears twice");
        if (name == "alt" && family == Family::Ndb) {
            throw UsageError(at + "column 'alt' is only for vor; an NDB record has no altitude");
        }
        slot = static_cast<int>(i);
    }
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
        if (where[c] < 0 && kColumns[c] != "alt") {
            throw UsageError(csvPath + ":" + std::to_string(header.line) +
                             ": header: missing column '" + std::string(kColumns[c]) +
                             "' (expected id,name,lat,lon,freq,magvar," +
                             (family == Family::Vor ? "alt," : "") + "type)");
        }
    }
    return where;
}

// Copies the database, then appends the records. Once the output has been
// opened, any failure removes it; before that nothing has been touched.
Outcome WriteWorkingCopy(const std::string& database, const std::string& workingCopy,
                         const std::string& records) {
    io::File source, output;
    if (Outcome opened = source.Open(database, io::OpenMode::ReadCreate); !opened) return opened;
    if (Outcome opened = output.Open(workingCopy, io::OpenMode::WriteTruncate); !opened) {
        source.Close();
        return opened;
    }
    Outcome outcome;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        std::size_t got = 0;
        outcome = source.Read(buffer.data(), buffer.size(), got);
        if (!outcome || got == 0) break;
        outcome = output.Write(buffer.data(), got);
        if (!outcome) break;
    }
    if (outcome) outcome = output.Write(records.data(), records.size());
    Outcome sourceClosed = source.Close();
    Outcome outputClosed = output.Close();
    if (outcome) outcome = sourceClosed ? outputClosed : sourceClosed;
    if (!outcome) io::RemoveFile(workingCopy);
    return outcome;
}

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line = ParseCommandLine(args, {"DATABASE", "CSVFILE"}, {});
    const std::string& database = line.positional[0];
    const std::string& csvPath = line.positional[1];
    std::string workingCopy = WorkingCopyName(database);
    RefuseSameFile(database, workingCopy);
    if (Outcome exists = RequireExistingFile(database); !exists) {
        return ReportFailure(console, exists);
    }
    std::string text;
    if (Outcome read = ReadWholeFile(csvPath, text); !read) return ReportFailure(console, read);

    std::vector<CsvRow> rows;
    if (auto error = ParseCsv(text, rows)) throw UsageError(csvPath + ":" + error->substr(5));
    if (rows.empty()) throw UsageError(csvPath + ": no header row");
    const std::array<int, 8> where = HeaderColumns(line.family, csvPath, rows[0]);

    std::string records;
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const CsvRow& row = rows[r];
        const std::string at =
            csvPath + ":" + std::to_string(row.line) + ": row " + std::to_string(r) + ": ";
        if (row.fields.size() != rows[0].fields.size()) {
            throw UsageError(at + "has " + std::to_string(row.fields.size()) +
                             " columns, the header has " + std::to_string(rows[0].fields.size()));
        }
        auto cell = [&](int column) { return row.fields[where[column]]; };
        EntryTexts texts{cell(0), cell(1), cell(2),      cell(3),
                         cell(4), cell(5), std::nullopt, cell(7)};
        if (where[6] >= 0) texts.alt = cell(6);
        NavaidEntry entry;
        if (auto error = BuildEntry(line.family, texts, entry)) {
            throw UsageError(at + "column " + error->field + ": " + error->message);
        }
        std::string record;
        if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded) {
            throw UsageError(at + encoded.reason);
        }
        records += record;
    }
    if (Outcome written = WriteWorkingCopy(database, workingCopy, records); !written) {
        return ReportFailure(console, written);
    }
    console.out << "wrote " << workingCopy << " with " << rows.size() - 1 << " imported "
                << (rows.size() == 2 ? "record" : "records") << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kImportCommand{
    "import", "write DATABASE.new as the database plus the rows of a CSV file",
    "Usage: navaid import vor|ndb DATABASE CSVFILE\n"
    "\n"
    "Writes DATABASE.new as the whole database followed by one record per row of\n"
    "CSVFILE. The first row names the columns, in any order:\n"
    "  vor: id,name,lat,lon,freq,magvar,alt,type   (alt may be left out: 0)\n"
    "  ndb: id,name,lat,lon,freq,magvar,type\n"
    "Values are checked and converted as 'navaid add' does. Fields may be quoted\n"
    "with \"...\" (a quote inside doubled). Bytes are stored as they are; the\n"
    "databases use Windows-1252. All or nothing: one bad row and nothing is\n"
    "written; the message names the line, the row, the column and the fault.\n"
    "\n"
    "Example:\n"
    "  printf 'id,name,lat,lon,freq,magvar,type\\nXY,SAMPLE NDB,47.5,-0.25,375,0,NDB\\n' > "
    "new.csv\n"
    "  navaid import ndb ndb.qvz new.csv     # writes ndb.qvz.new\n",
    Run};

}  // namespace navaid::cli
