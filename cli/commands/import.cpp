// navaid import: DATABASE.new as the database plus the navaids of a nav.dat,
// an OurAirports navaids.csv or the tool's own CSV.
#include "command.h"
#include "database.h"
#include "interchange.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

namespace {

void PrintTally(const Console& console, const ImportTally& tally, Family family) {
    auto line = [&](std::size_t count, const char* unit, const std::string& what) {
        if (count > 0) {
            console.out << count << " " << unit << (count == 1 ? " " : "s ") << what << "\n";
        }
    };
    line(tally.otherFamily, "row",
         std::string("skipped: ") + FamilyName(OtherFamily(family)) + " family");
    line(tally.landing, "row", "skipped: ILS, localizer, glideslope, marker or GLS");
    line(tally.lonelyDme, "row", "skipped: DME of a VOR that is not in the file");
    line(tally.outside, "row", "skipped: outside the --near circle");
    line(tally.shortened, "name", "shortened to 20 bytes");
}

Ending Run(const CommandLine& line, const Console& console) {
    const ImportFilter filter{line.family, CircleOf(line)};
    const std::string& database = line.positional[0];
    const std::string& inputPath = line.positional[1];
    std::string text;
    if (Outcome read = ReadInputFile(inputPath, text); !read) return read;
    ImportedNavaids navaids;
    if (Outcome read = FormatOfText(text).read(inputPath, text, filter, navaids); !read) {
        return read;
    }
    std::string records;
    records.reserve(navaids.entries.size() * RecordSize(line.family));
    for (const NavaidEntry& entry : navaids.entries) {
        std::string record;
        if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded) {
            return Outcome::Failure(inputPath, encoded.reason);
        }
        records += record;
    }
    StagedOutput out(WorkingCopyName(database));
    if (Outcome written = out.Write(
            [&](const std::string& path) { return AppendRecordsToFiles(database, path, records); });
        !written)
        return written;
    const std::size_t count = navaids.entries.size();
    console.out << out.Wrote() << ": "
                << Records(line.databaseBytes / RecordSize(line.family) + count) << ", " << database
                << " plus " << count << " imported\n";
    PrintTally(console, navaids.tally, line.family);
    return kExitOk;
}

}  // namespace

const CommandInfo kImportCommand{
    "import",
    "write DATABASE.new as the database plus the navaids of a file",
    {"DATABASE", "FILE"},
    CircleOptions(),
    kReadsDatabase | kWritesNew | kEditsDatabase,
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
