// The checker fed in pieces of any size, the check and diff jobs on
// databases in memory, the edit script between record sequences and
// update's matching, on records and hashes made here.
#include <gtest/gtest.h>

#include <deque>
#include <map>

#include "change_report.h"
#include "check.h"
#include "code_page.h"
#include "diff.h"
#include "edit_script.h"
#include "geo.h"
#include "job_doubles.h"
#include "update.h"

namespace navaid {
namespace {

std::string Record(const NavaidEntry& entry) {
    std::string bytes;
    EXPECT_TRUE(EncodeRecord(Family::Vor, entry, bytes));
    return bytes;
}

// Record bytes as an event holds them; the test's strings outlive the events.
std::span<const std::uint8_t> Bytes(const std::string& bytes) {
    static std::deque<std::string> kept;
    kept.push_back(bytes);
    return {reinterpret_cast<const std::uint8_t*>(kept.back().data()), bytes.size()};
}

// Both reads in pieces of `piece` bytes; "changed" when the second one is short.
std::string Findings(const std::string& bytes, std::size_t piece, std::size_t again = -1) {
    DatabaseChecker checker(Family::Vor);
    std::string text;
    const FindingSink add = [&](const Finding& f) {
        text += std::to_string(f.index) + (f.warning ? " w " : " e ") + f.text + "\n";
    };
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        checker.Feed(data + at, std::min(piece, bytes.size() - at));
    checker.EndFirstRead(add);
    again = std::min(again, bytes.size());
    for (std::size_t at = 0; at < again; at += piece)
        checker.Reread(data + at, std::min(piece, again - at), add);
    if (!checker.EndSecondRead(add)) text += "changed\n";
    return text;
}

TEST(CheckerTest, FindingsDoNotDependOnHowTheBytesArrive) {
    // 0.16 degrees of latitude are 9.6 NM: a duplicate; 0.17 (10.2 NM) is not.
    const std::string bytes = Record({"FFM", "A", 50, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "B", 50.16f, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "C", 50.33f, 8, 114.2f, 0, 0, "VOR"}) +
                              Record({"FFM", "D", 50.16f, 8, 99, 0, 0, "DME"}) +
                              // A station's DME again as a DME (0.6 NM), and one on its own.
                              Record({"ABB", "E", 51, 8, 108.45f, 0, 0, "VOR-DME"}) +
                              Record({"ABB", "F", 51.01f, 8, 108.45f, 0, 0, "DME"}) +
                              Record({"TAC", "G", 52, 8, 113, 0, 0, "TACAN"}) +
                              Record({"TAC", "H", 52, 8, 113.05f, 0, 0, "DME"}) +
                              Record({"GRL", " ", 51, 7, 110, 356.7f, 0, "VOR"}) +
                              Record({"GRL", "E", 52, 7, 110, -180, 0, "VOR"}) + "piece";
    const std::string expected =
        "1 w likely duplicate of record 0 (same type VOR and ID 'FFM', 9.6 NM apart)\n"
        "3 w frequency 99 is outside the VOR band 108.00-117.95 MHz\n"
        "5 w DME repeats the DME of record 4 'ABB' (0.6 NM away, same frequency)\n"
        "8 e name is empty\n"
        "8 w magnetic variation 356.7 is outside -180..180\n"
        "10 e trailing piece of 5 bytes at offset 560 is not a whole record\n";
    for (std::size_t piece : {bytes.size(), std::size_t{56}, std::size_t{1}, std::size_t{57}})
        EXPECT_EQ(Findings(bytes, piece), expected) << piece;
}

TEST(CheckerTest, EachRecordNamesTheNearestEarlierRecordOfItsTypeAndIdOnce) {
    auto at = [](float lat, float lon, const char* id = "X") {
        return Record({id, "N", lat, lon, 114.2f, 0, 0, "VOR"});
    };
    auto dup = [](int index, int earlier, const char* nm, const char* id = "X") {
        return std::to_string(index) + " w likely duplicate of record " + std::to_string(earlier) +
               " (same type VOR and ID '" + id + "', " + nm + " NM apart)\n";
    };
    // Four copies of three records: each copy once, against the first of its
    // equals, all 0.0 NM away.
    const char* ids[] = {"A", "B", "C"};
    std::string copies, nine;
    for (int copy = 0; copy < 4; ++copy)
        for (int r = 0; r < 3; ++r) copies += at(50.0f + r, 8, ids[r]);
    for (int i = 3; i < 12; ++i) nine += dup(i, i % 3, "0.0", ids[i % 3]);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {copies, nine},
        // Record 2 is 9.0 NM from record 0 and 3.0 from record 1: only the nearer.
        {at(50, 8) + at(50.1f, 8) + at(50.15f, 8), dup(1, 0, "6.0") + dup(2, 1, "3.0")},
        // 4.8 NM from both earlier records: the first; its copy names it, not them.
        {at(50, 8.25f) + at(50, 8) + at(50, 8.125f) + at(50, 8.125f),
         dup(1, 0, "9.6") + dup(2, 0, "4.8") + dup(3, 2, "0.0")},
    };
    for (const auto& [bytes, expected] : cases) EXPECT_EQ(Findings(bytes, 56), expected);
    // A second read shorter than the first is a file that changed in between.
    EXPECT_EQ(Findings(at(50, 8) + at(50, 8), 56, 56), "changed\n");
}

TEST(CheckJobTest, CountsWhatItReportsAndNamesADatabaseThatChangedBetweenTheReads) {
    test::MemoryDatabase db{Record({"FFM", "A", 50, 8, 99, 0, 0, "VOR"}) +
                                Record({"FFM", "B", 50, 8, 114.2f, 0, 0, "VOR"}) + "piece",
                            56};
    std::string found;
    CheckTotals totals;
    const auto report = [&](const Finding& f) { found += std::to_string(f.index) + " "; };
    ASSERT_TRUE(CheckDatabase(Family::Vor, db.Input("db.qvz"), report, totals));
    EXPECT_EQ(found, "0 1 2 ");  // the band, the duplicate, the piece
    EXPECT_EQ(totals.records, 2u);
    EXPECT_EQ(totals.errors, 1u);
    EXPECT_EQ(totals.warnings, 2u);
    db.calls = 0;
    db.shortAt = 2;
    const Outcome changed = CheckDatabase(Family::Vor, db.Input("db.qvz"), report, totals);
    EXPECT_EQ(changed.Message(), "db.qvz: it changed while it was read");
}

// A report's cells escaped for CSV and JSON from names in Windows-1252, and
// the distance to the nearest record of the ID on the other side.
TEST(ChangeReportTest, CellsEscapedForEachFormatAndTheNearestOfTheIdFound) {
    auto named = [](const std::string& id, std::string name, float lat) {
        name.resize(RecordLayout::kNameSize, ' ');
        return Record({id, "N", lat, 8, 114.2f, 0, 0, "VOR"})
            .replace(RecordLayout::kName, RecordLayout::kNameSize, name);
    };
    // The name as stored, its CSV cell, its JSON string.
    const std::vector<std::tuple<std::string, std::string, std::string>> names = {
        {"A,B", "\"A,B\"", "\"A,B\""},
        {"say \"hi\\\"", "\"say \"\"hi\\\"\"\"", "\"say \\\"hi\\\\\\\"\""},
        {"a\r\nb\x01\x7f", "\"a\r\nb\x01\x7f\"", "\"a\\u000d\\u000ab\\u0001\\u007f\""},
        {"M\xfcNCHEN\x80\x81", "M\xc3\xbcNCHEN\xe2\x82\xac\xc2\x81",
         "\"M\xc3\xbcNCHEN\xe2\x82\xac\\u0081\""},
        {"=1+2", "'=1+2", "\"=1+2\""},
    };
    ChangeReport report(Family::Vor);
    std::string before, csv, json;
    for (const auto& [name, cell, string] : names) {
        before += named("X", name, 50);
        report.Add(
            {ReportEvent::Kind::Removed, names.size(), Bytes(before.substr(before.size() - 56))});
        csv += "-,5,X," + cell + ",VOR,,,,30.020231\n";
        json +=
            ",\n{\"change\": \"-\", \"index\": 5, \"id\": \"X\", \"name\": " + string +
            ", \"type\": \"VOR\", \"field\": \"\", \"old\": \"\", \"new\": \"\", \"distance_nm\": "
            "30.020231}";
    }
    // Twins and a farther one on either side of the nearest, whose ID is in
    // lower case; Y has none.
    const std::string after = named("X", "T", 51) + named("X", "T", 51) +
                              named("X", "T", 49.5f).replace(RecordLayout::kId, 1, "x") +
                              named("X", "T", 48) + named("Y", "T", 50);
    report.Add({ReportEvent::Kind::Added, 4, Bytes(after.substr(4 * 56))});
    const std::string moved = named("-X", "T", 50.5f);
    report.Add({ReportEvent::Kind::Changed, 0, Bytes(named("X", "T", 50)), Bytes(moved),
                ChangedFields(Family::Vor, Bytes(named("X", "T", 50)).data(), Bytes(moved).data(),
                              AllFields())});
    test::MemoryDatabase a{before, 56}, b{after, 56};
    ASSERT_TRUE(report.FindNearest(a.Source(), b.Source()));
    std::string text;
    report.Write(ReportFormat::Csv, {}, [&](std::string_view piece) { text += piece; });
    EXPECT_EQ(text, "change,index,id,name,type,field,old,new,distance_nm\n" + csv +
                        "+,4,Y,T,VOR,,,,\n~,0,X,T,VOR,id,X,'-X,\n"
                        "~,0,X,T,VOR,position,\"50,8\",\"50.5,8\",30.020231\n");
    text.clear();
    report.Write(ReportFormat::Json, {{"removed", 5}, {"added", 1}},
                 [&](std::string_view piece) { text += piece; });
    EXPECT_EQ(
        text.substr(0, text.find("\n{\"change\": \"+\"")),
        "{\"summary\": {\"removed\": 5, \"added\": 1},\n\"changes\": [" + json.substr(1) + ",");
    EXPECT_NE(
        text.find("\"index\": 4, \"id\": \"Y\", \"name\": \"T\", \"type\": \"VOR\", \"field\": "
                  "\"\", \"old\": \"\", \"new\": \"\", \"distance_nm\": null}"),
        std::string::npos);
}

// Each event as a line: sign, index, the record's ID, and for a change the
// ID it was paired with and the fields that changed; the nearest
// counterpart's distance where there is one. Unordered, the unchanged and
// moved counts last.
std::string Events(const std::string& before, const std::string& after, double matchNm = 10,
                   int shortAt = 0, bool unordered = false) {
    test::MemoryDatabase a{before, 56}, b{after, 56};
    (unordered ? a : b).shortAt = shortAt;
    std::string text;
    DiffSummary summary;
    const Outcome diffed = (unordered ? DiffUnordered : Diff)(
        Family::Vor, a.Input("old"), b.Input("new"), matchNm,
        [&](const ReportEvent& e) {
            text += "~-+"[static_cast<int>(e.kind)];
            text += std::to_string(e.index.value_or(-1)) + " ";
            const auto id = [](std::span<const std::uint8_t> r) {
                return std::string(TrimWhiteSpace(std::string_view(
                    reinterpret_cast<const char*>(r.data()), RecordLayout::kIdSize)));
            };
            if (e.piece) {
                text += "piece of " + std::to_string(e.record.size());
            } else {
                text += id(e.record);
            }
            if (e.kind == ReportEvent::Kind::Changed) text += '>' + id(e.after);
            for (const FieldChange& change : e.changes)
                text += ' ' + change.text.substr(0, change.text.find(' '));
            if (e.nearestNm) text += " @" + std::to_string(*e.nearestNm).substr(0, 4);
            text += "\n";
        },
        summary);
    if (!diffed) return text + diffed.Message() + "\n";
    if (unordered)
        text += "= " + std::to_string(summary.unchanged) + " " + std::to_string(*summary.moved);
    return text;
}

TEST(DiffJobTest, EventsInFileOrderPairedByIdThenByPlace) {
    const std::string a = Record({"A", "N", 50, 8, 114.2f, 0, 0, "VOR"}),
                      b = Record({"B", "N", 51, 8, 114.2f, 0, 0, "VOR"}),
                      c = Record({"C", "N", 52, 8, 114.2f, 0, 0, "VOR"}),
                      b2 = Record({"B", "N", 51.05f, 8, 114.2f, 0, 0, "VOR"}),
                      d = Record({"D", "N", 53, 8, 114.2f, 0, 0, "VOR"});
    const std::vector<std::tuple<std::string, std::string, double, std::string>> cases = {
        {a + b + c, a + b + c, 10, ""},
        // A record that only moved is removed where it was and added where it is.
        {a + b + c, c + a + b, 10, "+0 C\n-2 C\n"},
        // B pairs with its moved self across the hunk, C with what is left at its place.
        {a + c + b, a + b2 + d, 10, "~1 C>D id lat\n~2 B>B lat\n"},
        // Too far apart for the ID: paired by place.
        {a + c + b, a + b2 + d, 1, "~1 C>B id lat\n~2 B>D id lat\n"},
        // More removed than added: the rest stay removed; then the trailing pieces.
        {a + b + c + "xyz", d, 10, "~0 A>D id lat\n-1 B\n-2 C\n-3 piece of 3\n"},
        {a + "xy", a + "z", 10, "-1 piece of 2\n+1 piece of 1\n"},
        {a, a + "z", 10, "+1 piece of 1\n"},
    };
    for (const auto& [before, after, nm, events] : cases)
        EXPECT_EQ(Events(before, after, nm), events);
    // The records come from a second read: one that finds fewer is named.
    EXPECT_EQ(Events(a + b, a + c + d, 10, 2), "new: it changed while it was read\n");
    // Beyond the edit search a rotation is removed and added whole: the two
    // records that stand in it on both sides are unchanged, not changed in nothing.
    std::string head, tail;
    for (int i = 0; i < 2002; ++i) {
        char id[8];
        std::snprintf(id, sizeof id, "A%d", i);
        (i < 1001 ? head : tail) += Record({id, "N", 50, 8, 114.2f, 0, 0, "VOR"});
    }
    const std::string rotated = Events(head + tail, tail + head);
    EXPECT_EQ(rotated.find('~'), std::string::npos);
    EXPECT_EQ(std::count(rotated.begin(), rotated.end(), '\n'), 4000);
}

TEST(DiffJobTest, UnorderedPairsByBytesThenAsUpdateAndCountsTheFewestMoves) {
    auto at = [](const char* id, float lat, const char* type = "VOR", float freq = 114.2f) {
        return Record({id, "N", lat, 8, freq, 0, 0, type});
    };
    const std::string a = at("A", 50), b = at("B", 51), c = at("C", 52), d = at("D", 53);
    // Twins: one ID, type and place, another frequency.
    const std::string t1 = at("T", 54, "VOR", 113), t2 = at("T", 54, "VOR", 114);
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {a + b + c + d, d + a + b + c, "= 4 1"},
        {a + b + c + d, b + a + d + c, "= 4 2"},
        // The twin of the same bytes stays; the other one went, 0 NM from it.
        {t1 + t2, t2, "-0 T @0.00\n= 1 0"},
        {t1 + t2, t2 + t1, "= 2 1"},
        // One ID at two places 120 NM apart: each pairs with its own.
        {b + at("B", 53), at("B", 53.05f) + b, "~1 B>B lat\n= 1 0"},
        // The same type first: the VOR that moved 6 NM, not the DME in its place.
        {at("X", 50), at("X", 50, "DME") + at("X", 50.1f), "~0 X>X lat\n+0 X @0.00\n= 0 0"},
        // Beyond the match distance: removed and added, 60 NM from each other;
        // changes and removals in OLD's order, additions in NEW's.
        {d + a + b, c + at("D", 54) + at("B", 51, "VOR", 115) + a,
         "-0 D @60.0\n~2 B>B freq\n+0 C\n+1 D @60.0\n= 1 0"},
        // The nearest across the date line, 12 NM, not the one 24 NM west.
        {Record({"E", "N", 0, 179.9f, 114.2f, 0, 0, "VOR"}),
         Record({"E", "N", 0, 179.5f, 114.2f, 0, 0, "VOR"}) +
             Record({"E", "N", 0, -179.9f, 114.2f, 0, 0, "VOR"}),
         "-0 E @12.0\n+0 E @24.0\n+1 E @12.0\n= 0 0"},
        {a + "xy", a + "z", "-1 piece of 2\n+1 piece of 1\n= 1 0"},
    };
    for (const auto& [before, after, events] : cases)
        EXPECT_EQ(Events(before, after, 10, 0, true), events);
    EXPECT_EQ(Events(a + b, b + a, 10, 2, true), "old: it changed while it was read\n");
    // Scattered stations of one ID, none paired: each one's nearest on the
    // other side, as every distance would give it.
    std::vector<std::pair<float, float>> places[2];
    std::string bytes[2];
    std::uint32_t seed = 11;
    for (int i = 0; i < 60; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float lat = static_cast<float>(seed % 1700) / 10 - 85,
                    lon = (seed >> 16) % 360 - 180.0f;
        places[i % 2].emplace_back(lat, lon);
        bytes[i % 2] += Record({"S", "N", lat, lon, 114.2f, 0, 0, "VOR"});
    }
    test::MemoryDatabase before{bytes[0], 56}, after{bytes[1], 56};
    DiffSummary summary;
    ASSERT_TRUE(DiffUnordered(
        Family::Vor, before.Input("old"), after.Input("new"), 0,
        [&](const ReportEvent& e) {
            const bool added = e.kind == ReportEvent::Kind::Added;
            const auto [lat, lon] = places[added][*e.index];
            double nearest = 1e9;
            for (const auto& [otherLat, otherLon] : places[!added])
                nearest = std::min(nearest, DistanceNm(lat, lon, otherLat, otherLon));
            EXPECT_EQ(e.nearestNm, nearest) << added << *e.index;
        },
        summary));
    EXPECT_EQ(summary.removed + summary.added, 60u);
}

