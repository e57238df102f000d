#include "navaid_dialogs.h"

#include <span>
#include <string>
#include <vector>

#include "navaid_db.h"
#include "resource.h"

namespace {

// Insertion order; the sorted list box shows them alphabetically.
constexpr const char* kVorTypeNames[] = {"DME", "VOR-DME", "VOR", "VORTAC", "TACAN"};
constexpr const char* kNdbTypeNames[] = {"NDB", "NDB-DME"};

// The NavaidKind markers of the two families.
const std::string kVorKind = "V";
const std::string kNdbKind = "N";

// The record fields hold 10 and 20 bytes; longer input could not be stored.
constexpr int kIdLimit = 10;
constexpr int kNameLimit = 20;

constexpr char kChooseTypeText[] =
    "Please choose the navaid's type from the Type list, then press OK.";

void PrepareEntryDialog(CDialog& dlg, std::span<const char* const> typeNames) {
    CWnd* typeList = dlg.GetDlgItem(IDC_TYPE_LIST);
    for (const char* name : typeNames) {
        typeList->SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    typeList->SendMessage(LB_SETTOPINDEX, 0);
    dlg.GetDlgItem(IDC_ID)->SendMessage(EM_LIMITTEXT, kIdLimit);
    dlg.GetDlgItem(IDC_NAME)->SendMessage(EM_LIMITTEXT, kNameLimit);
}

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
    dlg.SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(dlg.GetDlgItem(IDC_TYPE_LIST)->m_hWnd),
                    TRUE);
    return false;
}

void ReadField(CDialog& dlg, int id, CString& member) { dlg.GetDlgItem(id)->GetWindowText(member); }

float RealField(CDialog& dlg, int id, CString& member) {
    ReadField(dlg, id, member);
    return navaid::ParseDialogReal(static_cast<LPCSTR>(member));
}

void FillLabelList(CDialog& dlg, CNavaidFileWork& work, const std::string& sourcePath,
                   std::size_t recordSize) {
    std::vector<std::string> labels;
    work.m_outcome = navaid::ListRecordLabels(sourcePath, recordSize, labels);
    if (!work.m_outcome) {
        dlg.EndDialog(IDCANCEL);
        return;
    }
    // Inserting at position k keeps file order even in the sorted list, so
    // entry k is record k.
    CWnd* list = dlg.GetDlgItem(IDC_NAVAID_LIST);
    // Without redrawing after each entry, a list of 20,000 entries fills in
    // a tenth of the time.
    list->SendMessage(WM_SETREDRAW, FALSE);
    list->SendMessage(CB_INITSTORAGE, labels.size(), labels.size() * (navaid::kLabelSize + 1));
    for (std::size_t k = 0; k < labels.size(); ++k) {
        list->SendMessage(CB_INSERTSTRING, k, reinterpret_cast<LPARAM>(labels[k].c_str()));
    }
    list->SendMessage(WM_SETREDRAW, TRUE);
}

// The selected entry's position, or -1 when none is selected.
int SelectedRecord(CDialog& dlg) {
    return static_cast<int>(dlg.GetDlgItem(IDC_NAVAID_LIST)->SendMessage(CB_GETCURSEL));
}

void EndFileWork(CDialog& dlg, const CNavaidFileWork& work) {
    dlg.EndDialog(work.m_outcome ? IDOK : IDCANCEL);
}

}  // namespace

// ---------------------------------------------------------------------------
// Add VOR

BEGIN_MESSAGE_MAP(CAddVorDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CAddVorDlg::CAddVorDlg() : CDialog(IDD_ADD_VOR) {}

CAddVorDlg::~CAddVorDlg() = default;

BOOL CAddVorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareEntryDialog(*this, kVorTypeNames);
    return TRUE;
}

