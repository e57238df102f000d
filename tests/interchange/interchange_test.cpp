// nav.dat, OurAirports' navaids.csv, GeoJSON, KML and CSV through the table of
// formats and through 'navaid import' and 'navaid export', against hand-made
// files and golden output (tests/data/interchange/<format>/).
#include "interchange.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

#include "command.h"
#include "job_doubles.h"
#include "navaid_db.h"
#include "navdat_types.h"

namespace navaid::cli {
namespace {

namespace fs = std::filesystem;
const fs::path kData = NAVAID_INTERCHANGE_DATA;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());
}

std::string Records(Family family, const std::vector<NavaidEntry>& entries) {
    std::string bytes, record;
    for (const NavaidEntry& entry : entries) {
        EXPECT_TRUE(EncodeRecord(family, entry, record)) << entry.id;
        bytes += record;
    }
    return bytes;
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

class InterchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        dir_ = fs::temp_directory_path() / ("navaid-interchange-" + std::to_string(stamp));
        fs::create_directories(dir_);
        home_ = fs::current_path();
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(home_);
        fs::remove_all(dir_);
    }
    int Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = RunTool(args, Console{out, err});
        out_ = out.str();
        err_ = err.str();
        return status;
    }
    fs::path dir_, home_;
    std::string out_, err_;
};

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
    for (auto [family, kind, entries] :
         {std::tuple{Family::Vor, "vor", placed}, std::tuple{Family::Ndb, "ndb", kNdbs}}) {
        const std::string db = Records(family, entries);
        Put("db.qvz", db);
        Put("empty.qvz", "");
        for (std::string out : {"810.dat", "1100.dat", "1150.dat", "1200.dat", "list.csv"}) {
            // 1150 has the columns of 1100; the tool writes 1100 for it.
            const std::string version = out == "1150.dat" ? "1100" : out.substr(0, out.size() - 4);
            std::vector<std::string> args = {"export", kind, "db.qvz", out};
            if (out.ends_with(".dat")) args.insert(args.end(), {"--navdat-version", version});
            ASSERT_EQ(Run(args), kExitOk) << out << err_;
            if (out == "1150.dat") Put(out, "I\n1150" + Slurp(out).substr(6));
            fs::remove("empty.qvz.new");
            ASSERT_EQ(Run({"import", kind, "empty.qvz", out}), kExitOk) << out << err_;
            const std::string count = std::to_string(entries.size());
            EXPECT_EQ(out_, "wrote empty.qvz.new: " + count + " records, empty.qvz plus " + count +
                                " imported\n");
            EXPECT_EQ(Slurp("empty.qvz.new"), db) << kind << " " << out;
        }
    }
}

TEST_F(InterchangeTest, ExportWritesTheGoldenFiles) {
    Put("vor.qvz", Records(Family::Vor, kVors));
    ASSERT_EQ(
        Run({"export", "vor", "vor.qvz", "out.dat", "--navdat-version", "1100", "--region", "ed"}),
        kExitOk);
    EXPECT_EQ(Slurp("out.dat"), Slurp(kData / "navdat/exported-vor-1100.dat"));
    Put("ndb.qvz", Records(Family::Ndb, kNdbs));
    ASSERT_EQ(Run({"export", "ndb", "ndb.qvz", "out.dat", "--navdat-version", "810"}), kExitOk);
    EXPECT_EQ(Slurp("out.dat"), Slurp(kData / "navdat/exported-ndb-810.dat"));
    ASSERT_EQ(Run({"export", "vor", "vor.qvz", "out.geojson"}), kExitOk);
    EXPECT_EQ(Slurp("out.geojson"), Slurp(kData / "geojson/exported-vor.geojson"));
    EXPECT_EQ(err_, "navaid: left out record 3 (FOO): position 95,-200 is out of range\n");
    ASSERT_EQ(Run({"export", "vor", "vor.qvz", "out.kml"}), kExitOk);
    EXPECT_EQ(Slurp("out.kml"), Slurp(kData / "kml/exported-vor.kml"));
    EXPECT_EQ(err_, "navaid: left out record 3 (FOO): position 95,-200 is out of range\n");
}

