#include "map_symbols.h"

#include <string_view>

namespace navaid {

namespace {

struct TypeSymbol {
    std::string_view type;
    const char* symbol;
};

const TypeSymbol kSymbols[] = {
    {"VOR", "vor"}, {"VORTAC", "vortac"}, {"TACAN", "tacan"},    {"VOR-DME", "vordme"},
    {"DME", "dme"}, {"NDB", "ndb"},       {"NDB-DME", "ndbdme"},
};

}  // namespace

const char* MapSymbol(const TypeBlock& type) {
    for (const TypeSymbol& row : kSymbols)
        if (row.type == type.name) return row.symbol;
    return nullptr;
}

}  // namespace navaid
