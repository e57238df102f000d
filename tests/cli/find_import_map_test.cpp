// 'navaid find', 'navaid import' with its CSV reader, and 'navaid map'.
#include <cmath>

#include "cli_test_support.h"
#include "csv.h"
#include "svg_map.h"

namespace navaid::test {
namespace {

using namespace cli;

using FindTest = CliTest;

TEST_F(FindTest, MatchesIdNameTypeAndDistance) {
    WriteAll("vor.qvz", Record({"FFM", "FRANKFURT", 50.05f, 8.64f, 114.2f, 0, 0, kVortacBlock}) +
                            Record({"FFM", "FAIRMONT", 43.6f, -94.4f}) +
                            Record({"RID", "RIED", 49.8f, 8.5f}) +
                            Record({"X", "NOWHERE", std::nanf(""), 8}));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--id", " ffm "}, "0 1"},
        {{"--name", "fa"}, "1"},
        {{"--name", "r"}, "0 1 2 3"},
        {{"--type", "vortac"}, "0"},
        {{"--near", "50,8.6", "--within", "20"}, "0 2"},
        {{"--near", "50,8.6", "--within", "10"}, "0"},
        {{"--id", "FFM", "--near=43.5,-94.5", "--within", "100"}, "1"},
        {{}, "0 1 2 3"},
    };
    for (const auto& [options, indexes] : cases) {
        std::vector<std::string> args = {"find", "vor", "vor.qvz"};
        args.insert(args.end(), options.begin(), options.end());
        ASSERT_EQ(Run(args), kExitOk) << err_;
        std::string found;
        std::istringstream lines(out_);
        for (std::string line; std::getline(lines, line);) {
            if (!found.empty()) found += ' ';
            found += line.substr(0, line.find('\t'));
        }
        EXPECT_EQ(found, indexes) << ::testing::PrintToString(options);
    }
}

TEST_F(FindTest, PrintsTheListColumnsOnOneLine) {
    WriteAll("ndb.qvz", Record({"A\nB", "X\\Y", 47.5f, -0.25f, 375, 0, 0, kNdbDmeBlock}));
    ASSERT_EQ(Run({"find", "ndb", "ndb.qvz"}), kExitOk);
    EXPECT_EQ(out_, "0\tA\\x0aB       ,X\\x5cY" + std::string(17, ' ') +
                        ",    47.5,   -0.25,     375,       0,    NDB-DME,\n");
}

TEST_F(FindTest, RefusesBadConditions) {
    WriteAll("db", "");
    for (std::vector<std::string> options : std::vector<std::vector<std::string>>{
             {"--near", "50,8"},
             {"--within", "5"},
             {"--near", "50 8", "--within", "5"},
             {"--near", "91,8", "--within", "5"},
             {"--near", "50,8", "--within", "-1"},
             {"--type", "NDB"},
         }) {
        std::vector<std::string> args = {"find", "vor", "db"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(Run(args), kExitUsage) << ::testing::PrintToString(options);
    }
}

TEST(CsvTest, ParsesQuotesLineEndsAndBlankLines) {
    std::vector<CsvRow> rows;
    ASSERT_FALSE(ParseCsv("\xEF\xBB\xBFid,name\r\n\r\n\"A,\"\"1\"\"\",\"two\nlines\"\nB,\n", rows));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].fields, (std::vector<std::string>{"id", "name"}));
    EXPECT_EQ(rows[1].line, 3u);
    EXPECT_EQ(rows[1].fields, (std::vector<std::string>{"A,\"1\"", "two\nlines"}));
    EXPECT_EQ(rows[2].line, 5u);
    EXPECT_EQ(rows[2].fields, (std::vector<std::string>{"B", ""}));
    EXPECT_EQ(ParseCsv("a\n\"open,b\n", rows), "line 2: a quoted field is not closed");
    EXPECT_EQ(ParseCsv("a\n\"x\"y,b\n", rows), "line 2: unexpected text after a quoted field");
    EXPECT_EQ(ParseCsv("a\nx\"y\n", rows),
              "line 2: a quote inside a field that does not start with one");
    EXPECT_TRUE(rows.empty());
}

using ImportTest = CliTest;

TEST_F(ImportTest, AppendsEveryRowAsTheAddCommandWould) {
    const std::string source = Record({});
    WriteAll("vor.qvz", source);
    WriteAll("rows.csv",
             "type,id,name,lat,lon,freq,magvar\r\n"
             "VORTAC,lax,\"los angeles, ca\",33.93,-118.43,113.6,13\r\n"
             "dme,ABC,,1,2,110.5,-0.5\r\n");
    ASSERT_EQ(Run({"import", "vor", "vor.qvz", "rows.csv"}), kExitOk) << err_;
    std::string expected = source;
    for (const NavaidEntry& entry :
         {NavaidEntry{"lax", "los angeles, ca", 33.93f, -118.43f, 113.6f, 13, 0, "VORTAC"},
          NavaidEntry{"ABC", "", 1, 2, 110.5f, -0.5f, 0, "dme"}}) {
        std::string record;
        ASSERT_TRUE(EncodeRecord(Family::Vor, entry, record));
        expected += record;
    }
    EXPECT_EQ(ReadAll("vor.qvz.new"), expected);
    EXPECT_EQ(ReadAll("vor.qvz"), source);
}

