// The core's file operations: add, labels, delete and the list. One file
// (about 400 lines) as they share the copy routines and the list's line
// builder, kept out of the headers.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "copy_util.h"
#include "navaid_db.h"

namespace navaid {

namespace detail {

namespace {

// Copies `in` to its end through a buffer, leaving out [skipBegin, skipEnd)
// counted from where `in` stands now.
Outcome BlockCopy(io::File& in, io::File& out, std::uint64_t skipBegin, std::uint64_t skipEnd,
                  std::size_t chunk) {
    // Not cleared: at the end of a kernel copy nothing is read into it, and
    // untouched memory costs nothing.
    const std::unique_ptr<char[]> buffer(new char[chunk]);
    std::uint64_t position = 0;
    for (;;) {
        std::size_t got = 0;
        if (Outcome read = in.Read(buffer.get(), chunk, got); !read) return read;
        if (got == 0) return Outcome::Success();
        const std::uint64_t end = position + got;
        // The part before the skipped range, then the part after it.
        const std::uint64_t keepBefore = std::min(end, std::max(position, skipBegin));
        if (keepBefore > position) {
            if (Outcome w = out.Write(buffer.get(), keepBefore - position); !w) return w;
        }
        const std::uint64_t resume = std::max(position, std::max(keepBefore, skipEnd));
        if (resume < end) {
            if (Outcome w = out.Write(buffer.get() + (resume - position), end - resume); !w)
                return w;
        }
        position = end;
    }
}

// Copies up to `length` bytes inside the kernel; `kernel` turns false when
// the kernel refuses or stops early, and the buffer takes over from there.
Outcome KernelCopy(io::File& in, io::File& out, std::uint64_t length, std::uint64_t& position,
                   bool& kernel) {
    for (std::uint64_t left = length; kernel && left > 0;) {
        std::uint64_t copied = 0;
        bool refused = false;
        if (Outcome c = out.CopyFrom(in, left, copied, refused); !c) return c;
        kernel = !refused && copied > 0;
        position += copied;
        left -= copied;
    }
    return Outcome::Success();
}

}  // namespace

Outcome CopyRange(io::File& in, io::File& out, std::uint64_t skipBegin, std::uint64_t skipEnd) {
    std::uint64_t position = 0;
    bool kernel = true;
    if (skipEnd <= skipBegin) {
        if (Outcome c = KernelCopy(in, out, UINT64_MAX, position, kernel); !c) return c;
        // What the kernel left, or everything where it refused; at the end of
        // a kernel copy this reads nothing, which also proves the end was reached.
        return BlockCopy(in, out, 0, 0, kCopyChunk);
    }
    if (Outcome c = KernelCopy(in, out, skipBegin, position, kernel); !c) return c;
    // Past the skipped bytes the source and the output stand at different
    // offsets within their pages, and the kernel copies across page edges
    // more slowly than a buffer that stays in the processor's cache.
    return BlockCopy(in, out, skipBegin - position, skipEnd - position, kShiftedCopyChunk);
}

Outcome Finish(Outcome result, io::File& in, io::File& out, const std::string& outputPath) {
    return Finish(result, in.Close(), out, outputPath);
}

Outcome Finish(Outcome result, const Outcome& inClosed, io::File& out,
               const std::string& outputPath) {
    Outcome outClosed = out.Close();
    if (result) result = inClosed ? outClosed : inClosed;
    if (!result && out.Emptied()) io::RemoveFile(outputPath);
    return result;
}

}  // namespace detail

namespace {

// Building the record in the temporary file would overwrite a database that
// lives under that very name.
Outcome RefuseTemporaryName(const std::string& sourcePath, const std::string& workingCopyPath,
                            const std::string& temporaryFile) {
    for (const std::string* path : {&sourcePath, &workingCopyPath}) {
        bool same = false;
        if (Outcome checked = io::SameFile(*path, temporaryFile, same); !checked) return checked;
        if (same)
            return Outcome::Failure(*path, "cannot add to a file named \"" + temporaryFile +
                                               "\" in the current folder: that name is "
                                               "used for the record being built");
    }
    return Outcome::Success();
}

// Writes the encoded record to the temporary file and closes it. `created`
// tells whether the file is this addition's own, to be deleted afterwards.
Outcome WriteTemporaryRecord(const std::string& temporaryFile, const std::string& record,
                             bool& created) {
    io::File temp;
    Outcome opened = temp.Open(temporaryFile, io::OpenMode::WriteTruncate);
    created = temp.Emptied();
    if (!opened) return opened;
    Outcome written = temp.Write(record.data(), record.size());
    Outcome closed = temp.Close();
    return written ? closed : written;
}

// Reads the temporary file back. Another instance working in the same folder
// may have removed or rewritten it meanwhile; only the record this addition
// encoded may be appended.
Outcome ReadTemporaryRecord(const std::string& temporaryFile, const std::string& record) {
    io::File temp;
    Outcome result = temp.Open(temporaryFile, io::OpenMode::ReadCreate);
    std::string built;
    std::vector<char> buffer(record.size() + 1);
    for (std::size_t got = 1; result && got > 0 && built.size() <= record.size();) {
        result = temp.Read(buffer.data(), buffer.size(), got);
        built.append(buffer.data(), got);
    }
    if (Outcome closed = temp.Close(); result) result = closed;
    if (result && built != record)
        return Outcome::Failure(temporaryFile,
                                "the record built in this file changed before it was appended "
                                "(is another copy of the program adding in this folder?)");
    return result;
}

// A source that fails to close fails the copy made from it, which then goes.
Outcome CloseSource(Outcome result, io::File& source, const std::string& workingCopyPath) {
    Outcome closed = source.Close();
    if (!result || closed) return result;
    io::RemoveFile(workingCopyPath);
    return closed;
}
}  // namespace

Outcome AppendRecordsToFiles(const std::string& sourcePath, const std::string& workingCopyPath,
                             std::string_view records) {
    return AppendRecordStream(sourcePath, workingCopyPath,
                              [&](const RecordAppender& append) { return append(records); });
}

Outcome AppendRecordStream(const std::string& sourcePath, const std::string& workingCopyPath,
                           const std::function<Outcome(const RecordAppender& append)>& produce) {
    io::File source;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = AppendRecordStream(source, workingCopyPath, produce);
    return CloseSource(result, source, workingCopyPath);
}

Outcome AppendRecordStream(io::File& source, const std::string& workingCopyPath,
                           const std::function<Outcome(const RecordAppender& append)>& produce) {
    io::File copy;
    Outcome result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    if (result) result = detail::CopyRange(source, copy, 0, 0);
    if (result) {
        result = produce(
            [&](std::string_view record) { return copy.Write(record.data(), record.size()); });
    }
    return detail::Finish(result, Outcome::Success(), copy, workingCopyPath);
}

Outcome AddNavaidToFiles(Family family, const std::string& sourcePath,
                         const std::string& workingCopyPath, const NavaidEntry& entry,
                         const std::string& temporaryFile) {
    std::string record;
    if (Outcome encoded = EncodeRecord(family, entry, record); !encoded) return encoded;
    if (Outcome refused = RefuseTemporaryName(sourcePath, workingCopyPath, temporaryFile); !refused)
        return refused;

    bool created = false;
    Outcome result = WriteTemporaryRecord(temporaryFile, record, created);
    if (result) result = ReadTemporaryRecord(temporaryFile, record);
    if (result) result = AppendRecordsToFiles(sourcePath, workingCopyPath, record);
    if (!created) return result;
    Outcome removed = io::RemoveFile(temporaryFile);
    if (result && !removed) {
        // The edit is complete and stays; the user learns of the leftover.
        return Outcome::Warning(removed.file,
                                "the navaid was added, but this temporary file could not be "
                                "deleted: " +
                                    removed.reason);
    }
    return result;
}

std::uint64_t LabelCount(std::uint64_t length, std::size_t recordSize) {
    return length / recordSize + (length % recordSize >= kLabelSize ? 1 : 0);
}

Outcome ListRecordLabels(const std::string& sourcePath, std::size_t recordSize,
                         std::vector<std::string>& labels) {
    labels.clear();
    Outcome result = ForEachLabel(
        sourcePath, recordSize,
        [&labels](std::uint64_t, std::string_view label) { labels.emplace_back(label); });
    if (!result) labels.clear();
    return result;
}

Outcome RewriteRecords(const std::string& sourcePath, const std::string& workingCopyPath,
                       std::size_t recordSize, const RecordReplacer& replace,
                       const std::function<Outcome(const RecordAppender& append)>& append) {
    io::File source;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = RewriteRecords(source, workingCopyPath, recordSize, replace, append);
    return CloseSource(result, source, workingCopyPath);
}

Outcome RewriteRecords(io::File& sourceFile, const std::string& workingCopyPath,
                       std::size_t recordSize, const RecordReplacer& replace,
                       const std::function<Outcome(const RecordAppender& append)>& append) {
    RecordReader source;
    source.Attach(sourceFile, recordSize);
    io::File copy;
    Outcome result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    const std::uint8_t* record = nullptr;
    while (result && (result = source.Next(record)) && record) {
        const RecordFate fate = replace(source.Index(), record);
        if (fate.kind == RecordFate::Replace && fate.bytes.size() == recordSize) {
            result = copy.Write(fate.bytes.data(), fate.bytes.size());
        } else if (fate.kind != RecordFate::Drop) {
            result = copy.Write(record, recordSize);
        }
    }
    if (result) result = copy.Write(source.Trailing().data(), source.Trailing().size());
    if (result && append) {
        result = append(
            [&](std::string_view records) { return copy.Write(records.data(), records.size()); });
    }
    return detail::Finish(result, Outcome::Success(), copy, workingCopyPath);
}

Outcome DeleteNavaid(const std::string& sourcePath, const std::string& workingCopyPath,
                     std::size_t recordSize, long long index) {
    io::File source;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = DeleteNavaid(source, workingCopyPath, recordSize, index);
    return CloseSource(result, source, workingCopyPath);
}

Outcome DeleteNavaid(io::File& source, const std::string& workingCopyPath, std::size_t recordSize,
                     long long index) {
    io::File copy;
    std::uint64_t length = 0;
    Outcome result = source.Size(length);
    const std::uint64_t count = LabelCount(length, recordSize);
    if (result && (index < 0 || static_cast<std::uint64_t>(index) >= count)) {
        // Refused before anything is written: the working copy stays as it was.
        // The request is wrong, not the file.
        Outcome refused = Outcome::Failure(
            source.Path(), "index " + std::to_string(index) + " names no record; the file has " +
                               std::to_string(count) + (count == 1 ? " record" : " records"));
        refused.kind = Outcome::Kind::Usage;
        return refused;
    }
    if (result) result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    const std::uint64_t offset = static_cast<std::uint64_t>(index) * recordSize;
    if (result) result = detail::CopyRange(source, copy, offset, offset + recordSize);
    return detail::Finish(result, Outcome::Success(), copy, workingCopyPath);
}

namespace {

char* AppendText(char* out, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        // The list is a text file: a line feed inside a field becomes CR LF.
        if (bytes[i] == '\n') *out++ = '\r';
        *out++ = static_cast<char>(bytes[i]);
    }
    return out;
}

// Longest line: every ID and name byte a line feed, every number as long as
// it gets, and the longest type text; then room for the words stored past
// the last number's end.
constexpr std::size_t kMaxListLine = 2 * kLabelSize + 5 * (kListNumberSize + 1) + 32 + 16;

// A type text padded to a fixed size, so that it is copied whole.
struct ListType {
    char text[16];
    std::size_t size;
};

// The type texts of one family by type code, looked up once.
const ListType& ListTypeText(Family family, std::uint8_t code) {
    using Table = std::array<ListType, 256>;
    auto make = [](Family f) {
        Table table{};
        for (int c = 0; c < 256; ++c) {
            const std::string_view text = TypeText(f, static_cast<std::uint8_t>(c));
            std::memcpy(table[c].text, text.data(), std::min(text.size(), sizeof table[c].text));
            table[c].size = text.size();
        }
        return table;
    };
    static const Table vor = make(Family::Vor), ndb = make(Family::Ndb);
    return (family == Family::Vor ? vor : ndb)[code];
}

// Whether the 30 bytes of ID and name hold a line feed: four overlapping
// 8-byte words, each tested for a byte equal to 0x0A without a loop or call.
bool HasLineFeed(const std::uint8_t* texts) {
    static_assert(RecordLayout::kIdSize + RecordLayout::kNameSize == 30);
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kLineFeeds = 0x0A * kOnes;
    std::uint64_t found = 0;
    for (std::size_t offset : {0, 8, 16, 22}) {
        std::uint64_t word = 0;
        std::memcpy(&word, texts + offset, 8);
        word ^= kLineFeeds;  // a line feed becomes a zero byte
        found |= (word - kOnes) & ~word;
    }
    return (found & 0x80 * kOnes) != 0;
}

// Writes one record's list line to `line`, which holds kMaxListLine bytes;
// returns its length. Every line of the list is built here.
std::size_t WriteRecordLine(Family family, const std::uint8_t* record, char* line) {
    char* out = line;
    static_assert(RecordLayout::kName == RecordLayout::kId + RecordLayout::kIdSize);
    if (!HasLineFeed(record + RecordLayout::kId)) {
        // The usual record: no line feed in its texts.
        std::memcpy(out, record + RecordLayout::kId, RecordLayout::kIdSize);
        out[RecordLayout::kIdSize] = ',';
        std::memcpy(out + RecordLayout::kIdSize + 1, record + RecordLayout::kName,
                    RecordLayout::kNameSize);
        out += RecordLayout::kIdSize + RecordLayout::kNameSize + 1;
    } else {
        out = AppendText(out, record + RecordLayout::kId, RecordLayout::kIdSize);
        *out++ = ',';
        out = AppendText(out, record + RecordLayout::kName, RecordLayout::kNameSize);
    }
    *out++ = ',';
    // Numbers right-aligned in eight positions.
    for (std::size_t offset : {RecordLayout::kLatitude, RecordLayout::kLongitude,
                               RecordLayout::kFrequency, RecordLayout::kMagVar}) {
        out = WriteListReal(out, ReadFloatLE(record + offset), 8);
        *out++ = ',';
    }
    if (family == Family::Vor) {
        out = WriteListInteger(out, ReadInt32LE(record + RecordLayout::kAltitude), 8);
        *out++ = ',';
    }
    const ListType& type = ListTypeText(family, record[RecordLayout::kTypeBlock]);
    std::memcpy(out, "    ", 4);
    out += 4;
    std::memcpy(out, type.text, sizeof type.text);
    out += type.size;
    std::memcpy(out, ",\r\n", 3);
    return static_cast<std::size_t>(out + 3 - line);
}

}  // namespace

