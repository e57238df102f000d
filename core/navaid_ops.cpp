#include <algorithm>

#include "copy_util.h"
#include "navaid_db.h"

namespace navaid {

namespace detail {

Outcome CopyRange(io::File& in, io::File& out, std::uint64_t skipBegin, std::uint64_t skipEnd) {
    std::vector<char> buffer(kCopyChunk);
    std::uint64_t position = 0;
    for (;;) {
        std::size_t got = 0;
        if (Outcome read = in.Read(buffer.data(), buffer.size(), got); !read) return read;
        if (got == 0) return Outcome::Success();
        const std::uint64_t end = position + got;
        // The part before the skipped range, then the part after it.
        const std::uint64_t keepBefore = std::min(end, std::max(position, skipBegin));
        if (keepBefore > position) {
            if (Outcome w = out.Write(buffer.data(), keepBefore - position); !w) return w;
        }
        const std::uint64_t resume = std::max(position, std::max(keepBefore, skipEnd));
        if (resume < end) {
            if (Outcome w = out.Write(buffer.data() + (resume - position), end - resume); !w)
                return w;
        }
        position = end;
    }
}

Outcome Finish(Outcome result, io::File& in, io::File& out, const std::string& outputPath) {
    Outcome inClosed = in.Close();
    Outcome outClosed = out.Close();
    if (result) result = inClosed ? outClosed : inClosed;
    if (!result && out.Emptied()) io::RemoveFile(outputPath);
    return result;
}

}  // namespace detail

namespace {

// Building the record in the temporary file would overwrite a database that
// lives under that very name.
Outcome RefuseTemporaryName(const std::string& sourcePath, const std::string& workingCopyPath) {
    for (const std::string* path : {&sourcePath, &workingCopyPath}) {
        bool same = false;
        if (Outcome checked = io::SameFile(*path, kTemporaryRecordFile, same); !checked)
            return checked;
        if (same)
            return Outcome::Failure(*path, std::string("cannot add to a file named \"") +
                                               kTemporaryRecordFile +
                                               "\" in the current folder: that name is "
                                               "used for the record being built");
    }
    return Outcome::Success();
}

// Writes the encoded record to the temporary file and closes it. `created`
// tells whether the file is this addition's own, to be deleted afterwards.
Outcome WriteTemporaryRecord(const std::string& record, bool& created) {
    io::File temp;
    Outcome opened = temp.Open(kTemporaryRecordFile, io::OpenMode::WriteTruncate);
    created = temp.Emptied();
    if (!opened) return opened;
    Outcome written = temp.Write(record.data(), record.size());
    Outcome closed = temp.Close();
    return written ? closed : written;
}

// Reads the temporary file back. Another instance working in the same folder
// may have removed or rewritten it meanwhile; only the record this addition
// encoded may be appended.
Outcome ReadTemporaryRecord(const std::string& record) {
    io::File temp;
    Outcome result = temp.Open(kTemporaryRecordFile, io::OpenMode::ReadCreate);
    std::string built;
    std::vector<char> buffer(record.size() + 1);
    for (std::size_t got = 1; result && got > 0 && built.size() <= record.size();) {
        result = temp.Read(buffer.data(), buffer.size(), got);
        built.append(buffer.data(), got);
    }
    if (Outcome closed = temp.Close(); result) result = closed;
    if (result && built != record)
        return Outcome::Failure(kTemporaryRecordFile,
                                "the record built in this file changed before it was appended "
                                "(is another copy of the program adding in this folder?)");
    return result;
}

}  // namespace

Outcome AddNavaidToFiles(Family family, const std::string& sourcePath,
                         const std::string& workingCopyPath, const NavaidEntry& entry) {
    std::string record;
    if (Outcome encoded = EncodeRecord(family, entry, record); !encoded) return encoded;
    if (Outcome refused = RefuseTemporaryName(sourcePath, workingCopyPath); !refused)
        return refused;

    bool created = false;
    Outcome result = WriteTemporaryRecord(record, created);
    if (result) result = ReadTemporaryRecord(record);
    if (result) {
        io::File source, copy;
        result = source.Open(sourcePath, io::OpenMode::ReadCreate);
        if (result) result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
        if (result) result = detail::CopyRange(source, copy, 0, 0);
        if (result) result = copy.Write(record.data(), record.size());
        result = detail::Finish(result, source, copy, workingCopyPath);
    }
    if (!created) return result;
    Outcome removed = io::RemoveFile(kTemporaryRecordFile);
    if (result && !removed) {
        // The edit is complete and stays; the user learns of the leftover.
        return Outcome::Warning(removed.file,
                                "the navaid was added, but this temporary file could not be "
                                "deleted: " +
                                    removed.reason);
    }
    return result;
}

Outcome AddNavaid(std::string_view kind, std::string_view id, std::string_view name, float latitude,
                  float longitude, float frequency, float magVar, std::int32_t altitude,
                  std::string_view typeName) {
    Family family;
    if (kind == "V") {
        family = Family::Vor;
    } else if (kind == "N") {
        family = Family::Ndb;
    } else {
        return Outcome::Failure("", "unknown navaid kind \"" + std::string(kind) + "\"");
    }
    NavaidEntry entry{std::string(id), std::string(name),    latitude, longitude, frequency, magVar,
                      altitude,        std::string(typeName)};
    const FamilySlots& slots = FileSlots[family];
    return AddNavaidToFiles(family, slots.sourcePath, slots.workingCopyPath, entry);
}

std::uint64_t LabelCount(std::uint64_t length, std::size_t recordSize) {
    return length / recordSize + (length % recordSize >= kLabelSize ? 1 : 0);
}

Outcome ListRecordLabels(const std::string& sourcePath, std::size_t recordSize,
                         std::vector<std::string>& labels) {
    labels.clear();
    io::File source;
    if (Outcome opened = source.Open(sourcePath, io::OpenMode::ReadCreate); !opened) return opened;
    std::vector<char> buffer(detail::kCopyChunk);
    std::string label;
    std::size_t inRecord = 0;  // position of the next byte within its record
    for (;;) {
        std::size_t got = 0;
        if (Outcome read = source.Read(buffer.data(), buffer.size(), got); !read) {
            labels.clear();
            source.Close();
            return read;
        }
        if (got == 0) break;
        for (std::size_t i = 0; i < got; ++i) {
            if (inRecord < kLabelSize) {
                label.push_back(buffer[i]);
                if (inRecord + 1 == kLabelSize) {
                    // A label ends before its first zero byte.
                    labels.emplace_back(label.c_str());
                    label.clear();
                }
            }
            if (++inRecord == recordSize) inRecord = 0;
        }
    }
    if (Outcome closed = source.Close(); !closed) {
        labels.clear();
        return closed;
    }
    return Outcome::Success();
}

Outcome DeleteNavaid(const std::string& sourcePath, const std::string& workingCopyPath,
                     std::size_t recordSize, long long index) {
    io::File source, copy;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    std::uint64_t length = 0;
    if (result) result = source.Size(length);
    const std::uint64_t count = LabelCount(length, recordSize);
    if (result && (index < 0 || static_cast<std::uint64_t>(index) >= count)) {
        // Refused before anything is written: the working copy stays as it was.
        source.Close();
        return Outcome::Failure(sourcePath, "there is no navaid number " + std::to_string(index) +
                                                " in this file (it holds " + std::to_string(count) +
                                                ")");
    }
    if (result) result = copy.Open(workingCopyPath, io::OpenMode::WriteTruncate);
    const std::uint64_t offset = static_cast<std::uint64_t>(index) * recordSize;
    if (result) result = detail::CopyRange(source, copy, offset, offset + recordSize);
    return detail::Finish(result, source, copy, workingCopyPath);
}

namespace {

void AppendText(std::string& line, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        // The list is a text file: a line feed inside a field becomes CR LF.
        if (bytes[i] == '\n') line += '\r';
        line += static_cast<char>(bytes[i]);
    }
}

}  // namespace

