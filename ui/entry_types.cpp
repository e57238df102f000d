#include "entry_types.h"

const std::vector<const char*>& EntryTypeNames(navaid::Family family) {
    static const std::vector<const char*> vor{"DME", "VOR-DME", "VOR", "VORTAC", "TACAN"};
    static const std::vector<const char*> ndb{"NDB", "NDB-DME"};
    return family == navaid::Family::Vor ? vor : ndb;
}