std::string Script(const std::vector<std::uint64_t>& a, const std::vector<std::uint64_t>& b,
                   long maxSearched = 2000) {
    RecordHashes ha{{a.begin(), a.end()}, {}}, hb{{b.begin(), b.end()}, {}};
    std::string text;
    const bool differ = ForEachEdit(
        ha, hb,
        [&](const Edit& e) {
            text += e.added ? '+' : '-';
            text += std::to_string(e.index);
            text += ' ';
        },
        maxSearched);
    EXPECT_EQ(differ, !text.empty());
    return text;
}

TEST(EditScriptTest, ShortestScriptInFileOrderAndTheWholeMiddleBeyondTheSearch) {
    const std::vector<
        std::tuple<std::vector<std::uint64_t>, std::vector<std::uint64_t>, std::string>>
        cases = {
            {{1, 2, 3}, {1, 2, 3}, ""},
            {{1, 2, 3}, {1, 3}, "-1 "},
            {{1, 2, 3}, {1, 2, 3, 9}, "+3 "},
            {{1, 2, 3}, {1, 9, 3}, "-1 +1 "},
            {{1, 2, 3}, {3, 1, 2}, "+0 -2 "},
            {{1, 2, 3}, {}, "-0 -1 -2 "},
            {{}, {7}, "+0 "},
        };
    for (const auto& [a, b, script] : cases) EXPECT_EQ(Script(a, b), script);
    // Beyond the search the common ends stay and the middle is replaced whole.
    EXPECT_EQ(Script({1, 2, 3, 4, 5}, {1, 7, 8, 9, 5}, 2), "-1 -2 -3 +1 +2 +3 ");
}

