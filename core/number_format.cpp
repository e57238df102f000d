// The dialogs' number rules and the list's number texts. The list's fast
// formatter with its exact 64-bit path makes this file long (about 480
// lines); its parts only make sense together.
#include "number_format.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <system_error>

#include "code_page.h"

namespace navaid {
namespace {

// Adds one at digits[last], carrying left; 9...9 becomes 1 with the exponent up.
void RoundUp(char* digits, int last, int& exponent) {
    int i = last;
    while (i >= 0 && digits[i] == '9') digits[i--] = '0';
    if (i >= 0) {
        ++digits[i];
    } else {
        digits[0] = '1';
        ++exponent;
    }
}

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

// The exact value of a positive finite float rounded to 17 significant
// digits (half to even), as std::to_chars gives them for the widened double,
// with its decimal exponent; false outside the range worked out here (tiny
// and huge magnitudes), where std::to_chars does it. A list has four numbers
// a line, and this integer path costs a fraction of the general one.
constexpr std::uint64_t kPowersOfFive[28] = {1,
                                             5,
                                             25,
                                             125,
                                             625,
                                             3125,
                                             15625,
                                             78125,
                                             390625,
                                             1953125,
                                             9765625,
                                             48828125,
                                             244140625,
                                             1220703125,
                                             6103515625,
                                             30517578125,
                                             152587890625,
                                             762939453125,
                                             3814697265625,
                                             19073486328125,
                                             95367431640625,
                                             476837158203125,
                                             2384185791015625,
                                             11920928955078125,
                                             59604644775390625,
                                             298023223876953125,
                                             1490116119384765625,
                                             7450580596923828125};

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

constexpr std::uint64_t kLimb = 1000000000;

// A finite, normal float's value as an integer in three base-1e9 limbs
// (lowest first), times 10^-scale; false where it would not fit.
bool ToLimbs(std::uint32_t bits, std::uint64_t limbs[3], int& scale) {
    const std::uint32_t biased = bits >> 23;
    if (biased == 0 || biased == 0xFF) return false;
    std::uint64_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
    int power = static_cast<int>(biased) - 150;  // value = mantissa * 2^power
    const int zeros = std::countr_zero(mantissa);
    if (power < 0) {
        const int shift = std::min(zeros, -power);
        mantissa >>= shift;
        power += shift;
    }
    scale = 0;
    if (power >= 0) {
        if (power > 39) return false;
        std::uint64_t n = mantissa << power;
        for (int i = 0; i < 3; ++i) {
            limbs[i] = n % kLimb;
            n /= kLimb;
        }
        return true;
    }
    // mantissa * 2^-k = mantissa * 5^k / 10^k; 5^27 still fits 63 bits.
    scale = -power;
    if (scale > 27) return false;
    const std::uint64_t five = kPowersOfFive[scale];
    const std::uint64_t t0 = mantissa * (five % kLimb);
    const std::uint64_t t1 = mantissa * (five / kLimb % kLimb) + t0 / kLimb;
    const std::uint64_t t2 = mantissa * (five / kLimb / kLimb) + t1 / kLimb;
    limbs[0] = t0 % kLimb;
    limbs[1] = t1 % kLimb;
    limbs[2] = t2;  // below 1e9: mantissa < 2^24 and 5^27 / 1e18 < 8
    return true;
}

// The limbs as 27 decimal digits, highest first.
void WriteLimbs(const std::uint64_t limbs[3], char text[27]) {
    for (int limb = 0; limb < 3; ++limb) {
        // Nine digits: one, then four pairs from a table.
        char* out = text + 18 - limb * 9;
        const auto n = static_cast<std::uint32_t>(limbs[limb]);
        const std::uint32_t rest = n % 100000000;
        out[0] = static_cast<char>('0' + n / 100000000);
        std::memcpy(out + 1, kDigitPairs + 2 * (rest / 1000000), 2);
        std::memcpy(out + 3, kDigitPairs + 2 * (rest / 10000 % 100), 2);
        std::memcpy(out + 5, kDigitPairs + 2 * (rest / 100 % 100), 2);
        std::memcpy(out + 7, kDigitPairs + 2 * (rest % 100), 2);
    }
}

bool SeventeenDigits(std::uint32_t bits, char digits[17], int& exponent) {
    std::uint64_t limbs[3];
    int scale = 0;
    if (!ToLimbs(bits, limbs, scale)) return false;
    char text[27];
    WriteLimbs(limbs, text);
    int first = 0;
    while (text[first] == '0') ++first;
    const int count = 27 - first;
    exponent = count - 1 - scale;
    if (count <= 17) {
        std::memcpy(digits, text + first, static_cast<std::size_t>(count));
        std::memset(digits + count, '0', static_cast<std::size_t>(17 - count));
        return true;
    }
    // Rounded half to even at the seventeenth digit.
    std::memcpy(digits, text + first, 17);
    const char next = text[first + 17];
    bool beyond = false;
    for (int i = first + 18; i < 27; ++i) beyond = beyond || text[i] != '0';
    const bool up = next > '5' || (next == '5' && (beyond || (digits[16] - '0') % 2 == 1));
    if (up) RoundUp(digits, 16, exponent);
    return true;
}

constexpr std::uint64_t kPowersOfTen[12] = {1,         10,         100,         1000,
                                            10000,     100000,     1000000,     10000000,
                                            100000000, 1000000000, 10000000000, 100000000000};

// The two digit characters of 0 to 99 as a 16-bit word, the first lowest.
constexpr auto kPairWords = [] {
    std::array<std::uint16_t, 100> words{};
    for (int n = 0; n < 100; ++n)
        words[n] = static_cast<std::uint16_t>(('0' + n / 10) | ('0' + n % 10) << 8);
    return words;
}();

// Stores the eight bytes of `word`, lowest first.
void StoreWord(char* out, std::uint64_t word) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &word, 8);
    } else {
        for (int i = 0; i < 8; ++i) out[i] = static_cast<char>(word >> (8 * i));
    }
}

