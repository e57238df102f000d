// nav.dat in: rows 2, 3, 12 and 13 to navaids. The file is read twice, a line
// at a time: first for where the stations stand (what pairs a DME with its
// VOR, a beacon with its DME: navdat_pairing.cpp), then for the navaids,
// handed on as they come. The rules real files need (layouts, type words,
// pairing) only make sense together.
#include "navdat_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "line_reader.h"
#include "navdat_pairing.h"
#include "navdat_types.h"
#include "text.h"

namespace navaid {

namespace {

// Places are kept this far past an import's circle: a station inside it
// pairs with a row just outside.
constexpr double kPairingReachNm = 5.0;

Kind KindOfWord(std::string_view word) {
    const std::string upper = UpperCase(word);
    if (upper == "DME-ILS") return Kind::DmeIls;
    const NavDatType* type = NavDatTypeOfWord(upper);
    return type ? static_cast<Kind>(type - kNavDatTypes + 1) : Kind::None;
}

// The type a kind names; null for none and for a landing system's DME.
const TypeBlock* TypeOfKind(Kind kind) {
    static const auto types = [] {
        std::array<const TypeBlock*, std::size(kNavDatTypes) + 1> found{};
        for (std::size_t i = 0; i < std::size(kNavDatTypes); ++i)
            found[i + 1] = FindTypeBlock(kNavDatTypes[i].type);
        return found;
    }();
    const auto at = static_cast<std::size_t>(kind);
    return at < types.size() ? types[at] : nullptr;
}

bool OfFamily(Kind kind, Family family) {
    const TypeBlock* type = TypeOfKind(kind);
    return type != nullptr && type->family == family;
}

struct Row {
    std::size_t line;
    int code;
    float lat, lon, extra;
    double elevation, frequency;
    std::string ident, name;  // name without its type words
    Kind kind;
};

// A name ends in a run of type words ("AGEN VOR-DME VOR-DME", "AMBERIEU
// TACAN DME DME"): the first of them names the kind, and all come off, when
// the kind is one the row's code can be. Inner spacing stays.
void SplitNameAndKind(int code, std::string_view name, Row& row) {
    std::size_t cut = name.size();
    Kind kind = Kind::None;
    for (;;) {
        std::size_t end = cut;
        while (end > 0 && IsNavDatBlank(name[end - 1])) --end;
        std::size_t start = end;
        while (start > 0 && !IsNavDatBlank(name[start - 1])) --start;
        const Kind word = start < end ? KindOfWord(name.substr(start, end - start)) : Kind::None;
        if (word == Kind::None) break;
        kind = word;
        cut = start;
    }
    if (code == 13 && kind == kNdb) kind = kNdbDme;  // a beacon's DME
    const bool fits = code == 2    ? OfFamily(kind, Family::Ndb)
                      : code == 3  ? OfFamily(kind, Family::Vor)
                      : code == 12 ? OfFamily(kind, Family::Vor) || kind == Kind::DmeIls
                                   : true;
    if (!fits) {
        kind = Kind::None;
        cut = name.size();
    }
    row.kind = kind;
    row.name = TrimWhiteSpace(name.substr(0, cut));
}

double Number(std::size_t line, const char* what, std::string_view token) {
    double value = 0;
    if (!ParseNavDatNumber(token, value)) {
        throw ReadError{line, std::string(what) + " " + Quoted(token) + " is not a number"};
    }
    return value;
}

Row ParseRow(std::size_t line, int code, std::string_view text, std::size_t pos, bool regionColumns,
             ImportTally& tally) {
    std::string_view tokens[7];
    const char* names[7] = {"latitude", "longitude", "elevation", "frequency",
                            "range",    "variation", "ident"};
    for (int i = 0; i < 7; ++i) {
        tokens[i] = NextNavDatToken(text, pos);
        if (tokens[i].empty())
            throw ReadError{line, std::string("the row ends before its ") + names[i]};
    }
    if (regionColumns) {
        for (const char* column : {"terminal area", "region"}) {
            if (NextNavDatToken(text, pos).empty())
                throw ReadError{line, std::string("the row ends before its ") + column + " column"};
        }
    }
    Row row{};
    row.line = line;
    row.code = code;
    row.lat = static_cast<float>(Number(line, names[0], tokens[0]));
    row.lon = static_cast<float>(Number(line, names[1], tokens[1]));
    row.elevation = Number(line, names[2], tokens[2]);
    row.frequency = Number(line, names[3], tokens[3]);
    Number(line, names[4], tokens[4]);
    row.extra = static_cast<float>(VariationInRange(Number(line, names[5], tokens[5])));
    row.ident = StoredText(tokens[6], tally);
    if (row.ident.size() > RecordLayout::kIdSize) {
        throw ReadError{line, "ident " + Quoted(row.ident) + " has " +
                                  std::to_string(row.ident.size()) + " bytes; at most " +
                                  std::to_string(RecordLayout::kIdSize) + " fit"};
    }
    SplitNameAndKind(code, StoredText(TrimWhiteSpace(text.substr(pos)), tally), row);
    return row;
}

// Whether navaid rows fit the layout they are read in. Read in the other
// layout, 810 rows lose their names to the terminal and region columns, and
// 1100 rows keep those columns at the start of their names.
class LayoutFit {
public:
    // Counts the row whose columns after the row code start at `at`.
    void Count(std::size_t line, std::string_view text, std::size_t at, bool regionColumns) {
        for (int column = 0; column < 7; ++column) NextNavDatToken(text, at);
        const std::string_view first = NextNavDatToken(text, at),
                               second = NextNavDatToken(text, at);
        const bool fits = regionColumns ? IsRegion(second) && HasNameWord(text, at)
                                        : !(IsTerminal(first) && IsRegion(second));
        ++rows_;
        if (fits) return;
        if (misfits_++ == 0) firstMisfit_ = line;
        regionColumns_ = regionColumns;
    }
    // Why rows read in `version`'s layout do not fit it, with the line of the
    // first that does not; empty while most rows fit.
    std::string Misfit(int version, std::size_t& line) const {
        if (misfits_ * 2 <= rows_) return {};
        line = firstMisfit_;
        const std::string counted =
            " in " + std::to_string(misfits_) + " of " + Counted(rows_, "navaid row") + " read so";
        return regionColumns_
                   ? "rows look like 810, not " + std::to_string(version) +
                         ": no region column or no name" + counted
                   : "rows look like 1100, not " + std::to_string(version) +
                         ": a terminal area and a region at the start of the name" + counted;
    }

private:
    // An ICAO region ("ED", "K1"); an airport's ICAO code or ENRT.
    static bool IsRegion(std::string_view t) {
        return t.size() == 2 && IsUpper(t[0]) && (IsUpper(t[1]) || IsDigit(t[1]));
    }
    static bool IsTerminal(std::string_view t) {
        return t.size() == 4 &&
               std::all_of(t.begin(), t.end(), [](char c) { return IsUpper(c) || IsDigit(c); });
    }
    static bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
    // Whether a word that is not a type word follows `at`.
    static bool HasNameWord(std::string_view text, std::size_t at) {
        for (std::string_view word; !(word = NextNavDatToken(text, at)).empty();)
            if (KindOfWord(word) == Kind::None) return true;
        return false;
    }

