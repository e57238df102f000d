// The four navaid dialogs: Add VOR and Add NDB collect one new navaid and
// append it to the working copy; Delete VOR and Delete NDB list a database's
// records in file order and write the working copy without the picked one.
// Each is a row of base, template and family, and reports its file work in
// m_outcome (navaid_file_work.h).
#pragma once

#include "navaid_delete_dlg.h"
#include "navaid_entry_dlg.h"
#include "resource.h"

// One of the four: its base (entry or delete), its template and its family.
template <class TBase, UINT nIDTemplate, navaid::Family family>
class CNavaidDlgOf : public TBase {
public:
    enum { IDD = nIDTemplate };
    CNavaidDlgOf() : TBase(IDD, family) {}
};

class CAddVorDlg : public CNavaidDlgOf<CNavaidEntryDlg, IDD_ADD_VOR, navaid::Family::Vor> {};
class CAddNdbDlg : public CNavaidDlgOf<CNavaidEntryDlg, IDD_ADD_NDB, navaid::Family::Ndb> {};
class CDeleteVorDlg : public CNavaidDlgOf<CNavaidDeleteDlg, IDD_DELETE_VOR, navaid::Family::Vor> {};
class CDeleteNdbDlg : public CNavaidDlgOf<CNavaidDeleteDlg, IDD_DELETE_NDB, navaid::Family::Ndb> {};
