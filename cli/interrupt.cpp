#include "interrupt.h"

#include <csignal>
#include <cstring>
#if defined(_WIN32)
#include <windows.h>

#include "file_io.h"
#else
#include <unistd.h>
#endif

namespace navaid::cli {

namespace {

// The handler reads these, so they are plain memory, set in an order that
// never shows it half a name. A run holds a few at once: DATABASE.new's, the
// report's and the map's beside a backup's.
constexpr int kHeld = 8;
char g_temporary[kHeld][4096];
volatile std::sig_atomic_t g_armed[kHeld] = {};
// Set once the output is in place: a signal then no longer ends the run.
volatile std::sig_atomic_t g_committed = 0;

#if defined(_WIN32)
volatile LONG g_status = 0;

// Runs on a thread of its own: the seam's calls fail from now on, the main
// thread unwinds and removes its temporary file (Windows cannot delete a file
// it holds open), and its return ends the process, this thread with it. A
// second event, or a run that does not come back, ends it at once.
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (g_committed) return TRUE;
    const LONG status = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? 130 : 129;
    if (InterlockedCompareExchange(&g_status, status, 0) != 0)
        TerminateProcess(GetCurrentProcess(), status);
    io::Cancel();
    Sleep(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? INFINITE : 4000);
    TerminateProcess(GetCurrentProcess(), status);
    return TRUE;
}
#else
volatile std::sig_atomic_t g_ending = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// Only async-signal-safe calls: unlink and _exit. A second signal while the
// first is cleaning up (the handler runs with signals unblocked) ends at once.
// Once the output is in place the run goes on to its end: the handler returns,
// and a write it interrupted (no SA_RESTART) fails.
void OnSignal(int signal) {
    if (g_committed) return;
    const int status = 128 + signal;
    if (g_ending) _exit(status);
    g_ending = 1;
    for (int held = 0; held < kHeld; ++held)
        if (g_armed[held]) unlink(g_temporary[held]);
    _exit(status);
}
#endif

}  // namespace

void HandleInterrupts() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NODEFER;
    for (int signal : kSignals) {
        struct sigaction before {};
        // nohup, or a shell's background job, ignores some: they stay ignored.
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
#endif
}

namespace {

// The slot holding `path`, or -1.
int Holding(const std::string& path) {
    for (int held = 0; held < kHeld; ++held)
        if (g_armed[held] && path == g_temporary[held]) return held;
    return -1;
}

}  // namespace

void RemoveOnInterrupt(const std::string& path) {
    g_committed = 0;
    // Too long to keep, or more than the slots: left, as after SIGKILL.
    if (path.size() >= sizeof g_temporary[0] || Holding(path) >= 0) return;
    for (int held = 0; held < kHeld; ++held) {
        if (g_armed[held]) continue;
        std::memcpy(g_temporary[held], path.c_str(), path.size() + 1);
        g_armed[held] = 1;
        return;
    }
}

void ForgetOnInterrupt(const std::string& path) {
    if (const int held = Holding(path); held >= 0) g_armed[held] = 0;
}

Outcome MoveHeld(const std::string& temporary, const std::function<Outcome()>& move) {
#if !defined(_WIN32)
    // Held back across the move, so that a signal finds the output either
    // not moved (and removed) or in place.
    sigset_t held, before;
    sigemptyset(&held);
    for (int signal : kSignals) sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &before);
#endif
    Outcome moved = move();
    if (moved) {
        ForgetOnInterrupt(temporary);
        g_committed = 1;
    }
#if !defined(_WIN32)
    sigprocmask(SIG_SETMASK, &before, nullptr);
#endif
    return moved;
}

int InterruptStatus() {
#if defined(_WIN32)
    return static_cast<int>(g_status);
#else
    return 0;
#endif
}

}  // namespace navaid::cli
