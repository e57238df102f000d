// The list export and the labels of arbitrary bytes read as either family.
// Input: one byte choosing the family, then the database's bytes.
#include <algorithm>
#include <vector>

#include "fuzz_support.h"

using namespace navaid;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const Family family = data[0] & 1 ? Family::Ndb : Family::Vor;
    const std::size_t recordSize = RecordSize(family);
    const std::string db(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fuzz::Scratch scratch;
    const std::string source = scratch.Path("db.qvz"), list = scratch.Path("db.qvz.txt");
    fuzz::WriteFile(source, db);
    fuzz::WriteFile(list, "an earlier list, longer than an empty database's list header ....");

    FUZZ_CHECK(ExportNavaidList(family, source, list).ok);
    std::string text;
    FUZZ_CHECK(fuzz::ReadFile(list, text));
    const std::size_t records = db.size() / recordSize;

    // One line per complete record plus the header, each ending in ",\r\n";
    // a line feed inside an ID or name breaks its line in two.
    std::string expected = ListHeaderLine(family);
    std::size_t fieldLineFeeds = 0;
    for (std::size_t r = 0; r < records; ++r) {
        const auto* record = reinterpret_cast<const std::uint8_t*>(db.data()) + r * recordSize;
        expected += ListRecordLine(family, record);
        fieldLineFeeds += std::count(record, record + kLabelSize, '\n');
    }
    FUZZ_CHECK(text == expected);
    FUZZ_CHECK(text.size() >= 3 && text.compare(text.size() - 3, 3, ",\r\n") == 0);
    FUZZ_CHECK(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) ==
               1 + records + fieldLineFeeds);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') FUZZ_CHECK(i > 0 && text[i - 1] == '\r');
    }

    // Labels: one per record, and one for a trailing piece of 30 bytes or more,
    // each the first 30 bytes cut before a zero byte.
    std::vector<std::string> labels;
    FUZZ_CHECK(ListRecordLabels(source, recordSize, labels).ok);
    FUZZ_CHECK(labels.size() == LabelCount(db.size(), recordSize));
    FUZZ_CHECK(labels.size() == records + (db.size() % recordSize >= kLabelSize ? 1 : 0));
    for (std::size_t r = 0; r < labels.size(); ++r) {
        const std::string first = db.substr(r * recordSize, kLabelSize);
        FUZZ_CHECK(labels[r] == first.substr(0, first.find('\0')));
    }
    std::string after;
    FUZZ_CHECK(fuzz::ReadFile(source, after) && after == db);
    return 0;
}
