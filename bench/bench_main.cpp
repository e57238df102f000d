// navaid-bench: add, delete, list and labels on generated databases of
// 20,000, 100,000 and 1,000,000 records, the tool's commands on them, then
// import from nav.dat and ARINC 424, update from nav.dat, and update on
// twins. Each operation runs in a process of its own, so its peak memory is
// its own, and is timed
// against a floor. About 550 lines: the measuring, the floors and the table
// belong together.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "navaid_db.h"
#include "navaid_gen.h"

extern char** environ;

namespace {

using navaid::Family;
// The command-line tool, whose commands are measured as users run them.
constexpr const char* kNavaidTool = NAVAID_TOOL;

struct RunResult {
    double seconds = 0;
    double cpuSeconds = 0;  // user and system time of the process
    long peakKiB = 0;
};

// This program, which runs the operations and measures other commands.
std::string g_self;

struct Finished {
    int status = 0;
    rusage usage{};
    double seconds = 0;
    std::string printed;  // standard output, unless it went to /dev/null
};

// Runs a program to completion; exits when it could not be started.
Finished Spawn(const std::vector<std::string>& args, bool keepOutput) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput) {
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    } else {
        // A command's own output (labels, find) goes nowhere: no process
        // must grow with it, nor the figure wait for it.
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addclose(&actions, out[0]);
    Finished done;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "navaid-bench: cannot start %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char chunk[256];
    for (ssize_t n; (n = read(out[0], chunk, sizeof chunk)) > 0;) done.printed.append(chunk, n);
    close(out[0]);
    if (wait4(pid, &done.status, 0, &done.usage) != pid) done.status = -1;
    done.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return done;
}

double CpuSeconds(const rusage& usage) {
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// The measuring side (navaid-bench --measure COMMAND...): runs the command
// with its output to /dev/null and prints its seconds, CPU seconds and peak
// KiB. The kernel's peak for a child also counts the pages of the process
// that started it, taken over until exec: this process is small, while the
// benchmark has grown with the databases it wrote.
int Measure(const std::vector<std::string>& command) {
    const Finished done = Spawn(command, false);
    if (done.status < 0 || !WIFEXITED(done.status)) return 1;
    std::printf("%.6f %.6f %ld\n", done.seconds, CpuSeconds(done.usage), done.usage.ru_maxrss);
    return WEXITSTATUS(done.status);
}

// Runs a program to completion `repeats` times and keeps the fastest run.
// Exits on failure, since a figure from a failed run would mislead. This
// program's own operations print their peak memory (their high-water mark
// since exec); any other command runs under the measuring side. `output`,
// when given, is removed before each run (replacing an existing large file
// costs the kernel as much as writing a new one, and every command must pay
// alike) and after it, so that its pages are dropped instead of being
// written back to disk while the next command is timed.
RunResult RunBest(const std::vector<std::string>& args, int repeats,
                  const std::string& output = "") {
    const bool own = args.size() > 1 && args[0] == g_self && args[1] == "--run";
    std::vector<std::string> run = args;
    if (!own) run.insert(run.begin(), {g_self, "--measure"});
    RunResult best{1e30, 1e30, 0};
    for (int r = 0; r < repeats; ++r) {
        if (!output.empty()) std::remove(output.c_str());
        const Finished done = Spawn(run, true);
        // 'navaid check' says with status 3 that it found something.
        if (done.status < 0 || !WIFEXITED(done.status) ||
            (WEXITSTATUS(done.status) != 0 && !(!own && WEXITSTATUS(done.status) == 3))) {
            std::fprintf(stderr, "navaid-bench: %s %s failed\n", args[0].c_str(),
                         args.size() > 1 ? args[1].c_str() : "");
            std::exit(1);
        }
        RunResult figures{done.seconds, CpuSeconds(done.usage), std::atol(done.printed.c_str())};
        if (!own && std::sscanf(done.printed.c_str(), "%lf %lf %ld", &figures.seconds,
                                &figures.cpuSeconds, &figures.peakKiB) != 3) {
            std::fprintf(stderr, "navaid-bench: no figures for %s\n", args[0].c_str());
            std::exit(1);
        }
        best.seconds = std::min(best.seconds, figures.seconds);
        best.cpuSeconds = std::min(best.cpuSeconds, figures.cpuSeconds);
        best.peakKiB = std::max(best.peakKiB, figures.peakKiB);
        if (!output.empty()) std::remove(output.c_str());
    }
    return best;
}

// This process's peak resident memory in KiB (VmHWM), counted from its exec.
long OwnPeakKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    long kib = 0;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

// The operating system's floor for a list: one write call per line of about
// the list's line length, as a flushed line costs.
navaid::Outcome WriteFloor(const std::string& path, long long lines) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return navaid::Outcome::Failure(path, std::strerror(errno));
    const std::string line(90, 'x');
    for (long long i = 0; i < lines; ++i) {
        if (write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            close(fd);
            return navaid::Outcome::Failure(path, std::strerror(errno));
        }
    }
    close(fd);
    return navaid::Outcome::Success();
}

