#include "file_slots.h"

#include "code_page.h"
#include "copy_util.h"
#include "file_io.h"

namespace navaid {

FileSlotTable FileSlots;

std::string WorkingCopyName(std::string_view sourcePath) {
    return std::string(sourcePath) + kWorkingCopySuffix;
}

std::string ListName(std::string_view sourcePath) { return std::string(sourcePath) + kListSuffix; }

void SetSourcePath(FileSlotTable& slots, Family family, std::string_view chosenPath) {
    slots[family].sourcePath = LowerCase(chosenPath);
}

Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath) {
    io::File source;
    if (Outcome opened = source.Open(sourcePath, io::OpenMode::ReadCreate); !opened) return opened;
    io::File copy;
    if (Outcome opened = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate); !opened) {
        source.Close();
        return opened;
    }
    if (Outcome copied = detail::CopyRange(source, copy, 0, 0); !copied)
        return detail::Abandon(copied, source, copy);
    return detail::Finish(source, copy);
}

}  // namespace navaid
