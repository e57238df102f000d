#include "report_file.h"

#include "file_io.h"

namespace navaid::cli {

namespace {

constexpr std::string_view kInstead = "a .csv or .json file";

std::string ReportName(std::string_view option, const std::string& text) {
    if (text == io::kStandardInputPath)
        RefuseValue(option, text, OnStandardOutput("report", kInstead));
    if (!ReportFormatOf(text)) RefuseValue(option, text, "does not end in .csv or .json");
    return text;
}

}  // namespace

const Option<std::string>& ReportOption() {
    static const Option<std::string> option{
        "report", "FILE", "the changes as rows: FILE ends in .csv or .json", ReportName};
    return option;
}

Outcome ReportFile::Open(const CommandLine& line, const std::vector<std::string>& inputs) {
    const std::optional<std::string> path = ReportOption().Given(line);
    if (!path) return Outcome::Success();
    if (Outcome refused = RefuseStandardOutput(ReportOption().Name(), *path, "report", kInstead);
        !refused)
        return refused;
    if (Outcome refused = RefuseRunFiles("--" + std::string(ReportOption().Name()), *path, inputs);
        !refused)
        return refused;
    format_ = ReportFormatOf(*path);
    rows_.emplace(line.family);
    return file_.Open(*path);
}

Outcome ReportFile::Finish(const ReportSummary& summary, const Console& console,
                           const std::string& done) {
    if (!Wanted()) return Outcome::Success();
    rows_->Write(*format_, summary, [&](std::string_view text) { file_.Write(text); });
    Outcome closed = file_.Close();
    if (!closed && !done.empty()) closed.reason += " (" + ShownName(done) + " is in place)";
    if (!closed) return closed;
    file_.Report(console) << ": " << Counted(rows_->Rows(), "row") << "\n";
    return Outcome::Success();
}

}  // namespace navaid::cli
