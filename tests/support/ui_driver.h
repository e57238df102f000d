// Drives the real navaidedit.exe from this separate process as a user would:
// menu commands, the Open dialog, the navaid dialogs and message boxes, all
// through window messages, and judges the main window's screen from its
// pixels (ui_screen.h). Every wait polls with a deadline; anything that may
// open a modal dialog is posted, never sent, so the driver is never blocked.
#pragma once

#include <windows.h>
// GDI+ needs the Windows headers first.
#include <gdiplus.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "resource.h"
#include "status_screens.h"
#include "ui_screen.h"

namespace uidriver {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

inline constexpr char kMainTitle[] = "Modify QVZ, Vs. 1.0";
inline constexpr char kDesktop[] = "navaiduitest";
inline constexpr int kFileNameBox = 0x47C;  // in the common Open dialog

// A Unix path (as CMake knows it) as Wine's Windows path on drive Z:.
inline std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

inline Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::ssize(bytes));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

// The names a folder holds, as the file system stores them, sorted.
inline std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

inline bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(20)) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
    }
}

inline std::string WindowText(HWND window) {
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

// The non-empty texts of a window's children of one class, joined by line feeds.
inline std::string ChildText(HWND parent, const char* className = "Static") {
    std::string text;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char name[128] = {};
        GetClassNameA(child, name, sizeof name);
        const std::string part = WindowText(child);
        if (name == std::string(className) && !part.empty())
            text += (text.empty() ? "" : "\n") + part;
    }
    return text;
}

// The entries of another process's combo box or list box.
inline std::vector<std::string> ListEntries(HWND list, bool comboBox) {
    std::vector<std::string> entries;
    const auto count = SendMessageA(list, comboBox ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT k = 0; k < count; ++k) {
        // Across processes Wine hands list texts over reliably only in UTF-16.
        wchar_t wide[256] = {};
        SendMessageW(list, comboBox ? CB_GETLBTEXT : LB_GETTEXT, k, reinterpret_cast<LPARAM>(wide));
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}

// Runs everything on a virtual desktop of its own, where Wine draws captions
// and menus and the screen can be captured. Call once, first.
inline void UseTestDesktop() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, kDesktop, 0, REG_SZ, reinterpret_cast<const BYTE*>("1024x768"), 9);
        RegCloseKey(key);
    }
    HDESK desktop = CreateDesktopA(kDesktop, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || !SetThreadDesktop(desktop)) {
        throw std::runtime_error("cannot switch to the test desktop");
    }
}

// One running navaidedit.exe, started in `currentDirectory`.
class App {
public:
    App(const std::string& exe, const std::string& currentDirectory) {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        char desktop[sizeof kDesktop];
        startup.lpDesktop = lstrcpyA(desktop, kDesktop);
        std::string commandLine = "\"" + exe + "\"";
        if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                            &m_process)) {
            throw std::runtime_error("cannot start " + exe);
        }
        m_main = WaitWindow([](HWND w) { return WindowText(w) == kMainTitle; }, 20000);
        if (m_main == nullptr) throw std::runtime_error("the main window did not appear");
    }
    ~App() {
        if (!Close()) TerminateProcess(m_process.hProcess, 1);
        CloseHandle(m_process.hThread);
        CloseHandle(m_process.hProcess);
    }

    HWND Main() const { return m_main; }
    void Command(int id) const { PostMessageA(m_main, WM_COMMAND, id, 0); }

    // The program's first visible top-level window that passes the test,
    // waited for until the deadline; null when none came.
    HWND WaitWindow(const std::function<bool(HWND)>& test, DWORD timeoutMs = 10000) const {
        HWND found = nullptr;
        PollUntil([&] { return (found = Find(test)) != nullptr; }, timeoutMs);
        return found;
    }
    HWND WaitDialog(const std::string& title, DWORD timeoutMs = 10000) const {
        return WaitWindow([&](HWND w) { return WindowText(w) == title; }, timeoutMs);
    }
    // The Open dialog is the one with a file-name box.
    HWND WaitOpenDialog() const {
        return WaitWindow([](HWND w) { return GetDlgItem(w, kFileNameBox) != nullptr; });
    }
    bool WaitGone(HWND window, DWORD timeoutMs = 10000) const {
        return PollUntil([&] { return !IsWindow(window); }, timeoutMs);
    }

    void ChooseFile(HWND openDialog, const std::string& path) const {
        SendDlgItemMessageA(openDialog, kFileNameBox, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(path.c_str()));
        Click(openDialog, IDOK);
    }
    void Click(HWND dialog, int id) const {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    Capture ClientPixels() const {
        RECT client;
        GetClientRect(m_main, &client);
        MapWindowPoints(m_main, nullptr, reinterpret_cast<POINT*>(&client), 2);
        return CaptureScreen(client);
    }
    // The screen the main window shows (ScreenStateValue), or -1 for none.
    // The program's other windows must not cover the main window.
    int CurrentScreen() const {
        const Capture capture = ClientPixels();
        for (int screen = ScreenIntro; screen <= ScreenListCreated; ++screen) {
            if (ShowsScreen(capture, screen)) return screen;
        }
        return -1;
    }
    // Waits until the main window shows `expected`; returns what it shows then.
    int WaitScreen(int expected, DWORD timeoutMs = 8000) const {
        int seen = -1;
        PollUntil([&] { return (seen = CurrentScreen()) == expected; }, timeoutMs);
        return seen;
    }

    // Waits until the desktop stops changing (a dialog paints its controls
    // one by one), then saves it as a PNG.
    void Screenshot(const std::string& path) const {
        RECT desktop;
        GetWindowRect(GetDesktopWindow(), &desktop);
        Capture previous, current;
        int unchanged = 0;
        PollUntil(
            [&] {
                current = CaptureScreen(desktop);
                unchanged = current.pixels == previous.pixels ? unchanged + 1 : 0;
                previous = current;
                return unchanged >= 3;
            },
            5000);
        static const bool started = [] {
            Gdiplus::GdiplusStartupInput input;
            ULONG_PTR token = 0;
            return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
        }();
        Gdiplus::Bitmap bitmap(current.width, current.height, current.width * 4,
                               PixelFormat32bppRGB, reinterpret_cast<BYTE*>(current.pixels.data()));
        const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0, 0, 0xf8, 0x1e, 0xf3, 0x2e}};
        if (!started || bitmap.Save(fs::path(path).c_str(), &png, nullptr) != Gdiplus::Ok) {
            throw std::runtime_error("cannot write " + path);
        }
    }

    // Waits for the program to end by itself; true with its exit code.
    bool WaitExit(DWORD* exitCode, DWORD timeoutMs = 10000) const {
        return WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(m_process.hProcess, exitCode);
    }
    // Dismisses whatever a failed test left open, then ends the program
    // through its Close command; true when it ended.
    bool Close() const {
        for (int round = 0; round < 5 && WaitForSingleObject(m_process.hProcess, 0); ++round) {
            HWND open = Find([&](HWND w) { return w != m_main; });
            if (open == nullptr) break;
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
            WaitGone(open, 3000);
        }
        PostMessageA(m_main, WM_COMMAND, IDM_CLOSE, 0);
        DWORD code;
        return WaitExit(&code);
    }

private:
    // The program's first visible top-level window that passes the test, or null.
    HWND Find(const std::function<bool(HWND)>& test) const {
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == m_process.dwProcessId && IsWindowVisible(window) && test(window)) {
                return window;
            }
        }
        return nullptr;
    }

    PROCESS_INFORMATION m_process{};
    HWND m_main = nullptr;
};

}  // namespace uidriver
