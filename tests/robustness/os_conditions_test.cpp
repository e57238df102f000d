// Real conditions of the operating system that root cannot override: a full
// disk, a file-size limit, a folder where the record file goes, a source
// replaced by a folder after the copy.
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

const NavaidEntry kEntry{"LAX", "LOS ANGELES", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
const std::string kSource(560, 'v');

const std::pair<const char*, std::function<Outcome(const std::string&)>> kWriters[] = {
    {"working copy", [](auto& out) { return MakeWorkingCopy("db.qvz", out); }},
    {"add", [](auto& out) { return AddNavaidToFiles(Family::Vor, "db.qvz", out, kEntry); }},
    {"delete", [](auto& out) { return DeleteNavaid("db.qvz", out, kVorRecordSize, 0); }},
    {"list", [](auto& out) { return ExportNavaidList(Family::Vor, "db.qvz", out); }}};

class OsConditionTest : public ScratchTest {
protected:
    void ExpectFailure(const Outcome& outcome, const std::string& file, int error) {
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.file, file);
        EXPECT_EQ(outcome.reason, io::ErrorText(error));
        EXPECT_EQ(ReadAll("db.qvz"), kSource);
        EXPECT_EQ(fs::exists(fs::symlink_status(kTemporaryRecordFile)), error == EISDIR && file == kTemporaryRecordFile);
    }
};

TEST_F(OsConditionTest, FullDiskAndFileSizeLimitRemoveTheOutput) {
    if (!fs::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    WriteAll("db.qvz", kSource);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    signal(SIGXFSZ, SIG_IGN);
    for (const auto& [name, write] : kWriters) {
        SCOPED_TRACE(name);
        // A link, so that removing the failed output can only ever remove the link.
        fs::create_symlink("/dev/full", "full.new");
        ExpectFailure(write("full.new"), "full.new", ENOSPC);
        EXPECT_FALSE(fs::exists(fs::symlink_status("full.new")));
        rlimit small{300, previous.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const Outcome outcome = write("db.qvz.new");
        setrlimit(RLIMIT_FSIZE, &previous);
        ExpectFailure(outcome, "db.qvz.new", EFBIG);
        EXPECT_FALSE(fs::exists("db.qvz.new"));
    }
    signal(SIGXFSZ, SIG_DFL);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST_F(OsConditionTest, UnwritableRecordFileOrVanishedSourceFailsTheEdit) {
    WriteAll("db.qvz", kSource);
    fs::create_directories(fs::path(kTemporaryRecordFile) / "keep");
    WriteAll("db.qvz.new", "the copy the flow made");
    ExpectFailure(AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry), kTemporaryRecordFile, EISDIR);
    EXPECT_FALSE(fs::exists("db.qvz.new"));
    EXPECT_TRUE(fs::exists(fs::path(kTemporaryRecordFile) / "keep"));
    fs::remove_all(kTemporaryRecordFile);
    // A folder took the source's name after the copy: the copy is withdrawn.
    fs::create_directories("scenery");
    const std::function<Outcome()> edits[] = {
        [] { return AddNavaidToFiles(Family::Vor, "scenery", "scenery.new", kEntry); },
        [] { return DeleteNavaid("scenery", "scenery.new", kVorRecordSize, 9); }};
    for (const auto& edit : edits) {
        WriteAll("scenery.new", kSource);
        ExpectFailure(edit(), "scenery", EISDIR);
        EXPECT_FALSE(fs::exists("scenery.new"));
    }
}

}  // namespace
}  // namespace navaid::test
