// Real conditions of the operating system that root cannot override: a folder
// where a file is expected, a path through a regular file, a missing folder,
// a full disk, a file-size limit, and a source that vanishes after the copy.
#include <signal.h>
#include <sys/resource.h>

#include <cerrno>
#include <cstdio>

#include "robustness_support.h"

namespace navaid::robust {
namespace {

const NavaidEntry kEntry{"LAX", "LOS ANGELES", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};

// Some containers have no /dev/full; a link to a missing one would let the
// operation create a regular file there, so the case is left out instead.
bool HaveFullDevice() {
    static const bool present = fs::is_character_file("/dev/full");
    if (!present)
        std::printf("[ note ] /dev/full is missing here: the full-disk cases are left out\n");
    return present;
}

std::string TenRecords() {
    std::string bytes;
    for (int i = 0; i < 10; ++i) bytes += Encoded(Family::Vor, kEntry);
    return bytes;
}

// The operations that write an output, from `source` to `output`.
struct Writer {
    const char* name;
    std::function<Outcome(const std::string&, const std::string&)> run;
};

std::vector<Writer> Writers() {
    return {
        {"working copy", [](auto& s, auto& o) { return MakeWorkingCopy(s, o); }},
        {"add", [](auto& s, auto& o) { return AddNavaidToFiles(Family::Vor, s, o, kEntry); }},
        {"delete", [](auto& s, auto& o) { return DeleteNavaid(s, o, kVorRecordSize, 0); }},
        {"list", [](auto& s, auto& o) { return ExportNavaidList(Family::Vor, s, o); }},
    };
}

// All five operations, reading `source` (labels write nothing).
std::vector<Writer> Readers() {
    std::vector<Writer> all = Writers();
    all.push_back({"labels", [](auto& s, auto&) {
                       std::vector<std::string> labels;
                       return ListRecordLabels(s, kVorRecordSize, labels);
                   }});
    return all;
}

class OsConditionTest : public ScratchTest {
protected:
    // A folder that must come through untouched: it holds one file.
    void MakeFolder(const std::string& name) {
        fs::create_directory(Path(name));
        WriteAll(Path(name) + "/keep", "kept");
    }
    void ExpectFolderIntact(const std::string& name) {
        EXPECT_TRUE(fs::is_directory(Path(name))) << name;
        EXPECT_EQ(ReadAll(Path(name) + "/keep").value_or(""), "kept") << name;
    }
    static void ExpectFailure(const RunResult& run, const std::string& file, int error) {
        ASSERT_TRUE(run.returned) << "no outcome within the deadline";
        EXPECT_FALSE(run.ok) << "a failure was reported as success";
        EXPECT_EQ(run.file, file);
        EXPECT_EQ(run.reason, io::ErrorText(error));
    }
    void ExpectNoTemporary() {
        EXPECT_FALSE(fs::exists(fs::symlink_status(Path(kTemporaryRecordFile))))
            << kTemporaryRecordFile << " left behind";
    }
};

TEST_F(OsConditionTest, UnreadableSourceFailsNamingItAndWritesNothing) {
    WriteAll(Path("plain"), "a regular file");
    MakeFolder("folder.qvz");
    const struct {
        const char* what;
        std::string source;
        int error;
    } cases[] = {
        {"a folder", "folder.qvz", EISDIR},
        {"a path through a regular file", "plain/vor.qvz", ENOTDIR},
        {"a missing folder", "missing/vor.qvz", ENOENT},
    };
    for (const auto& c : cases) {
        for (const Writer& op : Readers()) {
            SCOPED_TRACE(std::string(op.name) + " with the source in " + c.what);
            const RunResult run = RunInChild([&] { return op.run(c.source, "out.new"); }, 0, 0);
            ExpectFailure(run, c.source, c.error);
            EXPECT_FALSE(fs::exists(Path("out.new")));
            ExpectNoTemporary();
            ExpectFolderIntact("folder.qvz");
            EXPECT_EQ(ReadAll(Path("plain")).value_or(""), "a regular file");
        }
    }
}

TEST_F(OsConditionTest, UnwritableOutputFailsNamingItAndKeepsTheSource) {
    const std::string source = TenRecords();
    WriteAll(Path("db.qvz"), source);
    WriteAll(Path("plain"), "a regular file");
    MakeFolder("folder.new");
    struct Case {
        const char* what;
        std::string output;
        int error;
    };
    std::vector<Case> cases = {
        {"a folder", "folder.new", EISDIR},
        {"a path through a regular file", "plain/out.new", ENOTDIR},
        {"a missing folder", "missing/out.new", ENOENT},
    };
    const bool full = HaveFullDevice();
    if (full) {
        // A link, so that removing the failed output can only ever remove the link.
        fs::create_symlink("/dev/full", Path("full.new"));
        cases.push_back({"a full disk", "full.new", ENOSPC});
    }
    for (const auto& c : cases) {
        for (const Writer& op : Writers()) {
            SCOPED_TRACE(std::string(op.name) + " with the output on " + c.what);
            const RunResult run = RunInChild([&] { return op.run("db.qvz", c.output); }, 0, 0);
            ExpectFailure(run, c.output, c.error);
            EXPECT_EQ(ReadAll(Path("db.qvz")), source);
            ExpectNoTemporary();
            ExpectFolderIntact("folder.new");
            if (full) {
                EXPECT_TRUE(fs::is_character_file("/dev/full"));
                if (!fs::exists(fs::symlink_status(Path("full.new"))))
                    fs::create_symlink("/dev/full", Path("full.new"));
            }
            EXPECT_EQ(ReadAll(Path("plain")).value_or(""), "a regular file");
        }
    }
}

TEST_F(OsConditionTest, UnwritableRecordFileFailsTheAddition) {
    WriteAll(Path("db.qvz"), TenRecords());
    struct Case {
        const char* what;
        std::function<void()> make;
        int error;
    };
    std::vector<Case> cases = {{"a folder", [&] { MakeFolder(kTemporaryRecordFile); }, EISDIR}};
    if (HaveFullDevice()) {
        cases.push_back({"a full disk",
                         [&] { fs::create_symlink("/dev/full", Path(kTemporaryRecordFile)); },
                         ENOSPC});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("the record file on ") + c.what);
        c.make();
        const RunResult run = RunInChild(
            [] { return AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry); }, 0, 0);
        ExpectFailure(run, kTemporaryRecordFile, c.error);
        EXPECT_EQ(ReadAll(Path("db.qvz")), TenRecords());
        EXPECT_FALSE(fs::exists(Path("db.qvz.new")));
        fs::remove_all(fs::path(Path(kTemporaryRecordFile)));
    }
}