// Every pair of the same ID within reach, closest first, same type before
// other: the matching's rule, worked out over all pairs.
std::vector<long long> MatchedByHand(const std::vector<UpdateRecord>& records,
                                     const UpdateNavaids& navaids, double within) {
    std::vector<std::tuple<bool, float, std::size_t, std::size_t>> pairs;
    for (std::size_t r = 0; r < records.size(); ++r) {
        for (std::size_t n = 0; n < navaids.Count(); ++n) {
            const std::uint8_t* b = navaids.Record(n);
            const float lat = ReadFloatLE(b + RecordLayout::kLatitude);
            const float lon = ReadFloatLE(b + RecordLayout::kLongitude);
            const double nm = DistanceNm(records[r].lat, records[r].lon, lat, lon);
            if (KeyOf(std::string_view(reinterpret_cast<const char*>(b), 10)) == records[r].key &&
                nm <= within)
                pairs.emplace_back(b[RecordLayout::kTypeBlock] != records[r].typeCode,
                                   static_cast<float>(nm), r, n);
        }
    }
    std::sort(pairs.begin(), pairs.end());
    std::vector<long long> partner(records.size(), -1);
    std::vector<bool> taken(navaids.Count());
    for (auto [other, nm, r, n] : pairs)
        if (partner[r] < 0 && !taken[n]) partner[r] = n, taken[n] = true;
    // Then the twins of one place, ID and type go to their records in order.
    std::map<std::string, std::pair<std::vector<std::size_t>, std::vector<long long>>> twins;
    for (std::size_t r = 0; r < records.size(); ++r) {
        if (partner[r] < 0) continue;
        const std::uint8_t* b = navaids.Record(partner[r]);
        const std::string site(reinterpret_cast<const char*>(b), 10);
        auto& [rs, ns] = twins[site + std::string(reinterpret_cast<const char*>(b) + 30, 8) +
                               char(b[RecordLayout::kTypeBlock])];
        rs.push_back(r);
        ns.push_back(partner[r]);
    }
    for (auto& [site, twin] : twins) {
        std::sort(twin.second.begin(), twin.second.end());
        for (std::size_t i = 0; i < twin.first.size(); ++i) partner[twin.first[i]] = twin.second[i];
    }
    return partner;
}