// The floor of a durable copy: cp's copy inside the kernel, then the copy
// flushed to the disk.
navaid::Outcome CopyFloor(const std::string& source, const std::string& path) {
    const int in = open(source.c_str(), O_RDONLY);
    const int out = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ssize_t copied = in < 0 || out < 0 ? -1 : 1;
    while (copied > 0) copied = copy_file_range(in, nullptr, out, nullptr, 1 << 30, 0);
    if (in >= 0) close(in);
    if (out >= 0) close(out);
    if (copied < 0) return navaid::Outcome::Failure(path, std::strerror(errno));
    return navaid::Outcome::Success();
}

constexpr int kRepeats = 5;
// Copies take milliseconds, and a busy machine's noise is of that order.
constexpr int kCopyRepeats = 15;
// A list makes a million system calls at 1,000,000 records; on a shared
// machine its clock moves with every neighbour, so it and its floor get more
// turns than the other commands.
constexpr int kListRepeats = 9;

// Keeps the best figures of two runs of the same command.
void Keep(RunResult& best, const RunResult& run) {
    best.seconds = std::min(best.seconds, run.seconds);
    best.cpuSeconds = std::min(best.cpuSeconds, run.cpuSeconds);
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
}

Family ParseFamily(const std::string& text) { return text == "vor" ? Family::Vor : Family::Ndb; }

// The child side: one operation on one file, in a fresh process.
// "OP+flush" is OP, then the flush of its output and of the folder that every
// output of the tool gets around its move into place.
int RunOperation(const std::string& name, Family family, const std::string& source,
                 long long records) {
    const bool flush = name.ends_with("+flush");
    const std::string op = flush ? name.substr(0, name.size() - 6) : name;
    const std::string output = source + (op == "cp"      ? ".cp"
                                         : op == "list"  ? ".txt"
                                         : op == "floor" ? ".floor"
                                                         : ".new");
    const std::size_t size = navaid::RecordSize(family);
    navaid::Outcome outcome;
    if (op == "cp") {
        outcome = CopyFloor(source, output);
    } else if (op == "add") {
        navaid::NavaidEntry entry{
            "BNC",  "BENCHMARK", 50.1f, 8.6f,
            114.2f, 1.5f,        400,   family == Family::Vor ? "VOR-DME" : "NDB"};
        outcome = navaid::AddNavaidToFiles(family, source, source + ".new", entry, "navblock.qvz");
    } else if (op == "delete") {
        outcome = navaid::DeleteNavaid(source, source + ".new", size, records / 2);
    } else if (op == "list") {
        outcome = navaid::ExportNavaidList(family, source, source + ".txt");
    } else if (op == "labels") {
        std::vector<std::string> labels;
        outcome = navaid::ListRecordLabels(source, size, labels);
        if (outcome && static_cast<long long>(labels.size()) != records)
            outcome = navaid::Outcome::Failure(source, "wrong label count");
    } else if (op == "floor") {
        outcome = WriteFloor(source + ".floor", records);
    } else if (op != "start") {
        outcome = navaid::Outcome::Failure("", "unknown operation " + op);
    }
    if (outcome && flush) outcome = navaid::io::FlushFile(output);
    if (outcome && flush) outcome = navaid::io::FlushFolder(output);
    if (!outcome) {
        std::fprintf(stderr, "navaid-bench: %s: %s\n", op.c_str(), outcome.Message().c_str());
        return 1;
    }
    std::printf("%ld\n", OwnPeakKiB());
    return 0;
}

