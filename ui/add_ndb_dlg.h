// Add NDB: collects one new NDB and appends it to the working copy.
#pragma once

#include "navaid_entry_dlg.h"
#include "resource.h"

class CAddNdbDlg : public CNavaidEntryDlg {
public:
    enum { IDD = IDD_ADD_NDB };

    CAddNdbDlg();
};
