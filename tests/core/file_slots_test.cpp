// File slots, derived names and the working copy.
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

TEST(FileSlotsTest, SourcePathIsLowerCasedAndFamiliesStaySeparate) {
    FileSlotTable slots;
    slots.ndb = {"n.qvz", "n.qvz.new", "n.qvz.txt"};
    SetSourcePath(slots, Family::Vor, "C:\\Scenery\\VOR.QVZ");
    EXPECT_EQ(slots.vor.sourcePath, "c:\\scenery\\vor.qvz");
    EXPECT_EQ(slots.ndb.sourcePath, "n.qvz");
    EXPECT_EQ(slots.ndb.workingCopyPath, "n.qvz.new");
    EXPECT_EQ(slots[Family::Vor].sourcePath, "c:\\scenery\\vor.qvz");

    SetSourcePath(slots, Family::Ndb, "D:\\\xC4RGER\\NDB.QVZ");
    EXPECT_EQ(slots.ndb.sourcePath, "d:\\\xE4rger\\ndb.qvz");
    EXPECT_EQ(slots.vor.sourcePath, "c:\\scenery\\vor.qvz");

    // Trail bytes in the letter range belong to their character and keep their case.
    FakeDoubleByteCase dbcs;
    CodePageScope scope(&dbcs);
    SetSourcePath(slots, Family::Vor, "C:\\\x83\x41\x83X\\NAV.QVZ");
    EXPECT_EQ(slots.vor.sourcePath, "c:\\\x83\x41\x83X\\nav.qvz");
}

TEST(FileSlotsTest, DerivedNamesAppendToTheWholeName) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"c:\\data\\vor.qvz", "c:\\data\\vor.qvz.new", "c:\\data\\vor.qvz.txt"},
        {"x.qvz.new", "x.qvz.new.new", "x.qvz.new.txt"},
        {"noext", "noext.new", "noext.txt"},
        {"", ".new", ".txt"}};
    for (const auto& [source, working, list] : cases) {
        EXPECT_EQ(WorkingCopyName(source), working);
        EXPECT_EQ(ListName(source), list);
    }
}

class WorkingCopyTest : public ScratchTest {};

TEST_F(WorkingCopyTest, CopiesEveryByteExactly) {
    std::string allBytes;
    for (int i = 0; i < 256; ++i) allBytes += static_cast<char>(i);
    std::string large;  // larger than any stream buffer, with an odd length
    for (std::size_t i = 0; i < 300001; ++i) large += static_cast<char>((i * 7919) >> 3);
    const std::string sources[] = {"", "\x1A", std::string("\r\n\n\r\x1A\0", 6) + allBytes, large};
    for (const std::string& source : sources) {
        WriteAll(Path("src.qvz"), source);
        WriteAll(Path("src.qvz.new"), "an older and much longer working copy" + allBytes);
        const Outcome outcome = MakeWorkingCopy(Path("src.qvz"), Path("src.qvz.new"));
        ASSERT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("src.qvz.new")), source) << source.size();
        EXPECT_EQ(ReadAll(Path("src.qvz")), source);
    }
}

// A name typed into the file dialog that names no file yet is an empty
// database, created by whichever operation reads it.
TEST_F(WorkingCopyTest, EveryReaderCreatesAMissingSourceEmpty) {
    const std::string typed = Path("typed.qvz");
    std::vector<std::string> labels{"stale"};
    const std::function<Outcome()> readers[] = {
        [&] { return MakeWorkingCopy(typed, typed + ".new"); },
        [&] { return ExportNavaidList(Family::Ndb, typed, typed + ".txt"); },
        [&] { return ListRecordLabels(typed, kNdbRecordSize, labels); }};
    for (const auto& read : readers) {
        fs::remove(typed);
        const Outcome outcome = read();
        ASSERT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(typed), "");
    }
    EXPECT_EQ(ReadAll(typed + ".new"), "");
    EXPECT_EQ(ReadAll(typed + ".txt"), ListHeaderLine(Family::Ndb));
    EXPECT_TRUE(labels.empty());
}

}  // namespace
}  // namespace navaid::test
