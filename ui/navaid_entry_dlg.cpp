#include "navaid_entry_dlg.h"

#include <string>
#include <vector>

#include "entry_types.h"
#include "file_slots.h"
#include "resource.h"

namespace {

// What tells the two families' entry dialogs apart.
struct EntryForm {
    const std::vector<const char*>& typeNames;
    const char* kind;  // the NavaidKind marker
    bool hasAltitude;
};

const EntryForm& EntryFormOf(navaid::Family family) {
    static const EntryForm vor{EntryTypeNames(navaid::Family::Vor), "V", true};
    static const EntryForm ndb{EntryTypeNames(navaid::Family::Ndb), "N", false};
    return family == navaid::Family::Vor ? vor : ndb;
}

// Longer input than the record's fields hold could not be stored.
constexpr int kIdLimit = navaid::RecordLayout::kIdSize;
constexpr int kNameLimit = navaid::RecordLayout::kNameSize;

constexpr char kChooseTypeText[] =
    "Please choose the navaid's type from the Type list, then press OK.";

// The type list's selected entry, or false (after telling the user) when
// none is selected: a navaid without a type cannot be stored.
bool ReadSelectedType(CDialog& dlg, CString& type) {
    CListBox typeList;
    typeList.Attach(dlg.GetDlgItem(IDC_TYPE_LIST)->m_hWnd);
    const int selected = typeList.GetCurSel();
    if (selected != LB_ERR) typeList.GetText(selected, type);
    typeList.Detach();
    if (selected != LB_ERR) return true;
    // Owned by the dialog, which stays open with everything typed so far.
    dlg.MessageBox(kChooseTypeText, AfxGetApp()->m_pszAppName, MB_OK | MB_ICONEXCLAMATION);
    // WM_NEXTDLGCTL rather than SetFocus, so the dialog manager also updates
    // the default button: https://learn.microsoft.com/en-us/windows/win32/dlgbox/wm-nextdlgctl
    dlg.SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.GetDlgItem(IDC_TYPE_LIST)->m_hWnd),
                    TRUE);
    return false;
}

void ReadField(CDialog& dlg, int id, CString& member) { dlg.GetDlgItem(id)->GetWindowText(member); }

float RealField(CDialog& dlg, int id, CString& member) {
    ReadField(dlg, id, member);
    return navaid::ParseDialogReal(static_cast<LPCSTR>(member));
}

}  // namespace

BEGIN_MESSAGE_MAP(CNavaidEntryDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CNavaidEntryDlg::CNavaidEntryDlg(UINT nIDTemplate, navaid::Family family)
    : CDialog(nIDTemplate), m_family(family) {}

BOOL CNavaidEntryDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* typeList = GetDlgItem(IDC_TYPE_LIST);
    for (const char* name : EntryFormOf(m_family).typeNames) {
        typeList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    typeList->SendMessage(LB_SETTOPINDEX, 0);
    GetDlgItem(IDC_ID)->SendMessage(EM_LIMITTEXT, kIdLimit);
    GetDlgItem(IDC_NAME)->SendMessage(EM_LIMITTEXT, kNameLimit);
    return TRUE;
}

void CNavaidEntryDlg::OnOK() {
    if (!ReadSelectedType(*this, m_strType)) return;
    const EntryForm& form = EntryFormOf(m_family);
    // Moved in, not copied: GCC 12 misreads a copy from a C string as overlapping.
    FileSlots.navaidKind = std::string(form.kind);
    CDialog::OnOK();
    navaid::NavaidEntry entry;
    ReadField(*this, IDC_ID, m_strId);
    entry.id = static_cast<LPCSTR>(m_strId);
    ReadField(*this, IDC_NAME, m_strName);
    entry.name = static_cast<LPCSTR>(m_strName);
    entry.latitude = RealField(*this, IDC_LATITUDE, m_strLatitude);
    entry.longitude = RealField(*this, IDC_LONGITUDE, m_strLongitude);
    entry.frequency = RealField(*this, IDC_FREQUENCY, m_strFrequency);
    entry.magVar = RealField(*this, IDC_MAGVAR, m_strMagVar);
    // The NDB template has no Altitude field; NDB records carry 0 there.
    if (form.hasAltitude) {
        ReadField(*this, IDC_ALTITUDE, m_strAltitude);
        entry.altitude = navaid::ParseDialogInteger(static_cast<LPCSTR>(m_strAltitude));
    }
    entry.typeName = static_cast<LPCSTR>(m_strType);
    m_outcome = AddNavaid(FileSlots.navaidKind, entry);
    EndDialog(m_outcome ? IDOK : IDCANCEL);
}
