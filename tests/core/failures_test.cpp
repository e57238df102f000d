// Paths the runtime cannot open, for every operation: the failure names the
// path, a stale output of an earlier run is gone, nothing else is touched.
// Kept here so that the Windows runtime's answers are checked too.
#include <cerrno>
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

using Operation = std::function<Outcome(const std::string& source, const std::string& output)>;

const std::pair<const char*, Operation> kOperations[] = {
    {"working copy", [](auto& s, auto& o) { return MakeWorkingCopy(s, o); }},
    {"add",
     [](auto& s, auto& o) {
         return AddNavaidToFiles(Family::Vor, s, o, {"abc", "n", 1, 2, 113.6f, 0, 0, "VORTAC"});
     }},
    {"delete", [](auto& s, auto& o) { return DeleteNavaid(s, o, kVorRecordSize, 1); }},
    {"list", [](auto& s, auto& o) { return ExportNavaidList(Family::Vor, s, o); }},
    {"labels", [](auto& s, auto&) {
         std::vector<std::string> labels;
         return ListRecordLabels(s, kVorRecordSize, labels);
     }}};

using FailureTest = ScratchTest;

TEST_F(FailureTest, UnopenablePathsAreNamedAndLeaveNothing) {
    const std::string source = DistinctRecords(3, kVorRecordSize);
    WriteAll(Path("db.qvz"), source);
    WriteAll(Path("plain"), "a regular file");
    fs::create_directories(Path("folder"));
    WriteAll(Path("folder/keep"), "keeps the folder from being removable");
    const struct {
        const char *source, *output, *failing;
        int error;  // as the POSIX runtime reports it
    } cases[] = {{"folder", "out", "folder", EISDIR},
                 {"plain/x.qvz", "out", "plain/x.qvz", ENOTDIR},
                 {"missing/x.qvz", "out", "missing/x.qvz", ENOENT},
                 {"db.qvz", "folder", "folder", EISDIR},
                 {"db.qvz", "plain/x.new", "plain/x.new", ENOTDIR},
                 {"db.qvz", "missing/x.new", "missing/x.new", ENOENT}};
    for (const auto& c : cases) {
        for (const auto& [name, run] : kOperations) {
            const bool writes = std::string(name) != "labels";
            if (!writes && std::string(c.source) == "db.qvz") continue;
            SCOPED_TRACE(std::string(name) + " from " + c.source + " to " + c.output);
            // An output left by an earlier run must not pass for the result of this one.
            WriteAll(Path("out"), "stale output from an earlier run");
            const Outcome outcome = run(Path(c.source), Path(c.output));
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.file, Path(c.failing));
#ifndef _WIN32
            EXPECT_EQ(outcome.reason, io::ErrorText(c.error));
#endif
            EXPECT_FALSE(outcome.reason.empty());
            if (writes && std::string(c.output) == "out") {
                EXPECT_FALSE(fs::exists(Path("out")));
            }
            EXPECT_EQ(ReadAll(Path("db.qvz")), source);
            EXPECT_EQ(ReadAll(Path("plain")), "a regular file");
            EXPECT_TRUE(fs::exists(Path("folder/keep")));
            EXPECT_FALSE(fs::exists(Path("missing")));
            EXPECT_FALSE(fs::exists(Path(kTemporaryRecordFile)));
        }
    }
}

}  // namespace
}  // namespace navaid::test
