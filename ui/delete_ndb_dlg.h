// Delete NDB: lists the chosen NDB file and writes the working copy without the
// picked record.
#pragma once

#include "navaid_delete_dlg.h"
#include "resource.h"

class CDeleteNdbDlg : public CNavaidDeleteDlg {
public:
    enum { IDD = IDD_DELETE_NDB };

    CDeleteNdbDlg();
};
