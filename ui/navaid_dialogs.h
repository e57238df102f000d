// The four navaid dialogs: Add VOR and Add NDB collect one new navaid and
// append it to the working copy; Delete VOR and Delete NDB list a database's
// records in file order and write the working copy without the picked one.
// Each reports its file work in m_outcome (navaid_file_work.h).
#pragma once

#include "add_ndb_dlg.h"
#include "add_vor_dlg.h"
#include "delete_ndb_dlg.h"
#include "delete_vor_dlg.h"
