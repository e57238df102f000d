// nav.dat, OurAirports' navaids.csv, GeoJSON, KML and CSV through the table of
// formats, a navaid source and Export, against hand-made files and golden
// output (tests/data/interchange/<format>/); then the little that is the tool's.
#include "interchange.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <sstream>

#include "command.h"
#include "find.h"
#include "job_doubles.h"
#include "navaid_source.h"
#include "navdat_types.h"
#include "test_support.h"

namespace navaid::test {
namespace {

const fs::path kData = NAVAID_INTERCHANGE_DATA;
using InterchangeTest = ScratchTest;
using ToolTest = ScratchTest;

std::string Slurp(const fs::path& path) { return ReadAll(path).value_or("(none)"); }

std::string Records(Family family, const std::vector<NavaidEntry>& entries) {
    std::string bytes;
    for (const NavaidEntry& entry : entries) bytes += Encoded(family, entry);
    return bytes;
}

// The text as gzip writes it, through a file in the current folder.
std::string Gzip(const std::string& text) {
    gzFile z = gzopen("gz", "wb");
    gzwrite(z, text.data(), static_cast<unsigned>(text.size()));
    gzclose(z);
    return Slurp("gz");
}

// What a navaid source made of a file: its records, counts and failure.
struct Read {
    Outcome outcome;
    std::string records;
    std::uint64_t navaids = 0;
    ImportTally tally;
    const Format* format = nullptr;
};

Read ReadNavaids(const std::string& path, Family family, std::optional<Circle> near = {}) {
    NavaidSource source;
    Read read;
    read.outcome = source.Open(path, family);
    read.format = source.ImportFormat();
    if (!read.outcome) return read;
    read.outcome = source.Read(
        {family, near, std::nullopt, false},
        [&](std::string_view record, std::uint8_t) {
            read.records += record;
            return Outcome::Success();
        },
        read.tally, read.navaids);
    if (read.outcome) read.outcome = source.Close();
    return read;
}

// The import goldens: the counts, then each record as find shows it.
std::string Shown(Family family, const Read& read) {
    const ImportTally& t = read.tally;
    std::string text = std::to_string(read.navaids) + " navaids";
    const std::size_t counts[] = {t.otherFamily, t.landing,     t.outside,  t.lonelyDme,
                                  t.shortened,   t.noFrequency, t.replaced, t.invalid};
    const char* names[] = {"otherFamily", "landing",     "outside",  "lonelyDme",
                           "shortened",   "noFrequency", "replaced", "invalid"};
    for (std::size_t i = 0; i < std::size(counts); ++i)
        if (counts[i] > 0) text += std::string(", ") + names[i] + " " + std::to_string(counts[i]);
    text += "\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(read.records.data());
    for (std::size_t i = 0; i * RecordSize(family) < read.records.size(); ++i)
        text += RecordLine(family, i, bytes + i * RecordSize(family)) + "\n";
    return text;
}

// Values that a short decimal does not give back, names at the field's edge,
// quotes, commas and a Windows-1252 letter, a position out of range.
const std::vector<NavaidEntry> kVors = {
    {"AAL", "AALBORG", 57.103719f, 9.995578f, 116.7f, 1, 57, "VOR-DME"},
    {"X", "", -33.9f, -118.40799f, 116.325f, -0.0f, -1200, "VOR"},
    {"ABCDEFGHIJ", "LONGEST NAME 20 BYTE", 89.999f, 180, 0.001f, 1e-7f, 2147483647, "VORTAC"},
    {"FOO", "FOO VOR", 95, -200, 108.05f, -179.99f, 0, "VOR-DME"},
    {"TAC", "M\xDCNSTER  WEST", -90, 0, 117.95f, 3, 100, "TACAN"},
    {"DME", "NAV\"QUOTE, COMMA", 1e-30f, -1e-30f, 1e10f, 0, -5, "DME"},
};
const std::vector<NavaidEntry> kNdbs = {
    {"APH", "A P HILL", 38.087776f, -77.32492f, 396, 0, 0, "NDB"},
    {"OW", "ODENWALD EAST", 49.7398f, 9.0811f, 410.5f, -1.5f, 0, "NDB-DME"},
    {"Q", "", -0.000001f, 0.5f, 1750, 0, 0, "NDB"},
};

// Exports `bytes` of `family` to `sink`, telling each record left out in `leftOut`.
Outcome ExportTo(const Format& format, Family family, const std::string& bytes,
                 ExportSettings settings, LogSink& sink, std::string* leftOut = nullptr) {
    MemoryDatabase db{bytes, RecordSize(family)};
    const ExportJob job{family, std::move(settings), {}, [&](const Outcome& warning) {
                            if (leftOut) *leftOut += warning.Message() + "\n";
                        }};
    std::uint64_t written = 0;
    return Export(format, job, db.Source(), sink, written);
}

TEST(FormatTableTest, ContentPicksTheReaderAndTheNameTheWriter) {
    const std::string airports = Slurp(kData / "ourairports/navaids.csv");
    using Head = std::vector<std::string>;
    const std::string header = airports.substr(0, airports.find('\n'));
    const std::vector<std::pair<Head, const Format*>> heads = {
        {{"I", "810 Version"}, &kNavDatFormat},
        {{"", "810 Version - the simulator's own, no I"}, &kNavDatFormat},
        {{"\xEF\xBB\xBF", "", "1200 Version"}, &kNavDatFormat},
        {{"2  38.08 -077.32  0  396  50  0.0 APH  A P HILL NDB"}, &kNavDatFormat},
        {{header + ","}, &kOurAirportsFormat},
        {{"id,name,lat,lon,freq,magvar,type"}, &kProjectCsvFormat},
        {{}, &kProjectCsvFormat},  // refused for its missing header
        {{"hello, world"}, nullptr},
        {{"2 too few columns"}, nullptr},
    };
    for (const auto& [head, format] : heads)
        EXPECT_EQ(FormatOfHead(head), format) << (head.empty() ? "" : head.back());
    EXPECT_EQ(FormatOfName("x/OUT.DAT"), &kNavDatFormat);
    EXPECT_EQ(FormatOfName("a.GeoJSON"), &kGeoJsonFormat);
    EXPECT_EQ(FormatOfName("a.csv"), &kProjectCsvFormat);
    EXPECT_EQ(FormatOfName("a.dat.txt"), nullptr);
}

// A type without a nav.dat row could be neither written nor read back.
TEST(NavDatTypesTest, EveryTypeHasARowAndEveryRowNamesAType) {
    std::size_t count = 0;
    const TypeBlock* types = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i) {
        const NavDatType* rows = FindNavDatType(types[i].name);
        ASSERT_NE(rows, nullptr) << types[i].name;
        EXPECT_NE(rows->row, 0) << types[i].name;
    }
    for (const NavDatType& rows : kNavDatTypes) EXPECT_NE(FindTypeBlock(rows.type), nullptr);
}

TEST_F(InterchangeTest, ExportThenImportGivesTheSameBytesInEveryLayout) {
    // A position out of range is exported but refused at the door of an import.
    std::vector<NavaidEntry> placed = kVors;
    std::erase_if(placed,
                  [](const NavaidEntry& e) { return !PositionInRange(e.latitude, e.longitude); });
    for (auto [family, entries] : {std::pair{Family::Vor, placed}, std::pair{Family::Ndb, kNdbs}}) {
        const std::string db = Records(family, entries);
        for (std::string layout : {"810", "1100", "1150", "1200", ""}) {  // "": CSV
            SCOPED_TRACE(std::string(FamilyName(family)) + " " + layout);
            // 1150 has the columns of 1100; only 1100 is written.
            ExportSettings settings;
            if (!layout.empty()) settings.version = layout == "1150" ? "1100" : layout;
            LogSink out;
            ASSERT_TRUE(ExportTo(layout.empty() ? kProjectCsvFormat : kNavDatFormat, family, db,
                                 settings, out));
            if (layout == "1150") out.text = "I\n1150" + out.text.substr(6);
            WriteAll("out", out.text);
            const Read read = ReadNavaids("out", family);
            EXPECT_TRUE(read.outcome) << read.outcome.Message();
            EXPECT_EQ(read.records, db);
        }
    }
}

TEST(ExportGoldenTest, EachFormatWritesItsGoldenFile) {
    const std::string vors = Records(Family::Vor, kVors), ndbs = Records(Family::Ndb, kNdbs);
    const std::string foo = "left out record 3 (FOO): position 95,-200 is out of range\n";
    const std::vector<std::tuple<const Format*, ExportSettings, std::string, std::string>> cases = {
        {&kNavDatFormat, {"1100", "ed"}, "navdat/exported-vor-1100.dat", ""},
        {&kNavDatFormat, {"810", {}}, "navdat/exported-ndb-810.dat", ""},
        {&kGeoJsonFormat, {}, "geojson/exported-vor.geojson", foo},
        {&kKmlFormat, {}, "kml/exported-vor.kml", foo},
    };
    for (const auto& [format, settings, golden, leftOut] : cases) {
        const bool vor = golden.find("vor") != std::string::npos;
        LogSink out;
        std::string left;
        EXPECT_TRUE(ExportTo(*format, vor ? Family::Vor : Family::Ndb, vor ? vors : ndbs, settings,
                             out, &left));
        EXPECT_EQ(out.text, Slurp(kData / golden)) << golden;
        EXPECT_EQ(left, leftOut) << golden;
    }
}

TEST_F(InterchangeTest, EachFormatAndLayoutReadsAsItsGolden) {
    const std::vector<std::tuple<Family, std::string, std::string>> cases = {
        {Family::Vor, "navdat/nav810.dat", "navdat/imported-vor.txt"},
        {Family::Vor, "navdat/nav1200.dat.gz", "navdat/imported-vor.txt"},
        {Family::Ndb, "navdat/nav810.dat", "navdat/imported-ndb.txt"},
        {Family::Ndb, "navdat/nav1200.dat.gz", "navdat/imported-ndb.txt"},
        {Family::Vor, "ourairports/navaids.csv", "ourairports/imported-vor.txt"},
        {Family::Ndb, "ourairports/navaids.csv", "ourairports/imported-ndb.txt"},
        // Quirks of real files: no I line, blank lines, CR LF, tabs, doubled type
        // words, TACAN DME rows, NDB/DME and DME-ILS rows, a UTF-8 ident.
        {Family::Vor, "navdat/quirks-810.dat", "navdat/quirks-vor.txt"},
        {Family::Ndb, "navdat/quirks-810.dat", "navdat/quirks-ndb.txt"},
        // A header with a trailing comma, CR LF, closed and unknown frequencies.
        {Family::Vor, "ourairports/navaids-2016.csv", "ourairports/2016-vor.txt"},
        {Family::Ndb, "ourairports/navaids-2016.csv", "ourairports/2016-ndb.txt"},
    };
    for (const auto& [family, file, golden] : cases) {
        const Read read = ReadNavaids((kData / file).string(), family);
        EXPECT_TRUE(read.outcome) << read.outcome.Message();
        EXPECT_EQ(Shown(family, read), Slurp(kData / golden)) << file;
    }
    // Inflated in more than one call: more than the reader's 64 KiB at once.
    EXPECT_EQ(ReadNavaids((kData / "navdat/many.dat.gz").string(), Family::Ndb).navaids, 3000u);
    const Read near =
        ReadNavaids((kData / "navdat/nav810.dat").string(), Family::Vor, Circle{57, 10, 30});
    EXPECT_EQ(near.navaids, 1u);
    EXPECT_EQ(near.tally.outside, 7u);
}

// A database is told from a file by its bytes, whatever its name; what is
// refused names the file and the line.
TEST_F(InterchangeTest, AFileIsTakenForWhatItsContentIsAndRefusedWithItsPlace) {
    // An ID of "A" opens a nav.dat's first line too; the records' bytes tell.
    const std::string vor = Records(Family::Vor, {{"A", "ALPHA", 1, 2, 110, 0, 0, "VOR"},
                                                  {"B", "BRAVO", 3, 4, 111, 0, 0, "DME"}});
    // Numbers whose bytes hold no zero, so the file has none.
    const std::string ndb =
        Records(Family::Ndb, {{"I", "INDIA", 47.123f, 8.321f, 375.5f, 1.1f, 0, "NDB"},
                              {"N", "NOVEMBER", 45.321f, 7.123f, 401.5f, 2.1f, 0, "NDB-DME"}});
    const std::string csv = "id,name,lat,lon,freq,magvar,type\nXY,N,47.5,-0.25,375,0,NDB\n";
    const std::string gz = Slurp(kData / "navdat/nav1200.dat.gz");
    const std::string airports = Slurp(kData / "ourairports/navaids.csv");
    const std::string header = airports.substr(0, airports.find('\n') + 1);
    const Family V = Family::Vor, N = Family::Ndb;
    const std::vector<std::tuple<Family, std::string, std::uint64_t, std::string>> cases = {
        // Read: the navaids; refused: the start of the message.
        {V, vor, 2, ""},
        {N, ndb, 2, ""},
        {V, Gzip(vor), 2, ""},
        {N, csv, 1, ""},
        {N, Gzip(csv), 1, ""},
        {N, vor, 0, "in: it looks like a database of VOR, not of NDB"},
        {V, vor + "xyz", 0, "in: it holds 2 records of VOR and 3 bytes more"},
        {V, vor + std::string(56, '\0'), 0, "in: record 2 is not a VOR record: its type block"},
        {V, "", 0, "in: no header row"},
        {V, "I\n810\n3 1 2x 0 11000 50 0.0 AB NAME VOR\n99\n", 0, "in:3: longitude '2x' is not"},
        {V, "I\r\n1100\r\n3 1 2 0 11000 50 0.0 AB ENRT\r\n99\n", 0,
         "in:3: the row ends before its region column"},
        {V, "I\n810\n\n11 1 2 0 0 0 0 AB X\n99\n", 0, "in:4: row code 11 is not a navaid row"},
        {V, "A\n1200\n3 1 2 0 11000 50 0.0 AB NAME VOR\n", 0, "in: no closing \"99\" line"},
        {V, "I\n740 Version\n99\n", 0, "in:2: nav.dat version '740'"},
        {V, "I\n810\n3 1 2 0 11000 50 0.0 ABCDEFGHIJK X VOR\n99\n", 0, "in:3: ident 'ABCDEFGHIJK'"},
        {V, header + "1,f,AB,X,GPS,1,1,1,,,,,,,,,,,,\n", 0, "in:2: column type: 'GPS' is not a"},
        {V, header + "1,f,AB,X,VOR,1,north,1,,,,,,,,,,,,\n", 0,
         "in:2: column latitude_deg: 'north'"},
        {V, "\x1f\x8b\x08 not deflate", 0, "in: not gzip data"},
        {V, gz.substr(0, gz.size() / 2), 0, "in: the gzip data is cut short"},
    };
    for (const auto& [family, bytes, navaids, refused] : cases) {
        WriteAll("in", bytes);
        const Read read = ReadNavaids("in", family);
        const std::string said = read.outcome.Message();
        EXPECT_EQ(read.outcome.ok, refused.empty()) << said;
        if (!refused.empty()) {
            EXPECT_EQ(read.outcome.kind, Outcome::Kind::File) << refused;
            EXPECT_EQ(said.find(refused), 0u) << said;
            continue;
        }
        EXPECT_EQ(read.navaids, navaids);
        if (bytes == vor || bytes == ndb) {
            EXPECT_EQ(read.records, bytes);
        }
        EXPECT_EQ(read.format == nullptr, bytes.find(',') == std::string::npos);
    }
}

// Export on a database in memory: which reads it makes, when it opens its
// output and what becomes of it, what it counts, leaves out and refuses: a
// setting before any output (by its field), a record instead of the output.
TEST(ExportJobTest, OpensOnlyAReadableDatabaseReadsOncePerPassAndDropsAFailure) {
    const std::string vors = Records(Family::Vor, kVors);
    const std::string spaced = Records(Family::Vor, {{"A B", "X", 1, 2, 110, 0, 0, "VOR"}});
    const std::string unbounded = Records(Family::Vor, {{"A", "X", 1, 2, HUGE_VALF, 0, 0, "VOR"}});
    const int kmlPasses = kKmlFormat.passes(Family::Vor);
    const RecordSelection tacan = [](const DecodedRecord& r) {
        return std::string_view(r.type) == "TACAN";
    };
    struct Case {
        const Format& format;
        const std::string& bytes;
        RecordSelection selected;
        ExportSettings settings;
        int failAt;
        std::size_t failAfter;
        std::string log, failure, field, leftOut;  // failure: the start of its message
        std::uint64_t written;
        int calls;
    };
    const std::string none, foo = "left out record 3 (FOO)";
    const Format &dat = kNavDatFormat, &csv = kProjectCsvFormat, &kml = kKmlFormat;
    const std::vector<Case> cases = {
        {kml, vors, {}, {}, 0, 0, "open close", "", "", foo, 5, kmlPasses},
        {kml, vors, tacan, {}, 0, 0, "open close", "", "", "", 1, kmlPasses},
        {kml, vors, {}, {}, 2, 3, "open discard", "db: read failed", "", "", 0, 2},
        {kGeoJsonFormat, vors, {}, {}, 1, 0, "", "db: read failed", "", "", 0, 1},
        {csv, none, {}, {}, 0, 0, "open close", "", "", "", 0, 1},
        {dat, spaced, {}, {}, 0, 0, "open discard", "record 0 (A B): its ID holds", "", "", 0, 1},
        {csv, unbounded, {}, {}, 0, 0, "open discard", "record 0 (A): a number", "", "", 0, 1},
        {dat, unbounded, {}, {}, 0, 0, "open discard", "record 0 (A): its frequency", "", "", 0, 1},
        {dat,
         spaced,
         {},
         {"1000", {}},
         0,
         0,
         "",
         "'1000' is not 810, 1100 or",
         "version",
         "",
         0,
         0},
        {dat, spaced, {}, {{}, "E"}, 0, 0, "", "'E' is not two letters", "region", "", 0, 0},
        {dat, spaced, {}, {"810", "ED"}, 0, 0, "", "is for nav.dat 1100", "region", "", 0, 0},
        {csv, spaced, {}, {{}, "ED"}, 0, 0, "", "is for a .dat file", "region", "", 0, 0},
        {kml, spaced, {}, {"1200", {}}, 0, 0, "", "is for a .dat file", "version", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format.name) + " " + c.log + " " + c.failure);
        MemoryDatabase db{c.bytes, kVorRecordSize, 0, c.failAt, 0, c.failAfter};
        std::string leftOut;
        const ExportJob job{Family::Vor, c.settings, c.selected, [&](const Outcome& warning) {
                                leftOut += warning.Message().substr(0, 23);
                            }};
        LogSink out;
        std::uint64_t written = 99;
        const Outcome exported = Export(c.format, job, db.Source(), out, written);
        EXPECT_EQ(out.log, c.log);
        EXPECT_EQ(exported.Message().find(c.failure), 0u) << exported.Message();
        EXPECT_EQ(exported.ok, c.failure.empty());
        EXPECT_EQ(exported.field, c.field);
        EXPECT_EQ(exported.kind, c.field.empty() ? Outcome::Kind::File : Outcome::Kind::Usage);
        EXPECT_EQ(leftOut, c.leftOut);
        EXPECT_EQ(exported ? written : c.written, c.written);
        EXPECT_EQ(db.calls, c.calls);
    }
}

