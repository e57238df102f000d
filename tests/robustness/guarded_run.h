// Runs an operation with one file-system call failing, under a deadline: an
// operation that hangs ends the test program with a message naming the run,
// instead of stalling it unnoticed.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "navaid_db.h"

namespace navaid::test {

struct GuardedRun {
    Outcome outcome;
    long calls = 0;         // file-system calls the operation made
    bool injected = false;  // whether the failing call was reached
};

inline char g_guardedWhat[256];

inline void OnDeadline(int) {
    const char text[] = "FAILED: no outcome within the deadline: ";
    (void)!write(STDERR_FILENO, text, sizeof text - 1);
    (void)!write(STDERR_FILENO, g_guardedWhat, std::strlen(g_guardedWhat));
    _exit(1);
}

// `failCall` 0 runs without a fault.
inline GuardedRun RunGuarded(const std::function<Outcome()>& operation, long failCall, int error,
                             const std::string& what, unsigned deadlineSeconds = 20) {
    std::snprintf(g_guardedWhat, sizeof g_guardedWhat, "%s\n", what.c_str());
    signal(SIGALRM, OnDeadline);
    alarm(deadlineSeconds);
    io::faults::FailCall(failCall, error);
    GuardedRun run{operation()};
    run.calls = io::faults::CallCount();
    run.injected = io::faults::Injected();
    io::faults::Reset();
    alarm(0);
    return run;
}

}  // namespace navaid::test
