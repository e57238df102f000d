// nav.dat, OurAirports' navaids.csv, ARINC 424, GeoJSON, KML and CSV through the table of
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
#include "format_parts.h"
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
    const std::size_t counts[] = {t.otherFamily, t.landing,  t.outside, t.lonelyDme,   t.shortened,
                                  t.noFrequency, t.replaced, t.invalid, t.repeatedDme, t.afterEnd,
                                  t.outOfService};
    const char* names[] = {"otherFamily", "landing",  "outside", "lonelyDme",   "shortened",
                           "noFrequency", "replaced", "invalid", "repeatedDme", "afterEnd",
                           "outOfService"};
    for (std::size_t i = 0; i < std::size(counts); ++i)
        if (counts[i] > 0) text += std::string(", ") + names[i] + " " + std::to_string(counts[i]);
    if (!t.cycle.empty()) text += ", cycle " + t.cycle;
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
    {"X", "Y", -33.9f, -118.40799f, 116.325f, -0.0f, -1200, "VOR"},
    {"ABCDEFGHIJ", "LONGEST NAME 20 BYTE", 89.999f, 180, 0.001f, 1e-7f, 2147483647, "VORTAC"},
    {"FOO", "FOO VOR", 95, -200, 108.05f, -179.99f, 0, "VOR-DME"},
    {"TAC", "M\xDCNSTER  WEST", -90, 0, 117.95f, 3, 100, "TACAN"},
    {"DME", "NAV\"QUOTE, COMMA", 1e-30f, -1e-30f, 1e10f, 0, -5, "DME"},
};
const std::vector<NavaidEntry> kNdbs = {
    {"APH", "A P HILL", 38.087776f, -77.32492f, 396, 0, 0, "NDB"},
    {"OW", "ODENWALD EAST", 49.7398f, 9.0811f, 410.5f, -1.5f, 0, "NDB-DME"},
    {"Q", "R", -0.000001f, 0.5f, 1750, 0, 0, "NDB"},
};

// Exports `bytes` of `family` to `sink`, telling each warning in `warned`.
Outcome ExportTo(const Format& format, Family family, const std::string& bytes,
                 ExportSettings settings, LogSink& sink, std::string* warned = nullptr) {
    MemoryDatabase db{bytes, RecordSize(family)};
    const auto tell = [&](const Outcome& warning) {
        if (warned) *warned += warning.Message() + "\n";
    };
    const ExportJob job{family, std::move(settings), {}, tell, tell};
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
        {{"ident,name,type,frequency_khz,latitude_deg,longitude_deg"}, &kOurAirportsFormat},
        {{"ident,name,type,latitude_deg,longitude_deg,elevation_ft"}, nullptr},
        {{"99"}, nullptr},
        {{"id,name,lat,lon,freq,magvar,type"}, &kProjectCsvFormat},
        {{}, &kProjectCsvFormat},  // refused for its missing header
        {{"HDR01", "", "SUSAD" + std::string(127, ' ')}, &kArinc424Format},
        {{"TCAND" + std::string(127, ' '), "records after the first are the reader's"},
         &kArinc424Format},
        {{"SUSAD" + std::string(126, ' ')}, nullptr},
        {{"sUSAD" + std::string(127, ' ')}, nullptr},
        {{"HDR01", "hello"}, nullptr},
        {{"hello, world"}, nullptr},
        {{"\"id\"x,name"}, nullptr},  // not CSV
        {{"2 too few columns"}, nullptr},
    };
    for (const auto& [head, format] : heads)
        EXPECT_EQ(FormatOfHead(head), format) << (head.empty() ? "" : head.back());
    // Each hand-made file of a format is taken for that one and no other.
    for (auto [folder, format] : {std::pair{"navdat", &kNavDatFormat},
                                  {"ourairports", &kOurAirportsFormat},
                                  {"arinc424", &kArinc424Format}}) {
        for (const fs::directory_entry& file : fs::directory_iterator(kData / folder)) {
            if (file.path().extension() == ".txt") continue;  // goldens
            LineReader lines;
            std::vector<std::string> head;
            ASSERT_TRUE(lines.Open(file.path().string()) && lines.PeekLines(kHeadLines, head));
            EXPECT_EQ(FormatOfHead(head), format) << file.path();
        }
    }
    EXPECT_EQ(FormatOfName("x/OUT.DAT"), &kNavDatFormat);
    EXPECT_EQ(FormatOfName("a.GeoJSON"), &kGeoJsonFormat);
    EXPECT_EQ(FormatOfName("a.csv"), &kProjectCsvFormat);
    EXPECT_EQ(FormatOfName("a.dat.txt"), nullptr);
}

