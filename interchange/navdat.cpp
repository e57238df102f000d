// nav.dat in and out: rows 2, 3, 12 and 13 to records and back. One file
// for the format (about 470 lines), reader and writer side by side, as each
// format of the table is.
#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "text.h"

namespace navaid {

namespace {

// A paired DME stands at its VOR; real files put it up to a few cables away.
constexpr double kPairedDmeNm = 5.0;
// How near the DME of an NDB-DME must lie to make a plain NDB row one.
constexpr double kNdbDmeNm = 1.0;
constexpr int kVorRange = 125, kNdbRange = 50;  // "unspecified" and "normal" classes

// CR too: real files mix LF and CR LF line ends.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The next whitespace-separated token from `pos`, which moves past it.
std::string_view NextToken(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

// What the last word of a name says the navaid is.
enum class Kind { None, Ndb, NdbDme, Vor, VorDme, Vortac, Tacan, Dme, DmeIls };

Kind KindOfWord(std::string_view word) {
    static const std::pair<std::string_view, Kind> kWords[] = {
        {"NDB", Kind::Ndb},        {"NDB-DME", Kind::NdbDme}, {"VOR", Kind::Vor},
        {"VOR-DME", Kind::VorDme}, {"VOR/DME", Kind::VorDme}, {"VORTAC", Kind::Vortac},
        {"TACAN", Kind::Tacan},    {"DME", Kind::Dme},        {"DME-ILS", Kind::DmeIls}};
    const std::string upper = UpperCase(word);
    for (const auto& [text, kind] : kWords)
        if (upper == text) return kind;
    return Kind::None;
}

struct Row {
    std::size_t line;
    int code;
    float lat, lon, extra;
    double elevation, frequency;
    std::string_view ident, name;  // name without the kind word
    Kind kind;
};

float ReadScaled(std::string_view text, double scale) {
    double value = 0;
    if (!ParseNavDatNumber(text, value)) return std::nanf("");
    return static_cast<float>(value / scale);
}

// The name's last word tells the kind of station when it is one the row's
// code can be; any other word is part of the name.
void SplitNameAndKind(int code, std::string_view name, Row& row) {
    std::size_t cut = name.size();
    while (cut > 0 && !IsBlank(name[cut - 1])) --cut;
    row.kind = KindOfWord(name.substr(cut));
    const Kind k = row.kind;
    const bool fits =
        code == 2    ? k == Kind::Ndb || k == Kind::NdbDme
        : code == 3  ? k >= Kind::Vor && k <= Kind::Dme
        : code == 13 ? k == Kind::Tacan || k == Kind::Dme || k == Kind::NdbDme || k == Kind::DmeIls
                     : true;
    if (!fits) row.kind = Kind::None;
    row.name = row.kind == Kind::None ? name : TrimWhiteSpace(name.substr(0, cut));
}

// Partners are found by ident and nearness, wherever they stand in the file.
class Partners {
public:
    explicit Partners(const std::vector<Row>& rows) {
        for (const Row& row : rows) {
            if (row.code == 3) vors_[row.ident].push_back(&row);
            if (row.code == 13 && row.kind == Kind::NdbDme) ndbDmes_[row.ident].push_back(&row);
        }
        for (const Row& row : rows) {
            if (row.code != 12 || row.kind == Kind::DmeIls) continue;
            if (const Row* vor = Vor(row)) vorHasDme_[vor] = true;
        }
    }
    // The VOR a DME row belongs to.
    const Row* Vor(const Row& row) const { return Find(vors_, row, kPairedDmeNm); }
    // The DME row that makes an NDB an NDB-DME.
    const Row* NdbDme(const Row& row) const { return Find(ndbDmes_, row, kNdbDmeNm); }
    bool HasDme(const Row& vor) const { return vorHasDme_.count(&vor) > 0; }

private:
    using Index = std::unordered_map<std::string_view, std::vector<const Row*>>;
    static const Row* Find(const Index& index, const Row& row, double nm) {
        auto found = index.find(row.ident);
        if (found == index.end()) return nullptr;
        for (const Row* other : found->second)
            if (DistanceNm(row.lat, row.lon, other->lat, other->lon) <= nm) return other;
        return nullptr;
    }
    Index vors_, ndbDmes_;
    std::unordered_map<const Row*, bool> vorHasDme_;
};

class NavDatReader {
public:
    explicit NavDatReader(const ImportFilter& filter)
        : family_(filter.family), near_(filter.near) {}

    void Read(std::string_view text, ImportedNavaids& result);

private:
    [[noreturn]] void Refuse(std::size_t line, const std::string& why) const {
        throw ReadError{line, why};
    }
    double Number(std::size_t line, const char* what, std::string_view token) const {
        double value = 0;
        if (!ParseNavDatNumber(token, value)) {
            Refuse(line, std::string(what) + " " + Quoted(token) + " is not a number");
        }
        return value;
    }
    Row ParseRow(std::size_t line, int code, std::string_view text, std::size_t pos) const;
    void Add(const Row& row, const char* type, ImportedNavaids& result) const;
    // The navaid rows in file order up to the closing "99" line.
    std::vector<Row> ReadRows(std::string_view text, ImportTally& tally);
    // One line after the header; true at the closing "99" line.
    bool ReadLine(std::size_t lineNumber, std::string_view line, std::vector<Row>& rows,
                  ImportTally& tally) const;
    void AddRow(const Row& row, const Partners& partners, ImportedNavaids& result) const;

    Family family_;
    const std::optional<Circle>& near_;
    bool regionColumns_ = false;
};

Row NavDatReader::ParseRow(std::size_t line, int code, std::string_view text,
                           std::size_t pos) const {
    std::string_view tokens[7];
    const char* names[7] = {"latitude", "longitude", "elevation", "frequency",
                            "range",    "variation", "ident"};
    for (int i = 0; i < 7; ++i) {
        tokens[i] = NextToken(text, pos);
        if (tokens[i].empty()) Refuse(line, std::string("the row ends before its ") + names[i]);
    }
    if (regionColumns_) {
        for (const char* column : {"terminal area", "region"}) {
            if (NextToken(text, pos).empty()) {
                Refuse(line, std::string("the row ends before its ") + column + " column");
            }
        }
    }
    Row row{};
    row.line = line;
    row.code = code;
    const double lat = Number(line, names[0], tokens[0]);
    const double lon = Number(line, names[1], tokens[1]);
    row.lat = static_cast<float>(lat);
    row.lon = static_cast<float>(lon);
    row.elevation = Number(line, names[2], tokens[2]);
    row.frequency = Number(line, names[3], tokens[3]);
    Number(line, names[4], tokens[4]);
    row.extra = static_cast<float>(Number(line, names[5], tokens[5]));
    row.ident = tokens[6];
    if (row.ident.size() > RecordLayout::kIdSize) {
        Refuse(line, "ident " + Quoted(row.ident) + " has " + std::to_string(row.ident.size()) +
                         " bytes; at most " + std::to_string(RecordLayout::kIdSize) + " fit");
    }
    SplitNameAndKind(code, TrimWhiteSpace(text.substr(pos)), row);
    return row;
}

void NavDatReader::Add(const Row& row, const char* type, ImportedNavaids& result) const {
    if (!Inside(near_, row.lat, row.lon)) {
        ++result.tally.outside;
        return;
    }
    if (!std::isfinite(row.lat) || !std::isfinite(row.lon) || !std::isfinite(row.extra)) {
        Refuse(row.line, "a number is beyond the range of a stored number");
    }
    NavaidEntry entry;
    entry.id = std::string(row.ident);
    entry.name = std::string(row.name);
    entry.latitude = row.lat;
    entry.longitude = row.lon;
    entry.magVar = row.extra;
    entry.typeName = type;
    if (family_ == Family::Vor) {
        entry.frequency = static_cast<float>(row.frequency / 100.0);
        const double feet = std::round(row.elevation);
        if (!(std::fabs(feet) <= 2147483647.0)) {
            Refuse(row.line, "elevation is beyond the range of a stored altitude");
        }
        entry.altitude = static_cast<std::int32_t>(feet);
    } else {
        entry.frequency = static_cast<float>(row.frequency);
    }
    if (!std::isfinite(entry.frequency)) {
        Refuse(row.line, "frequency is beyond the range of a stored number");
    }
    if (auto error = CheckEntryValues(entry)) Refuse(row.line, error->message);
    if (ShortensName(entry.name)) ++result.tally.shortened;
    result.entries.push_back(std::move(entry));
}

bool NavDatReader::ReadLine(std::size_t lineNumber, std::string_view line, std::vector<Row>& rows,
                            ImportTally& tally) const {
    std::size_t at = 0;
    const std::string_view first = NextToken(line, at);
    if (first.empty()) return false;
    int code = 0;
    auto [ptr, ec] = std::from_chars(first.data(), first.data() + first.size(), code);
    if (ec != std::errc() || ptr != first.data() + first.size()) {
        Refuse(lineNumber, "row code " + Quoted(first) + " is not a number");
    }
    switch (code) {
        case 99:
            return true;
        case 2:
        case 3:
        case 12:
        case 13:
            rows.push_back(ParseRow(lineNumber, code, line, at));
            return false;
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9:
        case 14:
        case 15:
        case 16:
            ++tally.landing;
            return false;
        default:
            Refuse(lineNumber, "row code " + std::to_string(code) + " is not a navaid row");
    }
}

std::vector<Row> NavDatReader::ReadRows(std::string_view text, ImportTally& tally) {
    std::vector<Row> rows;
    std::size_t lineNumber = 0, pos = 0;
    bool closed = false;
    while (pos < text.size() && !closed) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lineNumber == 1) continue;  // "I" or "A", checked by LooksLikeNavDat
        if (lineNumber == 2) {
            std::size_t at = 0;
            const std::string_view version = NextToken(line, at);
            regionColumns_ = version != "810" && version != "1000";
            continue;
        }
        closed = ReadLine(lineNumber, line, rows, tally);
    }
    if (!closed) throw ReadError{0, "no closing \"99\" line: the file is cut short"};
    return rows;
}

// A VOR row's type: by the name's last word, else by a paired DME row.
const char* VorType(const Row& row, const Partners& partners) {
    return row.kind == Kind::VorDme   ? "VOR-DME"
           : row.kind == Kind::Vortac ? "VORTAC"
           : row.kind == Kind::Tacan  ? "TACAN"
           : row.kind == Kind::Dme    ? "DME"
           : partners.HasDme(row)     ? "VOR-DME"
                                      : "VOR";
}

void NavDatReader::AddRow(const Row& row, const Partners& partners, ImportedNavaids& result) const {
    const bool vorFamily = family_ == Family::Vor;
    if (row.kind == Kind::DmeIls && (row.code == 12 || row.code == 13)) {
        ++result.tally.landing;
        return;
    }
    switch (row.code) {
        case 2:
            if (vorFamily) {
                ++result.tally.otherFamily;
            } else {
                const bool dme = row.kind == Kind::NdbDme || partners.NdbDme(row);
                Add(row, dme ? "NDB-DME" : "NDB", result);
            }
            break;
        case 3:
            if (!vorFamily) {
                ++result.tally.otherFamily;
            } else {
                Add(row, VorType(row, partners), result);
            }
            break;
        case 12:
            // A VOR's own DME is part of its record.
            if (!vorFamily) {
                ++result.tally.otherFamily;
            } else if (!partners.Vor(row)) {
                ++result.tally.lonelyDme;
            }
            break;
        case 13:
            if (row.kind == Kind::NdbDme) {
                if (vorFamily) ++result.tally.otherFamily;
            } else if (!vorFamily) {
                ++result.tally.otherFamily;
            } else {
                Add(row, row.kind == Kind::Tacan ? "TACAN" : "DME", result);
            }
            break;
    }
}

void NavDatReader::Read(std::string_view text, ImportedNavaids& result) {
    const std::vector<Row> rows = ReadRows(text, result.tally);
    const Partners partners(rows);
    for (const Row& row : rows) AddRow(row, partners, result);
}

// --- writing ---

float ReadBack(std::string_view text, double scale) { return ReadScaled(text, scale); }

struct RowText {
    std::string lat, lon, frequency, extra;
};

void AppendRow(std::string& out, int code, const RowText& t, std::int32_t elevation, int range,
               const std::string& extra, std::string_view id, const std::string& columns,
               std::string_view name, const char* word) {
    char head[160];
    std::snprintf(head, sizeof head, "%-2d %12s %13s %6d %6s %4d %8s ", code, t.lat.c_str(),
                  t.lon.c_str(), static_cast<int>(elevation), t.frequency.c_str(), range,
                  extra.c_str());
    out += head;
    out += id;
    out += ' ';
    out += columns;
    if (!name.empty()) {
        out += name;
        out += ' ';
    }
    out += word;
    out += '\n';
}

// The first token of line `number` (counting from 1).
std::string_view FirstToken(std::string_view text, int number) {
    std::size_t start = 0;
    for (int i = 1; i < number; ++i) {
        start = text.find('\n', start);
        if (start == std::string_view::npos) return {};
        ++start;
    }
    std::string_view line = text.substr(start, text.find('\n', start) - start);
    std::size_t pos = 0;
    return NextToken(line, pos);
}

bool LooksLikeNavDat(std::string_view text) {
    // The version is checked when the file is read, so that an old one is named.
    const std::string_view first = FirstToken(text, 1);
    return (first == "I" || first == "A") && text.find('\n') != std::string_view::npos;
}

void Read(std::string_view text, const ImportFilter& filter, ImportedNavaids& navaids) {
    const std::string_view version = FirstToken(text, 2);
    if (version != "810" && version != "1000" && version != "1100" && version != "1150" &&
        version != "1200") {
        throw ReadError{2, "nav.dat version " + Quoted(version) +
                               " is not one this tool reads (810, 1000, 1100, 1150, 1200)"};
    }
    NavDatReader(filter).Read(text, navaids);
}

// A station's rows: its own row, then its DME's, as the table of types says.
void AppendStationRows(std::string& text, const TypeBlock& type, const RowText& t,
                       std::int32_t elevation, std::string_view id, const std::string& columns,
                       std::string_view name) {
    const bool ndb = type.family == Family::Ndb;
    const int range = ndb ? kNdbRange : kVorRange;
    AppendRow(text, type.navDatRow, t, elevation, range, t.extra, id, columns, name, type.name);
    if (type.navDatDmeRow == 0) return;
    // A beacon's DME is written without a frequency of its own.
    const RowText dme = ndb ? RowText{t.lat, t.lon, std::string(1, '0'), t.extra} : t;
    AppendRow(text, type.navDatDmeRow, dme, elevation, range, "0.0", id, columns, name, type.name);
}

// Refuses what does not apply and fills in the defaults: version 1200, region ZZ.
Outcome Settle(ExportSettings& settings) {
    const std::string version = settings.version.value_or("1200");
    settings.navDatVersion = 0;
    for (int known : kNavDatVersions)
        if (version == std::to_string(known)) settings.navDatVersion = known;
    if (settings.navDatVersion == 0) {
        return Outcome::Usage("--navdat-version: " + Quoted(version) + " is not 810, 1100 or 1200");
    }
    if (settings.region && settings.navDatVersion < 1100) {
        return Outcome::Usage("--region is for nav.dat 1100 and 1200; 810 has no region column");
    }
    const std::string region = UpperCase(settings.region.value_or("ZZ"));
    const bool valid = region.size() == 2 && std::all_of(region.begin(), region.end(), [](char c) {
                           return std::isalnum(static_cast<unsigned char>(c));
                       });
    if (!valid)
        return Outcome::Usage("--region: " + Quoted(region) + " is not two letters or digits");
    settings.region = region;
    return Outcome::Success();
}

std::string Head(Family family, const ExportSettings& settings) {
    return "I\n" + std::to_string(settings.navDatVersion) + " Version - " + FamilyName(family) +
           " navaids written by navaid\n";
}

Outcome AppendStation(Family family, const ExportRecord& record, const ExportSettings& settings,
                      std::string& text) {
    const std::string columns =
        settings.navDatVersion >= 1100 ? "ENRT " + *settings.region + " " : "";
    const bool vor = family == Family::Vor;
    const DecodedRecord& r = record.fields;
    auto refuse = [&](const std::string& why) {
        return RefuseRecord(record, why, "nav.dat cannot hold it");
    };
    const std::string_view id = TrimWhiteSpace(r.id);
    const std::string_view name = TrimWhiteSpace(r.name);
    if (id.empty()) return refuse("its ID is empty");
    for (char c : id)
        if (IsBlank(c) || c == '\n') return refuse("its ID holds white space");
    for (char c : name)
        if (c == '\r' || c == '\n') return refuse("its name holds a line break");
    const TypeBlock* type = FindType(family, r.typeCode);
    if (type == nullptr) return refuse("its type is undefined");
    RowText t{FixedDecimal(r.latitude, 1, 8, ReadBack), FixedDecimal(r.longitude, 1, 8, ReadBack),
              FixedDecimal(r.frequency, vor ? 100 : 1, 0, ReadBack),
              FixedDecimal(r.magVar, 1, 1, ReadBack)};
    if (t.lat.empty() || t.lon.empty()) return refuse("its position is not a number");
    if (t.frequency.empty()) return refuse("its frequency is not a number");
    if (t.extra.empty()) return refuse("its MagVar is not a number");
    AppendStationRows(text, *type, t, vor ? r.altitude : 0, id, columns, name);
    return Outcome::Success();
}

}  // namespace

const Format kNavDatFormat{
    "nav.dat",
    ".dat",
    LooksLikeNavDat,
    [](const std::string& path, std::string_view text, const ImportFilter& filter,
       ImportedNavaids& navaids) {
        return CatchReadError(path, [&] { Read(text, filter, navaids); });
    },
    Settle,
    Head,
    [](Family family, const ExportRecord& record, const ExportSettings& settings, std::uint64_t,
       std::string& text) { return AppendStation(family, record, settings, text); },
    "99\n"};

}  // namespace navaid
