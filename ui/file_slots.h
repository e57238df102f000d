// The process-wide file slots through which a command flow passes the chosen
// file and its derived names to the operations and dialogs it starts, and the
// entry dialogs' addition through them.
#pragma once

#include <string>
#include <string_view>

#include "navaid_db.h"

struct FamilySlots {
    std::string sourcePath;
    std::string workingCopyPath;
    std::string listPath;
};

struct FileSlotTable {
    FamilySlots vor;
    FamilySlots ndb;
    std::string navaidKind;  // "V" or "N", set by the entry dialogs on OK

    FamilySlots& operator[](navaid::Family family) {
        return family == navaid::Family::Vor ? vor : ndb;
    }
    const FamilySlots& operator[](navaid::Family family) const {
        return family == navaid::Family::Vor ? vor : ndb;
    }
};

extern FileSlotTable FileSlots;

// Where an addition builds its record: in the current directory.
inline constexpr const char* kTemporaryRecordFile = "navblock.qvz";

// Stores the chosen path, lower-cased in the ANSI code page, as the family's source.
void SetSourcePath(FileSlotTable& slots, navaid::Family family, std::string_view chosenPath);

// The dialogs' form: kind "V" or "N" selects the family and its slots in
// FileSlots, and the navaid goes to that working copy (AddNavaidToFiles).
navaid::Outcome AddNavaid(std::string_view kind, const navaid::NavaidEntry& entry);
