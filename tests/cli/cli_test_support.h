// The command-line tool's tests run it in a scratch folder and keep what it said.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "test_support.h"

namespace navaid::test {

class CliTest : public ScratchTest {
protected:
    int Run(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const int status = cli::RunTool(args, cli::Console{out, err});
        out_ = out.str();
        err_ = err.str();
        return status;
    }
    std::string out_, err_;
};

}  // namespace navaid::test
