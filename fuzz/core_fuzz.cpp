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
#include <memory>
#include <tuple>

#include "fuzz_support.h"
#include "navaid_db.h"

using namespace navaid;
using namespace navaid::fuzz;

namespace {

bool Digit(char c) { return c >= '0' && c <= '9'; }
std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

void CheckNumbers(std::string_view t) {
    // Blanks, a sign, digits with one point, then an exponent (E e D d) only when digits follow.
    std::size_t i = 0, end = 0;
    while (i < t.size() && (t[i] == ' ' || (t[i] >= '\t' && t[i] <= '\r'))) ++i;
    std::string number;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) number += t[i++];
    const std::size_t digits = i;
    for (bool point = false; i < t.size() && (Digit(t[i]) || (t[i] == '.' && !point)); ++i)
        point = point || t[i] == '.', number += t[i];
    if (std::any_of(t.begin() + digits, t.begin() + i, Digit)) end = i;
    if (end && i < t.size() && t[i] != '\0' && std::strchr("EeDd", t[i])) {
        std::size_t j = i + 1 + (i + 1 < t.size() && (t[i + 1] == '+' || t[i + 1] == '-'));
        const std::size_t exponent = j;
        while (j < t.size() && Digit(t[j])) ++j;
        if (j > exponent) number.append("e").append(t.substr(i + 1, j - i - 1)), end = j;
    }
    const double d = end ? std::strtod(number.c_str(), nullptr) : 0;  // double first, then single
    const float reference = std::fabs(d) >= 0x1.ffffffp127
                                ? std::copysign(INFINITY, d)
                                : static_cast<float>(std::clamp<double>(d, -FLT_MAX, FLT_MAX));
    std::size_t consumed = 99, again = 0;
    const float value = ParseDialogReal(t, &consumed);
    CHECK(consumed == end && Bits(value) == Bits(reference));
    CHECK(Bits(ParseDialogReal(t.substr(0, end), &again)) == Bits(value) && again == end);
    float strict = 0;
    const bool whole = end > 0 && TrimWhiteSpace(t.substr(end)).empty();
    CHECK(ParseStrictReal(t, strict) == whole && (!whole || Bits(strict) == Bits(value)));

    // Integers: the digits after the sign, wrapping modulo 2^32.
    std::uint32_t wrapped = 0;
    for (i = digits; i < t.size() && Digit(t[i]); ++i) wrapped = wrapped * 10 + (t[i] - '0');
    end = i > digits ? i : 0;
    if (digits > 0 && t[digits - 1] == '-') wrapped = 0u - wrapped;
    CHECK(ParseDialogInteger(t, &consumed) == static_cast<std::int32_t>(wrapped) &&
          consumed == end);
    std::int32_t integer = 0;
    const bool wholeInteger = end > 0 && TrimWhiteSpace(t.substr(end)).empty();
    CHECK(ParseStrictInteger(t, integer) == wholeInteger);
    CHECK(!wholeInteger || integer == static_cast<std::int32_t>(wrapped));
}

// A family byte, 20 bytes of numbers, then ID, name and type name separated by 0xFF.
void CheckEncoding(Family family, const std::uint8_t* data, std::size_t size) {
    NavaidEntry e;
    void* numbers[] = {&e.latitude, &e.longitude, &e.frequency, &e.magVar, &e.altitude};
    for (int k = 0; k < 5; ++k) std::memcpy(numbers[k], data + 1 + 4 * k, 4);
    std::string* texts[] = {&e.id, &e.name, &e.typeName};
    for (std::size_t i = 21, field = 0; i < size; ++i)
        data[i] == 0xFF && field < 2 ? void(++field) : texts[field]->push_back(char(data[i]));
    std::string record = "an earlier value";
    const Outcome outcome = EncodeRecord(family, e, record);
    const TypeBlock* block = FindTypeBlock(UpperCase(TrimWhiteSpace(e.typeName)));
    if (!block || block->family != family) return CHECK(!outcome.ok && !outcome.reason.empty());
    CHECK(outcome.ok && record.size() == RecordSize(family));
    std::string stored(reinterpret_cast<const char*>(data) + 1, 20);
    if (family == Family::Ndb) stored.replace(16, 4, 4, '\0');  // no altitude
    CHECK(record.substr(RecordLayout::kLatitude, 20) == stored);
    CHECK(record.substr(RecordLayout::kTypeBlock) ==
          std::string(block->bytes.begin(), block->bytes.begin() + block->size));
    for (auto [text, at, width] : {std::tuple{e.id, RecordLayout::kId, RecordLayout::kIdSize},
                                   {e.name, RecordLayout::kName, RecordLayout::kNameSize}}) {
        std::string expected = UpperCase(TrimWhiteSpace(text)).substr(0, width);
        CHECK(record.substr(at, width) == expected.append(width - expected.size(), ' '));
    }
}

// The list holds the complete records' lines; the labels are one per record and
// one for a trailing piece of 30 bytes or more, each cut before a zero byte.
void CheckListAndLabels(Family family, const std::string& db) {
    const std::string source = Path("db.qvz"), list = Path("db.qvz.txt");
    const std::size_t size = RecordSize(family);
    Write(source, db);
    Write(list, "an earlier list, longer than an empty database's list header ....");
    CHECK(ExportNavaidList(family, source, list).ok);
    std::string expected = ListHeaderLine(family);
    for (std::size_t at = 0; at + size <= db.size(); at += size)
        expected += ListRecordLine(family, reinterpret_cast<const std::uint8_t*>(db.data() + at));
    const std::string text = Read(list);
    CHECK(text == expected);
    std::vector<std::string> labels;
    CHECK(ListRecordLabels(source, size, labels).ok && Read(source) == db);
    CHECK(labels.size() == LabelCount(db.size(), size) &&
          labels.size() == db.size() / size + (db.size() % size >= kLabelSize));
    for (std::size_t r = 0; r < labels.size(); ++r)
        CHECK(labels[r] == db.substr(r * size, kLabelSize).c_str());
}

// A byte choosing the family and the index's form, eight bytes of index, then the database.
void CheckDelete(const std::uint8_t* data, std::size_t size) {
    const std::size_t recordSize = RecordSize(data[0] & 1 ? Family::Ndb : Family::Vor);
    long long index = static_cast<long long>(data[1]) - 4;  // near the labels, and just outside
    if (data[0] & 2) std::memcpy(&index, data + 1, sizeof index);
    const std::string db(reinterpret_cast<const char*>(data) + 9, size - 9),
        earlier = "earlier copy";
    const std::string source = Path("db.qvz"), copy = Path("db.qvz.new");
    Write(source, db);
    Write(copy, earlier);
    const Outcome outcome = DeleteNavaid(source, copy, recordSize, index);
    std::string expected = db;
    if (index >= 0 && static_cast<std::uint64_t>(index) < LabelCount(db.size(), recordSize))
        CHECK(outcome.ok && Read(copy) == expected.erase(index * recordSize, recordSize));
    else
        CHECK(!outcome.ok && !outcome.reason.empty() && Read(copy) == earlier);
    CHECK(Read(source) == db);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so reading past the text is caught.
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    if (size) std::memcpy(copy.get(), data, size);
    CheckNumbers(std::string_view(copy.get(), size));
    if (size == 0) return 0;
    const Family family = data[0] & 1 ? Family::Ndb : Family::Vor;
    CheckListAndLabels(family, std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (size >= 9) CheckDelete(data, size);
    if (size >= 21) CheckEncoding(family, data, size);
    return 0;
}
