// The file seam: every call the core makes to the operating system, in one
// file on purpose (about 620 lines), so that the fault injection counts them all.
#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "code_page.h"

namespace navaid::io {
namespace {

long g_callCount = 0;
long g_failCall = 0;
int g_failError = 0;
bool g_injected = false;
long g_actionCall = 0;
std::function<void()> g_action;

bool g_logging = false;
std::vector<const char*> g_log;
bool g_cancelled = false;

// Counts one seam call; returns the errno value to fail it with, or 0. Once
// the run is cancelled every call fails, so that it unwinds through its
// clean-up.
int NextCall(const char* name) {
    ++g_callCount;
    if (g_logging) g_log.push_back(name);
    if (g_cancelled) return EINTR;
    if (g_actionCall != 0 && g_callCount == g_actionCall) g_action();
    if (g_failCall != 0 && g_callCount == g_failCall) {
        g_injected = true;
        return g_failError;
    }
    return 0;
}

// errno after a failed C runtime call, with a fallback when it said nothing.
int LastError() { return errno != 0 ? errno : EIO; }

#if defined(__linux__)
// The kernel declines to copy between these two files, but a copy through a
// buffer may still work: another file system, an old kernel, a pipe or a
// device, a file system without the call.
bool IsRefusal(int error) {
    return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == ENOTSUP ||
           error == EINVAL || error == EBADF || error == ETXTBSY || error == EPERM;
}
#endif

// Nothing of that name: the path or one of its folders is missing.
bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR; }

// The C runtime's narrow calls take paths in the ANSI code page on Windows,
// as the program's texts are; std::filesystem would convert them with the C
// locale and name another file.
struct Status {
    bool regularOrLink = false;
#if defined(_WIN32)
    std::string fullPath;
#else
    dev_t device = 0;
    ino_t inode = 0;
#endif
};

// Queries a path without following a final link (POSIX); 0 or the errno value.
int QueryStatus(const std::string& path, Status& status) {
    errno = 0;
#if defined(_WIN32)
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0) return LastError();
    status.regularOrLink = (info.st_mode & S_IFMT) == S_IFREG;
    char full[_MAX_PATH * 4];
    if (_fullpath(full, path.c_str(), sizeof full) == nullptr) return LastError();
    // Windows names are case-insensitive in the ANSI code page.
    status.fullPath = LowerCase(full);
#else
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) return LastError();
    status.regularOrLink = S_ISREG(info.st_mode) || S_ISLNK(info.st_mode);
    if (S_ISLNK(info.st_mode) && stat(path.c_str(), &info) != 0) return LastError();
    // A link to a device (/dev/stdout) is the device's name, not a file of ours.
    if (!S_ISREG(info.st_mode)) status.regularOrLink = false;
    status.device = info.st_dev;
    status.inode = info.st_ino;
#endif
    return 0;
}

}  // namespace

namespace faults {
void FailCall(long callNumber, int error) {
    g_callCount = 0;
    g_failCall = callNumber;
    g_failError = error;
    g_injected = false;
    g_actionCall = 0;
}
void BeforeCall(long callNumber, std::function<void()> action) {
    FailCall(0, 0);
    g_actionCall = callNumber;
    g_action = std::move(action);
}
void Reset() {
    FailCall(0, 0);
    g_logging = false;
    g_log.clear();
}
long CallCount() { return g_callCount; }
bool Injected() { return g_injected; }
void StartLog() {
    g_log.clear();
    g_logging = true;
}
const std::vector<const char*>& Log() { return g_log; }
}  // namespace faults

void Cancel() { g_cancelled = true; }
bool Cancelled() { return g_cancelled; }

std::string ErrorText(int error) { return std::strerror(error); }

File::File(File&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      path_(std::move(other.path_)),
      emptied_(other.emptied_),
      borrowed_(other.borrowed_),
      writing_(other.writing_),
      unflushed_(other.unflushed_),
      start_(other.start_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Discard();
        stream_ = std::exchange(other.stream_, nullptr);
        path_ = std::move(other.path_);
        emptied_ = other.emptied_;
        borrowed_ = other.borrowed_;
        writing_ = other.writing_;
        unflushed_ = other.unflushed_;
        start_ = other.start_;
    }
    return *this;
}

File::~File() { Discard(); }

void File::Discard() {
    if (stream_ != nullptr && !borrowed_) std::fclose(stream_);
    stream_ = nullptr;
    borrowed_ = false;
}

