// navaid: the command-line tool on the navaid database core.
#include <iostream>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "command.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
    // Binary streams: the output is byte for byte the native tool's, "\n"
    // line ends included, which consoles show alike and pipes keep intact.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
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
