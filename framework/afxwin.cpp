// The framework's windows: message maps, CWnd and its window procedure, and
// the frame window. Device contexts are in afxgdi.cpp, the application in afxapp.cpp.
#include "afxwin.h"

#include <exception>
#include <unordered_map>
#include <utility>

namespace {

// Windows handled by framework objects, and the object that the next window
// created on this thread belongs to. There is one user-interface thread.
std::unordered_map<HWND, CWnd*>& PermanentMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}
CWnd* g_pWndInit = nullptr;
// The object whose CreateEx is running: if its window dies while being made,
// the object stays for CreateEx's caller, which learns of the failure.
CWnd* g_pWndCreating = nullptr;

constexpr char kFrameClassName[] = "NavaidEditFrame";

}  // namespace

// ---------------------------------------------------------------------------
// Message maps

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchMessageMap(UINT message, UINT code, UINT id) {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage != message) continue;
            if (message == WM_COMMAND && (entry->nCode != code || entry->nID != id)) continue;
            (this->*entry->pfn)();
            return TRUE;
        }
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Windows

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, AfxSig_end, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

CWnd::~CWnd() {
    if (m_hWnd != nullptr) Detach();
    for (CWnd& control : m_controls) control.m_hWnd = nullptr;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto found = PermanentMap().find(hWnd);
    return found == PermanentMap().end() ? nullptr : found->second;
}

BOOL CWnd::Attach(HWND hWndNew) {
    if (hWndNew == nullptr || m_hWnd != nullptr) return FALSE;
    m_hWnd = hWndNew;
    PermanentMap()[hWndNew] = this;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND hWnd = m_hWnd;
    auto found = PermanentMap().find(hWnd);
    if (found != PermanentMap().end() && found->second == this) PermanentMap().erase(found);
    m_hWnd = nullptr;
    return hWnd;
}

void CWnd::AfxHookWindowCreate(CWnd* pWnd) { g_pWndInit = pWnd; }

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    // A failed creation never deletes the object, not even a self-deleting
    // frame: its creator still holds the pointer and deletes it.
    if (!PreCreateWindow(cs)) return FALSE;
    AfxHookWindowCreate(this);
    CWnd* const outer = std::exchange(g_pWndCreating, this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                  static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    g_pWndCreating = outer;
    g_pWndInit = nullptr;
    if (hWnd == nullptr) {
        // A menu passed in is only owned by a window that was made.
        if (cs.hMenu != nullptr && (cs.style & WS_CHILD) == 0) ::DestroyMenu(cs.hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) { return TRUE; }

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

void CWnd::GetWindowText(CString& rString) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    // The length may be an over-estimate (double-byte text); the copy says how much came:
    // https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-getwindowtextlengtha
    const int copied = ::GetWindowTextA(m_hWnd, rString.GetBuffer(length + 1), length + 1);
    rString.ReleaseBuffer(copied);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    HWND hControl = ::GetDlgItem(m_hWnd, nID);
    if (hControl == nullptr) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hControl)) return permanent;
    for (CWnd& control : m_controls) {
        if (control.m_hWnd == hControl) return &control;
    }
    m_controls.emplace_back();
    m_controls.back().m_hWnd = hControl;
    return &m_controls.back();
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
    CWinApp* app = AfxGetApp();
    if (lpszCaption == nullptr && app != nullptr) lpszCaption = app->m_pszAppName;
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr && g_pWndInit != nullptr) {
        pWnd = g_pWndInit;
        g_pWndInit = nullptr;
        pWnd->Attach(hWnd);
    }
    if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    try {
        return pWnd->WindowProc(message, wParam, lParam);
    } catch (const std::exception& error) {
        AfxMessageBox(error.what(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox("An unexpected error stopped the command.", MB_OK | MB_ICONSTOP);
    }
    return 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY) {
        const LRESULT result = DefWindowProc(message, wParam, lParam);
        OnNcDestroy();  // may delete this object
        return result;
    }
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    *pResult = 0;
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    return DispatchMessageMap(message, 0, 0);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    // Menus and accelerators carry no control handle; their code counts as 0
    // (an accelerator's is 1): https://learn.microsoft.com/en-us/windows/win32/menurc/wm-command
    const UINT code = lParam != 0 ? HIWORD(wParam) : 0;
    return DispatchMessageMap(WM_COMMAND, code, LOWORD(wParam));
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

void CWnd::OnNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Detach();
    if (this != g_pWndCreating) PostNcDestroy();
}

// ---------------------------------------------------------------------------
// Frame windows

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CFrameWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                       CWnd* pParentWnd, LPCSTR lpszMenuName, DWORD dwExStyle, CCreateContext*) {
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr) {
        hMenu = ::LoadMenuA(AfxGetInstanceHandle(), lpszMenuName);
        if (hMenu == nullptr) return FALSE;
    }
    const bool useDefault = rect.left == CW_USEDEFAULT;
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    useDefault ? CW_USEDEFAULT : rect.right - rect.left,
                    useDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, hMenu);
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.lpszClass == nullptr) {
        WNDCLASSA wc{};
        if (!::GetClassInfoA(AfxGetInstanceHandle(), kFrameClassName, &wc)) {
            wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
            wc.lpfnWndProc = &CWnd::AfxWndProc;
            wc.hInstance = AfxGetInstanceHandle();
            wc.hIcon = ::LoadIconA(nullptr, MAKEINTRESOURCEA(32512));      // IDI_APPLICATION
            wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
            wc.lpszClassName = kFrameClassName;
            if (!::RegisterClassA(&wc)) return FALSE;
        }
        cs.lpszClass = kFrameClassName;
    }
    // Bordered frames get the sunken client edge of the Windows 4.0 look.
    if (cs.style & WS_BORDER) cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

void CFrameWnd::PostNcDestroy() { delete this; }

void CFrameWnd::OnClose() { DestroyWindow(); }
