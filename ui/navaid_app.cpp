#include "navaid_app.h"

#include "code_page_case.h"
#include "main_frame.h"

// The one application object; constructing it registers it with the framework,
// whose entry point then calls InitInstance.
CNavaidApp theApp;

BOOL CNavaidApp::InitInstance() {
    // Before anything reaches the core: the window and every flow come later.
    InstallSystemCodePageCase();
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
