// Layout of the status screens, and the framework's pure helpers.
#include "status_screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module_name.h"
#include "point_font.h"

namespace {

// Each text as "<font> x,y text", the font T(itle), S (text) or D(efault).
std::vector<std::string> Layout(int state) {
    std::vector<std::string> placed;
    for (const ScreenText& t : ScreenTexts(state, 784, 520)) {
        placed.push_back(std::string(1, "TSD"[static_cast<int>(t.font)]) + " " +
                         std::to_string(t.x) + "," + std::to_string(t.y) + " " + t.text);
    }
    return placed;
}

TEST(StatusScreens, EveryScreenAtClientSize784x520) {
    const std::string credit = std::string("D 584,480 ") + kCreditLine;
    const std::string title = "T 90,50 Modify QVZ / Version 1.0";
    const std::vector<std::string> expected[] = {
        {"T 90,50 Modify QVZ Scenery / Version 1.0",
         "S 92,140 This tool allows to modify the QVZ Scenery",
         "S 92,180 by adding, deleting or changing VORs and NDBs.",
         "S 92,230 If you want to change parameters of an existing",
         "S 92,270 Navaid, you have first to delete it, then add it",
         "S 92,310 once again with the changed parameters.", credit},
        {"S 50,50 Choose the Database file:", credit},
        {title, "S 292,200 No Action performed !", credit},
        {title, "S 212,200 No Database file found!", credit},
        {title, "S 212,200 Navaid successfully modified",
         "S 162,240 and written to file with extension <.new>", credit},
        {title, "S 212,200 Navaid list successfully created",
         "S 162,240 and written to file with extension <.txt>", credit},
    };
    for (int state = ScreenIntro; state <= ScreenListCreated; ++state) {
        EXPECT_TRUE(IsValidScreenState(state));
        EXPECT_EQ(Layout(state), expected[state]) << "screen " << state;
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
