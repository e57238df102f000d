// The base of Add VOR and Add NDB: the fields they share and the addition of
// one navaid to the working copy. A family is its types and whether it has an
// Altitude field.
#pragma once

#include "afxdlgs.h"
#include "navaid_db.h"
#include "navaid_file_work.h"

class CNavaidEntryDlg : public CDialog, public CNavaidFileWork {
public:
    // Called when the dialog opens: fills the type list, limits ID and Name.
    BOOL OnInitDialog() override;

protected:
    CNavaidEntryDlg(UINT nIDTemplate, navaid::Family family);

    // Called when the user presses OK: adds the navaid the fields describe.
    // With no type chosen the dialog asks for one and stays open.
    void OnOK() override;

    CString m_strId;
    CString m_strName;
    CString m_strLatitude;
    CString m_strLongitude;
    CString m_strFrequency;
    CString m_strMagVar;
    CString m_strAltitude;  // stays empty for an NDB
    CString m_strType;

    DECLARE_MESSAGE_MAP()

private:
    navaid::Family m_family;
};
