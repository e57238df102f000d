// Every input is an import's file, read through each reader that would take
// it (the sniffed formats' and the project's CSV), for both families, with
// and without a --near circle. A read either fails with an
// Outcome that names the file and says why, or gives navaids that the
// database takes, and the circle keeps exactly those inside it. An input
// that imports also updates a small database, and the update run again on
// its own result finds nothing.
#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "fuzz_support.h"
#include "line_reader.h"
#include "navaid_db.h"
#include "navaid_source.h"
#include "update.h"

using namespace navaid;
using namespace navaid::fuzz;

namespace {

// Around Frankfurt, as the docs' example: some rows of a file fall in, most out.
constexpr Circle kNear{50, 8, 300};

bool Same(const NavaidEntry& a, const NavaidEntry& b) {
    auto bits = [](float f) { return std::bit_cast<std::uint32_t>(f); };
    return a.id == b.id && a.name == b.name && a.typeName == b.typeName &&
           bits(a.latitude) == bits(b.latitude) && bits(a.longitude) == bits(b.longitude) &&
           bits(a.frequency) == bits(b.frequency) && bits(a.magVar) == bits(b.magVar) &&
           a.altitude == b.altitude;
}

void CheckFailure(const Outcome& outcome, const std::string& path) {
    // "no navaid rows found in FILE" names the file inside its sentence.
    const bool named = outcome.file == path ||
                       (outcome.file.empty() && outcome.reason.find(path) != std::string::npos);
    CHECK(!outcome.ok && named && !outcome.reason.empty());
    CHECK(outcome.kind == Outcome::Kind::File);
}

struct Read {
    std::vector<NavaidEntry> entries;
    ImportTally tally;
};

// What a successful read gives: navaids of the family that encode as records,
// past the checks every way into a database passes, the shortened names counted.
void CheckNavaids(Family family, const Read& navaids) {
    std::size_t shortened = 0;
    std::string record;
    for (const NavaidEntry& entry : navaids.entries) {
        const TypeBlock* block = FindTypeBlock(UpperCase(TrimWhiteSpace(entry.typeName)));
        CHECK(block != nullptr && block->family == family);
        CHECK(CheckEntryValues(entry).ok);
        CHECK(EncodeRecord(family, entry, record).ok);
        shortened += ShortensName(entry.name);
    }
    CHECK(navaids.tally.shortened <= shortened);
}

Outcome ReadWith(const Format& format, const std::string& path, const ImportFilter& filter,
                 Read& read) {
    LineReader lines;
    if (Outcome opened = lines.Open(path); !opened) return opened;
    return format.read(
        lines, filter,
        [&](const NavaidEntry& entry) {
            read.entries.push_back(entry);
            return Outcome::Success();
        },
        read.tally);
}

void CheckReader(const Format& format, Family family, const std::string& path) {
    Read all, near;
    const Outcome readAll =
        ReadWith(format, path, {family, std::nullopt, std::nullopt, false}, all);
    const Outcome readNear = ReadWith(format, path, {family, kNear, std::nullopt, false}, near);
    if (!readNear) CheckFailure(readNear, path);
    if (!readAll) return CheckFailure(readAll, path);
    // The circle only leaves navaids out, so a file read whole is read with it.
    CHECK(readNear.ok);
    CheckNavaids(family, all);
    CheckNavaids(family, near);
    std::size_t kept = 0;
    for (const NavaidEntry& entry : all.entries) {
        if (!Inside(kNear, entry.latitude, entry.longitude)) continue;
        CHECK(kept < near.entries.size() && Same(entry, near.entries[kept]));
        ++kept;
    }
    CHECK(kept == near.entries.size() && all.tally.outside == 0);
    // Rows outside are counted as rows: a doubled row or a lone DME there is
    // one more row than the navaids it would have made.
    CHECK(near.tally.outside >= all.entries.size() - kept);
}

// A database of a few records near the circle's edge and of the input's
// first navaids moved a little, twins among them, so that updates pair,
// change, withdraw and add.
std::string SmallDatabase(Family family, const std::vector<std::string>& records) {
    std::string bytes;
    for (const char* id : {"A", "AB", "A"}) {
        const NavaidEntry entry{id, "EDGE", 50, 12.6f, 114.2f, 1, 0, FamilyName(family)};
        std::string record;
        CHECK(EncodeRecord(family, entry, record).ok);
        bytes += record;
    }
    for (std::size_t i = 0; i < records.size() && i < 6; ++i) {
        std::string record = records[i];
        const float lat = ReadFloatLE(reinterpret_cast<const std::uint8_t*>(record.data()) +
                                      RecordLayout::kLatitude);
        WriteFloatLE(reinterpret_cast<std::uint8_t*>(record.data()) + RecordLayout::kLatitude,
                     i % 3     ? lat
                     : lat > 0 ? lat - 0.01f
                               : lat + 0.01f);
        bytes += record + (i % 2 ? "" : record);
    }
    return bytes;
}

Outcome UpdateOnce(const std::string& path, Family family, const UpdateNavaids& navaids,
                   const UpdateSettings& settings, const std::string* out, UpdateSummary& sum) {
    DatabaseFile database;
    if (Outcome opened = database.Open(path, family); !opened) return opened;
    return Update(
        database, navaids, settings, out, [](const ReportEvent&) {}, sum);
}

// The input as update's NEWER: read as import reads it, then an update with
// every change taken, then another on its result, which finds nothing.
void CheckUpdate(const std::string& path, Family family, const std::optional<Circle>& near) {
    NavaidSource source;
    if (!source.Open(path, family)) return;
    UpdateSettings settings{near,
                            {RecordField::Position, RecordField::Freq, RecordField::MagVar,
                             RecordField::Alt, RecordField::Type, RecordField::Name},
                            10,
                            true,
                            true};
    UpdateNavaids navaids(family);
    std::vector<std::string> firsts;
    ImportTally tally;
    std::uint64_t count = 0;
    const ImportFilter filter{family, PairingCircle(settings), std::nullopt, true};
    const Outcome read = source.Read(
        filter,
        [&](std::string_view record, std::uint8_t unstated) {
            navaids.Add(record, unstated);
            if (firsts.size() < 6) firsts.emplace_back(record);
            return Outcome::Success();
        },
        tally, count);
    if (!read) return CheckFailure(read, path);
    const std::string database = Path("db.qvz"), result = Path("db.qvz.new");
    Write(database, SmallDatabase(family, firsts));
    UpdateSummary first, second;
    CHECK(UpdateOnce(database, family, navaids, settings, &result, first).ok);
    CHECK(UpdateOnce(result, family, navaids, settings, nullptr, second).ok);
    CHECK(!second.Differs());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The readers read files, a line at a time, gzip or not by the first bytes.
    const std::string path = Path("in.dat");
    Write(path, std::string(reinterpret_cast<const char*>(data), size));
    std::vector<std::string> head;
    LineReader lines;
    Outcome read = lines.Open(path);
    if (read) read = lines.PeekLines(kHeadLines, head);
    if (!read) return CheckFailure(read, path), 0;
    // Each reader whose sniff takes the file, as import gives it; the
    // project's CSV, whatever the file.
    for (const Format* format : Formats()) {
        if (format->read == nullptr) continue;
        if (format != &kProjectCsvFormat && !format->sniff(head)) continue;
        for (Family family : {Family::Vor, Family::Ndb}) CheckReader(*format, family, path);
    }
    for (Family family : {Family::Vor, Family::Ndb})
        for (const std::optional<Circle>& near : {std::optional<Circle>(), std::optional(kNear)})
            CheckUpdate(path, family, near);
    return 0;
}
