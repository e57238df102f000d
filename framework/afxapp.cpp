// The framework's application object, its message loop, and the message box
// that the application's main window owns.
#include "afxwin.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp(LPCSTR lpszAppName) : m_pszAppName(lpszAppName) { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        // Zero for WM_QUIT, -1 for an error:
        // https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getmessage
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) break;
        if (got == -1) {
            ExitInstance();
            return 1;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT) {
    if ((nType & MB_ICONMASK) == 0) nType |= MB_ICONEXCLAMATION;
    CWnd* owner = AfxGetMainWnd();
    LPCSTR caption = g_app && g_app->m_pszAppName ? g_app->m_pszAppName : nullptr;
    return ::MessageBoxA(owner ? owner->m_hWnd : nullptr, lpszText, caption, nType);
}
