// Every input is an import's file, read through each reader that would take
// it (the sniffed formats' and the project's CSV), for both families, with
// and without a --near circle. A read either fails with an
// Outcome that names the file and says why, or gives navaids that the
// database takes, and the circle keeps exactly those inside it.
#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "fuzz_support.h"
#include "line_reader.h"

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
    CHECK(!outcome.ok && outcome.file == path && !outcome.reason.empty());
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
    CHECK(near.tally.outside == all.entries.size() - kept);
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
    return 0;
}
