// An output file written in chunks as its text is made, so a command's memory
// does not grow with it; complete after Close, or removed.
#pragma once

#include <string>
#include <string_view>

#include "file_io.h"
#include "outcome.h"

namespace navaid::cli {

class OutputFile {
public:
    Outcome Open(const std::string& path);
    // Adds text; after a failed write nothing more is written, and Close says why.
    void Write(std::string_view text);
    // Writes the rest and closes; after any failure the file is removed.
    Outcome Close();
    // Closes and removes the file, for a failure elsewhere.
    void Discard();

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    io::File file_;
    std::string pending_;
    Outcome written_ = Outcome::Success();
    bool created_ = false;
};

}  // namespace navaid::cli
