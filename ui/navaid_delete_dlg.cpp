#include "navaid_delete_dlg.h"

#include <string>
#include <vector>

#include "file_slots.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CNavaidDeleteDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CNavaidDeleteDlg::CNavaidDeleteDlg(UINT nIDTemplate, navaid::Family family)
    : CDialog(nIDTemplate), m_family(family) {}

BOOL CNavaidDeleteDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    std::vector<std::string> labels;
    m_outcome = navaid::ListRecordLabels(FileSlots[m_family].sourcePath,
                                         navaid::RecordSize(m_family), labels);
    if (!m_outcome) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    // CB_INSERTSTRING does not sort, even in a sorted list, so inserting at
    // position k keeps file order and entry k is record k:
    // https://learn.microsoft.com/en-us/windows/win32/controls/cb-insertstring
    CWnd* list = GetDlgItem(IDC_NAVAID_LIST);
    // Without redrawing after each entry, a list of 20,000 entries fills in
    // a tenth of the time.
    list->SendMessage(WM_SETREDRAW, FALSE);
    list->SendMessage(CB_INITSTORAGE, labels.size(), labels.size() * (navaid::kLabelSize + 1));
    for (std::size_t k = 0; k < labels.size(); ++k) {
        list->SendMessage(CB_INSERTSTRING, k, reinterpret_cast<LPARAM>(labels[k].c_str()));
    }
    list->SendMessage(WM_SETREDRAW, TRUE);
    return TRUE;
}

void CNavaidDeleteDlg::OnOK() {
    // Nothing picked (an empty list, or Enter at once): nothing to delete.
    const int index = static_cast<int>(GetDlgItem(IDC_NAVAID_LIST)->SendMessage(CB_GETCURSEL));
    if (index < 0) {
        OnCancel();
        return;
    }
    CDialog::OnOK();
    const FamilySlots& slots = FileSlots[m_family];
    m_outcome = navaid::DeleteNavaid(slots.sourcePath, slots.workingCopyPath,
                                     navaid::RecordSize(m_family), index);
    EndDialog(m_outcome ? IDOK : IDCANCEL);
}
