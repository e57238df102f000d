// Real conditions of the operating system that root cannot override: a full
// disk, a file-size limit, a folder where the record file should go, and a
// source that vanishes after the copy.
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdio>

#include "guarded_run.h"
#include "test_support.h"

namespace navaid::test {
namespace {

const NavaidEntry kEntry{"LAX", "LOS ANGELES", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};

// Some containers have no /dev/full; a link to a missing one would let the
// operation create a regular file there, so the case is left out instead.
bool HaveFullDevice() {
    static const bool present = fs::is_character_file("/dev/full");
    if (!present) std::printf("[ note ] /dev/full is missing here: full-disk cases left out\n");
    return present;
}

std::string TenRecords() {
    std::string bytes;
    for (int i = 0; i < 10; ++i) bytes += Encoded(Family::Vor, kEntry);
    return bytes;
}

// The operations that write an output, from `source` to `output`.
const std::pair<const char*, std::function<Outcome(const std::string&, const std::string&)>>
    kWriters[] = {
        {"working copy", [](auto& s, auto& o) { return MakeWorkingCopy(s, o); }},
        {"add", [](auto& s, auto& o) { return AddNavaidToFiles(Family::Vor, s, o, kEntry); }},
        {"delete", [](auto& s, auto& o) { return DeleteNavaid(s, o, kVorRecordSize, 0); }},
        {"list", [](auto& s, auto& o) { return ExportNavaidList(Family::Vor, s, o); }}};

class OsConditionTest : public ScratchTest {
protected:
    static Outcome Run(const std::function<Outcome()>& operation) {
        return RunGuarded(operation, 0, 0,
                          ::testing::UnitTest::GetInstance()->current_test_info()->name())
            .outcome;
    }
    static void ExpectFailure(const Outcome& outcome, const std::string& file, int error) {
        EXPECT_FALSE(outcome.ok) << "a failure was reported as success";
        EXPECT_EQ(outcome.file, file);
        EXPECT_EQ(outcome.reason, io::ErrorText(error));
    }
    void ExpectNoTemporary() {
        EXPECT_FALSE(fs::exists(fs::symlink_status(Path(kTemporaryRecordFile))))
            << kTemporaryRecordFile << " left behind";
    }
};

TEST_F(OsConditionTest, FullDiskFailsNamingTheOutputAndRemovesIt) {
    if (!HaveFullDevice()) GTEST_SKIP();
    const std::string source = TenRecords();
    WriteAll("db.qvz", source);
    for (const auto& writer : kWriters) {
        SCOPED_TRACE(writer.first);
        // A link, so that removing the failed output can only ever remove the link.
        fs::create_symlink("/dev/full", "full.new");
        ExpectFailure(Run([&] { return writer.second("db.qvz", "full.new"); }), "full.new", ENOSPC);
        EXPECT_FALSE(fs::exists(fs::symlink_status("full.new")));
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
        EXPECT_EQ(ReadAll("db.qvz"), source);
        ExpectNoTemporary();
        fs::remove("full.new");
    }
}

TEST_F(OsConditionTest, UnwritableRecordFileFailsTheAddition) {
    WriteAll("db.qvz", TenRecords());
    std::vector<std::tuple<const char*, std::function<void()>, int>> cases = {
        {"a folder",
         [] {
             fs::create_directory(kTemporaryRecordFile);
             WriteAll(fs::path(kTemporaryRecordFile) / "keep", "kept");
         },
         EISDIR}};
    if (HaveFullDevice())
        cases.emplace_back(
            "a full disk", [] { fs::create_symlink("/dev/full", kTemporaryRecordFile); }, ENOSPC);
    for (const auto& [what, make, error] : cases) {
        SCOPED_TRACE(std::string("the record file on ") + what);
        make();
        WriteAll("db.qvz.new", "the copy the flow made");
        ExpectFailure(
            Run([] { return AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry); }),
            kTemporaryRecordFile, error);
        EXPECT_EQ(ReadAll("db.qvz"), TenRecords());
        EXPECT_FALSE(fs::exists("db.qvz.new"));
        if (error == EISDIR) {
            EXPECT_EQ(ReadAll(fs::path(kTemporaryRecordFile) / "keep"), "kept");
        }
        fs::remove_all(kTemporaryRecordFile);
    }
}

TEST_F(OsConditionTest, FileSizeLimitFailsTheWriteAndRemovesTheOutput) {
    const std::string source = TenRecords();  // 560 bytes, more than the limit
    WriteAll("db.qvz", source);
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    for (const auto& writer : kWriters) {
        SCOPED_TRACE(writer.first);
        rlimit small{300, previous.rlim_max};
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const Outcome outcome = Run([&] { return writer.second("db.qvz", "db.qvz.new"); });
        setrlimit(RLIMIT_FSIZE, &previous);
        ExpectFailure(outcome, "db.qvz.new", EFBIG);
        EXPECT_FALSE(fs::exists("db.qvz.new")) << "a cut-off output stayed";
        EXPECT_EQ(ReadAll("db.qvz"), source);
        ExpectNoTemporary();
    }
    signal(SIGXFSZ, previousHandler);
}

TEST_F(OsConditionTest, SourceVanishingAfterTheCopyIsHandled) {
    const std::string source = TenRecords();
    const std::string src = Path("scenery/db.qvz"), copy = Path("scenery/db.qvz.new");
    auto freshCopy = [&] {
        fs::remove_all(Path("scenery"));
        fs::create_directory(Path("scenery"));
        WriteAll(src, source);
        ASSERT_TRUE(MakeWorkingCopy(src, copy).ok);
    };
    const std::function<Outcome()> add = [&] {
        return AddNavaidToFiles(Family::Vor, src, copy, kEntry);
    };
    const std::function<Outcome()> del = [&] { return DeleteNavaid(src, copy, kVorRecordSize, 9); };
    for (const auto& op : {add, del}) {
        // The folder moved away: nothing can be opened, and what was moved stays whole.
        freshCopy();
        fs::rename(Path("scenery"), Path("moved"));
        ExpectFailure(Run(op), src, ENOENT);
        EXPECT_EQ(ReadAll(Path("moved/db.qvz")), source);
        EXPECT_EQ(ReadAll(Path("moved/db.qvz.new")), source);
        EXPECT_FALSE(fs::exists(Path("scenery")));
        ExpectNoTemporary();
        fs::remove_all(Path("moved"));

        // A folder took the source's name: reading it fails, the copy is withdrawn.
        freshCopy();
        fs::remove(src);
        fs::create_directory(src);
        ExpectFailure(Run(op), src, EISDIR);
        EXPECT_FALSE(fs::exists(copy)) << "a working copy without the source's records stayed";
        ExpectNoTemporary();
    }
}

}  // namespace
}  // namespace navaid::test
