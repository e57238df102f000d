// Every operation with each of its file calls failing in turn through the
// core's seam: it must return, name the file and the reason, leave the
// database as it was, leave no wrong output (not even the copy an earlier step
// left) and no temporary record file.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

const NavaidEntry kVor{"lax", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
const std::string kLeftover = "a record file of an earlier run", kStale = "the copy an earlier step made";

std::string Records(Family family, int count, std::string piece) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        std::string record;
        NavaidEntry entry = kVor;
        entry.id.insert(0, std::to_string(i));
        entry.typeName = family == Family::Vor ? "VOR" : "NDB";
        EXPECT_TRUE(EncodeRecord(family, entry, record).ok);
        bytes += record;
    }
    return bytes + piece;
}

struct Operation {
    const char* name;
    std::string source;  // empty: there is none
    std::string output;  // empty: writes no file
    bool leftoverTemporary;
    std::function<Outcome()> run;
};

std::vector<Operation> Operations(int count) {
    const std::string vor = Records(Family::Vor, count, std::string(30, 'P')), ndb = Records(Family::Ndb, 3, "q");
    auto labels = [](std::size_t size) {
        return [size] {
            std::vector<std::string> got;
            Outcome outcome = ListRecordLabels("db.qvz", size, got);
            const std::string bytes = ReadAll("db.qvz").value_or("");
            if (outcome && got.size() != LabelCount(bytes.size(), size)) return Outcome::Failure("<labels>", "");
            return outcome;
        };
    };
    auto add = [](Family family) { return [family] { return AddNavaidToFiles(family, "db.qvz", "db.qvz.new", kVor); }; };
    auto copy = [] { return MakeWorkingCopy("db.qvz", "db.qvz.new"); };
    return {{"working copy", vor, "db.qvz.new", false, copy},
            {"working copy of a missing source", "", "db.qvz.new", false, copy},
            {"add VOR", vor, "db.qvz.new", false, add(Family::Vor)},
            {"add over a leftover record file", vor, "db.qvz.new", true, add(Family::Vor)},
            {"add NDB", ndb, "db.qvz.new", false, [] {
                 return AddNavaidToFiles(Family::Ndb, "db.qvz", "db.qvz.new", {"x", "", 1, 2, 375, 0, 0, "NDB"});
             }},
            {"labels VOR", vor, "", false, labels(kVorRecordSize)},
            {"labels NDB", ndb, "", false, labels(kNdbRecordSize)},
            {"delete", vor, "db.qvz.new", false, [count] { return DeleteNavaid("db.qvz", "db.qvz.new", 56, count - 1); }},
            {"delete the piece", vor, "db.qvz.new", false, [count] { return DeleteNavaid("db.qvz", "db.qvz.new", 56, count); }},
            {"list VOR", vor, "db.qvz.txt", false, [] { return ExportNavaidList(Family::Vor, "db.qvz", "db.qvz.txt"); }},
            {"list NDB", ndb, "db.qvz.txt", false, [] { return ExportNavaidList(Family::Ndb, "db.qvz", "db.qvz.txt"); }}};
}

class FaultSweepTest : public ScratchTest, public ::testing::WithParamInterface<int> {
protected:
    void Prepare(const Operation& op) {
        for (const auto& entry : fs::directory_iterator(Dir())) fs::remove_all(entry.path());
        if (!op.source.empty()) WriteAll("db.qvz", op.source);
        if (!op.output.empty()) WriteAll(op.output, kStale);
        if (op.leftoverTemporary) WriteAll(kTemporaryRecordFile, kLeftover);
    }
    // Runs `op` with call `n` failing (0: none), under a deadline so a hang names itself.
    Outcome Run(const Operation& op, long n, int error) {
        static const char* what;
        what = op.name;
        signal(SIGALRM, [](int) { (void)!write(2, what, std::strlen(what)); _exit(1); });
        alarm(60);
        io::faults::FailCall(n, error);
        const Outcome outcome = op.run();
        alarm(0);
        return outcome;
    }
    // Every call of `op`, failing in turn with `error`, until it runs clean.
    void Sweep(const Operation& op, int error, long every = 1) {
        SCOPED_TRACE(op.name);
        Prepare(op);
        ASSERT_TRUE(Run(op, 0, 0).ok);
        const long calls = io::faults::CallCount();
        const std::optional<std::string> golden = op.output.empty() ? std::nullopt : ReadAll(op.output);
        for (long n = 1; n <= calls; ++n) {
            if (n > 40 && n < calls - 150 && n % every != 0) continue;
            SCOPED_TRACE("failing call " + std::to_string(n));
            Prepare(op);
            const Outcome outcome = Run(op, n, error);
            ASSERT_TRUE(io::faults::Injected());
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.reason, io::ErrorText(error));
            EXPECT_TRUE(outcome.file == "db.qvz" || outcome.file == op.output || outcome.file == kTemporaryRecordFile)
                << outcome.file;
            EXPECT_EQ(ReadAll("db.qvz").value_or(""), op.source);
            const std::optional<std::string> output = op.output.empty() ? std::nullopt : ReadAll(op.output);
            EXPECT_TRUE(!output || output == golden) << op.output << " left behind";
            // Only a failed removal of the record file itself, the last call of an addition, may leave it.
            const std::optional<std::string> temporary = ReadAll(kTemporaryRecordFile);
            if (temporary && !(n == calls && outcome.file == kTemporaryRecordFile)) {
                EXPECT_TRUE(op.leftoverTemporary && temporary == kLeftover);
            }
            for (const auto& entry : fs::directory_iterator(Dir())) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name == "db.qvz" || name == op.output || name == kTemporaryRecordFile) << name;
            }
        }
    }
};

// Also on files larger than the 64 KiB copy buffer, which take several reads and writes.
TEST_P(FaultSweepTest, EveryFailingCallIsReportedAndLosesNothing) {
    for (int count : {3, 1200})
        for (const Operation& op : Operations(count))
            if (count == 3 || op.output != "db.qvz.txt") Sweep(op, GetParam());
}

// A large list writes line by line: thousands of calls, every 13th in the middle failing.
TEST_F(FaultSweepTest, LargeFilesListFailingAnywhere) {
    for (const Operation& op : Operations(1200))
        if (op.output == "db.qvz.txt") Sweep(op, EIO, 13);
}

INSTANTIATE_TEST_SUITE_P(Errors, FaultSweepTest, ::testing::Values(EIO, ENOSPC, EACCES));

}  // namespace
}  // namespace navaid::test