// The tool's own part, which tests/cli/cases.txt leaves out: its summary of
// an import, the options it names for a refused setting, and its export files.

// Runs the tool on the words of `command`; `said` gets its output, then its errors.
int Tool(const std::string& command, std::string& said) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    std::ostringstream out, err;
    const int status = cli::RunTool(args, cli::Console{out, err});
    said = out.str() + err.str();
    return status;
}

TEST_F(ToolTest, SummariesWarningsAndRefusedOptions) {
    WriteAll("db.qvz", "");
    WriteAll("vor.qvz", Records(Family::Vor, kVors));
    fs::copy_file(kData / "navdat/nav810.dat", "nav.dat");
    fs::copy_file(kData / "ourairports/navaids-2016.csv", "navaids.csv");
    // What the tool says, and the file it writes or not.
    std::string said;
    const std::vector<std::tuple<std::string, int, std::string, std::string>> cases = {
        {"import vor db.qvz nav.dat --near 50,8 --within 300", cli::kExitOk,
         "wrote db.qvz.new: 4 records, db.qvz plus 4 imported\n4 rows skipped: NDB family\n"
         "2 rows skipped: ILS, localizer, glideslope, marker or GLS\n"
         "1 row skipped: DME of a VOR that is not in the file\n"
         "4 rows skipped: outside the --near circle\n1 name shortened to 20 bytes\n",
         "db.qvz.new"},
        {"import ndb db.qvz navaids.csv", cli::kExitOk,
         "wrote db.qvz.new: 1 record, db.qvz plus 1 imported\n1 row skipped: VOR family\n"
         "2 rows skipped: no usable frequency (closed or unknown)\n",
         "db.qvz.new"},
    };
    for (const auto& [command, status, expected, output] : cases) {
        EXPECT_EQ(Tool(command, said), status) << said;
        EXPECT_NE(said.find(expected), std::string::npos) << said;
        EXPECT_EQ(fs::exists(output), status == cli::kExitOk) << command;
        fs::remove(output);
    }
}