// A variation beyond -180..180 is stored as the same direction inside it.
TEST(VariationTest, IsStoredInRange) {
    const std::pair<double, double> cases[] = {{360, 0},    {356.7, -3.3}, {-360, 0},
                                               {540, 180},  {-180, -180},  {180, 180},
                                               {181, -179}, {-181, 179},   {12.5, 12.5}};
    for (const auto& [given, stored] : cases) {
        const double got = VariationInRange(given);
        EXPECT_NEAR(got, stored, 1e-9) << given;
        EXPECT_FALSE(got == 0 && std::signbit(got)) << given;
    }
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
        // A -0 comes back as 0, as every import stores a zero.
        std::vector<NavaidEntry> zeroed = entries;
        for (NavaidEntry& entry : zeroed) entry.magVar += 0.0f;
        for (std::string layout : {"810", "1100", "1150", "1200", ""}) {  // "": CSV
            SCOPED_TRACE(std::string(FamilyName(family)) + " " + layout);
            // 1150 has the columns of 1100; only 1100 is written.
            ExportSettings settings;
            if (!layout.empty()) settings.version = layout == "1150" ? "1100" : layout;
            LogSink out;
            ASSERT_TRUE(ExportTo(layout.empty() ? kProjectCsvFormat : kNavDatFormat, family, db,
                                 settings, out));
            // The CSV is UTF-8: MÜNSTER's Windows-1252 letter as two bytes.
            if (layout.empty() && family == Family::Vor) {
                EXPECT_NE(out.text.find("M\xC3\x9CNSTER"), std::string::npos);
            }
            if (layout == "1150") out.text = "I\n1150" + out.text.substr(6);
            WriteAll("out", out.text);
            const Read read = ReadNavaids("out", family);
            EXPECT_TRUE(read.outcome) << read.outcome.Message();
            EXPECT_EQ(read.records, Records(family, zeroed));
        }
    }
}

