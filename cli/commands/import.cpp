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
    line(tally.noFrequency, "row", "skipped: no usable frequency (closed or unknown)");
    line(tally.invalid, "row", "skipped: could not be read (--skip-invalid)");
    line(tally.shortened, "name", "shortened to 20 bytes");
    line(tally.replaced, "character", "stored as '?': Windows-1252 has none like it");
}

const Flag& SkipInvalidFlag() {
    static const Flag flag{"skip-invalid", "pass over rows that cannot be read, counted"};
    return flag;
}

Ending Run(const CommandLine& line, const Console& console) {
    const ImportFilter filter{line.family, CircleOf(line), NavDatLayoutOption().Given(line),
                              SkipInvalidFlag().Get(line)};
    NavaidSource& source = *line.navaids;
    RefuseLayoutUnlessNavDat(filter, source);
    // Records go to the copy as the rows are read; the copy takes the
    // database's place only when all of them were written.
    DatabaseFile& database = line.Database();
    ImportTally tally;
    std::uint64_t count = 0;
    StagedOutput out(WorkingCopyName(database.Path()));
    const Outcome written = out.Write([&](const std::string& path) {
        return database.CopyWith([&](io::File& file) {
            return AppendRecordStream(file, path, [&](const RecordAppender& append) {
                return source.Read(
                    filter, [&](std::string_view record, std::uint8_t) { return append(record); },
                    tally, count);
            });
        });
    });
    if (!written) return WithLayoutOption(written);
    out.Report(console) << ": " << Records(database.Count() + count) << ", " << database.Path()
                        << " plus " << count << " imported\n";
    PrintTally(console, tally, line.family);
    for (const std::string& shown : tally.invalidShown)
        console.err << "navaid: " << source.Name() << ": passed over " << shown << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kImportCommand{
    "import",
    "write DATABASE.new as the database plus the navaids of a file",
    {"DATABASE", "FILE"},
    [] {
        std::vector<OptionSpec> options = CircleOptions();
        options.push_back(NavDatLayoutOption().Spec());
        options.push_back(SkipInvalidFlag().Spec());
        return options;
    }(),
    kReadsDatabase | kWritesNew | kEditsDatabase | kReadsNavaids,
    "Writes DATABASE.new as the whole database followed by one record per navaid\n"
    "of the family in FILE, in the order of its rows. FILE is read by its content,\n"
    "whatever its name (gzip data is decompressed as it is read):\n"
    "  nav.dat       its version line (810, 1000, 1100, 1150, 1200) among the first\n"
    "                lines, with or without the I or A line; rows without one with\n"
    "                --navdat-version. Rows 3 and 13 give vor records, their DME\n"
    "                rows (12, or a 13 of the same station within 1 NM) belong to\n"
    "                them; rows 2 give ndb records, NDB-DME with a DME row of the\n"
    "                same ident within 1 NM. The run of type words a name ends in\n"
    "                (VOR, VOR-DME, VOR/DME, VORTAC, TACAN, DME, NDB, NDB-DME,\n"
    "                NDB/DME) names the kind by its first word and comes off the\n"
    "                name. Frequencies: VHF in 10 kHz (11630 = 116.3), NDB in kHz.\n"
    "                Elevation gives Altitude, the variation column MagVar. ILS,\n"
    "                localizer, glideslope, marker, GLS and DME-ILS rows are skipped.\n"
    "  navaids.csv   OurAirports' file, by its header; frequencies in kHz for every\n"
    "                type; a row without a usable frequency (closed) is skipped.\n"
    "  CSV           the tool's own; the first row names the columns:\n"
    "                  vor: id,name,lat,lon,freq,magvar,alt,type   (alt may be left out: 0)\n"
    "                  ndb: id,name,lat,lon,freq,magvar,type\n"
    "                Values are checked and converted as 'navaid add' does. Fields\n"
    "                may be quoted with \"...\" (a quote inside doubled).\n"
    "  database      a database of the family, by its records' type blocks and\n"
    "                numbers; copied record for record.\n"
    "FILE - is standard input; a nav.dat is read twice, so it must be a file.\n"
    "Names and idents in UTF-8 are stored in Windows-1252 ('?' for what it lacks),\n"
    "upper-cased and cut to 20 bytes; the summary counts them and the rows skipped,\n"
    "by reason. All or nothing: a row that cannot be read is refused with its line,\n"
    "and nothing is written; with --skip-invalid such rows are passed over, counted,\n"
    "and the first few named on standard error.\n"
    "\n"
    "Examples:\n"
    "  printf 'id,name,lat,lon,freq,magvar,type\\nXY,SAMPLE NDB,47.5,-0.25,375,0,NDB\\n' > "
    "new.csv\n"
    "  navaid import ndb ndb.qvz new.csv     # writes ndb.qvz.new\n"
    "  navaid import vor vor.qvz earth_nav.dat.gz --near 50.03,8.57 --within 100\n",
    Run};

}  // namespace navaid::cli
