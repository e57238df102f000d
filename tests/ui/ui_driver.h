// Drives the real navaidedit.exe from a separate Windows test program, as a
// user would: start it, wait for its windows, send menu commands and button
// clicks, read the screen's pixels, wait for it to end.
//
// Use:
//   uidriver::Program app;
//   ASSERT_TRUE(app.Start(uidriver::Options().program, workingFolder));
//   HWND frame = app.WaitForMainWindow();
//   uidriver::PostCommand(frame, 40006);                  // a menu command
//   HWND box = uidriver::WaitForOwnedDialog(frame);       // the box it opens
//   uidriver::ClickButton(box, IDOK);
//   uidriver::Capture shot = uidriver::CaptureClient(frame);
//   shot.SavePng("intro");                                // into the screenshots folder
//   DWORD code; ASSERT_TRUE(app.WaitForExit(&code));
//
// Every wait polls with a deadline (kDefaultTimeoutMs) and never sleeps a
// fixed time. Anything that opens a modal dialog must be posted, not sent, or
// the driver would block until the dialog closed. Options() holds the
// program's path and the screenshots folder, set from the command line by
// ParseOptions (--program=PATH --screenshots=DIR --result=FILE) before the
// tests run; a virtual desktop does not pass on exit codes, so the driver's
// main writes its code with WriteResult.
// A program still running when its Program object goes is terminated.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace uidriver {

inline constexpr DWORD kDefaultTimeoutMs = 20000;

struct DriverOptions {
    std::string program;      // Windows path of navaidedit.exe
    std::string screenshots;  // Windows path of the folder for screenshots
    std::string result;       // Windows path of a file that receives the exit code
};

inline DriverOptions& Options() {
    static DriverOptions options;
    return options;
}

// Takes --program=, --screenshots= and --result= out of argv; leaves the rest.
inline void ParseOptions(int& argc, char** argv) {
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--program=", 0) == 0) {
            Options().program = arg.substr(10);
        } else if (arg.rfind("--screenshots=", 0) == 0) {
            Options().screenshots = arg.substr(14);
        } else if (arg.rfind("--result=", 0) == 0) {
            Options().result = arg.substr(9);
        } else {
            argv[kept++] = argv[i];
        }
    }
    argc = kept;
}

inline int WriteResult(int code) {
    if (Options().result.empty()) return code;
    FILE* out = std::fopen(Options().result.c_str(), "w");
    if (out == nullptr) return code == 0 ? 1 : code;
    const bool ok = std::fprintf(out, "%d\n", code) > 0;
    return std::fclose(out) == 0 && ok ? code : (code == 0 ? 1 : code);
}

// Polls the condition until it holds or the deadline passes.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(20);
    }
}

inline std::string WindowText(HWND hWnd) {
    char buffer[1024] = {};
    ::GetWindowTextA(hWnd, buffer, sizeof buffer);
    return buffer;
}

inline std::string ClassName(HWND hWnd) {
    char buffer[256] = {};
    ::GetClassNameA(hWnd, buffer, sizeof buffer);
    return buffer;
}

