// The application's name as the framework derives it when no string table
// gives one: the program file's name without folder and extension.
#pragma once

#include <string>
#include <string_view>

inline std::string AppNameFromModulePath(std::string_view path) {
    const auto slash = path.find_last_of("\\/:");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}
