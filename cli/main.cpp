// navaid: the command-line tool on the navaid database core.
#include <iostream>

#include "command.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    navaid::cli::Console console{std::cout, std::cerr};
    int status = navaid::cli::RunTool(args, console);
    std::cout.flush();
    if (!std::cout) {
        // A full disk or closed pipe must not pass for success.
        std::cerr << "navaid: standard output: write failed\n";
        if (status == navaid::cli::kExitOk) status = navaid::cli::kExitFileError;
    }
    return status;
}
