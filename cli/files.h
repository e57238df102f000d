// The checks a command makes on the files it is given, and the database
// read record by record.
#pragma once

#include <string>

#include "command.h"
#include "record_reader.h"
#include "records.h"

namespace navaid::cli {

// Fails unless `path` names an existing file that is not a folder, so that a
// mistyped database name is reported instead of being created empty.
Outcome RequireExistingFile(const std::string& path);

// Refuses an output path that is the database itself (through a link or alias),
// so that the chosen database is never written. Naming the database as the
// output is a mistake in the call: it throws UsageError (exit status 2) before
// anything is opened. A status query the system cannot answer is returned as
// a file failure, like every other call's.
[[nodiscard]] Outcome RefuseSameFile(const std::string& database, const std::string& output);

// Both checks a command that writes `output` from `database` makes first.
[[nodiscard]] Outcome CheckDatabaseAndOutput(const std::string& database,
                                             const std::string& output);

// The core's record reader on a database that must exist: calls `visit`
// with each complete record's index and bytes, in file order, and `trailing`
// (when given) receives the piece after the last one. Memory stays flat
// however large the file; a failed open, read or close is returned.
Outcome ForEachRecord(const std::string& path, Family family, const RecordVisitor& visit,
                      std::string* trailing = nullptr);

}  // namespace navaid::cli