// The first seven of the 17 digits SeventeenDigits gives, for a positive
// normal float from 2^-16 up to 2^24, worked out exactly in 64 bits:
// value * 10^k = mantissa * 10^k * 2^power, and mantissa * 10^11 < 2^61.
// False where the 17-digit rounding could carry into the seventh digit, or
// outside that range; the caller then takes the longer way.
bool SevenDigits(std::uint32_t bits, std::uint32_t& seven, int& exponent) {
    const int biased = static_cast<int>(bits >> 23);
    const int binary = biased - 127;  // 2^binary <= value < 2^(binary + 1)
    if (binary < -16 || binary > 23) return false;
    const std::uint64_t mantissa = (bits & 0x7FFFFFu) | 0x800000u;
    const int shift = 150 - biased;  // value = mantissa / 2^shift; 0 to 39
    // floor(binary * log10(2)): the decimal exponent, or one less.
    const int guess = (binary * 1233) >> 12;
    const std::uint64_t scaled = mantissa * kPowersOfTen[6 - guess];
    const std::uint64_t one = std::uint64_t{1} << shift;
    // Within 2^-30 of the next integer the seventeenth digit's rounding may
    // carry into the seventh (also after the division below).
    if ((scaled & (one - 1)) > one - (one >> 30)) return false;
    std::uint64_t whole = scaled >> shift;
    // A guess one too small gives eight digits, the seventh digit's floor
    // one place further; no branch, as list values fall either way.
    const bool eight = whole >= 10000000;
    whole = eight ? whole / 10 : whole;
    if (whole < 1000000 || whole >= 10000000) return false;
    seven = static_cast<std::uint32_t>(whole);
    exponent = guess + (eight ? 1 : 0);
    return true;
}

// The first seven of the 17 digits where SevenDigits does not give them.
// Kept out of line: the list calls SixDigits once a number, right after a
// system call has cooled the caches, and every byte of its code counts then.
[[gnu::noinline, gnu::cold]] std::uint32_t SevenDigitsTheLongWay(std::uint32_t bits,
                                                                 int& exponent) {
    char all[17];
    if (!SeventeenDigits(bits, all, exponent)) {
        // 17 significant digits of the exactly widened value: d.dddddddddddddddde+XX
        char buffer[64];
        const double magnitude = static_cast<double>(std::bit_cast<float>(bits));
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                          std::chars_format::scientific, 16);
        const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
        all[0] = sci[0];
        std::memcpy(all + 1, sci.data() + 2, 16);
        std::from_chars(sci.data() + 19 + (sci[19] == '+' ? 1 : 0), sci.data() + sci.size(),
                        exponent);
    }
    std::uint32_t seven = 0;
    for (int i = 0; i < 7; ++i) seven = seven * 10 + static_cast<std::uint32_t>(all[i] - '0');
    return seven;
}

