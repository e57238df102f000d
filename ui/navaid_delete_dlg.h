// The base of Delete VOR and Delete NDB: a database's records listed in file
// order, and the working copy written without the picked one.
#pragma once

#include "afxdlgs.h"
#include "navaid_db.h"
#include "navaid_file_work.h"

class CNavaidDeleteDlg : public CDialog, public CNavaidFileWork {
public:
    // Called when the dialog opens: lists the chosen file's records.
    // A file that cannot be read ends the dialog at once.
    BOOL OnInitDialog() override;

protected:
    CNavaidDeleteDlg(UINT nIDTemplate, navaid::Family family);

    // Called when the user presses OK: writes the copy without the picked record.
    // With nothing picked the dialog ends as cancelled.
    void OnOK() override;

    DECLARE_MESSAGE_MAP()

private:
    navaid::Family m_family;
};
