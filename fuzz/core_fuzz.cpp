// Every input is read four ways: as text for the dialogs' number rules
// (against a reference scanner that hands the number to the C library), as
// the fields of a record to encode, as a database to list and label, and as
// an index and a database to delete from.
#include <stdlib.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <tuple>

#include "navaid_db.h"

using namespace navaid;

#define CHECK(c) ((c) ? (void)0 : (std::fprintf(stderr, "broken: %s (line %d)\n", #c, __LINE__), std::abort()))

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

void CheckNumbers(std::string_view t) {
    // Reference: sign, digits with one point, then an exponent (E, e, D, d) only when digits follow.
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
    std::string number;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) number += t[i++];
    const std::size_t signEnd = i;
    bool point = false;
    for (; i < t.size() && (IsDigit(t[i]) || (t[i] == '.' && !point)); ++i) {
        point = point || t[i] == '.';
        number += t[i];
    }
    std::size_t end = std::any_of(t.begin() + signEnd, t.begin() + i, IsDigit) ? i : 0;
    if (end && i < t.size() && std::strchr("EeDd", t[i]) && t[i] != '\0') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) exponent += t[j++];
        for (; j < t.size() && IsDigit(t[j]); ++j) exponent += t[j];
        if (j > i + 1 && IsDigit(t[j - 1])) number += exponent, end = j;
    }
    float reference = 0;
    if (end) {
        const double d = std::strtod(number.c_str(), nullptr);  // double first, then single
        reference = std::fabs(d) >= 0x1.ffffffp127 ? std::copysign(INFINITY, d)
                                                   : static_cast<float>(std::clamp<double>(d, -FLT_MAX, FLT_MAX));
    }
    std::size_t consumed = 99, again = 0;
    const float value = ParseDialogReal(t, &consumed);
    CHECK(consumed == end && Bits(value) == Bits(reference));
    CHECK(Bits(ParseDialogReal(t.substr(0, end), &again)) == Bits(value) && again == end);
    float strict = 0;
    const bool whole = end > 0 && TrimWhiteSpace(t.substr(end)).empty();
    CHECK(ParseStrictReal(t, strict) == whole && (!whole || Bits(strict) == Bits(value)));

    // Integers: digits after an optional sign, wrapping modulo 2^32.
    std::uint32_t wrapped = 0;
    std::size_t k = signEnd;
    for (; k < t.size() && IsDigit(t[k]); ++k) wrapped = wrapped * 10 + (t[k] - '0');
    const std::size_t intEnd = k > signEnd ? k : 0;
    const bool negative = signEnd > 0 && t[signEnd - 1] == '-';
    const auto intReference = intEnd ? static_cast<std::int32_t>(negative ? 0u - wrapped : wrapped) : 0;
    CHECK(ParseDialogInteger(t, &consumed) == intReference && consumed == intEnd);
    std::int32_t strictInt = 0;
    const bool wholeInt = intEnd > 0 && TrimWhiteSpace(t.substr(intEnd)).empty();
    CHECK(ParseStrictInteger(t, strictInt) == wholeInt && (!wholeInt || strictInt == intReference));
}

// A family byte, 20 bytes of numbers, then ID, name and type name separated by 0xFF.
void CheckEncoding(const std::uint8_t* data, std::size_t size) {
    if (size < 21) return;
    const Family family = data[0] & 1 ? Family::Ndb : Family::Vor;
    NavaidEntry e;
    std::memcpy(&e.latitude, data + 1, 4);
    std::memcpy(&e.longitude, data + 5, 4);
    std::memcpy(&e.frequency, data + 9, 4);
    std::memcpy(&e.magVar, data + 13, 4);
    std::memcpy(&e.altitude, data + 17, 4);
    std::string* texts[] = {&e.id, &e.name, &e.typeName};
    std::size_t field = 0;
    for (std::size_t i = 21; i < size; ++i) {
        if (data[i] == 0xFF && field < 2) ++field;
        else texts[field]->push_back(static_cast<char>(data[i]));
    }
    std::string record = "an earlier value";
    const Outcome outcome = EncodeRecord(family, e, record);
    const TypeBlock* block = FindTypeBlock(UpperCase(TrimWhiteSpace(e.typeName)));
    if (block == nullptr || block->family != family) return CHECK(!outcome.ok && !outcome.reason.empty());
    CHECK(outcome.ok && record.size() == RecordSize(family));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(record.data());
    std::uint8_t numbers[20];
    std::memcpy(numbers, data + 1, 20);
    if (family == Family::Ndb) std::memset(numbers + 16, 0, 4);
    CHECK(std::memcmp(bytes + RecordLayout::kLatitude, numbers, 20) == 0);
    CHECK(ReadInt32LE(bytes + RecordLayout::kAltitude) == (family == Family::Vor ? e.altitude : 0));
    CHECK(Bits(ReadFloatLE(bytes + RecordLayout::kMagVar)) == Bits(e.magVar));
    CHECK(std::memcmp(bytes + RecordLayout::kTypeBlock, block->bytes.data(), block->size) == 0);
    // Trimmed, upper-cased, cut to the field, then spaces.
    for (auto [text, offset, width] : {std::tuple{&e.id, RecordLayout::kId, RecordLayout::kIdSize},
                                       std::tuple{&e.name, RecordLayout::kName, RecordLayout::kNameSize}}) {
        std::string expected = UpperCase(TrimWhiteSpace(*text)).substr(0, width);
        expected.resize(width, ' ');
        CHECK(record.compare(offset, width, expected) == 0);
    }
}