TEST_F(ImportTest, OneBadRowWritesNothing) {
    WriteAll("ndb.qvz", "");
    WriteAll("ndb.qvz.new", "earlier result");
    const std::string header = "id,name,lat,lon,freq,magvar,type\n";
    const std::string good = "AB,GOOD,1,2,375,0,NDB\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {header + good + "CD,BAD,1,2,375x,0,NDB\n",
         "rows.csv:3: row 2: column freq: '375x' is not a number"},
        {header + good + good + "ABCDEFGHIJK,X,1,2,3,4,NDB\n", "rows.csv:4: row 3: column id: ID"},
        {header + "AB,X,1,2,3,4,VOR\n", "rows.csv:2: row 1: column type: 'VOR' is a VOR type"},
        {header + "AB,X,1,2,3,4\n", "rows.csv:2: row 1: has 6 columns, the header has 7"},
        {"id,name,lat,lon,freq,magvar,alt,type\n" + good, "column 'alt' is only for vor"},
        {"id,name,lat,lon,freq,type\n", "missing column 'magvar'"},
        {"id,name,lat,lon,freq,magvar,type,id\n", "column 'id' appears twice"},
        {"id,nam,lat\n", "unknown column 'nam'"},
        {header + "\"AB,X\n", "rows.csv:2: a quoted field is not closed"},
        {"", "rows.csv: no header row"},
    };
    for (const auto& [csv, message] : cases) {
        WriteAll("rows.csv", csv);
        EXPECT_EQ(Run({"import", "ndb", "ndb.qvz", "rows.csv"}), kExitUsage) << message;
        EXPECT_NE(err_.find(message), std::string::npos) << err_;
        EXPECT_EQ(ReadAll("ndb.qvz.new"), "earlier result");
    }
    EXPECT_EQ(Run({"import", "ndb", "ndb.qvz", "missing.csv"}), kExitFileError);
    EXPECT_FALSE(fs::exists("missing.csv"));
}

TEST(MapTest, ExtentFitsTheNavaidsWithAMarginInsideTheWorld) {
    auto extent = [](std::vector<std::pair<float, float>> points) {
        std::vector<MapNavaid> navaids;
        for (auto [lat, lon] : points) navaids.push_back({0, "X", lat, lon, 1});
        Extent e = MapExtent(navaids);
        return std::vector<double>{e.south, e.north, e.west, e.east};
    };
    EXPECT_EQ(extent({{47, 6}, {55, 15}}), (std::vector<double>{46, 56, 5, 16}));
    EXPECT_EQ(extent({{10, -100}, {60, 100}}), (std::vector<double>{5, 65, -120, 120}));
    EXPECT_EQ(extent({{-89.5f, 179.5f}}), (std::vector<double>{-90, -88.5, 178.5, 180}));
    EXPECT_EQ(extent({}), (std::vector<double>{-90, 90, -180, 180}));
    EXPECT_TRUE(OnTheMap(-90, 180));
    EXPECT_FALSE(OnTheMap(90.5f, 0));
    EXPECT_FALSE(OnTheMap(0, std::nanf("")));
}

using MapCommandTest = CliTest;

TEST_F(MapCommandTest, DrawsInRangeNavaidsAndListsTheOthers) {
    WriteAll("vor.qvz",
             Record({.id = "A&B", .latitude = 50, .longitude = 8, .typeBlock = kVorBlock}) +
                 Record({.id = "BAD", .latitude = 95, .longitude = 8}));
    ASSERT_EQ(Run({"map", "vor", "vor.qvz", "out.svg"}), kExitOk) << err_;
    const std::string svg = ReadAll("out.svg").value_or("");
    EXPECT_NE(svg.find(">A&amp;B</text>"), std::string::npos);
    EXPECT_NE(svg.find("record 1: BAD latitude 95, longitude 8</text>"), std::string::npos);
    EXPECT_EQ(svg.find(">BAD</text>"), std::string::npos);
    EXPECT_NE(svg.find(">VOR (1)</text>"), std::string::npos);
    EXPECT_NE(svg.find(">VOR-DME (0)</text>"), std::string::npos);

    EXPECT_EQ(Run({"map", "vor", "vor.qvz", "no/such/folder/out.svg"}), kExitFileError);
    EXPECT_EQ(Run({"map", "vor", "vor.qvz", "vor.qvz"}), kExitUsage);
    EXPECT_EQ(ReadAll("vor.qvz").value_or("").size(), 112u);
}

}  // namespace
}  // namespace navaid::test
