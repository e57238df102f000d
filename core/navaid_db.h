// The navaid database core: record formats, working copies, addition,
// selection and deletion, and list export. Standard C++ only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "code_page.h"
#include "file_io.h"
#include "number_format.h"
#include "outcome.h"
#include "record_reader.h"
#include "records.h"
#include "working_copy.h"

namespace navaid {

// Writes the working copy as the whole source followed by `records` (whole
// encoded records, in order). On any failure the working copy is removed if
// this call created or emptied it.
Outcome AppendRecordsToFiles(const std::string& sourcePath, const std::string& workingCopyPath,
                             std::string_view records);

// The same with the records made as they are written: `produce` hands each
// one to the appender it is given, and a failure of either ends the copy.
using RecordAppender = std::function<Outcome(std::string_view record)>;
Outcome AppendRecordStream(const std::string& sourcePath, const std::string& workingCopyPath,
                           const std::function<Outcome(const RecordAppender& append)>& produce);
// The same from a source open elsewhere at its first byte, which stays open.
Outcome AppendRecordStream(io::File& source, const std::string& workingCopyPath,
                           const std::function<Outcome(const RecordAppender& append)>& produce);

// Appends one record to the working copy: writes the working copy as the
// whole source followed by the encoded record, built first in the temporary
// file `temporaryFile` (a name in the current directory), which is gone
// afterwards. Refuses (writing nothing) a type name of another family or
// none, and a source or working copy that is the temporary file itself. On
// any failure the working copy is removed.
Outcome AddNavaidToFiles(Family family, const std::string& sourcePath,
                         const std::string& workingCopyPath, const NavaidEntry& entry,
                         const std::string& temporaryFile);

// One label per record in file order: the first 30 bytes, cut at a zero byte.
// A trailing piece of 30 bytes or more gives a label too.
Outcome ListRecordLabels(const std::string& sourcePath, std::size_t recordSize,
                         std::vector<std::string>& labels);

// How many labels a file of `length` bytes gives.
std::uint64_t LabelCount(std::uint64_t length, std::size_t recordSize);

// What becomes of one record in RewriteRecords: kept, replaced by `bytes` (of
// the record's size), or left out.
struct RecordFate {
    enum Kind { Keep, Replace, Drop } kind = Keep;
    std::string_view bytes;
};
// Writes the working copy as the source with each record as `replace` says,
// the piece after the last record and every kept byte as they were.
using RecordReplacer = std::function<RecordFate(std::uint64_t index, const std::uint8_t* record)>;
// What `append` hands on (whole records) follows them.
Outcome RewriteRecords(const std::string& sourcePath, const std::string& workingCopyPath,
                       std::size_t recordSize, const RecordReplacer& replace,
                       const std::function<Outcome(const RecordAppender& append)>& append = {});
// The same from a source open elsewhere at its first byte, which stays open.
Outcome RewriteRecords(io::File& source, const std::string& workingCopyPath, std::size_t recordSize,
                       const RecordReplacer& replace,
                       const std::function<Outcome(const RecordAppender& append)>& append = {});

// Writes the working copy as the source without record `index`. An index
// that names no label writes nothing and is refused.
Outcome DeleteNavaid(const std::string& sourcePath, const std::string& workingCopyPath,
                     std::size_t recordSize, long long index);
Outcome DeleteNavaid(io::File& source, const std::string& workingCopyPath, std::size_t recordSize,
                     long long index);

// Writes the comma-separated list of the source's complete records, flushed
// after each line. On failure the list file is removed.
Outcome ExportNavaidList(Family family, const std::string& sourcePath, const std::string& listPath);

// The list's header line and one record's line, each with its CR LF.
std::string ListHeaderLine(Family family);
std::string ListRecordLine(Family family, const std::uint8_t* record);

}  // namespace navaid
