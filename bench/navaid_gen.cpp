#include "navaid_gen.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

namespace navaid::gen {
namespace {

constexpr const char* kSyllables[] = {
    "AL",  "BER", "BRU", "DOR", "EL",  "FEN", "GAR", "HAL", "HOL", "KIR", "LAN", "MAR",
    "MEL", "NOR", "OST", "PAL", "RIN", "ROS", "SAN", "STE", "TAL", "VAL", "WES", "ZEL",
};
constexpr const char* kEndings[] = {"", "BURG", "FELD", "TON", "VILLE", "HAVEN", "DORF", "STADT"};
constexpr const char* kVorTypes[] = {"VOR", "VOR", "VOR-DME", "VOR-DME", "VORTAC", "TACAN", "DME"};
constexpr const char* kNdbTypes[] = {"NDB", "NDB", "NDB", "NDB-DME"};

}  // namespace

NavaidGenerator::NavaidGenerator(Family family, std::uint64_t seed)
    : family_(family), state_(seed) {}

// splitmix64: tiny, fast and the same on every platform, unlike the standard
// library's distributions.
std::uint64_t NavaidGenerator::NextBits() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double NavaidGenerator::Uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(NextBits() >> 11) * 0x1.0p-53;
}

std::uint32_t NavaidGenerator::Below(std::uint32_t bound) {
    return static_cast<std::uint32_t>((NextBits() >> 32) * bound >> 32);
}

NavaidEntry NavaidGenerator::Next() {
    NavaidEntry entry;
    const std::uint32_t idLength = family_ == Family::Vor ? 2 + Below(2) : 1 + Below(4);
    for (std::uint32_t i = 0; i < idLength; ++i) entry.id += static_cast<char>('A' + Below(26));

    const std::uint32_t syllables = 2 + Below(2);
    for (std::uint32_t i = 0; i < syllables; ++i)
        entry.name += kSyllables[Below(std::size(kSyllables))];
    entry.name += kEndings[Below(std::size(kEndings))];
    if (family_ == Family::Ndb && Below(3) == 0) entry.name += " NDB";

    // Coordinates to four decimals, as published lists give them.
    entry.latitude = static_cast<float>(std::round(Uniform(-60.0, 72.0) * 1e4) / 1e4);
    entry.longitude = static_cast<float>(std::round(Uniform(-180.0, 180.0) * 1e4) / 1e4);
    entry.magVar = static_cast<float>(std::round(Uniform(-25.0, 25.0) * 10) / 10);
    if (family_ == Family::Vor) {
        entry.frequency = static_cast<float>((10800 + 5 * Below(200)) / 100.0);  // 108.00-117.95
        entry.altitude = static_cast<std::int32_t>(Below(9000));
        entry.typeName = kVorTypes[Below(std::size(kVorTypes))];
    } else {
        entry.frequency = static_cast<float>(190 + Below(1561));  // 190-1750 kHz
        entry.typeName = kNdbTypes[Below(std::size(kNdbTypes))];
    }
    return entry;
}

namespace {

// Writes `count` records, each made by `next`; removes the file when it
// cannot be written completely.
template <typename Next>
bool WriteRecords(Family family, std::uint64_t count, const std::string& path, std::string& error,
                  Next&& next) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string record;
    std::vector<char> buffer;
    buffer.reserve(1 << 20);
    bool ok = true;
    for (std::uint64_t i = 0; i < count && ok; ++i) {
        const Outcome encoded = EncodeRecord(family, next(), record);
        if (!encoded) {
            error = "record " + std::to_string(i) + ": " + encoded.Message();
            std::fclose(out);
            std::remove(path.c_str());
            return false;
        }
        buffer.insert(buffer.end(), record.begin(), record.end());
        if (buffer.size() >= (1 << 20) - 64 || i + 1 == count) {
            ok = std::fwrite(buffer.data(), 1, buffer.size(), out) == buffer.size();
            buffer.clear();
        }
    }
    ok = ok && std::fflush(out) == 0 && !std::ferror(out);
    const int writeError = errno;
    if (std::fclose(out) != 0) ok = false;
    if (!ok) {
        error = path + ": " + std::strerror(writeError != 0 ? writeError : EIO);
        std::remove(path.c_str());
    }
    return ok;
}

}  // namespace

