// Adding a navaid: the working copy becomes the source plus one record, built
// through the temporary record file in the current directory.
#include "test_support.h"

namespace navaid::test {
namespace {

class AddTest : public ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        FileSlots = FileSlotTable{};
        FileSlots.vor = {Path("vor.qvz"), Path("vor.qvz.new"), ""};
        FileSlots.ndb = {Path("ndb.qvz"), Path("ndb.qvz.new"), ""};
    }
    void TearDown() override {
        FileSlots = FileSlotTable{};
        ScratchTest::TearDown();
    }
    bool TemporaryFileExists() const { return fs::exists(Path(kTemporaryRecordFile)); }
};

TEST_F(AddTest, VorIsAppendedToTheWholeSource) {
    const std::string source = DistinctRecords(10, kVorRecordSize);
    WriteAll(Path("vor.qvz"), source);
    WriteAll(Path("vor.qvz.new"), "stale working copy");
    WriteAll(Path(kTemporaryRecordFile), "left over from another run " + std::string(100, 'x'));
    const Outcome outcome =
        AddNavaid("V", " lax ", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC");
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    EXPECT_EQ(ReadAll(Path("vor.qvz.new")), source + Record({"LAX", "LOS ANGELES", 33.93f, -118.43f,
                                                             113.6f, 13.0f, 120, kVortacBlock}));
    EXPECT_EQ(ReadAll(Path("vor.qvz")), source);
    EXPECT_FALSE(TemporaryFileExists());
    EXPECT_FALSE(fs::exists(Path("ndb.qvz.new")));
}

TEST_F(AddTest, NdbToAnEmptyOrMissingSourceGivesOneRecord) {
    const std::string expected = Record({"XY", "SAMPLE NDB", 47.5f, -0.25f, 375, 0, 0, kNdbBlock});
    for (bool sourceExists : {true, false}) {
        fs::remove(Path("ndb.qvz"));
        if (sourceExists) WriteAll(Path("ndb.qvz"), "");
        const Outcome outcome =
            AddNavaid("N", "xy", "sample ndb", 47.5f, -0.25f, 375.0f, 0.0f, 0, "ndb");
        ASSERT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("ndb.qvz.new")), expected);
        EXPECT_EQ(ReadAll(Path("ndb.qvz")), "");
        EXPECT_FALSE(TemporaryFileExists());
    }
}

TEST_F(AddTest, RefusedEntriesWriteNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"V", "NDB-DME"}, {"N", "DME"}, {"V", ""}, {"N", "  "}, {"X", "VOR"}, {"", "NDB"}};
    const std::string source = DistinctRecords(2, kVorRecordSize);
    WriteAll(Path("vor.qvz"), source);
    WriteAll(Path("ndb.qvz"), source);
    for (const auto& [kind, type] : cases) {
        for (bool workingCopyExists : {true, false}) {
            for (const char* name : {"vor.qvz.new", "ndb.qvz.new"}) {
                fs::remove(Path(name));
                if (workingCopyExists) WriteAll(Path(name), "exact copy made by the flow");
            }
            const Outcome outcome = AddNavaid(kind, "id", "name", 1, 2, 3, 4, 5, type);
            EXPECT_FALSE(outcome.ok) << kind << " " << type;
            EXPECT_FALSE(outcome.reason.empty());
            for (const char* name : {"vor.qvz.new", "ndb.qvz.new"}) {
                if (workingCopyExists)
                    EXPECT_EQ(ReadAll(Path(name)), "exact copy made by the flow") << type;
                else
                    EXPECT_FALSE(fs::exists(Path(name))) << kind << " " << type;
            }
            EXPECT_FALSE(TemporaryFileExists()) << kind << " " << type;
            EXPECT_EQ(ReadAll(Path("vor.qvz")), source);
            EXPECT_EQ(ReadAll(Path("ndb.qvz")), source);
        }
    }
}

TEST_F(AddTest, SourceThatIsTheTemporaryFileIsRefused) {
    const std::string source = DistinctRecords(1, kVorRecordSize);
    WriteAll(kTemporaryRecordFile, source);
    const NavaidEntry entry{"A", "", 0, 0, 0, 0, 0, "VOR"};
    for (const std::string& sourcePath :
         {std::string(kTemporaryRecordFile), Path(kTemporaryRecordFile)}) {
        EXPECT_FALSE(AddNavaidToFiles(Family::Vor, sourcePath, Path("out.new"), entry).ok);
        EXPECT_EQ(ReadAll(kTemporaryRecordFile), source);
        EXPECT_FALSE(fs::exists(Path("out.new")));
    }
}

TEST_F(AddTest, FilesFormTakesTheFamilyAndPathsDirectly) {
    const std::string source = DistinctRecords(3, kNdbRecordSize) + "piece";
    WriteAll(Path("a.qvz"), source);
    const NavaidEntry entry{"ab", "c", 0, 0, 1750, 0, 0, "NDB-DME"};
    const Outcome outcome = AddNavaidToFiles(Family::Ndb, Path("a.qvz"), Path("b.new"), entry);
    ASSERT_TRUE(outcome.ok) << outcome.Message();
    // A trailing piece stays where it is: the record goes after the last byte.
    EXPECT_EQ(ReadAll(Path("b.new")), source + Record({"AB", "C", 0, 0, 1750, 0, 0, kNdbDmeBlock}));
    EXPECT_FALSE(TemporaryFileExists());
}

}  // namespace
}  // namespace navaid::test
