// Every operation and every command of the tool with each of its file calls
// failing in turn through the core's seam: it must return, name the file and
// the reason, leave the database as it was, leave no wrong output and no
// temporary record file. A finished edit whose record file could not be
// removed stays, with a warning.
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <sstream>
#include <thread>
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "command.h"
#include "interrupt.h"
#include "navaid_db.h"
#include "staged_output.h"
#include "test_support.h"

namespace navaid::test {
namespace {

const std::string kStale = "the copy an earlier step made";

// The tool's "navaid: FILE: REASON" and status 1, or its warning, taken apart.
Outcome Tool(const std::string& command) {
    std::vector<std::string> args;
    std::istringstream words(command);
    for (std::string word; words >> word;) args.push_back(word);
    std::ostringstream out, err;
    const int status = cli::RunTool(args, {out, err});
    std::string said = err.str();
    // A misaligned database's warning comes first, before what failed.
    while (said.starts_with("navaid: warning: ") && said.find('\n') + 1 < said.size())
        said.erase(0, said.find('\n') + 1);
    const std::size_t colon = said.rfind(": ");
    if (status == cli::kExitOk && said.starts_with("navaid: warning: ")) {
        const std::size_t end = said.find(": ", 17);
        return Outcome::Warning(said.substr(17, end - 17), said.substr(end + 2));
    }
    if (status == cli::kExitOk || status == cli::kExitFindings) return Outcome::Success();
    if (status != cli::kExitFileError || !said.starts_with("navaid: ") || !said.ends_with("\n"))
        return Outcome::Failure("unexpected: " + said, "");
    return Outcome::Failure(said.substr(8, colon - 8),
                            said.substr(colon + 2, said.size() - colon - 3));
}

struct Operation {
    std::string command;         // the tool's arguments; empty for the core's working copy
    std::string source, output;  // empty: no database / writes no file
    bool leftoverTemporary = false;
    std::string next = {};      // a DATABASE.new for apply to put in place
    std::string compared = {};  // a file it only compares OUT with, which a failure may name
};

std::vector<Operation> Operations(std::size_t count) {
    // Reading commands take a trailing piece; edits refuse it before any call that matters.
    const std::string whole = std::string(56 * count, 'v'), vor = whole + std::string(30, 'P');
    const std::string ndb = std::string(53 * 3, 'n'), n = std::to_string(count - 1);
    const std::string add = " db.qvz --id C --name X --lat 1 --lon 2 --freq 110 --magvar 0 --type ";
    // clang-format off
    return {{"", vor, "db.qvz.new"}, {"", "", "db.qvz.new"}, {"add vor" + add + "VOR", whole, "db.qvz.new"},
            {"add vor" + add + "VOR", whole, "db.qvz.new", true}, {"add ndb" + add + "NDB-DME", ndb, "db.qvz.new"},
            {"delete vor db.qvz 0", whole, "db.qvz.new"}, {"delete vor db.qvz " + n, whole, "db.qvz.new"},
            {"labels vor db.qvz", vor, ""}, {"labels ndb db.qvz", ndb, ""},
            {"list vor db.qvz", vor, "db.qvz.txt"}, {"list ndb db.qvz", ndb, "db.qvz.txt"},
            {"check vor db.qvz", vor, ""}, {"find vor db.qvz --name V", vor, ""},
            {"import vor db.qvz rows.csv", whole, "db.qvz.new"}, {"map vor db.qvz m.svg", vor, "m.svg"},
            {"set vor db.qvz 0 --freq 111", whole, "db.qvz.new"}, {"delete vor db.qvz --name V", whole, "db.qvz.new"},
            {"update vor db.qvz rows.csv --add-new", whole, "db.qvz.new"},
            {"edit vor db.qvz edits.txt", whole, "db.qvz.new"},
            {"apply vor db.qvz", whole, "db.qvz.bak", false, std::string(56 * count + 56, 'w')},
            {"update vor db.qvz rows.csv --dry-run --map m.svg", whole, "m.svg", false, "", "db.qvz.new"},
            {"update vor db.qvz rows.csv --dry-run --report r.json", whole, "r.json"}};
    // clang-format on
}

class FaultSweepTest : public ScratchTest, public ::testing::WithParamInterface<int> {
protected:
    void Prepare(const Operation& op) {
        for (const auto& entry : fs::directory_iterator(".")) fs::remove_all(entry.path());
        if (!op.source.empty()) WriteAll("db.qvz", op.source);
        if (!op.output.empty()) WriteAll(op.output, kStale);
        if (op.leftoverTemporary) WriteAll(kRecordFile, "a leftover record file");
        WriteAll("rows.csv", "id,name,lat,lon,freq,magvar,type\nC,X,1,2,110,0,VOR\n");
        WriteAll("edits.txt",
                 "set 0 --freq 111\ndelete 1\nadd --id C --name X --lat 1 --lon 2 "
                 "--freq 110 --magvar 0 --type VOR\n");
        if (!op.next.empty()) WriteAll("db.qvz.new", op.next);
    }
    Outcome Run(const Operation& op) {
        return op.command.empty() ? MakeWorkingCopy("db.qvz", "db.qvz.new") : Tool(op.command);
    }
    // Every call of `op`, failing in turn with `error`.
    void Sweep(const Operation& op, int error, long every = 1) {
        SCOPED_TRACE(op.command + " of " + std::to_string(op.source.size()) + " bytes");
        Prepare(op);
        ASSERT_TRUE(Run(op).ok);
        const long calls = io::faults::CallCount();
        const auto golden = ReadAll(op.output);
        if (op.command.empty()) {
            EXPECT_EQ(golden, op.source);  // the copy, over a longer stale one
        }
        for (long n = 1; n <= calls; ++n) {
            if (n > 40 && n < calls - 150 && n % every != 0) continue;
            SCOPED_TRACE("failing call " + std::to_string(n));
            Prepare(op);
            io::faults::FailCall(n, error);
            const Outcome result = Run(op);
            ASSERT_TRUE(io::faults::Injected());
            io::faults::Reset();
            if (result.HasWarning()) {
                EXPECT_EQ(result.file, kRecordFile);
                EXPECT_TRUE(result.reason.find(io::ErrorText(error)) != std::string::npos);
                EXPECT_EQ(ReadAll(op.output), golden);
                continue;
            }
            EXPECT_TRUE(result.reason.starts_with(io::ErrorText(error))) << result.reason;
            const std::set<std::string> files = {"db.qvz",  "rows.csv",   "edits.txt",
                                                 op.output, "db.qvz.new", kRecordFile};
            // A refusal to make the temporary file is its folder's.
            const bool folder = result.file == "." && result.reason.ends_with(" is written)");
            EXPECT_TRUE(files.count(result.file) || result.file == op.compared ||
                        (folder && error == EACCES))
                << result.file;
            if (result.reason.ends_with("(the new file is in place)")) {
                // Only the folder's flush after the move failed.
                EXPECT_EQ(ReadAll(op.output), golden);
                continue;
            }
            EXPECT_EQ(ReadAll("db.qvz").value_or(""), op.source);
            const auto output = ReadAll(op.output);
            // The tool's outputs are moved into place complete: the earlier
            // one stays. The core's own are removed if this run emptied them.
            if (!op.next.empty()) {
                // apply's backup may be in place, the move over the database not made.
                EXPECT_TRUE(output == kStale || output == op.source) << op.output << " lost";
                EXPECT_EQ(ReadAll("db.qvz.new"), op.next);
            } else if (!op.command.empty()) {
                EXPECT_TRUE(op.output.empty() || output == kStale) << op.output << " lost";
            } else {
                EXPECT_TRUE(!output || output == golden || output == kStale)
                    << op.output << " left behind";
            }
            // A record file is left only where one was before and this run never opened it.
            const auto temporary = ReadAll(kRecordFile);
            if (temporary) {
                EXPECT_TRUE(op.leftoverTemporary && temporary == "a leftover record file");
            }
            for (const auto& entry : fs::directory_iterator("."))
                EXPECT_TRUE(files.count(entry.path().filename().string())) << entry.path();
        }
    }
};

// Also on files larger than the 64 KiB copy buffer, which take several reads and writes.
TEST_P(FaultSweepTest, EveryFailingCallIsReportedAndLosesNothing) {
    for (std::size_t count : {3, 1200})
        for (const Operation& op : Operations(count))
            if (count == 3 || op.output != "db.qvz.txt") Sweep(op, GetParam());
}

// A large list writes line by line: thousands of calls, every 13th in the middle failing.
TEST_F(FaultSweepTest, LargeFilesListFailingAnywhere) {
    for (const Operation& op : Operations(1200))
        if (op.output == "db.qvz.txt") Sweep(op, EIO, 13);
}

INSTANTIATE_TEST_SUITE_P(Errors, FaultSweepTest, ::testing::Values(EIO, ENOSPC, EACCES));

// Real conditions of the operating system that root cannot override: a full disk,
// and a folder where the record file goes. Folders and files in a path are the
// core tests' concern, as they run under Windows too.
TEST_F(FaultSweepTest, FullDiskAndAFolderAsTheRecordFile) {
    const NavaidEntry entry{"LAX", "LOS ANGELES", 33.93f, -118.43f, 113.6f, 13.0f, 120, "VORTAC"};
    const std::string source(560, 'v');
    WriteAll("db.qvz", source);
    // The record file stays where it is a folder or a link to a device.
    const auto expectFailure = [&](const Outcome& outcome, const std::string& file, int error) {
        EXPECT_EQ(outcome.file + ": " + outcome.reason, file + ": " + io::ErrorText(error));
        EXPECT_EQ(ReadAll("db.qvz"), source);
        EXPECT_EQ(fs::exists(fs::symlink_status(kRecordFile)),
                  error == EISDIR || fs::is_symlink(kRecordFile));
    };
    fs::create_directories(fs::path(kRecordFile) / "keep");
    WriteAll("db.qvz.new", "the copy the flow made");
    expectFailure(AddNavaidToFiles(Family::Vor, "db.qvz", "db.qvz.new", entry, kRecordFile),
                  kRecordFile, EISDIR);
    // The working copy was not this addition's to remove.
    EXPECT_TRUE(ReadAll("db.qvz.new") == "the copy the flow made" &&
                fs::exists(fs::path(kRecordFile) / "keep"));
    fs::remove_all(kRecordFile);
    if (!fs::is_character_file("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    const std::function<Outcome(const std::string&)> writers[] = {
        [](auto& out) { return MakeWorkingCopy("db.qvz", out); },
        [&](auto& out) { return AddNavaidToFiles(Family::Vor, "db.qvz", out, entry, kRecordFile); },
        [](auto& out) { return DeleteNavaid("db.qvz", out, kVorRecordSize, 0); },
        [](auto& out) { return ExportNavaidList(Family::Vor, "db.qvz", out); }};
    for (const auto& write : writers) {
        // A link to a device names the device: a failed output there stays.
        fs::create_symlink("/dev/full", "full.new");
        expectFailure(write("full.new"), "full.new", ENOSPC);
        EXPECT_TRUE(fs::is_symlink("full.new"));
        fs::remove("full.new");
    }
    fs::create_symlink("/dev/full", kRecordFile);
    expectFailure(writers[1]("x"), kRecordFile, ENOSPC);
    EXPECT_TRUE(fs::is_character_file("/dev/full") && fs::is_symlink(kRecordFile) &&
                !fs::exists("x"));
}

// What a finished output is made of: flushed before its move and its folder
// after, the earlier one's mode and owner, and a temporary name that fits
// wherever the target's does.
TEST_F(FaultSweepTest, AnOutputIsFlushedAndKeepsTheEarlierOnesMode) {
    WriteAll("db.qvz", std::string(56 * 3, 'v'));
    WriteAll("db.qvz.new", kStale);
    fs::permissions("db.qvz.new", fs::perms(0640));
#if !defined(_WIN32)
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown("db.qvz.new", 65534, 65534), 0);
    }
#endif
    io::faults::StartLog();
    ASSERT_TRUE(
        Tool("add vor db.qvz --id C --name X --lat 1 --lon 2 --freq 110 --magvar 0 --type VOR").ok);
    std::vector<std::string> log(io::faults::Log().begin(), io::faults::Log().end());
    const auto at = [&](const char* name) {
        return std::find(log.begin(), log.end(), name) - log.begin();
    };
    EXPECT_LT(at("keep mode"), at("flush"));
    EXPECT_LT(at("flush"), at("move"));
    EXPECT_LT(at("move"), at("flush folder"));
    EXPECT_LT(at("flush folder"), static_cast<long>(log.size()));
    EXPECT_EQ(fs::status("db.qvz.new").permissions(), fs::perms(0640));
#if !defined(_WIN32)
    struct stat info {};
    ASSERT_EQ(stat("db.qvz.new", &info), 0);
    if (root) {
        EXPECT_EQ(info.st_uid, 65534u);
    }
#endif
    for (std::size_t size : {5, 60, 255}) {
        const std::string name = "sub/" + std::string(size - 4, 'x') + ".new";
        const std::string temporary = cli::StagedOutput::TemporaryName(name);
        EXPECT_TRUE(temporary.starts_with("sub/x") && temporary.ends_with(".tmp")) << temporary;
        EXPECT_LE(temporary.size() - 4, std::max<std::size_t>(size, 64));
    }
}

#if !defined(_WIN32)
// A FIFO named as an output is written as one, not replaced by a file: a
// copy of the database goes through the buffer, and a selection that picks
// nothing sends it nothing.
TEST_F(FaultSweepTest, AFifoAsTheOutputIsWrittenDirectly) {
    const std::string add =
        "add vor db.qvz --id C --name X --lat 1 --lon 2 --freq 110 --magvar 0 --type VOR";
    const struct {
        std::string command, fifo;
        int status;
        std::size_t bytes;  // what the reader gets (0: not checked)
        std::string last;   // how that ends
    } rows[] = {{"map vor db.qvz out.svg", "out.svg", 0, 0, "</svg>\n"},
                {add, "db.qvz.new", 0, 56 * 4, ""},
                {"delete vor db.qvz --id NOSUCH", "db.qvz.new", 1, 0, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.command);
        WriteAll("db.qvz", std::string(56 * 3, 'v'));
        ASSERT_EQ(mkfifo(row.fifo.c_str(), 0644), 0);
        std::string read;
        std::atomic<bool> done = false;
        std::thread reader([&] {
            std::ifstream in(row.fifo, std::ios::binary);
            read.assign(std::istreambuf_iterator<char>(in), {});
            done = true;
        });
        const Outcome result = Tool(row.command);
        // A run that never opened the FIFO leaves the reader waiting: an end is sent.
        for (int fd = -1; !done && fd < 0; usleep(1000))
            if ((fd = open(row.fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0) close(fd);
        reader.join();
        EXPECT_EQ(result.ok, row.status == 0) << result.file << ": " << result.reason;
        EXPECT_TRUE(read.ends_with(row.last) && (row.bytes == 0 || read.size() == row.bytes))
            << read.size();
        EXPECT_TRUE(fs::is_fifo(row.fifo));
        fs::remove(row.fifo);
    }
}

// What stands at an output's name: a link stays and its target is replaced;
// a link into the process's descriptors is that descriptor; a write-protected
// file (even for root) and a socket are refused and stay.
TEST_F(FaultSweepTest, AnOutputsNameIsFollowedOrRefused) {
    WriteAll("db.qvz", std::string(56 * 3, 'v'));
    const auto run = [](const std::string& out) {
        std::ostringstream said, err;
        cli::RunTool({"map", "vor", "db.qvz", out}, {said, err});
        return err.str();
    };
    fs::create_directory("real");
    WriteAll("real/out.svg", kStale);
    fs::create_symlink("real/out.svg", "out.svg");
    EXPECT_EQ(run("out.svg"), "");
    EXPECT_TRUE(fs::is_symlink("out.svg") && ReadAll("real/out.svg")->ends_with("</svg>\n"));
    const int descriptor = open("fd.svg", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const std::string name = "/proc/self/fd/" + std::to_string(descriptor);
    EXPECT_EQ(run(name), "wrote " + name + " (descriptor " + std::to_string(descriptor) +
                             ", written directly): 0 of 3 records drawn\n");
    close(descriptor);
    EXPECT_TRUE(ReadAll("fd.svg")->ends_with("</svg>\n"));
    WriteAll("ro.svg", kStale);
    chmod("ro.svg", 0444);
    EXPECT_EQ(run("ro.svg"), "navaid: ro.svg: " + io::ErrorText(EACCES) + "\n");
    EXPECT_EQ(ReadAll("ro.svg"), kStale);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, "s.svg");
    ASSERT_EQ(bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(run("s.svg"), "navaid: s.svg: is a socket, which cannot be opened as a file\n");
    close(socket);
    // Standard output as '-' that is the database, as `>> db.qvz` makes it.
    const pid_t child = fork();
    if (child == 0) {
        dup2(open("db.qvz", O_WRONLY | O_APPEND), 1);
        std::ostringstream out, err;
        _exit(cli::RunTool({"map", "vor", "db.qvz", "-"}, {out, err}));
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), cli::kExitUsage);
    EXPECT_EQ(ReadAll("db.qvz"), std::string(56 * 3, 'v'));
}

// A signal during a long import: the temporary file goes, the earlier output
// stays, and the status is the signal's. The rows come through a pipe that
// stays open, so the child is still importing when the signal comes.
TEST_F(FaultSweepTest, ASignalRemovesTheTemporaryFile) {
    WriteAll("db.qvz", "");
    std::string rows = "id,name,lat,lon,freq,magvar,type\n";
    for (int i = 0; i < 5000; ++i) rows += "A1,X,1,2,110,0,VOR\n";
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        WriteAll("db.qvz.new", kStale);
        int pipe[2];
        ASSERT_EQ(::pipe(pipe), 0);
        const pid_t child = fork();
        if (child == 0) {
            dup2(pipe[0], 0);
            close(pipe[1]);
            std::signal(signal, SIG_DFL);  // as a shell's background job may not
            cli::HandleInterrupts();
            std::ostringstream out, err;
            _exit(cli::RunTool({"import", "vor", "db.qvz", "-"}, {out, err}));
        }
        close(pipe[0]);
        ASSERT_EQ(write(pipe[1], rows.data(), rows.size()), static_cast<ssize_t>(rows.size()));
        const auto temporaries = [] {
            int count = 0;
            for (const auto& entry : fs::directory_iterator("."))
                count += entry.path().extension() == ".tmp";
            return count;
        };
        for (int wait = 0; wait < 1000 && temporaries() == 0; ++wait) usleep(10000);
        EXPECT_EQ(temporaries(), 1);
        kill(child, signal);
        int status = 0;
        waitpid(child, &status, 0);
        close(pipe[1]);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signal) << signal;
        EXPECT_EQ(temporaries(), 0);
        EXPECT_EQ(ReadAll("db.qvz.new"), kStale);
    }
}

// A signal once the new output is in place (here while its folder is
// flushed) stops nothing: the run ends with its own status and its line.
TEST_F(FaultSweepTest, ASignalAfterTheMoveLetsTheRunFinish) {
    WriteAll("db.qvz", std::string(56 * 3, 'v'));
    const std::vector<std::string> args = {"delete", "vor", "db.qvz", "0"};
    std::ostringstream out, err;
    WriteAll("db.qvz.new", kStale);
    io::faults::StartLog();
    ASSERT_EQ(cli::RunTool(args, {out, err}), cli::kExitOk);
    const auto& log = io::faults::Log();
    const long flush = std::find(log.begin(), log.end(), std::string("flush folder")) - log.begin();
    io::faults::Reset();
    WriteAll("db.qvz.new", kStale);
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGTERM, SIG_DFL);
        cli::HandleInterrupts();
        io::faults::BeforeCall(flush + 1, [] { raise(SIGTERM); });
        const int status = cli::RunTool(args, {out, err});
        _exit(status == cli::kExitOk && out.str().starts_with("wrote db.qvz.new") ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadAll("db.qvz.new"), std::string(56 * 2, 'v'));
}

