// The application object: plugs the system's code page into the core and
// creates the main window at start-up.
#pragma once

#include "afxwin.h"

class CNavaidApp : public CWinApp {
public:
    CNavaidApp() = default;
    ~CNavaidApp() override = default;

    // Called when the program starts, after static initialisation.
    // Makes the core map case as this system does, then shows the main window.
    BOOL InitInstance() override;
};

extern CNavaidApp theApp;