// What the tool's flushes cost: add, delete and the list and their floors
// again, each followed by the flush of its output and of the folder.
template <typename Row>
void FlushedRows(const std::string& exe, const char* kind, const std::string& file,
                 long long records, const Row& row) {
    const char* flushed[3][3] = {{"cp+flush", "add+flush", ".new"},
                                 {"cp+flush", "delete+flush", ".new"},
                                 {"floor+flush", "list+flush", ".txt"}};
    for (const auto& [floorOp, op, suffix] : flushed) {
        const bool list = std::strcmp(suffix, ".txt") == 0;
        RunResult floor{1e30, 1e30, 0}, result{1e30, 1e30, 0};
        for (int r = 0; r < kRepeats; ++r) {
            Keep(floor, RunBest({exe, "--run", floorOp, kind, file, std::to_string(records)}, 1,
                                file + (list ? ".floor" : ".cp")));
            Keep(result, RunBest({exe, "--run", op, kind, file, std::to_string(records)}, 1,
                                 file + suffix));
        }
        row(kind, records, list ? "write+flush" : "cp+flush", floor, "", nullptr);
        row(kind, records, op, result, list ? "write" : "cp", &floor);
    }
}

// The data rows of a nav.dat the tool exported (not its "I", version and
// "99" lines), at most `most` of them, appended to `out`; the header lines
// go to `header` when given. The number of rows copied, or -1.
long long CopyNavDatRows(const std::string& path, std::FILE* out, long long most,
                         std::string* header = nullptr) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return -1;
    char line[512];
    long long rows = 0, lines = 0;
    while (rows < most && std::fgets(line, sizeof line, in) != nullptr) {
        if (lines++ < 2) {
            if (header != nullptr) *header += line;
            continue;
        }
        if (std::strcmp(line, "99\n") == 0) break;
        std::fputs(line, out);
        ++rows;
    }
    std::fclose(in);
    return rows;
}

// Writes `path` as the header of the first file, then the rows of each (at
// most `most` in all), then "99". The number of rows, or -1.
long long JoinNavDat(const std::string& path, const std::vector<std::string>& parts,
                     long long most) {
    std::string header;
    std::FILE* rows = std::tmpfile();
    long long count = 0;
    for (std::size_t i = 0; i < parts.size() && rows != nullptr; ++i) {
        const long long copied =
            CopyNavDatRows(parts[i], rows, most - count, i == 0 ? &header : nullptr);
        if (copied < 0) return -1;
        count += copied;
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (rows == nullptr || out == nullptr) return -1;
    std::fputs(header.c_str(), out);
    std::rewind(rows);
    char chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, rows)) > 0;)
        std::fwrite(chunk, 1, n, out);
    std::fputs("99\n", out);
    std::fclose(rows);
    return std::fclose(out) == 0 ? count : -1;
}

