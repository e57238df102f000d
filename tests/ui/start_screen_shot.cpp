// Starts navaidedit.exe, saves a picture of its start screen as
// start-screen.png in the screenshots folder, and closes it again: what
// scripts/run.sh leaves on a machine without a display.
#include <cstdio>

#include "ui_driver.h"

int main() {
    using namespace uidriver;
    UseTestDesktop();
    App app(WindowsPath(NAVAIDEDIT_EXE), "");
    if (app.WaitScreen(ScreenIntro) != ScreenIntro) {
        std::fprintf(stderr, "the start screen was not painted\n");
        return 1;
    }
    fs::create_directories(WindowsPath(UI_SCREENSHOT_DIR));
    app.Screenshot(WindowsPath(UI_SCREENSHOT_DIR) + "\\start-screen.png");
    return app.Close() ? 0 : 1;
}