void CAddVorDlg::OnOK() {
    if (!ReadSelectedType(*this, m_strType)) return;
    navaid::FileSlots.navaidKind = kVorKind;
    CDialog::OnOK();
    ReadField(*this, IDC_ID, m_strId);
    ReadField(*this, IDC_NAME, m_strName);
    const float latitude = RealField(*this, IDC_LATITUDE, m_strLatitude);
    const float longitude = RealField(*this, IDC_LONGITUDE, m_strLongitude);
    const float frequency = RealField(*this, IDC_FREQUENCY, m_strFrequency);
    const float magVar = RealField(*this, IDC_MAGVAR, m_strMagVar);
    ReadField(*this, IDC_ALTITUDE, m_strAltitude);
    const std::int32_t altitude = navaid::ParseDialogInteger(static_cast<LPCSTR>(m_strAltitude));
    const std::string kind = navaid::FileSlots.navaidKind;
    m_outcome = navaid::AddNavaid(kind, static_cast<LPCSTR>(m_strId),
                                  static_cast<LPCSTR>(m_strName), latitude, longitude, frequency,
                                  magVar, altitude, static_cast<LPCSTR>(m_strType));
    EndFileWork(*this, *this);
}

// ---------------------------------------------------------------------------
// Add NDB

BEGIN_MESSAGE_MAP(CAddNdbDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CAddNdbDlg::CAddNdbDlg() : CDialog(IDD_ADD_NDB) {}

CAddNdbDlg::~CAddNdbDlg() = default;

BOOL CAddNdbDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareEntryDialog(*this, kNdbTypeNames);
    return TRUE;
}

void CAddNdbDlg::OnOK() {
    if (!ReadSelectedType(*this, m_strType)) return;
    navaid::FileSlots.navaidKind = kNdbKind;
    CDialog::OnOK();
    ReadField(*this, IDC_ID, m_strId);
    ReadField(*this, IDC_NAME, m_strName);
    const float latitude = RealField(*this, IDC_LATITUDE, m_strLatitude);
    const float longitude = RealField(*this, IDC_LONGITUDE, m_strLongitude);
    const float frequency = RealField(*this, IDC_FREQUENCY, m_strFrequency);
    const float magVar = RealField(*this, IDC_MAGVAR, m_strMagVar);
    // The NDB template has no Altitude field; NDB records carry 0 there.
    const std::string kind = navaid::FileSlots.navaidKind;
    m_outcome = navaid::AddNavaid(kind, static_cast<LPCSTR>(m_strId),
                                  static_cast<LPCSTR>(m_strName), latitude, longitude, frequency,
                                  magVar, 0, static_cast<LPCSTR>(m_strType));
    EndFileWork(*this, *this);
}

// ---------------------------------------------------------------------------
// Delete VOR

BEGIN_MESSAGE_MAP(CDeleteVorDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CDeleteVorDlg::CDeleteVorDlg() : CDialog(IDD_DELETE_VOR) {}

CDeleteVorDlg::~CDeleteVorDlg() = default;

BOOL CDeleteVorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillLabelList(*this, *this, navaid::FileSlots.vor.sourcePath, navaid::kVorRecordSize);
    return TRUE;
}

void CDeleteVorDlg::OnOK() {
    // Nothing picked (an empty list, or Enter at once): nothing to delete.
    const int index = SelectedRecord(*this);
    if (index < 0) {
        OnCancel();
        return;
    }
    CDialog::OnOK();
    m_outcome =
        navaid::DeleteNavaid(navaid::FileSlots.vor.sourcePath,
                             navaid::FileSlots.vor.workingCopyPath, navaid::kVorRecordSize, index);
    EndFileWork(*this, *this);
}

// ---------------------------------------------------------------------------
// Delete NDB

BEGIN_MESSAGE_MAP(CDeleteNdbDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CDeleteNdbDlg::CDeleteNdbDlg() : CDialog(IDD_DELETE_NDB) {}

CDeleteNdbDlg::~CDeleteNdbDlg() = default;

BOOL CDeleteNdbDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillLabelList(*this, *this, navaid::FileSlots.ndb.sourcePath, navaid::kNdbRecordSize);
    return TRUE;
}

void CDeleteNdbDlg::OnOK() {
    const int index = SelectedRecord(*this);
    if (index < 0) {
        OnCancel();
        return;
    }
    CDialog::OnOK();
    m_outcome =
        navaid::DeleteNavaid(navaid::FileSlots.ndb.sourcePath,
                             navaid::FileSlots.ndb.workingCopyPath, navaid::kNdbRecordSize, index);
    EndFileWork(*this, *this);
}
