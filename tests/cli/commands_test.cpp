// The tool's calling conventions and its list, labels, add and delete commands.
#include "cli_test_support.h"

namespace navaid::test {
namespace {

using namespace cli;

TEST(CommandLineTest, RefusesMalformedCalls) {
    const std::vector<OptionSpec> options = {{"id", true}, {"alt", false}};
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing the database family"},
        {{"vpr", "db"}, "'vpr' is not a database family"},
        {{"vor"}, "missing DATABASE"},
        {{"vor", "db", "extra", "--id", "X"}, "unexpected argument 'extra'"},
        {{"vor", "db", "--bogus", "1", "--id", "X"}, "unknown option --bogus"},
        {{"vor", "db", "--id"}, "option --id needs a value"},
        {{"vor", "db", "--id", "X", "--id", "Y"}, "option --id is given twice"},
        {{"vor", "db"}, "missing option --id"},
    };
    for (const auto& [args, message] : cases) {
        try {
            ParseCommandLine(args, {"DATABASE"}, options);
            ADD_FAILURE() << "accepted: " << ::testing::PrintToString(args);
        } catch (const UsageError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

TEST(CommandLineTest, TakesValuesThatLookLikeOptionsAndEqualsForms) {
    CommandLine line = ParseCommandLine({"NDB", "--id", "-118", "--alt=-5", "--", "--db"},
                                        {"DATABASE"}, {{"id", true}, {"alt", false}});
    EXPECT_EQ(line.family, Family::Ndb);
    EXPECT_EQ(line.Option("id"), "-118");
    EXPECT_EQ(line.Option("alt"), "-5");
    EXPECT_EQ(line.positional, std::vector<std::string>{"--db"});
}

TEST(TextTest, EscapesBytesAndConvertsCodePage) {
    EXPECT_EQ(EscapeBytes(std::string("A\n\\\x7f\x1f \xe4", 7)), "A\\x0a\\x5c\\x7f\\x1f \xe4");
    EXPECT_EQ(Cp1252ToUtf8("\xc4\x80\x81\x09<"), "\xc3\x84\xe2\x82\xac\xef\xbf\xbd\xef\xbf\xbd<");
    EXPECT_EQ(XmlEscape("a&<>\"'"), "a&amp;&lt;&gt;&quot;&apos;");
    EXPECT_NEAR(DistanceNm(0, 0, 1, 0), 60.04, 0.05);          // one degree of latitude
    EXPECT_NEAR(DistanceNm(50, 179.9, 50, -179.9), 7.7, 0.1);  // across the date line
}

using ToolTest = CliTest;

TEST_F(ToolTest, ExitStatusesAndHelp) {
    WriteAll("db", Record({}));
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"--help"}, kExitOk, "Commands:"},
        {{"import", "--help"}, kExitOk, "Usage: navaid import"},
        {{"add", "vor", "db", "--help"}, kExitOk, "Usage: navaid add"},
        {{}, kExitUsage, "missing command"},
        {{"frobnicate"}, kExitUsage, "unknown command"},
        {{"list"}, kExitUsage, "Try 'navaid list --help'"},
        {{"list", "vor", "missing.qvz"}, kExitFileError, "missing.qvz: No such file"},
        {{"labels", "ndb", "."}, kExitFileError, ".: Is a directory"},
        {{"check", "vor", "db"}, kExitOk, "1 record, 0 errors, 0 warnings"},
    };
    for (const auto& [args, status, said] : cases) {
        EXPECT_EQ(Run(args), status) << ::testing::PrintToString(args);
        EXPECT_NE((out_ + err_).find(said), std::string::npos) << out_ << err_;
    }
    // A mistyped database name is reported, never created.
    EXPECT_FALSE(fs::exists("missing.qvz"));
    EXPECT_FALSE(fs::exists("missing.qvz.txt"));
}

using ListLabelsTest = CliTest;

TEST_F(ListLabelsTest, ListIsTheCoreListOfTheChosenFamily) {
    const std::string record = Record({.typeBlock = kNdbDmeBlock});
    WriteAll("ndb.qvz", record + record.substr(0, 40));
    EXPECT_EQ(Run({"list", "ndb", "ndb.qvz"}), kExitOk);
    EXPECT_EQ(
        ReadAll("ndb.qvz.txt"),
        ListHeaderLine(Family::Ndb) +
            ListRecordLine(Family::Ndb, reinterpret_cast<const std::uint8_t*>(record.data())));
}

TEST_F(ListLabelsTest, LabelsEscapeControlBytesAndStopAtZero) {
    WriteAll("vor.qvz", Record({.id = "A\nB\\", .name = "\x7f\xe4"}) +
                            Record({.id = "Z", .name = std::string("NA\0ME", 5)}) +
                            std::string(30, 'P'));
    EXPECT_EQ(Run({"labels", "vor", "vor.qvz"}), kExitOk);
    EXPECT_EQ(out_, "0\tA\\x0aB\\x5c      \\x7f\xe4" + std::string(18, ' ') +
                        "\n1\tZ         NA\n2\t" + std::string(30, 'P') + "\n");
}

using AddTest = CliTest;

TEST_F(AddTest, AppendsTheEncodedRecord) {
    const std::string source = std::string(560, '\x11');
    WriteAll("vor.qvz", source);
    ASSERT_EQ(Run({"add", "vor", "vor.qvz", "--id", " lax ", "--name", "los angeles", "--lat",
                   "33.93", "--lon", "-118.43", "--freq", "113.6", "--magvar", "13.0", "--alt",
                   "120", "--type", " vortac"}),
              kExitOk)
        << err_;
    EXPECT_EQ(ReadAll("vor.qvz.new"), source + Record({"LAX", "LOS ANGELES", 33.93f, -118.43f,
                                                       113.6f, 13.0f, 120, kVortacBlock}));
    EXPECT_EQ(ReadAll("vor.qvz"), source);
    EXPECT_FALSE(fs::exists(kTemporaryRecordFile));
}

TEST_F(AddTest, RefusesWhatTheDialogWouldStoreWrongly) {
    WriteAll("db", "");
    const std::vector<std::string> base = {
        "--id",   "ABCDEFGHIJ", "--name",   " TWENTY BYTES NAME XX ",
        "--lat",  "1",          "--lon",    "2",
        "--freq", "3",          "--magvar", "4"};
    const std::vector<std::tuple<std::string, std::vector<std::string>, std::string>> cases = {
        // An empty message: accepted.
        {"vor", {"--type", "VOR"}, ""},
        {"ndb", {"--type", "ndb-dme"}, ""},
        {"vor", {"--type", "VOR", "--id", "ABCDEFGHIJK"}, "--id: ID 'ABCDEFGHIJK' has 11 bytes"},
        {"vor", {"--type", "VOR", "--name", std::string(21, 'N')}, "--name: name"},
        {"vor", {"--type", "VOR", "--lat", "52,5"}, "--lat: '52,5' is not a number"},
        {"vor", {"--type", "VOR", "--lon", ""}, "--lon: '' is not a number"},
        {"vor", {"--type", "VOR", "--freq", "1e39"}, "--freq: '1e39' is beyond"},
        {"vor", {"--type", "VOR", "--alt", "1500ft"}, "--alt: '1500ft' is not a whole number"},
        {"vor", {"--type", "VOR", "--alt", "4294967297"}, "--alt: '4294967297' is beyond"},
        {"ndb", {"--type", "NDB", "--alt", "0"}, "--alt: an NDB record has no altitude"},
        {"vor", {"--type", "NDB"}, "'NDB' is an NDB type, not a VOR type"},
        {"ndb", {"--type", "TACAN"}, "'TACAN' is a VOR type, not an NDB type"},
        {"vor", {"--type", "VOR DME"}, "'VOR DME' is not a type"},
        {"vor", {"--type", " "}, "no type given"},
    };
    for (const auto& [family, extra, message] : cases) {
        fs::remove("db.new");
        std::vector<std::string> args = {"add", family, "db"};
        // Later options of the same name replace the base ones.
        for (std::size_t i = 0; i < base.size(); i += 2) {
            if (std::find(extra.begin(), extra.end(), base[i]) == extra.end()) {
                args.push_back(base[i]);
                args.push_back(base[i + 1]);
            }
        }
        args.insert(args.end(), extra.begin(), extra.end());
        const int status = Run(args);
        if (message.empty()) {
            EXPECT_EQ(status, kExitOk) << err_;
            EXPECT_EQ(ReadAll("db.new").value_or("").size(), RecordSize(ParseFamily(family)));
        } else {
            EXPECT_EQ(status, kExitUsage) << message;
            EXPECT_NE(err_.find(message), std::string::npos) << err_;
            EXPECT_FALSE(fs::exists("db.new")) << message;
        }
        EXPECT_FALSE(fs::exists(kTemporaryRecordFile));
    }
}

using DeleteTest = CliTest;

TEST_F(DeleteTest, RemovesTheRecordAtTheIndex) {
    const std::string ndb = DistinctRecords(3, kNdbRecordSize);
    WriteAll("ndb.qvz", ndb);
    EXPECT_EQ(Run({"delete", "ndb", "ndb.qvz", "1"}), kExitOk) << err_;
    EXPECT_EQ(ReadAll("ndb.qvz.new"), ndb.substr(0, 53) + ndb.substr(106));
    // A trailing piece of 30 bytes has a label, and deleting it removes only the piece.
    WriteAll("vor.qvz", std::string(142, 'v'));
    EXPECT_EQ(Run({"delete", "vor", "vor.qvz", "2"}), kExitOk) << err_;
    EXPECT_EQ(ReadAll("vor.qvz.new"), std::string(112, 'v'));
}

TEST_F(DeleteTest, RefusesAnIndexThatNamesNoRecord) {
    WriteAll("vor.qvz", std::string(140, 'v'));  // two labels; the 28-byte piece has none
    for (std::string index : {"2", "-1", "x", "1.0", "", "99999999999999999999"}) {
        EXPECT_EQ(Run({"delete", "vor", "vor.qvz", "--", index}), kExitUsage) << index;
        EXPECT_FALSE(fs::exists("vor.qvz.new")) << index;
    }
}

}  // namespace
}  // namespace navaid::test
