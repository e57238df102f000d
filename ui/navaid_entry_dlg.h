// The base of Add VOR and Add NDB: the fields they share and the addition of
// one navaid to the working copy. A family is its types and whether it has an
// Altitude field.
#pragma once

#include "afxdlgs.h"
#include "navaid_db.h"
#include "navaid_file_work.h"

class CNavaidEntryDlg : public CDialog, public CNavaidFileWork {
public:
    // Called when the controls exist, before the dialog shows: fills the type
    // list and limits ID and Name to what a record holds.
    BOOL OnInitDialog() override;

protected:
    CNavaidEntryDlg(UINT nIDTemplate, navaid::Family family);

    // Called when the user presses OK: converts the fields and adds the
    // navaid to the working copy; with no type chosen the dialog stays open.
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
