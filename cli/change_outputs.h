// --report and --map of update and diff together: both checked before the run
// reads anything, each change kept for both as it is reported, and both
// written once the run's other output is in place.
#pragma once

#include <string>
#include <vector>

#include "change_map_output.h"
#include "report_file.h"

namespace navaid::cli {

class ChangeOutputs {
public:
    ChangeOutputs(const CommandLine& line, const char* goneWord, const char* cameWord)
        : map(line, goneWord, cameWord) {}
    // `files` are the run's inputs and outputs, which neither may replace,
    // nor the report the map.
    Outcome Check(const CommandLine& line, std::vector<std::string> files) {
        if (Outcome checked = map.Check(files); !checked) return checked;
        if (MapOption().Present(line)) files.push_back(MapOption().Get(line));
        return report.Open(line, files);
    }
    void Keep(const ReportEvent& event) {
        map.Keep(event);
        if (report.Wanted()) report.Rows().Add(event);
    }
    ChangeMapOutput map;
    ReportFile report;
};

}  // namespace navaid::cli
