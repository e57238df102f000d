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

// What tells the two families' dialogs apart.
struct FamilyForm {
    UINT entryTemplate;
    UINT deleteTemplate;
    std::span<const char* const> typeNames;
    const char* kind;  // the NavaidKind marker
    bool hasAltitude;
};

const FamilyForm& FormOf(navaid::Family family) {
    static const FamilyForm vor{IDD_ADD_VOR, IDD_DELETE_VOR, kVorTypeNames, "V", true};
    static const FamilyForm ndb{IDD_ADD_NDB, IDD_DELETE_NDB, kNdbTypeNames, "N", false};
    return family == navaid::Family::Vor ? vor : ndb;
}

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
// What the entry dialogs and the delete dialogs share

CNavaidEntryDlg::CNavaidEntryDlg(navaid::Family family)
    : CDialog(FormOf(family).entryTemplate), m_family(family) {}

void CNavaidEntryDlg::PrepareFields() { PrepareEntryDialog(*this, FormOf(m_family).typeNames); }

void CNavaidEntryDlg::AddFromFields() {
    if (!ReadSelectedType(*this, m_strType)) return;
    const FamilyForm& form = FormOf(m_family);
    // Moved in, not copied: GCC 12 misreads a copy from a C string as overlapping.
    navaid::FileSlots.navaidKind = std::string(form.kind);
    CDialog::OnOK();
    ReadField(*this, IDC_ID, m_strId);
    ReadField(*this, IDC_NAME, m_strName);
    const float latitude = RealField(*this, IDC_LATITUDE, m_strLatitude);
    const float longitude = RealField(*this, IDC_LONGITUDE, m_strLongitude);
    const float frequency = RealField(*this, IDC_FREQUENCY, m_strFrequency);
    const float magVar = RealField(*this, IDC_MAGVAR, m_strMagVar);
    // The NDB template has no Altitude field; NDB records carry 0 there.
    std::int32_t altitude = 0;
    if (form.hasAltitude) {
        ReadField(*this, IDC_ALTITUDE, m_strAltitude);
        altitude = navaid::ParseDialogInteger(static_cast<LPCSTR>(m_strAltitude));
    }
    const std::string kind = navaid::FileSlots.navaidKind;
    m_outcome = navaid::AddNavaid(kind, static_cast<LPCSTR>(m_strId),
                                  static_cast<LPCSTR>(m_strName), latitude, longitude, frequency,
                                  magVar, altitude, static_cast<LPCSTR>(m_strType));
    EndFileWork(*this, *this);
}

CNavaidDeleteDlg::CNavaidDeleteDlg(navaid::Family family)
    : CDialog(FormOf(family).deleteTemplate), m_family(family) {}

void CNavaidDeleteDlg::ListRecords() {
    FillLabelList(*this, *this, navaid::FileSlots[m_family].sourcePath,
                  navaid::RecordSize(m_family));
}

void CNavaidDeleteDlg::DeleteSelected() {
    // Nothing picked (an empty list, or Enter at once): nothing to delete.
    const int index = SelectedRecord(*this);
    if (index < 0) {
        OnCancel();
        return;
    }
    CDialog::OnOK();
    const navaid::FamilySlots& slots = navaid::FileSlots[m_family];
    m_outcome = navaid::DeleteNavaid(slots.sourcePath, slots.workingCopyPath,
                                     navaid::RecordSize(m_family), index);
    EndFileWork(*this, *this);
}

// ---------------------------------------------------------------------------
// Add VOR

BEGIN_MESSAGE_MAP(CAddVorDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CAddVorDlg::CAddVorDlg() : CNavaidEntryDlg(navaid::Family::Vor) {}

CAddVorDlg::~CAddVorDlg() = default;

BOOL CAddVorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareFields();
    return TRUE;
}

void CAddVorDlg::OnOK() { AddFromFields(); }

// ---------------------------------------------------------------------------
// Add NDB

BEGIN_MESSAGE_MAP(CAddNdbDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CAddNdbDlg::CAddNdbDlg() : CNavaidEntryDlg(navaid::Family::Ndb) {}

CAddNdbDlg::~CAddNdbDlg() = default;

BOOL CAddNdbDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PrepareFields();
    return TRUE;
}

void CAddNdbDlg::OnOK() { AddFromFields(); }

// ---------------------------------------------------------------------------
// Delete VOR

BEGIN_MESSAGE_MAP(CDeleteVorDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CDeleteVorDlg::CDeleteVorDlg() : CNavaidDeleteDlg(navaid::Family::Vor) {}

CDeleteVorDlg::~CDeleteVorDlg() = default;

BOOL CDeleteVorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ListRecords();
    return TRUE;
}

void CDeleteVorDlg::OnOK() { DeleteSelected(); }

// ---------------------------------------------------------------------------
// Delete NDB

BEGIN_MESSAGE_MAP(CDeleteNdbDlg, CDialog)
ON_BN_CLICKED(IDOK, OnOK)
END_MESSAGE_MAP()

CDeleteNdbDlg::CDeleteNdbDlg() : CNavaidDeleteDlg(navaid::Family::Ndb) {}

CDeleteNdbDlg::~CDeleteNdbDlg() = default;

BOOL CDeleteNdbDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ListRecords();
    return TRUE;
}

void CDeleteNdbDlg::OnOK() { DeleteSelected(); }
