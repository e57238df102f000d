#include "navaid_app.h"

#include "main_frame.h"

// Static initialisation order within this file: the application object, then
// ScreenRect. FileSlots holds only empty strings and is constant-initialised,
// so it is empty before either.
CNavaidApp theApp;

RECT ScreenRect = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};

BOOL CNavaidApp::InitInstance() {
    auto* frame = new CMainFrame;
    if (frame->m_hWnd == nullptr) {
        // Without a window the message loop would wait forever for its end.
        delete frame;
        AfxMessageBox("The main window could not be created.", MB_OK | MB_ICONSTOP);
        return FALSE;
    }
    m_pMainWnd = frame;
    m_pMainWnd->ShowWindow(SW_SHOW);
    return TRUE;
}
