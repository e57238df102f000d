// The process-wide file slots through which a command flow passes the chosen
// file and its derived names to the operations and dialogs it starts.
#pragma once

#include <string>
#include <string_view>

#include "outcome.h"
#include "records.h"

namespace navaid {

struct FamilySlots {
    std::string sourcePath;
    std::string workingCopyPath;
    std::string listPath;
};

struct FileSlotTable {
    FamilySlots vor;
    FamilySlots ndb;
    std::string navaidKind;  // "V" or "N", set by the entry dialogs on OK

    FamilySlots& operator[](Family family) { return family == Family::Vor ? vor : ndb; }
    const FamilySlots& operator[](Family family) const { return family == Family::Vor ? vor : ndb; }
};

extern FileSlotTable FileSlots;

inline constexpr const char* kWorkingCopySuffix = ".new";
inline constexpr const char* kListSuffix = ".txt";
inline constexpr const char* kTemporaryRecordFile = "navblock.qvz";

std::string WorkingCopyName(std::string_view sourcePath);
std::string ListName(std::string_view sourcePath);

// Stores the chosen path, lower-cased in the ANSI code page, as the family's source.
void SetSourcePath(FileSlotTable& slots, Family family, std::string_view chosenPath);

// Copies the source to the working copy byte for byte. On failure the working
// copy is removed and the outcome names the file and the reason.
Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath);

}  // namespace navaid