TEST_F(InterchangeTest, ImportReadsEachFormatAndLayout) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"vor", "navdat/nav810.dat", "navdat/imported-vor.txt"},
        {"vor", "navdat/nav1200.dat.gz", "navdat/imported-vor.txt"},
        {"ndb", "navdat/nav810.dat", "navdat/imported-ndb.txt"},
        {"ndb", "navdat/nav1200.dat.gz", "navdat/imported-ndb.txt"},
        {"vor", "ourairports/navaids.csv", "ourairports/imported-vor.txt"},
        {"ndb", "ourairports/navaids.csv", "ourairports/imported-ndb.txt"},
        // Quirks of real files: no I line, blank lines, CR LF, tabs, doubled type
        // words, TACAN DME rows, NDB/DME and DME-ILS rows, a UTF-8 ident.
        {"vor", "navdat/quirks-810.dat", "navdat/quirks-vor.txt"},
        {"ndb", "navdat/quirks-810.dat", "navdat/quirks-ndb.txt"},
        // A header with a trailing comma, CR LF, closed and unknown frequencies.
        {"vor", "ourairports/navaids-2016.csv", "ourairports/2016-vor.txt"},
        {"ndb", "ourairports/navaids-2016.csv", "ourairports/2016-ndb.txt"},
    };
    Put("db.qvz", "");
    for (const auto& [kind, file, golden] : cases) {
        fs::remove("db.qvz.new");
        ASSERT_EQ(Run({"import", kind, "db.qvz", (kData / file).string()}), kExitOk) << err_;
        const std::string summary = out_;
        ASSERT_EQ(Run({"find", kind, "db.qvz.new"}), kExitOk);
        EXPECT_EQ(summary + out_, Slurp(kData / golden)) << kind << " " << file;
    }
    // Inflated in more than one call: more than the reader's 64 KiB at once.
    fs::remove("db.qvz.new");
    ASSERT_EQ(Run({"import", "ndb", "db.qvz", (kData / "navdat/many.dat.gz").string()}), kExitOk);
    EXPECT_EQ(out_, "wrote db.qvz.new: 3000 records, db.qvz plus 3000 imported\n");
    ASSERT_EQ(Run({"import", "vor", "db.qvz", (kData / "navdat/nav810.dat").string(), "--near",
                   "57,10", "--within", "30"}),
              kExitOk);
    EXPECT_NE(out_.find(": 1 record, db.qvz plus 1 imported\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("7 rows skipped: outside the --near circle\n"), std::string::npos);
}

TEST_F(InterchangeTest, UnreadableInputIsRefusedAndNothingIsWritten) {
    const std::string gz = Slurp(kData / "navdat/nav1200.dat.gz");
    const std::string airports = Slurp(kData / "ourairports/navaids.csv");
    const std::string header = airports.substr(0, airports.find('\n') + 1);
    const std::vector<std::tuple<std::string, std::string, int, std::string>> cases = {
        {"bad.dat", "I\n810\n3 1 2x 0 11000 50 0.0 AB NAME VOR\n99\n", kExitFileError,
         "bad.dat:3: longitude '2x' is not a number"},
        {"bad.dat", "I\r\n1100\r\n3 1 2 0 11000 50 0.0 AB ENRT\r\n99\n", kExitFileError,
         "bad.dat:3: the row ends before its region column"},
        {"bad.dat", "I\n810\n\n11 1 2 0 0 0 0 AB X\n99\n", kExitFileError,
         "bad.dat:4: row code 11 is not a navaid row"},
        {"bad.dat", "A\n1200\n3 1 2 0 11000 50 0.0 AB NAME VOR\n", kExitFileError,
         "bad.dat: no closing \"99\" line"},
        {"bad.dat", "I\n740 Version\n99\n", kExitFileError, "bad.dat:2: nav.dat version '740'"},
        {"bad.dat", "I\n810\n3 1 2 0 11000 50 0.0 ABCDEFGHIJK X VOR\n99\n", kExitFileError,
         "bad.dat:3: ident 'ABCDEFGHIJK' has 11 bytes"},
        {"bad.csv", header + "1,f,AB,X,GPS,1,1,1,,,,,,,,,,,,\n", kExitFileError,
         "bad.csv:2: column type: 'GPS' is not a navaid type"},
        {"bad.csv", header + "1,f,AB,X,VOR,1,north,1,,,,,,,,,,,,\n", kExitFileError,
         "bad.csv:2: column latitude_deg: 'north' is not a number"},
        {"bad.dat", "\x1f\x8b\x08 not deflate", kExitFileError, "navaid: bad.dat: not gzip data"},
        {"bad.dat.gz", gz.substr(0, gz.size() / 2), kExitFileError, "navaid: bad.dat.gz: "},
    };
    Put("db.qvz", "");
    Put("db.qvz.new", "earlier");
    for (const auto& [name, content, status, message] : cases) {
        Put(name, content);
        EXPECT_EQ(Run({"import", "vor", "db.qvz", name}), status) << message;
        EXPECT_NE(err_.find(message), std::string::npos) << err_;
        EXPECT_EQ(Slurp("db.qvz.new"), "earlier");
        fs::remove(name);
    }
}

TEST_F(InterchangeTest, ExportRefusesWhatTheFormatCannotHold) {
    Put("db.qvz", Records(Family::Vor, {{"A B", "X", 1, 2, 110, 0, 0, "VOR"}}));
    Put("inf.qvz", Records(Family::Vor, {{"A", "X", 1, 2, std::numeric_limits<float>::infinity(), 0,
                                          0, "VOR"}}));
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"db.qvz", "out.dat"}, kExitFileError, "navaid: out.dat: record 0 (A B): its ID holds"},
        {{"inf.qvz", "out.csv"}, kExitFileError, "navaid: out.csv: record 0 (A): a number"},
        {{"inf.qvz", "out.dat"}, kExitFileError, "record 0 (A): its frequency is not a number"},
        {{"db.qvz", "out.dat", "--navdat-version", "1000"}, kExitUsage, "'1000' is not 810"},
        {{"db.qvz", "out.dat", "--region", "E"}, kExitUsage, "--region: 'E' is not two"},
        {{"db.qvz", "out.csv", "--region", "ED"}, kExitUsage, "--region is for a .dat file"},
        {{"db.qvz", "out.txt"}, kExitUsage, "OUT must end in .dat"},
        {{"missing.qvz", "out.dat"}, kExitFileError, "navaid: missing.qvz: "},
    };
    for (auto [args, status, message] : cases) {
        args.insert(args.begin(), {"export", "vor"});
        EXPECT_EQ(Run(args), status) << message;
        EXPECT_NE(err_.find(message), std::string::npos) << err_;
        EXPECT_FALSE(fs::exists(args[3]) && args[3] != "db.qvz") << message;
    }
}