TEST_F(OsConditionTest, FileSizeLimitFailsTheWriteAndRemovesTheOutput) {
    const std::string source = TenRecords();  // 560 bytes, more than the limit
    WriteAll(Path("db.qvz"), source);
    auto limit = [] {
        signal(SIGXFSZ, SIG_IGN);
        rlimit small{300, 300};
        setrlimit(RLIMIT_FSIZE, &small);
    };
    for (const Writer& op : Writers()) {
        SCOPED_TRACE(op.name);
        const RunResult run =
            RunInChild([&] { return op.run("db.qvz", "db.qvz.new"); }, 0, 0, limit);
        ExpectFailure(run, "db.qvz.new", EFBIG);
        EXPECT_FALSE(fs::exists(Path("db.qvz.new"))) << "a cut-off output stayed";
        EXPECT_EQ(ReadAll(Path("db.qvz")), source);
        ExpectNoTemporary();
    }
}

TEST_F(OsConditionTest, SourceVanishingAfterTheCopyIsHandled) {
    const std::string source = TenRecords();
    auto freshCopy = [&] {
        fs::remove_all(Path("scenery"));
        fs::create_directory(Path("scenery"));
        WriteAll(Path("scenery/db.qvz"), source);
        ASSERT_TRUE(MakeWorkingCopy(Path("scenery/db.qvz"), Path("scenery/db.qvz.new")).ok);
    };
    const std::string src = Path("scenery/db.qvz"), copy = Path("scenery/db.qvz.new");
    auto add = [&] { return AddNavaidToFiles(Family::Vor, src, copy, kEntry); };
    auto del = [&] { return DeleteNavaid(src, copy, kVorRecordSize, 9); };

    // The folder moved away: nothing can be opened, and what was moved stays whole.
    for (const auto& op : {std::function<Outcome()>(add), std::function<Outcome()>(del)}) {
        freshCopy();
        fs::rename(Path("scenery"), Path("moved"));
        const RunResult run = RunInChild(op, 0, 0);
        ExpectFailure(run, src, ENOENT);
        EXPECT_EQ(ReadAll(Path("moved/db.qvz")), source);
        EXPECT_EQ(ReadAll(Path("moved/db.qvz.new")), source);
        EXPECT_FALSE(fs::exists(Path("scenery")));
        ExpectNoTemporary();
        fs::remove_all(Path("moved"));
    }

    // A folder took the source's name: reading it fails, the copy is withdrawn.
    for (const auto& op : {std::function<Outcome()>(add), std::function<Outcome()>(del)}) {
        freshCopy();
        fs::remove(src);
        fs::create_directory(src);
        const RunResult run = RunInChild(op, 0, 0);
        ExpectFailure(run, src, EISDIR);
        EXPECT_FALSE(fs::exists(copy)) << "a working copy without the source's records stayed";
        ExpectNoTemporary();
    }

    // The file alone was deleted: opening it creates it empty, as a typed-in
    // name does, so the addition gives the new record alone.
    freshCopy();
    fs::remove(src);
    const RunResult run = RunInChild(add, 0, 0);
    ASSERT_TRUE(run.returned);
    EXPECT_TRUE(run.ok) << run.file << ": " << run.reason;
    EXPECT_EQ(ReadAll(src), "");
    EXPECT_EQ(ReadAll(copy), Encoded(Family::Vor, kEntry));
    ExpectNoTemporary();
}

}  // namespace
}  // namespace navaid::robust
