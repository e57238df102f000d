// The real navaidedit.exe as a user meets it: the main window, its menu and
// resources, the start screen's pixels, the Info box, and the two ways to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace {

constexpr char kCreditLine[] = "navaidedit: QVZ navaid editor";
constexpr UINT kCloseCommand = 40005;
constexpr UINT kInfoCommand = 40006;

bool IsGreen(std::uint32_t pixel) { return pixel == 0x00FF00; }
// Black text on green, smoothed or not, never has red or blue in it.
bool IsTextOrGreen(std::uint32_t pixel) { return (pixel & 0xFF00FF) == 0; }
bool IsInk(std::uint32_t pixel) { return IsTextOrGreen(pixel) && ((pixel >> 8) & 0xFF) < 160; }

struct InkBox {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    bool Empty() const { return right < 0; }
};

// The bounding box of the dark pixels in [x0, x1) x [y0, y1), clipped to the capture.
InkBox FindInk(const uidriver::Capture& shot, int x0, int y0, int x1, int y1) {
    InkBox box;
    for (int y = std::max(y0, 0); y < std::min(y1, shot.height); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x1, shot.width); ++x) {
            if (!IsInk(shot.At(x, y))) continue;
            box.left = std::min(box.left, x);
            box.top = std::min(box.top, y);
            box.right = std::max(box.right, x + 1);
            box.bottom = std::max(box.bottom, y + 1);
        }
    }
    return box;
}

bool LooksLikeIntro(const uidriver::Capture& shot) {
    return shot.width > 600 && !shot.pixels.empty() && IsGreen(shot.At(shot.width / 2, 5)) &&
           !FindInk(shot, 90, 50, 300, 90).Empty();
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_app.Start(uidriver::Options().program)) << uidriver::Options().program;
        m_frame = m_app.WaitForMainWindow();
        ASSERT_NE(m_frame, nullptr) << "no window titled \"Modify QVZ, Vs. 1.0\" appeared";
    }

    uidriver::Capture SteadyIntro() {
        uidriver::Capture shot;
        EXPECT_TRUE(uidriver::WaitForSteadyClient(m_frame, shot, LooksLikeIntro))
            << "the start screen was not painted";
        return shot;
    }

    uidriver::Program m_app;
    HWND m_frame = nullptr;
};

