// The names of a database's working copy and list, and the working copy made
// as a byte-for-byte copy of the chosen file.
#pragma once

#include <string>
#include <string_view>

#include "outcome.h"

namespace navaid {

inline constexpr const char* kWorkingCopySuffix = ".new";
inline constexpr const char* kListSuffix = ".txt";
inline constexpr const char* kBackupSuffix = ".bak";

std::string WorkingCopyName(std::string_view sourcePath);
std::string ListName(std::string_view sourcePath);
// Where the earlier database is kept once its working copy takes its place.
std::string BackupName(std::string_view sourcePath);

// Copies the source to the working copy byte for byte. On failure the working
// copy is removed and the outcome names the file and the reason.
Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath);

// Makes the new name `copyPath` stand for the bytes of the existing file
// `sourcePath`: a second link to it where the file system makes one
// (`linked`), else a copy flushed to the disk. On failure `copyPath` is
// removed if this call made it.
Outcome LinkOrCopy(const std::string& sourcePath, const std::string& copyPath, bool& linked);

}  // namespace navaid
