// Starts navaidedit.exe, saves a picture of its start screen as
// start-screen.png in the screenshots folder, and closes it again. Used by
// scripts/run.sh on a machine without a display.
#include <cstdio>

#include "ui_driver.h"

int main(int argc, char** argv) {
    uidriver::ParseOptions(argc, argv);
    uidriver::Program app;
    if (!app.Start(uidriver::Options().program)) {
        std::fprintf(stderr, "could not start %s\n", uidriver::Options().program.c_str());
        return uidriver::WriteResult(1);
    }
    HWND frame = app.WaitForMainWindow();
    if (frame == nullptr) {
        std::fprintf(stderr, "the main window did not appear\n");
        return uidriver::WriteResult(1);
    }
    uidriver::Capture client;
    const bool painted = uidriver::WaitForSteadyClient(frame, client, [](const auto& shot) {
        return !shot.pixels.empty() && shot.At(shot.width / 2, 5) == 0x00FF00;
    });
    const bool saved = uidriver::CaptureSteadyDesktop().SavePng("start-screen");
    uidriver::PostCommand(frame, 40005);  // Close
    DWORD code = 1;
    const bool ended = app.WaitForExit(&code);
    if (!painted) std::fprintf(stderr, "the start screen was not painted green\n");
    if (!saved) std::fprintf(stderr, "the screenshot could not be saved\n");
    if (!ended) std::fprintf(stderr, "the program did not end after Close\n");
    return uidriver::WriteResult(painted && saved && ended && code == 0 ? 0 : 1);
}