TEST_F(MainWindow, OpensAt800x600InTheTopLeftCornerWithItsTitleStyleAndClass) {
    RECT rect;
    ASSERT_TRUE(::GetWindowRect(m_frame, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    EXPECT_EQ(uidriver::WindowText(m_frame), "Modify QVZ, Vs. 1.0");
    EXPECT_EQ(::GetParent(m_frame), nullptr);
    EXPECT_TRUE(::IsWindowVisible(m_frame));

    const auto style = static_cast<DWORD>(::GetWindowLongA(m_frame, GWL_STYLE));
    EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, static_cast<DWORD>(WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(style & (WS_CHILD | WS_POPUP | WS_DISABLED | WS_HSCROLL | WS_VSCROLL), 0u);
    const auto exStyle = static_cast<DWORD>(::GetWindowLongA(m_frame, GWL_EXSTYLE));
    EXPECT_NE(exStyle & WS_EX_CLIENTEDGE, 0u);
    EXPECT_EQ(exStyle & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED), 0u);

    const auto classStyle = static_cast<UINT>(::GetClassLongPtrA(m_frame, GCL_STYLE));
    EXPECT_EQ(classStyle, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
    EXPECT_NE(::GetMenu(m_frame), nullptr) << "the frame has no menu bar";
    // The client area is what an 800 x 600 frame leaves with one line of menu bar.
    RECT client;
    ::GetClientRect(m_frame, &client);
    ASSERT_TRUE(::AdjustWindowRectEx(&client, style, TRUE, exStyle));
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
}

TEST_F(MainWindow, StartScreenIsGreenWithTheTitleAndTheUsageNoteInPlace) {
    const uidriver::Capture shot = SteadyIntro();
    uidriver::CaptureSteadyDesktop().SavePng("intro");
    const int w = shot.width;
    const int h = shot.height;
    RECT client;
    ::GetClientRect(m_frame, &client);
    ASSERT_EQ(w, client.right);
    ASSERT_EQ(h, client.bottom);

    size_t green = 0;
    for (std::uint32_t pixel : shot.pixels) {
        ASSERT_TRUE(IsTextOrGreen(pixel)) << std::hex << "a pixel of colour 0x" << pixel;
        green += IsGreen(pixel);
    }
    EXPECT_GT(green, shot.pixels.size() * 9 / 10);

    struct Line {
        const char* what;
        int x, y;
        int minInkHeight, maxInkHeight;
    } lines[] = {
        {"title", 90, 50, 17, 34},
        {"usage line 1", w / 2 - 300, h / 2 - 120, 10, 24},
        {"usage line 2", w / 2 - 300, h / 2 - 80, 10, 24},
        {"usage line 3", w / 2 - 300, h / 2 - 30, 10, 24},
        {"usage line 4", w / 2 - 300, h / 2 + 10, 10, 24},
        {"usage line 5", w / 2 - 300, h / 2 + 50, 10, 24},
        {"credit line", w - 200, h - 40, 6, 20},
    };
    int bodyInkHeight = 0;
    for (const Line& line : lines) {
        SCOPED_TRACE(line.what);
        // The text's box starts at (x, y): its ink begins just right of and below that corner.
        const InkBox ink = FindInk(shot, line.x - 6, line.y - 6, line.x + 560, line.y + 36);
        ASSERT_FALSE(ink.Empty()) << "nothing drawn near (" << line.x << ", " << line.y << ")";
        EXPECT_GE(ink.left, line.x);
        EXPECT_LE(ink.left, line.x + 6);
        EXPECT_GE(ink.top, line.y);
        EXPECT_LE(ink.top, line.y + 12);
        EXPECT_GE(ink.bottom - ink.top, line.minInkHeight);
        EXPECT_LE(ink.bottom - ink.top, line.maxInkHeight);
        EXPECT_GT(ink.right - ink.left, 100) << "the text is not drawn at its full length";
        if (line.x == w / 2 - 300) bodyInkHeight = std::max(bodyInkHeight, ink.bottom - ink.top);
    }
    const InkBox title = FindInk(shot, 84, 44, 650, 86);
    EXPECT_GT(title.bottom - title.top, bodyInkHeight) << "the title is not in the larger font";
    // Nothing but the texts: the band between the title and the first usage line is empty.
    EXPECT_TRUE(FindInk(shot, 0, 90, w, h / 2 - 125).Empty());
}

TEST_F(MainWindow, InfoShowsTheCreditBoxAndLeavesTheScreenAsItWas) {
    const uidriver::Capture before = SteadyIntro();
    uidriver::PostCommand(m_frame, kInfoCommand);
    HWND box = uidriver::WaitForOwnedDialog(m_frame);
    ASSERT_NE(box, nullptr) << "no box owned by the main window appeared";
    EXPECT_EQ(uidriver::WindowText(box), "navaidedit");
    const std::vector<std::string> texts = uidriver::ChildTexts(box, "Static");
    EXPECT_NE(std::find(texts.begin(), texts.end(), kCreditLine), texts.end())
        << "the box does not show the credit line";
    const std::vector<std::string> buttons = uidriver::ChildTexts(box, "Button");
    EXPECT_EQ(buttons, std::vector<std::string>{"OK"});
    EXPECT_FALSE(::IsWindowEnabled(m_frame)) << "the box is not modal";
    uidriver::CaptureSteadyDesktop().SavePng("info");

    uidriver::ClickButton(box, IDOK);
    ASSERT_TRUE(uidriver::WaitForWindowGone(box));
    EXPECT_TRUE(uidriver::WaitUntil([&] { return ::IsWindowEnabled(m_frame) != FALSE; }));
    EXPECT_TRUE(m_app.IsRunning());
    uidriver::Capture after;
    EXPECT_TRUE(uidriver::WaitForSteadyClient(m_frame, after, [&](const uidriver::Capture& shot) {
        return shot == before;
    })) << "the screen changed after the Info box";
}

TEST_F(MainWindow, CloseCommandAndCaptionCloseBoxEndTheProgramWithCodeZero) {
    // Each way of ending gets a program of its own.
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Close on the menu bar", WM_COMMAND, MAKEWPARAM(kCloseCommand, 0)},
        {"the caption's close box", WM_SYSCOMMAND, SC_CLOSE},
        {"Alt+F4 or the system menu", WM_CLOSE, 0},
    };
    bool first = true;
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        uidriver::Program other;
        uidriver::Program& app = first ? m_app : other;
        HWND frame = m_frame;
        if (!first) {
            ASSERT_TRUE(other.Start(uidriver::Options().program));
            frame = other.WaitForMainWindow();
            ASSERT_NE(frame, nullptr);
        }
        first = false;
        ::PostMessageA(frame, way.message, way.wParam, 0);
        DWORD code = 12345;
        ASSERT_TRUE(app.WaitForExit(&code)) << "the program did not end";
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(uidriver::TopLevelWindows(app.ProcessId()).empty());
    }
}

TEST_F(MainWindow, CloseEndsTheProgramWhileTheInfoBoxIsOpen) {
    SteadyIntro();
    uidriver::PostCommand(m_frame, kInfoCommand);
    HWND box = uidriver::WaitForOwnedDialog(m_frame);
    ASSERT_NE(box, nullptr);
    ::PostMessageA(m_frame, WM_COMMAND, MAKEWPARAM(kCloseCommand, 0), 0);
    DWORD code = 12345;
    ASSERT_TRUE(m_app.WaitForExit(&code)) << "the program did not end";
    EXPECT_EQ(code, 0u);
}

// The menu and icon as the program file carries them.
class Resources : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = ::LoadLibraryExA(uidriver::Options().program.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_module, nullptr);
    }
    void TearDown() override {
        if (m_module) ::FreeLibrary(m_module);
    }
    HMODULE m_module = nullptr;
};