// Visible top-level windows of a process, optionally of one window class.
inline std::vector<HWND> TopLevelWindows(DWORD processId, const char* className = nullptr) {
    struct Search {
        DWORD processId;
        const char* className;
        std::vector<HWND> found;
    } search{processId, className, {}};
    ::EnumWindows(
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(hWnd, &owner);
            if (owner == s->processId && ::IsWindowVisible(hWnd) &&
                (s->className == nullptr || ClassName(hWnd) == s->className)) {
                s->found.push_back(hWnd);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The visible dialog (class "#32770") owned by `owner`, waited for.
inline HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = kDefaultTimeoutMs) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(owner, &processId);
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            for (HWND hWnd : TopLevelWindows(processId, "#32770")) {
                if (::GetWindow(hWnd, GW_OWNER) == owner) {
                    dialog = hWnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return dialog;
}

inline bool WaitForWindowGone(HWND hWnd, DWORD timeoutMs = kDefaultTimeoutMs) {
    return WaitUntil([&] { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); }, timeoutMs);
}

// A menu command, as choosing the menu item sends it.
inline void PostCommand(HWND hWnd, UINT id) {
    ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// A click on a dialog's button; BM_CLICK may be ignored by an inactive dialog.
inline void ClickButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

// The texts of a window's children of one class, in Z order.
inline std::vector<std::string> ChildTexts(HWND parent, const char* className) {
    struct Search {
        const char* className;
        std::vector<std::string> texts;
    } search{className, {}};
    ::EnumChildWindows(
        parent,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lParam);
            if (ClassName(hWnd) == s->className) s->texts.push_back(WindowText(hWnd));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.texts;
}

// Writes one line per child window (class, ID, text, position) to stdout.
inline void LogChildren(HWND parent) {
    ::EnumChildWindows(
        parent,
        [](HWND hWnd, LPARAM) -> BOOL {
            RECT r;
            ::GetWindowRect(hWnd, &r);
            std::printf("  child %-12s id %5d (%ld,%ld)-(%ld,%ld) \"%s\"\n",
                        ClassName(hWnd).c_str(), ::GetDlgCtrlID(hWnd), r.left, r.top, r.right,
                        r.bottom, WindowText(hWnd).c_str());
            return TRUE;
        },
        0);
}

// A copy of screen pixels, 0x00RRGGBB each, top row first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    bool operator==(const Capture& other) const = default;

    // Saves the capture as NAME.bmp in the screenshots folder; the test run
    // turns each into NAME.png afterwards.
    bool SavePng(const std::string& name) const {
        if (Options().screenshots.empty() || pixels.empty()) return false;
        const std::string path = Options().screenshots + "\\" + name + ".bmp";
        BITMAPINFOHEADER info{};
        info.biSize = sizeof info;
        info.biWidth = width;
        info.biHeight = -height;
        info.biPlanes = 1;
        info.biBitCount = 32;
        info.biCompression = BI_RGB;
        const DWORD bits = static_cast<DWORD>(pixels.size() * 4);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info;
        file.bfSize = file.bfOffBits + bits;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (out == nullptr) return false;
        bool ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                  std::fwrite(&info, sizeof info, 1, out) == 1 &&
                  std::fwrite(pixels.data(), 1, bits, out) == bits;
        ok = std::fflush(out) == 0 && ok;
        return std::fclose(out) == 0 && ok;
    }
};

// Copies a rectangle of the screen (screen coordinates).
inline Capture CaptureScreen(const RECT& area) {
    Capture shot;
    shot.width = area.right - area.left;
    shot.height = area.bottom - area.top;
    if (shot.width <= 0 || shot.height <= 0) return shot;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = -shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, shot.width, shot.height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    shot.pixels.assign(first, first + static_cast<size_t>(shot.width) * shot.height);
    for (std::uint32_t& pixel : shot.pixels) pixel &= 0x00FFFFFF;
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

inline Capture CaptureDesktop() {
    return CaptureScreen({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
}

// The window's client area as the screen shows it.
inline Capture CaptureClient(HWND hWnd) {
    RECT client;
    ::GetClientRect(hWnd, &client);
    POINT origin = {0, 0};
    ::ClientToScreen(hWnd, &origin);
    return CaptureScreen({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

// Waits until two captures taken one poll apart agree, i.e. painting is done,
// and the condition holds for the result.
inline bool WaitForSteadyClient(HWND hWnd, Capture& shot,
                                const std::function<bool(const Capture&)>& condition,
                                DWORD timeoutMs = kDefaultTimeoutMs) {
    Capture previous;
    return WaitUntil(
        [&] {
            shot = CaptureClient(hWnd);
            const bool steady = shot == previous && condition(shot);
            previous = shot;
            return steady;
        },
        timeoutMs);
}

// The whole screen once nothing on it has changed for a few polls, e.g. after
// a dialog has painted all its controls.
inline Capture CaptureSteadyDesktop(DWORD timeoutMs = kDefaultTimeoutMs) {
    Capture shot;
    Capture previous;
    int unchanged = 0;
    WaitUntil(
        [&] {
            shot = CaptureDesktop();
            unchanged = shot == previous ? unchanged + 1 : 0;
            previous = shot;
            return unchanged >= 3;
        },
        timeoutMs);
    return shot;
}

// The program under test, started in a folder of the test's choice.
class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() {
        if (m_process.hProcess == nullptr) return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 99);
            ::WaitForSingleObject(m_process.hProcess, kDefaultTimeoutMs);
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }

    bool Start(const std::string& program, const std::string& folder = "") {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + program + "\"";
        return ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                                &m_process) != FALSE;
    }

    DWORD ProcessId() const { return m_process.dwProcessId; }

    // The program's visible frame window with the given title.
    HWND WaitForMainWindow(const char* title = "Modify QVZ, Vs. 1.0",
                           DWORD timeoutMs = kDefaultTimeoutMs) const {
        HWND frame = nullptr;
        WaitUntil(
            [&] {
                for (HWND hWnd : TopLevelWindows(m_process.dwProcessId)) {
                    if (WindowText(hWnd) == title && ClassName(hWnd) != "#32770") {
                        frame = hWnd;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return frame;
    }

    bool IsRunning() const { return ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

    bool WaitForExit(DWORD* exitCode, DWORD timeoutMs = kDefaultTimeoutMs) const {
        if (::WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0) return false;
        return ::GetExitCodeProcess(m_process.hProcess, exitCode) != FALSE;
    }

private:
    PROCESS_INFORMATION m_process{};
};

}  // namespace uidriver
