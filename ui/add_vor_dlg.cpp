#include "add_vor_dlg.h"

CAddVorDlg::CAddVorDlg() : CNavaidEntryDlg(IDD, navaid::Family::Vor) {}
