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

// A folder of this process under the system's temporary folder, made once.
const std::string& ScratchDir();
std::string ScratchPath(const char* name);

bool ReadFile(const std::string& path, std::string& bytes);
void WriteFile(const std::string& path, const std::string& bytes);

[[noreturn]] void Broken(const char* invariant, const char* file, int line);

}  // namespace navaid::fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::navaid::fuzz::Broken(#condition, __FILE__, __LINE__))
