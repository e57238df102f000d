// navaid update: DATABASE.new as the database brought up to a newer file's
// data, each record changed in its place, with a report of what differs.
#include "update.h"

#include "code_page.h"
#include "command.h"
#include "database.h"
#include "interchange.h"
#include "line_reader.h"
#include "navaid_db.h"
#include "staged_output.h"
#include "text.h"

namespace navaid::cli {

namespace {

std::vector<RecordField> FieldsOf(const CommandLine& line) {
    static const std::pair<std::string_view, RecordField> kNames[] = {
        {"position", RecordField::Position}, {"freq", RecordField::Freq},
        {"magvar", RecordField::MagVar},     {"alt", RecordField::Alt},
        {"type", RecordField::Type},         {"name", RecordField::Name}};
    std::vector<RecordField> fields;
    const std::string list = line.Option("fields").value_or("position,freq,magvar,alt,type");
    for (std::size_t start = 0; start <= list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string word = LowerCase(TrimWhiteSpace(list.substr(start, comma - start)));
        auto found = std::find_if(std::begin(kNames), std::end(kNames),
                                  [&](const auto& name) { return name.first == word; });
        if (found == std::end(kNames))
            throw UsageError("--fields: '" + word +
                             "' is not position, freq, magvar, alt, type or name");
        fields.push_back(found->second);
        start = comma + 1;
    }
    return fields;
}

bool IsDatabaseName(const std::string& path) {
    const std::string lower = LowerCase(path);
    return lower.ends_with(".qvz") || lower.ends_with(".new");
}

// NEWER's navaids of the family inside the circle, encoded as import stores them.
Outcome ReadNewer(const CommandLine& line, const std::optional<Circle>& near,
                  UpdateNavaids& navaids) {
    const std::string& newer = line.positional[1];
    if (IsDatabaseName(newer)) {
        const std::size_t size = RecordSize(line.family);
        return ReadRecords(newer, line.family, [&](std::uint64_t, const std::uint8_t* record) {
            const DecodedRecord r = DecodeRecord(line.family, record);
            if (Inside(near, r.latitude, r.longitude))
                navaids.Add(std::string_view(reinterpret_cast<const char*>(record), size), 0);
        });
    }
    std::vector<std::string> head;
    if (Outcome read = ReadHead(newer, kHeadLines, head); !read) return read;
    const Format* format = FormatOfHead(head);
    if (format == nullptr) return UnknownFormat(newer, head);
    ImportTally tally;
    const ImportFilter filter{line.family, near, std::nullopt, false};
    return format->read(
        newer, filter,
        [&](const NavaidEntry& entry) {
            std::string record;
            if (Outcome encoded = EncodeRecord(line.family, entry, record); !encoded)
                return Outcome::Failure(newer, encoded.reason);
            navaids.Add(record, entry.unstated);
            return Outcome::Success();
        },
        tally);
}

std::string Named(const Console& console, std::string_view record) {
    return console.Shown(
        EscapeBytes(TrimWhiteSpace(record.substr(0, RecordLayout::kIdSize))) + " " +
        EscapeBytes(TrimWhiteSpace(record.substr(RecordLayout::kName, RecordLayout::kNameSize))));
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& database = line.positional[0];
    const std::optional<Circle> near = CircleOf(line);
    const std::vector<RecordField> fields = FieldsOf(line);
    const double within = MatchWithin(line);
    const bool dryRun = line.Option("dry-run").has_value();
    const bool removeWithdrawn = line.Option("remove-withdrawn").has_value();
    const bool addNew = line.Option("add-new").has_value();
    const std::size_t size = RecordSize(line.family);

    // NEWER first: its reader's pairing is gone before the records are kept.
    UpdateNavaids navaids(line.family);
    if (Outcome newer = ReadNewer(line, near, navaids); !newer) return newer;
    // The records that take part, small: those outside the circle stay as they are.
    std::vector<UpdateRecord> records;
    records.reserve(line.databaseBytes / size);
    Outcome read =
        ReadRecords(database, line.family, [&](std::uint64_t index, const std::uint8_t* r) {
            const DecodedRecord d = DecodeRecord(line.family, r);
            if (Inside(near, d.latitude, d.longitude))
                records.push_back({static_cast<std::uint32_t>(index), KeyOf(d.id), d.typeCode,
                                   d.latitude, d.longitude});
        });
    if (!read) return read;
    const std::vector<long long> partner = MatchRecords(records, navaids, within);

    std::uint64_t unchanged = 0, changed = 0, withdrawn = 0;
    std::size_t next = 0;  // the next record that takes part
    std::string updated;
    auto visit = [&](std::uint64_t index, const std::uint8_t* record) -> RecordFate {
        if (next == records.size() || records[next].index != index) return {};
        const long long navaid = partner[next++];
        const std::string_view bytes(reinterpret_cast<const char*>(record), size);
        if (navaid < 0) {
            ++withdrawn;
            console.out << "- " << index << ' ' << Named(console, bytes) << ": withdrawn\n";
            return removeWithdrawn ? RecordFate{RecordFate::Drop, {}} : RecordFate{};
        }
        RecordUpdate update = UpdateRecordFrom(line.family, record, navaids, navaid, fields);
        if (update.changes.empty()) {
            ++unchanged;
            return {};
        }
        ++changed;
        console.out << "~ " << index << ' ' << Named(console, bytes) << ": "
                    << console.Shown(ChangesText(update.changes)) << '\n';
        updated = std::move(update.updated);
        return {RecordFate::Replace, updated};
    };
    // The navaids nobody pairs with are new, in NEWER's order.
    std::vector<bool> paired(navaids.Count(), false);
    for (long long n : partner)
        if (n >= 0) paired[n] = true;
    // Handed on in pieces, so that the new records are never held twice.
    auto appendNew = [&](const RecordAppender& append) {
        if (!addNew) return Outcome::Success();
        std::string piece;
        for (std::size_t n = 0; n < navaids.Count(); ++n) {
            if (paired[n]) continue;
            piece += navaids.Bytes(n);
            if (piece.size() < 65536) continue;
            if (Outcome written = append(piece); !written) return written;
            piece.clear();
        }
        return piece.empty() ? Outcome::Success() : append(piece);
    };
    if (dryRun) {
        auto report = [&](std::uint64_t i, const std::uint8_t* r) { visit(i, r); };
        if (Outcome reread = ReadRecords(database, line.family, report); !reread) return reread;
    } else {
        StagedOutput out(WorkingCopyName(database));
        if (Outcome written = out.Write([&](const std::string& path) {
                return RewriteRecords(database, path, size, visit, appendNew);
            });
            !written)
            return written;
    }
    std::uint64_t added = 0;
    for (std::size_t n = 0; n < navaids.Count(); ++n) {
        if (paired[n]) continue;
        ++added;
        const DecodedRecord r = DecodeRecord(line.family, navaids.Record(n));
        console.out << "+ " << Named(console, navaids.Bytes(n)) << ": new " << r.type << " at "
                    << FormatListReal(r.latitude) << ',' << FormatListReal(r.longitude) << '\n';
    }
    console.out << database << ": " << records.size() << " records compared: " << unchanged
                << " unchanged, " << changed << " changed, " << withdrawn << " withdrawn ("
                << (removeWithdrawn ? "removed" : "kept") << "), " << added << " new ("
                << (addNew ? "added" : "not added") << ")\n";
    return changed + withdrawn + added > 0 ? kExitFindings : kExitOk;
}

std::vector<OptionSpec> Options() {
    std::vector<OptionSpec> options = CircleOptions();
    options.insert(options.end(),
                   {{"match-within", "NM", "a record and a navaid of one ID this near pair (10)"},
                    {"fields", "LIST", "compared and changed: position,freq,magvar,alt,type,name"},
                    {"remove-withdrawn", "", "leave out the records no navaid pairs with"},
                    {"add-new", "", "append the navaids no record pairs with"},
                    {"dry-run", "", "report only; write nothing"}});
    return options;
}

}  // namespace

const CommandInfo kUpdateCommand{
    "update",
    "write DATABASE.new as the database brought up to a newer file's data",
    {"DATABASE", "NEWER"},
    Options(),
    kReadsDatabase | kWritesNew | kEditsDatabase,
    "Compares the records of DATABASE with the navaids of the family in NEWER (any\n"
    "file 'navaid import' reads, or a database of the family: a name ending in\n"
    ".qvz or .new), inside the --near circle when one is given. A record and a\n"
    "navaid pair when their IDs are the same and they lie at most --match-within\n"
    "NM apart: pairs of the same type first, then the closest. Writes DATABASE.new\n"
    "with each paired record's differing fields (default position, freq, magvar,\n"
    "alt and type; a field NEWER does not state, as nav.dat's variation on DME\n"
    "and NDB rows, is left alone) changed in its place. Records no navaid pairs\n"
    "with are withdrawn: kept, or left out with --remove-withdrawn; navaids no\n"
    "record pairs with are new, appended with --add-new. Prints a line for each\n"
    "changed (~), withdrawn (-) and new (+) one, then a summary. Exit status 0\n"
    "when nothing differs, 3 when something does.\n"
    "\n"
    "Example:\n"
    "  navaid update vor vor.qvz earth_nav.dat.gz --dry-run\n",
    Run};

}  // namespace navaid::cli