TEST(ExportGoldenTest, EachFormatWritesItsGoldenFile) {
    const std::string vors = Records(Family::Vor, kVors), ndbs = Records(Family::Ndb, kNdbs);
    const std::string foo = "left out record 3 (FOO): position 95,-200 is out of range\n";
    const std::vector<std::tuple<const Format*, ExportSettings, std::string, std::string>> cases = {
        {&kNavDatFormat,
         {"1100", "ed"},
         "navdat/exported-vor-1100.dat",
         "1 name ends in a type word or DME-ILS, which a nav.dat reader takes for the type, so "
         "those rows come back with another type or name, or are skipped as a landing system's: "
         "record 3 FOO VOR\n"},
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
    // Of many such names the first few, once; a beacon named "TOWER" is none.
    std::vector<NavaidEntry> named(6, {"A", "A dme-ils", 1, 2, 110, 0, 0, "VOR"});
    named.push_back({"T", "TOWER", 1, 2, 110, 0, 0, "VOR"});
    LogSink out;
    std::string said;
    EXPECT_TRUE(ExportTo(kNavDatFormat, Family::Vor, Records(Family::Vor, named), {}, out, &said));
    EXPECT_EQ(said.substr(said.find(": ")),
              ": record 0 A DME-ILS, record 1 A DME-ILS, record 2 A "
              "DME-ILS, record 3 A DME-ILS, record 4 A DME-ILS, ...\n");
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
        // words, TACAN DME rows, NDB/DME and DME-ILS rows, a UTF-8 ident, a plain
        // beacon beside an NDB-DME of its ident and place, a station's DME
        // again as a DME of its own, a doubled VOR and DME, a doubled NDB and
        // NDB-DME, a row after "99".
        {Family::Vor, "navdat/quirks-810.dat", "navdat/quirks-vor.txt"},
        {Family::Ndb, "navdat/quirks-810.dat", "navdat/quirks-ndb.txt"},
        // A header with a trailing comma, CR LF, closed and unknown frequencies.
        {Family::Vor, "ourairports/navaids-2016.csv", "ourairports/2016-vor.txt"},
        {Family::Ndb, "ourairports/navaids-2016.csv", "ourairports/2016-ndb.txt"},
        // A record of each class and trap: header, continuation, tailored, DME
        // alone, ILS/DME, MLS, out of service, terminal NDB; CR LF.
        {Family::Vor, "arinc424/cifp", "arinc424/imported-vor.txt"},
        {Family::Ndb, "arinc424/cifp.gz", "arinc424/imported-ndb.txt"},
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

// Line `line` of the hand-made CIFP, its CR gone, with `text` from `column` on.
std::string CifpRecord(std::size_t line, std::size_t column = 1, std::string_view text = {}) {
    std::istringstream in(Slurp(kData / "arinc424/cifp"));
    std::string record;
    for (std::size_t i = 0; i < line; ++i) std::getline(in, record);
    record.pop_back();
    return record.replace(column - 1, text.size(), text) + "\n";
}

// "-0.0", "S00000000" or "W0000" is stored as +0, which update and export
// take for the 0 it is.
TEST_F(InterchangeTest, EveryReaderStoresAZeroAsPlusZero) {
    const std::string airports = Slurp(kData / "ourairports/navaids.csv");
    const std::string texts[] = {
        "I\n810\n3 -0.0 -0.0 0 11000 50 -0.0 AB NAME VOR\n99\n",
        airports.substr(0, airports.find('\n') + 1) +
            "1,f,AB,X,VOR,110000,-0.0,-0.0,,,,,,,,,-0.0,,,\n",
        CifpRecord(5, 33, "S00000000W000000000    S00000000W000000000W0000")};
    for (const std::string& text : texts) {
        WriteAll("in", text);
        const Read read = ReadNavaids("in", Family::Vor);
        ASSERT_EQ(read.navaids, 1u) << read.outcome.Message() << text;
        for (std::size_t field : {RecordLayout::kLatitude, RecordLayout::kLongitude,
                                  RecordLayout::kFrequency, RecordLayout::kMagVar})
            EXPECT_NE(read.records.substr(field, 4), std::string("\0\0\0\x80", 4)) << text;
    }
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
    // One NDB record without a zero byte (its altitude bytes set): too little
    // to tell from a text.
    std::string one =
        Records(Family::Ndb, {{"N", "NOVEMBER", 45.321f, 7.123f, 401.3f, 2.1f, 0, "NDB"}});
    one.replace(RecordLayout::kAltitude, 4, "\x01\x01\x01\x01");
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
        // Zero bytes after gzip data pad it, as gzip takes them; nothing may follow.
        {N, Gzip(csv) + std::string(600, '\0'), 1, ""},
        {N, Gzip(csv) + std::string(9, '\0') + "x", 0, "in: data after the zero bytes"},
        // Blank lines before the header, CR alone as a line end, a tab in a name.
        {V, std::string(9, '\n') + "I\n810\n3 1 2 0 11000 50 0.0 AB NAME\tX VOR\n99\n", 1, ""},
        {V, "I\r810\r3 1 2 0 11000 50 0.0 AB NAME VOR\r99\r", 1, ""},
        // A BOM before the first line that is not blank; a station out of
        // service is passed over before its class is looked at.
        {V, "\n\xEF\xBB\xBFI\n810\n3 1 2 0 11000 50 0.0 AB NAME VOR\n99\n", 1, ""},
        {V, "\r\n\xEF\xBB\xBF" + CifpRecord(5), 1, ""},
        {V, CifpRecord(14, 28, "XX"), 0, ""},
        {N, "id,name,lat,lon,freq,magvar,type\nXY,N\tM,47.5,-0.25,375,0,NDB\n", 1, ""},
        {V, "I\n", 0, "no navaid rows found in in; looked for nav.dat,"},
        {N, vor, 0, "in: it looks like a database of VOR, not of NDB"},
        {N, one, 0, "in: not a navaid file this tool reads"},
        {V, std::string(61, 'x'), 0,
         "in: not a navaid file this tool reads (looked for nav.dat, OurAirports navaids.csv, "
         "ARINC 424, CSV); its first line holds '" +
             std::string(57, 'x') + "...'"},
        {V, vor + "xyz", 0, "in: it holds 2 records of VOR and 3 bytes more"},
        {V, vor + std::string(56, '\0'), 0, "in: record 2 is not a VOR record: its type block"},
        {V, "", 0, "in: no header row"},
        {V, "I\n810\n3 1 2x 0 11000 50 0.0 AB NAME VOR\n99\n", 0, "in:3: longitude '2x' is not"},
        {V, "I\n810\n3 1 2 x 11000 50 0.0 AB NAME VOR\n99\n", 0, "in:3: elevation 'x' is not"},
        {V,
         "I\r\n1100\r\n3 1 2 0 11000 50 0.0 AA ENRT ED A\r\n3 1 2 0 11000 50 0.0 AB ENRT\r\n99\n",
         0, "in:4: the row ends before its region column"},
        // Rows of the other layout: names lost to its columns, or starting with them.
        {V, "I\n1150\n3 1 2 0 11000 50 0.0 AB NAME VOR\n13 1 2 0 11000 50 0.0 AB AB ED DME\n99\n",
         0, "in:3: rows look like 810, not 1150: no region column or no name in 2 of 2 navaid"},
        {V, "I\n810\n3 1 2 0 11000 50 0.0 AB ENRT ED A VOR\n3 1 2 0 11000 50 0.0 AB ENRT ED\n99\n",
         0, "in:3: rows look like 1100, not 810: a terminal area and a region at the start"},
        {V, "I\n810\n\n10 1 2 0 0 0 0 AB X\n99\n", 0, "in:4: row code 10 is not a navaid row"},
        {V, "I\n810\n14 1 2 0 0 0 0 AB X\n16 1 2\n17 1 2 0 0 0 0 AB X\n99\n", 0,
         "in:5: row code 17 is not a navaid row"},
        {V, "I\n810\n3 1 2 2147483648 11000 50 0.0 AB NAME VOR\n99\n", 0,
         "in:3: elevation is beyond the range"},
        {V, "A\n1200\n3 1 2 0 11000 50 0.0 AB ENRT ED NAME VOR\n", 0, "in: no closing \"99\" line"},
        {V, "I\n100 Version\n99\n", 0, "in:2: nav.dat version '100'"},
        {V, "I\n810\n3 1 2 0 11000 50 0.0 ABCDEFGHIJK X VOR\n99\n", 0, "in:3: ident 'ABCDEFGHIJK'"},
        {V, header + "1,f,AB,X,GPS,1,1,1,,,,,,,,,,,,\n", 0, "in:2: column type: 'GPS' is not a"},
        {V, header + "1,f,AB,X,VOR,1,north,1,,,,,,,,,,,,\n", 0,
         "in:2: column latitude_deg: 'north'"},
        {V, header + "1,f,AB,X,VOR,1,1,,,,,,,,,,,,,\n", 0, "in:2: column longitude_deg: '' is"},
        {V, header + "1,f,AB,X,VOR,1,1,1,,,,,,,,,,,,,\n1,f,AB,X,VOR,1,1,1,,,,,,,,,,,,,x\n", 0,
         "in:3: has 21 columns, the header has 20"},
        {V, CifpRecord(5, 23, "1137X"), 0, "in:1: columns 23-27: '1137X' is no frequency"},
        {V, CifpRecord(5, 28, "X"), 0, "in:1: columns 28-29: 'XT' is no class of a VOR"},
        {N, CifpRecord(15, 28, "Q"), 0, "in:1: column 28: 'Q' is no class of an NDB"},
        {V, CifpRecord(5, 33, "X"), 0, "in:1: columns 33-41: 'X32300000' is no latitude"},
        {V, CifpRecord(9, 56, std::string(19, ' ')), 0, "in:1: columns 33-51 and 56-74: no"},
        {V, CifpRecord(5, 75, "Q"), 0, "in:1: columns 75-79: 'Q0100' is no variation"},
        {V, CifpRecord(5, 75, "E1801"), 0, "in:1: columns 75-79: 'E1801' is no variation"},
        {V, CifpRecord(5, 75, "W1800"), 1, ""},
        {V, CifpRecord(5, 80, "0A"), 0, "in:1: columns 80-84: '0A809' is no elevation"},
        {V, CifpRecord(5) + CifpRecord(7).substr(1), 0, "in:2: has 131 columns, not the 132"},
        {V, CifpRecord(5) + "X" + CifpRecord(7).substr(1), 0, "in:2: is no ARINC 424 record"},
        {V, "\x1f\x8b\x08 not deflate", 0, "in: not gzip data"},
        {V, gz.substr(0, gz.size() / 2), 0, "in: the gzip data is cut short"},
    };
    for (const auto& [family, bytes, navaids, refused] : cases) {
        WriteAll("in", bytes);
        const Read read = ReadNavaids("in", family);
        const std::string said = read.outcome.Message();
        EXPECT_EQ(read.outcome.ok, refused.empty()) << said << " for " << refused;
        if (!refused.empty()) {
            EXPECT_EQ(read.outcome.kind, Outcome::Kind::File) << refused;
            EXPECT_EQ(said.find(refused), 0u) << said;
            continue;
        }
        EXPECT_EQ(read.navaids, navaids);
        if (bytes == vor || bytes == ndb) {
            EXPECT_EQ(read.records, bytes);
        }
        EXPECT_EQ(read.format == nullptr, navaids == 2);
    }
}

// Export on a database in memory: which reads it makes, when it opens its
// output and what becomes of it, what it counts, leaves out and refuses: a
// setting before any output (by its field), a record instead of the output.
TEST(ExportJobTest, OpensOnlyAReadableDatabaseReadsOncePerPassAndDropsAFailure) {
    const std::string vors = Records(Family::Vor, kVors);
    const std::string spaced = Records(Family::Vor, {{"A B", "X", 1, 2, 110, 0, 0, "VOR"}});
    const std::string unbounded = Records(Family::Vor, {{"A", "X", 1, 2, HUGE_VALF, 0, 0, "VOR"}});
    const std::string bell = Records(Family::Vor, {{"A", "X\aY", 1, 2, 110, 0, 0, "VOR"}});
    const std::string zero =
        Records(Family::Vor, {{std::string("A\0B", 3), "X", 1, 2, 110, 0, 0, "VOR"}});
    const std::string zeroId = "record 0 (A\\x00B): its ID 'A\\x00B' holds a control byte";
    const std::string bellName = "record 0 (A): its name 'X\\x07Y' holds a control byte";
    const std::string unmapped = Records(Family::Vor, {{"A", "X\x81", 1, 2, 110, 0, 0, "VOR"}});
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
        {csv, unmapped, {}, {}, 0, 0, "open discard", "record 0 (A): a byte of its", "", "", 0, 1},
        {dat, unbounded, {}, {}, 0, 0, "open discard", "record 0 (A): its frequency", "", "", 0, 1},
        {dat, zero, {}, {}, 0, 0, "open discard", zeroId, "", "", 0, 1},
        {csv, bell, {}, {}, 0, 0, "open discard", bellName, "", "", 0, 1},
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
