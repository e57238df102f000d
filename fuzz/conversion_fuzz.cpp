// The dialogs' real-number and integer rules on arbitrary text, against a
// reference scanner that hands the number it finds to the C library.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>

#include "fuzz_support.h"

using namespace navaid;

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct Scan {
    std::size_t end = 0;  // 0: no number
    std::string number;   // the number in the C library's form
};

Scan ScanReal(std::string_view t) {
    Scan scan;
    std::size_t i = 0;
    while (i < t.size() && IsSpace(t[i])) ++i;
    std::string number;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) number += t[i++];
    bool digit = false, point = false;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i]))
            digit = true;
        else if (t[i] == '.' && !point)
            point = true;
        else
            break;
        number += t[i];
    }
    if (!digit) return scan;
    if (i < t.size() && std::strchr("EeDd", t[i]) != nullptr && t[i] != '\0') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) exponent += t[j++];
        if (j < t.size() && IsDigit(t[j])) {
            while (j < t.size() && IsDigit(t[j])) exponent += t[j++];
            number += exponent;
            i = j;
        }
    }
    scan.end = i;
    scan.number = number;
    return scan;
}

// Double to single by rounding to nearest; beyond the range gives infinity.
float ToSingle(double d) {
    if (std::fabs(d) >= 0x1.ffffffp127)
        return std::copysign(INFINITY, static_cast<float>(d < 0 ? -1 : 1));
    if (std::fabs(d) > FLT_MAX) return d < 0 ? -FLT_MAX : FLT_MAX;
    return static_cast<float>(d);
}

std::uint32_t Bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

void CheckReal(std::string_view text) {
    std::size_t consumed = 99;
    const float value = ParseDialogReal(text, &consumed);
    const Scan scan = ScanReal(text);
    FUZZ_CHECK(consumed == scan.end);
    if (scan.end == 0) {
        FUZZ_CHECK(Bits(value) == 0);
    } else {
        const double reference = std::strtod(scan.number.c_str(), nullptr);
        FUZZ_CHECK(Bits(value) == Bits(ToSingle(reference)));
    }
    // The number alone gives the same value; what follows it never matters.
    std::size_t again = 0;
    FUZZ_CHECK(Bits(ParseDialogReal(text.substr(0, consumed), &again)) == Bits(value));
    FUZZ_CHECK(again == consumed);
    float strict = 0;
    const bool whole = consumed > 0 && TrimWhiteSpace(text.substr(consumed)).empty();
    FUZZ_CHECK(ParseStrictReal(text, strict) == whole);
    if (whole) FUZZ_CHECK(Bits(strict) == Bits(value));
}

void CheckInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::size_t first = i;
    std::uint32_t wrapped = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) wrapped = wrapped * 10 + (text[i] - '0');
    const std::size_t end = i > first ? i : 0;
    const std::int32_t reference =
        end == 0 ? 0 : static_cast<std::int32_t>(negative ? 0u - wrapped : wrapped);

    std::size_t consumed = 99;
    FUZZ_CHECK(ParseDialogInteger(text, &consumed) == reference);
    FUZZ_CHECK(consumed == end);
    std::int32_t strict = 0;
    const bool whole = end > 0 && TrimWhiteSpace(text.substr(end)).empty();
    FUZZ_CHECK(ParseStrictInteger(text, strict) == whole);
    if (whole) FUZZ_CHECK(strict == reference);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An exactly sized copy, so reading past the text is caught.
    std::unique_ptr<char[]> copy(new char[size == 0 ? 1 : size]);
    if (size > 0) std::memcpy(copy.get(), data, size);
    const std::string_view text(copy.get(), size);
    CheckReal(text);
    CheckInteger(text);
    return 0;
}
