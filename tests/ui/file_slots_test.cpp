// The program's own state on the core: the chosen path in its family's slot,
// the addition through the slots by kind letter, the entry dialogs' types.
#include "file_slots.h"

#include <algorithm>
#include <string>
#include <vector>

#include "entry_types.h"
#include "test_support.h"

namespace navaid::test {
namespace {

using FileSlotsTest = ScratchTest;

TEST_F(FileSlotsTest, AddThroughTheSlotsAppendsToTheWholeSourceOrWritesNothing) {
    FileSlots.vor = {Path("vor.qvz"), Path("vor.qvz.new"), ""};
    FileSlots.ndb = {Path("ndb.qvz"), Path("ndb.qvz.new"), ""};
    WriteAll("vor.qvz", "a piece");
    WriteAll(kTemporaryRecordFile, "left over from another run");
    ASSERT_TRUE(AddNavaid("V", {" lax ", "l", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"}).ok);
    EXPECT_EQ(ReadAll("vor.qvz.new"),
              "a piece" + Encoded(Family::Vor,
                                  {"lax", "l", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"}));
    ASSERT_TRUE(AddNavaid("N", {"xy", "n", 47.5f, -0.25f, 375.0f, 0.0f, 9, "ndb"}).ok);
    EXPECT_EQ(ReadAll("ndb.qvz.new"),
              Encoded(Family::Ndb, {"xy", "n", 47.5f, -0.25f, 375, 0, 0, "NDB"}));
    for (const auto& [kind, type] :
         {std::pair{"V", "NDB-DME"}, {"N", "DME"}, {"X", "VOR"}, {"", "NDB"}}) {
        WriteAll("vor.qvz.new", "the flow's copy");
        fs::remove("ndb.qvz.new");
        EXPECT_FALSE(AddNavaid(kind, {"id", "name", 1, 2, 3, 4, 5, type}).ok) << kind << type;
        EXPECT_EQ(ReadAll("vor.qvz.new"), "the flow's copy");
        EXPECT_FALSE(fs::exists("ndb.qvz.new") || fs::exists(kTemporaryRecordFile));
    }
    FileSlotTable slots;
    SetSourcePath(slots, Family::Ndb, "C:\\Daten\\NAV\xC4.QVZ");
    EXPECT_EQ(slots.ndb.sourcePath, "c:\\daten\\nav\xE4.qvz");
    EXPECT_EQ(slots.vor.sourcePath, "");
    FileSlots = FileSlotTable{};
}

// A type missing from its dialog's list could not be added in the program.
TEST(EntryTypesTest, EachDialogOffersEveryTypeOfItsFamilyOnce) {
    std::size_t count = 0;
    const TypeBlock* types = TypeBlocks(count);
    for (Family family : {Family::Vor, Family::Ndb}) {
        std::vector<std::string> offered(EntryTypeNames(family).begin(),
                                         EntryTypeNames(family).end());
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < count; ++i)
            if (types[i].family == family) expected.push_back(types[i].name);
        std::sort(offered.begin(), offered.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(offered, expected) << FamilyName(family);
    }
}

}  // namespace
}  // namespace navaid::test
