// An import's input read a line at a time, inflated as it is read when its
// first bytes are gzip's, so memory stays flat whatever the file's size.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "outcome.h"

namespace navaid {

class LineReader {
public:
    // Longer lines are not of a navaid file: refused, which also ends a
    // decompression bomb of one endless line quickly.
    static constexpr std::size_t kMaxLine = 64 * 1024;

    // `kind` is what a longer line says the input is not.
    explicit LineReader(std::string kind = "a navaid file");
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens `path` for reading (a missing file is an error, not created);
    // "-" is standard input.
    Outcome Open(const std::string& path);
    // The name messages give the input: its path, or "standard input".
    const std::string& Name() const { return path_; }
    // Before the first Next: at least `size` bytes of the input as Next
    // reads them (inflated), or all of it when shorter, without taking them.
    Outcome PeekBytes(std::size_t size, std::string_view& bytes);
    // Before the first Next: the first lines that are not blank (up to
    // `count`, within the first MiB), without taking them.
    Outcome PeekLines(std::size_t count, std::vector<std::string>& lines);
    // Back to the first line of the very file opened, for a reader that needs
    // a second pass; refused for a pipe, which cannot go back.
    Outcome Restart();
    // The next line without its end (LF, CR LF or CR alone); `got` false at the end.
    Outcome Next(std::string_view& line, bool& got);
    // The number of the line Next gave last, counting from 1.
    std::size_t Number() const { return number_; }
    // Instead of lines: the bytes after those given so far, as they come;
    // `bytes` is empty at the end.
    Outcome NextBytes(std::string_view& bytes);
    Outcome Close();

private:
    Outcome Fill();         // reads (and inflates) more bytes into text_
    Outcome PassPadding();  // takes the zero bytes after the last gzip member
    Outcome Fail(const std::string& why) const;

    io::File file_;
    std::string path_, kind_;
    void Reset();

    bool gzip_ = false, started_ = false, atEnd_ = false, inflateEnded_ = false;
    bool padded_ = false;   // zero bytes came after the last gzip member
    bool peeking_ = false;  // what is read is kept from the first byte on
    struct Inflate;
    std::unique_ptr<Inflate> inflate_;
    std::vector<char> raw_;
    std::size_t rawBegin_ = 0, rawEnd_ = 0;
    std::string text_;  // bytes not yet given as lines
    std::size_t textBegin_ = 0;
    std::size_t number_ = 0;
};

}  // namespace navaid