std::string ListHeaderLine(Family family) {
    return family == Family::Vor
               ? "ID ,Name ,  Latitude ,   Longitude ,   Frequency ,   MagVar ,  Altitude ,    "
                 "Type ,\r\n"
               : "ID ,Name ,Latitude ,Longitude ,Frequency ,MagVar ,Type ,\r\n";
}

std::string ListRecordLine(Family family, const std::uint8_t* record) {
    const DecodedRecord r = DecodeRecord(family, record);
    std::string line;
    line.reserve(128);
    AppendText(line, record + RecordLayout::kId, RecordLayout::kIdSize);
    line += ',';
    AppendText(line, record + RecordLayout::kName, RecordLayout::kNameSize);
    line += ',';
    for (float value : {r.latitude, r.longitude, r.frequency, r.magVar})
        line += PadLeft(FormatListReal(value)) + ',';
    if (family == Family::Vor) line += PadLeft(FormatListInteger(r.altitude)) + ',';
    line += "    ";
    line += TypeText(family, r.typeCode);
    line += ",\r\n";
    return line;
}

Outcome ExportNavaidList(Family family, const std::string& sourcePath,
                         const std::string& listPath) {
    io::File source, list;
    Outcome result = source.Open(sourcePath, io::OpenMode::ReadCreate);
    if (result) result = list.Open(listPath, io::OpenMode::WriteTruncate);
    // Each finished line is handed to the system at once.
    auto writeLine = [&list](const std::string& line) {
        Outcome written = list.Write(line.data(), line.size());
        return written ? list.Flush() : written;
    };
    if (result) result = writeLine(ListHeaderLine(family));

    const std::size_t recordSize = RecordSize(family);
    std::vector<char> buffer(detail::kCopyChunk);
    std::uint8_t record[kVorRecordSize];
    std::size_t filled = 0, got = 0;
    // A trailing partial record gives no line.
    while (result && (result = source.Read(buffer.data(), buffer.size(), got)) && got > 0) {
        for (std::size_t i = 0; result && i < got;) {
            const std::size_t take = std::min(recordSize - filled, got - i);
            std::copy_n(reinterpret_cast<const std::uint8_t*>(buffer.data()) + i, take,
                        record + filled);
            filled += take;
            i += take;
            if (filled == recordSize) {
                filled = 0;
                result = writeLine(ListRecordLine(family, record));
            }
        }
    }
    return detail::Finish(result, source, list, listPath);
}

}  // namespace navaid
