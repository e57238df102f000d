#include "working_copy.h"

#include "copy_util.h"
#include "file_io.h"

namespace navaid {

std::string WorkingCopyName(std::string_view sourcePath) {
    return std::string(sourcePath) + kWorkingCopySuffix;
}

std::string ListName(std::string_view sourcePath) { return std::string(sourcePath) + kListSuffix; }

Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath) {
    io::File source, copy;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    if (result) result = detail::CopyRange(source, copy, 0, 0);
    return detail::Finish(result, source, copy, workingCopyPath);
}

}  // namespace navaid
