// The main window itself: its creation, its screen and its paint. The menu
// commands' handlers are in main_frame_commands.cpp.
#include "main_frame.h"

#include "resource.h"

namespace {

constexpr COLORREF kScreenGreen = RGB(0, 255, 0);
constexpr char kFontFace[] = "Arial Black Kursiv";
constexpr char kWindowTitle[] = "Modify QVZ, Vs. 1.0";

}  // namespace

// Start-up reads as: the application object, then FileSlots empty, then
// ScreenRect. The three live in three files (navaid_app.cpp, file_slots.cpp,
// this one), so the linker picks their order, and any order has the same
// effect: no initialiser reads another's object, and all three have run
// before the framework calls InitInstance.
RECT ScreenRect = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_PAINT()
ON_COMMAND(IDM_VOR_DELETE, OnVorDelete)
ON_COMMAND(IDM_VOR_ADD, OnVorAdd)
ON_COMMAND(IDM_VOR_LIST, OnVorList)
ON_COMMAND(IDM_NDB_DELETE, OnNdbDelete)
ON_COMMAND(IDM_NDB_ADD, OnNdbAdd)
ON_COMMAND(IDM_NDB_LIST, OnNdbList)
ON_COMMAND(IDM_CLOSE, OnCloseCommand)
ON_COMMAND(IDM_INFO, OnInfo)
END_MESSAGE_MAP()

CMainFrame::CMainFrame()
    : m_createRect{0, 0, 800, 600}, m_clientRect{}, m_clientWidth(0), m_clientHeight(0) {
    m_titleFont.CreatePointFont(200, kFontFace);
    m_textFont.CreatePointFont(140, kFontFace);
    Create(nullptr, kWindowTitle, WS_OVERLAPPEDWINDOW, m_createRect, nullptr,
           MAKEINTRESOURCEA(IDR_MAINFRAME), 0, nullptr);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::SetScreen(std::int32_t state) {
    ScreenState = state;
    InvalidateRect(nullptr, TRUE);
}

void CMainFrame::OnPaint() {
    CPaintDC dc(this);
    dc.FillSolidRect(&ScreenRect, kScreenGreen);
    GetClientRect(&m_clientRect);
    m_clientWidth = m_clientRect.right;
    m_clientHeight = m_clientRect.bottom;
    CFont* defaultFont = dc.SelectObject(&m_titleFont);
    if (ResetInvalidScreenState(ScreenState)) {
        // One plain green paint, then the start screen.
        if (defaultFont != nullptr) dc.SelectObject(defaultFont);
        InvalidateRect(nullptr, TRUE);
        return;
    }
    for (const ScreenText& line : ScreenTexts(ScreenState, m_clientWidth, m_clientHeight)) {
        CFont* font = line.font == ScreenFont::Title  ? &m_titleFont
                      : line.font == ScreenFont::Text ? &m_textFont
                                                      : defaultFont;
        if (font != nullptr) dc.SelectObject(font);
        dc.TextOut(line.x, line.y, line.text,
                   static_cast<int>(std::char_traits<char>::length(line.text)));
    }
    if (defaultFont != nullptr) dc.SelectObject(defaultFont);
}
