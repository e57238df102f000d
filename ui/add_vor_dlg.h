// Add VOR: collects one new VOR and appends it to the working copy.
#pragma once

#include "navaid_entry_dlg.h"
#include "resource.h"

class CAddVorDlg : public CNavaidEntryDlg {
public:
    enum { IDD = IDD_ADD_VOR };

    CAddVorDlg();
};
