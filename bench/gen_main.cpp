// navaid-gen: writes a generated navaid database of any size, or a CIFP-like
// ARINC 424 file of about as many bytes as given.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "navaid_gen.h"

namespace {

bool ParseCount(const char* text, std::uint64_t& value) {
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    return ec == std::errc() && ptr == end;
}

int Usage() {
    std::fputs(
        "usage: navaid-gen vor|ndb COUNT OUTPUT [SEED [PERIOD]]\n"
        "       navaid-gen cifp BYTES OUTPUT [SEED]\n"
        "  PERIOD: the first PERIOD records over and over\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) return Usage();
    const std::string kind = argv[1];
    if (kind != "vor" && kind != "ndb" && kind != "cifp") return Usage();
    std::uint64_t count = 0, seed = 1, period = 0;
    if (!ParseCount(argv[2], count) || (argc >= 5 && !ParseCount(argv[4], seed)) ||
        (argc == 6 && (kind == "cifp" || !ParseCount(argv[5], period))))
        return Usage();
    std::string error;
    navaid::gen::CifpCounts counts;
    if (kind == "cifp" && !navaid::gen::WriteCifp(count, seed, argv[3], error, counts)) {
        std::fprintf(stderr, "navaid-gen: %s\n", error.c_str());
        return 1;
    }
    if (kind == "cifp") return 0;
    const auto family = kind == "vor" ? navaid::Family::Vor : navaid::Family::Ndb;
    if (!navaid::gen::WriteDatabase(family, count, seed, argv[3], error, period)) {
        std::fprintf(stderr, "navaid-gen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
