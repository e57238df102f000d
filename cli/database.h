// What the commands share about their files: a database read record by
// record, and the --near/--within and find options that select records.
#pragma once

#include <string>
#include <vector>

#include "args.h"
#include "find.h"
#include "record_reader.h"

namespace navaid::cli {

// The records of the database the tool opened for the command's first
// (or second) argument, read through that one handle at each call.
RecordSource DatabaseSource(const CommandLine& line, std::size_t argument = 0);
Outcome ReadRecords(const std::string& path, Family family, const RecordVisitor& visit,
                    std::string* trailing = nullptr);

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

}  // namespace navaid::cli