    std::size_t rows_ = 0, misfits_ = 0, firstMisfit_ = 0;
    bool regionColumns_ = false;
};

// Where the navaid rows start and how they are laid out, from the lines before them.
struct Layout {
    bool regionColumns = false;
    bool header = false;  // a version line; then the file must end in "99"
};

// The reading of one pass: the layout from the first lines, then each row.
class Pass {
public:
    // The first pass reads the input from its start, a second one starts it again.
    Pass(LineReader& lines, const ImportFilter& filter, bool again)
        : lines_(lines), filter_(filter), again_(again) {}

    // Calls `row` with each navaid row (2, 3, 12, 13) and `other` with each
    // other row code, up to the closing "99"; the second pass counts the rows after it.
    template <typename OnRow, typename OnOther>
    void Run(ImportTally& tally, OnRow&& row, OnOther&& other) {
        if (again_) Check(lines_.Restart());
        bool closed = false;
        std::string_view line;
        bool got = false;
        while ((closed ? again_ : true) && (Check(lines_.Next(line, got)), got)) {
            const std::size_t number = lines_.Number();
            // A BOM opens the first line that is not blank.
            if (!started_ && !sawI_ && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
            std::size_t at = 0;
            const std::string_view first = NextNavDatToken(line, at);
            if (first.empty()) continue;
            if (closed) {
                ++tally.afterEnd;
            } else if (const std::optional<int> code = Code(number, first)) {
                closed = *code == 99;
                if (!closed) Take(number, *code, line, at, tally, row, other);
            }
        }
        RefuseMisfit();
        if (!closed && layout_.header)
            throw ReadError{0, "no closing \"99\" line: the file is cut short"};
    }

private:
    // The row code of a line, or none for the I line and the version line.
    std::optional<int> Code(std::size_t number, std::string_view first) {
        if (!started_ && (first == "I" || first == "A") && !sawI_) {
            sawI_ = true;
            return std::nullopt;
        }
        int code = 0;
        auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), code);
        if (ec != std::errc() || end != first.data() + first.size()) {
            throw ReadError{number, "row code " + Quoted(first) + " is not a number"};
        }
        if (!started_) {
            started_ = true;
            if (code > 99) {
                Version(number, code);
                return std::nullopt;
            }
            Headerless(number);
        }
        return code;
    }
    template <typename OnRow, typename OnOther>
    void Take(std::size_t number, int code, std::string_view line, std::size_t at,
              ImportTally& tally, OnRow& row, OnOther& other) {
        ++tally.rows;
        if (code == 2 || code == 3 || code == 12 || code == 13) {
            if (!again_) fit_.Count(number, line, at, layout_.regionColumns);
            try {
                row(ParseRow(number, code, line, at, layout_.regionColumns, tally));
            } catch (const ReadError& error) {
                if (!filter_.skipInvalid) {
                    RefuseMisfit();  // a row of the other layout fails for that
                    throw;
                }
                other(&error);
            }
        } else if ((code >= 4 && code <= 9) || (code >= 14 && code <= 16)) {
            other(nullptr);
        } else {
            ReadError error{number, "row code " + std::to_string(code) + " is not a navaid row"};
            if (!filter_.skipInvalid) throw error;
            other(&error);
        }
    }

private:
    void Version(std::size_t line, int version) {
        bool known = false;
        std::string layouts;
        for (int layout : kNavDatLayouts) {
            known = known || layout == version;
            layouts += (layouts.empty() ? "" : ", ") + std::to_string(layout);
        }
        if (!known) {
            throw ReadError{line, "nav.dat version '" + std::to_string(version) +
                                      "' is not one this tool reads (" + layouts + ")"};
        }
        if (filter_.navDatVersion && *filter_.navDatVersion != version) {
            RefuseLayout(line, "its version line says " + std::to_string(version) +
                                   ", not the layout " + std::to_string(*filter_.navDatVersion) +
                                   " given");
        }
        layout_ = {version >= 1100, true};
        version_ = version;
    }
    void Headerless(std::size_t line) {
        if (!filter_.navDatVersion)
            RefuseLayout(line, "nav.dat rows without a version line: their layout must be given");
        layout_ = {*filter_.navDatVersion >= 1100, false};
        version_ = *filter_.navDatVersion;
    }
    // The first pass refuses rows that do not fit their layout: a given one
    // as the setting's failure, a version line's as the file's.
    void RefuseMisfit() {
        std::size_t line = 0;
        if (again_ || version_ == 0) return;
        std::string why = fit_.Misfit(version_, line);
        if (why.empty()) return;
        if (filter_.navDatVersion) RefuseLayout(line, std::move(why));
        throw ReadError{line, std::move(why)};
    }
    // A refusal that the filter's layout setting decides: its field says so.
    [[noreturn]] void RefuseLayout(std::size_t line, std::string why) {
        Outcome refused = Outcome::FailureAt(lines_.Name(), line, std::move(why));
        refused.field = "version";
        throw FileFailure{std::move(refused)};
    }

