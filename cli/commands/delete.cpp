// navaid delete: DATABASE.new as the database without one record, or without
// every record a selection picks.
#include "command.h"
#include "database.h"
#include "edits.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

Deletion DeletionOf(const CommandLine& line) {
    Deletion deletion;
    deletion.selects = !line.options.empty();
    if (deletion.selects == (line.positional.size() > 1)) {
        RefuseUsage(deletion.selects ? "give INDEX or a selection, not both"
                                     : "missing INDEX or a selection (--id, --name, --type, "
                                       "--near)");
    }
    if (deletion.selects) {
        deletion.query = QueryOf(line);
    } else {
        deletion.indexText = line.positional[1];
        deletion.index = ParseRecordIndex(deletion.indexText);
    }
    return deletion;
}

namespace {

Ending DeleteIndex(const CommandLine& line, const Deletion& deletion, const Console& console) {
    const std::string& database = line.positional[0];
    const std::string& indexText = deletion.indexText;
    const std::uint64_t index = deletion.index;
    // The size is the one the tool checked: the database is whole records.
    const std::uint64_t count = line.databaseBytes / RecordSize(line.family);
    if (index >= count) return NoRecordAt(database, count, indexText);
    StagedOutput out(WorkingCopyName(database));
    if (Outcome deleted = out.Write([&](const std::string& path) {
            return line.Database().CopyWith([&](io::File& file) {
                return DeleteNavaid(file, path, RecordSize(line.family),
                                    static_cast<long long>(index));
            });
        });
        !deleted)
        return deleted;
    out.Report(console) << ": " << Records(count - 1) << ", " << ShownName(database)
                        << " without record " << index << "\n";
    return kExitOk;
}

// Whether the query picks any record of the database (a regular file, which
// can be read again); a failed read says so when the database is copied.
bool Picks(const CommandLine& line, const FindQuery& query) {
    bool picks = false;
    line.Database().ForEach([&](std::uint64_t, const std::uint8_t* record) {
        picks = picks || Matches(query, line.family, DecodeRecord(line.family, record));
    });
    return picks;
}

// Every selected record goes; each is listed as find lists it.
Ending DeleteSelection(const CommandLine& line, const FindQuery& query, const Console& console) {
    const std::string& database = line.positional[0];
    std::uint64_t gone = 0;
    StagedOutput out(WorkingCopyName(database));
    if (Outcome checked = out.Check(); !checked) return checked;
    // A direct output (a FIFO) sees every byte: nothing goes there before
    // the selection is known to pick a record.
    if (out.Direct() && !Picks(line, query)) return NoneSelected(line);
    const Outcome deleted = line.Database().CopyWith([&](io::File& file) {
        return RewriteRecords(
            file, out.Path(), RecordSize(line.family),
            [&](std::uint64_t index, const std::uint8_t* record) {
                if (!Matches(query, line.family, DecodeRecord(line.family, record)))
                    return RecordFate{};
                ++gone;
                console.out << "- " << console.Shown(RecordLine(line.family, index, record))
                            << '\n';
                return RecordFate{RecordFate::Drop, {}};
            });
    });
    if (!deleted) return out.Named(deleted);
    // Nothing to delete is a mistake in the selection: the copy is not kept.
    if (gone == 0) return NoneSelected(line);
    if (Outcome moved = out.Commit(); !moved) return out.Named(moved);
    const std::uint64_t count = line.databaseBytes / RecordSize(line.family);
    out.Report(console) << ": " << Records(count - gone) << ", " << ShownName(database)
                        << " without " << Records(gone) << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kDeleteCommand{
    "delete",
    "write DATABASE.new as the database without one record, or a selection",
    {"DATABASE", "[INDEX]"},
    QueryOptions(),
    kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily,
    "Writes DATABASE.new as the database without the record at INDEX (counting\n"
    "from 0, as 'navaid labels' and 'navaid find' print it), or without every\n"
    "record the options select as 'navaid find' selects them, each listed. Later\n"
    "records move forward. An index or a selection that names no record writes\n"
    "nothing and exits with status 1.\n"
    "\n"
    "Examples:\n"
    "  navaid find vor vor.qvz --id FFM      # prints e.g. 17<TAB>FFM ...\n"
    "  navaid delete vor vor.qvz 17\n"
    "  navaid delete ndb ndb.qvz --near 50,8 --within 20 --type NDB\n",
    [](const CommandLine& line, const Console& console) -> Ending {
        const Deletion deletion = DeletionOf(line);
        return deletion.selects ? DeleteSelection(line, deletion.query, console)
                                : DeleteIndex(line, deletion, console);
    }};

}  // namespace navaid::cli
