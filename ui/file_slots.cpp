#include "file_slots.h"

FileSlotTable FileSlots;

void SetSourcePath(FileSlotTable& slots, navaid::Family family, std::string_view chosenPath) {
    slots[family].sourcePath = navaid::LowerCase(chosenPath);
}

navaid::Outcome AddNavaid(std::string_view kind, const navaid::NavaidEntry& entry) {
    navaid::Family family;
    if (kind == "V") {
        family = navaid::Family::Vor;
    } else if (kind == "N") {
        family = navaid::Family::Ndb;
    } else {
        return navaid::Outcome::Failure("", "unknown navaid kind \"" + std::string(kind) + "\"");
    }
    const FamilySlots& slots = FileSlots[family];
    return navaid::AddNavaidToFiles(family, slots.sourcePath, slots.workingCopyPath, entry,
                                    kTemporaryRecordFile);
}
