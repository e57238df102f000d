// What a navaid source takes a file for, by its content alone, and what it
// refuses before or while it reads.
#include <gtest/gtest.h>
#include <zlib.h>

#include "navaid_source.h"
#include "test_support.h"

namespace navaid::test {
namespace {

using SourceTest = ScratchTest;

std::string Db(Family family, std::initializer_list<NavaidEntry> entries) {
    std::string bytes;
    for (const NavaidEntry& entry : entries) bytes += Encoded(family, entry);
    return bytes;
}

std::string Gzip(const std::string& text) {
    std::string out(compressBound(text.size()) + 32, '\0');
    z_stream z{};
    deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = text.size();
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = out.size();
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

TEST_F(SourceTest, AFileIsTakenForWhatItsContentIs) {
    // An ID of "A" opens a nav.dat's first line too; the records' bytes tell.
    const std::string vor = Db(Family::Vor, {{"A", "ALPHA", 1, 2, 110, 0, 0, "VOR"},
                                             {"B", "BRAVO", 3, 4, 111, 0, 0, "DME"}});
    // Numbers whose bytes hold no zero, so the file has none.
    const std::string ndb =
        Db(Family::Ndb, {{"I", "INDIA", 47.123f, 8.321f, 375.5f, 1.1f, 0, "NDB"},
                         {"N", "NOVEMBER", 45.321f, 7.123f, 401.5f, 2.1f, 0, "NDB-DME"}});
    const std::string csv = "id,name,lat,lon,freq,magvar,type\nXY,N,47.5,-0.25,375,0,NDB\n";
    struct Case {
        const char* what;
        Family family;
        std::string bytes;
        std::uint64_t navaids;  // read; or the start of the refusal
        const char* refused;
    };
    const Case cases[] = {
        {"VOR database", Family::Vor, vor, 2, nullptr},
        {"NDB database without zero bytes", Family::Ndb, ndb, 2, nullptr},
        {"gzip'ed database", Family::Vor, Gzip(vor), 2, nullptr},
        {"CSV", Family::Ndb, csv, 1, nullptr},
        {"gzip'ed CSV", Family::Ndb, Gzip(csv), 1, nullptr},
        {"the other family", Family::Ndb, vor, 0, "it looks like a database of VOR, not of NDB"},
        {"a piece after the last record", Family::Vor, vor + "xyz", 0,
         "it holds 2 records of VOR and 3 bytes more"},
        {"a record not of the family", Family::Vor, vor + std::string(56, '\0'), 0,
         "record 2 is not a VOR record: its type block"},
        {"nothing", Family::Vor, "", 0, "no header row"},
    };
    for (const Case& c : cases) {
        WriteAll("in", c.bytes);
        NavaidSource source;
        ImportTally tally;
        std::uint64_t navaids = 0;
        std::string read;
        Outcome outcome = source.Open("in", c.family);
        if (outcome) {
            outcome = source.Read(
                {c.family, std::nullopt, std::nullopt, false},
                [&](std::string_view record, std::uint8_t) {
                    read += record;
                    return Outcome::Success();
                },
                tally, navaids);
        }
        if (c.refused) {
            EXPECT_FALSE(outcome.ok) << c.what;
            EXPECT_EQ(outcome.reason.find(c.refused), 0u) << c.what << ": " << outcome.reason;
            continue;
        }
        EXPECT_TRUE(outcome.ok) << c.what << ": " << outcome.Message();
        EXPECT_EQ(navaids, c.navaids) << c.what;
        if (c.bytes == vor || c.bytes == ndb) {
            EXPECT_EQ(read, c.bytes) << c.what;
        }
        EXPECT_EQ(source.ImportFormat() == nullptr, c.bytes.find(',') == std::string::npos)
            << c.what;
    }
}

}  // namespace
}  // namespace navaid::test