// Export on a database in memory: which reads it makes, when it opens its
// output and what becomes of it, what it counts and what it leaves out.
TEST(ExportJobTest, OpensOnlyAReadableDatabaseReadsOncePerPassAndDropsAFailure) {
    const std::string vors = Records(Family::Vor, kVors);
    const int kmlPasses = kKmlFormat.passes(Family::Vor);
    const RecordSelection tacan = [](const DecodedRecord& r) {
        return std::string_view(r.type) == "TACAN";
    };
    struct Case {
        const Format& format;
        std::string bytes;
        RecordSelection selected;
        int failAt;
        std::size_t failAfter;
        std::optional<std::string> region;
        std::string log, failure, leftOut;
        std::uint64_t written;
        int calls;
    };
    const std::vector<Case> cases = {
        {kKmlFormat, vors, {}, 0, 0, {}, "open close", "", "left out record 3 (FOO)", 5, kmlPasses},
        {kKmlFormat, vors, tacan, 0, 0, {}, "open close", "", "", 1, kmlPasses},
        {kKmlFormat, vors, {}, 2, 3, {}, "open discard", "db: read failed", "", 0, 2},
        {kGeoJsonFormat, vors, {}, 1, 0, {}, "", "db: read failed", "", 0, 1},
        {kProjectCsvFormat, "", {}, 0, 0, {}, "open close", "", "", 0, 1},
        {kNavDatFormat,
         Records(Family::Vor, {{"A B", "X", 1, 2, 110, 0, 0, "VOR"}}),
         {},
         0,
         0,
         {},
         "open discard",
         "record 0 (A B): its ID holds",
         "",
         0,
         1},
        {kProjectCsvFormat, vors, {}, 0, 0, "ED", "", "is for a .dat file", "", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format.name) + " " + c.log);
        test::MemoryDatabase db{c.bytes, kVorRecordSize};
        db.failAt = c.failAt;
        db.failAfter = c.failAfter;
        std::string leftOut;
        ExportSettings settings;
        settings.region = c.region;
        const ExportJob job{Family::Vor, settings, c.selected, [&](const Outcome& warning) {
                                leftOut += warning.Message().substr(0, 23);
                            }};
        test::LogSink out;
        std::uint64_t written = 99;
        const Outcome exported = Export(c.format, job, db.Source(), out, written);
        EXPECT_EQ(out.log, c.log);
        EXPECT_NE(exported.Message().find(c.failure), std::string::npos) << exported.Message();
        EXPECT_EQ(exported.ok, c.failure.empty());
        EXPECT_EQ(leftOut, c.leftOut);
        if (exported) {
            EXPECT_EQ(written, c.written);
        }
        EXPECT_EQ(db.calls, c.calls);
    }
}

TEST_F(InterchangeTest, EachFailedFileCallLeavesNoOutput) {
    Put("db.qvz", Records(Family::Ndb, kNdbs));
    fs::copy_file(kData / "navdat/nav1200.dat.gz", "in.dat.gz");
    const std::vector<std::pair<std::vector<std::string>, std::string>> commands = {
        {{"import", "ndb", "db.qvz", "in.dat.gz"}, "db.qvz.new"},
        {{"export", "ndb", "db.qvz", "out.dat"}, "out.dat"},
        {{"export", "ndb", "db.qvz", "out.kml"}, "out.kml"},  // the reads of later passes
        {{"diff", "ndb", "db.qvz", "db.qvz"}, ""},
    };
    for (const auto& [args, output] : commands) {
        io::faults::Reset();
        ASSERT_EQ(Run(args), kExitOk) << err_;
        const long calls = io::faults::CallCount();
        for (long call = 1; call <= calls; ++call) {
            if (!output.empty()) fs::remove(output);
            io::faults::FailCall(call, ENOSPC);
            const int status = Run(args);
            io::faults::Reset();
            EXPECT_EQ(status, kExitFileError) << args[0] << " call " << call;
            EXPECT_NE(err_.find(": No space left on device"), std::string::npos) << err_;
            EXPECT_TRUE(output.empty() || !fs::exists(output)) << args[0] << " call " << call;
        }
    }
}

}  // namespace
}  // namespace navaid::cli
