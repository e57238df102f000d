// Layout of the status screens, and the framework's pure helpers.
#include "status_screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_name.h"
#include "point_font.h"

namespace {

struct Placed {
    std::string text;
    ScreenFont font;
    int x;
    int y;
    bool operator==(const Placed&) const = default;
};

std::vector<Placed> Layout(int state, int width, int height) {
    std::vector<Placed> placed;
    for (const ScreenText& t : ScreenTexts(state, width, height)) {
        placed.push_back({t.text, t.font, t.x, t.y});
    }
    return placed;
}

constexpr auto T = ScreenFont::Title;
constexpr auto S = ScreenFont::Text;

TEST(StatusScreens, EveryScreenAtClientSize784x520) {
    const Placed credit = {kCreditLine, ScreenFont::Default, 584, 480};
    const Placed title = {"Modify QVZ / Version 1.0", T, 90, 50};
    const std::vector<Placed> expected[] = {
        {{"Modify QVZ Scenery / Version 1.0", T, 90, 50},
         {"This tool allows to modify the QVZ Scenery", S, 92, 140},
         {"by adding, deleting or changing VORs and NDBs.", S, 92, 180},
         {"If you want to change parameters of an existing", S, 92, 230},
         {"Navaid, you have first to delete it, then add it", S, 92, 270},
         {"once again with the changed parameters.", S, 92, 310},
         credit},
        {{"Choose the Database file:", S, 50, 50}, credit},
        {title, {"No Action performed !", S, 292, 200}, credit},
        {title, {"No Database file found!", S, 212, 200}, credit},
        {title,
         {"Navaid successfully modified", S, 212, 200},
         {"and written to file with extension <.new>", S, 162, 240},
         credit},
        {title,
         {"Navaid list successfully created", S, 212, 200},
         {"and written to file with extension <.txt>", S, 162, 240},
         credit},
    };
    for (int state = ScreenIntro; state <= ScreenListCreated; ++state) {
        EXPECT_TRUE(IsValidScreenState(state));
        EXPECT_EQ(Layout(state, 784, 520), expected[state]) << "screen " << state;
        std::int32_t kept = state;
        EXPECT_FALSE(ResetInvalidScreenState(kept));
        EXPECT_EQ(kept, state);
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
