// navaid diff: the records removed from one database and added in another.
#include "command.h"
#include "database.h"
#include "edit_script.h"

namespace navaid::cli {

namespace {

// A file's records read forward to the ones the edits name, for their lines.
class Cursor {
public:
    Outcome Open(const std::string& path, Family family) {
        path_ = path;
        return reader_.Open(path, RecordSize(family), io::OpenMode::Read);
    }
    // The record at `index`, which is not before the one given last.
    Outcome Seek(std::uint64_t index, const std::uint8_t*& record) {
        while (record_ == nullptr || reader_.Index() < index) {
            if (Outcome next = reader_.Next(record_); !next) return next;
            if (record_ == nullptr) return Outcome::Failure(path_, "it changed while it was read");
        }
        record = record_;
        return Outcome::Success();
    }
    Outcome Close() { return reader_.Close(); }

private:
    std::string path_;
    RecordReader reader_;
    const std::uint8_t* record_ = nullptr;
};

Ending Run(const CommandLine& line, const Console& console) {
    RecordHashes hashes[2];
    for (int i = 0; i < 2; ++i)
        if (Outcome read = HashRecords(line.positional[i], line.family, hashes[i]); !read)
            return read;
    // The lines come from a second read of both files: only the hashes were kept.
    Cursor cursors[2];
    bool opened = false;
    Outcome printed = Outcome::Success();
    const bool differ = ForEachEdit(hashes[0], hashes[1], [&](const Edit& edit) {
        if (!opened) {
            opened = true;
            for (int i = 0; i < 2 && printed; ++i)
                printed = cursors[i].Open(line.positional[i], line.family);
        }
        const std::uint8_t* record = nullptr;
        if (printed) printed = cursors[edit.added].Seek(edit.index, record);
        if (printed)
            console.out << (edit.added ? "+ " : "- ")
                        << console.Shown(RecordLine(line.family, edit.index, record)) << '\n';
    });
    // A piece after the last record is no record, but it differs all the same.
    const bool pieces = hashes[0].trailing != hashes[1].trailing;
    for (int i = 0; i < 2 && pieces; ++i) {
        if (hashes[i].trailing.empty()) continue;
        console.out << (i ? "+ " : "- ") << "a piece of " << hashes[i].trailing.size()
                    << " bytes after its " << Records(hashes[i].Size()) << "\n";
    }
    if (!differ) return pieces ? kExitFindings : kExitOk;
    for (Cursor& cursor : cursors)
        if (printed) printed = cursor.Close();
    if (!printed) return printed;
    return kExitFindings;
}

}  // namespace

const CommandInfo kDiffCommand{
    "diff",
    "print the records removed from OLD and added in NEW",
    {"OLD", "NEW"},
    {},
    kReadsDatabase | kReadsSecond,
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A changed\n"
    "record is one removed and one added; a piece after the last record that\n"
    "differs is shown last. Exit status 0 when both hold the same records in the\n"
    "same order (and the same piece after them), 3 when they differ.\n"
    "\n"
    "Example:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n",
    Run};

}  // namespace navaid::cli