// Each file call failing in turn is the failure: of a read through the
// library (gzip's inflation, a database), of an export that then leaves no
// file (the reads of KML's later passes too). `run` says "" when it did not fail.
TEST_F(ToolTest, EachFailedFileCallIsTheFailureAndLeavesNoOutput) {
    const auto failEachCall = [](const std::string& what, const std::function<std::string()>& run) {
        io::faults::Reset();
        ASSERT_EQ(run(), "") << what;
        const long calls = io::faults::CallCount();
        ASSERT_GT(calls, 1) << what;
        for (long call = 1; call <= calls; ++call) {
            io::faults::FailCall(call, ENOSPC);
            const std::string said = run();
            io::faults::Reset();
            EXPECT_NE(said.find(": " + io::ErrorText(ENOSPC)), std::string::npos)
                << what << " call " << call << ": " << said;
        }
    };
    WriteAll("db.qvz", Records(Family::Ndb, kNdbs));
    fs::copy_file(kData / "navdat/nav1200.dat.gz", "in.dat.gz");
    for (std::string path : {"in.dat.gz", "db.qvz"}) {
        failEachCall(path, [&] {
            const Outcome read = ReadNavaids(path, Family::Ndb).outcome;
            return read ? "" : read.Message();
        });
    }
    for (std::string output : {"out.dat", "out.kml"}) {
        failEachCall(output, [&] {
            std::string said;
            fs::remove(output);
            const int status = Tool("export ndb db.qvz " + output, said);
            // A failed flush of the folder comes after the move.
            const bool moved = said.ends_with("(the new file is in place)\n");
            EXPECT_EQ(fs::exists(output), status == cli::kExitOk || moved) << output;
            return status == cli::kExitOk          ? ""
                   : status == cli::kExitFileError ? said
                                                   : "status " + std::to_string(status);
        });
    }
}

}  // namespace
}  // namespace navaid::test
