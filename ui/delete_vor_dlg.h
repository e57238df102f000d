// Delete VOR: lists the chosen VOR file and writes the working copy without the
// picked record.
#pragma once

#include "navaid_delete_dlg.h"
#include "resource.h"

class CDeleteVorDlg : public CNavaidDeleteDlg {
public:
    enum { IDD = IDD_DELETE_VOR };

    CDeleteVorDlg();
};
