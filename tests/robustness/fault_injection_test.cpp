// Every operation, with each of its file-system calls failing in turn: it
// must return, say which file failed and why, leave the database as it was,
// leave no wrong output under the output's name (not even the copy an earlier
// step left there) and no temporary record file.
#include <cerrno>
#include <cstdio>

#include "guarded_run.h"
#include "test_support.h"

namespace navaid::test {
namespace {

const NavaidEntry kVorEntry{"lax", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
const NavaidEntry kNdbEntry{"xy", "sample ndb", 47.5f, -0.25f, 375.0f, 0.0f, 0, "NDB-DME"};

// Three records, one with a line feed in its name and one with a zero byte in
// its ID, then a trailing piece that still gives a label.
std::string VorSource() {
    std::string zeroId = Encoded(Family::Vor, {"TR", "TRIER", 49.8f, 6.6f, 108.05f, 1, 0, "DME"});
    zeroId[2] = '\0';
    return Encoded(Family::Vor, kVorEntry) +
           Encoded(Family::Vor, {"FFM", "FRANK\nFURT", 50.05f, 8.6f, 114.2f, 1.5f, 364, "VOR"}) +
           zeroId + std::string(30, 'P');
}

std::string NdbSource() {
    return Encoded(Family::Ndb, kNdbEntry) +
           Encoded(Family::Ndb, {"A", "ALPHA", 1, 2, 190, 0, 0, "NDB"}) +
           Encoded(Family::Ndb, {"ZZZZ", "ZULU", -33.9f, 151.2f, 1750, 12.5f, 0, "NDB"}) +
           std::string(10, 'q');
}

// Larger than the core's 64 KiB copy buffer, so copies and lists take several
// reads and writes, each of which can fail.
constexpr int kLargeCount = 1200;
std::string LargeVorSource() {
    static const std::string bytes = [] {
        std::string all;
        for (int i = 0; i < kLargeCount; ++i) {
            NavaidEntry entry = kVorEntry;
            entry.id = std::to_string(i);
            entry.id.insert(0, 1, 'N');  // not "N" + ..., which trips a false -Wrestrict
            all += Encoded(Family::Vor, entry);
        }
        return all;
    }();
    return bytes;
}

std::vector<std::string> LargeVorLabels() {
    std::vector<std::string> labels;
    for (int i = 0; i < kLargeCount; ++i)
        labels.push_back(LargeVorSource().substr(i * kVorRecordSize, 30));
    return labels;
}

constexpr const char* kSource = "db.qvz";
constexpr const char* kCopy = "db.qvz.new";
constexpr const char* kList = "db.qvz.txt";
constexpr const char* kLeftover = "a record file of an earlier run";
constexpr const char* kStaleOutput = "the copy an earlier step made";

std::string NoSource() { return ""; }

struct Operation {
    const char* name;
    std::string (*source)();  // the database's bytes; NoSource: there is none
    std::string output;       // "" when the operation writes no file
    bool leftoverTemporary;   // a "navblock.qvz" of an earlier run is there at the start
    std::function<Outcome()> run;
    // Thousands of calls that differ only in the line they write: one error
    // value, every call near the start and the end (the last read included),
    // and every 13th call in between.
    bool manyCalls = false;
};

std::vector<Operation> Operations() {
    auto labels = [](std::size_t size, std::vector<std::string> expected) {
        return [size, expected] {
            std::vector<std::string> got;
            Outcome outcome = ListRecordLabels(kSource, size, got);
            if (outcome && got != expected) return Outcome::Failure("<labels differ>", "");
            return outcome;
        };
    };
    auto copy = [] { return MakeWorkingCopy(kSource, kCopy); };
    auto addVor = [] { return AddNavaidToFiles(Family::Vor, kSource, kCopy, kVorEntry); };
    auto listVor = [] { return ExportNavaidList(Family::Vor, kSource, kList); };
    return {
        {"working copy", VorSource, kCopy, false, copy},
        {"working copy of a missing source", NoSource, kCopy, false, copy},
        {"add VOR", VorSource, kCopy, false, addVor},
        {"add VOR over a leftover record file", VorSource, kCopy, true, addVor},
        {"add NDB", NdbSource, kCopy, false,
         [] { return AddNavaidToFiles(Family::Ndb, kSource, kCopy, kNdbEntry); }},
        {"labels VOR", VorSource, "", false,
         labels(kVorRecordSize, {"LAX       LOS ANGELES         ",
                                 "FFM       FRANK\nFURT          ", "TR", std::string(30, 'P')})},
        {"labels NDB", NdbSource, "", false,
         labels(kNdbRecordSize, {"XY        SAMPLE NDB          ", "A         ALPHA               ",
                                 "ZZZZ      ZULU                "})},
        {"delete VOR record 1", VorSource, kCopy, false,
         [] { return DeleteNavaid(kSource, kCopy, kVorRecordSize, 1); }},
        {"delete VOR trailing piece", VorSource, kCopy, false,
         [] { return DeleteNavaid(kSource, kCopy, kVorRecordSize, 3); }},
        {"delete NDB record 0", NdbSource, kCopy, false,
         [] { return DeleteNavaid(kSource, kCopy, kNdbRecordSize, 0); }},
        {"list VOR", VorSource, kList, false, listVor},
        {"list NDB", NdbSource, kList, false,
         [] { return ExportNavaidList(Family::Ndb, kSource, kList); }},
        {"large working copy", LargeVorSource, kCopy, false, copy},
        {"add to a large VOR", LargeVorSource, kCopy, false, addVor},
        {"delete across buffers in a large VOR", LargeVorSource, kCopy, false,
         [] { return DeleteNavaid(kSource, kCopy, kVorRecordSize, 1170); }},
        {"labels of a large VOR", LargeVorSource, "", false,
         labels(kVorRecordSize, LargeVorLabels())},
        {"list a large VOR", LargeVorSource, kList, false, listVor, true},
    };
}

class FaultSweepTest : public ScratchTest, public ::testing::WithParamInterface<int> {
protected:
    // The folder as the flow leaves it before the operation runs.
    void Prepare(const Operation& op) {
        for (const auto& name : Listing(Dir()))
            if (name != kSource || op.source == NoSource) fs::remove_all(Dir() / name);
        // The source is checked unchanged after every run, so it is written once.
        if (op.source != NoSource && ReadAll(kSource) != op.source())
            WriteAll(kSource, op.source());
        if (!op.output.empty()) WriteAll(op.output, kStaleOutput);
        if (op.leftoverTemporary) WriteAll(kTemporaryRecordFile, kLeftover);
    }
    // Every call of `op`, failing in turn with `error`, until it runs clean.
    void Sweep(const Operation& op, int error) {
        SCOPED_TRACE(op.name);
        Prepare(op);
        const GuardedRun clean = RunGuarded(op.run, 0, 0, op.name);
        ASSERT_TRUE(clean.outcome.ok) << clean.outcome.Message();
        const std::optional<std::string> golden =
            op.output.empty() ? std::nullopt : ReadAll(op.output);
        ASSERT_NE(golden, kStaleOutput);
        const std::string source = op.source();

        long points = 0, tried = 0;
        for (long n = 1; n <= 5000; ++n) {
            if (op.manyCalls && n > 40 && n < clean.calls - 150 && n % 13 != 0) continue;
            ++tried;
            SCOPED_TRACE("failing call " + std::to_string(n));
            Prepare(op);
            const GuardedRun run = RunGuarded(
                op.run, n, error, std::string(op.name) + ", failing call " + std::to_string(n));
            const Outcome& outcome = run.outcome;
            ASSERT_NE(outcome.file, "<labels differ>");

            EXPECT_EQ(ReadAll(kSource).value_or(""), source) << "the database changed";
            const std::optional<std::string> output =
                op.output.empty() ? std::nullopt : ReadAll(op.output);
            const std::optional<std::string> temporary = ReadAll(kTemporaryRecordFile);
            std::set<std::string> allowed = {kSource};
            if (!op.output.empty()) allowed.insert(op.output);
            if (op.leftoverTemporary || n == clean.calls) allowed.insert(kTemporaryRecordFile);
            for (const auto& name : Listing(Dir())) EXPECT_TRUE(allowed.count(name)) << name;

            if (!run.injected) {
                EXPECT_TRUE(outcome.ok) << outcome.Message();
                EXPECT_EQ(output, golden);
                EXPECT_FALSE(temporary.has_value());
                points = n - 1;
                break;
            }
            EXPECT_FALSE(outcome.ok) << "a failure was reported as success";
            EXPECT_EQ(outcome.reason, io::ErrorText(error));
            EXPECT_TRUE(outcome.file == kSource || outcome.file == op.output ||
                        outcome.file == kTemporaryRecordFile)
                << "failing file: \"" << outcome.file << "\"";
            if (output.has_value()) {
                EXPECT_EQ(*output, *golden)
                    << op.output << " left behind holding " << output->size() << " bytes";
            }
            // Only a failed removal of the record file itself, the last call
            // of an addition, may leave it; the failure then names it.
            const bool removalFailed = n == clean.calls && outcome.file == kTemporaryRecordFile;
            if (temporary.has_value() && !removalFailed) {
                EXPECT_TRUE(op.leftoverTemporary && *temporary == kLeftover)
                    << kTemporaryRecordFile << " left behind";
            }
        }
        EXPECT_GT(points, 0) << "the operation never finished without a fault";
        std::printf("[ fault points ] %-40s %4ld calls, %4ld of them failed with %s\n", op.name,
                    points, tried - 1, io::ErrorText(error).c_str());
    }
};

TEST_P(FaultSweepTest, EveryFailingCallIsReportedAndLosesNothing) {
    for (const Operation& op : Operations())
        if (!op.manyCalls) Sweep(op, GetParam());
}

// Apart, so that the slower instrumented builds can leave it out.
TEST_F(FaultSweepTest, LargeListFailingAnywhereIsRemoved) {
    for (const Operation& op : Operations())
        if (op.manyCalls) Sweep(op, EIO);
}

INSTANTIATE_TEST_SUITE_P(Errors, FaultSweepTest, ::testing::Values(EIO, ENOSPC, EACCES));

}  // namespace
}  // namespace navaid::test
