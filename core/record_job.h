// What a library job that reads a database takes from its caller: which
// records it takes, the database when it needs its trailing piece too, and
// where its text goes. The caller owns the files, so a job never learns
// where they live.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "outcome.h"
#include "record_reader.h"
#include "records.h"

namespace navaid {

// Whether a job takes a record; a null one takes every record.
using RecordSelection = std::function<bool(const DecodedRecord& record)>;

// A database that a job reads more than once and reports on: its records,
// the piece after them as each read of them leaves it, its name for messages.
struct DatabaseInput {
    RecordSource records;
    std::shared_ptr<const std::string> trailing;  // null: the job sees no piece
    std::string name;
};

// A job's output, written in order: Open once the job knows it will write,
// Write any number of times, then Close to keep it or Discard to drop it.
class TextSink {
public:
    virtual Outcome Open() = 0;
    // After a failed write nothing more is written; Close says why.
    virtual void Write(std::string_view text) = 0;
    virtual Outcome Close() = 0;
    virtual void Discard() = 0;

protected:
    ~TextSink() = default;
};

}  // namespace navaid