std::string ListHeaderLine(Family family) {
    return family == Family::Vor
               ? "ID ,Name ,  Latitude ,   Longitude ,   Frequency ,   MagVar ,  Altitude ,    "
                 "Type ,\r\n"
               : "ID ,Name ,Latitude ,Longitude ,Frequency ,MagVar ,Type ,\r\n";
}

std::string ListRecordLine(Family family, const std::uint8_t* record) {
    char line[kMaxListLine];
    return std::string(line, WriteRecordLine(family, record, line));
}

Outcome ExportNavaidList(Family family, const std::string& sourcePath,
                         const std::string& listPath) {
    RecordReader source;
    io::File list;
    Outcome result = source.Open(sourcePath, RecordSize(family));
    if (result) result = list.Open(listPath, io::OpenMode::WriteTruncate);
    // Each finished line is handed to the system at once.
    auto writeLine = [&list](const char* line, std::size_t size) {
        return list.WriteThrough(line, size);
    };
    if (result) {
        const std::string header = ListHeaderLine(family);
        result = writeLine(header.data(), header.size());
    }
    // A trailing partial record gives no line. The lines are built a batch
    // at a time from records the reader already holds, then written one
    // system call each: built together, they find the formatting code and
    // its tables still in the cache, where a system call between every two
    // lines would have evicted them. Reads and writes keep their order, as a
    // batch ends where the reader would have to read.
    constexpr std::size_t kBatch = 32;
    char lines[kBatch * kMaxListLine];
    std::size_t ends[kBatch];
    const std::uint8_t* record = nullptr;
    // A call's outcome is kept only when it failed: moving a success into
    // `result` twice a line would cost more than building the line's text.
    while (result) {
        Outcome read = source.Next(record);
        if (!read || record == nullptr) {
            if (!read) result = std::move(read);
            break;
        }
        std::size_t count = 0, end = 0;
        for (;;) {
            end += WriteRecordLine(family, record, lines + end);
            ends[count++] = end;
            if (count == kBatch || source.Buffered() == 0) break;
            record = source.NextBuffered();
        }
        for (std::size_t i = 0, begin = 0; i < count; begin = ends[i++]) {
            if (Outcome wrote = writeLine(lines + begin, ends[i] - begin); !wrote) {
                result = std::move(wrote);
                break;
            }
        }
    }
    return detail::Finish(result, source.Close(), list, listPath);
}

}  // namespace navaid
