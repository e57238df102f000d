// ARINC 424 in, as the FAA publishes it each cycle (its CIFP): the VOR family
// from the VHF navaid records ("D "), NDBs from the enroute ("DB") and
// terminal ("PN") NDB records. Every other record (airports, waypoints,
// procedures: most of the file) is passed over; one pass, nothing kept.
#include <cmath>
#include <optional>

#include "code_page.h"
#include "entry_texts.h"
#include "format_parts.h"
#include "text.h"

namespace navaid {

namespace {

constexpr std::size_t kRecordSize = 132;

// A field by its columns, numbered from 1 as the layout numbers them.
std::string_view Field(std::string_view record, std::size_t first, std::size_t last) {
    return record.substr(first - 1, last - first + 1);
}

bool Blank(std::string_view field) { return field.find_first_not_of(' ') == field.npos; }

bool Digits(std::string_view field, unsigned& value) {
    if (field.empty()) return false;
    value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + unsigned(c - '0');
    }
    return true;
}

bool IsUpperOrDigit(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// A record's first columns: S (standard) or T (tailored), the area, a section.
bool StartsRecord(std::string_view line) {
    return line.size() == kRecordSize && (line[0] == 'S' || line[0] == 'T') &&
           IsUpperOrDigit(line[1]) && IsUpperOrDigit(line[2]) && IsUpperOrDigit(line[3]) &&
           line[4] >= 'A' && line[4] <= 'Z';
}

bool StartsHeader(std::string_view line) {
    return line.size() >= 5 && line.starts_with("HDR") && IsUpperOrDigit(line[3]) &&
           IsUpperOrDigit(line[4]);
}

// A BOM, which some editors put before the first line, is no column.
std::string_view WithoutBom(std::string_view line) {
    return line.starts_with("\xEF\xBB\xBF") ? line.substr(3) : line;
}

// Header records, then a record of 132 columns: what follows is left to the
// reading, which names the line of a record that is not one.
bool LooksLikeArinc424(const std::vector<std::string>& head) {
    bool headers = false;
    for (std::string_view line : head) {
        if (!headers) line = WithoutBom(line);
        if (TrimWhiteSpace(line).empty()) continue;
        if (!StartsHeader(line)) return StartsRecord(line);
        headers = true;
    }
    return headers;
}

// One record of a navaid, read by its columns.
class Record {
public:
    Record(std::string_view text, std::size_t line) : text_(text), line_(line) {}

    std::string_view At(std::size_t first, std::size_t last) const {
        return Field(text_, first, last);
    }
    char At(std::size_t column) const { return text_[column - 1]; }
    [[noreturn]] void Refuse(std::size_t first, std::size_t last, const std::string& what) const {
        const std::string columns =
            first == last ? "column " + std::to_string(first)
                          : "columns " + std::to_string(first) + "-" + std::to_string(last);
        Refuse(columns + ": " + Quoted(EscapeBytes(At(first, last))) + " " + what);
    }
    [[noreturn]] void Refuse(const std::string& why) const { throw ReadError{line_, why}; }

private:
    std::string_view text_;
    std::size_t line_;
};

// N32285279, W099514843: hemisphere, degrees, minutes, seconds and hundredths.
double Angle(const Record& record, std::size_t first, std::size_t degreeDigits) {
    const std::size_t last = first + degreeDigits + 6;
    const std::string_view field = record.At(first, last);
    const bool latitude = degreeDigits == 2;
    const char plus = latitude ? 'N' : 'E', minus = latitude ? 'S' : 'W';
    unsigned degrees = 0, minutes = 0, seconds = 0, hundredths = 0;
    if ((field[0] != plus && field[0] != minus) ||
        !Digits(field.substr(1, degreeDigits), degrees) ||
        !Digits(field.substr(1 + degreeDigits, 2), minutes) || minutes > 59 ||
        !Digits(field.substr(3 + degreeDigits, 2), seconds) || seconds > 59 ||
        !Digits(field.substr(5 + degreeDigits, 2), hundredths)) {
        record.Refuse(first, last,
                      std::string("is no ") + (latitude ? "latitude (N or S, DDMMSSss)"
                                                        : "longitude (E or W, DDDMMSSss)"));
    }
    const double value = degrees + minutes / 60.0 + (seconds + hundredths / 100.0) / 3600.0;
    return field[0] == minus ? -value : value;
}

// The station's position, or for a DME alone (blank station columns) the DME's.
void ReadPosition(const Record& record, Family family, NavaidEntry& entry) {
    std::size_t at = 33;
    if (family == Family::Vor && Blank(record.At(33, 51))) at = 56;
    if (at == 56 && Blank(record.At(56, 74)))
        record.Refuse("columns 33-51 and 56-74: no position, of the station or of its DME");
    entry.latitude = static_cast<float>(Angle(record, at, 2));
    entry.longitude = static_cast<float>(Angle(record, at + 9, 3));
}

// E0100 is 10.0 east, W0160 16.0 west; a station oriented to true north (T)
// or to the grid (G) has none; blank states none. The letter gives the side,
// so E1850 is no west variation written another way: over 180.0 is refused.
void ReadVariation(const Record& record, NavaidEntry& entry) {
    const std::string_view field = record.At(75, 79);
    unsigned tenths = 0;
    if (Blank(field)) {
        entry.unstated |= kUnstatedMagVar;
    } else if (field[0] == 'T' || field[0] == 'G') {
        entry.magVar = 0;
    } else if ((field[0] == 'E' || field[0] == 'W') && Digits(field.substr(1), tenths) &&
               tenths <= 1800) {
        entry.magVar = static_cast<float>((field[0] == 'W' ? -1.0 : 1.0) * tenths / 10.0);
    } else {
        record.Refuse(75, 79,
                      "is no variation (E or W and tenths of a degree up to 1800, T or G)");
    }
}

// The DME's elevation in feet; a station without a DME states none.
void ReadElevation(const Record& record, NavaidEntry& entry) {
    const std::string_view field = TrimWhiteSpace(record.At(80, 84));
    unsigned feet = 0;
    if (field.empty()) {
        entry.unstated |= kUnstatedAltitude;
    } else if (Digits(field.substr(field[0] == '-'), feet)) {
        entry.altitude = static_cast<std::int32_t>(feet) * (field[0] == '-' ? -1 : 1);
    } else {
        record.Refuse(80, 84, "is no elevation in feet");
    }
}

// VHF in 10 kHz (11370 is 113.70 MHz), NDB in 0.1 kHz (03650 is 365.0 kHz).
void ReadFrequency(const Record& record, Family family, NavaidEntry& entry) {
    unsigned units = 0;
    if (!Digits(record.At(23, 27), units)) record.Refuse(23, 27, "is no frequency");
    entry.frequency = static_cast<float>(family == Family::Vor ? units / 100.0 : units / 10.0);
}

// The type the class columns give; null for the DME of a landing system.
const char* VhfType(const Record& record) {
    const char vor = record.At(28), dme = record.At(29);
    if (dme == 'I' || dme == 'N' || dme == 'P') return nullptr;  // ILS/DME, MLS
    if (vor == 'V' && dme == 'D') return "VOR-DME";
    if (vor == 'V' && (dme == 'T' || dme == 'M')) return "VORTAC";
    if (vor == 'V' && dme == ' ') return "VOR";
    if (vor == ' ' && dme == 'D') return "DME";
    if (vor == ' ' && (dme == 'T' || dme == 'M')) return "TACAN";
    record.Refuse(28, 29, "is no class of a VOR, DME or TACAN");
}

const char* NdbType(const Record& record) {
    const char beacon = record.At(28);
    if (beacon != 'H' && beacon != 'S' && beacon != 'M')
        record.Refuse(28, 28, "is no class of an NDB (H, S or M)");
    return "NDB";
}

// The navaid of a record of the filter's family, or nothing for one passed over.
std::optional<NavaidEntry> ReadNavaid(const Record& record, const ImportFilter& filter,
                                      ImportTally& tally) {
    // A station out of service is passed over whatever its class says.
    if (record.At(85) == '9') {
        ++tally.outOfService;
        return std::nullopt;
    }
    const bool vhf = filter.family == Family::Vor;
    const char* type = vhf ? VhfType(record) : NdbType(record);
    if (type == nullptr) {
        ++tally.landing;
        return std::nullopt;
    }
    NavaidEntry entry;
    ReadPosition(record, filter.family, entry);
    if (!Keeps(filter, entry.latitude, entry.longitude, TrimWhiteSpace(record.At(14, 17)))) {
        ++tally.outside;
        return std::nullopt;
    }
    ReadFrequency(record, filter.family, entry);
    ReadVariation(record, entry);
    if (vhf) ReadElevation(record, entry);
    entry.typeName = type;
    entry.id = StoredText(TrimWhiteSpace(record.At(14, 17)), tally);
    entry.name = StoredText(TrimWhiteSpace(record.At(94, 123)), tally);
    if (Outcome checked = CheckEntryValues(entry); !checked) record.Refuse(checked.reason);
    if (ShortensName(entry.name)) ++tally.shortened;
    return entry;
}

// The data cycle (YYCC): the header's when it gives one, else the latest of
// the records' (each carries the cycle it last changed in).
struct Cycles {
    std::string header, latest;

    static unsigned Order(std::string_view cycle) {
        unsigned yycc = 0;
        Digits(cycle, yycc);
        return yycc < 8000 ? yycc + 10000 : yycc;  // 8001 is 1980's, 2604 2026's
    }
    void OfRecord(std::string_view cycle) {
        unsigned yycc = 0;
        if (Digits(cycle, yycc) && (latest.empty() || Order(cycle) > Order(latest))) latest = cycle;
    }
    // HDR01: columns 36-39.
    void OfHeader(std::string_view line) {
        unsigned yycc = 0;
        if (header.empty() && line.starts_with("HDR01") && line.size() >= 39 &&
            Digits(Field(line, 36, 39), yycc))
            header = Field(line, 36, 39);
    }
    std::string Stated() const { return header.empty() ? latest : header; }
};

// One line: a header, a record of another section, a continuation, or a navaid.
void ReadLine(std::string_view line, std::size_t number, const ImportFilter& filter,
              const NavaidSink& sink, ImportTally& tally, Cycles& cycles) {
    if (StartsHeader(line)) return cycles.OfHeader(line);
    if (line.size() != kRecordSize)
        throw ReadError{number, "has " + std::to_string(line.size()) + " columns, not the " +
                                    std::to_string(kRecordSize) + " of an ARINC 424 record"};
    if (!StartsRecord(line))
        throw ReadError{number, "is no ARINC 424 record: it starts " +
                                    Quoted(EscapeBytes(line.substr(0, 5))) +
                                    ", not S or T and an area and section code"};
    cycles.OfRecord(Field(line, 129, 132));
    const std::string_view section = Field(line, 5, 6);
    const bool vhf = section == "D ", ndb = section == "DB" || section == "PN";
    if (!vhf && !ndb) return;
    ++tally.rows;  // a file of airports and procedures alone holds no navaid rows
    const Record record(line, number);
    const char continuation = record.At(22);
    if (continuation != '0' && continuation != '1') {
        if (!IsUpperOrDigit(continuation)) record.Refuse(22, 22, "is no continuation number");
        return;  // more fields of the record before
    }
    if ((vhf ? Family::Vor : Family::Ndb) != filter.family) {
        ++tally.otherFamily;
        return;
    }
    if (auto entry = ReadNavaid(record, filter, tally)) Check(sink(*entry));
}

void Read(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
          ImportTally& tally) {
    Cycles cycles;
    std::string_view line;
    bool got = false;
    bool started = false;
    while (Check(lines.Next(line, got)), got) {
        if (!started) line = WithoutBom(line);
        if (Blank(line)) continue;
        started = true;
        try {
            ReadLine(line, lines.Number(), filter, sink, tally, cycles);
        } catch (const ReadError& error) {
            if (!filter.skipInvalid) throw;
            PassOver(error, tally);
        }
    }
    tally.cycle = cycles.Stated();
}

}  // namespace

const Format kArinc424Format{
    "ARINC 424",
    {},
    LooksLikeArinc424,
    [](LineReader& lines, const ImportFilter& filter, const NavaidSink& sink, ImportTally& tally) {
        return CatchReadError(lines, [&] { Read(lines, filter, sink, tally); });
    },
    nullptr,
    nullptr,
    nullptr,
    {}};

}  // namespace navaid
