// navaid import: DATABASE.new as the database plus the navaids of a nav.dat,
// an OurAirports navaids.csv, an ARINC 424 file or the tool's own CSV.
#include "command.h"
#include "database.h"
#include "interchange.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

namespace {

void PrintTally(const Console& console, const ImportTally& tally, Family family,
                bool skipDuplicates) {
    auto line = [&](std::size_t count, const char* unit, const std::string& what) {
        if (count > 0) {
            console.out << count << " " << unit << (count == 1 ? " " : "s ") << what << "\n";
        }
    };
    if (!tally.cycle.empty()) console.out << "data cycle " << tally.cycle << "\n";
    line(tally.otherFamily, "row",
         std::string("skipped: ") + FamilyName(OtherFamily(family)) + " family");
    line(tally.landing, "row", "skipped: ILS, localizer, glideslope, marker or GLS");
    line(tally.lonelyDme, "row", "skipped: DME of a VOR that is not in the file");
    line(tally.outside, "row", "skipped: outside the --near circle");
    line(tally.noFrequency, "row", "skipped: no usable frequency (closed or unknown)");
    line(tally.outOfService, "row", "skipped: out of service (figure of merit 9)");
    line(tally.invalid, "row", "skipped: could not be read (--skip-invalid)");
    if (tally.repeatedDme > 0) {
        const bool one = tally.repeatedDme == 1;
        console.out << tally.repeatedDme << (one ? " DME repeats" : " DMEs repeat")
                    << " the DME of a station of " << (one ? "its" : "their") << " ID ("
                    << (skipDuplicates ? "skipped: --skip-duplicates" : "kept") << ")\n";
    }
    line(tally.afterEnd, "row", "after the end line ignored");
    line(tally.shortened, "name", "shortened to 20 bytes");
    line(tally.replaced, "character", "stored as '?': Windows-1252 has none like it");
}

const Flag& SkipDuplicatesFlag() {
    static const Flag flag{"skip-duplicates",
                           "leave out nav.dat DMEs that repeat a station's own DME"};
    return flag;
}

Ending Run(const CommandLine& line, const Console& console) {
    const ImportFilter filter{line.family, CircleOf(line), NavDatLayoutOption().Given(line),
                              SkipInvalidFlag().Get(line), SkipDuplicatesFlag().Get(line)};
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
    out.Report(console) << ": " << Records(database.Count() + count) << ", "
                        << ShownName(database.Path()) << " plus " << count << " imported\n";
    PrintTally(console, tally, line.family, filter.skipDuplicates);
    PrintPassedOver(console, source.Name(), tally);
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
        options.push_back(SkipDuplicatesFlag().Spec());
        return options;
    }(),
    kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily | kReadsNavaids,
    "Writes DATABASE.new as the whole database followed by one record per navaid\n"
    "of the family in FILE, in the order of its rows. FILE is read by its content,\n"
    "whatever its name (gzip data is decompressed as it is read):\n"
    "  nav.dat       its version line (810, 1000, 1100, 1150, 1200) among the first\n"
    "                lines, with or without the I or A line; rows without one with\n"
    "                --navdat-version; a layout most rows do not fit (no region\n"
    "                column or no name left; names that start with a terminal area\n"
    "                and a region) is refused. Rows 3 and 13 give vor records, their\n"
    "                DME rows (12, or a 13 of the same station within 1 NM) belong to\n"
    "                them; rows 2 give ndb records. An NDB-DME's DME row belongs to\n"
    "                one beacon of its ident within 1 NM: the nearest whose row says\n"
    "                NDB-DME, else the nearest, which becomes an NDB-DME. A DME row\n"
    "                that repeats the DME of a VOR-DME, VORTAC or TACAN of its ident\n"
    "                (within 1 NM, same frequency) is kept and counted; with\n"
    "                --skip-duplicates it is left out. Rows after the closing 99\n"
    "                are counted and ignored. The run of type words a name ends in\n"
    "                (VOR, VOR-DME, VOR/DME, VORTAC, TACAN, DME, NDB, NDB-DME,\n"
    "                NDB/DME) names the kind by its first word and comes off the\n"
    "                name. Frequencies: VHF in 10 kHz (11630 = 116.3), NDB in kHz.\n"
    "                Elevation gives Altitude, the variation column MagVar. ILS,\n"
    "                localizer, glideslope, marker, GLS and DME-ILS rows are skipped.\n"
    "  navaids.csv   OurAirports' file, by its header; frequencies in kHz for every\n"
    "                type; a row without a usable frequency (closed) is skipped.\n"
    "                MagVar: vor records slaved_variation_deg (the station's own),\n"
    "                magnetic_variation_deg where that is empty; ndb records\n"
    "                magnetic_variation_deg.\n"
    "  ARINC 424     records of 132 columns (the FAA's CIFP, FAACIFP18), after its\n"
    "                HDR records: VHF navaid records (D) give vor records by their\n"
    "                class, at the DME's position when the VOR columns are blank;\n"
    "                enroute and terminal NDB records (DB, PN) give NDBs. The DME\n"
    "                elevation gives Altitude, the declination or variation MagVar.\n"
    "                ILS/DME and MLS records, out of service ones (figure of merit\n"
    "                9) and continuation records are skipped, all other records\n"
    "                (airports, waypoints, procedures) passed over; the summary\n"
    "                names the data cycle.\n"
    "  CSV           the tool's own; the first row names the columns:\n"
    "                  vor: id,name,lat,lon,freq,magvar,alt,type   (alt may be left out: 0)\n"
    "                  ndb: id,name,lat,lon,freq,magvar,type\n"
    "                Values are checked and converted as 'navaid add' does. Fields\n"
    "                may be quoted with \"...\" (a quote inside doubled).\n"
    "  database      a database of the family, by its records' type blocks and\n"
    "                numbers; copied record for record.\n"
    "FILE - is standard input; a nav.dat is read twice, so it must be a file.\n"
    "Lines end in LF, CR LF or CR; blank lines before a header are passed over; a\n"
    "tab in a name is a space. A file without a single row is refused.\n"
    "Variations are stored in -180..180, east positive (nav.dat's 356.7 is -3.3).\n"
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
