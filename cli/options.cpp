#include "options.h"

#include <cmath>

#include "code_page.h"
#include "number_format.h"

namespace navaid::cli {

void RefuseValue(std::string_view option, const std::string& text, std::string_view why) {
    RefuseUsage("--" + std::string(option) + ": '" + text + "' " + std::string(why));
}

std::string OneOf(std::span<const std::string> words) {
    std::string text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
        text += words[i];
    }
    return text;
}

std::string AsGiven(std::string_view, const std::string& text) { return text; }

double Distance(std::string_view option, const std::string& text) {
    float nm = 0;
    if (!ParseStrictReal(text, nm) || !(nm >= 0) || std::isinf(nm))
        RefuseValue(option, text, "is not a distance in NM");
    return nm;
}

const Option<std::string>& MapOption() {
    static const Option<std::string> option{
        "map", "OUT.svg", "also draw the changes on a map, as SVG",
        [](std::string_view name, const std::string& text) {
            const std::string_view suffix = ".svg";
            if (text.size() <= suffix.size() ||
                LowerCase(text.substr(text.size() - suffix.size())) != suffix)
                RefuseValue(name, text, "does not end in .svg");
            return text;
        }};
    return option;
}

}  // namespace navaid::cli
