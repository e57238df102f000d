// Ending a run told to stop (SIGINT, SIGTERM, SIGHUP, SIGPIPE; on Windows a
// console's Ctrl-C, Ctrl-Break or closing): the run's temporary output goes,
// the earlier output stays, and the tool ends with the signal's usual status.
// Once the new output is in place, a signal no longer stops the run.
#pragma once

#include <functional>
#include <string>

#include "outcome.h"

namespace navaid::cli {

// Installs the handlers, for the tool's own process (not its tests). A signal
// the tool was started to ignore stays ignored.
void HandleInterrupts();

// The temporary file that a signal removes, until Forget; one at a time.
void RemoveOnInterrupt(const std::string& path);
void ForgetOnInterrupt();
// Runs `move`, which puts the output in place, with the signals held back;
// after its success a signal lets the run finish with its own status.
Outcome MoveHeld(const std::function<Outcome()>& move);

// 0, or the status a Windows console event asked the run to end with, once
// it has unwound; on POSIX a signal ends the process in its handler.
int InterruptStatus();

}  // namespace navaid::cli