bool WriteDatabase(Family family, std::uint64_t count, std::uint64_t seed, const std::string& path,
                   std::string& error, std::uint64_t period) {
    NavaidGenerator generator(family, seed);
    std::uint64_t i = 0;
    return WriteRecords(family, count, path, error, [&] {
        if (period != 0 && i++ % period == 0) generator = NavaidGenerator(family, seed);
        return generator.Next();
    });
}

bool WriteNextCycle(Family family, std::uint64_t count, std::uint64_t seed, const std::string& path,
                    std::string& error) {
    NavaidGenerator same(family, seed), opened(family, ~seed);
    std::uint64_t i = 0;
    return WriteRecords(family, count, path, error, [&] {
        NavaidEntry entry = same.Next();
        const std::uint64_t slot = i++ % 100;
        if (slot < 3) return opened.Next();  // this one withdrawn, a new one in its place
        if (slot < 13) {
            const bool vor = family == Family::Vor;
            const float step = vor ? 0.05f : 1.0f, top = vor ? 117.95f : 1750.0f;
            entry.frequency =
                entry.frequency + step <= top ? entry.frequency + step : entry.frequency - step;
        } else if (slot < 18) {
            // About a mile north or south, inside the map.
            entry.latitude += entry.latitude < 0 ? 0.015f : -0.015f;
        }
        return entry;
    });
}

namespace {

// A CIFP record: 132 columns of spaces with the fields put at their columns
// (numbered from 1), its record number and cycle at the end.
struct CifpRecord {
    std::string text = std::string(132, ' ');

