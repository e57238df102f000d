// Real conditions of the operating system that root cannot override: a full
// disk, and a folder where the record file goes. Folders and files in a path
// are the core tests' concern, which run under Windows too.
#include <cerrno>
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

const NavaidEntry kEntry{"LAX", "LOS ANGELES", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
const std::string kSource(560, 'v');

class OsConditionTest : public ScratchTest {
protected:
    void ExpectFailure(const Outcome& outcome, const std::string& file, int error) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.file, file);
        EXPECT_EQ(outcome.reason, io::ErrorText(error));
        EXPECT_EQ(ReadAll("db.qvz"), kSource);
        EXPECT_EQ(fs::exists(fs::symlink_status(kTemporaryRecordFile)),
                  error == EISDIR && file == kTemporaryRecordFile);
    }
};

TEST_F(OsConditionTest, FullDiskFailsNamingTheOutputAndRemovesIt) {
    if (!fs::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    WriteAll("db.qvz", kSource);
    const std::function<Outcome(const std::string&)> writers[] = {
        [](auto& out) { return MakeWorkingCopy("db.qvz", out); },
        [](auto& out) { return AddNavaidToFiles(Family::Vor, "db.qvz", out, kEntry); },
        [](auto& out) { return DeleteNavaid("db.qvz", out, kVorRecordSize, 0); },
        [](auto& out) { return ExportNavaidList(Family::Vor, "db.qvz", out); }};
    for (const auto& write : writers) {
        // A link, so that removing the failed output can only ever remove the link.
        fs::create_symlink("/dev/full", "full.new");
        ExpectFailure(write("full.new"), "full.new", ENOSPC);
        EXPECT_FALSE(fs::exists(fs::symlink_status("full.new")));
    }
    fs::create_symlink("/dev/full", kTemporaryRecordFile);
    ExpectFailure(AddNavaidToFiles(Family::Vor, "db.qvz", "x", kEntry), kTemporaryRecordFile,
                  ENOSPC);
    EXPECT_TRUE(fs::is_character_file("/dev/full") && !fs::exists("x"));
}

TEST_F(OsConditionTest, FolderAsTheRecordFileFailsTheAdditionAndWithdrawsTheCopy) {
    WriteAll("db.qvz", kSource);
    fs::create_directories(fs::path(kTemporaryRecordFile) / "keep");
    WriteAll("db.qvz.new", "the copy the flow made");
    ExpectFailure(AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry),
                  kTemporaryRecordFile, EISDIR);
    EXPECT_TRUE(!fs::exists("db.qvz.new") && fs::exists(fs::path(kTemporaryRecordFile) / "keep"));
}

}  // namespace
}  // namespace navaid::test
