// The names of a database's working copy and list, and the working copy made
// as a byte-for-byte copy of the chosen file.
#pragma once

#include <string>
#include <string_view>

#include "outcome.h"

namespace navaid {

inline constexpr const char* kWorkingCopySuffix = ".new";
inline constexpr const char* kListSuffix = ".txt";

std::string WorkingCopyName(std::string_view sourcePath);
std::string ListName(std::string_view sourcePath);

// Copies the source to the working copy byte for byte. On failure the working
// copy is removed and the outcome names the file and the reason.
Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath);

}  // namespace navaid
