// nav.dat's reading half, for the format's row in navdat.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "interchange.h"

namespace navaid {

// CR too: real files mix LF and CR LF line ends; tabs in hand-edited ones.
inline bool IsNavDatBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The next whitespace-separated token from `pos`, which moves past it.
inline std::string_view NextNavDatToken(std::string_view line, std::size_t& pos) {
    while (pos < line.size() && IsNavDatBlank(line[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < line.size() && !IsNavDatBlank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

bool LooksLikeNavDat(const std::vector<std::string>& head);
Outcome ReadNavDat(LineReader& lines, const ImportFilter& filter, const NavaidSink& sink,
                   ImportTally& tally);

}  // namespace navaid
