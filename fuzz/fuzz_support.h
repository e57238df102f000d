// Shared by the fuzz targets: a scratch folder of the process's own, whole-file
// reads and writes, and a check that stops the run on a broken invariant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "navaid_db.h"

namespace navaid::fuzz {

// A fresh folder under the system's temporary folder for one input, removed
// with everything in it when the input is done.
class Scratch {
public:
    Scratch();
    ~Scratch();
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    std::string Path(const char* name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

bool ReadFile(const std::string& path, std::string& bytes);
void WriteFile(const std::string& path, const std::string& bytes);

[[noreturn]] void Broken(const char* invariant, const char* file, int line);

}  // namespace navaid::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::navaid::fuzz::Broken(#condition, __FILE__, __LINE__))