Outcome File::Fail(int error) { return Outcome::Failure(path_, ErrorText(error)); }

Outcome File::Open(const std::string& path, OpenMode mode) {
    Discard();
    path_ = path;
    start_ = 0;
    emptied_ = false;
    writing_ = mode != OpenMode::Read && mode != OpenMode::ReadCreate;
    if (int injected = NextCall("open")) return Fail(injected);
    errno = 0;
    if (mode == OpenMode::Update) {
        stream_ = std::fopen(path.c_str(), "r+b");
        return stream_ ? Outcome::Success() : Fail(LastError());
    }
    if (mode == OpenMode::WriteTruncate) {
        stream_ = std::fopen(path.c_str(), "wb");
        emptied_ = stream_ != nullptr;
        return stream_ ? Outcome::Success() : Fail(LastError());
    }
    stream_ = std::fopen(path.c_str(), "rb");
    if (stream_ == nullptr && errno == ENOENT && mode == OpenMode::ReadCreate) {
        // A source that does not exist is created empty, as users expect of
        // a name typed into the file dialog.
        errno = 0;
        std::FILE* created = std::fopen(path.c_str(), "ab");
        if (created == nullptr) return Fail(LastError());
        std::fclose(created);
        errno = 0;
        stream_ = std::fopen(path.c_str(), "rb");
    }
    return stream_ ? Outcome::Success() : Fail(LastError());
}

Outcome File::OpenStandardInput() {
    Discard();
    path_ = kStandardInputName;
    emptied_ = false;
    writing_ = false;
    if (int injected = NextCall("standard input")) return Fail(injected);
#if defined(_WIN32)
    // Text mode would turn CR LF into LF and stop at a Ctrl-Z byte.
    if (_setmode(_fileno(stdin), _O_BINARY) == -1) return Fail(LastError());
#endif
    stream_ = stdin;
    borrowed_ = true;
    // Standard input may be a file that the shell has read from already:
    // the input starts where it stands now.
#if defined(_WIN32)
    start_ = _ftelli64(stream_);
#else
    start_ = ftello(stream_);
#endif
    if (start_ < 0) start_ = 0;
    return Outcome::Success();
}

Outcome File::OpenStandardOutput() {
    Discard();
    path_ = kStandardOutputName;
    start_ = 0;
    emptied_ = false;
    writing_ = true;
    if (int injected = NextCall("standard output")) return Fail(injected);
#if defined(_WIN32)
    if (_setmode(_fileno(stdout), _O_BINARY) == -1) return Fail(LastError());
#endif
    stream_ = stdout;
    borrowed_ = true;
    return Outcome::Success();
}

Outcome File::OpenDescriptor(int descriptor, const std::string& name) {
    Discard();
    path_ = name;
    start_ = 0;
    emptied_ = false;
    writing_ = true;
    if (int injected = NextCall("open")) return Fail(injected);
    errno = 0;
#if defined(_WIN32)
    const int own = _dup(descriptor);
    if (own >= 0) _setmode(own, _O_BINARY);
    stream_ = own < 0 ? nullptr : _fdopen(own, "wb");
    if (stream_ == nullptr && own >= 0) _close(own);
#else
    // A copy of the descriptor: closing the stream leaves the process's own open.
    const int own = fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    stream_ = own < 0 ? nullptr : fdopen(own, "wb");
    if (stream_ == nullptr && own >= 0) close(own);
#endif
    return stream_ ? Outcome::Success() : Fail(LastError());
}

Outcome File::Rewind() {
    if (int injected = NextCall("rewind")) return Fail(injected);
    if (stream_ == nullptr) return Fail(EBADF);
    errno = 0;
    // Only a file goes back: a seek on a pipe may even seem to succeed on
    // Windows, and the second pass would then read what follows.
#if defined(_WIN32)
    struct _stat64 info;
    if (_fstat64(_fileno(stream_), &info) != 0) return Fail(LastError());
    if ((info.st_mode & S_IFMT) != S_IFREG) return Fail(ESPIPE);
    if (_fseeki64(stream_, start_, SEEK_SET) != 0) return Fail(LastError());
#else
    struct stat info;
    if (fstat(fileno(stream_), &info) != 0) return Fail(LastError());
    if (!S_ISREG(info.st_mode)) return Fail(ESPIPE);
    if (fseeko(stream_, start_, SEEK_SET) != 0) return Fail(LastError());
#endif
    return Outcome::Success();
}