    LineReader& lines_;
    const ImportFilter& filter_;
    bool again_;
    Layout layout_;
    bool sawI_ = false, started_ = false;
    LayoutFit fit_;
    int version_ = 0;  // the layout's, as given or on the version line
};

// The place of a row that can pair, in the set the family's pairing looks
// at; false for a row that cannot.
bool PlaceOf(const Row& row, Family family, Place& place) {
    const bool vor = family == Family::Vor;
    if (row.kind == Kind::DmeIls) return false;
    PlaceSet set;
    if (row.code == 2 || row.code == 3) {
        if ((row.code == 3) != vor) return false;
        set = vor ? PlaceSet::Vor : PlaceSet::Beacon;
    } else if (row.code == 12) {
        if (!vor) return false;
        set = PlaceSet::Dme;
    } else {
        if ((row.kind == kNdbDme) == vor) return false;
        set = vor ? PlaceSet::Station : PlaceSet::BeaconDme;
    }
    place = Place{
        {},      row.kind, static_cast<std::uint8_t>(set),    0,
        row.lat, row.lon,  static_cast<float>(row.frequency), static_cast<std::uint32_t>(row.line)};
    std::copy(row.ident.begin(), row.ident.end(), place.ident.begin());
    return true;
}

// The first pass: a place for each row of the family that can pair, within
// reach of the circle; rows the pairing has no use for cost nothing.
void Pair(LineReader& lines, const ImportFilter& filter, Pairing& pairing) {
    std::optional<Circle> reach = filter.near;
    if (reach) reach->nm += kPairingReachNm;
    ImportTally ignored;
    Pass(lines, filter, false)
        .Run(
            ignored,
            [&](const Row& row) {
                Place place;
                if (PlaceOf(row, filter.family, place) && Inside(reach, row.lat, row.lon))
                    pairing.Add(place);
            },
            [](const ReadError*) {});
    pairing.Pair();
}

// The navaid of a row, checked as every import's.
NavaidEntry Entry(const Row& row, const char* type, Family family) {
    auto refuse = [&](const std::string& why) { throw ReadError{row.line, why}; };
    if (!std::isfinite(row.lat) || !std::isfinite(row.lon) || !std::isfinite(row.extra))
        refuse("a number is beyond the range of a stored number");
    NavaidEntry entry;
    entry.id = row.ident;
    entry.name = row.name;
    entry.latitude = row.lat;
    entry.longitude = row.lon;
    entry.magVar = row.extra;
    entry.typeName = type;
    // The column is the variation on VOR rows only: a DME's bias, unused on beacons.
    if (row.code != 3) entry.unstated |= kUnstatedMagVar;
    if (family == Family::Vor) {
        entry.frequency = static_cast<float>(row.frequency / 100.0);
        const double feet = std::round(row.elevation);
        if (!(feet >= -2147483648.0 && feet <= 2147483647.0))
            refuse("elevation is beyond the range of a stored altitude");
        entry.altitude = static_cast<std::int32_t>(feet);
    } else {
        entry.frequency = static_cast<float>(row.frequency);
    }
    if (!std::isfinite(entry.frequency)) refuse("frequency is beyond the range of a stored number");
    if (Outcome checked = CheckEntryValues(entry); !checked) refuse(checked.reason);
    return entry;
}

std::uint8_t MarksOf(const Row& row, Pairing& pairing) {
    const Place* place = pairing.Find(row.line);
    return place ? place->marks : 0;
}

// A VOR row's type: by its kind, else by a paired DME row.
const char* VorType(const Row& row, Pairing& pairing) {
    if (const TypeBlock* type = TypeOfKind(row.kind); type && row.kind != kVor) return type->name;
    return MarksOf(row, pairing) & kMarked ? "VOR-DME" : "VOR";
}

// The type of the record a row gives, or null when it gives none (counted).
const char* TypeOf(const Row& row, Pairing& pairing, const ImportFilter& filter,
                   ImportTally& tally) {
    const bool vorFamily = filter.family == Family::Vor;
    if (row.kind == Kind::DmeIls && (row.code == 12 || row.code == 13)) {
        ++tally.landing;
        return nullptr;
    }
    const bool beacon = row.code == 2 || (row.code == 13 && row.kind == kNdbDme);
    if (beacon != !vorFamily) {
        ++tally.otherFamily;
        return nullptr;
    }
    switch (row.code) {
        case 2:
            // Its own row's kind, or NDB-DME for the beacon a DME row was given.
            return row.kind == kNdbDme || (MarksOf(row, pairing) & kMarked) ? "NDB-DME" : "NDB";
        case 3:
            return VorType(row, pairing);
        case 12:
            // A VOR's own DME is part of its record; one without it is
            // counted where the circle would have taken its record.
            if ((MarksOf(row, pairing) & kMarked) && Inside(filter.near, row.lat, row.lon))
                ++tally.lonelyDme;
            return nullptr;
        default:
            // 13: the DME of a beacon, part of a station, a TACAN or a DME.
            if (row.kind == kNdbDme || (MarksOf(row, pairing) & kMarked)) return nullptr;
            return row.kind == kTacan ? "TACAN" : "DME";
    }
}

// Whether a row inside the circle is kept: a DME that repeats a station's
// own is counted, and left out when the filter says so.
bool Kept(const Row& row, Pairing& pairing, const ImportFilter& filter, ImportTally& tally) {
    if (row.code != 13 || !(MarksOf(row, pairing) & kRepeats)) return true;
    ++tally.repeatedDme;
    return !filter.skipDuplicates;
}

void Read(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
          ImportTally& tally) {
    Pairing pairing;
    Pair(lines, filter, pairing);
    Pass(lines, filter, true)
        .Run(
            tally,
            [&](const Row& row) {
                try {
                    const char* type = TypeOf(row, pairing, filter, tally);
                    if (type == nullptr) return;
                    if (!Keeps(filter, row.lat, row.lon, row.ident)) {
                        ++tally.outside;
                        return;
                    }
                    if (!Kept(row, pairing, filter, tally)) return;
                    const NavaidEntry entry = Entry(row, type, filter.family);
                    if (ShortensName(entry.name)) ++tally.shortened;
                    Check(sink(entry));
                } catch (const ReadError& error) {
                    if (!filter.skipInvalid) throw;
                    PassOver(error, tally);
                }
            },
            [&](const ReadError* error) {
                if (error) {
                    PassOver(*error, tally);
                } else {
                    ++tally.landing;
                }
            });
}

}  // namespace

bool LooksLikeNavDat(const std::vector<std::string>& head) {
    bool sawI = false;
    for (std::string_view line : head) {
        if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
        std::size_t at = 0;
        const std::string_view first = NextNavDatToken(line, at);
        if (first.empty()) continue;
        if (!sawI && (first == "I" || first == "A")) {
            sawI = true;
            continue;
        }
        // A version line (810 and on), or a row of a file without one.
        int code = 0;
        auto [end, ec] = std::from_chars(first.data(), first.data() + first.size(), code);
        if (ec != std::errc() || end != first.data() + first.size()) return sawI;
        if (code > 99 || sawI) return true;
        std::size_t tokens = 1;
        while (!NextNavDatToken(line, at).empty()) ++tokens;
        return tokens >= 9;
    }
    return sawI;
}

Outcome ReadNavDat(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
                   ImportTally& tally) {
    return CatchReadError(lines, [&] { Read(lines, filter, sink, tally); });
}

}  // namespace navaid
