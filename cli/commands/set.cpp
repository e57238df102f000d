// navaid set: DATABASE.new as the database with fields of one record changed in place.
#include <array>

#include "command.h"
#include "database.h"
#include "edits.h"
#include "entry_texts.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

void FieldChange::ApplyTo(std::string& record) const {
    for (const auto& [offset, size] : fields) record.replace(offset, size, made, offset, size);
}

FieldChange FieldChangeOf(const CommandLine& line) {
    FieldChange change{ParseRecordIndex(line.positional[1]), line.positional[1], {}, {}};
    if (line.options.empty()) RefuseUsage("no field to set (--id, --name, --lat ...)");
    change.made = EntryRecord(line);
    for (const EntryField& field : EntryFields())
        if (field.option.Given(line))
            change.fields.emplace_back(field.offset,
                                       field.size ? field.size : change.made.size() - field.offset);
    return change;
}

namespace {

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const std::size_t size = RecordSize(line.family);
    const std::uint64_t count = line.databaseBytes / size;
    // What is wrong in the command line itself comes first.
    const FieldChange change = FieldChangeOf(line);
    if (change.index >= count) return NoRecordAt(database, count, change.indexText);
    std::string changed;
    StagedOutput out(WorkingCopyName(database));
    if (Outcome written = out.Write([&](const std::string& path) {
            return line.Database().CopyWith([&](io::File& file) {
                return RewriteRecords(
                    file, path, size, [&](std::uint64_t at, const std::uint8_t* record) {
                        if (at != change.index) return RecordFate{};
                        changed.assign(reinterpret_cast<const char*>(record), size);
                        change.ApplyTo(changed);
                        return RecordFate{RecordFate::Replace, changed};
                    });
            });
        });
        !written)
        return written;
    out.Report(console) << ": " << Records(count) << ", " << ShownName(database) << " with record "
                        << change.index << " changed\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kSetCommand{
    "set",
    "write DATABASE.new as the database with fields of one record changed",
    {"DATABASE", "INDEX"},
    EntryOptions(false),
    kReadsDatabase | kWritesNew | kEditsDatabase | kOwnFamily,
    "Writes DATABASE.new as the database with the record at INDEX (as 'navaid\n"
    "labels' and 'navaid find' print it) changed in the fields given, in its\n"
    "place; every other byte stays as it was. Each value is checked as 'navaid\n"
    "add' checks it, and a refused one writes nothing.\n"
    "\n"
    "Example:\n"
    "  navaid set vor vor.qvz 17 --freq 114.35 --type VOR-DME\n",
    Run};

}  // namespace navaid::cli
