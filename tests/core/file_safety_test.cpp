// What the core may and may not do to files around an edit: keep a user's
// protected output, keep a finished edit whose temporary file stayed, notice
// another program replacing that file, and name the right file when a path
// holds bytes outside ASCII (the Windows build's ANSI code page).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "navaid_db.h"
#include "test_support.h"
#if defined(_WIN32)
#include <direct.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace navaid {
namespace {

using test::kRecordFile;

// Narrow C runtime calls, which take ANSI paths on Windows like the core.
std::optional<std::string> Read(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return std::nullopt;
    std::string bytes;
    for (int c; (c = std::fgetc(f)) != EOF;) bytes += static_cast<char>(c);
    std::fclose(f);
    return bytes;
}
void Write(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}
#if defined(_WIN32)
int MakeDir(const std::string& p) { return _mkdir(p.c_str()); }
int ChangeDir(const std::string& p) { return _chdir(p.c_str()); }
std::string CurrentDir() {
    char b[1024];
    return _getcwd(b, sizeof b) ? b : "";
}
#else
int MakeDir(const std::string& p) { return mkdir(p.c_str(), 0777); }
int ChangeDir(const std::string& p) { return chdir(p.c_str()); }
std::string CurrentDir() {
    char b[1024];
    return getcwd(b, sizeof b) ? b : "";
}
#endif

const NavaidEntry kEntry{"lax", "los angeles", 33.93f, -118.43f, 113.6f, 13, 120, "VORTAC"};

class FileSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all("file_safety");
        std::filesystem::create_directory("file_safety");
        home_ = CurrentDir();
        ASSERT_EQ(ChangeDir("file_safety"), 0);
        Write("db.qvz", std::string(112, 'D'));
        ASSERT_TRUE(AddNavaidToFiles(Family::Vor, "db.qvz", "golden", kEntry, kRecordFile));
    }
    void TearDown() override {
        io::faults::Reset();
        ChangeDir(home_);
        std::filesystem::remove_all("file_safety");
    }
    std::string home_;
};

TEST_F(FileSafetyTest, AFinishedEditStaysWhenOnlyTheTemporaryFileCannotBeDeleted) {
    Write("db.qvz.new", "");  // present in every run, so each makes the same calls
    io::faults::Reset();
    ASSERT_TRUE(AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry, kRecordFile));
    const long calls = io::faults::CallCount();
    for (long failing : {calls - 1, calls}) {  // the status query, then the removal
        io::faults::FailCall(failing, EIO);
        const Outcome outcome =
            AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry, kRecordFile);
        EXPECT_TRUE(outcome.ok && outcome.HasWarning()) << failing;
        EXPECT_EQ(outcome.file, kRecordFile);
        EXPECT_EQ(Read("db.qvz.new"), Read("golden"));
        io::faults::FailCall(1, EIO);
        EXPECT_FALSE(io::RemoveFile(kRecordFile).ok);  // a failed query is no success
        EXPECT_TRUE(Read(kRecordFile).has_value());
    }
}

TEST_F(FileSafetyTest, OnlyTheRecordThisAdditionBuiltIsAppended) {
    io::faults::Reset();
    ASSERT_TRUE(AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry, kRecordFile));
    const std::string stranger(kVorRecordSize, 'Z');
    int noticed = 0;
    // Another instance in the same folder removes or rewrites the file at any moment.
    for (bool remove : {true, false}) {
        for (long call = 1; call <= io::faults::CallCount() + 1; ++call) {
            std::remove("db.qvz.new");
            io::faults::BeforeCall(call, [&] {
                if (remove)
                    std::remove(kRecordFile);
                else
                    Write(kRecordFile, stranger);
            });
            const Outcome outcome =
                AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry, kRecordFile);
            if (outcome.ok) {
                EXPECT_EQ(Read("db.qvz.new"), Read("golden")) << call;
            } else {
                ++noticed;
                EXPECT_EQ(outcome.file, kRecordFile) << call;
                EXPECT_FALSE(Read("db.qvz.new").has_value()) << call;
            }
            std::remove(kRecordFile);
        }
    }
    EXPECT_GE(noticed, 2);
}

TEST_F(FileSafetyTest, PathsOutsideAsciiNameTheChosenFile) {
    // A euro sign and curly quote in Windows-1252; Cyrillic letters in 1251.
    for (const std::string folder : {"\x80 \x93q\x94", "\xcf\xf0\xe8"}) {
        ASSERT_EQ(MakeDir(folder), 0);
        Write(folder + "/x.qvz", "x");
        EXPECT_TRUE(io::RemoveFile(folder + "/x.qvz"));
        EXPECT_FALSE(Read(folder + "/x.qvz").has_value());
        // A database named like the temporary file is refused, not overwritten.
        ASSERT_EQ(ChangeDir(folder), 0);
        Write(kRecordFile, "a database of that name");
        const std::string database = CurrentDir() + "/" + kRecordFile;
        EXPECT_FALSE(
            AddNavaidToFiles(Family::Vor, database, database + ".new", kEntry, kRecordFile).ok);
        EXPECT_EQ(Read(kRecordFile), "a database of that name");
        ASSERT_EQ(ChangeDir(".."), 0);
    }
}

#if !defined(_WIN32)
// A write-protected output is the user's: a failed open leaves it in place.
// Root may write anything, so the operations run as an ordinary user then.
TEST_F(FileSafetyTest, AWriteProtectedOutputIsKept) {
    chmod(".", 0777);
    const std::pair<const char*, Outcome (*)()> cases[] = {
        {"db.qvz.new", [] { return MakeWorkingCopy("db.qvz", "db.qvz.new"); }},
        {"db.qvz.new",
         [] { return AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", kEntry, kRecordFile); }},
        {"db.qvz.new", [] { return DeleteNavaid("db.qvz", "db.qvz.new", kVorRecordSize, 0); }},
        {"db.qvz.txt", [] { return ExportNavaidList(Family::Vor, "db.qvz", "db.qvz.txt"); }}};
    for (const auto& [output, run] : cases) {
        Write(output, "the user's own");
        chmod(output, 0444);
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
            const Outcome outcome = run();
            _exit(outcome.ok ? 1 : outcome.file == output ? 0 : 2);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0) << output;
        EXPECT_EQ(Read(output), "the user's own") << output;
        std::remove(output);
    }
}
#endif

}  // namespace
}  // namespace navaid
