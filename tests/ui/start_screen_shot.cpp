// Starts navaidedit.exe, saves a picture of its start screen as
// start-screen.png in the screenshots folder, and closes it again. Used by
// scripts/run.sh on a machine without a display, through run-on-desktop.sh:
//   start_screen_shot --program=EXE --screenshots=DIR --result=FILE
// (a virtual desktop does not pass on exit codes, so the code goes to FILE).
#include <cstdio>
#include <exception>
#include <string>

#include "ui_driver.h"

namespace {

int Run(const std::string& program, const std::string& screenshots) {
    uidriver::UseTestDesktop();
    uidriver::App app(program, "");
    if (app.WaitScreen(uidriver::kIntro) != uidriver::kIntro) {
        std::fprintf(stderr, "the start screen was not painted\n");
        return 1;
    }
    app.Screenshot(screenshots + "\\start-screen.png");
    if (!app.Close()) {
        std::fprintf(stderr, "the program did not end after Close\n");
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string options[3];  // program, screenshots, result
    const char* const names[] = {"--program=", "--screenshots=", "--result="};
    for (int i = 1; i < argc; ++i) {
        for (int k = 0; k < 3; ++k) {
            if (std::string(argv[i]).rfind(names[k], 0) == 0) {
                options[k] = argv[i] + std::string(names[k]).size();
            }
        }
    }
    int code = 1;
    try {
        code = Run(options[0], options[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    if (FILE* out = options[2].empty() ? nullptr : std::fopen(options[2].c_str(), "w")) {
        const bool written = std::fprintf(out, "%d\n", code) > 0;
        if (std::fclose(out) != 0 || !written) code = 1;
    }
    return code;
}