// The six significant digits of a positive finite float, rounded by the
// seventh of its 17 digits alone, as a number from 100000 to 999999, and the
// decimal exponent of the first.
void SixDigits(std::uint32_t bits, std::uint32_t& six, int& exponent) {
    std::uint32_t seven = 0;
    if (!SevenDigits(bits, seven, exponent)) seven = SevenDigitsTheLongWay(bits, exponent);
    six = seven / 10 + (seven % 10 >= 5 ? 1 : 0);
    if (six == 1000000) {
        six = 100000;
        ++exponent;
    }
}

// Spaces before a text of `size` bytes so that it ends at `width`.
char* PadTo(char* out, std::size_t size, std::size_t width) {
    if (size >= width) return out;
    if (width <= 8) {
        StoreWord(out, 0x2020202020202020u);
    } else {
        std::memset(out, ' ', width - size);
    }
    return out + (width - size);
}

// Zero, the infinities and the NaNs, out of line like the long way above.
[[gnu::noinline, gnu::cold]] char* WriteSpecialReal(char* out, float value, std::size_t width) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const bool negative = (bits >> 31) != 0;
    std::string_view special = "0";
    if (std::isinf(value)) {
        special = negative ? "-1.#INF" : "1.#INF";
    } else if (std::isnan(value)) {
        special = bits == 0xFFC00000u ? "-1.#IND" : negative ? "-1.#QNAN" : "1.#QNAN";
    }
    out = PadTo(out, special.size(), width);
    std::memcpy(out, special.data(), special.size());
    return out + special.size();
}

}  // namespace

// One function on purpose, though long: it is the list's inner loop (a
// number for every field of every record), and the three notations share
// the digits word and the size computed once, which pieces would pass around.
char* WriteListReal(char* out, float value, std::size_t width) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    const bool negative = (bits >> 31) != 0;
    // Zero, infinities and NaNs in one test: magnitudes 0 and from 0x7F800000.
    if ((bits & 0x7FFFFFFFu) - 1 >= 0x7F7FFFFFu) return WriteSpecialReal(out, value, width);

    std::uint32_t six = 0;
    int exponent = 0;
    SixDigits(bits & 0x7FFFFFFFu, six, exponent);
    // The list writes a number for every field of every record, so the text
    // is put together in 64-bit words, each stored once and never read back:
    // the six digit characters, first digit in the lowest byte.
    const std::uint64_t digits =
        std::uint64_t{kPairWords[six / 10000]} | std::uint64_t{kPairWords[six / 100 % 100]} << 16 |
        std::uint64_t{kPairWords[six % 100]} << 32 | std::uint64_t{0x3030} << 48;
    // Trailing zeros are not written: the last digit kept is the highest
    // byte that differs from '0' (the first digit never is '0').
    const std::uint64_t nonZero = (digits ^ 0x303030303030u) & 0xFFFFFFFFFFFFu;
    const int kept = (63 - std::countl_zero(nonZero)) / 8 + 1;
    const bool fixed = exponent >= 0 && exponent < 6, small = exponent < 0 && exponent >= -4;
    const int whole = exponent + 1;  // digits before the point in fixed notation
    const int size = (negative ? 1 : 0) + (fixed   ? whole + (kept > whole ? 1 + kept - whole : 0)
                                           : small ? 1 - exponent + kept
                                                   : (kept > 1 ? kept + 1 : 1) + 5);
    char* p = PadTo(out, static_cast<std::size_t>(size), width);
    *p = '-';
    p += negative ? 1 : 0;
    if (fixed) {
        StoreWord(p, digits);
        p += whole;
        if (kept > whole) {
            *p = '.';
            StoreWord(p + 1, digits >> (8 * whole));
            p += 1 + kept - whole;
        }
    } else if (small) {
        StoreWord(p, 0x303030303030'2E30u);  // "0.000000"
        p += 1 - exponent;
        StoreWord(p, digits);
        p += kept;
    } else {
        *p = static_cast<char>(digits);
        if (kept > 1) {
            p[1] = '.';
            StoreWord(p + 2, digits >> 8);
        }
        p += kept > 1 ? kept + 1 : 1;
        const int magnitude = exponent < 0 ? -exponent : exponent;
        *p++ = 'e';
        *p++ = exponent < 0 ? '-' : '+';
        *p++ = static_cast<char>('0' + magnitude / 100);
        *p++ = static_cast<char>('0' + magnitude / 10 % 10);
        *p++ = static_cast<char>('0' + magnitude % 10);
    }
    return p;
}

