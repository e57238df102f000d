#include "working_copy.h"

#include "copy_util.h"
#include "file_io.h"

namespace navaid {

std::string WorkingCopyName(std::string_view sourcePath) {
    return std::string(sourcePath) + kWorkingCopySuffix;
}

std::string ListName(std::string_view sourcePath) { return std::string(sourcePath) + kListSuffix; }

std::string BackupName(std::string_view sourcePath) {
    return std::string(sourcePath) + kBackupSuffix;
}

Outcome MakeWorkingCopy(const std::string& sourcePath, const std::string& workingCopyPath) {
    io::File source, copy;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    if (result) result = detail::CopyRange(source, copy, 0, 0);
    return detail::Finish(result, source, copy, workingCopyPath);
}

Outcome LinkOrCopy(const std::string& sourcePath, const std::string& copyPath, bool& linked) {
    bool refused = false;
    Outcome result = io::LinkFile(sourcePath, copyPath, refused);
    linked = result && !refused;
    if (!result || linked) return result;
    io::File source, copy;
    result = source.Open(sourcePath, io::OpenMode::Read);
    if (result) result = copy.Open(copyPath, io::OpenMode::WriteTruncate);
    if (result) result = detail::CopyRange(source, copy, 0, 0);
    result = detail::Finish(result, source, copy, copyPath);
    if (!result) return result;
    // The copy stands in for the file it copies: it must survive a crash.
    result = io::FlushFile(copyPath);
    if (!result) io::RemoveFile(copyPath);
    return result;
}

}  // namespace navaid
