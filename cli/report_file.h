// --report FILE for update and diff: the changes a run finds as CSV or JSON,
// written whole after the run's other output, or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "change_report.h"
#include "command.h"
#include "options.h"
#include "output_file.h"

namespace navaid::cli {

const Option<std::string>& ReportOption();

class ReportFile {
public:
    // Nothing without --report. Else refuses FILE when it is one of `inputs`
    // (status 2) or cannot be written, before the run writes anything.
    Outcome Open(const CommandLine& line, const std::vector<std::string>& inputs);
    bool Wanted() const { return format_.has_value(); }
    ChangeReport& Rows() { return *rows_; }
    // Writes the rows and moves the file into place; `done` names what is
    // in place already when that fails. Prints the "wrote" line.
    Outcome Finish(const ReportSummary& summary, const Console& console,
                   const std::string& done = {});

private:
    std::optional<ReportFormat> format_;
    std::optional<ChangeReport> rows_;
    OutputFile file_;
};

}  // namespace navaid::cli
