// The main window's six status screens as data: which texts a screen shows,
// in which font and where, computed from the client area's size.
#pragma once

#include <cstdint>
#include <vector>

enum ScreenStateValue : std::int32_t {
    ScreenIntro = 0,
    ScreenChooseFile = 1,
    ScreenNoAction = 2,
    ScreenNoDatabase = 3,
    ScreenModified = 4,
    ScreenListCreated = 5,
};

// The screen the next paint draws. Assign it, then invalidate the main window.
extern std::int32_t ScreenState;

// The program's one-line credit, at the foot of every screen and in the Info box.
extern const char* const kCreditLine;

enum class ScreenFont { Title, Text, Default };

struct ScreenText {
    const char* text;
    ScreenFont font;
    int x;
    int y;
};

bool IsValidScreenState(std::int32_t state);

// For a value that names no screen: sets it to Intro and returns true, and
// the painter then shows plain green and asks for one more paint.
bool ResetInvalidScreenState(std::int32_t& state);

// The texts of a screen in drawing order, for a client area of width x
// height pixels. Empty for a value that names no screen.
std::vector<ScreenText> ScreenTexts(std::int32_t state, int width, int height);
