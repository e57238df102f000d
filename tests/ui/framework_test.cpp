// The framework layer in-process under Windows or Wine: byte strings, the
// system code page in the core, message-map dispatch, the frame window's
// class, styles and end of life, and device contexts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "afxwin.h"
#include "code_page_case.h"
#include "navaid_db.h"

namespace {

CWinApp testApp("framework test");

TEST(CStringTest, BuffersAndConcatenation) {
    CString text("Navaid");
    EXPECT_EQ(text.GetLength(), 6);
    LPSTR buffer = text.GetBuffer(20);
    lstrcpyA(buffer, "VOR");
    text.ReleaseBuffer();  // up to the first zero byte
    EXPECT_EQ(text, "VOR");
    std::memcpy(text.GetBuffer(10), "ABCDEFGHIJ", 10);
    text.ReleaseBuffer(4);
    EXPECT_EQ(text, "ABCD");

    text.ReleaseBuffer(99);  // never longer than the buffer
    EXPECT_EQ(text, "ABCD");
    EXPECT_EQ(CString("a") + "b" + CString("c"), "abc");
    EXPECT_TRUE(CString(nullptr).IsEmpty());
    EXPECT_EQ(CString("abc", 2), "ab");
    EXPECT_EQ(CString("abc", -1), "");
}

TEST(CodePageTest, TheCoreMapsCaseWithTheSystemCodePage) {
    InstallSystemCodePageCase();
    EXPECT_EQ(navaid::LowerCase("C:\\Scenery\\VOR.QVZ"), "c:\\scenery\\vor.qvz");
    EXPECT_EQ(navaid::UpperCase("vortac 1-2"), "VORTAC 1-2");
    EXPECT_EQ(navaid::LowerCase("D:\\QVZ\\NDB.QVZ.NEW"), "d:\\qvz\\ndb.qvz.new");
    if (::GetACP() == 1252) {
        EXPECT_EQ(navaid::UpperCase("m\xFCnchen \xE4\xF6"), "M\xDCNCHEN \xC4\xD6");
        EXPECT_EQ(navaid::LowerCase("\xC4\xD6\xDC"), "\xE4\xF6\xFC");
        EXPECT_FALSE(navaid::CurrentCodePageCase().IsLeadByte(0xE4));
    }
    navaid::SetCodePageCase(nullptr);
}

// A window whose handlers count their calls.
class CCountingWnd : public CFrameWnd {
public:
    int vorAdd = 0, info = 0, selChange = 0, paints = 0;
    bool* deleted = nullptr;
    ~CCountingWnd() override {
        if (deleted) *deleted = true;
    }

protected:
    afx_msg void OnVorAdd() { ++vorAdd; }
    afx_msg void OnInfo() { ++info; }
    afx_msg void OnSelChange() { ++selChange; }
    afx_msg void OnPaint() {
        ++paints;
        CPaintDC dc(this);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingWnd, CFrameWnd)
ON_WM_PAINT()
ON_COMMAND(40002, OnVorAdd)
ON_COMMAND(40006, OnInfo)
ON_CONTROL(CBN_SELCHANGE, 1004, OnSelChange)
END_MESSAGE_MAP()

// A derived map without entries of its own falls back to its base's.
class CDerivedWnd : public CCountingWnd {
protected:
    afx_msg void OnInfoOverride() { info += 100; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CCountingWnd)
ON_COMMAND(40006, OnInfoOverride)
END_MESSAGE_MAP()

// Pumps what is queued for this thread; true when it met WM_QUIT, whose code is returned.
bool PumpUntilQuit(int* exitCode) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            *exitCode = static_cast<int>(msg.wParam);
            return true;
        }
        ::DispatchMessageA(&msg);
    }
    return false;
}

