// Record labels for selection, and deletion by index.
#include "test_support.h"

namespace navaid::test {
namespace {

class LabelsTest : public ScratchTest {
protected:
    std::vector<std::string> Labels(const std::string& bytes, std::size_t recordSize) {
        WriteAll(Path("db.qvz"), bytes);
        std::vector<std::string> labels{"stale"};
        const Outcome outcome = ListRecordLabels(Path("db.qvz"), recordSize, labels);
        EXPECT_TRUE(outcome.ok) << outcome.Message();
        return labels;
    }
};

TEST(LabelCountTest, TrailingPieceOfThirtyBytesCounts) {
    const std::tuple<std::uint64_t, std::size_t, std::uint64_t> cases[] = {
        {0, 56, 0},   {29, 56, 0},
        {30, 56, 1},  {56, 56, 1},
        {85, 56, 1},  {86, 56, 2},
        {140, 56, 2}, {142, 56, 3},
        {168, 56, 3}, {106, 53, 2},
        {135, 53, 2}, {136, 53, 3},
        {159, 53, 3}, {56000000000ull, 56, 1000000000ull}};
    for (const auto& [length, size, count] : cases)
        EXPECT_EQ(LabelCount(length, size), count) << length << "/" << size;
}

TEST_F(LabelsTest, OneLabelPerRecordAndForATrailingPieceOfThirtyBytes) {
    const std::string abc = Record({.id = "ABC", .name = "TEST"}), a(30, 'a'), b(30, 'b');
    const std::string vor2 = DistinctRecords(2, kVorRecordSize), k(kNdbRecordSize, 'k');
    std::string zeroFirst = k, zeroInName = k;
    zeroFirst[0] = '\0';
    zeroInName[14] = '\0';
    const struct {
        std::string bytes;
        std::size_t size;
        std::vector<std::string> labels;
    } cases[] = {
        {abc + Record({.id = "XYZ", .name = "TEST"}) + abc,
         kVorRecordSize,
         {"ABC       TEST                ", "XYZ       TEST                ",
          "ABC       TEST                "}},
        {vor2 + std::string(28, 'z'), kVorRecordSize, {a, b}},
        {vor2 + std::string(30, 'z'), kVorRecordSize, {a, b, std::string(30, 'z')}},
        {DistinctRecords(2, kNdbRecordSize) + std::string(29, 'z'), kNdbRecordSize, {a, b}},
        {"", kVorRecordSize, {}},
        {std::string(29, 'q'), kNdbRecordSize, {}},
        // A zero byte ends the label; the record still counts. Bytes after 30 never show.
        {zeroFirst + zeroInName + k,
         kNdbRecordSize,
         {"", std::string(14, 'k'), std::string(30, 'k')}},
        {"\r\n\x1A\xFF" + std::string(52, 'a'),
         kVorRecordSize,
         {"\r\n\x1A\xFF" + std::string(26, 'a')}}};
    for (const auto& c : cases) EXPECT_EQ(Labels(c.bytes, c.size), c.labels) << c.bytes.size();
}

class DeleteTest : public ScratchTest {
protected:
    Outcome Delete(const std::string& source, std::size_t recordSize, long long index) {
        WriteAll(Path("db.qvz"), source);
        WriteAll(Path("db.qvz.new"), "previous working copy");
        return DeleteNavaid(Path("db.qvz"), Path("db.qvz.new"), recordSize, index);
    }
};

TEST_F(DeleteTest, RemovesExactlyTheIndexedRecord) {
    const std::string vor3 = DistinctRecords(3, kVorRecordSize);
    const std::string ndb3 = DistinctRecords(3, kNdbRecordSize);
    const std::string vor142 = DistinctRecords(2, kVorRecordSize) + std::string(30, 'z');
    // Twin records: each index deletes its own.
    const std::string a = Record({.id = "DUP", .latitude = 1}),
                      b = Record({.id = "DUP", .latitude = 2});
    struct Case {
        std::string source;
        std::size_t size;
        long long index;
        std::string expected;
    } cases[] = {{vor3, 56, 0, vor3.substr(56)},
                 {vor3, 56, 1, vor3.substr(0, 56) + vor3.substr(112)},
                 {vor3, 56, 2, vor3.substr(0, 112)},
                 {ndb3, 53, 1, ndb3.substr(0, 53) + ndb3.substr(106)},
                 {ndb3, 53, 2, ndb3.substr(0, 106)},
                 {vor142, 56, 2, vor142.substr(0, 112)},
                 {vor142, 56, 0, vor142.substr(56)},
                 {std::string(56, 'a'), 56, 0, ""},
                 {a + b, 56, 0, b},
                 {a + b, 56, 1, a}};
    for (const Case& c : cases) {
        const Outcome outcome = Delete(c.source, c.size, c.index);
        ASSERT_TRUE(outcome.ok) << outcome.Message();
        EXPECT_EQ(ReadAll(Path("db.qvz.new")), c.expected) << c.source.size() << " " << c.index;
        EXPECT_EQ(ReadAll(Path("db.qvz")), c.source);
    }
}

TEST_F(DeleteTest, IndexNamingNoLabelIsRefusedAndTouchesNothing) {
    const std::string vor3 = DistinctRecords(3, kVorRecordSize);
    const std::string vor140 = DistinctRecords(2, kVorRecordSize) + std::string(28, 'z');
    const std::tuple<std::string, std::size_t, long long> cases[] = {
        {vor3, 56, -1},  {vor3, 56, 3}, {vor3, 56, 1LL << 40}, {vor3, 56, -(1LL << 40)},
        {vor140, 56, 2}, {"", 56, 0},   {"", 53, -1},          {std::string(29, 'x'), 53, 0}};
    for (const auto& [source, size, index] : cases) {
        const Outcome outcome = Delete(source, size, index);
        EXPECT_FALSE(outcome.ok) << source.size() << " " << index;
        EXPECT_EQ(outcome.file, Path("db.qvz")) << index;
        EXPECT_FALSE(outcome.reason.empty());
        EXPECT_EQ(ReadAll(Path("db.qvz.new")), "previous working copy") << index;
        EXPECT_EQ(ReadAll(Path("db.qvz")), source);
    }
    fs::remove(Path("db.qvz.new"));
    WriteAll(Path("db.qvz"), vor3);
    EXPECT_FALSE(DeleteNavaid(Path("db.qvz"), Path("db.qvz.new"), 56, -1).ok);
    EXPECT_FALSE(fs::exists(Path("db.qvz.new")));
}

}  // namespace
}  // namespace navaid::test
