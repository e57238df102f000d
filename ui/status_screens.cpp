#include "status_screens.h"

std::int32_t ScreenState = ScreenIntro;

const char* const kCreditLine = "navaidedit: QVZ navaid editor";

namespace {

constexpr const char* kIntroTitle = "Modify QVZ Scenery / Version 1.0";
constexpr const char* kResultTitle = "Modify QVZ / Version 1.0";

}  // namespace

bool IsValidScreenState(std::int32_t state) {
    return state >= ScreenIntro && state <= ScreenListCreated;
}

bool ResetInvalidScreenState(std::int32_t& state) {
    if (IsValidScreenState(state)) return false;
    state = ScreenIntro;
    return true;
}

std::vector<ScreenText> ScreenTexts(std::int32_t state, int width, int height) {
    // Halves drop the remainder, so an odd width centres like the even one below it.
    const int cx = width / 2;
    const int cy = height / 2;
    const ScreenText credit = {kCreditLine, ScreenFont::Default, width - 200, height - 40};
    const ScreenText title = {kResultTitle, ScreenFont::Title, 90, 50};
    constexpr auto S = ScreenFont::Text;
    switch (state) {
        case ScreenIntro:
            return {
                {kIntroTitle, ScreenFont::Title, 90, 50},
                {"This tool allows to modify the QVZ Scenery", S, cx - 300, cy - 120},
                {"by adding, deleting or changing VORs and NDBs.", S, cx - 300, cy - 80},
                {"If you want to change parameters of an existing", S, cx - 300, cy - 30},
                {"Navaid, you have first to delete it, then add it", S, cx - 300, cy + 10},
                {"once again with the changed parameters.", S, cx - 300, cy + 50},
                credit,
            };
        case ScreenChooseFile:
            return {{"Choose the Database file:", S, 50, 50}, credit};
        case ScreenNoAction:
            return {title, {"No Action performed !", S, cx - 100, cy - 60}, credit};
        case ScreenNoDatabase:
            return {title, {"No Database file found!", S, cx - 180, cy - 60}, credit};
        case ScreenModified:
            return {title,
                    {"Navaid successfully modified", S, cx - 180, cy - 60},
                    {"and written to file with extension <.new>", S, cx - 230, cy - 20},
                    credit};
        case ScreenListCreated:
            return {title,
                    {"Navaid list successfully created", S, cx - 180, cy - 60},
                    {"and written to file with extension <.txt>", S, cx - 230, cy - 20},
                    credit};
        default:
            return {};
    }
}
