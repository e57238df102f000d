// What the commands share about their files: a database read record by
// record, and the --near/--within and find options that select records.
#pragma once

#include <string>
#include <vector>

#include "args.h"
#include "entry_texts.h"
#include "find.h"
#include "options.h"
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

// A navaid's fields as options, in the record's order, with their bytes in
// the record (the type block runs to its end: size 0).
struct EntryField {
    Option<std::string> option;
    std::size_t offset, size;
};
const std::vector<EntryField>& EntryFields();
// Their specs, for add (all but --alt required) and set (none).
std::vector<OptionSpec> EntryOptions(bool required);
// The texts the options give; a field left out has a stand-in add takes.
EntryTexts EntryTextsOf(const CommandLine& line, Family family);

// --match-within NM (10 when not given), for diff and update.
const Option<double>& MatchWithinOption();
double MatchWithin(const CommandLine& line);

// The circle the options give, if any; throws UsageError for bad values.
std::optional<Circle> CircleOf(const CommandLine& line);
// The query the options give; throws UsageError for bad values.
FindQuery QueryOf(const CommandLine& line);

}  // namespace navaid::cli
