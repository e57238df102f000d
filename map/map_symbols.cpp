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

const char* const kMapSymbolDefs =
    "<defs>\n"
    "<g id=\"vor\"><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\" stroke-width=\"1.5\"/><circle r=\"1\" fill=\"#1f5fbf\"/></g>\n"
    "<g id=\"vordme\"><rect x=\"-6\" y=\"-5\" width=\"12\" height=\"10\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\"/><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" "
    "fill=\"none\" stroke=\"#1f5fbf\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"dme\"><rect x=\"-4.5\" y=\"-4.5\" width=\"9\" height=\"9\" fill=\"#fff\" "
    "stroke=\"#1f5fbf\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"vortac\"><polygon points=\"-5,0 -2.5,-4.3 2.5,-4.3 5,0 2.5,4.3 -2.5,4.3\" "
    "fill=\"#0b3d91\" stroke=\"#0b3d91\" stroke-width=\"1.5\"/></g>\n"
    "<g id=\"tacan\"><polygon points=\"0,-5.5 5,3.5 -5,3.5\" fill=\"#fff\" stroke=\"#0b7d7d\" "
    "stroke-width=\"1.8\"/></g>\n"
    "<g id=\"ndb\"><circle r=\"4.5\" fill=\"#fff\" stroke=\"#8b1a1a\" stroke-width=\"1.5\"/>"
    "<circle r=\"1.5\" fill=\"#8b1a1a\"/></g>\n"
    "<g id=\"ndbdme\"><rect x=\"-5.5\" y=\"-5.5\" width=\"11\" height=\"11\" fill=\"#fff\" "
    "stroke=\"#8b1a1a\"/><circle r=\"4\" fill=\"none\" stroke=\"#8b1a1a\" stroke-width=\"1.5\"/>"
    "<circle r=\"1.5\" fill=\"#8b1a1a\"/></g>\n"
    "<g id=\"undef\"><path d=\"M-4,-4 L4,4 M-4,4 L4,-4\" stroke=\"#d00000\" "
    "stroke-width=\"2\"/></g>\n"
    "</defs>\n";

const char* MapSymbol(const TypeBlock& type) {
    for (const TypeSymbol& row : kSymbols)
        if (row.type == type.name) return row.symbol;
    return nullptr;
}

const char* MapSymbolOf(Family family, std::uint8_t code) {
    const TypeBlock* type = FindType(family, code);
    const char* symbol = type ? MapSymbol(*type) : nullptr;
    return symbol ? symbol : "undef";
}

}  // namespace navaid
