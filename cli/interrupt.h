// Ending a run told to stop (SIGINT, SIGTERM, SIGHUP; on Windows a console's
// Ctrl-C, Ctrl-Break or closing): the run's temporary output goes, the
// earlier output stays, and the tool ends with the signal's usual status.
#pragma once

#include <string>

namespace navaid::cli {

// Installs the handlers, for the tool's own process (not its tests). A signal
// the tool was started to ignore stays ignored.
void HandleInterrupts();

// The temporary file that a signal removes, until Forget; one at a time.
void RemoveOnInterrupt(const std::string& path);
void ForgetOnInterrupt();

// 0, or the status a Windows console event asked the run to end with, once
// it has unwound; on POSIX a signal ends the process in its handler.
int InterruptStatus();

}  // namespace navaid::cli
