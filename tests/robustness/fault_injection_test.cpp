// Every operation with each of its file calls failing in turn through the
// core's seam: it must return, name the file and the reason, leave the
// database as it was, leave no wrong output (not even the copy an earlier step
// left) and no temporary record file.
#include <cerrno>
#include <functional>

#include "test_support.h"

namespace navaid::test {
namespace {

const std::string kLeftover = "a record file of an earlier run";

std::string Records(Family family, int count, const std::string& piece) {
    std::string bytes, record;
    for (int i = 0; i < count; ++i, bytes += record) {
        const char* type = family == Family::Vor ? "VOR" : "NDB";
        EXPECT_TRUE(EncodeRecord(family, {std::to_string(i), "N\nM", 1, 2, 3, 4, i, type}, record));
    }
    return bytes + piece;
}

struct Operation {
    const char* name;
    std::string source, output;  // empty: no database / writes no file
    std::function<Outcome()> run;
    bool leftoverTemporary = false;
};

std::vector<Operation> Operations(int count) {
    const std::string vor = Records(Family::Vor, count, std::string(30, 'P'));
    const std::string ndb = Records(Family::Ndb, 3, "q");
    auto labels = [](std::size_t size) {
        return [size] {
            std::vector<std::string> got;
            Outcome outcome = ListRecordLabels("db.qvz", size, got);
            const std::uint64_t length = ReadAll("db.qvz").value_or("").size();
            return outcome && got.size() != LabelCount(length, size) ? Outcome::Failure("?", "")
                                                                     : outcome;
        };
    };
    const NavaidEntry entry{"lax", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
    auto add = [entry](Family f) {
        return [=] { return AddNavaidToFiles(f, "db.qvz", "db.qvz.new", entry); };
    };
    auto copy = [] { return MakeWorkingCopy("db.qvz", "db.qvz.new"); };
    auto list = [](Family f) {
        return [f] { return ExportNavaidList(f, "db.qvz", "db.qvz.txt"); };
    };
    auto del = [](long long i) {
        return [i] { return DeleteNavaid("db.qvz", "db.qvz.new", 56, i); };
    };
    NavaidEntry ndbEntry = entry;
    ndbEntry.typeName = "NDB-DME";
    // clang-format off
    return {{"working copy", vor, "db.qvz.new", copy}, {"copy of a missing source", "", "db.qvz.new", copy},
            {"add VOR", vor, "db.qvz.new", add(Family::Vor)},
            {"add over a leftover record file", vor, "db.qvz.new", add(Family::Vor), true},
            {"add NDB", ndb, "db.qvz.new", [=] { return AddNavaidToFiles(Family::Ndb, "db.qvz", "db.qvz.new", ndbEntry); }},
            {"labels VOR", vor, "", labels(kVorRecordSize)}, {"labels NDB", ndb, "", labels(kNdbRecordSize)},
            {"delete", vor, "db.qvz.new", del(count - 1)}, {"delete the piece", vor, "db.qvz.new", del(count)},
            {"list VOR", vor, "db.qvz.txt", list(Family::Vor)}, {"list NDB", ndb, "db.qvz.txt", list(Family::Ndb)}};
    // clang-format on
}

class FaultSweepTest : public ScratchTest, public ::testing::WithParamInterface<int> {
protected:
    void Prepare(const Operation& op) {
        for (const auto& entry : fs::directory_iterator(Dir())) fs::remove_all(entry.path());
        if (!op.source.empty()) WriteAll("db.qvz", op.source);
        if (!op.output.empty()) WriteAll(op.output, "the copy an earlier step made");
        if (op.leftoverTemporary) WriteAll(kTemporaryRecordFile, kLeftover);
    }
    // Every call of `op`, failing in turn with `error`, until it runs clean.
    void Sweep(const Operation& op, int error, long every = 1) {
        SCOPED_TRACE(op.name);
        Prepare(op);
        ASSERT_TRUE(op.run().ok);
        const long calls = io::faults::CallCount();
        const auto golden = ReadAll(op.output);
        for (long n = 1; n <= calls; ++n) {
            if (n > 40 && n < calls - 150 && n % every != 0) continue;
            SCOPED_TRACE("failing call " + std::to_string(n));
            Prepare(op);
            io::faults::FailCall(n, error);
            const Outcome outcome = op.run();
            ASSERT_TRUE(io::faults::Injected());
            io::faults::Reset();
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.reason, io::ErrorText(error));
            EXPECT_TRUE(outcome.file == "db.qvz" || outcome.file == op.output ||
                        outcome.file == kTemporaryRecordFile)
                << outcome.file;
            EXPECT_EQ(ReadAll("db.qvz").value_or(""), op.source);
            const auto output = ReadAll(op.output);
            EXPECT_TRUE(!output || output == golden) << op.output << " left behind";
            // Only a failed removal of the record file, an addition's last call, may leave it.
            const auto temporary = ReadAll(kTemporaryRecordFile);
            if (temporary && !(n == calls && outcome.file == kTemporaryRecordFile)) {
                EXPECT_TRUE(op.leftoverTemporary && temporary == kLeftover);
            }
            for (const auto& entry : fs::directory_iterator(Dir())) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(name == "db.qvz" || name == op.output || name == kTemporaryRecordFile);
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
