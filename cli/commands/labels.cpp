// navaid labels: the records' labels with the index that 'delete' takes.
#include <algorithm>

#include "command.h"
#include "database.h"
#include "navaid_db.h"
#include "text.h"

namespace navaid::cli {

const CommandInfo kLabelsCommand{
    "labels",
    "print each record's index and label (ID and name)",
    {"DATABASE"},
    QueryOptions(),
    kReadsDatabase | kOwnFamily,
    "Prints one line per label: the record's index, a TAB, and the label, the\n"
    "first 30 bytes of the record (ID and name, with their padding) up to any\n"
    "zero byte. Bytes below 0x20, 0x7F and the backslash are printed as \\xNN.\n"
    "A trailing piece of 30 bytes or more also has a label. The index is the\n"
    "one 'navaid delete' takes. The options select records as 'navaid find' does;\n"
    "a selection that picks none is an error (status 1).\n"
    "\n"
    "Example:\n"
    "  navaid labels ndb samples/ndb.qvz\n",
    [](const CommandLine& line, const Console& console) -> Ending {
        auto print = [&](std::uint64_t index, std::string_view label) {
            console.out << index << '\t' << console.Shown(EscapeBytes(label)) << '\n';
        };
        if (!line.options.empty()) {
            const FindQuery query = QueryOf(line);
            std::uint64_t picked = 0;
            const Outcome read =
                line.Database().ForEach([&](std::uint64_t index, const std::uint8_t* r) {
                    if (!Matches(query, line.family, DecodeRecord(line.family, r))) return;
                    ++picked;
                    const char* text = reinterpret_cast<const char*>(r);
                    print(index,
                          std::string_view(text, std::find(text, text + kLabelSize, '\0') - text));
                });
            if (!read) return read;
            return picked ? Ending(kExitOk) : Ending(NoneSelected(line));
        }
        // Printed as they are read: a database of any size needs no more memory.
        const Outcome read = line.Database().ForEachLabel(print);
        if (!read) return read;
        return kExitOk;
    }};

}  // namespace navaid::cli