long long FileBytes(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

// Import from a generated CIFP-like ARINC 424 file of 40 MB (navaids about 3
// in 100 of its records), per byte against nav.dat: the floor is the world
// nav.dat's import scaled to as many bytes. Its limit leaves 32 bytes for
// each navaid kept.
template <typename Row>
bool ImportCifp(const Row& row, const RunResult (&navDat)[2], long long navDatBytes) {
    std::string error;
    navaid::gen::CifpCounts counts;
    if (!navaid::gen::WriteCifp(40000000, 42, "cifp", error, counts)) {
        std::fprintf(stderr, "navaid-bench: %s\n", error.c_str());
        return false;
    }
    sync();
    const long long bytes = FileBytes("cifp");
    const char* kinds[] = {"vor", "ndb"};
    for (int k = 0; k < 2; ++k) {
        RunResult floor = navDat[k];
        floor.seconds *= double(bytes) / navDatBytes;
        floor.cpuSeconds *= double(bytes) / navDatBytes;
        const RunResult r = RunBest({kNavaidTool, "import", kinds[k], "empty.qvz", "cifp"},
                                    kRepeats, "empty.qvz.new");
        const std::uint64_t kept = k == 0 ? counts.vhf : counts.ndb;
        row(kinds[k], static_cast<long long>(counts.records), "import (CIFP)", r, "nav.dat", &floor,
            16 * 1024 + 32 * kept / 1024);
        std::printf("%-6s %9lld %-14s %.1f MB/s, %llu navaids kept; nav.dat (world) %.1f MB/s\n",
                    kinds[k], static_cast<long long>(counts.records), "", bytes / r.seconds / 1e6,
                    static_cast<unsigned long long>(kept), navDatBytes / navDat[k].seconds / 1e6);
    }
    std::remove("cifp");
    return true;
}

// Import from nav.dat as the tool exports it: a file of the whole world's
// size (about 25,000 rows of VORs, their DMEs and NDBs) and a file of as
// many rows as the largest database has records (1,000,000), the next cycle
// of a database of as many records cut there. That database is then updated from it, in turns with
// the import of the same file. Import's limit leaves 32 bytes a row for what
// pairs a DME with its station; update's 64 bytes for each record and each
// navaid it compares.
template <typename Row>
bool ImportAndUpdate(long long maxRecords, const Row& row) {
    std::printf("\n%-6s %9s %-14s %9s %12s %-6s %7s %8s %9s %10s %10s\n", "family", "rows", "op",
                "seconds", "rows/s", "floor", "ratio", "cpu s", "cpu ratio", "peak KiB",
                "limit KiB");
    std::string error;
    auto made = [&](bool ok) {
        if (!ok) std::fprintf(stderr, "navaid-bench: %s\n", error.c_str());
        return ok;
    };
    auto exported = [](const char* kind, const std::string& database, const std::string& out) {
        RunBest({kNavaidTool, "export", kind, database, out}, 1);
    };
    if (!made(navaid::gen::WriteDatabase(Family::Vor, 12000, 42, "world-vor.qvz", error)) ||
        !made(navaid::gen::WriteDatabase(Family::Ndb, 6500, 42, "world-ndb.qvz", error)))
        return false;
    exported("vor", "world-vor.qvz", "world-vor.dat");
    exported("ndb", "world-ndb.qvz", "world-ndb.dat");
    const long long worldRows =
        JoinNavDat("world.dat", {"world-vor.dat", "world-ndb.dat"}, 1LL << 62);
    if (worldRows < 0) return made(false);
    sync();
    auto importing = [](const char* kind, const std::string& file) {
        return std::vector<std::string>{kNavaidTool, "import", kind, "empty.qvz", file};
    };
    RunResult world[2];
    for (int k = 0; k < 2; ++k) {
        const char* kind = k == 0 ? "vor" : "ndb";
        world[k] = RunBest(importing(kind, "world.dat"), kRepeats, "empty.qvz.new");
        row(kind, worldRows, "import (world)", world[k], "", nullptr,
            16 * 1024 + 32 * worldRows / 1024);
    }
    if (!ImportCifp(row, world, FileBytes("world.dat"))) return false;
    // As many records and rows as the largest database above.
    const long long records = std::min(maxRecords, 1000000LL);
    for (const char* kind : {"vor", "ndb"}) {
        if (records <= 0) break;
        const Family family = ParseFamily(kind);
        const std::string database = std::string(kind) + "-current.qvz";
        if (!made(navaid::gen::WriteDatabase(family, records, 42, database, error)) ||
            !made(navaid::gen::WriteNextCycle(family, records, 42, "next.qvz", error)))
            return false;
        exported(kind, "next.qvz", "next.dat");
        const long long rows = JoinNavDat("million.dat", {"next.dat"}, records);
        if (rows < 0) return made(false);
        sync();
        // The update's summary says how many navaids of the file it compared.
        const std::vector<std::string> update = {kNavaidTool, "update", kind, database,
                                                 "million.dat"};
        std::vector<std::string> dryRun = update;
        dryRun.push_back("--dry-run");
        const std::string printed = Spawn(dryRun, true).printed;
        const std::size_t last = printed.rfind('\n', printed.size() - 2);
        const std::string summary = printed.substr(last == std::string::npos ? 0 : last + 1);
        long long compared = 0, unchanged = 0, changed = 0, added = 0;
        if (std::sscanf(summary.c_str() + database.size(),
                        ": %lld records compared: %lld unchanged, %lld changed, %*d withdrawn "
                        "(kept), %lld new",
                        &compared, &unchanged, &changed, &added) != 4) {
            std::fprintf(stderr, "navaid-bench: no summary from update: %s", summary.c_str());
            return false;
        }
        std::vector<std::string> reported = update;
        reported.insert(reported.end(), {"--report", "report.csv"});
        RunResult imported{1e30, 1e30, 0}, updated{1e30, 1e30, 0}, withReport{1e30, 1e30, 0};
        for (int r = 0; r < kRepeats; ++r) {
            Keep(imported, RunBest(importing(kind, "million.dat"), 1, "empty.qvz.new"));
            Keep(updated, RunBest(update, 1, database + ".new"));
            Keep(withReport, RunBest(reported, 1, database + ".new"));
            std::remove("report.csv");
        }
        row(kind, rows, "import", imported, "", nullptr, 16 * 1024 + 32 * rows / 1024);
        row(kind, rows, "update", updated, "import", &imported,
            16 * 1024 + 64 * (compared + unchanged + changed + added) / 1024);
        // The report holds its rows until the run is done: 160 bytes for each.
        row(kind, rows, "update+report", withReport, "update", &updated,
            16 * 1024 + (64 * (compared + unchanged + changed + added) +
                         160 * (compared - unchanged + added)) / 1024);
        std::printf("%-6s %9lld %-14s %s", kind, rows, "", summary.c_str());
        for (const char* file : {database.c_str(), "next.qvz", "next.dat", "million.dat"})
            std::remove(file);
    }
    for (const char* file :
         {"world-vor.qvz", "world-ndb.qvz", "world-vor.dat", "world-ndb.dat", "world.dat"})
        std::remove(file);
    return true;
}

constexpr long long kTwins = 100000, kMany = 10000000;

// The nav.dat files of the pairing's rows, as gzip data.
bool WritePairingFiles() {
    auto write = [](const char* path, long long rows, auto&& line) {
        gzFile out = gzopen(path, "wb1");
        if (out == nullptr) return false;
        gzputs(out, "I\n810 Version - navaid-bench\n");
        for (long long i = 0; i < rows; ++i) gzputs(out, line(i).c_str());
        gzputs(out, "99\n");
        return gzclose(out) == Z_OK;
    };
    return write("twins.dat.gz", kTwins,
                 [](long long) {
                     return std::string("13 50.0 8.0 0 11000 50 0.0 AAA TWIN DME\n");
                 }) &&
           write("distinct.dat.gz", kTwins,
                 [](long long i) {
                     return "13 " + std::to_string(-80 + (i * 7919 % 160000) / 1000.0) + " " +
                            std::to_string(-180 + (i * 104729 % 360000) / 1000.0) +
                            " 0 11000 50 0.0 D" + std::to_string(i) + " DISTINCT DME\n";
                 }) &&
           write("many.dat.gz", kMany, [](long long i) {
               return "12 " + std::to_string(i % 89) + " 0 0 11000 50 0.0 A\n";
           });
}

// Pairing and memory at the edges of import. 100,000 DME rows of one ident
// at one place, beside as many of distinct idents and places (the twins'
// ratio to them, within 2); then 10,000,000 short DME rows without a VOR
// (gzip data of a few MB), whose places the pairing keeps (28 bytes each),
// and the same rows outside a --near circle, of which it keeps nothing:
// 16 MiB and 32 bytes for each row kept.
template <typename Row>
bool ImportPairing(const Row& row) {
    if (!WritePairingFiles()) {
        std::fprintf(stderr, "navaid-bench: cannot write the pairing's nav.dat files\n");
        return false;
    }
    auto importing = [](const char* file, std::vector<std::string> more = {}) {
        std::vector<std::string> args{kNavaidTool, "import", "vor", "empty.qvz", file};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    RunResult distinct{1e30, 1e30, 0}, twins{1e30, 1e30, 0};
    for (int r = 0; r < kRepeats; ++r) {
        Keep(distinct, RunBest(importing("distinct.dat.gz"), 1, "empty.qvz.new"));
        Keep(twins, RunBest(importing("twins.dat.gz"), 1, "empty.qvz.new"));
    }
    const long limit = 16 * 1024 + 32 * kTwins / 1024;
    row("vor", kTwins, "import (other)", distinct, "", nullptr, limit);
    row("vor", kTwins, "import (twins)", twins, "other", &distinct, limit);
    row("vor", kMany, "import (lone)", RunBest(importing("many.dat.gz"), 1, "empty.qvz.new"), "",
        nullptr, 16 * 1024 + 32 * kMany / 1024);
    row("vor", kMany, "import (circle)",
        RunBest(importing("many.dat.gz", {"--near", "-60,100", "--within", "10"}), 1,
                "empty.qvz.new"),
        "", nullptr, 16 * 1024);
    for (const char* file : {"twins.dat.gz", "distinct.dat.gz", "many.dat.gz"}) std::remove(file);
    return true;
}
// `count` copies of one generated record, its frequency moved by `shift`:
// twins, one ID at one place, as a file imported over and over holds them.
bool WriteTwins(Family family, long long count, float shift, const std::string& path,
                std::string& error) {
    if (!navaid::gen::WriteDatabase(family, 1, 42, path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    std::uint8_t record[navaid::kVorRecordSize] = {};
    const std::size_t size = navaid::RecordSize(family);
    bool ok = file != nullptr && std::fread(record, 1, size, file) == size;
    std::uint8_t* frequency = record + navaid::RecordLayout::kFrequency;
    navaid::WriteFloatLE(frequency, navaid::ReadFloatLE(frequency) + shift);
    ok = ok && std::fseek(file, 0, SEEK_SET) == 0;
    for (long long i = 0; ok && i < count; ++i) ok = std::fwrite(record, 1, size, file) == size;
    if (file != nullptr && std::fclose(file) != 0) ok = false;
    if (!ok) error = path + ": cannot be written";
    return ok;
}

// Update on twins against as many distinct stations: 100,000 twins paired
// with the same 100,000, and 20,000 of one ID against 20,000 newer ones
// that change each; the distinct databases against their next cycle. The
// ratio is the twins' seconds over the stations'; the limit 16 MiB and 32
// bytes for each record and each navaid kept.
template <typename Row>
bool Twins(long long maxRecords, const Row& row) {
    std::printf("\n%-6s %9s %-14s %9s %12s %-6s %7s %8s %9s %10s %10s\n", "family", "records", "op",
                "seconds", "records/s", "floor", "ratio", "cpu s", "cpu ratio", "peak KiB",
                "limit KiB");
    std::string error;
    for (const auto& [records, shift] : {std::pair{100000LL, 0.0f}, std::pair{20000LL, 0.05f}}) {
        if (records > maxRecords) continue;
        if (!WriteTwins(Family::Vor, records, 0, "twins.qvz", error) ||
            !WriteTwins(Family::Vor, records, shift, "twins-newer.qvz", error) ||
            !navaid::gen::WriteDatabase(Family::Vor, records, 42, "distinct.qvz", error) ||
            !navaid::gen::WriteNextCycle(Family::Vor, records, 42, "distinct-newer.qvz", error)) {
            std::fprintf(stderr, "navaid-bench: %s\n", error.c_str());
            return false;
        }
        sync();
        auto update = [](const char* database, const char* newer) {
            return std::vector<std::string>{kNavaidTool, "update", "vor", database, newer};
        };
        RunResult distinct{1e30, 1e30, 0}, twins{1e30, 1e30, 0};
        for (int r = 0; r < kRepeats; ++r) {
            Keep(distinct,
                 RunBest(update("distinct.qvz", "distinct-newer.qvz"), 1, "distinct.qvz.new"));
            Keep(twins, RunBest(update("twins.qvz", "twins-newer.qvz"), 1, "twins.qvz.new"));
        }
        const long limit = 16 * 1024 + 32 * 2 * records / 1024;
        row("vor", records, "update (dist.)", distinct, "", nullptr, limit);
        row("vor", records, shift == 0 ? "update (twins)" : "update (1 ID)", twins, "dist.",
            &distinct, limit);
        for (const char* file :
             {"twins.qvz", "twins-newer.qvz", "distinct.qvz", "distinct-newer.qvz"})
            std::remove(file);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 6 && std::strcmp(argv[1], "--run") == 0)
        return RunOperation(argv[2], ParseFamily(argv[3]), argv[4], std::atoll(argv[5]));
    if (argc > 2 && std::strcmp(argv[1], "--measure") == 0)
        return Measure(std::vector<std::string>(argv + 2, argv + argc));
    if (argc < 2 || argc > 3) {
        std::fputs("usage: navaid-bench WORKDIR [MAX_RECORDS]\n", stderr);
        return 2;
    }
    const std::string work = argv[1];
    const long long maxRecords = argc == 3 ? std::atoll(argv[2]) : 1000000;
    mkdir(work.c_str(), 0777);
    // The temporary "navblock.qvz" goes to the current directory.
    if (chdir(work.c_str()) != 0) {
        std::perror(work.c_str());
        return 1;
    }
    const std::string self = "/proc/self/exe";
    char exe[4096] = {};
    if (readlink(self.c_str(), exe, sizeof exe - 1) <= 0) return 1;
    g_self = exe;

    const RunResult start = RunBest({exe, "--run", "start", "vor", "none", "0"}, 3);
    const RunResult cliStart = RunBest({kNavaidTool, "--help"}, 3);
    std::printf("process start-up: %.4f s, %ld KiB; navaid --help: %ld KiB\n", start.seconds,
                start.peakKiB, cliStart.peakKiB);
    std::printf(
        "best of %d runs each (copies %d, the list and its floor %d, three times as\n"
        "many below 1,000,000 records); ratio = seconds / the seconds of the floor in\n"
        "the row above, run in turns with it; cpu = the process's user and system\n"
        "time, steadier than the clock on a busy machine\n",
        kRepeats, kCopyRepeats, kListRepeats);
    std::printf(
        "floors: add and delete against cp (which copies inside the kernel); list\n"
        "against one write call per line of the list's length (its flush per line);\n"
        "memory: peak resident size; a navaid command's limit is 16 MiB, and check\n"
        "and diff, which remember something of every record, may add 32 bytes for\n"
        "each record they read\n\n");
    std::printf("%-6s %9s %-14s %9s %12s %-6s %7s %8s %9s %10s %10s\n", "family", "records", "op",
                "seconds", "records/s", "floor", "ratio", "cpu s", "cpu ratio", "peak KiB",
                "limit KiB");
    auto row = [](const char* kind, long long records, const std::string& op, const RunResult& r,
                  const char* floorName, const RunResult* floor, long limitKiB = 0) {
        char ratio[16] = "-", cpuRatio[16] = "-";
        if (floor != nullptr) {
            std::snprintf(ratio, sizeof ratio, "%.2f", r.seconds / floor->seconds);
            std::snprintf(cpuRatio, sizeof cpuRatio, "%.2f", r.cpuSeconds / floor->cpuSeconds);
        }
        char limit[24] = "-";
        if (limitKiB > 0) std::snprintf(limit, sizeof limit, "%ld", limitKiB);
        std::printf("%-6s %9lld %-14s %9.4f %12.0f %-6s %7s %8.4f %9s %10ld %10s%s\n", kind,
                    records, op.c_str(), r.seconds, records / r.seconds, floorName, ratio,
                    r.cpuSeconds, cpuRatio, r.peakKiB, limit,
                    limitKiB > 0 && r.peakKiB > limitKiB ? "  over" : "");
        std::fflush(stdout);
    };
    if (std::FILE* empty = std::fopen("empty.qvz", "wb"); empty != nullptr) std::fclose(empty);
    for (const char* kind : {"vor", "ndb"}) {
        const Family family = ParseFamily(kind);
        for (long long records : {20000LL, 100000LL, 1000000LL}) {
            if (records > maxRecords) continue;
            const std::string file = std::string(kind) + "-" + std::to_string(records) + ".qvz";
            std::string error;
            if (!navaid::gen::WriteDatabase(family, records, 42, file, error)) {
                std::fprintf(stderr, "navaid-bench: %s\n", error.c_str());
                return 1;
            }
            // The new database goes to disk now rather than by write-back in
            // the middle of a measurement; a copy warms the page cache.
            sync();
            RunBest({"cp", file, file + ".cp"}, 1, file + ".cp");
            // Each operation runs in turns with its floor, so that both meet
            // the machine (its page cache, its write-back) in the same state.
            // On a small database a run takes milliseconds, much of them
            // process start-up, and one busy moment of a neighbour spoils it:
            // such runs get more turns.
            const int turns = records < 1000000 ? 3 : 1;
            const char* ops[3] = {"add", "delete", "list"};
            for (int i = 0; i < 3; ++i) {
                const bool list = i == 2;
                const std::vector<std::string> floorArgs =
                    list ? std::vector<std::string>{exe,  "--run", "floor",
                                                    kind, file,    std::to_string(records)}
                         : std::vector<std::string>{"cp", file, file + ".cp"};
                // Each operation's floor is the best of its own turns, printed
                // just above it, so that a busy spell meets both alike.
                RunResult floor{1e30, 1e30, 0}, result{1e30, 1e30, 0};
                for (int r = 0; r < turns * (list ? kListRepeats : kCopyRepeats); ++r) {
                    Keep(floor, RunBest(floorArgs, 1, file + (list ? ".floor" : ".cp")));
                    Keep(result,
                         RunBest({exe, "--run", ops[i], kind, file, std::to_string(records)}, 1,
                                 file + (list ? ".txt" : ".new")));
                }
                row(kind, records, list ? "write/line" : "cp", floor, "", nullptr);
                row(kind, records, ops[i], result, list ? "write" : "cp", &floor);
            }
            if (records == 1000000) FlushedRows(exe, kind, file, records, row);
            const RunResult labels =
                RunBest({exe, "--run", "labels", kind, file, std::to_string(records)}, kRepeats);
            row(kind, records, "labels (core)", labels, "", nullptr);
            // The command-line tool's streaming commands, then check and diff,
            // which remember a little of every record; each with its output
            // file. Diff compares the database with a copy of it.
            RunBest({"cp", file, file + ".cp"}, 1);
            struct Command {
                std::string name, output;
                std::vector<std::string> args;
            };
            const std::vector<Command> commands = {
                {"navaid labels", "", {kNavaidTool, "labels", kind, file}},
                {"navaid find", "", {kNavaidTool, "find", kind, file}},
                {"navaid map", file + ".svg", {kNavaidTool, "map", kind, file, file + ".svg"}},
                {"navaid export",
                 file + ".dat",
                 {kNavaidTool, "export", kind, file, file + ".dat"}},
                {"navaid check", "", {kNavaidTool, "check", kind, file}},
                {"navaid diff", "", {kNavaidTool, "diff", kind, file, file + ".cp"}},
            };
            for (const auto& [name, output, args] : commands) {
                const RunResult r = RunBest(args, kRepeats, output);
                const bool remembers = name == "navaid check" || name == "navaid diff";
                // Diff reads two files of `records` records each.
                const long read = name == "navaid diff" ? 2 * records : records;
                row(kind, records, name, r, "", nullptr,
                    16 * 1024 + (remembers ? 32 * read / 1024 : 0));
                if (!remembers) continue;
                // What a record costs: the growth over the same command's peak
                // on an empty database, per record read. A peak moves by a few
                // hundred KiB between runs with where the system places the
                // program, so both are the highest of as many runs; on a small
                // database the growth also counts code that only records reach.
                std::vector<std::string> onEmpty = args;
                std::replace(onEmpty.begin(), onEmpty.end(), file, std::string("empty.qvz"));
                std::replace(onEmpty.begin(), onEmpty.end(), file + ".cp",
                             std::string("empty.qvz"));
                const RunResult empty = RunBest(onEmpty, kRepeats);
                std::printf(
                    "%-6s %9lld %-14s %.1f bytes per record beyond its peak on an empty "
                    "database (%ld KiB)\n",
                    kind, records, "", (r.peakKiB - empty.peakKiB) * 1024.0 / read, empty.peakKiB);
            }
            // Check on as many records made of copies of 32, as importing one
            // file over and over makes: a duplicate finding for nearly every record.
            const std::string copies = std::string(kind) + "-copies.qvz";
            if (!navaid::gen::WriteDatabase(family, records, 42, copies, error, 32)) {
                std::fprintf(stderr, "navaid-bench: %s\n", error.c_str());
                return 1;
            }
            sync();
            row(kind, records, "check (copies)",
                RunBest({kNavaidTool, "check", kind, copies}, kRepeats), "", nullptr,
                16 * 1024 + 32 * records / 1024);
            std::remove(copies.c_str());
            for (const char* suffix : {"", ".cp", ".new", ".txt", ".svg", ".dat", ".floor"})
                std::remove((file + suffix).c_str());
        }
    }
    return ImportAndUpdate(maxRecords, row) && ImportPairing(row) && Twins(maxRecords, row) ? 0 : 1;
}
