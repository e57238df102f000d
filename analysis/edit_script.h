// The records removed from one database and added in another: the shortest
// edit script between their record sequences, kept as 8-byte hashes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "outcome.h"
#include "record_reader.h"
#include "records.h"

namespace navaid {

// What is kept of each record for the matching: a 64-bit hash of its bytes,
// so memory grows by 8 bytes a record.
struct RecordHashes {
    std::deque<std::uint64_t> hashes;
    std::string trailing;  // the bytes after the last complete record
    std::size_t Size() const { return hashes.size(); }
};

std::uint64_t HashRecord(const std::uint8_t* record, std::size_t size);

// Hashes every complete record of one read of `records`; the trailing piece is the caller's.
Outcome HashRecords(const RecordSource& records, std::size_t recordSize, RecordHashes& hashes);

struct Edit {
    bool added;
    std::size_t index;  // in OLD when removed, in NEW when added
};

// Calls `visit` with each edit that turns `a` into `b`, in file order: the
// shortest script when it needs at most `maxSearched` edits beyond the
// common start and end, else the middle of `a` removed and `b`'s added.
// Returns whether there was any edit.
bool ForEachEdit(const RecordHashes& a, const RecordHashes& b,
                 const std::function<void(const Edit&)>& visit, long maxSearched = 2000);

}  // namespace navaid
