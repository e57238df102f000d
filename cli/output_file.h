// An output file written in chunks as its text is made, so a command's memory
// does not grow with it; moved into place complete after Close, or never.
// "-" is standard output.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "file_io.h"
#include "outcome.h"
#include "record_job.h"
#include "staged_output.h"

namespace navaid::cli {

class OutputFile {
public:
    // Checks the target before anything is written, so that a bad one
    // refuses a run before its other outputs; Open then opens it.
    Outcome Check(const std::string& path);
    Outcome Open(const std::string& path);
    // Adds text; after a failed write nothing more is written, and Close says why.
    void Write(std::string_view text);
    // Writes the rest, closes and moves the file into place; after any failure
    // the target stays as it was.
    Outcome Close();
    // Closes and drops the file, for a failure elsewhere.
    void Discard();
    // What Close wrote, for the command's last line.
    std::string Wrote() const { return staged_ ? staged_->Wrote() : std::string(); }
    // The command's last line begun, where StagedOutput::Report puts it.
    std::ostream& Report(const Console& console) const { return staged_->Report(console); }

private:
    static constexpr std::size_t kChunk = 64 * 1024;
    std::optional<StagedOutput> staged_;
    io::File file_;
    std::string pending_;
    Outcome written_ = Outcome::Success();
};

// Refuses, as a wrong command line naming `label` ("--report", "EDITS"), a
// `path` that would be one of `files` the run reads or writes: the same file,
// by a link too, or the same name in the same folder where it is not there yet.
Outcome RefuseRunFiles(std::string_view label, const std::string& path,
                       const std::vector<std::string>& files);

// Refuses, as a wrong command line naming `option`, an output `path` that is
// the process's standard output ("-", or a link to descriptor 1), where
// `what` would run into the other lines; `instead` says what to name.
Outcome RefuseStandardOutput(std::string_view option, const std::string& path,
                             std::string_view what, std::string_view instead);
// The refusal's words after the quoted name.
std::string OnStandardOutput(std::string_view what, std::string_view instead);

// The output file at `path` as a library job's sink, opened when the job says.
class OutputSink final : public TextSink {
public:
    explicit OutputSink(std::string path) : path_(std::move(path)) {}
    Outcome Check() { return file_.Check(path_); }
    Outcome Open() override { return file_.Open(path_); }
    void Write(std::string_view text) override { file_.Write(text); }
    Outcome Close() override { return file_.Close(); }
    void Discard() override { file_.Discard(); }
    std::string Wrote() const { return file_.Wrote(); }
    std::ostream& Report(const Console& console) const { return file_.Report(console); }

private:
    std::string path_;
    OutputFile file_;
};

}  // namespace navaid::cli
