#include "robustness_support.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <thread>

namespace navaid::robust {

std::optional<std::string> ReadAll(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::set<std::string> Listing(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
    return names;
}

std::string Encoded(Family family, const NavaidEntry& entry) {
    std::string record;
    const Outcome outcome = EncodeRecord(family, entry, record);
    EXPECT_TRUE(outcome.ok) << outcome.Message();
    return record;
}

namespace {

void PutField(std::string& out, const std::string& field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
}

bool TakeField(std::string_view& in, std::string& field) {
    const auto colon = in.find(':');
    if (colon == std::string_view::npos) return false;
    const std::size_t size = std::strtoul(std::string(in.substr(0, colon)).c_str(), nullptr, 10);
    if (in.size() < colon + 1 + size) return false;
    field = in.substr(colon + 1, size);
    in.remove_prefix(colon + 1 + size);
    return true;
}

}  // namespace

RunResult RunInChild(const std::function<Outcome()>& operation, long failCall, int error,
                     const std::function<void()>& prepare, int deadlineSeconds) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return {};
    if (pid == 0) {
        close(fds[0]);
        if (prepare) prepare();
        io::faults::FailCall(failCall, error);
        const Outcome outcome = operation();
        const long calls = io::faults::CallCount();
        const bool injected = io::faults::Injected();
        std::string message;
        PutField(message, outcome.ok ? "1" : "0");
        PutField(message, outcome.file);
        PutField(message, outcome.reason);
        PutField(message, std::to_string(calls));
        PutField(message, injected ? "1" : "0");
        std::size_t sent = 0;
        while (sent < message.size()) {
            const ssize_t n = write(fds[1], message.data() + sent, message.size() - sent);
            if (n <= 0) _exit(3);
            sent += static_cast<std::size_t>(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string message;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(deadlineSeconds);
    bool finished = false;
    while (!finished) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
        char chunk[4096];
        const ssize_t n = read(fds[0], chunk, sizeof chunk);
        if (n <= 0)
            finished = true;  // the child closed its end
        else
            message.append(chunk, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    if (!finished) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult run;
    if (!finished || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return run;
    std::string_view in = message;
    std::string ok, calls, injected;
    if (!TakeField(in, ok) || !TakeField(in, run.file) || !TakeField(in, run.reason) ||
        !TakeField(in, calls) || !TakeField(in, injected))
        return run;
    run.returned = true;
    run.ok = ok == "1";
    run.calls = std::atol(calls.c_str());
    run.injected = injected == "1";
    return run;
}

namespace {

class Watchdog {
public:
    Watchdog() : thread_([this] { Watch(); }) { thread_.detach(); }
    void Arm(const std::string& what, int seconds) {
        std::lock_guard lock(mutex_);
        what_ = what;
        deadline_ = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        armed_ = true;
        wake_.notify_one();
    }
    void Disarm() {
        std::lock_guard lock(mutex_);
        armed_ = false;
    }

private:
    void Watch() {
        std::unique_lock lock(mutex_);
        for (;;) {
            if (!armed_) {
                wake_.wait(lock);
            } else if (wake_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
                       std::chrono::steady_clock::now() >= deadline_) {
                std::fprintf(stderr, "FAILED: %s did not return within its deadline\n",
                             what_.c_str());
                std::fflush(stderr);
                _exit(1);
            }
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    bool armed_ = false;
    std::string what_;
    std::chrono::steady_clock::time_point deadline_;
    std::thread thread_;
};

}  // namespace

RunResult RunGuarded(const std::function<Outcome()>& operation, long failCall, int error,
                     const std::string& what, int deadlineSeconds) {
    static Watchdog* watchdog = new Watchdog;  // lives as long as the program
    watchdog->Arm(what, deadlineSeconds);
    io::faults::FailCall(failCall, error);
    const Outcome outcome = operation();
    RunResult run;
    run.calls = io::faults::CallCount();
    run.injected = io::faults::Injected();
    io::faults::Reset();
    watchdog->Disarm();
    run.returned = true;
    run.ok = outcome.ok;
    run.file = outcome.file;
    run.reason = outcome.reason;
    return run;
}

void ScratchTest::SetUp() {
    previousCwd_ = fs::current_path();
    std::string pattern = (fs::temp_directory_path() / "navaid-robust-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    fs::current_path(dir_);
}

void ScratchTest::TearDown() {
    fs::current_path(previousCwd_);
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
}

}  // namespace navaid::robust
