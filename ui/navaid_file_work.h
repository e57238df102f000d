// What a navaid dialog's file work came to, for the flow that opened it.
#pragma once

#include "outcome.h"

// A failure names the file and the system's reason; the dialog then ends with
// IDCANCEL, having left no output that looks finished, and the flow tells the
// user.
struct CNavaidFileWork {
    navaid::Outcome m_outcome;
};
