// Drives the real navaidedit.exe as a user would: menu commands, the Open
// dialog, the navaid dialogs and message boxes, all through window messages
// from this separate process, and judges the main window's screen from the
// pixels it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace flows {

using Bytes = std::vector<std::uint8_t>;

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

// Runs everything on a virtual desktop of its own, so Wine draws captions
// and menus and the screen can be captured. Call once, first.
void UseFlowDesktop();

// Writes the whole desktop as a PNG file.
void SaveDesktopPng(const std::string& path);

// One running navaidedit.exe.
class App {
public:
    App(const std::string& exePath, const std::string& currentDirectory);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    HWND MainWindow() const { return m_main; }
    DWORD ProcessId() const { return m_process.dwProcessId; }

    // Sends a menu command the way the menu does (posted, so a modal dialog
    // it opens does not block the driver).
    void Command(int commandId);

    // The first visible top-level dialog of the program that satisfies the
    // test, waited for until the deadline; null when none came.
    HWND WaitDialog(const std::function<bool(HWND)>& test, DWORD timeoutMs = 10000) const;
    HWND WaitOpenDialog() const;
    HWND WaitDialogTitled(const char* title) const;
    // A message box of the program (captioned with the program's name).
    HWND WaitMessageBox() const;
    // True once the window is gone.
    bool WaitGone(HWND window, DWORD timeoutMs = 10000) const;

    // Answers the Open dialog with a path, or cancels it.
    void ChooseFile(HWND openDialog, const std::string& path) const;
    void CancelDialog(HWND dialog) const;
    void Click(HWND dialog, int controlId) const;
    void SetText(HWND dialog, int controlId, const std::string& text) const;
    void PressKey(HWND dialog, int controlId, WPARAM key) const;

    // Waits until the main window shows `expected`; returns what it shows
    // at the end (the expected screen, or what was seen at the deadline).
    int WaitScreen(int expected, DWORD timeoutMs = 8000) const;
    // What the main window shows now, judged from its pixels.
    int CurrentScreen() const;

    // Waits until the desktop stops changing, then saves it as a PNG.
    void Screenshot(const std::string& path) const;

    // Closes the program through its Close command; true when it ended.
    bool Close();

private:
    PROCESS_INFORMATION m_process{};
    HWND m_main = nullptr;
};

// The texts of every static control of a dialog, joined by line feeds.
std::string DialogText(HWND dialog);
std::string WindowText(HWND window);
std::string ClassName(HWND window);

}  // namespace flows
