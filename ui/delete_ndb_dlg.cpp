#include "delete_ndb_dlg.h"

CDeleteNdbDlg::CDeleteNdbDlg() : CNavaidDeleteDlg(IDD, navaid::Family::Ndb) {}