Outcome File::Read(void* buffer, std::size_t capacity, std::size_t& got) {
    got = 0;
    if (int injected = NextCall("read")) return Fail(injected);
    if (stream_ == nullptr) return Fail(EBADF);
    errno = 0;
    got = std::fread(buffer, 1, capacity, stream_);
    if (got < capacity && std::ferror(stream_)) {
        // A read error is never taken for the end of the file.
        got = 0;
        return Fail(LastError());
    }
    return Outcome::Success();
}

Outcome File::Write(const void* buffer, std::size_t size) {
    if (int injected = NextCall("write")) return Fail(injected);
    if (stream_ == nullptr) return Fail(EBADF);
    errno = 0;
    unflushed_ = true;
    if (std::fwrite(buffer, 1, size, stream_) != size) return Fail(LastError());
    return Outcome::Success();
}

Outcome File::WriteThrough(const void* buffer, std::size_t size) {
    if (int injected = NextCall("write")) return Fail(injected);
    if (stream_ == nullptr) return Fail(EBADF);
#if defined(__linux__)
    // Whatever the stream holds goes first, so the bytes stay in order.
    if (unflushed_) {
        errno = 0;
        if (std::fflush(stream_) != 0) return Fail(LastError());
        unflushed_ = false;
    }
    // A list calls this once a line: errno is read only after a failed write,
    // which sets it (a write of nothing at all is taken for an I/O error).
    const char* bytes = static_cast<const char*>(buffer);
    while (size > 0) {
        const ssize_t done = write(fileno(stream_), bytes, size);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return Fail(done < 0 ? LastError() : EIO);
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
#else
    errno = 0;
    if (std::fwrite(buffer, 1, size, stream_) != size || std::fflush(stream_) != 0)
        return Fail(LastError());
#endif
    return Outcome::Success();
}

Outcome File::Size(std::uint64_t& size) {
    size = 0;
    if (int injected = NextCall("size")) return Fail(injected);
    if (stream_ == nullptr) return Fail(EBADF);
    errno = 0;
#if defined(_WIN32)
    if (_fseeki64(stream_, 0, SEEK_END) != 0) return Fail(LastError());
    const long long end = _ftelli64(stream_);
    if (end < 0 || _fseeki64(stream_, 0, SEEK_SET) != 0) return Fail(LastError());
#else
    if (fseeko(stream_, 0, SEEK_END) != 0) return Fail(LastError());
    const long long end = ftello(stream_);
    if (end < 0 || fseeko(stream_, 0, SEEK_SET) != 0) return Fail(LastError());
#endif
    size = static_cast<std::uint64_t>(end);
    return Outcome::Success();
}

Outcome File::CopyFrom(File& source, std::uint64_t length, std::uint64_t& copied, bool& refused) {
    copied = 0;
    refused = false;
#if defined(__linux__)
    if (int injected = NextCall("copy")) {
        refused = IsRefusal(injected);
        return refused ? Outcome::Success() : Fail(injected);
    }
    if (stream_ == nullptr || source.stream_ == nullptr) return Fail(EBADF);
    // The streams' buffers are bypassed: what this file buffered goes out
    // first, and both streams are set to where the kernel left off.
    errno = 0;
    if (std::fflush(stream_) != 0) return Fail(LastError());
    off_t from = ftello(source.stream_);
    if (from < 0) return source.Fail(LastError());
    off_t to = ftello(stream_);
    // An output that cannot seek (a FIFO, a pipe) takes the buffered copy.
    refused = to < 0 && errno == ESPIPE;
    if (to < 0) return refused ? Outcome::Success() : Fail(LastError());
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(length, std::size_t{1} << 30));
    errno = 0;
    const ssize_t done =
        copy_file_range(fileno(source.stream_), &from, fileno(stream_), &to, want, 0);
    if (done < 0) {
        // Nothing was copied. Whatever the kernel failed on, the buffered
        // copy meets it again and names the file it failed on (a folder in
        // the source's place, a full disk for the output).
        refused = true;
        return Outcome::Success();
    }
    errno = 0;
    if (fseeko(source.stream_, from, SEEK_SET) != 0) return source.Fail(LastError());
    if (fseeko(stream_, to, SEEK_SET) != 0) return Fail(LastError());
    copied = static_cast<std::uint64_t>(done);
    return Outcome::Success();
#else
    (void)source;
    (void)length;
    refused = true;
    return Outcome::Success();
#endif
}

