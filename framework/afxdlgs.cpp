#include "afxdlgs.h"

#include <algorithm>
#include <exception>

// ---------------------------------------------------------------------------
// Modal dialogs

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

INT_PTR CDialog::DoModal() {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    // DialogBoxParam disables the owner and runs the dialog's own message
    // loop, which also dispatches the owner's paints:
    // https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-dialogboxparama
    const INT_PTR result = ::DialogBoxParamA(
        AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate), owner ? owner->m_hWnd : nullptr,
        &CDialog::AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (m_hWnd != nullptr) Detach();
    return result;
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::UpdateData(BOOL) { return TRUE; }

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

INT_PTR CALLBACK CDialog::AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* pDlg = nullptr;
    if (message == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        pDlg->Attach(hWnd);
    } else {
        pDlg = static_cast<CDialog*>(FromHandlePermanent(hWnd));
    }
    if (pDlg == nullptr) return FALSE;
    try {
        return pDlg->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        AfxMessageBox(error.what(), MB_OK | MB_ICONSTOP);
    } catch (...) {
        AfxMessageBox("An unexpected error stopped the command.", MB_OK | MB_ICONSTOP);
    }
    // Whatever the handler had done is not to be trusted: end as cancelled.
    ::EndDialog(hWnd, IDCANCEL);
    return TRUE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            const BOOL setFocus = OnInitDialog();
            CenterOverOwner();
            return setFocus;
        }
        case WM_COMMAND:
            // Unhandled commands (FALSE) go on to the dialog manager's defaults:
            // https://learn.microsoft.com/en-us/windows/win32/api/winuser/nc-winuser-dlgproc
            return OnCommand(wParam, lParam);
        default:
            return FALSE;
    }
}

void CDialog::CenterOverOwner() {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    RECT dialog;
    RECT area;
    ::GetWindowRect(m_hWnd, &dialog);
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT over = area;
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &over);
    }
    const LONG width = dialog.right - dialog.left;
    const LONG height = dialog.bottom - dialog.top;
    LONG x = (over.left + over.right) / 2 - width / 2;
    LONG y = (over.top + over.bottom) / 2 - height / 2;
    // Keep the whole dialog, caption first, on the work area.
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------
// The common file dialog

namespace {
// Long enough for any path the file system takes, not just MAX_PATH.
constexpr size_t kFileNameCapacity = 32768;
}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName,
                         DWORD dwFlags, LPCSTR lpszFilter, CWnd* pParentWnd)
    : CDialog(0, pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
    if (lpszFilter != nullptr) {
        m_filter = lpszFilter;
        std::replace(m_filter.begin(), m_filter.end(), '|', '\0');
    }
    if (lpszDefExt != nullptr) m_defaultExt = lpszDefExt;
    m_fileName.assign(kFileNameCapacity, '\0');
    if (lpszFileName != nullptr) m_fileName.replace(0, 0, lpszFileName);
    m_fileName.resize(kFileNameCapacity);
    m_fileName.back() = '\0';

    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.nFilterIndex = 1;
}

INT_PTR CFileDialog::DoModal() {
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = owner ? owner->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrDefExt = m_defaultExt.empty() ? nullptr : m_defaultExt.c_str();
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_fileName.c_str()); }

// ---------------------------------------------------------------------------
// List boxes

void CListBox::GetText(int nIndex, CString& rString) const {
    const int length = GetTextLen(nIndex);
    if (length == LB_ERR) {
        rString.Empty();
        return;
    }
    LPSTR buffer = rString.GetBuffer(length + 1);
    const LRESULT copied =
        ::SendMessageA(m_hWnd, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(buffer));
    rString.ReleaseBuffer(copied == LB_ERR ? 0 : static_cast<int>(copied));
}
