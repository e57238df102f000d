// navaidedit.exe under Wine, driven as a user drives it: the main window, its
// menu, the Info box and every way out. The command flows are in ui_flows_test.cpp.
#include "ui_test.h"

namespace uidriver {
namespace {

// The menu as text: captions, "=" and the command ID, pop-ups in braces.
std::string MenuText(HMENU menu) {
    std::string text;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char caption[128] = {};
        GetMenuStringA(menu, i, caption, sizeof caption, MF_BYPOSITION);
        HMENU popup = GetSubMenu(menu, i);
        text.append(caption).append(popup ? "{" : "=");
        text.append(popup ? MenuText(popup) + "} " : std::to_string(GetMenuItemID(menu, i)) + " ");
    }
    return text;
}

TEST_F(Ui, MainWindowMenuStartScreenAndInfo) {
    HWND main = m_app->Main();
    RECT rect, expected = {0, 0, 800, 600};
    GetWindowRect(main, &rect);
    EXPECT_TRUE(EqualRect(&rect, &expected)) << "not 800x600 in the top left corner";
    EXPECT_EQ(GetClassLongPtrA(main, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_NE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetMenu(main), nullptr) << "the frame has no menu bar";
    // Read from the program file: Wine does not show another process's menu items.
    HMODULE exe = LoadLibraryExA(kExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(IDR_MAINFRAME));
    EXPECT_EQ(MenuText(menu),
              "Start{ModVor{VORDelete=40001 VORAdd=40002 VORList=40007 } "
              "ModNDB{NDBDelete=40003 NDBAdd=40004 NDBList=40008 } } Close=40005 Info=40006 ");
    DestroyMenu(menu);
    FreeLibrary(exe);

    ExpectScreen(ScreenIntro);
    const Capture client = m_app->ClientPixels();
    EXPECT_GT(std::count(client.pixels.begin(), client.pixels.end(), 0x00FF00u),
              std::ssize(client.pixels) * 9 / 10)
        << "the screen is not green";
    Shot("screen-intro");

    m_app->Command(IDM_INFO);
    HWND box = m_app->WaitDialog(kAppName);
    ASSERT_NE(box, nullptr) << "no Info box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    EXPECT_FALSE(IsWindowEnabled(main)) << "the Info box is not modal";
    EXPECT_EQ(ChildText(box, "Button"), "OK");
    ExpectMessage({kCreditLine}, "info");
    ExpectScreen(ScreenIntro);
}

TEST_F(Ui, EveryWayToEndTheProgramEndsItWithCodeZero) {
    // Close on the menu bar, the caption's close box, Alt+F4, Close with the Info box open.
    const std::pair<UINT, WPARAM> ways[] = {
        {WM_COMMAND, IDM_CLOSE}, {WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}, {WM_COMMAND, IDM_CLOSE}};
    for (int way = 0; way < 4; ++way) {
        if (way > 0) m_app = std::make_unique<App>(kExe, m_cwd);
        if (way == 3) m_app->Command(IDM_INFO);
        ASSERT_TRUE(way < 3 || m_app->WaitDialog(kAppName) != nullptr);
        PostMessageA(m_app->Main(), ways[way].first, ways[way].second, 0);
        DWORD code = 12345;
        ASSERT_TRUE(m_app->WaitExit(&code)) << "the program did not end, way " << way;
        EXPECT_EQ(code, 0u) << "way " << way;
    }
    m_app.reset();
}

}  // namespace
}  // namespace uidriver

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    uidriver::UseTestDesktop();
    return RUN_ALL_TESTS();
}
