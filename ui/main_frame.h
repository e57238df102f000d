// The program's one window: an 800 x 600 frame with the main menu, painting
// the current status screen on green.
#pragma once

#include "afxwin.h"
#include "status_screens.h"

// The process-wide rectangle from (0, 0) to the primary display's size,
// filled green at every paint. Computed once during static initialisation
// (main_frame.cpp) and never updated.
extern RECT ScreenRect;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    ~CMainFrame() override;

    // Shows another status screen: assigns ScreenState and invalidates the
    // whole client area with erase. The command flows change screens this way.
    void SetScreen(std::int32_t state);

protected:
    RECT m_createRect;
    RECT m_clientRect;
    CFont m_textFont;
    CFont m_titleFont;
    std::int32_t m_clientWidth;
    std::int32_t m_clientHeight;

    // Called when the window needs painting: draws the screen ScreenState names.
    afx_msg void OnPaint();

    // The menu commands, defined in main_frame_commands.cpp.
    // Called when the user picks Start > ModVor > VORDelete.
    afx_msg void OnVorDelete();
    // Called when the user picks Start > ModVor > VORAdd.
    afx_msg void OnVorAdd();
    // Called when the user picks Start > ModVor > VORList.
    afx_msg void OnVorList();
    // Called when the user picks Start > ModNDB > NDBDelete.
    afx_msg void OnNdbDelete();
    // Called when the user picks Start > ModNDB > NDBAdd.
    afx_msg void OnNdbAdd();
    // Called when the user picks Start > ModNDB > NDBList.
    afx_msg void OnNdbList();
    // Called when the user picks Close on the menu bar: ends without asking.
    afx_msg void OnCloseCommand();
    // Called when the user picks Info on the menu bar: shows the credit box.
    afx_msg void OnInfo();

    DECLARE_MESSAGE_MAP()
};