    CifpRecord(std::string_view start, std::uint64_t number) {
        Put(1, start);
        char tail[16];
        std::snprintf(tail, sizeof tail, "%05u2604", static_cast<unsigned>(number % 100000));
        Put(124, tail);
    }
    void Put(std::size_t column, std::string_view field) {
        std::copy(field.begin(), field.end(), text.begin() + (column - 1));
    }
    // N/S DD MM SS ss then E/W DDD MM SS ss.
    void Position(std::size_t column, double lat, double lon) {
        char field[24];
        for (int i = 0; i < 2; ++i) {
            const double value = i == 0 ? lat : lon;
            const long hundredths = std::lround(std::fabs(value) * 360000);
            std::snprintf(field, sizeof field,
                          i == 0 ? "%c%02ld%02ld%02ld%02ld" : "%c%03ld%02ld%02ld%02ld",
                          (i == 0 ? "NS" : "EW")[value < 0], hundredths / 360000,
                          hundredths / 6000 % 60, hundredths / 100 % 60, hundredths % 100);
            Put(column + 9 * i, field);
        }
    }
};

// The class columns of a generated type, and whether its station columns are blank.
std::pair<const char*, bool> VhfClass(const std::string& type) {
    if (type == "VOR") return {"V  W ", false};
    if (type == "VOR-DME") return {"VDHW ", false};
    if (type == "VORTAC") return {"VTHW ", false};
    if (type == "TACAN") return {" TLW ", true};
    return {" DHW ", true};
}

std::string VhfRecord(const NavaidEntry& entry, std::uint64_t number, bool ils) {
    CifpRecord record(ils ? "SUSAD KXYZK6" : "SUSAD", number);
    const auto [klass, dmeOnly] = ils ? std::pair{" ITW ", true} : VhfClass(entry.typeName);
    char field[32];
    record.Put(14, (ils ? "I" + entry.id : entry.id).substr(0, 4));
    std::snprintf(field, sizeof field, "K40%05d",
                  static_cast<int>(std::lround(entry.frequency * 100)));
    record.Put(20, field);
    record.Put(28, klass);
    if (!dmeOnly) record.Position(33, entry.latitude, entry.longitude);
    if (std::string_view(klass).substr(1, 1) != " ") {
        record.Position(56, entry.latitude, entry.longitude);
        std::snprintf(field, sizeof field, "%05d", static_cast<int>(entry.altitude));
        record.Put(80, field);
    }
    std::snprintf(field, sizeof field, "%c%04d", entry.magVar < 0 ? 'W' : 'E',
                  static_cast<int>(std::lround(std::fabs(entry.magVar) * 10)));
    record.Put(75, field);
    record.Put(85, "2");  // the figure of merit: high altitude
    record.Put(91, "NAR" + entry.name.substr(0, 30));
    return record.text;
}

std::string NdbRecord(const NavaidEntry& entry, std::uint64_t number, bool terminal) {
    CifpRecord record(terminal ? "SUSAPNKXYZK6" : "SUSADB", number);
    char field[32];
    record.Put(14, entry.id);
    std::snprintf(field, sizeof field, "K40%05d",
                  static_cast<int>(std::lround(entry.frequency * 10)));
    record.Put(20, field);
    record.Put(28, terminal ? "HO W " : "H  W ");
    record.Position(33, entry.latitude, entry.longitude);
    std::snprintf(field, sizeof field, "%c%04d", entry.magVar < 0 ? 'W' : 'E',
                  static_cast<int>(std::lround(std::fabs(entry.magVar) * 10)));
    record.Put(75, field);
    record.Put(91, "NAR" + entry.name.substr(0, 30));
    return record.text;
}

// A record of the file's bulk: a waypoint, an airport or a procedure leg.
std::string OtherRecord(const NavaidEntry& place, std::uint64_t number) {
    static const char* const kStarts[] = {"SUSAEAENRT   ", "SUSAP KXYZK6A", "SUSAP KXYZK6FI28R  ",
                                          "SUSAP KXYZK6DRNAV1 ", "SUSAP KXYZK6ERNAV2 "};
    const std::size_t kind = number % std::size(kStarts);
    CifpRecord record(kStarts[kind], number);
    record.Put(kind < 2 ? 14 : 30, place.id);
    record.Position(33, place.latitude, place.longitude);
    record.Put(75, "E0040");
    record.Put(91, "NAR" + place.name.substr(0, 30));
    return record.text;
}

}  // namespace

bool WriteCifp(std::uint64_t bytes, std::uint64_t seed, const std::string& path, std::string& error,
               CifpCounts& counts) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    NavaidGenerator vors(Family::Vor, seed), ndbs(Family::Ndb, seed), places(Family::Ndb, ~seed);
    std::string text = "HDR01BENCHCIFP      001P013200000002604" + std::string(93, ' ') +
                       "\r\nHDR02" + std::string(127, ' ') + "\r\n";
    counts = {};
    bool ok = true;
    for (std::uint64_t i = 0, written = 0; ok && written + text.size() < bytes; ++i) {
        const std::uint64_t slot = i % 100;
        if (slot < 2) {
            const bool ils = i % 1000 == 1;  // one in 20 VHF records
            text += VhfRecord(vors.Next(), i, ils) + "\r\n";
            counts.vhf += !ils;
            if (i % 400 == 0)  // a continuation of one in 8
                text += CifpRecord("SUSAD        CNT   K42", i).text + "\r\n";
        } else {
            text +=
                slot == 2 ? NdbRecord(ndbs.Next(), i, i % 300 == 2) : OtherRecord(places.Next(), i);
            text += "\r\n";
            counts.ndb += slot == 2;
        }
        ++counts.records;
        if (text.size() < (1 << 20)) continue;
        ok = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        written += text.size();
        text.clear();
    }
    ok = ok && std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0) ok = false;
    if (!ok) error = path + ": " + std::strerror(errno != 0 ? errno : EIO);
    return ok;
}

}  // namespace navaid::gen
