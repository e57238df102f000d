// The commands' checks on the files they are given.
#include "files.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "file_io.h"

namespace navaid::cli {

Outcome RequireExistingFile(const std::string& path) {
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        int error = ec ? ec.value() : ENOENT;
        return Outcome::Failure(path, io::ErrorText(error));
    }
    if (std::filesystem::is_directory(status)) {
        return Outcome::Failure(path, io::ErrorText(EISDIR));
    }
    return Outcome::Success();
}

void RefuseSameFile(const std::string& database, const std::string& output) {
    std::error_code ec;
    if (std::filesystem::equivalent(database, output, ec) && !ec) {
        throw UsageError("the output " + output + " is the database itself");
    }
}

Outcome ForEachRecord(const std::string& path, Family family, const RecordVisitor& visit,
                      std::string* trailing) {
    if (Outcome exists = RequireExistingFile(path); !exists) return exists;
    return navaid::ForEachRecord(path, RecordSize(family), visit, trailing);
}

}  // namespace navaid::cli
