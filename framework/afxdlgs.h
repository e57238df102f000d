// The framework's dialogs: modal dialogs from templates, the Open file dialog,
// and the list-box wrapper the dialogs read their selections with.
#pragma once

#include <windows.h>

#include <string>

#include "afxwin.h"

class CDialog : public CWnd {
public:
    // With no parent given, the application's main window owns the dialog.
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog; returns the value passed to EndDialog, or -1 when the
    // template could not be loaded.
    virtual INT_PTR DoModal();
    // Marks the dialog to end with nResult. The window and its controls stay
    // until the running handler has returned:
    // https://learn.microsoft.com/en-us/windows/win32/api/winuser/nf-winuser-enddialog
    void EndDialog(int nResult);
    // No dialog declares data exchange, so saving always succeeds.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    // Called when the controls exist, before the dialog shows (WM_INITDIALOG).
    // TRUE lets the dialog manager focus the first control:
    // https://learn.microsoft.com/en-us/windows/win32/dlgbox/wm-initdialog
    virtual BOOL OnInitDialog();

protected:
    // Called when the user presses OK or Enter: UpdateData, then EndDialog(IDOK).
    virtual void OnOK();
    // Called when the user cancels: the Cancel button, Esc or the close box.
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOverOwner();
};

// The common Open (or Save As) dialog. The filter takes the framework's form,
// "Description|pattern|...||".
class CFileDialog : public CDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr,
                         LPCSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);

    // IDOK when a name was chosen, IDCANCEL when the user cancelled or the
    // dialog failed.
    INT_PTR DoModal() override;
    CString GetPathName() const;

    OPENFILENAMEA m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    std::string m_filter;  // descriptions and patterns separated by zero bytes
    std::string m_defaultExt;
    std::string m_fileName;  // the buffer the dialog writes the chosen name into
};

class CListBox : public CWnd {
public:
    int GetCurSel() const { return static_cast<int>(::SendMessageA(m_hWnd, LB_GETCURSEL, 0, 0)); }
    int GetTextLen(int nIndex) const {
        return static_cast<int>(::SendMessageA(m_hWnd, LB_GETTEXTLEN, nIndex, 0));
    }
    // The entry's text; empty when nIndex names no entry.
    void GetText(int nIndex, CString& rString) const;
};
