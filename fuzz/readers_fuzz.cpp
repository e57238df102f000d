// Every input is an import's file: read as it is and as a .gz file, then
// through each reader that would take its text (the sniffed format's and the
// project's CSV), for both families, with and without a --near circle. A read either fails with an
// Outcome that names the file and says why, or gives navaids that the
// database takes, and the circle keeps exactly those inside it.
#include <algorithm>
#include <bit>
#include <memory>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "fuzz_support.h"

using namespace navaid;
using namespace navaid::fuzz;

namespace {

// Around Frankfurt, as the docs' example: some rows of a file fall in, most out.
constexpr Circle kNear{50, 8, 300};
// Inflated texts longer than this are only read, not parsed: a small gzip
// can inflate a thousandfold.
constexpr std::size_t kParsedInflated = 1 << 16;

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

// What a successful read gives: navaids of the family that encode as records,
// past the checks every way into a database passes, the shortened names counted.
void CheckNavaids(Family family, const ImportedNavaids& navaids) {
    std::size_t shortened = 0;
    std::string record;
    for (const NavaidEntry& entry : navaids.entries) {
        const TypeBlock* block = FindTypeBlock(UpperCase(TrimWhiteSpace(entry.typeName)));
        CHECK(block != nullptr && block->family == family);
        CHECK(!CheckEntryValues(entry).has_value());
        CHECK(EncodeRecord(family, entry, record).ok);
        shortened += ShortensName(entry.name);
    }
    CHECK(navaids.tally.shortened == shortened);
}

void CheckReader(const Format& format, Family family, const std::string& path,
                 std::string_view text) {
    ImportedNavaids all, near;
    const Outcome readAll = format.read(path, text, {family, std::nullopt}, all);
    const Outcome readNear = format.read(path, text, {family, kNear}, near);
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
    CHECK(near.tally.otherFamily == all.tally.otherFamily &&
          near.tally.landing == all.tally.landing && near.tally.lonelyDme == all.tally.lonelyDme);
}

void CheckText(const std::string& path, std::string_view text) {
    CHECK(FormatOfText(text).read != nullptr);
    // A reader with a sniff gets only the texts its sniff accepts, as import
    // gives them; the project's CSV, the reader of last resort, gets every text.
    for (const Format* format : Formats()) {
        if (format->read == nullptr || (format->sniff && !format->sniff(text))) continue;
        for (Family family : {Family::Vor, Family::Ndb}) CheckReader(*format, family, path, text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string plain = Path("in.dat"), gz = Path("in.dat.gz");
    Write(plain, bytes);
    std::string text;
    CHECK(ReadInputFile(plain, text).ok && text == bytes);
    // An exactly sized copy, so reading past the text is caught.
    {
        const std::unique_ptr<char[]> copy(new char[size ? size : 1]);
        std::copy(bytes.begin(), bytes.end(), copy.get());
        CheckText(plain, std::string_view(copy.get(), size));
    }
    Write(gz, bytes);
    std::string inflated;
    const Outcome read = ReadInputFile(gz, inflated);
    if (!read) return CheckFailure(read, gz), 0;
    if (inflated.size() <= kParsedInflated) CheckText(gz, inflated);
    return 0;
}
