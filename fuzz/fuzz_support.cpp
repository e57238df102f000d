#include "fuzz_support.h"

#include <stdlib.h>

#include <filesystem>

namespace navaid::fuzz {

Scratch::Scratch() {
    std::string pattern = (std::filesystem::temp_directory_path() / "navaid-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::perror("navaid fuzz scratch folder");
        std::abort();
    }
    dir_ = pattern;
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

bool ReadFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return false;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
    const bool ok = !std::ferror(in);
    std::fclose(in);
    return ok;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::perror(path.c_str());
        std::abort();
    }
}

void Broken(const char* invariant, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, invariant);
    std::abort();
}

}  // namespace navaid::fuzz
