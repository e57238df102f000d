#include "add_ndb_dlg.h"

CAddNdbDlg::CAddNdbDlg() : CNavaidEntryDlg(IDD, navaid::Family::Ndb) {}
