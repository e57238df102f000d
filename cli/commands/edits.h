// The single edits as their command lines give them, read the same way for
// add, set and delete and for each line of edit.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "args.h"
#include "find.h"

namespace navaid::cli {

// The record add makes of the given fields (those left out stand in with
// values add takes), each checked as add checks it; refuses with RefuseUsage.
std::string EntryRecord(const CommandLine& line);

// What set changes: the record at `index` takes the given fields of `made`.
struct FieldChange {
    std::uint64_t index = 0;
    std::string indexText, made;
    std::vector<std::pair<std::size_t, std::size_t>> fields;  // offset and size of each given one
    void ApplyTo(std::string& record) const;
};
// Refuses with RefuseUsage, as set does, a bad index, no field or a bad value.
FieldChange FieldChangeOf(const CommandLine& line);

// What delete takes away: the record at an index, or every one a query picks.
struct Deletion {
    bool selects = false;
    std::uint64_t index = 0;
    std::string indexText;
    FindQuery query;
};
// Refuses with RefuseUsage, as delete does, a bad index, both or neither.
Deletion DeletionOf(const CommandLine& line);

}  // namespace navaid::cli
