#include "delete_vor_dlg.h"

CDeleteVorDlg::CDeleteVorDlg() : CNavaidDeleteDlg(IDD, navaid::Family::Vor) {}
