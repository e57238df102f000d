// The list's number texts and the entry fields' conversion rules; arbitrary
// texts, and the strict forms, are checked against a reference by the fuzz target.
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "test_support.h"

namespace navaid::test {
namespace {

using limits = std::numeric_limits<float>;

TEST(NumberFormatTest, ListRealsHaveSixDigitsRoundedByTheSeventhAlone) {
    const auto bits = [](std::uint32_t b) { return std::bit_cast<float>(b); };
    // 114.2 is stored as 114.1999969...; ties go away from zero (100.0625 is exact).
    // clang-format off
    const std::pair<float, const char*> cases[] = {
        {50.0f, "50"}, {114.2f, "114.2"}, {0.0123457f, "0.0123457"}, {0.0001f, "0.0001"},
        {0.00001f, "1e-005"}, {0.000123456f, "0.000123456"}, {123456.0f, "123456"},
        {99999.95f, "100000"}, {999999.0f, "999999"}, {999999.5f, "1e+006"},
        {1234567.0f, "1.23457e+006"}, {3.4e38f, "3.4e+038"}, {limits::max(), "3.40282e+038"},
        {limits::denorm_min(), "1.4013e-045"}, {limits::min(), "1.17549e-038"}, {-1.5f, "-1.5"},
        {-0.25f, "-0.25"}, {1.0f, "1"}, {-118.43f, "-118.43"}, {1.5e-5f, "1.5e-005"},
        {-1234567.0f, "-1.23457e+006"}, {1e10f, "1e+010"}, {1e-10f, "1e-010"}, {0.0f, "0"},
        {-0.0f, "0"}, {limits::infinity(), "1.#INF"}, {-limits::infinity(), "-1.#INF"},
        {100.0625f, "100.063"}, {-100.0625f, "-100.063"}, {50.03125f, "50.0313"},
        {1234565.0f, "1.23457e+006"}, {1234575.0f, "1.23458e+006"}, {0.0009765625f, "0.000976563"},
        {1.52587890625e-05f, "1.52588e-005"}, {100.0624923706054688f, "100.062"},
        {bits(0xFFC00000), "-1.#IND"}, {bits(0x7FC00000), "1.#QNAN"}, {bits(0xFFC00001), "-1.#QNAN"},
        {bits(0x7F800001), "1.#QNAN"}, {bits(0xFFFFFFFF), "-1.#QNAN"}};
    // clang-format on
    for (const auto& [value, text] : cases) EXPECT_EQ(FormatListReal(value), text) << text;
}

TEST(NumberFormatTest, ListIntegersAcrossTheEightDigitWord) {
    // clang-format off
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "0"}, {7, "7"}, {-120, "-120"}, {10, "10"}, {500, "500"}, {100000, "100000"},
        {99999999, "99999999"}, {-99999999, "-99999999"}, {100000000, "100000000"},
        {-100000000, "-100000000"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    // clang-format on
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatListInteger(value), text);
        char padded[8 + kListNumberSize];
        const std::size_t size = std::strlen(text);
        const std::string right = std::string(size < 8 ? 8 - size : 0, ' ') + text;
        EXPECT_EQ(std::string(padded, WriteListInteger(padded, value, 8)), right) << text;
    }
}

TEST(ListLineTest, ALineFeedAnywhereInIdOrNameBecomesCrLf) {
    // Bytes next to 0x0A (and 0x0A with its top bit) must pass unchanged.
    std::string record = Encoded(Family::Vor, {"ID", "NAME", 1, 2, 3, 4, 5, "VOR"});
    std::memcpy(record.data(), "\x0B\x8A\x09\x1A\x00", 5);
    const auto line = [](const std::string& bytes) {
        return ListRecordLine(Family::Vor, reinterpret_cast<const std::uint8_t*>(bytes.data()));
    };
    const std::string plain = line(record);
    ASSERT_EQ(plain.substr(0, 15), std::string("\x0B\x8A\x09\x1A\0", 5) + "     ,NAME");
    for (std::size_t at = 0; at < 30; ++at) {
        std::string fed = record;
        fed[at] = '\n';
        std::string expected = plain;
        expected.replace(at + (at >= 10 ? 1 : 0), 1, "\r\n");
        EXPECT_EQ(line(fed), expected) << at;
    }
}

TEST(ConversionTest, DialogFormsTakeTheLeadingNumber) {
    // clang-format off
    const std::tuple<std::string, float, std::size_t> reals[] = {
        {"  52.5", 52.5f, 6}, {"52,5", 52.0f, 2}, {"5.25D1", 52.5f, 6}, {"5.25d+1", 52.5f, 7},
        {"525E-1", 52.5f, 6}, {"N52", 0.0f, 0}, {"", 0.0f, 0}, {"\t\n\v\f\r-7", -7.0f, 7},
        {"+3", 3.0f, 2}, {"-.5x", -0.5f, 3}, {"1.2.3", 1.2f, 3}, {"1e+", 1.0f, 1}, {"1 e5", 1.0f, 1},
        {".", 0.0f, 0}, {"+-1", 0.0f, 0}, {"inf", 0.0f, 0}, {"0x10", 0.0f, 1}, {"1e-400", 0.0f, 6},
        {"0000000000000000000000001.5", 1.5f, 27}, {"-1e39", -limits::infinity(), 5},
        {"0.000000000000000000000000000000000000000000001", 1e-45f, 47},
        {"3.4028234e38", limits::max(), 12},
        // Rounded to double first: the tie then goes to even (1), directly it would not.
        {"1.0000000596046448", 1.0f, 18}, {"1.00000005960465", std::nextafter(1.0f, 2.0f), 16}};
    const std::tuple<std::string, std::int32_t, std::size_t> integers[] = {
        {"1500ft", 1500, 4}, {" -20", -20, 4}, {"-", 0, 0}, {"+7", 7, 2}, {"x42", 0, 0},
        {"4294967297", 1, 10}, {"2147483648", INT32_MIN, 10}, {"-4294967295", 1, 11},
        {"99999999999", 1215752191, 11}, {"1e3", 1, 1}};
    // clang-format on
    for (const auto& [text, value, used] : reals) {
        std::size_t consumed = 99;
        EXPECT_EQ(ParseDialogReal(text, &consumed), value) << text;
        EXPECT_EQ(consumed, used) << text;
    }
    EXPECT_TRUE(std::signbit(ParseDialogReal("-0")));
    for (const auto& [text, value, used] : integers) {
        std::size_t consumed = 99;
        EXPECT_EQ(ParseDialogInteger(text, &consumed), value) << text;
        EXPECT_EQ(consumed, used) << text;
    }
}

}  // namespace
}  // namespace navaid::test