TEST(MessageMapTest, CommandsReachTheirHandlersAndDerivedMapsFallBackToTheBase) {
    auto* wnd = new CDerivedWnd;
    ASSERT_TRUE(wnd->Create(nullptr, "map test", WS_OVERLAPPEDWINDOW, {0, 0, 300, 200}));
    HWND hWnd = wnd->m_hWnd;
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), wnd);

    struct Case {
        WPARAM wParam;
        LPARAM lParam;
        int vorAdd, info, selChange;
    } cases[] = {
        {MAKEWPARAM(40002, 0), 0, 1, 0, 0},                // menu command, base map
        {MAKEWPARAM(40002, 1), 0, 2, 0, 0},                // accelerator
        {MAKEWPARAM(40006, 0), 0, 2, 100, 0},              // derived entry wins
        {MAKEWPARAM(40003, 0), 0, 2, 100, 0},              // nobody maps it
        {MAKEWPARAM(1004, CBN_SELCHANGE), 1, 2, 100, 1},   // control notification
        {MAKEWPARAM(1004, CBN_DROPDOWN), 1, 2, 100, 1},    // another notification
        {MAKEWPARAM(40002, CBN_SELCHANGE), 1, 2, 100, 1},  // a control's code is no command
    };
    for (const Case& c : cases) {
        ::SendMessageA(hWnd, WM_COMMAND, c.wParam, c.lParam ? reinterpret_cast<LPARAM>(hWnd) : 0);
        EXPECT_EQ(wnd->vorAdd, c.vorAdd) << LOWORD(c.wParam);
        EXPECT_EQ(wnd->info, c.info) << LOWORD(c.wParam);
        EXPECT_EQ(wnd->selChange, c.selChange) << LOWORD(c.wParam);
    }
    wnd->ShowWindow(SW_SHOW);
    ::UpdateWindow(hWnd);
    EXPECT_GE(wnd->paints, 1);
    EXPECT_TRUE(wnd->DestroyWindow());
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(FrameWndTest, DefaultClassStylesAndClientEdge) {
    auto* frame = new CCountingWnd;
    ASSERT_TRUE(frame->Create(nullptr, "class test", WS_OVERLAPPEDWINDOW, {10, 20, 410, 320}));
    HWND hWnd = frame->m_hWnd;
    EXPECT_EQ(::GetClassLongPtrA(hWnd, GCL_STYLE), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
    EXPECT_EQ(::GetClassLongPtrA(hWnd, GCLP_HBRBACKGROUND), COLOR_WINDOW + 1);
    EXPECT_EQ(reinterpret_cast<HICON>(::GetClassLongPtrA(hWnd, GCLP_HICON)),
              ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_NE(::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_EQ(::GetMenu(hWnd), nullptr);
    frame->DestroyWindow();
    // A menu that is not among the resources fails the creation.
    auto* noMenu = new CCountingWnd;
    EXPECT_FALSE(noMenu->Create(nullptr, "no menu", WS_OVERLAPPEDWINDOW, {0, 0, 100, 100}, nullptr,
                                MAKEINTRESOURCEA(999)));
    EXPECT_EQ(noMenu->m_hWnd, nullptr);
    delete noMenu;
}

TEST(FrameWndTest, DestroyingTheMainWindowDeletesItAndEndsTheLoopWithCodeZero) {
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {{"DestroyWindow", 0, 0},
                {"WM_CLOSE", WM_CLOSE, 0},
                {"the close box", WM_SYSCOMMAND, SC_CLOSE}};
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        bool deleted = false;
        auto* frame = new CCountingWnd;
        frame->deleted = &deleted;
        ASSERT_TRUE(frame->Create(nullptr, "main", WS_OVERLAPPEDWINDOW, {0, 0, 200, 100}));
        frame->ShowWindow(SW_SHOW);
        AfxGetApp()->m_pMainWnd = frame;
        HWND hWnd = frame->m_hWnd;
        if (way.message == 0) {
            frame->DestroyWindow();
        } else {
            ::SendMessageA(hWnd, way.message, way.wParam, 0);
        }
        EXPECT_TRUE(deleted);
        EXPECT_FALSE(::IsWindow(hWnd));
        EXPECT_EQ(AfxGetApp()->m_pMainWnd, nullptr);
        int code = -1;
        EXPECT_TRUE(PumpUntilQuit(&code));
        EXPECT_EQ(code, 0);
    }
}

TEST(FrameWndTest, DestroyingAnotherWindowLeavesTheLoopRunning) {
    bool deleted = false;
    auto* frame = new CCountingWnd;
    frame->deleted = &deleted;
    ASSERT_TRUE(frame->Create(nullptr, "other", WS_OVERLAPPEDWINDOW, {0, 0, 200, 100}));
    AfxGetApp()->m_pMainWnd = nullptr;
    frame->DestroyWindow();
    EXPECT_TRUE(deleted);
    int code = -1;
    EXPECT_FALSE(PumpUntilQuit(&code));
}

TEST(DeviceContextTest, SelectObjectReturnsTheFontItReplaces) {
    HDC screen = ::GetDC(nullptr);
    CDC dc;
    dc.m_hDC = ::CreateCompatibleDC(screen);
    HGDIOBJ own = ::GetCurrentObject(dc.m_hDC, OBJ_FONT);
    CFont title, text;
    ASSERT_TRUE(title.CreatePointFont(200, "Arial"));
    ASSERT_TRUE(text.CreatePointFont(140, "Arial"));
    CFont* original = dc.SelectObject(&title);
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(original->m_hObject, own);
    EXPECT_EQ(dc.SelectObject(&text), &title);
    EXPECT_EQ(dc.SelectObject(original), &text);
    EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_FONT), own);

    const RECT area = {0, 0, 4, 4};
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 4, 4);
    HGDIOBJ oldBitmap = ::SelectObject(dc.m_hDC, bitmap);
    dc.FillSolidRect(&area, RGB(0, 255, 0));
    EXPECT_EQ(::GetPixel(dc.m_hDC, 3, 3), RGB(0, 255, 0));
    EXPECT_EQ(::GetBkColor(dc.m_hDC), RGB(0, 255, 0));
    ::SelectObject(dc.m_hDC, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc.m_hDC);
    dc.m_hDC = nullptr;
    ::ReleaseDC(nullptr, screen);
    // The wrapper of the DC's own font goes with the DC without deleting it.
}

}  // namespace
