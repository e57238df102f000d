// Everything the commands share, for a file that uses much of it; a command
// that needs only a part includes that part's header.
#pragma once

#include "args.h"
#include "command.h"
#include "entry.h"
#include "files.h"
#include "geo.h"
#include "navaid_db.h"
#include "text.h"
