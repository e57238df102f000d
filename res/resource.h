// Resource identifiers of navaidedit.exe: the menu, its commands, the dialog
// templates with their controls, and the program icon.
#pragma once

#define IDR_MAINFRAME 101
#define IDD_DELETE_VOR 102
#define IDD_ADD_VOR 103
#define IDD_DELETE_NDB 104
#define IDD_ADD_NDB 105
#define IDI_NAVAIDEDIT 106

// Control IDs are numbered per dialog template, so the two dialog kinds reuse
// numbers: 1004 is Latitude in the Add dialogs and the navaid list in the
// Delete dialogs. No dialog has both, and the templates fix the numbers.

// Controls of the entry dialogs (Add VOR, Add NDB).
#define IDC_TYPE_LIST 1000
#define IDC_ID 1001
#define IDC_NAME 1003
#define IDC_LATITUDE 1004
#define IDC_LONGITUDE 1005
#define IDC_FREQUENCY 1006
#define IDC_MAGVAR 1007
#define IDC_ALTITUDE 1008
// The Delete dialogs' combo box: 1004 as well, see above.
#define IDC_NAVAID_LIST 1004

// Menu commands.
#define IDM_VOR_DELETE 40001
#define IDM_VOR_ADD 40002
#define IDM_NDB_DELETE 40003
#define IDM_NDB_ADD 40004
#define IDM_CLOSE 40005
#define IDM_INFO 40006
#define IDM_VOR_LIST 40007
#define IDM_NDB_LIST 40008
