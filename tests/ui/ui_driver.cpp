#include "ui_driver.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace uidriver {

namespace {

constexpr char kDesktopName[] = "navaiduitest";
constexpr char kAppName[] = "navaidedit";
constexpr DWORD kPollMs = 20;

// Copies a rectangle of the desktop (screen coordinates).
Capture CaptureScreen(const RECT& area) {
    Capture capture;
    capture.width = area.right - area.left;
    capture.height = area.bottom - area.top;
    if (capture.width <= 0 || capture.height <= 0) return capture;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    capture.pixels.assign(source, source + static_cast<size_t>(capture.width) * capture.height);
    for (auto& pixel : capture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

RECT DesktopRect() {
    RECT rect;
    GetWindowRect(GetDesktopWindow(), &rect);
    return rect;
}

// Writes the capture as a PNG file through GDI+.
void SavePng(const Capture& capture, const std::string& path) {
    static const bool started = [] {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        return Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    }();
    auto* pixels = reinterpret_cast<BYTE*>(const_cast<std::uint32_t*>(capture.pixels.data()));
    Gdiplus::Bitmap bitmap(capture.width, capture.height, capture.width * 4, PixelFormat32bppRGB,
                           pixels);
    const CLSID pngEncoder = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::wstring widePath(path.begin(), path.end());
    if (!started || bitmap.Save(widePath.c_str(), &pngEncoder, nullptr) != Gdiplus::Ok) {
        throw std::runtime_error("cannot write " + path);
    }
}

// --- Judging the screen from the main window's pixels.

enum class Font { Title, Text };

struct Line {
    const char* text;
    Font font;
    int x;
    int y;
};

std::vector<Line> ScreenLines(int screen, int w, int h) {
    const char* resultTitle = "Modify QVZ / Version 1.0";
    switch (screen) {
        case kIntro:
            return {
                {"Modify QVZ Scenery / Version 1.0", Font::Title, 90, 50},
                {"This tool allows to modify the QVZ Scenery", Font::Text, w / 2 - 300,
                 h / 2 - 120},
                {"by adding, deleting or changing VORs and NDBs.", Font::Text, w / 2 - 300,
                 h / 2 - 80},
                {"If you want to change parameters of an existing", Font::Text, w / 2 - 300,
                 h / 2 - 30},
                {"Navaid, you have first to delete it, then add it", Font::Text, w / 2 - 300,
                 h / 2 + 10},
                {"once again with the changed parameters.", Font::Text, w / 2 - 300, h / 2 + 50}};
        case kChooseFile:
            return {{"Choose the Database file:", Font::Text, 50, 50}};
        case kNoAction:
            return {{resultTitle, Font::Title, 90, 50},
                    {"No Action performed !", Font::Text, w / 2 - 100, h / 2 - 60}};
        case kNoDatabase:
            return {{resultTitle, Font::Title, 90, 50},
                    {"No Database file found!", Font::Text, w / 2 - 180, h / 2 - 60}};
        case kModified:
            return {
                {resultTitle, Font::Title, 90, 50},
                {"Navaid successfully modified", Font::Text, w / 2 - 180, h / 2 - 60},
                {"and written to file with extension <.new>", Font::Text, w / 2 - 230, h / 2 - 20}};
        case kListCreated:
            return {
                {resultTitle, Font::Title, 90, 50},
                {"Navaid list successfully created", Font::Text, w / 2 - 180, h / 2 - 60},
                {"and written to file with extension <.txt>", Font::Text, w / 2 - 230, h / 2 - 20}};
        default:
            return {};
    }
}

// The program's fonts, made the way it makes them, to know each text's box.
SIZE TextSize(const char* text, Font font) {
    static HFONT fonts[2] = {};
    HDC screen = GetDC(nullptr);
    const int index = font == Font::Title ? 0 : 1;
    if (fonts[index] == nullptr) {
        LOGFONTA logFont{};
        logFont.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(logFont.lfFaceName, "Arial Black Kursiv", LF_FACESIZE);
        const int tenths = font == Font::Title ? 200 : 140;
        logFont.lfHeight = -(GetDeviceCaps(screen, LOGPIXELSY) * tenths / 720);
        fonts[index] = CreateFontIndirectA(&logFont);
    }
    HGDIOBJ old = SelectObject(screen, fonts[index]);
    SIZE size{};
    GetTextExtentPoint32A(screen, text, lstrlenA(text), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return size;
}

bool IsInk(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r < 110 && g < 110 && b < 110;
}

bool Inside(const RECT& rect, int x, int y) {
    return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool Overlaps(const RECT& a, const RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// True when the capture shows exactly the screen's texts where they belong:
// every text's box holds ink from its start to its end, and no ink lies
// outside the boxes (the credit line's corner and covered parts aside).
bool ShowsScreen(const Capture& client, int screen, const std::vector<RECT>& covered) {
    const int w = client.width, h = client.height;
    const RECT credit = {w - 204, h - 44, w, h};
    std::vector<RECT> boxes;
    int checked = 0;
    for (const Line& line : ScreenLines(screen, w, h)) {
        const SIZE size = TextSize(line.text, line.font);
        const RECT box = {line.x - 4, line.y - 3, line.x + size.cx + 4, line.y + size.cy + 3};
        boxes.push_back(box);
        bool hidden = false;
        for (const RECT& cover : covered) hidden = hidden || Overlaps(cover, box);
        if (hidden) continue;
        int left = w, right = -1;
        for (int y = std::max(0L, box.top); y < std::min<LONG>(h, box.bottom); ++y) {
            for (int x = std::max(0L, box.left); x < std::min<LONG>(w, box.right); ++x) {
                if (IsInk(client.At(x, y))) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        if (right < 0) return false;
        if (left > line.x + 8 || right < line.x + size.cx - 14) return false;
        ++checked;
    }
    if (checked == 0) return false;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!IsInk(client.At(x, y)) || Inside(credit, x, y)) continue;
            bool explained = false;
            for (const RECT& box : boxes) explained = explained || Inside(box, x, y);
            for (const RECT& cover : covered) explained = explained || Inside(cover, x, y);
            if (!explained) return false;
        }
    }
    return true;
}

// The program's visible top-level windows.
std::vector<HWND> ProgramWindows(DWORD processId) {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == s->processId && IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindProgramWindow(DWORD processId, const std::function<bool(HWND)>& test) {
    for (HWND window : ProgramWindows(processId)) {
        if (test(window)) return window;
    }
    return nullptr;
}

}  // namespace

Bytes ManyVors(int count) {
    constexpr size_t kVorSize = 56;
    Bytes bytes(static_cast<size_t>(count) * kVorSize, 0);
    for (int k = 0; k < count; ++k) {
        std::uint8_t* record = bytes.data() + static_cast<size_t>(k) * kVorSize;
        std::memset(record, ' ', 30);
        // Prefixed by insert: GCC 12 misreads "V" + text as an overlapping copy.
        std::string id = std::to_string(k), name = id;
        id.insert(0, 1, 'V');
        name.insert(0, "SCALE ");
        std::memcpy(record, id.data(), id.size());
        std::memcpy(record + 10, name.data(), name.size());
        record[50] = 1;
    }
    return bytes;
}

double SecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart - start.QuadPart) / frequency.QuadPart;
}

bool PollUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

const char* ScreenName(int screen) {
    static const char* const names[] = {"Intro",      "ChooseFile", "NoAction",
                                        "NoDatabase", "Modified",   "ListCreated"};
    return screen >= 0 && screen <= 5 ? names[screen] : "unknown";
}

std::string WindowsPath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

void MakeFolder(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    // A link is removed itself, never followed.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const std::string& name : FolderEntries(path)) RemoveTree(path + "\\" + name);
        RemoveDirectoryA(path.c_str());
    } else {
        DeleteFileA(path.c_str());
    }
}

std::string StoredName(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return {};
    FindClose(find);
    return data.cFileName;
}

void UseTestDesktop() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        const char size[] = "1024x768";
        RegSetValueExA(key, kDesktopName, 0, REG_SZ, reinterpret_cast<const BYTE*>(size),
                       sizeof(size));
        RegCloseKey(key);
    }
    HDESK desktop = CreateDesktopA(kDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr);
    if (desktop == nullptr || !SetThreadDesktop(desktop)) {
        throw std::runtime_error("cannot switch to the test desktop");
    }
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::string ClassName(HWND window) {
    char name[128] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string ChildText(HWND parent, const char* className) {
    struct Search {
        const char* className;
        std::string text;
    } search{className, {}};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            const std::string part = WindowText(child);
            if (ClassName(child) == s->className && !part.empty()) {
                s->text += s->text.empty() ? part : "\n" + part;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}

std::vector<std::string> ListEntries(HWND list, bool comboBox) {
    const UINT countMessage = comboBox ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT textMessage = comboBox ? CB_GETLBTEXT : LB_GETTEXT;
    std::vector<std::string> entries;
    const auto count = SendMessageA(list, countMessage, 0, 0);
    for (LRESULT k = 0; k < count; ++k) {
        // Across processes Wine hands list texts over reliably only in UTF-16.
        wchar_t wide[256] = {};
        SendMessageW(list, textMessage, k, reinterpret_cast<LPARAM>(wide));
        char text[512] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}

App::App(const std::string& exePath, const std::string& currentDirectory) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    char desktop[sizeof kDesktopName];
    lstrcpyA(desktop, kDesktopName);
    startup.lpDesktop = desktop;
    std::string commandLine = "\"" + exePath + "\"";
    if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup,
                        &m_process)) {
        throw std::runtime_error("cannot start " + exePath);
    }
    PollUntil(
        [&] {
            m_main = FindProgramWindow(m_process.dwProcessId, [](HWND window) {
                return WindowText(window) == kMainTitle;
            });
            return m_main != nullptr;
        },
        20000);
    if (m_main == nullptr) throw std::runtime_error("the main window did not appear");
}

App::~App() {
    if (!Close()) TerminateProcess(m_process.hProcess, 1);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool App::Close() {
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0) return true;
    // Dismiss whatever a failed test left open, then use the Close command.
    for (int round = 0; round < 5; ++round) {
        HWND open =
            FindProgramWindow(m_process.dwProcessId, [&](HWND window) { return window != m_main; });
        if (open == nullptr) break;
        PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        WaitGone(open, 3000);
    }
    PostMessageA(m_main, WM_COMMAND, kCloseCommand, 0);
    return WaitForSingleObject(m_process.hProcess, 10000) == WAIT_OBJECT_0;
}

bool App::WaitExit(DWORD* exitCode, DWORD timeoutMs) const {
    return WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(m_process.hProcess, exitCode);
}

void App::Command(int commandId) const { PostMessageA(m_main, WM_COMMAND, commandId, 0); }

HWND App::WaitDialog(const std::function<bool(HWND)>& test, DWORD timeoutMs) const {
    HWND found = nullptr;
    PollUntil(
        [&] {
            found = FindProgramWindow(m_process.dwProcessId, [&](HWND window) {
                return ClassName(window) == "#32770" && test(window);
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

HWND App::WaitOpenDialog() const {
    // The Open dialog is the one with a file-name box (combo box or edit).
    return WaitDialog([](HWND window) {
        return GetDlgItem(window, 0x47C) != nullptr || GetDlgItem(window, 0x480) != nullptr;
    });
}

HWND App::WaitDialogTitled(const char* title, DWORD timeoutMs) const {
    return WaitDialog([&](HWND window) { return WindowText(window) == title; }, timeoutMs);
}

HWND App::WaitListedDialog(const char* title, int listId, int count, DWORD timeoutMs) const {
    return WaitDialog(
        [&](HWND window) {
            return WindowText(window) == title &&
                   SendMessageA(GetDlgItem(window, listId), CB_GETCOUNT, 0, 0) == count;
        },
        timeoutMs);
}

HWND App::WaitMessageBox() const {
    return WaitDialog([](HWND window) { return WindowText(window) == kAppName; });
}

bool App::WaitGone(HWND window, DWORD timeoutMs) const {
    return PollUntil([&] { return !IsWindow(window); }, timeoutMs);
}

void App::ChooseFile(HWND openDialog, const std::string& path) const {
    HWND box = GetDlgItem(openDialog, 0x47C);
    if (box == nullptr) box = GetDlgItem(openDialog, 0x480);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    Click(openDialog, IDOK);
}

void App::Click(HWND dialog, int controlId) const {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

void App::SetText(HWND dialog, int controlId, const std::string& text) const {
    SendMessageA(GetDlgItem(dialog, controlId), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text.c_str()));
}

void App::PressKey(HWND dialog, int controlId, WPARAM key) const {
    HWND control = GetDlgItem(dialog, controlId);
    PostMessageA(control, WM_KEYDOWN, key, 1);
    PostMessageA(control, WM_KEYUP, key, 0xC0000001);
}

Capture App::ClientPixels() const {
    RECT client;
    GetClientRect(m_main, &client);
    POINT origin = {0, 0};
    ClientToScreen(m_main, &origin);
    return CaptureScreen({origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
}

int App::CurrentScreen() const {
    POINT origin = {0, 0};
    ClientToScreen(m_main, &origin);
    const Capture capture = ClientPixels();
    // Parts of the client area under the program's other windows are not judged.
    std::vector<RECT> covered;
    for (HWND window : ProgramWindows(m_process.dwProcessId)) {
        if (window == m_main) continue;
        RECT rect;
        GetWindowRect(window, &rect);
        OffsetRect(&rect, -origin.x, -origin.y);
        InflateRect(&rect, 2, 2);
        covered.push_back(rect);
    }
    for (int screen = kIntro; screen <= kListCreated; ++screen) {
        if (ShowsScreen(capture, screen, covered)) return screen;
    }
    return kUnknownScreen;
}

int App::WaitScreen(int expected, DWORD timeoutMs) const {
    int seen = kUnknownScreen;
    PollUntil(
        [&] {
            seen = CurrentScreen();
            return seen == expected;
        },
        timeoutMs);
    return seen;
}

void App::Screenshot(const std::string& path) const {
    // Steady for a few polls in a row: a dialog paints its controls one by one.
    Capture previous, current;
    int unchanged = 0;
    PollUntil(
        [&] {
            current = CaptureScreen(DesktopRect());
            unchanged = current.pixels == previous.pixels ? unchanged + 1 : 0;
            previous = current;
            return unchanged >= 3;
        },
        5000);
    SavePng(current, path);
}

}  // namespace uidriver
