// The base of Delete VOR and Delete NDB: a database's records listed in file
// order, and the working copy written without the picked one.
#pragma once

#include "afxdlgs.h"
#include "navaid_db.h"
#include "navaid_file_work.h"

class CNavaidDeleteDlg : public CDialog, public CNavaidFileWork {
public:
    // Called when the controls exist, before the dialog shows: lists the
    // chosen file's records, or ends the dialog when the file cannot be read.
    BOOL OnInitDialog() override;

protected:
    CNavaidDeleteDlg(UINT nIDTemplate, navaid::Family family);

    // Called when the user presses OK: writes the working copy without the
    // selected record; with none selected it cancels.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    navaid::Family m_family;
};
