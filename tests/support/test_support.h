// Shared by the test suites: a scratch folder per test that is also the
// current directory (where the temporary record file goes), and whole-file I/O.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "navaid_db.h"

namespace navaid::test {

namespace fs = std::filesystem;

// The file's bytes, or nothing when there is no regular file of that name.
inline std::optional<std::string> ReadAll(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Where the tests' additions build their record: the program's own name for
// it, so that the tool is seen to leave that file alone too.
inline constexpr const char* kRecordFile = "navblock.qvz";

// A record encoded by the core; "" when refused, which must say why.
inline std::string Encoded(Family family, const NavaidEntry& entry) {
    std::string record;
    const Outcome outcome = EncodeRecord(family, entry, record);
    EXPECT_NE(outcome.ok, outcome.reason.size() > 0);
    return outcome.ok ? record : "";
}

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        fs::create_directories(dir_ = fs::temp_directory_path() /
                                      ("navaid-test-" + std::to_string(stamp)));
        fs::current_path(dir_);
        io::faults::Reset();
    }
    void TearDown() override {
        io::faults::Reset();
        fs::current_path(previous_);
        fs::remove_all(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

private:
    fs::path dir_, previous_ = fs::current_path();
};

}  // namespace navaid::test
