// navaid: the command-line tool on the navaid database core.
#include <cctype>
#include <cstdlib>
#include <iostream>
#include <fcntl.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

#include "command.h"
#include "interrupt.h"

// True when names go out in UTF-8: on Linux when the locale's character set
// is, as the first of LC_ALL, LC_CTYPE and LANG that is set and not empty
// names it. navaid.exe prints them in the ANSI code page, as stored.
static bool Utf8Locale() {
#if !defined(_WIN32)
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        std::string name(value);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name.find("utf-8") != std::string::npos || name.find("utf8") != std::string::npos;
    }
#endif
    return false;
}

// A standard descriptor the caller closed (`>&-`) is taken by /dev/null, so
// that no file the run opens gets its number and the messages meant for it.
// It is opened the other way round, as gnulib does: a write there still fails.
static void OpenStandardDescriptors() {
#if !defined(_WIN32)
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
        if (open("/dev/null", descriptor == 0 ? O_WRONLY : O_RDONLY) != descriptor)
            _exit(navaid::cli::kExitFileError);
    }
#endif
}

int main(int argc, char** argv) {
    OpenStandardDescriptors();
#if defined(_WIN32)
    // Binary streams: the output is byte for byte the native tool's, "\n"
    // line ends included, which consoles show alike and pipes keep intact.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    navaid::cli::HandleInterrupts();
    std::vector<std::string> args(argv + 1, argv + argc);
    navaid::cli::Console console{std::cout, std::cerr, Utf8Locale()};
    int status = navaid::cli::RunTool(args, console);
    if (int interrupted = navaid::cli::InterruptStatus()) return interrupted;
    std::cout.flush();
    if (!std::cout) {
        // A full disk or closed pipe must not pass for success.
        std::cerr << "navaid: standard output: write failed\n";
        if (status == navaid::cli::kExitOk) status = navaid::cli::kExitFileError;
    }
    return status;
}
