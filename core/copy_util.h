// Byte copies between the core's files, shared by the operations that write
// a working copy. Internal to the core.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "file_io.h"
#include "outcome.h"

namespace navaid::detail {

inline constexpr std::size_t kCopyChunk = 64 * 1024;
// What follows bytes left out of a copy goes through a buffer of this size:
// large enough that the system calls cost nothing beside the copying, small
// enough to stay in the processor's cache between the read and the write.
inline constexpr std::size_t kShiftedCopyChunk = 256 * 1024;

// Copies `in` to its end into `out`, leaving out the bytes at positions
// [skipBegin, skipEnd) of `in` (counted from where `in` stands now); an
// empty range leaves out nothing.
Outcome CopyRange(io::File& in, io::File& out, std::uint64_t skipBegin, std::uint64_t skipEnd);

// Ends an operation that writes `outputPath`: closes the source, then the
// output, and when anything failed (`result` or a close) removes the output
// if this operation created or emptied it; one it could not open stays as
// the user left it. Returns the first failure.
Outcome Finish(Outcome result, io::File& in, io::File& out, const std::string& outputPath);
// The same, with the source already closed.
Outcome Finish(Outcome result, const Outcome& inClosed, io::File& out,
               const std::string& outputPath);

}  // namespace navaid::detail
