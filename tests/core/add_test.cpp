// Adding a navaid: the working copy becomes the source plus one record, built
// through the temporary record file in the current directory.
#include "navaid_db.h"
#include "test_support.h"

namespace navaid::test {
namespace {

class AddTest : public FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        FileSlots = FileSlotTable{};
        FileSlots.vor = {Path("vor.qvz"), Path("vor.qvz.new"), ""};
        FileSlots.ndb = {Path("ndb.qvz"), Path("ndb.qvz.new"), ""};
    }
    void TearDown() override {
        FileSlots = FileSlotTable{};
        FileTest::TearDown();
    }
    bool TemporaryFileExists() const { return fs::exists(Path(kTemporaryRecordFile)); }
};

TEST_F(AddTest, VorIsAppendedToTheWholeSource) {
    const std::string source = DistinctRecords(10, kVorRecordSize);
    WriteAll(Path("vor.qvz"), source);
    WriteAll(Path("vor.qvz.new"), "stale working copy");
    WriteAll(Path(kTemporaryRecordFile),
             "left over from another run, longer than one record " + std::string(100, 'x'));
    const Outcome outcome =
        AddNavaid("V", " lax ", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC");
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    const std::string result = ReadAll(Path("vor.qvz.new"));
    ASSERT_EQ(result.size(), 616u);
    EXPECT_EQ(result, source + Record({.id = "LAX",
                                       .name = "LOS ANGELES",
                                       .latitude = 33.93f,
                                       .longitude = -118.43f,
                                       .frequency = 113.6f,
                                       .magVar = 13.0f,
                                       .altitude = 120,
                                       .typeBlock = kVortacBlock}));
    EXPECT_EQ(ReadAll(Path("vor.qvz")), source);
    EXPECT_FALSE(TemporaryFileExists());
    EXPECT_FALSE(fs::exists(Path("ndb.qvz.new")));
}

TEST_F(AddTest, NdbToAnEmptyOrMissingSourceGivesOneRecord) {
    const std::string expected = Record({.id = "XY",
                                         .name = "SAMPLE NDB",
                                         .latitude = 47.5f,
                                         .longitude = -0.25f,
                                         .frequency = 375,
                                         .magVar = 0,
                                         .altitude = 0,
                                         .typeBlock = kNdbBlock});
    for (bool sourceExists : {true, false}) {
        fs::remove(Path("ndb.qvz"));
        if (sourceExists) WriteAll(Path("ndb.qvz"), "");
        const Outcome outcome =
            AddNavaid("N", "xy", "sample ndb", 47.5f, -0.25f, 375.0f, 0.0f, 0, "ndb");
        ASSERT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("ndb.qvz.new")), expected);
        EXPECT_TRUE(fs::exists(Path("ndb.qvz")));
        EXPECT_EQ(fs::file_size(Path("ndb.qvz")), 0u);
        EXPECT_FALSE(TemporaryFileExists());
    }
}

TEST_F(AddTest, OverlongTextStillGivesOneRecordOfTheRightLength) {
    WriteAll(Path("vor.qvz"), DistinctRecords(2, kVorRecordSize));
    const Outcome outcome =
        AddNavaid("V", "abcdefghijklmnop", std::string(40, 'n'), 1, 2, 3, 4, 5, "DME");
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    const std::string result = ReadAll(Path("vor.qvz.new"));
    ASSERT_EQ(result.size(), 3 * kVorRecordSize);
    EXPECT_EQ(result.substr(112, 30), "ABCDEFGHIJ" + std::string(20, 'N'));
    EXPECT_EQ(result.substr(162), std::string("\x09\0\xFF\xFF\0\0", 6));
}

TEST_F(AddTest, RefusedEntriesWriteNothing) {
    struct Case {
        const char* kind;
        const char* type;
    } cases[] = {{"V", "NDB-DME"}, {"N", "DME"}, {"V", ""}, {"N", "  "}, {"X", "VOR"}, {"", "NDB"}};
    const std::string source = DistinctRecords(2, kVorRecordSize);
    WriteAll(Path("vor.qvz"), source);
    WriteAll(Path("ndb.qvz"), source);
    for (const Case& c : cases) {
        for (bool workingCopyExists : {true, false}) {
            for (const char* name : {"vor.qvz.new", "ndb.qvz.new"}) {
                fs::remove(Path(name));
                if (workingCopyExists) WriteAll(Path(name), "exact copy made by the flow");
            }
            const Outcome outcome = AddNavaid(c.kind, "id", "name", 1, 2, 3, 4, 5, c.type);
            EXPECT_FALSE(outcome.ok) << c.kind << " " << c.type;
            EXPECT_FALSE(outcome.reason.empty());
            for (const char* name : {"vor.qvz.new", "ndb.qvz.new"}) {
                EXPECT_EQ(fs::exists(Path(name)), workingCopyExists) << c.kind << " " << c.type;
                if (workingCopyExists) {
                    EXPECT_EQ(ReadAll(Path(name)), "exact copy made by the flow") << c.type;
                }
            }
            EXPECT_FALSE(TemporaryFileExists()) << c.kind << " " << c.type;
            EXPECT_EQ(ReadAll(Path("vor.qvz")), source);
            EXPECT_EQ(ReadAll(Path("ndb.qvz")), source);
        }
    }
}

TEST_F(AddTest, SourceThatIsTheTemporaryFileIsRefused) {
    const std::string source = DistinctRecords(1, kVorRecordSize);
    WriteAll(kTemporaryRecordFile, source);
    NavaidEntry entry;
    entry.id = "A";
    entry.typeName = "VOR";
    for (const std::string& sourcePath :
         {std::string(kTemporaryRecordFile), Path(kTemporaryRecordFile)}) {
        const Outcome outcome = AddNavaidToFiles(Family::Vor, sourcePath, Path("out.new"), entry);
        EXPECT_FALSE(outcome.ok) << sourcePath;
        EXPECT_EQ(ReadAll(kTemporaryRecordFile), source);
        EXPECT_FALSE(fs::exists(Path("out.new")));
    }
}

TEST_F(AddTest, FilesFormTakesTheFamilyAndPathsDirectly) {
    const std::string source = DistinctRecords(3, kNdbRecordSize) + "piece";
    WriteAll(Path("a.qvz"), source);
    NavaidEntry entry;
    entry.id = "ab";
    entry.name = "c";
    entry.frequency = 1750;
    entry.typeName = "NDB-DME";
    const Outcome outcome = AddNavaidToFiles(Family::Ndb, Path("a.qvz"), Path("b.new"), entry);
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    const std::string record = Record({.id = "AB",
                                       .name = "C",
                                       .latitude = 0,
                                       .longitude = 0,
                                       .frequency = 1750,
                                       .magVar = 0,
                                       .altitude = 0,
                                       .typeBlock = kNdbDmeBlock});
    // A trailing piece stays where it is: the record goes after the last byte.
    EXPECT_EQ(ReadAll(Path("b.new")), source + record);
    EXPECT_FALSE(TemporaryFileExists());
}

}  // namespace
}  // namespace navaid::test
