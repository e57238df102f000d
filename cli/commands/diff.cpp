// navaid diff: the records removed from one database and added in another.
#include <cmath>

#include "command.h"
#include "database.h"
#include "edit_script.h"
#include "number_format.h"
#include "record_changes.h"
#include "text.h"

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

// The edits between two stretches of common records: records removed and
// added there are shown as one changed record where they pair up.
class Hunk {
public:
    Hunk(Family family, double matchNm, const Console& console)
        : family_(family), matchNm_(matchNm), console_(console) {}

    // Starts a new hunk when common records stand between this edit and the last.
    void Add(const Edit& edit, const std::uint8_t* record) {
        const std::size_t size = RecordSize(family_);
        const std::size_t at = edit.added ? next_[1] : next_[0];
        if (edit.index != at || (edit.added ? added_ : removed_).size() >= kMaxPaired) {
            Flush();
            const std::size_t kept = edit.index - at;
            next_[0] += kept;
            next_[1] += kept;
        }
        (edit.added ? added_ : removed_)
            .push_back({edit.index, std::string(reinterpret_cast<const char*>(record), size)});
        ++next_[edit.added];
    }
    void Flush();

private:
    // Pairing searches every removed record against every added one.
    static constexpr std::size_t kMaxPaired = 2000;
    struct Kept {
        std::size_t index;
        std::string bytes;
        bool paired = false;
    };
    const std::uint8_t* Bytes(const Kept& kept) const {
        return reinterpret_cast<const std::uint8_t*>(kept.bytes.data());
    }
    void Line(const char* sign, const Kept& kept) {
        console_.out << sign << console_.Shown(RecordLine(family_, kept.index, Bytes(kept)))
                     << '\n';
    }
    Family family_;
    double matchNm_;
    const Console& console_;
    std::size_t next_[2] = {0, 0};  // the index after the last edit, in OLD and NEW
    std::vector<Kept> removed_, added_;
};

void Hunk::Flush() {
    // By ID within the distance first, then what stands at the same place.
    std::vector<Kept*> partner(removed_.size(), nullptr);
    for (std::size_t r = 0; r < removed_.size(); ++r) {
        const DecodedRecord a = DecodeRecord(family_, Bytes(removed_[r]));
        for (Kept& added : added_) {
            if (added.paired) continue;
            const DecodedRecord b = DecodeRecord(family_, Bytes(added));
            if (TrimWhiteSpace(a.id) == TrimWhiteSpace(b.id) &&
                DistanceNm(a.latitude, a.longitude, b.latitude, b.longitude) <= matchNm_) {
                added.paired = true;
                partner[r] = &added;
                break;
            }
        }
    }
    for (std::size_t r = 0, next = 0; r < removed_.size(); ++r) {
        if (partner[r]) continue;
        while (next < added_.size() && added_[next].paired) ++next;
        if (next == added_.size()) break;
        added_[next].paired = true;
        partner[r] = &added_[next];
    }
    for (std::size_t r = 0; r < removed_.size(); ++r) {
        if (!partner[r]) {
            Line("- ", removed_[r]);
            continue;
        }
        const std::string id(TrimWhiteSpace(DecodeRecord(family_, Bytes(removed_[r])).id));
        console_.out << "~ " << removed_[r].index << ' ' << console_.Shown(EscapeBytes(id)) << ": "
                     << console_.Shown(ChangesText(ChangedFields(family_, Bytes(removed_[r]),
                                                                 Bytes(*partner[r]), AllFields())))
                     << '\n';
    }
    for (const Kept& added : added_)
        if (!added.paired) Line("+ ", added);
    removed_.clear();
    added_.clear();
}

Ending Run(const CommandLine& line, const Console& console) {
    Hunk hunk(line.family, MatchWithin(line), console);
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
        if (printed) hunk.Add(edit, record);
    });
    hunk.Flush();
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
    {{"match-within", "NM", "a removed and an added record of one ID this near are a change (10)"}},
    kReadsDatabase | kReadsSecond,
    "Compares the complete records of two databases, as a review of an edit\n"
    "before DATABASE.new takes the place of DATABASE. Prints one line per record\n"
    "removed from OLD (\"- \") or added in NEW (\"+ \"): its index in that file, a\n"
    "TAB, and its columns as 'navaid find' prints them, in file order. A record\n"
    "removed and one added at the same place, or of the same ID within\n"
    "--match-within NM, are one changed record (\"~ \"): its index in OLD, its ID\n"
    "and each changed field as old -> new, numbers with every digit they need. A\n"
    "piece after the last record that differs is shown last. Exit status 0 when\n"
    "both hold the same records in the same order (and the same piece after\n"
    "them), 3 when they differ.\n"
    "\n"
    "Example:\n"
    "  navaid diff vor vor.qvz vor.qvz.new\n",
    Run};

}  // namespace navaid::cli
