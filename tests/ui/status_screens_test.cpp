// The status screens' layout at client sizes from the 800 x 600 window's
// first one up, as the painter and the UI driver rely on it; the framework's pure helpers.
#include "status_screens.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "module_name.h"
#include "point_font.h"

namespace {

// Character heights at 96 dots per inch (Title 20 pt, Text 14 pt, the system
// font); a text needs at least a third of its height per character.
constexpr int kHeight[] = {26, 18, 16};

// At every size a screen's lines run top to bottom inside the client area,
// aligned texts stay aligned, and each keeps its distance from the area's
// start, centre or end (bits for 0, 1 or 2 halves: a halved odd size drops
// the remainder), the credit at the foot from the bottom right corner.
TEST(StatusScreens, LinesLieInsideInOrderAndKeepTheirPlaces) {
    const int sizes[][2] = {{784, 520}, {785, 521}, {1024, 703}, {1601, 1200}};
    for (int state = ScreenIntro; state <= ScreenListCreated; ++state) {
        std::int32_t kept = state;
        EXPECT_TRUE(IsValidScreenState(state) && !ResetInvalidScreenState(kept));
        const std::vector<ScreenText> first = ScreenTexts(state, sizes[0][0], sizes[0][1]);
        std::vector<int> anchors(2 * first.size(), 0b111);
        for (const auto& size : sizes) {
            SCOPED_TRACE(testing::Message()
                         << "screen " << state << " at " << size[0] << "x" << size[1]);
            const std::vector<ScreenText> texts = ScreenTexts(state, size[0], size[1]);
            ASSERT_TRUE(!texts.empty() && texts.size() == first.size());
            int top = 0;  // where the next line may start
            for (size_t k = 0; k < texts.size(); ++k) {
                const ScreenText& t = texts[k];
                const int tall = kHeight[static_cast<int>(t.font)];
                const int wide = tall / 3 * static_cast<int>(std::strlen(t.text));
                EXPECT_TRUE(t.x >= 0 && t.x + wide <= size[0] && t.y >= top) << t.text;
                top = t.y + tall;
                for (size_t j = 0; j < k; ++j)
                    EXPECT_TRUE(first[j].x != first[k].x || texts[j].x == t.x) << "unaligned";
                const int moved[2] = {t.x - first[k].x, t.y - first[k].y};
                for (int axis : {0, 1})
                    for (int h : {0, 1, 2})
                        if (moved[axis] != h * size[axis] / 2 - h * sizes[0][axis] / 2)
                            anchors[2 * k + axis] &= ~(1 << h);
            }
            EXPECT_LE(top, size[1]);
        }
        for (size_t i = 0; i < anchors.size(); ++i) EXPECT_NE(anchors[i], 0) << first[i / 2].text;
        EXPECT_STREQ(first.back().text, kCreditLine);
        EXPECT_TRUE(anchors[anchors.size() - 2] & anchors.back() & 0b100) << "the credit moved";
    }
}

TEST(StatusScreens, ValuesThatNameNoScreenDrawNothingAndResetToIntro) {
    for (std::int32_t state : {-1, 6, 7, -2147483647 - 1, 2147483647}) {
        SCOPED_TRACE(state);
        EXPECT_FALSE(IsValidScreenState(state));
        EXPECT_TRUE(ScreenTexts(state, 784, 520).empty());
        EXPECT_TRUE(ResetInvalidScreenState(state));
        EXPECT_EQ(state, ScreenIntro);
        // The next paint draws the start screen and asks for no further one.
        EXPECT_FALSE(ResetInvalidScreenState(state));
    }
}

TEST(FrameworkHelpers, PointFontHeightAndAppName) {
    // A negative character height of tenths of a point at the given dots per inch.
    const int fonts[][3] = {{96, 200, -26},  {96, 140, -18}, {120, 200, -33}, {120, 140, -23},
                            {144, 140, -28}, {96, 0, 0},     {96, -140, -18}};
    for (const auto& f : fonts) EXPECT_EQ(PointFontHeight(f[0], f[1]), f[2]) << f[0] << " " << f[1];
    // The program file's name without its extension.
    const char* const names[][2] = {{"C:\\Program Files\\QVZ\\navaidedit.exe", "navaidedit"},
                                    {"Z:\\work\\build\\bin\\NavaidEdit.EXE", "NavaidEdit"},
                                    {"navaidedit.exe", "navaidedit"},
                                    {"C:\\tools\\my.prog.exe", "my.prog"},
                                    {"C:\\tools.d\\noext", "noext"},
                                    {"D:program.exe", "program"},
                                    {"/usr/local/bin/navaidedit.exe", "navaidedit"}};
    for (const auto& n : names) EXPECT_EQ(AppNameFromModulePath(n[0]), n[1]) << n[0];
}

}  // namespace
