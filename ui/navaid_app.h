// The application object: creates the main window at start-up.
#pragma once

#include "afxwin.h"

class CNavaidApp : public CWinApp {
public:
    CNavaidApp() = default;
    ~CNavaidApp() override = default;

    BOOL InitInstance() override;
};

extern CNavaidApp theApp;
