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

// A temporary file that a signal removes, until it is forgotten; the few
// a run writes at once are each held.
void RemoveOnInterrupt(const std::string& path);
void ForgetOnInterrupt(const std::string& path);
// Runs `move`, which puts the output written as `temporary` in place, with
// the signals held back; after its success `temporary` is forgotten and a
// signal lets the run finish with its own status.
Outcome MoveHeld(const std::string& temporary, const std::function<Outcome()>& move);

// 0, or the status a Windows console event asked the run to end with, once
// it has unwound; on POSIX a signal ends the process in its handler.
int InterruptStatus();

}  // namespace navaid::cli