// A signal before DATABASE.new is in place (as it is flushed) removes every
// temporary file the run holds: the report's, opened at the start, too.
TEST_F(FaultSweepTest, ASignalRemovesEachOfTheRunsTemporaryFiles) {
    for (const char* outputs : {"--report r.csv", "--report r.json --map m.svg"}) {
        SCOPED_TRACE(outputs);
        Prepare({"", std::string(56 * 3, 'v'), "db.qvz.new"});
        const std::string command = std::string("update vor db.qvz rows.csv --add-new ") + outputs;
        io::faults::StartLog();
        ASSERT_TRUE(Tool(command).ok);
        const auto& log = io::faults::Log();
        const long flush = std::find(log.begin(), log.end(), std::string("flush")) - log.begin();
        io::faults::Reset();
        Prepare({"", std::string(56 * 3, 'v'), "db.qvz.new"});
        const pid_t child = fork();
        if (child == 0) {
            std::signal(SIGTERM, SIG_DFL);
            cli::HandleInterrupts();
            io::faults::BeforeCall(flush + 1, [] { raise(SIGTERM); });
            _exit(Tool(command).ok ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM) << status;
        for (const auto& entry : fs::directory_iterator("."))
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        EXPECT_EQ(ReadAll("db.qvz.new"), kStale);
        EXPECT_FALSE(fs::exists("r.csv") || fs::exists("r.json") || fs::exists("m.svg"));
    }
}

// A folder that refuses new files is named as the cause. Root may write
// anywhere, so the tool runs as an ordinary user then.
TEST_F(FaultSweepTest, AReadOnlyFolderIsNamed) {
    WriteAll("db.qvz", std::string(56 * 3, 'v'));
    chmod(".", 0555);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(3);
        std::ostringstream out, err;
        cli::RunTool({"list", "vor", "db.qvz"}, {out, err});
        _exit(err.str() == "navaid: .: Permission denied (the folder where db.qvz.txt is written)\n"
                  ? 0
                  : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    chmod(".", 0755);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

}  // namespace
}  // namespace navaid::test
