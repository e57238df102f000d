// The core's one seam to the operating system's files. Every open, read,
// write, flush, close, size query and removal goes through here, so tests can
// make any single call fail with a real error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "outcome.h"

namespace navaid::io {

enum class OpenMode {
    ReadCreate,     // binary read; a missing file is created empty first
    Read,           // binary read; a missing file is an error
    Update,         // binary read and write of an existing file, nothing emptied
    WriteTruncate,  // binary write; created, or emptied if it exists
};

// A buffered file. Every operation reports failure with the file's path and
// the system's reason. Move-only; the destructor closes without reporting.
class File {
public:
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    Outcome Open(const std::string& path, OpenMode mode);
    // The process's standard input, read in binary, named "standard input"
    // in messages; closing it leaves the stream itself open.
    Outcome OpenStandardInput();
    // The process's standard output, written in binary, named "standard
    // output" in messages; closing it flushes the stream and leaves it open.
    Outcome OpenStandardOutput();
    // The process's descriptor `descriptor`, written in binary from where it
    // stands, named `name` in messages; closing it leaves the descriptor open.
    Outcome OpenDescriptor(int descriptor, const std::string& name);
    // Back to the first byte (of standard input: where it stood when
    // opened), for a reader that needs a second pass over the very file it
    // opened; anything but a regular file fails with ESPIPE.
    Outcome Rewind();
    // Reads up to `capacity` bytes; `got` is 0 only at end of input.
    Outcome Read(void* buffer, std::size_t capacity, std::size_t& got);
    // Writes all `size` bytes or fails.
    Outcome Write(const void* buffer, std::size_t size);
    // Write, then flush, in one call, for a file written a line at a time:
    // the bytes go to the operating system at once, without the stream's
    // buffer where the system allows it.
    Outcome WriteThrough(const void* buffer, std::size_t size);
    // Size of the open file in bytes.
    Outcome Size(std::uint64_t& size);
    // Copies up to `length` bytes from where `source` stands to where this
    // file stands, inside the kernel, and moves both on by `copied`; 0 means
    // the source's end (or a file that only ordinary reads can tell). Where
    // the kernel cannot copy between the two (another file system, an old
    // kernel, Windows) `refused` is set and nothing is copied: the caller
    // then copies through a buffer.
    Outcome CopyFrom(File& source, std::uint64_t length, std::uint64_t& copied, bool& refused);
    // Flushes, checks the stream's error state, and closes.
    Outcome Close();

    // Whether this file was opened for writing, i.e. created or emptied by
    // this operation: only such an output may be removed after a failure.
    bool Emptied() const { return emptied_; }
    // The name messages give the file.
    const std::string& Path() const { return path_; }

private:
    void Discard();
    Outcome Fail(int error);

    std::FILE* stream_ = nullptr;
    std::string path_;
    bool emptied_ = false;
    bool borrowed_ = false;   // standard input or output: not ours to close
    bool writing_ = false;    // opened for writing: closing flushes it
    bool unflushed_ = false;  // written through the stream since its last flush
    long long start_ = 0;     // where the input starts: Rewind goes back there
};

// Deletes a file or link. A missing file counts as success, and anything
// else of that name (a folder, a device) is left alone. The status query
// and the removal are separate calls, and either may fail.
Outcome RemoveFile(const std::string& path);

// Moves the file `from` to `to`, replacing a file of that name in one step,
// so that `to` is always either the earlier file or the complete new one.
// Both must be in the same folder.
Outcome MoveIntoPlace(const std::string& from, const std::string& to);

// Makes `to` (a name not yet taken, in `from`'s folder or on its file system)
// a second link to the existing file `from`. Where the file system makes no
// links (FAT, another device, a file with too many) `refused` is set and
// nothing is made: the caller copies instead.
Outcome LinkFile(const std::string& from, const std::string& to, bool& refused);

// Whether `path` itself is a link (false for a missing name, and on Windows,
// whose links this tool does not make); fails as IsFolder does otherwise.
Outcome IsLink(const std::string& path, bool& link);

// Whether two paths name the same existing file (false when either is
// missing). Paths are the system's narrow strings, in the ANSI code page on
// Windows.
Outcome SameFile(const std::string& a, const std::string& b, bool& same);

// Whether the process's standard output is the existing file `path`, as
// `>> FILE` makes it (false on Windows, whose files carry no inode here).
Outcome IsStandardOutput(const std::string& path, bool& same);

// Whether `path` names a folder, following links. Fails with the system's
// reason when nothing of that name can be queried (a missing file too).
Outcome IsFolder(const std::string& path, bool& folder);

// The name messages give standard input, and the path that stands for it
// (and for standard output, where an output is named).
inline constexpr const char* kStandardInputName = "standard input";
inline constexpr const char* kStandardInputPath = "-";
inline constexpr const char* kStandardOutputName = "standard output";

// What stands under an output's name, following links.
struct OutputStatus {
    enum class Kind { Missing, Regular, Folder, CharacterDevice, BlockDevice, Fifo, Socket, Other };
    Kind kind = Kind::Missing;
    unsigned mode = 0;  // the permission bits
    long long owner = -1, group = -1;
};
// Fills `status`; a missing file or folder on the way is Kind::Missing, not
// a failure.
Outcome QueryOutput(const std::string& path, OutputStatus& status);

// Where an output named `path` is written: the file its links end at, so
// that a link stays and its target is replaced, or, where a link leads into
// this process's own descriptors (/dev/stdout, /dev/fd/N, /proc/self/fd/N),
// that descriptor (else -1). On Windows `path` itself.
struct OutputTarget {
    std::string path;
    int descriptor = -1;
};
Outcome ResolveOutput(const std::string& path, OutputTarget& target);

// Gives the file `path` the permission bits of `earlier` and, where the user
// may set them, its owner and group (on Windows the folder's rights apply,
// and this does nothing).
Outcome KeepOwnership(const std::string& path, const OutputStatus& earlier);

// Hands a written file's bytes and its size to the disk (fsync; on Windows
// FlushFileBuffers), so that after a crash its name never stands for less.
Outcome FlushFile(const std::string& path);
// Hands the folder holding `path` to the disk after a file was moved into it
// (fsync of the folder; nothing on Windows, whose move writes through).
Outcome FlushFolder(const std::string& path);
// The folder of `path` as messages name it: "." for a bare name.
std::string FolderOf(const std::string& path);
// The last part of a path, split as FolderOf splits it.
std::string NameOf(const std::string& path);

// Fails every later call of the seam with EINTR, for a run told to stop by a
// thread of its own (Windows' console events): it unwinds through its clean-up.
void Cancel();
bool Cancelled();

// Whether `path` names a regular file, following links (a device, a FIFO or
// a folder is not one); fails as IsFolder does.
Outcome IsRegularFile(const std::string& path, bool& regular);

// The system's text for an errno value.
std::string ErrorText(int error);

// Fault injection for tests: the call numbered `callNumber` (counting from 1
// after ResetFaults) fails with `error` as its errno value. 0 disables it.
namespace faults {
void FailCall(long callNumber, int error);
// Runs `action` just before the call numbered `callNumber` (counting as
// FailCall does), as another program acting on the same files would.
void BeforeCall(long callNumber, std::function<void()> action);
void Reset();
long CallCount();  // seam calls made since the last Reset
bool Injected();   // whether the armed fault has fired
// Names every call from now until Reset ("open", "write", "flush", "move"...).
void StartLog();
const std::vector<const char*>& Log();
}  // namespace faults

}  // namespace navaid::io
