// The list's number texts: six significant digits rounded by the seventh digit
// alone, three-digit exponents, the non-finite texts, integers and the width.
#include <limits>

#include "test_support.h"

namespace navaid::test {
namespace {

TEST(FormatListRealTest, SixSignificantDigitsAndThreeDigitExponents) {
    using limits = std::numeric_limits<float>;
    // 114.2 is stored as 114.1999969...; at 999999.5 the carry adds a digit
    // and moves to scientific notation.
    // clang-format off
    const std::pair<float, const char*> cases[] = {
        {50.0f, "50"}, {114.2f, "114.2"}, {0.0123457f, "0.0123457"}, {0.0001f, "0.0001"},
        {0.00001f, "1e-005"}, {0.000123456f, "0.000123456"}, {123456.0f, "123456"},
        {99999.95f, "100000"}, {999999.0f, "999999"}, {999999.5f, "1e+006"},
        {1234567.0f, "1.23457e+006"}, {1000000.0f, "1e+006"}, {3.4e38f, "3.4e+038"},
        {limits::max(), "3.40282e+038"}, {limits::denorm_min(), "1.4013e-045"},
        {limits::min(), "1.17549e-038"}, {50.1234f, "50.1234"}, {8.5678f, "8.5678"},
        {-1.5f, "-1.5"}, {-0.25f, "-0.25"}, {1.0f, "1"}, {0.5f, "0.5"}, {-118.43f, "-118.43"},
        {113.6f, "113.6"}, {1e-5f * 1.5f, "1.5e-005"}, {-1234567.0f, "-1.23457e+006"},
        {1e10f, "1e+010"}, {1e-10f, "1e-010"}, {0.0f, "0"}, {-0.0f, "0"},
        {limits::infinity(), "1.#INF"}, {-limits::infinity(), "-1.#INF"},
        // Ties are decided by the seventh digit alone, away from zero, unlike
        // round-half-even; 2^-10 and 2^-16 are exact halves too.
        {100.0625f, "100.063"}, {-100.0625f, "-100.063"}, {50.03125f, "50.0313"},
        {1234565.0f, "1.23457e+006"}, {1234575.0f, "1.23458e+006"},
        {0.0009765625f, "0.000976563"}, {1.52587890625e-05f, "1.52588e-005"},
        {100.0624923706054688f, "100.062"}};
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatListReal(value), text) << value;
}

TEST(FormatListRealTest, NotANumberTexts) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0xFFC00000, "-1.#IND"}, {0x7FC00000, "1.#QNAN"}, {0xFFC00001, "-1.#QNAN"},
        {0x7FC01234, "1.#QNAN"}, {0x7F800001, "1.#QNAN"}, {0xFF800001, "-1.#QNAN"},
        {0x7FFFFFFF, "1.#QNAN"}, {0xFFFFFFFF, "-1.#QNAN"}};
    for (const auto& [bits, text] : cases)
        EXPECT_EQ(FormatListReal(FloatFromBits(bits)), text) << std::hex << bits;
}

TEST(FormatListIntegerTest, DigitsSignAndWidth) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"},
        {500, "500"},
        {-120, "-120"},
        {1000000, "1000000"},
        {std::numeric_limits<std::int32_t>::max(), "2147483647"},
        {std::numeric_limits<std::int32_t>::min(), "-2147483648"}};
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatListInteger(value), text) << value;

    // Right-aligned in eight positions, never cut.
    const std::pair<const char*, const char*> padded[] = {{"50", "      50"},
                                                          {"-1.#IND", " -1.#IND"},
                                                          {"12345678", "12345678"},
                                                          {"1.23457e+006", "1.23457e+006"},
                                                          {"-2147483648", "-2147483648"},
                                                          {"", "        "}};
    for (const auto& [text, shown] : padded) EXPECT_EQ(PadLeft(text), shown);
    EXPECT_EQ(PadLeft("ab", 3), " ab");
}

}  // namespace
}  // namespace navaid::test
