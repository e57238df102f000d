// Byte copies between the core's files, shared by the operations that write
// a working copy. Internal to the core.
#pragma once

#include <cstddef>
#include <cstdint>

#include "file_io.h"
#include "outcome.h"

namespace navaid::detail {

inline constexpr std::size_t kCopyChunk = 64 * 1024;

// Copies `in` to its end into `out`, leaving out the bytes at positions
// [skipBegin, skipEnd) of `in` (counted from where `in` stands now); an
// empty range leaves out nothing.
Outcome CopyRange(io::File& in, io::File& out, std::uint64_t skipBegin, std::uint64_t skipEnd);

// After a failure: closes the input and the output, removes the partly
// written output and returns the first failure.
Outcome Abandon(const Outcome& failure, io::File& in, io::File& out);

// Closes the source, then the output; a failed close removes the output.
Outcome Finish(io::File& in, io::File& out);

}  // namespace navaid::detail
