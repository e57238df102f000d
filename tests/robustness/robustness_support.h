// Helpers of the robustness tests: a scratch folder that is also the current
// directory, whole-file reads and writes, and running an operation in a
// child process with a deadline, so a hang is reported instead of waited for.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "navaid_db.h"

namespace navaid::robust {

namespace fs = std::filesystem;

std::optional<std::string> ReadAll(const fs::path& path);  // nullopt when there is no file
void WriteAll(const fs::path& path, std::string_view bytes);
std::set<std::string> Listing(const fs::path& dir);  // names in the folder

// A record encoded by the core (its bytes are proven by the core tests).
std::string Encoded(Family family, const NavaidEntry& entry);

struct RunResult {
    bool returned = false;  // false: still running at the deadline, or died
    bool ok = false;
    std::string file, reason;
    long calls = 0;
    bool injected = false;
};

// Runs `operation` in a forked child, with the `failCall`-th seam call failing
// with `error` (0: no fault), after `prepare` ran in the child. Waits at most
// `deadlineSeconds` for the outcome.
RunResult RunInChild(const std::function<Outcome()>& operation, long failCall, int error,
                     const std::function<void()>& prepare = {}, int deadlineSeconds = 20);

// Runs `operation` in this process with the `failCall`-th seam call failing
// with `error`. A watchdog ends the whole test program with a message naming
// `what` if the operation has not returned after `deadlineSeconds`: much
// cheaper than a child process per run, and a hang still cannot go unnoticed.
RunResult RunGuarded(const std::function<Outcome()>& operation, long failCall, int error,
                     const std::string& what, int deadlineSeconds = 20);

class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    std::string Path(std::string_view name) const { return (dir_ / name).string(); }
    const fs::path& Dir() const { return dir_; }

private:
    fs::path dir_;
    fs::path previousCwd_;
};

}  // namespace navaid::robust
