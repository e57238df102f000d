#include "navaid_gen.h"

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

}  // namespace navaid::gen
