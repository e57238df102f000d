// What the commands share about their files: a database read record by
// record, and the --near/--within and find options that select records.
#pragma once

#include <string>
#include <vector>

#include "args.h"
#include "find.h"
#include "record_job.h"
#include "record_reader.h"

namespace navaid::cli {

// The core's record reader on a database that must exist (it is never
// created): `visit` gets each complete record in file order, `trailing`
// (when given) the piece after the last one. Memory stays flat.
Outcome ReadRecords(const std::string& path, Family family, const RecordVisitor& visit,
                    std::string* trailing = nullptr);

// The records of the database named by the positional argument `index`,
// read afresh from its first record at each call; `trailing` (when given)
// gets, at each call, the piece after the last one.
RecordSource DatabaseSource(const CommandLine& line, std::size_t index,
                            std::string* trailing = nullptr);
// That database as a job that reads it more than once takes it, with its
// trailing piece and its path as its name.
DatabaseInput DatabaseInputOf(const CommandLine& line, std::size_t index);

// --near LAT,LON --within NM, for find and import.
const std::vector<OptionSpec>& CircleOptions();
// --id, --name, --type and the circle, for find.
const std::vector<OptionSpec>& QueryOptions();

// A navaid's fields as options, for add (all but --alt required) and set (none).
std::vector<OptionSpec> EntryOptions(bool required);

// --match-within NM (10 when not given), for diff and update.
double MatchWithin(const CommandLine& line);

// The circle the options give, if any; throws UsageError for bad values.
std::optional<Circle> CircleOf(const CommandLine& line);
// The query the options give; throws UsageError for bad values.
FindQuery QueryOf(const CommandLine& line);
// The records the query options select, for a library job; throws UsageError as QueryOf.
RecordSelection SelectionOf(const CommandLine& line);

}  // namespace navaid::cli
