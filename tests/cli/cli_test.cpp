// What only runs inside the tool can show: each file call of each command
// failing in turn, and the checker fed in pieces of any size.
#include "cli.h"

#include <cerrno>
#include <sstream>

#include "check.h"
#include "test_support.h"

namespace navaid::test {
namespace {

using namespace cli;

int RunCli(const std::vector<std::string>& args, std::string& err) {
    std::ostringstream out, errors;
    const int status = RunTool(args, Console{out, errors});
    err = errors.str();
    return status;
}

using CliFaultTest = ScratchTest;

TEST_F(CliFaultTest, EachFailedFileCallSaysWhichAndLeavesNoOutput) {
    std::string db = std::string(56, 'A') + std::string(56, 'B'), err;
    db[86] = 95;  // a latitude far off the map
    WriteAll("db", db);
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
        {{"map", "vor", "db", "out.svg"}, "out.svg"}};
    for (const auto& [args, output] : commands) {
        io::faults::Reset();
        const int clean = RunCli(args, err);
        ASSERT_TRUE(clean == kExitOk || clean == kExitFindings) << err;
        const long calls = io::faults::CallCount();
        ASSERT_GT(calls, 0) << args[0];
        for (long call = 1; call <= calls; ++call) {
            if (!output.empty()) fs::remove(output);
            fs::remove(kTemporaryRecordFile);
            io::faults::FailCall(call, ENOSPC);
            const int status = RunCli(args, err);
            ASSERT_TRUE(io::faults::Injected());
            io::faults::Reset();
            EXPECT_EQ(status, kExitFileError) << args[0] << call;
            const auto reason = err.find(": No space left on device");
            EXPECT_TRUE(err.starts_with("navaid: ") && reason != std::string::npos && reason > 8)
                << args[0] << call << err;
            EXPECT_TRUE(output.empty() || !fs::exists(output)) << args[0] << call;
        }
    }
}

TEST(CheckerTest, FindingsDoNotDependOnHowTheBytesArrive) {
    const std::string bytes =
        ReadAll(NAVAID_TEST_DATA "/vor.qvz").value() + ReadAll(NAVAID_TEST_DATA "/ndb.qvz").value();
    auto findings = [&](std::size_t piece) {
        DatabaseChecker checker(Family::Vor);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            checker.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at,
                         std::min(piece, bytes.size() - at));
        std::string text;
        for (const Finding& f : checker.Finish())
            text.append(std::to_string(f.index)).append(f.text).push_back('\n');
        return text;
    };
    const std::string whole = findings(bytes.size());
    EXPECT_NE(whole.find("trailing piece of 31 bytes at offset 504"), std::string::npos) << whole;
    for (std::size_t piece : {1, 7, 55, 57, 200}) EXPECT_EQ(findings(piece), whole) << piece;
}

}  // namespace
}  // namespace navaid::test