Outcome File::Close() {
    if (stream_ == nullptr) return Outcome::Success();
    const int injected = NextCall("close");
    // A buffered write error can be lost at fclose unless flush and the error
    // state are checked first.
    errno = 0;
    int error = 0;
    if (borrowed_) {
        if ((writing_ && std::fflush(stream_) != 0) || std::ferror(stream_)) error = LastError();
        stream_ = nullptr;
        borrowed_ = false;
        if (injected) error = injected;
        return error ? Fail(error) : Outcome::Success();
    }
    if (std::fflush(stream_) != 0 || std::ferror(stream_)) error = LastError();
    errno = 0;
    if (std::fclose(stream_) != 0 && error == 0) error = LastError();
    stream_ = nullptr;
    if (injected) error = injected;
    return error ? Fail(error) : Outcome::Success();
}

#if defined(_WIN32)
// kernel32's call, declared here so that the core stays free of <windows.h>:
// the C runtime's rename() refuses to replace an existing file.
extern "C" __declspec(dllimport) int __stdcall MoveFileExA(const char* from, const char* to,
                                                           unsigned long flags);
extern "C" __declspec(dllimport) unsigned long __stdcall GetLastError();

// The system's few answers a move can give, as errno values.
static int MoveError(unsigned long code) {
    switch (code) {
        case 2:
        case 3:
            return ENOENT;
        case 5:
        case 32:
            return EACCES;
        case 112:
            return ENOSPC;
        default:
            return EIO;
    }
}
#endif

Outcome MoveIntoPlace(const std::string& from, const std::string& to) {
    if (int injected = NextCall("move")) return Outcome::Failure(to, ErrorText(injected));
    errno = 0;
#if defined(_WIN32)
    constexpr unsigned long kReplaceExisting = 1, kWriteThrough = 8;
    if (MoveFileExA(from.c_str(), to.c_str(), kReplaceExisting | kWriteThrough) == 0)
        return Outcome::Failure(to, ErrorText(MoveError(GetLastError())));
#else
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return Outcome::Failure(to, ErrorText(LastError()));
#endif
    return Outcome::Success();
}

#if defined(_WIN32)
extern "C" __declspec(dllimport) int __stdcall CreateHardLinkA(const char* link,
                                                               const char* existing,
                                                               void* security);
#else
// The file systems that make no links, or none between these two names.
static bool IsLinkRefusal(int error) {
    return error == EPERM || error == EXDEV || error == EMLINK || error == ENOTSUP ||
           error == EOPNOTSUPP || error == ENOSYS;
}
#endif

Outcome LinkFile(const std::string& from, const std::string& to, bool& refused) {
    refused = false;
    if (int injected = NextCall("link")) {
        refused = injected == EXDEV;
        return refused ? Outcome::Success() : Outcome::Failure(to, ErrorText(injected));
    }
    errno = 0;
#if defined(_WIN32)
    if (CreateHardLinkA(to.c_str(), from.c_str(), nullptr) != 0) return Outcome::Success();
    // ERROR_INVALID_FUNCTION (FAT), ERROR_NOT_SAME_DEVICE, ERROR_NOT_SUPPORTED,
    // ERROR_TOO_MANY_LINKS: the file system's refusal, not a failure.
    const unsigned long code = GetLastError();
    refused = code == 1 || code == 17 || code == 50 || code == 1142;
    return refused ? Outcome::Success() : Outcome::Failure(to, ErrorText(MoveError(code)));
#else
    if (link(from.c_str(), to.c_str()) == 0) return Outcome::Success();
    const int error = LastError();
    refused = IsLinkRefusal(error);
    return refused ? Outcome::Success() : Outcome::Failure(to, ErrorText(error));
#endif
}

Outcome IsLink(const std::string& path, bool& link) {
    link = false;
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
#if !defined(_WIN32)
    errno = 0;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0)
        return IsMissing(errno) ? Outcome::Success()
                                : Outcome::Failure(path, ErrorText(LastError()));
    link = S_ISLNK(info.st_mode);
#endif
    return Outcome::Success();
}

Outcome RemoveFile(const std::string& path) {
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
    Status status;
    if (int error = QueryStatus(path, status)) {
        return IsMissing(error) ? Outcome::Success() : Outcome::Failure(path, ErrorText(error));
    }
    // Only files and links are removed: remove() would also delete an empty
    // folder, or a device such as /dev/full, that carried an output's name.
    if (!status.regularOrLink) return Outcome::Success();
    if (int injected = NextCall("remove")) return Outcome::Failure(path, ErrorText(injected));
    errno = 0;
    if (std::remove(path.c_str()) != 0 && errno != ENOENT)
        return Outcome::Failure(path, ErrorText(LastError()));
    return Outcome::Success();
}

