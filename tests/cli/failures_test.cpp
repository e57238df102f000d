// Every file call of every command made to fail in turn: the command says
// "navaid: <file>: <reason>", exits with 1 and leaves no output. What the
// core leaves behind is the robustness suite's concern.
#include <cerrno>

#include "cli_test_support.h"

namespace navaid::test {
namespace {

using namespace cli;
using FailureTest = CliTest;

TEST_F(FailureTest, EachFailedFileCallLeavesNoOutput) {
    WriteAll("db", Record({.id = "A"}) + Record({.id = "B", .latitude = 95}));
    WriteAll("rows.csv", "id,name,lat,lon,freq,magvar,type\nC,X,1,2,110,0,VOR\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> commands = {
        {{"list", "vor", "db"}, "db.txt"},
        {{"labels", "vor", "db"}, ""},
        {{"add", "vor", "db", "--id", "C", "--name", "X", "--lat", "1", "--lon", "2", "--freq",
          "110", "--magvar", "0", "--type", "VOR"},
         "db.new"},
        {{"delete", "vor", "db", "1"}, "db.new"},
        {{"check", "vor", "db"}, ""},
        {{"find", "vor", "db", "--id", "A"}, ""},
        {{"import", "vor", "db", "rows.csv"}, "db.new"},
        {{"map", "vor", "db", "out.svg"}, "out.svg"},
    };
    for (const auto& [args, output] : commands) {
        io::faults::Reset();
        ASSERT_EQ(Run(args), args[0] == "check" ? kExitFindings : kExitOk) << err_;
        const long calls = io::faults::CallCount();
        ASSERT_GT(calls, 0) << args[0];
        for (long call = 1; call <= calls; ++call) {
            if (!output.empty()) fs::remove(output);
            fs::remove(kTemporaryRecordFile);
            io::faults::FailCall(call, ENOSPC);
            const int status = Run(args);
            const bool injected = io::faults::Injected();
            io::faults::Reset();
            if (!injected) continue;
            const std::string at = args[0] + " call " + std::to_string(call);
            EXPECT_EQ(status, kExitFileError) << at;
            // "navaid: ", a file name, then the reason.
            const auto reason = err_.find(": No space left on device");
            EXPECT_TRUE(err_.starts_with("navaid: ") && reason != std::string::npos && reason > 8)
                << at << ": " << err_;
            EXPECT_TRUE(output.empty() || !fs::exists(output)) << at;
        }
    }
}

}  // namespace
}  // namespace navaid::test
