#include "change_map_output.h"

#include <cerrno>

#include "code_page.h"
#include "file_io.h"
#include "options.h"
#include "text.h"

namespace navaid::cli {

ChangeMapOutput::ChangeMapOutput(const CommandLine& line, const char* goneWord,
                                 const char* cameWord)
    : out_(MapOption().Given(line)) {
    job_.family = line.family;
    job_.goneWord = goneWord;
    job_.cameWord = cameWord;
}

Outcome ChangeMapOutput::Check(const std::vector<std::string>& files) {
    if (!out_) return Outcome::Success();
    if (Outcome refused = RefuseStandardOutput(MapOption().Name(), *out_, "map", "a .svg file");
        !refused)
        return refused;
    if (Outcome refused = RefuseRunFiles("--" + std::string(MapOption().Name()), *out_, files);
        !refused)
        return refused;
    sink_.emplace(*out_);
    if (Outcome checked = sink_->Check(); !checked) return checked;
    // A missing folder would refuse the map only once the run had written the rest.
    bool folder = false;
    const Outcome queried = io::IsFolder(io::FolderOf(*out_), folder);
    if (!queried) return Outcome::Failure(*out_, queried.reason);
    return folder ? Outcome::Success() : Outcome::Failure(*out_, io::ErrorText(ENOTDIR));
}

namespace {

std::string Escaped(std::string_view bytes) { return EscapedToUtf8(EscapeBytes(bytes)); }

}  // namespace

void ChangeMapOutput::Keep(const ReportEvent& event) {
    if (!out_ || event.piece) return;
    using Kind = ReportEvent::Kind;
    const Family family = job_.family;
    const DecodedRecord r = DecodeRecord(family, event.record.data());
    const DecodedRecord now = event.after.empty() ? r : DecodeRecord(family, event.after.data());
    const std::string id(TrimWhiteSpace(now.id));
    std::string note = (event.index ? std::to_string(*event.index) + " " : "") + Escaped(id) + ": ";
    if (event.kind == Kind::Changed) note += Escaped(ChangesText(event.changes));
    if (event.kind == Kind::Removed) note += job_.goneWord;
    if (event.kind == Kind::Added) note += std::string(job_.cameWord) + " " + now.type;
    const auto kind = event.kind == Kind::Changed   ? MapChange::Kind::Changed
                      : event.kind == Kind::Removed ? MapChange::Kind::Gone
                                                    : MapChange::Kind::Came;
    job_.changes.push_back({kind, now.typeCode, id, now.latitude, now.longitude, r.latitude,
                            r.longitude, std::move(note)});
    // An added record's index is in the newer file; the others' are of the older one's records.
    if (event.kind == Kind::Added || !event.index) return;
    if (*event.index >= job_.touched.size()) job_.touched.resize(*event.index + 1);
    job_.touched[*event.index] = true;
}

Outcome ChangeMapOutput::Write(DatabaseFile& older, std::string title,
                               const std::optional<Circle>& near, const Console& console,
                               const std::string* written) {
    if (!out_) return Outcome::Success();
    job_.title = std::move(title);
    job_.near = near;
    job_.records = older.Records();
    ChangeMapCounts counts;
    bool same = false;
    // A link made meanwhile, or one to a file the run has only now written.
    Outcome drawn = written ? io::SameFile(*out_, *written, same) : Outcome::Success();
    if (drawn && same) drawn = Outcome::Failure(*out_, "would replace " + ShownName(*written));
    if (drawn) drawn = DrawChanges(job_, *sink_, counts);
    if (!drawn) {
        if (written) drawn.reason += " (" + ShownName(*written) + " is in place)";
        return drawn;
    }
    const std::uint64_t changes = job_.changes.size();
    sink_->Report(console) << ": "
                           << (counts.changes == changes ? ""
                                                         : std::to_string(counts.changes) + " of ")
                           << Counted(changes, "change") << " and "
                           << Counted(counts.unchanged, "unchanged record") << " drawn\n";
    return Outcome::Success();
}

}  // namespace navaid::cli
