// --map OUT.svg of update and diff: OUT checked before the run, each change
// kept as it is reported, and the map written once the run's other output
// is in place, whole or not at all.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "args.h"
#include "change_map.h"
#include "command.h"
#include "database_file.h"
#include "output_file.h"
#include "report.h"

namespace navaid::cli {

class ChangeMapOutput {
public:
    // `goneWord` and `cameWord` name the removed and added records: "withdrawn", "new".
    ChangeMapOutput(const CommandLine& line, const char* goneWord, const char* cameWord);
    // Refuses an OUT that is one of `files` (the run's inputs and output) as a
    // wrong command line, and one that cannot be written; nothing without --map.
    Outcome Check(const std::vector<std::string>& files);
    // What the map shows of a change.
    void Keep(const ReportEvent& event);
    // The map of the kept changes over the unchanged records of `older`,
    // titled `title` (UTF-8); a failure says that `written`, when given, is
    // in place nonetheless.
    Outcome Write(DatabaseFile& older, std::string title, const std::optional<Circle>& near,
                  const Console& console, const std::string* written = nullptr);

private:
    std::optional<std::string> out_;
    std::optional<OutputSink> sink_;
    ChangeMapJob job_;
};

}  // namespace navaid::cli
