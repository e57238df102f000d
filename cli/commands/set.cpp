// navaid set: DATABASE.new as the database with fields of one record changed in place.
#include <array>

#include "command.h"
#include "database.h"
#include "entry_texts.h"
#include "navaid_db.h"
#include "staged_output.h"

namespace navaid::cli {

namespace {

// The record add would make of the given fields (the others stand in with
// values add takes), so each given value is checked as add checks it.
std::string Encoded(const CommandLine& line) {
    const EntryTexts texts = EntryTextsOf(line, line.family);
    NavaidEntry entry;
    if (Outcome built = BuildEntry(line.family, texts, entry); !built)
        RefuseUsage("--" + built.field + ": " + built.reason);
    std::string record;
    if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded) {
        RefuseUsage(encoded.reason);
    }
    return record;
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const std::string& indexText = line.positional[1];
    const std::uint64_t index = ParseRecordIndex(indexText);
    const std::size_t size = RecordSize(line.family);
    const std::uint64_t count = line.databaseBytes / size;
    // What is wrong in the command line itself comes first.
    if (line.options.empty()) RefuseUsage("no field to set (--id, --name, --lat ...)");
    const std::string made = Encoded(line);
    if (index >= count) return NoRecordAt(database, count, indexText);
    std::string changed;
    StagedOutput out(WorkingCopyName(database));
    if (Outcome written = out.Write([&](const std::string& path) {
            return line.Database().CopyWith([&](io::File& file) {
                return RewriteRecords(
                    file, path, size, [&](std::uint64_t at, const std::uint8_t* record) {
                        if (at != index) return RecordFate{};
                        changed.assign(reinterpret_cast<const char*>(record), size);
                        for (const EntryField& field : EntryFields()) {
                            if (!field.option.Given(line)) continue;
                            const std::size_t bytes = field.size ? field.size : size - field.offset;
                            changed.replace(field.offset, bytes, made, field.offset, bytes);
                        }
                        return RecordFate{RecordFate::Replace, changed};
                    });
            });
        });
        !written)
        return written;
    out.Report(console) << ": " << Records(count) << ", " << ShownName(database) << " with record "
                        << index << " changed\n";
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
