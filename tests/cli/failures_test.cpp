// Every file operation of every command made to fail in turn: the command
// reports the file, exits with 1, leaves no output and never writes the database.
#include <cerrno>

#include "cli_test_support.h"

namespace navaid::cli::testing {
namespace {

using FailureTest = CliTest;

TEST_F(FailureTest, EachFailedFileCallLeavesNoOutput) {
    const std::string database =
        Raw(Family::Vor, {.id = "A"}) + Raw(Family::Vor, {.id = "B", .lat = 95});
    Write("db", database);
    Write("rows.csv", "id,name,lat,lon,freq,magvar,type\nC,X,1,2,110,0,VOR\n");
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
            if (!output.empty()) std::filesystem::remove(output);
            io::faults::Reset();
            io::faults::FailCall(call, ENOSPC);
            const int status = Run(args);
            const bool injected = io::faults::Injected();
            io::faults::Reset();
            if (!injected) continue;
            const std::string at = args[0] + " call " + std::to_string(call);
            EXPECT_EQ(status, kExitFileError) << at;
            EXPECT_EQ(err_.rfind("navaid: ", 0), 0u) << at;
            EXPECT_NE(err_.find(": No space left on device"), std::string::npos) << at << err_;
            if (!output.empty()) {
                EXPECT_FALSE(Exists(output)) << at;
            }
            EXPECT_EQ(Read("db"), database) << at;
            // Only a failed removal of the temporary file may leave it, and then it is named.
            if (Exists("navblock.qvz")) {
                EXPECT_NE(err_.find("navblock.qvz"), std::string::npos) << at << err_;
                std::filesystem::remove("navblock.qvz");
            }
        }
    }
}

}  // namespace
}  // namespace navaid::cli::testing
