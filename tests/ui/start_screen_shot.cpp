// Starts navaidedit.exe, saves a picture of its start screen as
// start-screen.png in the screenshots folder, and closes it again. Used by
// scripts/run.sh on a machine without a display, through run-on-desktop.sh:
//   start_screen_shot PROGRAM.exe SCREENSHOTS-FOLDER   (Windows paths)
#include <cstdio>
#include <exception>
#include <string>

#include "ui_driver.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: start_screen_shot PROGRAM.exe SCREENSHOTS-FOLDER\n");
        return 2;
    }
    try {
        uidriver::UseTestDesktop();
        uidriver::App app(argv[1], "");
        if (app.WaitScreen(uidriver::kIntro) != uidriver::kIntro) {
            std::fprintf(stderr, "the start screen was not painted\n");
            return 1;
        }
        app.Screenshot(std::string(argv[2]) + "\\start-screen.png");
        if (!app.Close()) {
            std::fprintf(stderr, "the program did not end after Close\n");
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
