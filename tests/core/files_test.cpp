// Addition refusing its own temporary file, and paths that cannot be opened.
#include <cerrno>
#include <functional>

#include "database_file.h"
#include "test_support.h"

namespace navaid::test {
namespace {

using FilesTest = ScratchTest;

// A database under the temporary file's own name would be overwritten.
TEST_F(FilesTest, AddRefusesADatabaseNamedAsItsTemporaryFile) {
    for (const std::string& name : {std::string(kRecordFile), Path(kRecordFile)}) {
        WriteAll(kRecordFile, "a piece");
        EXPECT_FALSE(AddNavaidToFiles(Family::Vor, name, "o.new", {"A", "", 0, 0, 0, 0, 0, "VOR"},
                                      kRecordFile)
                         .ok);
        EXPECT_TRUE(ReadAll(kRecordFile) == "a piece" && !fs::exists("o.new"));
    }
}

// Each reader creates a missing source empty, as a name typed into the file dialog.
TEST_F(FilesTest, PathsThatCannotBeOpenedAreNamedAndLeaveNothing) {
    std::vector<std::string> labels{"stale"};
    // clang-format off
    const std::pair<std::string_view, std::function<Outcome(const std::string&, const std::string&)>> operations[] = {
        {"copy", [](auto& s, auto& o) { return MakeWorkingCopy(s, o); }},
        {"add", [](auto& s, auto& o) { return AddNavaidToFiles(Family::Vor, s, o, {"a", "n", 1, 2, 3, 0, 0, "VOR"}, kRecordFile); }},
        {"delete", [](auto& s, auto& o) { return DeleteNavaid(s, o, kVorRecordSize, 0); }},
        {"list", [](auto& s, auto& o) { return ExportNavaidList(Family::Vor, s, o); }},
        {"labels", [&](auto& s, auto&) { return ListRecordLabels(s, kVorRecordSize, labels); }}};
    // clang-format on
    for (const auto& [name, run] : operations) {
        fs::remove("typed.qvz");
        EXPECT_EQ(run("typed.qvz", "typed.out").ok, name != "delete") << name;
        EXPECT_EQ(ReadAll("typed.qvz"), "") << name;
    }
    EXPECT_TRUE(labels.empty());
    EXPECT_EQ(ReadAll("typed.out"), ListHeaderLine(Family::Vor));
    const std::string source(168, 'v');
    WriteAll("db.qvz", source);
    WriteAll("plain", "a regular file");
    fs::create_directories("folder/keep");
    // Each case: source, output, the path the failure names, the POSIX error.
    // clang-format off
    const std::tuple<std::string, std::string, std::string, int> cases[] = {
        {"folder", "out", "folder", EISDIR}, {"plain/x.qvz", "out", "plain/x.qvz", ENOTDIR},
        {"missing/x.qvz", "out", "missing/x.qvz", ENOENT}, {"db.qvz", "folder", "folder", EISDIR},
        {"db.qvz", "plain/x.new", "plain/x.new", ENOTDIR}, {"db.qvz", "missing/x.new", "missing/x.new", ENOENT}};
    // clang-format on
    for (const auto& [from, to, failing, error] : cases) {
        for (const auto& [name, run] : operations) {
            if (name == "labels" && from == "db.qvz") continue;
            SCOPED_TRACE(std::string(name) + " from " + from + " to " + to);
            WriteAll("out", "stale output from an earlier run");
            const Outcome outcome = run(Path(from), Path(to));
            EXPECT_FALSE(outcome.ok || outcome.reason.empty());
            EXPECT_EQ(outcome.file, Path(failing));
#ifndef _WIN32  // the Windows runtime words its reasons differently
            EXPECT_EQ(outcome.reason, io::ErrorText(error));
#endif
            // Removed if this operation emptied it, else untouched: never partial.
            const auto out = ReadAll("out");
            EXPECT_TRUE(!out || *out == "stale output from an earlier run");
            EXPECT_EQ(ReadAll("db.qvz"), source);
            EXPECT_EQ(ReadAll("plain"), "a regular file");
            EXPECT_TRUE(fs::exists("folder/keep") && !fs::exists("missing") &&
                        !fs::exists(kRecordFile));
        }
    }
}

}  // namespace
}  // namespace navaid::test

namespace navaid::test {
namespace {

// A database put in place by name while a run works on it cannot mix into
// the run: every read and the rewrite go through the file it opened.
TEST_F(FilesTest, ARunReadsTheDatabaseItOpenedNotItsName) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows refuses to replace a file that is open";
#else
    const std::string first = Encoded(Family::Vor, {"A", "ONE", 1, 2, 110, 0, 0, "VOR"}) +
                              Encoded(Family::Vor, {"B", "TWO", 3, 4, 111, 0, 0, "DME"});
    WriteAll("db.qvz", first);
    DatabaseFile database;
    ASSERT_TRUE(database.Open("db.qvz", Family::Vor).ok);
    std::string seen;
    auto collect = [&](std::uint64_t, const std::uint8_t* r) {
        seen.append(reinterpret_cast<const char*>(r), kVorRecordSize);
    };
    ASSERT_TRUE(database.ForEach(collect).ok);
    WriteAll("other.qvz", Encoded(Family::Vor, {"C", "THREE", 5, 6, 112, 0, 0, "VOR"}));
    fs::rename("other.qvz", "db.qvz");
    ASSERT_TRUE(database.ForEach(collect).ok);
    EXPECT_EQ(seen, first + first);
    io::File* file = nullptr;
    ASSERT_TRUE(database.Start(file).ok);
    ASSERT_TRUE(RewriteRecords(*file, "db.qvz.new", kVorRecordSize, [](std::uint64_t i, auto) {
                    return i == 0 ? RecordFate{RecordFate::Drop, {}} : RecordFate{};
                }).ok);
    EXPECT_EQ(ReadAll("db.qvz.new"), first.substr(kVorRecordSize));
#endif
}

}  // namespace
}  // namespace navaid::test
