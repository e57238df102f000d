// Every operation, with each of its file-system calls failing in turn: it
// must return, say which file failed and why, leave the database as it was,
// leave no wrong output under the output's name and no temporary record file.
#include <cerrno>
#include <cstdio>

#include "robustness_support.h"

namespace navaid::robust {
namespace {

const NavaidEntry kVorEntry{"lax", "los angeles", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
const NavaidEntry kNdbEntry{"xy", "sample ndb", 47.5f, -0.25f, 375.0f, 0.0f, 0, "NDB-DME"};

// Three records, one with a line feed in its name and one with a zero byte in
// its ID, then a trailing piece that still gives a label.
std::string VorSource() {
    std::string bytes = Encoded(Family::Vor, kVorEntry);
    bytes += Encoded(Family::Vor, {"FFM", "FRANK\nFURT", 50.05f, 8.6f, 114.2f, 1.5f, 364, "VOR"});
    std::string zeroId = Encoded(Family::Vor, {"TR", "TRIER", 49.8f, 6.6f, 108.05f, 1, 0, "DME"});
    zeroId[2] = '\0';
    return bytes + zeroId + std::string(30, 'P');
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
            entry.id.insert(0, 1, 'N');
            all += Encoded(Family::Vor, entry);
        }
        return all;
    }();
    return bytes;
}

std::vector<std::string> LargeVorLabels() {
    const std::string bytes = LargeVorSource();
    std::vector<std::string> labels;
    for (int i = 0; i < kLargeCount; ++i) labels.push_back(bytes.substr(i * kVorRecordSize, 30));
    return labels;
}

const std::vector<std::string> kVorLabels = {std::string("LAX       LOS ANGELES         "),
                                             std::string("FFM       FRANK\nFURT          "),
                                             std::string("TR"), std::string(30, 'P')};

struct Operation {
    const char* name;
    Family family;
    bool large;  // LargeVorSource() instead of the family's small source
    bool sourceExists;
    std::string output;      // "" when the operation writes no file
    bool leftoverTemporary;  // a "navblock.qvz" of an earlier run is there at the start
    std::function<Outcome()> run;
    // Thousands of calls that differ only in the line they write: one error
    // value, every call near the start and the end (the last read included),
    // and every 13th call in between.
    bool manyCalls = false;
};

constexpr const char* kSource = "db.qvz";
constexpr const char* kLeftover = "a record file of an earlier run";

std::vector<Operation> Operations() {
    auto labels = [](std::size_t size, std::vector<std::string> expected) {
        return [size, expected] {
            std::vector<std::string> got;
            Outcome outcome = ListRecordLabels(kSource, size, got);
            if (outcome && got != expected) return Outcome::Failure("<labels differ>", "");
            return outcome;
        };
    };
    return {
        {"working copy", Family::Vor, false, true, "db.qvz.new", false,
         [] { return MakeWorkingCopy(kSource, "db.qvz.new"); }},
        {"working copy of a missing source", Family::Vor, false, false, "db.qvz.new", false,
         [] { return MakeWorkingCopy(kSource, "db.qvz.new"); }},
        {"add VOR", Family::Vor, false, true, "db.qvz.new", false,
         [] { return AddNavaidToFiles(Family::Vor, kSource, "db.qvz.new", kVorEntry); }},
        {"add VOR over a leftover record file", Family::Vor, false, true, "db.qvz.new", true,
         [] { return AddNavaidToFiles(Family::Vor, kSource, "db.qvz.new", kVorEntry); }},
        {"add NDB", Family::Ndb, false, true, "db.qvz.new", false,
         [] { return AddNavaidToFiles(Family::Ndb, kSource, "db.qvz.new", kNdbEntry); }},
        {"labels VOR", Family::Vor, false, true, "", false, labels(kVorRecordSize, kVorLabels)},
        {"labels NDB", Family::Ndb, false, true, "", false,
         labels(kNdbRecordSize, {"XY        SAMPLE NDB          ", "A         ALPHA               ",
                                 "ZZZZ      ZULU                "})},
        {"delete VOR record 1", Family::Vor, false, true, "db.qvz.new", false,
         [] { return DeleteNavaid(kSource, "db.qvz.new", kVorRecordSize, 1); }},
        {"delete VOR trailing piece", Family::Vor, false, true, "db.qvz.new", false,
         [] { return DeleteNavaid(kSource, "db.qvz.new", kVorRecordSize, 3); }},
        {"delete NDB record 0", Family::Ndb, false, true, "db.qvz.new", false,
         [] { return DeleteNavaid(kSource, "db.qvz.new", kNdbRecordSize, 0); }},
        {"large working copy", Family::Vor, true, true, "db.qvz.new", false,
         [] { return MakeWorkingCopy(kSource, "db.qvz.new"); }},
        {"add to a large VOR", Family::Vor, true, true, "db.qvz.new", false,
         [] { return AddNavaidToFiles(Family::Vor, kSource, "db.qvz.new", kVorEntry); }},
        {"delete across buffers in a large VOR", Family::Vor, true, true, "db.qvz.new", false,
         [] { return DeleteNavaid(kSource, "db.qvz.new", kVorRecordSize, 1170); }},
        {"labels of a large VOR", Family::Vor, true, true, "", false,
         labels(kVorRecordSize, LargeVorLabels())},
        {"list a large VOR", Family::Vor, true, true, "db.qvz.txt", false,
         [] { return ExportNavaidList(Family::Vor, kSource, "db.qvz.txt"); }, true},
        {"list VOR", Family::Vor, false, true, "db.qvz.txt", false,
         [] { return ExportNavaidList(Family::Vor, kSource, "db.qvz.txt"); }},
        {"list NDB", Family::Ndb, false, true, "db.qvz.txt", false,
         [] { return ExportNavaidList(Family::Ndb, kSource, "db.qvz.txt"); }},
    };
}

class FaultSweepTest : public ScratchTest, public ::testing::WithParamInterface<int> {
protected:
    std::string SourceBytes(const Operation& op) const {
        if (op.large) return LargeVorSource();
        return op.family == Family::Vor ? VorSource() : NdbSource();
    }
    // The folder as the flow leaves it before the operation runs.
    void Prepare(const Operation& op) {
        for (const auto& name : Listing(Dir()))
            if (name != kSource || !op.sourceExists) fs::remove_all(Dir() / name);
        // The source is checked unchanged after every run, so it is written once.
        if (op.sourceExists && ReadAll(Path(kSource)) != SourceBytes(op))
            WriteAll(Path(kSource), SourceBytes(op));
        if (op.leftoverTemporary) WriteAll(Path(kTemporaryRecordFile), kLeftover);
    }
    // Every call of `op`, failing in turn with `error`, until it runs clean.
    void Sweep(const Operation& op, int error) {
        SCOPED_TRACE(op.name);
        Prepare(op);
        const RunResult clean = RunGuarded(op.run, 0, 0, op.name);
        ASSERT_TRUE(clean.returned);
        ASSERT_TRUE(clean.ok) << clean.file << ": " << clean.reason;
        const std::optional<std::string> golden =
            op.output.empty() ? std::nullopt : ReadAll(Path(op.output));
        ASSERT_EQ(golden.has_value(), !op.output.empty());
        const std::string source = op.sourceExists ? SourceBytes(op) : "";

        long points = 0, tried = 0;
        for (long n = 1; n <= 5000; ++n) {
            if (op.manyCalls && n > 40 && n < clean.calls - 150 && n % 13 != 0) continue;
            ++tried;
            SCOPED_TRACE("failing call " + std::to_string(n));
            Prepare(op);
            const RunResult run = RunGuarded(
                op.run, n, error, std::string(op.name) + ", failing call " + std::to_string(n));
            ASSERT_TRUE(run.returned) << "no outcome within the deadline";
            ASSERT_NE(run.file, "<labels differ>");

            EXPECT_EQ(ReadAll(Path(kSource)).value_or(""), source) << "the database changed";
            const std::optional<std::string> output =
                op.output.empty() ? std::nullopt : ReadAll(Path(op.output));
            const std::optional<std::string> temporary = ReadAll(Path(kTemporaryRecordFile));
            std::set<std::string> allowed = {kSource};
            if (!op.output.empty()) allowed.insert(op.output);
            if (op.leftoverTemporary || n == clean.calls) allowed.insert(kTemporaryRecordFile);
            for (const auto& name : Listing(Dir())) EXPECT_TRUE(allowed.count(name)) << name;

            if (!run.injected) {
                EXPECT_TRUE(run.ok) << run.file << ": " << run.reason;
                EXPECT_EQ(output, golden);
                EXPECT_FALSE(temporary.has_value());
                points = n - 1;
                break;
            }
            EXPECT_FALSE(run.ok) << "a failure was reported as success";
            EXPECT_EQ(run.reason, io::ErrorText(error));
            EXPECT_TRUE(run.file == kSource || run.file == op.output ||
                        run.file == kTemporaryRecordFile)
                << "failing file: \"" << run.file << "\"";
            if (output.has_value()) {
                EXPECT_EQ(*output, *golden)
                    << op.output << " left behind holding " << output->size() << " bytes";
            }
            // Only a failed removal of the record file itself, the last call
            // of an addition, may leave it; the failure then names it.
            const bool removalFailed = n == clean.calls && run.file == kTemporaryRecordFile;
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
    for (const Operation& op : Operations()) {
        if (!op.manyCalls) Sweep(op, GetParam());
    }
}

// Apart, so that the slower instrumented builds can leave it out.
TEST_F(FaultSweepTest, LargeListFailingAnywhereIsRemoved) {
    for (const Operation& op : Operations()) {
        if (op.manyCalls) Sweep(op, EIO);
    }
}

// The flow leaves a full working copy before the dialog's operation runs; an
// operation that then fails, however early, must not leave that copy standing
// as if it were the edited database.
TEST_F(ScratchTest, EarlierWorkingCopyDoesNotSurviveAFailure) {
    const std::string stale = "the copy the flow made";
    const struct {
        const char* name;
        std::function<Outcome()> run;
    } operations[] = {
        {"working copy", [] { return MakeWorkingCopy(kSource, "db.qvz.new"); }},
        {"add", [] { return AddNavaidToFiles(Family::Vor, kSource, "db.qvz.new", kVorEntry); }},
        {"delete", [] { return DeleteNavaid(kSource, "db.qvz.new", kVorRecordSize, 0); }},
    };
    for (const auto& op : operations) {
        SCOPED_TRACE(op.name);
        // The first call fails: the record file or the source cannot be opened.
        WriteAll(Path(kSource), VorSource());
        WriteAll(Path("db.qvz.new"), stale);
        const RunResult run = RunInChild(op.run, 1, EIO);
        ASSERT_TRUE(run.returned);
        EXPECT_FALSE(run.ok);
        EXPECT_FALSE(ReadAll(Path("db.qvz.new")).has_value()) << "the earlier working copy stayed";
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, FaultSweepTest, ::testing::Values(EIO, ENOSPC, EACCES));

}  // namespace
}  // namespace navaid::robust
