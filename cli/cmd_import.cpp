// navaid import: DATABASE.new as the database plus the navaids of a nav.dat,
// an OurAirports navaids.csv or the tool's own CSV.
#include <algorithm>
#include <array>

#include "args.h"
#include "csv.h"
#include "entry.h"
#include "files.h"
#include "interchange.h"

namespace navaid::cli {

namespace {

constexpr std::array<std::string_view, 8> kColumns = {"id",   "name",   "lat", "lon",
                                                      "freq", "magvar", "alt", "type"};

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

// The tool's own CSV: every row is a navaid of the family.
ImportedNavaids ReadImportCsv(Family family, const std::string& csvPath, std::string_view text,
                              const FindQuery& near) {
    std::vector<CsvRow> rows;
    if (auto error = ReadCsv(text, rows)) {
        throw UsageError(csvPath + ":" + std::to_string(error->line) + ": " + error->what);
    }
    if (rows.empty()) throw UsageError(csvPath + ": no header row");
    const std::array<int, 8> where = HeaderColumns(family, csvPath, rows[0]);

    ImportedNavaids result;
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
        if (auto error = BuildEntry(family, texts, entry)) {
            throw UsageError(at + "column " + error->field + ": " + error->message);
        }
        if (!InsideNear(near, entry.latitude, entry.longitude)) {
            ++result.tally.outside;
            continue;
        }
        result.entries.push_back(std::move(entry));
    }
    return result;
}

void PrintTally(const Console& console, const ImportTally& tally, Family family) {
    auto line = [&](std::size_t count, const char* unit, const std::string& what) {
        if (count > 0) {
            console.out << count << " " << unit << (count == 1 ? " " : "s ") << what << "\n";
        }
    };
    line(tally.otherFamily, "row",
         std::string("skipped: ") + (family == Family::Vor ? "NDB" : "VOR") + " family");
    line(tally.landing, "row", "skipped: ILS, localizer, glideslope, marker or GLS");
    line(tally.lonelyDme, "row", "skipped: DME of a VOR that is not in the file");
    line(tally.outside, "row", "skipped: outside the --near circle");
    line(tally.shortened, "name", "shortened to 20 bytes");
}

int Run(const std::vector<std::string>& args, const Console& console) {
    CommandLine line =
        ParseCommandLine(args, {"DATABASE", "FILE"}, {{"near", false}, {"within", false}});
    const FindQuery near = MakeFindQuery(line);
    const std::string& database = line.positional[0];
    const std::string& inputPath = line.positional[1];
    std::string workingCopy = WorkingCopyName(database);
    if (Outcome checked = CheckDatabaseAndOutput(database, workingCopy); !checked) {
        return ReportFailure(console, checked);
    }
    std::string text;
    if (Outcome read = ReadInputFile(inputPath, text); !read) return ReportFailure(console, read);

    const ImportedNavaids navaids =
        LooksLikeNavDat(text)        ? ReadNavDat(line.family, inputPath, text, near)
        : LooksLikeOurAirports(text) ? ReadOurAirports(line.family, inputPath, text, near)
                                     : ReadImportCsv(line.family, inputPath, text, near);
    std::string records;
    records.reserve(navaids.entries.size() * RecordSize(line.family));
    for (const NavaidEntry& entry : navaids.entries) {
        std::string record;
        if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded) {
            throw UsageError(inputPath + ": " + encoded.reason);
        }
        records += record;
    }
    if (Outcome written = AppendRecordsToFiles(database, workingCopy, records); !written) {
        return ReportFailure(console, written);
    }
    const std::size_t count = navaids.entries.size();
    console.out << "wrote " << workingCopy << " with " << count << " imported "
                << (count == 1 ? "record" : "records") << "\n";
    PrintTally(console, navaids.tally, line.family);
    return kExitOk;
}

}  // namespace

const CommandInfo kImportCommand{
    "import", "write DATABASE.new as the database plus the navaids of a file",
    "Usage: navaid import vor|ndb DATABASE FILE [--near LAT,LON --within NM]\n"
    "\n"
    "Writes DATABASE.new as the whole database followed by one record per navaid\n"
    "of the family in FILE, in the order of its rows. FILE is read by its content\n"
    "(a name ending in .gz is decompressed as it is read):\n"
    "  nav.dat       first line I or A, second line 810, 1000, 1100, 1150 or 1200.\n"
    "                Rows 3 (VOR, VOR-DME, VORTAC, TACAN by the name's last word)\n"
    "                and 13 (TACAN, DME) give vor records, their paired 12 rows\n"
    "                belong to them; rows 2 (NDB, NDB-DME) give ndb records.\n"
    "                Frequencies: VHF in 10 kHz (11630 = 116.3), NDB in kHz.\n"
    "                Elevation gives Altitude, the variation column MagVar.\n"
    "                ILS, localizer, glideslope, marker and GLS rows are skipped.\n"
    "  navaids.csv   OurAirports' file, recognised by its header; frequencies in\n"
    "                kHz for every type; names from UTF-8 to Windows-1252.\n"
    "  CSV           the tool's own; the first row names the columns:\n"
    "                  vor: id,name,lat,lon,freq,magvar,alt,type   (alt may be left out: 0)\n"
    "                  ndb: id,name,lat,lon,freq,magvar,type\n"
    "                Values are checked and converted as 'navaid add' does. Fields\n"
    "                may be quoted with \"...\" (a quote inside doubled).\n"
    "Names are upper-cased and cut to 20 bytes; the summary counts them and the\n"
    "rows skipped, by reason. --near LAT,LON --within NM keeps only the navaids\n"
    "at most NM nautical miles from the position. All or nothing: a row that\n"
    "cannot be read is refused with its line, and nothing is written.\n"
    "\n"
    "Examples:\n"
    "  printf 'id,name,lat,lon,freq,magvar,type\\nXY,SAMPLE NDB,47.5,-0.25,375,0,NDB\\n' > "
    "new.csv\n"
    "  navaid import ndb ndb.qvz new.csv     # writes ndb.qvz.new\n"
    "  navaid import vor vor.qvz earth_nav.dat.gz --near 50.03,8.57 --within 100\n",
    Run};

}  // namespace navaid::cli
