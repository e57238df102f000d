// Failures of every operation: paths that cannot be opened, a full disk, and
// a fault injected into each single file call in turn. A failed operation
// names the file and the reason, leaves no output under its real name, leaves
// no temporary record file, and never changes the source.
#include <cerrno>
#include <functional>

#include "navaid_db.h"
#include "test_support.h"

namespace navaid::test {
namespace {

struct Operation {
    const char* name;
    const char* outputSuffix;  // empty when the operation writes nothing
    std::function<Outcome(const std::string& source, const std::string& output)> run;
};

NavaidEntry SomeEntry() {
    NavaidEntry entry;
    entry.id = "abc";
    entry.name = "name";
    entry.frequency = 113.6f;
    entry.typeName = "VORTAC";
    return entry;
}

const Operation kOperations[] = {
    {"MakeWorkingCopy", ".new",
     [](const std::string& s, const std::string& o) { return MakeWorkingCopy(s, o); }},
    {"AddNavaidToFiles", ".new",
     [](const std::string& s, const std::string& o) {
         return AddNavaidToFiles(Family::Vor, s, o, SomeEntry());
     }},
    {"DeleteNavaid", ".new",
     [](const std::string& s, const std::string& o) {
         return DeleteNavaid(s, o, kVorRecordSize, 1);
     }},
    {"ExportNavaidList", ".txt",
     [](const std::string& s, const std::string& o) {
         return ExportNavaidList(Family::Vor, s, o);
     }},
    {"ListRecordLabels", "", [](const std::string& s, const std::string&) {
         std::vector<std::string> labels;
         return ListRecordLabels(s, kVorRecordSize, labels);
     }}};

class FailureTest : public FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        source_ = DistinctRecords(3, kVorRecordSize);
        WriteAll(Path("db.qvz"), source_);
        WriteAll(Path("plain"), "a regular file");
        fs::create_directories(Path("folder"));
        WriteAll(Dir() / "folder" / "keep", "keeps the folder from being removable");
    }

    // Everything a failed operation must leave behind.
    void ExpectCleanFailure(const Outcome& outcome, const std::string& output,
                            const std::string& context) {
        EXPECT_FALSE(outcome.ok) << context;
        EXPECT_FALSE(outcome.reason.empty()) << context;
        if (!output.empty() && output != Path("folder")) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(output))) << context << " left " << output;
        }
        EXPECT_TRUE(fs::exists(Path("folder") + "/keep")) << context;
        EXPECT_EQ(ReadAll(Path("db.qvz")), source_) << context;
        if (!outcome.file.ends_with(kTemporaryRecordFile)) {
            EXPECT_FALSE(fs::exists(Path(kTemporaryRecordFile))) << context;
        }
    }

    std::string source_;
};

TEST_F(FailureTest, UnopenableSourceIsReportedAndNothingIsLeft) {
    for (const char* badSource : {"plain/x.qvz", "folder", "missing/x.qvz"}) {
        for (const Operation& op : kOperations) {
            const std::string output =
                *op.outputSuffix ? Path(std::string("out") + op.outputSuffix) : "";
            const Outcome outcome = op.run(Path(badSource), output);
            const std::string context = std::string(op.name) + " " + badSource;
            ExpectCleanFailure(outcome, output, context);
            EXPECT_EQ(outcome.file, Path(badSource)) << context;
        }
    }
    EXPECT_FALSE(fs::exists(Path("missing")));
}

TEST_F(FailureTest, StaleOutputIsRemovedWhenTheSourceCannotBeOpened) {
    // An output left by an earlier run must not pass for the result of this one.
    for (const Operation& op : kOperations) {
        if (!*op.outputSuffix) continue;
        const std::string output = Path(std::string("out") + op.outputSuffix);
        WriteAll(output, "stale output from an earlier run");
        ExpectCleanFailure(op.run(Path("plain/x.qvz"), output), output, op.name);
    }
}

TEST_F(FailureTest, UnwritableOutputIsReportedAndNothingIsLeft) {
    for (const char* badOutput : {"plain/x.new", "folder", "missing/x.new"}) {
        for (const Operation& op : kOperations) {
            if (!*op.outputSuffix) continue;
            const Outcome outcome = op.run(Path("db.qvz"), Path(badOutput));
            const std::string context = std::string(op.name) + " " + badOutput;
            ExpectCleanFailure(outcome, Path(badOutput), context);
            EXPECT_EQ(outcome.file, Path(badOutput)) << context;
        }
    }
}

TEST_F(FailureTest, TemporaryRecordFileThatCannotBeCreated) {
    fs::create_directories(Dir() / kTemporaryRecordFile / "keep");
    const Outcome outcome =
        AddNavaidToFiles(Family::Vor, Path("db.qvz"), Path("db.qvz.new"), SomeEntry());
    ExpectCleanFailure(outcome, Path("db.qvz.new"), "temporary file is a folder");
    EXPECT_TRUE(outcome.file.ends_with(kTemporaryRecordFile)) << outcome.Message();
    EXPECT_TRUE(fs::exists(Dir() / kTemporaryRecordFile / "keep"));
}

TEST_F(FailureTest, FullDiskIsReportedAndTheOutputRemoved) {
#ifndef __linux__
    GTEST_SKIP() << "a full disk is simulated with /dev/full";
#else
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    for (const Operation& op : kOperations) {
        if (!*op.outputSuffix) continue;
        // A link in our own folder, so removing the output never touches the device.
        const std::string output = Path(std::string("full") + op.outputSuffix);
        fs::create_symlink("/dev/full", output);
        const Outcome outcome = op.run(Path("db.qvz"), output);
        ExpectCleanFailure(outcome, output, op.name);
        EXPECT_EQ(outcome.file, output) << op.name;
        EXPECT_EQ(outcome.reason, io::ErrorText(ENOSPC)) << op.name;
        std::error_code ignored;
        fs::remove(output, ignored);
    }
#endif
}

TEST_F(FailureTest, EveryFileCallThatFailsFailsTheOperation) {
    for (const Operation& op : kOperations) {
        const std::string output =
            *op.outputSuffix ? Path(std::string("db.qvz") + op.outputSuffix) : "";
        io::faults::Reset();
        ASSERT_TRUE(op.run(Path("db.qvz"), output).ok) << op.name;
        const long calls = io::faults::CallCount();
        ASSERT_GT(calls, 2) << op.name;
        for (long call = 1; call <= calls; ++call) {
            if (!output.empty()) fs::remove(output);
            fs::remove(Path(kTemporaryRecordFile));
            io::faults::Reset();
            io::faults::FailCall(call, EIO);
            const Outcome outcome = op.run(Path("db.qvz"), output);
            const std::string context = std::string(op.name) + " call " + std::to_string(call);
            ASSERT_TRUE(io::faults::Injected()) << context;
            io::faults::Reset();
            ExpectCleanFailure(outcome, output, context);
            EXPECT_NE(outcome.reason.find(io::ErrorText(EIO)), std::string::npos)
                << context << ": " << outcome.Message();
            EXPECT_FALSE(outcome.file.empty()) << context;
        }
    }
}

}  // namespace
}  // namespace navaid::test
