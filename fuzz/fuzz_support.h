// What the fuzz targets share: the check that aborts, a folder of the
// process's own for the files they write, and without libFuzzer a main that
// replays the folders of inputs named on the command line.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#define CHECK(c) ((c) ? (void)0 : (std::fprintf(stderr, "broken: %s\n", #c), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace navaid::fuzz {

// A folder of the process's own, removed at exit.
struct Folder {
    std::string path = (std::filesystem::temp_directory_path() / "navaid-fuzz-XXXXXX").string();
    Folder() { CHECK(mkdtemp(path.data()) != nullptr); }
    ~Folder() { std::filesystem::remove_all(path); }
};

inline std::string Path(const char* name) {
    static const Folder folder;
    return folder.path + "/" + name;
}

inline std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<none>";
}

inline void Write(const std::string& path, const std::string& bytes) {
    CHECK(std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size()).good());
}

}  // namespace navaid::fuzz

#ifdef NAVAID_FUZZ_REPLAY
// Without libFuzzer: each file of the folders named on the command line, once.
int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            const std::string bytes = navaid::fuzz::Read(entry.path().string());
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return count == 0;
}
#endif
