// The commands' checks on the files they are given.
#include "files.h"

#include <cerrno>

#include "file_io.h"

namespace navaid::cli {

Outcome RequireExistingFile(const std::string& path) {
    bool folder = false;
    if (Outcome queried = io::IsFolder(path, folder); !queried) return queried;
    if (folder) return Outcome::Failure(path, io::ErrorText(EISDIR));
    return Outcome::Success();
}

Outcome RefuseSameFile(const std::string& database, const std::string& output) {
    bool same = false;
    Outcome queried = io::SameFile(database, output, same);
    if (queried && same) throw UsageError("the output " + output + " is the database itself");
    return queried;
}

Outcome CheckDatabaseAndOutput(const std::string& database, const std::string& output) {
    if (Outcome checked = RefuseSameFile(database, output); !checked) return checked;
    return RequireExistingFile(database);
}

Outcome ForEachRecord(const std::string& path, Family family, const RecordVisitor& visit,
                      std::string* trailing) {
    if (Outcome exists = RequireExistingFile(path); !exists) return exists;
    return navaid::ForEachRecord(path, RecordSize(family), visit, trailing);
}

}  // namespace navaid::cli
