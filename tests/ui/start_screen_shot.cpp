// Starts navaidedit.exe, saves a picture of its start screen as
// start-screen.png in the screenshots folder, and closes it again: what
// scripts/run.sh leaves on a machine without a display. Given the (Unix) path
// of another navaidedit.exe, such as a package's, it starts and closes that
// one, and names its picture start-screen-packaged.png.
#include <cstdio>

#include "ui_driver.h"

int main(int argc, char** argv) {
    using namespace uidriver;
    UseTestDesktop();
    const bool packaged = argc > 1;
    App app(WindowsPath(packaged ? argv[1] : NAVAIDEDIT_EXE), "");
    if (app.WaitScreen(ScreenIntro) != ScreenIntro) {
        std::fprintf(stderr, "the start screen was not painted\n");
        return 1;
    }
    fs::create_directories(WindowsPath(UI_SCREENSHOT_DIR));
    app.Screenshot(WindowsPath(UI_SCREENSHOT_DIR) +
                   (packaged ? "\\start-screen-packaged.png" : "\\start-screen.png"));
    return app.Close() ? 0 : 1;
}