char* WriteListInteger(char* out, std::int32_t value, std::size_t width) {
    std::uint32_t magnitude =
        value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    if (magnitude >= 100000000) {
        std::size_t size = value < 0 ? 2 : 1;
        for (; magnitude >= 10; magnitude /= 10) ++size;
        out = PadTo(out, size, width);
        return std::to_chars(out, out + size, value).ptr;
    }
    // Below 10^8, which takes in every real altitude: eight digit characters
    // in one word, first digit in the lowest byte, leading zeros shifted out.
    const std::uint64_t digits = std::uint64_t{kPairWords[magnitude / 1000000]} |
                                 std::uint64_t{kPairWords[magnitude / 10000 % 100]} << 16 |
                                 std::uint64_t{kPairWords[magnitude / 100 % 100]} << 32 |
                                 std::uint64_t{kPairWords[magnitude % 100]} << 48;
    const std::uint64_t nonZero = digits ^ 0x3030303030303030u;
    const int zeros = nonZero == 0 ? 7 : std::countr_zero(nonZero) / 8;
    const std::size_t size = static_cast<std::size_t>(8 - zeros + (value < 0 ? 1 : 0));
    char* p = PadTo(out, size, width);
    *p = '-';
    p += value < 0 ? 1 : 0;
    StoreWord(p, digits >> (8 * zeros));
    return out + std::max(size, width);
}

std::string FormatListReal(float value) {
    char buffer[kListNumberSize];
    return std::string(buffer, WriteListReal(buffer, value));
}

std::string FormatListInteger(std::int32_t value) {
    char buffer[kListNumberSize];
    return std::string(buffer, WriteListInteger(buffer, value));
}

namespace {

// The decimal digits of a dialog number as read so far, with what the
// magnitude of an out-of-range value is judged by.
struct DialogMantissa {
    std::string number;  // for from_chars: sign, digits, point, "e" and exponent
    long long digitsBeforePoint = 0, leadingFractionZeros = 0;
    bool seenDigit = false, seenNonZero = false;
};

// Mantissa: digits with at most one decimal point, at least one digit.
void ReadDialogMantissa(std::string_view text, std::size_t& i, DialogMantissa& m) {
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            m.seenDigit = true;
            if (c != '0') m.seenNonZero = true;
            if (!seenPoint && m.seenNonZero) ++m.digitsBeforePoint;
            if (seenPoint && !m.seenNonZero) ++m.leadingFractionZeros;
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
        m.number += c;
    }
}

// Exponent: E, e, D or d, an optional sign and at least one digit; without
// a digit the letter is not part of the number.
long long ReadDialogExponent(std::string_view text, std::size_t& i, std::string& number) {
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
    return exponent;
}

}  // namespace

float ParseDialogReal(std::string_view text, std::size_t* consumed) {
    if (consumed) *consumed = 0;
    std::size_t i = SkipWhiteSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    DialogMantissa m;
    m.number = negative ? "-" : "";
    ReadDialogMantissa(text, i, m);
    if (!m.seenDigit) return 0.0f;
    const long long exponent = ReadDialogExponent(text, i, m.number);
    if (consumed) *consumed = i;

    double value = 0;
    const auto result = std::from_chars(m.number.data(), m.number.data() + m.number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the decimal magnitude tells which.
        const long long magnitude =
            m.seenNonZero
                ? (m.digitsBeforePoint > 0 ? m.digitsBeforePoint : -m.leadingFractionZeros) +
                      exponent
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
