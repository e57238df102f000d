// The main window as a user meets it: its place, title and menu, the green
// start screen, the Info box, and every way to end the program.
#include <algorithm>

#include "ui_fixture.h"

namespace uidriver {
namespace {

using MainWindow = UiTest;

TEST_F(MainWindow, OpensAt800x600InTheTopLeftCornerWithItsTitle) {
    HWND frame = m_app->MainWindow();
    RECT rect;
    ASSERT_TRUE(GetWindowRect(frame, &rect));
    EXPECT_EQ((std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom}),
              (std::vector<LONG>{0, 0, 800, 600}));
    EXPECT_EQ(WindowText(frame), kMainTitle);
    EXPECT_NE(GetMenu(frame), nullptr) << "the frame has no menu bar";
}

struct MenuItem {
    std::string text;
    UINT id;  // 0 for a pop-up
    std::vector<MenuItem> items;
    bool operator==(const MenuItem&) const = default;
};

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
        items.push_back({text, info.hSubMenu ? 0 : info.wID,
                         info.hSubMenu ? ReadMenu(info.hSubMenu) : std::vector<MenuItem>{}});
    }
    return items;
}

// Read from the program file: Wine does not show another process's menu items.
TEST(Menu, HasItsCaptionsAndCommandIds) {
    HMODULE exe =
        LoadLibraryExA(WindowsPath(NAVAIDEDIT_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(101));
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuItem> expected = {
        {"Start",
         0,
         {{"ModVor", 0, {{"VORDelete", 40001, {}}, {"VORAdd", 40002, {}}, {"VORList", 40007, {}}}},
          {"ModNDB",
           0,
           {{"NDBDelete", 40003, {}}, {"NDBAdd", 40004, {}}, {"NDBList", 40008, {}}}}}},
        {"Close", 40005, {}},
        {"Info", 40006, {}}};
    EXPECT_EQ(ReadMenu(menu), expected);
    DestroyMenu(menu);
    FreeLibrary(exe);
}

TEST_F(MainWindow, StartScreenIsGreenWithTheTitleAndTheUsageNote) {
    // The texts and their places: nothing else is dark on the screen.
    ExpectScreen(kIntro);
    const Capture shot = m_app->ClientPixels();
    const auto green = std::count(shot.pixels.begin(), shot.pixels.end(), 0x00FF00u);
    EXPECT_GT(green, static_cast<long>(shot.pixels.size() * 9 / 10));
    Shot("screen-intro");
}

TEST_F(MainWindow, InfoShowsTheCreditBoxAndLeavesTheScreenAsItWas) {
    ExpectScreen(kIntro);
    m_app->Command(kInfoCommand);
    HWND box = m_app->WaitMessageBox();
    ASSERT_NE(box, nullptr) << "no Info box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), m_app->MainWindow());
    EXPECT_NE(ChildText(box).find("navaidedit: QVZ navaid editor"), std::string::npos);
    EXPECT_EQ(ChildText(box, "Button"), "OK");
    EXPECT_FALSE(IsWindowEnabled(m_app->MainWindow())) << "the box is not modal";
    Shot("info");
    m_app->Click(box, IDOK);
    ASSERT_TRUE(m_app->WaitGone(box));
    ExpectScreen(kIntro);
}

TEST_F(MainWindow, EveryWayToEndTheProgramEndsItWithCodeZero) {
    const struct {
        const char* name;
        bool infoOpen;
        UINT message;
        WPARAM wParam;
    } ways[] = {
        {"Close on the menu bar", false, WM_COMMAND, kCloseCommand},
        {"the caption's close box", false, WM_SYSCOMMAND, SC_CLOSE},
        {"Alt+F4", false, WM_CLOSE, 0},
        {"Close with the Info box open", true, WM_COMMAND, kCloseCommand},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        if (!m_app) m_app = std::make_unique<App>(ExePath(), m_cwd);
        if (way.infoOpen) {
            m_app->Command(kInfoCommand);
            ASSERT_NE(m_app->WaitMessageBox(), nullptr);
        }
        PostMessageA(m_app->MainWindow(), way.message, way.wParam, 0);
        DWORD code = 12345;
        ASSERT_TRUE(m_app->WaitExit(&code)) << "the program did not end";
        EXPECT_EQ(code, 0u);
        m_app.reset();
    }
}

}  // namespace
}  // namespace uidriver
