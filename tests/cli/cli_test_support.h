// Shared pieces of the command-line tool's tests: a scratch folder that is
// also the current directory, raw record building, and running the tool.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace navaid::cli::testing {

struct RawRecord {
    std::string id = "ABC", name = "TEST";
    float lat = 50, lon = 8, freq = 114.2f, magvar = 1;
    std::int32_t alt = 0;
    std::uint8_t code = 1;  // VOR type code, or '5'/'7' for NDB
};

// Builds the record bytes directly, so tests can hold what writers never write.
inline std::string Raw(Family family, const RawRecord& r) {
    std::vector<std::uint8_t> b(RecordSize(family), 0);
    std::string id = r.id, name = r.name;
    id.resize(10, ' ');
    name.resize(20, ' ');
    std::copy(id.begin(), id.end(), b.begin());
    std::copy(name.begin(), name.end(), b.begin() + 10);
    WriteFloatLE(&b[30], r.lat);
    WriteFloatLE(&b[34], r.lon);
    WriteFloatLE(&b[38], r.freq);
    WriteFloatLE(&b[42], r.magvar);
    WriteInt32LE(&b[46], r.alt);
    b[50] = r.code;
    if (family == Family::Ndb) {
        b[51] = b[52] = ' ';
    } else {
        const TypeBlock* block = nullptr;
        std::size_t count = 0;
        const TypeBlock* blocks = TypeBlocks(count);
        for (std::size_t i = 0; i < count; ++i)
            if (blocks[i].family == Family::Vor && blocks[i].bytes[0] == r.code) block = &blocks[i];
        if (block) std::copy(block->bytes.begin(), block->bytes.end(), b.begin() + 50);
    }
    return std::string(b.begin(), b.end());
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("navaid-cli-" + std::string(info->test_suite_name()) + "-" + info->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }

    int Run(std::vector<std::string> args) {
        std::ostringstream out, err;
        int status = RunTool(args, Console{out, err});
        out_ = out.str();
        err_ = err.str();
        return status;
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(path); }

    std::filesystem::path previous_, dir_;
    std::string out_, err_;
};

}  // namespace navaid::cli::testing