const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "navaid-fuzz-XXXXXX").string();
        CHECK(mkdtemp(pattern.data()) != nullptr);
        std::atexit([] { std::filesystem::remove_all(Folder()); });
        return std::filesystem::path(pattern);
    }();
    return folder;
}

std::string Path(const char* name) { return (Folder() / name).string(); }

std::optional<std::string> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& bytes) {
    CHECK(std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size()).good());
}

// A family byte, then the database: the list is its complete records' lines,
// the labels one per record and one for a trailing piece of 30 bytes or more.
void CheckListAndLabels(Family family, const std::string& db) {
    const std::string source = Path("db.qvz"), list = Path("db.qvz.txt");
    const std::size_t size = RecordSize(family), records = db.size() / size;
    Write(source, db);
    Write(list, "an earlier list, longer than an empty database's list header ....");
    CHECK(ExportNavaidList(family, source, list).ok);
    std::string expected = ListHeaderLine(family);
    for (std::size_t r = 0; r < records; ++r)
        expected += ListRecordLine(family, reinterpret_cast<const std::uint8_t*>(db.data()) + r * size);
    const std::string text = Read(list).value_or("");
    CHECK(text == expected && text.ends_with(",\r\n"));
    for (std::size_t i = 0; i < text.size(); ++i) CHECK(text[i] != '\n' || text[i - 1] == '\r');
    std::vector<std::string> labels;
    CHECK(ListRecordLabels(source, size, labels).ok);
    CHECK(labels.size() == LabelCount(db.size(), size));
    CHECK(labels.size() == records + (db.size() % size >= kLabelSize ? 1 : 0));
    for (std::size_t r = 0; r < labels.size(); ++r) {
        const std::string first = db.substr(r * size, kLabelSize);
        CHECK(labels[r] == first.substr(0, first.find('\0')));
    }
    CHECK(Read(source) == db);
}

// A byte choosing the family and the index's form, eight bytes of index, then the database.
void CheckDelete(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return;
    const std::size_t recordSize = RecordSize(data[0] & 1 ? Family::Ndb : Family::Vor);
    long long index = static_cast<long long>(data[1]) - 4;  // near the labels, and just outside
    if (data[0] & 2) std::memcpy(&index, data + 1, sizeof index);
    const std::string db(reinterpret_cast<const char*>(data) + 9, size - 9);
    const std::string source = Path("db.qvz"), copy = Path("db.qvz.new");
    Write(source, db);
    Write(copy, "the working copy the flow made");
    const Outcome outcome = DeleteNavaid(source, copy, recordSize, index);
    if (index >= 0 && static_cast<std::uint64_t>(index) < LabelCount(db.size(), recordSize)) {
        std::string expected = db;
        expected.erase(static_cast<std::size_t>(index) * recordSize, recordSize);
        CHECK(outcome.ok && Read(copy) == expected);
    } else {
        CHECK(!outcome.ok && !outcome.reason.empty() && Read(copy) == "the working copy the flow made");
    }
    CHECK(Read(source) == db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so reading past the text is caught.
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    CheckNumbers(std::string_view(copy.get(), size));
    CheckEncoding(data, size);
    if (size > 0)
        CheckListAndLabels(data[0] & 1 ? Family::Ndb : Family::Vor,
                           std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    CheckDelete(data, size);
    return 0;
}