TEST(UpdateMatchTest, PairsAsEveryPairWouldNearThePolesAcrossTheDateLineAndAmongTwins) {
    // Three IDs, two types, scattered over bands where a degree of longitude
    // is short (near the poles) and where it wraps (at 180); every seventh
    // at one of two places, twins.
    std::uint32_t seed = 7;
    auto next = [&](float span) {
        seed = seed * 1664525u + 1013904223u;
        return span * static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    for (double within : {0.5, 10.0, 300.0}) {
        std::vector<UpdateRecord> records;
        UpdateNavaids navaids(Family::Vor);
        for (int i = 0; i < 300; ++i) {
            float lat = (i % 3 == 0 ? 89.2f : i % 3 == 1 ? -88.5f : 10.0f) + next(0.8f);
            float lon = (i % 2 ? 179.5f : -180.0f) + next(0.5f) * (i % 5 == 0 ? 700 : 1);
            if (i % 7 == 0) lat = 10.125f, lon = i % 14 ? 179.9f : 179.875f;
            const NavaidEntry entry{
                std::string(1, "ABC"[i % 3]), "N", lat, lon > 180 ? lon - 360 : lon, 114.2f, 0, 0,
                i % 4 ? "VOR" : "DME"};
            const std::string bytes = Record(entry);
            if (i % 2) {
                navaids.Add(bytes, 0);
            } else {
                records.push_back({static_cast<std::uint32_t>(i), KeyOf(entry.id),
                                   static_cast<std::uint8_t>(bytes[RecordLayout::kTypeBlock]),
                                   false, entry.latitude, entry.longitude, 0});
            }
        }
        const std::vector<long long> expected = MatchedByHand(records, navaids, within);
        MatchRecords(records, navaids, within);
        std::vector<long long> partner;
        for (const UpdateRecord& r : records)
            partner.push_back(r.partner == UpdateRecord::kNone ? -1LL : r.partner);
        EXPECT_EQ(partner, expected) << within;
    }
}

}  // namespace
}  // namespace navaid