namespace {
// The kind bits of what `path` names, following links.
Outcome QueryKind(const std::string& path, unsigned& kind) {
    kind = 0;
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
    errno = 0;
#if defined(_WIN32)
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0) return Outcome::Failure(path, ErrorText(LastError()));
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return Outcome::Failure(path, ErrorText(LastError()));
#endif
    kind = info.st_mode & S_IFMT;
    return Outcome::Success();
}
}  // namespace

Outcome IsFolder(const std::string& path, bool& folder) {
    unsigned kind = 0;
    Outcome queried = QueryKind(path, kind);
    folder = kind == S_IFDIR;
    return queried;
}

Outcome IsRegularFile(const std::string& path, bool& regular) {
    unsigned kind = 0;
    Outcome queried = QueryKind(path, kind);
    regular = kind == S_IFREG;
    return queried;
}

Outcome SameFile(const std::string& a, const std::string& b, bool& same) {
    same = false;
    Status first, second;
    for (auto [path, status] : {std::pair{&a, &first}, std::pair{&b, &second}}) {
        if (int injected = NextCall("query")) return Outcome::Failure(*path, ErrorText(injected));
        if (int error = QueryStatus(*path, *status)) {
            return IsMissing(error) ? Outcome::Success()
                                    : Outcome::Failure(*path, ErrorText(error));
        }
    }
#if defined(_WIN32)
    same = first.fullPath == second.fullPath;
#else
    same = first.device == second.device && first.inode == second.inode;
#endif
    return Outcome::Success();
}

Outcome IsStandardOutput(const std::string& path, bool& same) {
    same = false;
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
#if !defined(_WIN32)
    struct stat output, file;
    // A closed or odd standard output is no file of that name.
    if (fstat(STDOUT_FILENO, &output) != 0 || stat(path.c_str(), &file) != 0)
        return Outcome::Success();
    same = output.st_dev == file.st_dev && output.st_ino == file.st_ino;
#else
    (void)path;
#endif
    return Outcome::Success();
}

namespace {
using Kind = OutputStatus::Kind;

Kind KindOf(unsigned mode) {
    switch (mode & S_IFMT) {
        case S_IFREG:
            return Kind::Regular;
        case S_IFDIR:
            return Kind::Folder;
        case S_IFCHR:
            return Kind::CharacterDevice;
#if !defined(_WIN32)
        case S_IFBLK:
            return Kind::BlockDevice;
        case S_IFIFO:
            return Kind::Fifo;
        case S_IFSOCK:
            return Kind::Socket;
#endif
        default:
            return Kind::Other;
    }
}

#if !defined(_WIN32)
// A file system that has nothing to flush, or no way to (a folder on some
// network file systems, a device): nothing is at risk there.
bool NothingToFlush(int error) { return error == EINVAL || error == ENOTSUP || error == EROFS; }

// Opens `path` read-only (enough for fsync on the systems this builds for) and
// flushes it; 0 or the errno value.
int Sync(const std::string& path, int flags) {
    errno = 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | flags);
    if (fd < 0) return LastError();
    int error = fsync(fd) == 0 ? 0 : LastError();
    if (NothingToFlush(error)) error = 0;
    if (close(fd) != 0 && error == 0) error = LastError();
    return error;
}
#endif
}  // namespace

Outcome QueryOutput(const std::string& path, OutputStatus& status) {
    status = OutputStatus{};
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
    errno = 0;
#if defined(_WIN32)
    struct _stat64 info;
    if (_stat64(path.c_str(), &info) != 0) {
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
#endif
        const int error = LastError();
        return IsMissing(error) ? Outcome::Success() : Outcome::Failure(path, ErrorText(error));
    }
    status.kind = KindOf(info.st_mode);
    status.mode = info.st_mode & 07777;
    status.owner = info.st_uid;
    status.group = info.st_gid;
    return Outcome::Success();
}

