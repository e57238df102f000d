// Working copies made inside the kernel, and the buffered copy that takes
// over wherever the kernel refuses or stops early.
#include <cerrno>

#include "test_support.h"

namespace navaid::test {
namespace {

class KernelCopyTest : public ScratchTest {};

// Records that differ from each other, so a misplaced byte range shows.
std::string DistinctRecords(int count, std::size_t size) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
        for (std::size_t j = 0; j < size; ++j) bytes += static_cast<char>('!' + (i * 31 + j) % 90);
    return bytes;
}

// Every call of a copy refused in turn with EXDEV: a refused kernel copy
// gives the same bytes through the buffer; any other call fails and says so.
TEST_F(KernelCopyTest, RefusalAtAnyCallGivesTheSameBytes) {
    // 20,000 records pass every buffer's size, and record 18,724 straddles
    // the edge of each.
    constexpr int kRecords = 20000;
    const std::string source = DistinctRecords(kRecords, kVorRecordSize) + std::string(20, 't');
    const std::string src = Path("db.qvz"), out = Path("db.qvz.new");
    WriteAll(src, source);
    const std::string withoutRecord =
        source.substr(0, 18724 * kVorRecordSize) + source.substr(18725 * kVorRecordSize);
    const struct {
        const char* name;
        std::function<Outcome()> run;
        std::string expected;
        bool kernel;  // whether part of it is a kernel copy (never what follows a removed record)
    } cases[] = {
        {"copy", [&] { return MakeWorkingCopy(src, out); }, source, true},
        {"delete across a chunk", [&] { return DeleteNavaid(src, out, kVorRecordSize, 18724); },
         withoutRecord, true},
        {"delete the first", [&] { return DeleteNavaid(src, out, kVorRecordSize, 0); },
         source.substr(kVorRecordSize), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        io::faults::Reset();
        ASSERT_TRUE(c.run().ok);
        const long calls = io::faults::CallCount();
        long refusedAndDone = 0;
        for (long n = 1; n <= calls; ++n) {
            SCOPED_TRACE(n);
            fs::remove(out);
            io::faults::FailCall(n, EXDEV);
            const Outcome outcome = c.run();
            io::faults::Reset();
            if (outcome.ok) {
                ++refusedAndDone;
                EXPECT_EQ(ReadAll(out), c.expected);
            } else {
                EXPECT_EQ(outcome.reason, io::ErrorText(EXDEV));
                EXPECT_FALSE(ReadAll(out).has_value());
            }
        }
#if defined(__linux__)
        if (c.kernel) {
            EXPECT_GT(refusedAndDone, 0) << "no kernel copy was refused";
        }
#else
        EXPECT_EQ(refusedAndDone, 0);
#endif
        EXPECT_EQ(ReadAll(src), source);
    }
}

#if defined(__linux__)
// A file whose size the kernel reports as 0 still has bytes for read().
TEST_F(KernelCopyTest, FileThatOnlyReadsCanTellIsCopiedWhole) {
    const std::optional<std::string> expected = ReadAll("/proc/version");
    ASSERT_TRUE(expected.has_value());
    ASSERT_TRUE(MakeWorkingCopy("/proc/version", Path("copy")).ok);
    EXPECT_EQ(ReadAll(Path("copy")), expected);
}
#endif

}  // namespace
}  // namespace navaid::test
