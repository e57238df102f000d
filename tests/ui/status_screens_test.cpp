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
constexpr auto D = ScreenFont::Default;

TEST(StatusScreens, EveryScreenAtClientSize784x520) {
    const std::string credit = kCreditLine;
    const std::string title = "Modify QVZ / Version 1.0";
    struct Case {
        int state;
        std::vector<Placed> expected;
    } cases[] = {
        {ScreenIntro,
         {{"Modify QVZ Scenery / Version 1.0", T, 90, 50},
          {"This tool allows to modify the QVZ Scenery", S, 92, 140},
          {"by adding, deleting or changing VORs and NDBs.", S, 92, 180},
          {"If you want to change parameters of an existing", S, 92, 230},
          {"Navaid, you have first to delete it, then add it", S, 92, 270},
          {"once again with the changed parameters.", S, 92, 310},
          {credit, D, 584, 480}}},
        {ScreenChooseFile, {{"Choose the Database file:", S, 50, 50}, {credit, D, 584, 480}}},
        {ScreenNoAction,
         {{title, T, 90, 50}, {"No Action performed !", S, 292, 200}, {credit, D, 584, 480}}},
        {ScreenNoDatabase,
         {{title, T, 90, 50}, {"No Database file found!", S, 212, 200}, {credit, D, 584, 480}}},
        {ScreenModified,
         {{title, T, 90, 50},
          {"Navaid successfully modified", S, 212, 200},
          {"and written to file with extension <.new>", S, 162, 240},
          {credit, D, 584, 480}}},
        {ScreenListCreated,
         {{title, T, 90, 50},
          {"Navaid list successfully created", S, 212, 200},
          {"and written to file with extension <.txt>", S, 162, 240},
          {credit, D, 584, 480}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.state);
        EXPECT_TRUE(IsValidScreenState(c.state));
        EXPECT_EQ(Layout(c.state, 784, 520), c.expected);
    }
}

TEST(StatusScreens, ValuesThatNameNoScreenDrawNothingAndResetToIntro) {
    for (std::int32_t state : {-1, 6, 7, -2147483647 - 1, 2147483647}) {
        SCOPED_TRACE(state);
        EXPECT_FALSE(IsValidScreenState(state));
        EXPECT_TRUE(ScreenTexts(state, 784, 520).empty());
        std::int32_t reset = state;
        EXPECT_TRUE(ResetInvalidScreenState(reset));
        EXPECT_EQ(reset, ScreenIntro);
        // The next paint draws the start screen and asks for no further one.
        EXPECT_FALSE(ResetInvalidScreenState(reset));
        EXPECT_EQ(ScreenTexts(reset, 784, 520).size(), 7u);
    }
    for (std::int32_t state = ScreenIntro; state <= ScreenListCreated; ++state) {
        std::int32_t kept = state;
        EXPECT_FALSE(ResetInvalidScreenState(kept));
        EXPECT_EQ(kept, state);
    }
}

TEST(FrameworkHelpers, PointFontHeightIsANegativeCharacterHeight) {
    struct Case {
        int dpi, tenths, height;
    } cases[] = {
        {96, 200, -26},  {96, 140, -18}, {120, 200, -33}, {120, 140, -23},
        {144, 140, -28}, {96, 0, 0},     {96, -140, -18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.dpi) + " dpi, " + std::to_string(c.tenths));
        EXPECT_EQ(PointFontHeight(c.dpi, c.tenths), c.height);
    }
}

TEST(FrameworkHelpers, AppNameIsTheProgramFileNameWithoutExtension) {
    struct Case {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\Program Files\\QVZ\\navaidedit.exe", "navaidedit"},
        {"Z:\\work\\build\\bin\\NavaidEdit.EXE", "NavaidEdit"},
        {"navaidedit.exe", "navaidedit"},
        {"C:\\tools\\my.prog.exe", "my.prog"},
        {"C:\\tools.d\\noext", "noext"},
        {"D:program.exe", "program"},
        {"/usr/local/bin/navaidedit.exe", "navaidedit"},
    };
    for (const Case& c : cases) EXPECT_EQ(AppNameFromModulePath(c.path), c.name) << c.path;
}

}  // namespace
