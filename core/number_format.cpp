#include "number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

#include "code_page.h"

namespace navaid {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipWhiteSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpaceByte(static_cast<unsigned char>(text[i]))) ++i;
    return i;
}

// Rounds a finite double to the nearest float; beyond the float range
// (from half an ulp above the largest float) it becomes infinity.
float RoundToFloat(double value) {
    constexpr double kOverflow = 0x1.ffffffp127;
    if (std::fabs(value) >= kOverflow)
        return std::signbit(value) ? -std::numeric_limits<float>::infinity()
                                   : std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

char* WriteListReal(char* out, float value) {
    auto put = [out](std::string_view text) {
        std::memcpy(out, text.data(), text.size());
        return out + text.size();
    };
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const bool negative = (bits >> 31) != 0;
    if (std::isinf(value)) return put(negative ? "-1.#INF" : "1.#INF");
    if (std::isnan(value)) {
        if (bits == 0xFFC00000u) return put("-1.#IND");
        return put(negative ? "-1.#QNAN" : "1.#QNAN");
    }
    if (value == 0) return put("0");

    // 17 significant digits of the exactly widened value: d.dddddddddddddddde+XX
    char buffer[64];
    const double magnitude = std::fabs(static_cast<double>(value));
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, 16);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    char digits[17];
    digits[0] = sci[0];
    std::memcpy(digits + 1, sci.data() + 2, 16);
    int exponent = 0;
    std::from_chars(sci.data() + 19 + (sci[19] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);

    // Six significant digits, rounded by the seventh digit alone.
    if (digits[6] >= '5') {
        int i = 5;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            ++exponent;
        }
    }

    if (negative) *out++ = '-';
    char fraction[16];
    std::size_t fractionSize = 0;
    if (exponent >= -4 && exponent < 6) {
        if (exponent >= 0) {
            std::memcpy(out, digits, static_cast<std::size_t>(exponent) + 1);
            out += exponent + 1;
            fractionSize = static_cast<std::size_t>(5 - exponent);
            std::memcpy(fraction, digits + exponent + 1, fractionSize);
        } else {
            *out++ = '0';
            fractionSize = static_cast<std::size_t>(-exponent - 1);
            std::memset(fraction, '0', fractionSize);
            std::memcpy(fraction + fractionSize, digits, 6);
            fractionSize += 6;
        }
    } else {
        *out++ = digits[0];
        fractionSize = 5;
        std::memcpy(fraction, digits + 1, fractionSize);
    }
    while (fractionSize > 0 && fraction[fractionSize - 1] == '0') --fractionSize;
    if (fractionSize > 0) {
        *out++ = '.';
        std::memcpy(out, fraction, fractionSize);
        out += fractionSize;
    }
    if (exponent < -4 || exponent >= 6) {
        const int magnitudeExp = exponent < 0 ? -exponent : exponent;
        *out++ = 'e';
        *out++ = exponent < 0 ? '-' : '+';
        *out++ = static_cast<char>('0' + magnitudeExp / 100);
        *out++ = static_cast<char>('0' + magnitudeExp / 10 % 10);
        *out++ = static_cast<char>('0' + magnitudeExp % 10);
    }
    return out;
}

char* WriteListInteger(char* out, std::int32_t value) {
    return std::to_chars(out, out + kListNumberSize, value).ptr;
}

std::string FormatListReal(float value) {
    char buffer[kListNumberSize];
    return std::string(buffer, WriteListReal(buffer, value));
}

std::string FormatListInteger(std::int32_t value) {
    char buffer[kListNumberSize];
    return std::string(buffer, WriteListInteger(buffer, value));
}

std::string PadLeft(std::string_view text, std::size_t width) {
    std::string result;
    if (text.size() < width) result.assign(width - text.size(), ' ');
    result.append(text);
    return result;
}

float ParseDialogReal(std::string_view text, std::size_t* consumed) {
    if (consumed) *consumed = 0;
    std::size_t i = SkipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Mantissa: digits with at most one decimal point, at least one digit.
    std::string number = negative ? "-" : "";
    long long digitsBeforePoint = 0, leadingFractionZeros = 0;
    bool seenPoint = false, seenDigit = false, seenNonZero = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            seenDigit = true;
            if (c != '0') seenNonZero = true;
            if (!seenPoint && seenNonZero) ++digitsBeforePoint;
            if (seenPoint && !seenNonZero) ++leadingFractionZeros;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        number += c;
    }
    if (!seenDigit) return 0.0f;

    // Exponent: E, e, D or d, an optional sign and at least one digit.
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool negativeExp = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExp = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            number += negativeExp ? "e-" : "e";
            for (; j < text.size() && IsDigit(text[j]); ++j) {
                number += text[j];
                if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (negativeExp) exponent = -exponent;
            i = j;
        }
    }
    if (consumed) *consumed = i;

    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the decimal magnitude tells which.
        const long long magnitude =
            seenNonZero
                ? (digitsBeforePoint > 0 ? digitsBeforePoint : -leadingFractionZeros) + exponent
                : -1;
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) value = -value;
    }
    return RoundToFloat(value);
}

std::int32_t ParseDialogInteger(std::string_view text, std::size_t* consumed) {
    if (consumed) *consumed = 0;
    std::size_t i = SkipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    const std::size_t firstDigit = i;
    for (; i < text.size() && IsDigit(text[i]); ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (i == firstDigit) return 0;
    if (consumed) *consumed = i;
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

bool ParseStrictReal(std::string_view text, float& value) {
    std::size_t consumed = 0;
    value = ParseDialogReal(text, &consumed);
    return consumed > 0 && TrimWhiteSpace(text.substr(consumed)).empty();
}

bool ParseStrictInteger(std::string_view text, std::int32_t& value) {
    std::size_t consumed = 0;
    value = ParseDialogInteger(text, &consumed);
    return consumed > 0 && TrimWhiteSpace(text.substr(consumed)).empty();
}

}  // namespace navaid