struct MenuItem {
    std::string text;
    UINT id;  // 0 for a pop-up
    std::vector<MenuItem> items;
    bool operator==(const MenuItem&) const = default;
};

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        EXPECT_EQ(info.fType, static_cast<UINT>(MFT_STRING)) << text;
        EXPECT_EQ(info.fState & (MFS_GRAYED | MFS_CHECKED | MFS_DEFAULT), 0u) << text;
        MenuItem item{text, info.hSubMenu ? 0 : info.wID, {}};
        if (info.hSubMenu) item.items = ReadMenu(info.hSubMenu);
        items.push_back(item);
    }
    return items;
}

const std::vector<MenuItem> kMainMenu = {
    {"Start",
     0,
     {{"ModVor", 0, {{"VORDelete", 40001, {}}, {"VORAdd", 40002, {}}, {"VORList", 40007, {}}}},
      {"ModNDB", 0, {{"NDBDelete", 40003, {}}, {"NDBAdd", 40004, {}}, {"NDBList", 40008, {}}}}}},
    {"Close", 40005, {}},
    {"Info", 40006, {}},
};

TEST_F(Resources, MainMenuHasItsCaptionsAndCommandIds) {
    HMENU menu = ::LoadMenuA(m_module, MAKEINTRESOURCEA(101));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(ReadMenu(menu), kMainMenu);
    ::DestroyMenu(menu);
}

TEST_F(MainWindow, MenuBarIsMenu101) {
    HMENU bar = ::GetMenu(m_frame);
    ASSERT_NE(bar, nullptr);
    if (::GetMenuItemCount(bar) < 0) {
        // Wine keeps a menu's items inside its process; Windows shares them.
        GTEST_SKIP() << "this system does not show another process's menu items";
    }
    EXPECT_EQ(ReadMenu(bar), kMainMenu);
}

TEST_F(Resources, MenuAndIconAreGermanAndThereIsNoStringOrAcceleratorTable) {
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    EXPECT_NE(::FindResourceExA(m_module, MAKEINTRESOURCEA(4), MAKEINTRESOURCEA(101), german),
              nullptr);  // RT_MENU
    HRSRC group = ::FindResourceExA(m_module, MAKEINTRESOURCEA(14), MAKEINTRESOURCEA(106), german);
    ASSERT_NE(group, nullptr);  // RT_GROUP_ICON
    // The group: a 6-byte header, then one 14-byte entry per image.
    const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(m_module, group)));
    ASSERT_EQ(::SizeofResource(m_module, group), 6u + 14u);
    EXPECT_EQ(bytes[4] | bytes[5] << 8, 1);    // one image
    EXPECT_EQ(bytes[6], 33);                   // width
    EXPECT_EQ(bytes[7], 36);                   // height
    EXPECT_EQ(bytes[8], 16);                   // colours
    EXPECT_EQ(bytes[12] | bytes[13] << 8, 4);  // bits per pixel

    std::vector<ULONG_PTR> types;
    ::EnumResourceTypesA(
        m_module,
        [](HMODULE, LPSTR type, LONG_PTR list) -> BOOL {
            reinterpret_cast<std::vector<ULONG_PTR>*>(list)->push_back(
                reinterpret_cast<ULONG_PTR>(type));
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&types));
    for (ULONG_PTR forbidden : {6u, 9u}) {  // RT_STRING, RT_ACCELERATOR
        EXPECT_EQ(std::find(types.begin(), types.end(), forbidden), types.end()) << forbidden;
    }
}

}  // namespace

int main(int argc, char** argv) {
    uidriver::ParseOptions(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return uidriver::WriteResult(RUN_ALL_TESTS());
}
