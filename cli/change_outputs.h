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
    // nor one the other: a link from either may lead to the other's name.
    Outcome Check(const CommandLine& line, const std::vector<std::string>& files) {
        std::vector<std::string> forMap = files, forReport = files;
        if (ReportOption().Present(line)) forMap.push_back(ReportOption().Get(line));
        if (MapOption().Present(line)) forReport.push_back(MapOption().Get(line));
        if (Outcome checked = map.Check(forMap); !checked) return checked;
        return report.Open(line, forReport);
    }
    void Keep(const ReportEvent& event) {
        map.Keep(event);
        if (report.Wanted()) report.Rows().Add(event);
    }
    ChangeMapOutput map;
    ReportFile report;
};

}  // namespace navaid::cli
