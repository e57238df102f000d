// The list's real numbers hold the six digits that the widened value's 17
// std::to_chars digits give when cut by the seventh, whichever way the core
// works them out. The texts' shapes are the golden cases' concern.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "test_support.h"

namespace navaid::test {
namespace {

// The six digits and the exponent, as a number text that std::strtod reads.
std::string SixDigits(float value) {
    char sci[40];
    *std::to_chars(sci, sci + sizeof sci - 1, std::fabs(static_cast<double>(value)),
                   std::chars_format::scientific, 16)
         .ptr = '\0';
    std::string digits(sci, 1);
    digits.append(sci + 2, 16);
    int exponent = std::atoi(sci + 19);
    long long six = std::stoll(digits.substr(0, 6)) + (digits[6] >= '5' ? 1 : 0);
    if (six == 1000000) {
        six = 100000;
        ++exponent;
    }
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(six);
    text += "e";
    text += std::to_string(exponent - 5);
    return text;
}

TEST(ListDigitsTest, EveryKindOfFloatKeepsItsSixDigits) {
    std::vector<std::uint32_t> patterns;
    // Across every exponent and sign, and densely where navaids' numbers lie.
    for (std::uint64_t bits = 1; bits < (1ull << 32); bits += 65521) patterns.push_back(bits);
    for (float start : {33.93f, -118.43f, 113.6f, 0.07f, 1750.0f})
        for (std::uint32_t i = 0, b = std::bit_cast<std::uint32_t>(start); i < 20000; ++i)
            patterns.push_back(b + i);
    // Both sides of every power of ten, and of the values just below one in
    // the seventh digit, where the decimal exponent and the rounding turn.
    for (int e = -46; e <= 39; ++e)
        for (double edge : {1.0, 0.99999949999999995, 0.99999950000000005})
            for (std::uint32_t i = 0, b = std::bit_cast<std::uint32_t>(
                                          static_cast<float>(edge * std::pow(10.0, e)));
                 i < 400; ++i)
                patterns.push_back(b + i - 200);
    long compared = 0;
    for (std::uint32_t bits : patterns) {
        const float value = std::bit_cast<float>(bits);
        if (!std::isfinite(value) || value == 0) continue;
        ++compared;
        ASSERT_EQ(std::strtod(FormatListReal(value).c_str(), nullptr),
                  std::strtod(SixDigits(value).c_str(), nullptr))
            << std::hex << bits << " " << FormatListReal(value);
    }
    EXPECT_GT(compared, 150000);
}

}  // namespace
}  // namespace navaid::test
