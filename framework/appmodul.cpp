// The program's entry point, the framework's and not the application's: it
// hands control to the one CWinApp object that static initialisation made.
#include <string>

#include "afxwin.h"
#include "module_name.h"

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return 1;
    app->m_hInstance = hInstance;
    if (app->m_pszAppName == nullptr) {
        // No string table names the application: take the program file's name.
        char path[MAX_PATH] = {};
        const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        app->m_appName = AppNameFromModulePath(std::string(path, length)).c_str();
        app->m_pszAppName = app->m_appName;
    }
    if (!app->InitInstance()) {
        // A window made before the failure must not outlive the program's start.
        if (app->m_pMainWnd != nullptr) app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
        return 1;  // a failed start is no success
    }
    return app->Run();
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