#if !defined(_WIN32)
namespace {
// The descriptor `path` names when its folder is, by whatever links, this
// process's /proc/PID/fd (or a thread's), else -1.
int OwnDescriptor(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (name.empty() || name.size() > 9 || name.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    char* real = realpath(FolderOf(path).c_str(), nullptr);
    if (real == nullptr) return -1;
    const std::string folder(real), process = "/proc/" + std::to_string(getpid());
    std::free(real);
    const bool own = folder == process + "/fd" ||
                     (folder.starts_with(process + "/task/") && folder.ends_with("/fd"));
    return own ? std::stoi(name) : -1;
}

// Follows the links `target.path` names, one at a time, stopping at a
// descriptor of ours; 0 or the errno value.
int FollowLinks(OutputTarget& target) {
    for (int hop = 0; hop < 40; ++hop) {
        if ((target.descriptor = OwnDescriptor(target.path)) >= 0) return 0;
        struct stat info;
        if (lstat(target.path.c_str(), &info) != 0) return IsMissing(errno) ? 0 : LastError();
        if (!S_ISLNK(info.st_mode)) return 0;
        std::vector<char> text(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 4095) + 1);
        const ssize_t size = readlink(target.path.c_str(), text.data(), text.size());
        if (size < 0) return LastError();
        if (static_cast<std::size_t>(size) == text.size()) return ENAMETOOLONG;
        const std::string link(text.data(), static_cast<std::size_t>(size));
        std::string folder = target.path.find('/') == std::string::npos ? "" : FolderOf(target.path);
        if (!folder.empty() && !folder.ends_with('/')) folder += '/';
        target.path = link.starts_with('/') ? link : folder + link;
    }
    return ELOOP;
}
}  // namespace
#endif

Outcome ResolveOutput(const std::string& path, OutputTarget& target) {
    target = OutputTarget{path, -1};
    if (int injected = NextCall("query")) return Outcome::Failure(path, ErrorText(injected));
#if !defined(_WIN32)
    errno = 0;
    if (int error = FollowLinks(target)) return Outcome::Failure(path, ErrorText(error));
#endif
    return Outcome::Success();
}

Outcome KeepOwnership(const std::string& path, const OutputStatus& earlier) {
    if (int injected = NextCall("keep mode")) return Outcome::Failure(path, ErrorText(injected));
#if !defined(_WIN32)
    // The owner first, as a change of owner clears the set-ID bits. Only root
    // may give a file away, and only a member of the group give it that group;
    // a refusal leaves the file the user's own.
    const auto owner = static_cast<uid_t>(earlier.owner);
    const auto group = static_cast<gid_t>(earlier.group);
    if (chown(path.c_str(), owner, group) != 0)
        (void)chown(path.c_str(), static_cast<uid_t>(-1), group);
    errno = 0;
    if (chmod(path.c_str(), static_cast<mode_t>(earlier.mode)) != 0)
        return Outcome::Failure(path, ErrorText(LastError()));
#else
    (void)earlier;
#endif
    return Outcome::Success();
}

Outcome FlushFile(const std::string& path) {
    if (int injected = NextCall("flush")) return Outcome::Failure(path, ErrorText(injected));
#if defined(_WIN32)
    // _commit is the C runtime's FlushFileBuffers, which needs a handle that may write.
    errno = 0;
    const int fd = _open(path.c_str(), _O_RDWR | _O_BINARY);
    if (fd < 0) return Outcome::Failure(path, ErrorText(LastError()));
    int error = _commit(fd) == 0 ? 0 : LastError();
    if (_close(fd) != 0 && error == 0) error = LastError();
#else
    const int error = Sync(path, 0);
#endif
    return error ? Outcome::Failure(path, ErrorText(error)) : Outcome::Success();
}

Outcome FlushFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (int injected = NextCall("flush folder"))
        return Outcome::Failure(folder, ErrorText(injected));
#if !defined(_WIN32)
    if (int error = Sync(folder, O_DIRECTORY)) return Outcome::Failure(folder, ErrorText(error));
#endif
    return Outcome::Success();
}

std::string NameOf(const std::string& path) {
#if defined(_WIN32)
    const std::size_t slash = path.find_last_of("/\\:");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
#if defined(_WIN32)
    const std::size_t slash = path.find_last_of("/\\:");
    if (slash != std::string::npos && path[slash] == ':') return path.substr(0, slash + 1);
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    if (slash == std::string::npos) return ".";
    // The root keeps its slash: "/x" is in "/", "C:\\x" in "C:\\".
    const bool root = slash == 0 || path[slash - 1] == ':';
    return path.substr(0, root ? slash + 1 : slash);
}

}  // namespace navaid::io
