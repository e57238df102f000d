// The framework's window classes over Win32: application, windows, frame
// window, fonts, device contexts, message maps and the message box.
#pragma once

#include <windows.h>

#include <list>

#include "afx.h"

#define afx_msg

class CWnd;
class CWinApp;

// ---------------------------------------------------------------------------
// Message maps: static tables that bind messages and command IDs to handlers.

class CCmdTarget;
using AFX_PMSG = void (CCmdTarget::*)();

enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_vv,  // void handler()
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_PAINT, WM_COMMAND, ...
    UINT nCode;     // for WM_COMMAND: the notification code (0 for menus and clicks)
    UINT nID;       // for WM_COMMAND: the command or control ID
    UINT nSig;
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                         \
protected:                                            \
    static const AFX_MSGMAP* GetThisMessageMap();     \
    const AFX_MSGMAP* GetMessageMap() const override; \
                                                      \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                 \
        using ThisClass = theClass;                                                   \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    { 0, 0, 0, AfxSig_end, nullptr }                                                              \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_MSG_ENTRY(message, code, id, memberFxn) \
    {message, code, id, AfxSig_vv,                  \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(&ThisClass::memberFxn))},

// A command from a menu, an accelerator or a button click.
#define ON_COMMAND(id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, 0, id, memberFxn)
// A control's notification, e.g. ON_CONTROL(CBN_SELCHANGE, IDC_LIST, OnSelChange).
#define ON_CONTROL(code, id, memberFxn) AFX_MSG_ENTRY(WM_COMMAND, code, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, 0, 0, OnPaint)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, 0, 0, OnClose)

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

protected:
    // The root of every message map: it binds nothing.
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Calls the handler that this object's map (or a base map) binds to the
    // message and, for WM_COMMAND, to the code and ID. False when none does.
    BOOL DispatchMessageMap(UINT message, UINT code, UINT id);
};

// ---------------------------------------------------------------------------
// GDI objects and device contexts.

class CGdiObject {
public:
    HGDIOBJ m_hObject = nullptr;

    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() { DeleteObject(); }

    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();
};

class CDC;

class CFont : public CGdiObject {
public:
    // nPointSize is in tenths of a point; the height follows the resolution
    // of pDC, or of the screen when pDC is null.
    BOOL CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC = nullptr);
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
};

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    // Sets the background colour to clr and fills the rectangle with it.
    void FillSolidRect(LPCRECT lpRect, COLORREF clr);
    // Selects the font and returns the one it replaces: the program's own
    // CFont, or for a font the program did not create a wrapper that lives as
    // long as this DC.
    CFont* SelectObject(CFont* pFont);
    BOOL TextOut(int x, int y, LPCSTR lpszString, int nCount);

private:
    std::list<CFont> m_foreignFonts;
};

// Begins painting a window's invalid region on construction and ends it on
// destruction.
class CPaintDC : public CDC {
public:
    PAINTSTRUCT m_ps{};

    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

private:
    HWND m_hWnd;
};

// ---------------------------------------------------------------------------
// Windows.

struct CCreateContext;

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    // The object permanently attached to a window handle, or null.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Binds this object to an existing window handle (e.g. a dialog's, at
    // WM_INITDIALOG), so that the handle's messages reach its message map.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                  LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) {
        ::InvalidateRect(m_hWnd, lpRect, bErase);
    }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void GetWindowText(CString& rString) const;
    // A child control as a wrapper that lives as long as this window object.
    CWnd* GetDlgItem(int nID) const;
    // A modal message box owned by this window; no caption means the
    // application's name.
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    // The window procedure of every framework window: finds the object and
    // calls its WindowProc. An exception is shown in a message box.
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Makes the next window created on this thread attach to pWnd.
    static void AfxHookWindowCreate(CWnd* pWnd);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Runs the message map; false when no entry handles the message.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    // Called when the window has had its last message; may delete the object.
    virtual void PostNcDestroy() {}

    // Called when the window is destroyed (WM_NCDESTROY, its last message).
    // After the default processing it ends the message loop if this is the
    // main window, detaches and calls PostNcDestroy.
    afx_msg void OnNcDestroy();

    DECLARE_MESSAGE_MAP()

private:
    mutable std::list<CWnd> m_controls;
};

class CFrameWnd : public CWnd {
public:
    static const RECT rectDefault;

    CFrameWnd() = default;

    // lpszClassName null uses the framework's frame-window class;
    // lpszMenuName names a menu resource, e.g. MAKEINTRESOURCE(101).
    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr,
                LPCSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);

protected:
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void PostNcDestroy() override;

    // Called when the user closes the window: close box, system menu, Alt+F4.
    afx_msg void OnClose();

    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
// The application.

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;  // the program file's name without extension by default
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop; returns the exit code that WM_QUIT carries.
    virtual int Run();
    virtual int ExitInstance();

private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    CString m_appName;
};

// The body of the program's entry point: names the application, runs
// InitInstance and then the message loop.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// A modal message box owned by the main window, captioned with the
// application's name; MB_ICONEXCLAMATION is added when nType has no icon.
int AfxMessageBox(LPCSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
