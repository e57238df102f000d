// Drives the real navaidedit.exe as a user would: menu commands, the Open
// dialog, the navaid dialogs and message boxes, all through window messages
// from this separate process, and judges the main window's screen from the
// pixels it shows. Every wait polls with a deadline; anything that may open
// a modal dialog is posted, never sent, so the driver is never blocked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace uidriver {

using Bytes = std::vector<std::uint8_t>;

inline constexpr char kMainTitle[] = "Modify QVZ, Vs. 1.0";
inline constexpr int kCloseCommand = 40005;
inline constexpr int kInfoCommand = 40006;

// The six status screens, numbered as the program numbers them.
enum Screen : int {
    kUnknownScreen = -1,
    kIntro = 0,
    kChooseFile = 1,
    kNoAction = 2,
    kNoDatabase = 3,
    kModified = 4,
    kListCreated = 5,
};
const char* ScreenName(int screen);

// Screen pixels, 0x00RRGGBB each, top row first.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A Unix path (as CMake knows it) as Wine's Windows path on drive Z:.
std::string WindowsPath(const std::string& unixPath);

// Files, by Windows path.
bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
void MakeFolder(const std::string& path);
// Removes a folder with everything in it; a missing folder is fine.
void RemoveTree(const std::string& path);
// The name the file system stores for a path's last part (its real case).
std::string StoredName(const std::string& path);
std::vector<std::string> FolderEntries(const std::string& folder);

// A VOR database of `count` records, ID "V<k>" and name "SCALE <k>" (space
// padded) and a VOR type code, so every label differs.
Bytes ManyVors(int count);
// Seconds since an earlier QueryPerformanceCounter reading.
double SecondsSince(const LARGE_INTEGER& start);

// Polls `done` until it holds or the deadline passes.
bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// Runs everything on a virtual desktop of its own, so Wine draws captions
// and menus and the screen can be captured. Call once, first.
void UseTestDesktop();

// One running navaidedit.exe, started in `currentDirectory`.
class App {
public:
    App(const std::string& exePath, const std::string& currentDirectory);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND MainWindow() const { return m_main; }
    DWORD ProcessId() const { return m_process.dwProcessId; }

    // Sends a menu command the way the menu does.
    void Command(int commandId) const;

    // The first visible top-level dialog of the program that satisfies the
    // test, waited for until the deadline; null when none came.
    HWND WaitDialog(const std::function<bool(HWND)>& test, DWORD timeoutMs = 10000) const;
    HWND WaitOpenDialog() const;
    HWND WaitDialogTitled(const char* title, DWORD timeoutMs = 10000) const;
    // The dialog titled `title` once its combo box `listId` holds `count` entries.
    HWND WaitListedDialog(const char* title, int listId, int count, DWORD timeoutMs) const;
    // A message box of the program (captioned with the program's name).
    HWND WaitMessageBox() const;
    // True once the window is gone.
    bool WaitGone(HWND window, DWORD timeoutMs = 10000) const;

    // Answers the Open dialog with a path.
    void ChooseFile(HWND openDialog, const std::string& path) const;
    void Click(HWND dialog, int controlId) const;
    void SetText(HWND dialog, int controlId, const std::string& text) const;
    void PressKey(HWND dialog, int controlId, WPARAM key) const;

    // Waits until the main window shows `expected`; returns what it shows
    // at the end (the expected screen, or what was seen at the deadline).
    int WaitScreen(int expected, DWORD timeoutMs = 8000) const;
    // The main window's client area as the screen shows it.
    Capture ClientPixels() const;

    // Waits until the desktop stops changing, then saves it as a PNG.
    void Screenshot(const std::string& path) const;

    // Waits for the program to end by itself; true with its exit code.
    bool WaitExit(DWORD* exitCode, DWORD timeoutMs = 10000) const;
    // Dismisses what is open and ends the program through its Close
    // command; true when it ended.
    bool Close();

private:
    int CurrentScreen() const;

    PROCESS_INFORMATION m_process{};
    HWND m_main = nullptr;
};

// The texts of a window's children of one class ("Static" by default),
// joined by line feeds.
std::string ChildText(HWND parent, const char* className = "Static");
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// The entries of a combo box (or list box) of another process.
std::vector<std::string> ListEntries(HWND list, bool comboBox);

}  // namespace uidriver
