// navaid export: the database in the format OUT's name ends in.
#include "command.h"
#include "database.h"
#include "interchange.h"
#include "output_file.h"

namespace navaid::cli {

namespace {

const Option<std::string>& NavDatVersionOption() {
    static const Option<std::string> option{"navdat-version", "810|1100|1200",
                                            "the nav.dat layout (default 1200)", AsGiven};
    return option;
}
const Option<std::string>& RegionOption() {
    static const Option<std::string> option{
        "region", "XX", "nav.dat 1100 and 1200: the region (default ZZ)", AsGiven};
    return option;
}

const Option<std::string>& FormatOption() {
    static const Option<std::string> option{
        "format", "dat|geojson|kml|csv",
        "the format, for an OUT without its ending ('-', a device)", AsGiven};
    return option;
}

// The format --format names, else the one OUT's name ends in.
const Format* FormatOf(const CommandLine& line, const std::string& outPath) {
    const std::optional<std::string> named = FormatOption().Given(line);
    if (!named) return FormatOfName(outPath);
    const Format* format = FormatOfName("." + *named);
    if (format == nullptr || named->find('.') != std::string::npos)
        RefuseValue(FormatOption().Name(), *named, "is not dat, geojson, kml or csv");
    // A name that promises one format never holds another.
    const Format* suffix = FormatOfName(outPath);
    if (suffix != nullptr && suffix != format)
        RefuseValue(FormatOption().Name(), *named,
                    "is not the format OUT's name ends in ('" + outPath + "' is " +
                        std::string(suffix->name) + ")");
    return format;
}

// A setting the format refused, told by the option that gave it.
Outcome Refusal(const Outcome& refused) {
    const std::string_view option =
        refused.field == "version" ? NavDatVersionOption().Name() : RegionOption().Name();
    const bool said = refused.reason.starts_with("is ");
    return Outcome::Usage("--" + std::string(option) + (said ? " " : ": ") + refused.reason);
}

Ending Run(const CommandLine& line, const Console& console) {
    const std::string& outPath = line.positional[1];
    const Format* format = FormatOf(line, outPath);
    if (format == nullptr) {
        return Outcome::Usage("OUT must end in " + WrittenSuffixes() +
                              " (or --format name one): '" + outPath + "'");
    }
    const ExportSettings settings{NavDatVersionOption().Given(line), RegionOption().Given(line)};
    std::uint64_t matched = 0, written = 0;
    const auto warn = [&](const Outcome& warning) {
        console.err << "navaid: " << warning.Message() << "\n";
    };
    const ExportJob job{line.family, settings, SelectionOf(line, &matched), warn, warn};
    OutputSink file(outPath);
    HeldSink out(file);
    const Outcome exported = Export(*format, job, DatabaseSource(line, 0), out, written);
    // A record the format refused fails the output, which only we can name.
    if (!exported && exported.file.empty() && exported.kind == Outcome::Kind::File)
        return Outcome::Failure(
            outPath == io::kStandardInputPath ? io::kStandardOutputName : outPath, exported.reason);
    if (!exported) return exported.field.empty() ? exported : Refusal(exported);
    // A selection that picks nothing is a mistake, not an empty file.
    const bool none = Selects(line) && matched == 0;
    if (Outcome closed = out.Release(!none); !closed) return closed;
    if (none) return NoneSelected(line);
    file.Report(console) << ": " << Records(written) << " as " << format->name << "\n";
    return kExitOk;
}

}  // namespace

const CommandInfo kExportCommand{
    "export",
    "write the database as nav.dat, GeoJSON, KML or CSV",
    {"DATABASE", "OUT"},
    [] {
        std::vector<OptionSpec> options = {FormatOption().Spec(), NavDatVersionOption().Spec(),
                                           RegionOption().Spec()};
        options.insert(options.end(), QueryOptions().begin(), QueryOptions().end());
        return options;
    }(),
    kReadsDatabase | kWritesOut,
    "Writes OUT in the format its name ends in, or --format names (never another\n"
    "one than its ending's), complete or not at all; OUT '-' is standard output,\n"
    "and a device, a FIFO or a link to a descriptor (/dev/stdout) is written\n"
    "directly. The selection options pick records as 'navaid find' does (one\n"
    "that picks none writes nothing: status 1):\n"
    "  .dat      nav.dat of the given version (default 1200): a VOR as a 3 row,\n"
    "            a VOR-DME or VORTAC as a 3 row and its 12 DME row, a TACAN or DME\n"
    "            as a 13 row, an NDB as a 2 row, an NDB-DME as a 2 row and a 13 row\n"
    "            ending in NDB-DME (frequency 0: the database holds none); the\n"
    "            type is the name's last word. Rows follow the database's order,\n"
    "            so importing the file gives the same records back; readers of\n"
    "            nav.dat do not depend on the order. A name that ends in a type\n"
    "            word (FRANKFURT DME) comes back as that type: written as it is,\n"
    "            and warned of once with the count and the first few.\n"
    "            MagVar goes to the variation column (TACAN, DME: the bias column;\n"
    "            NDB: the column the format leaves unused). 1100 and later carry\n"
    "            ENRT as the terminal area and --region (default ZZ, a code no\n"
    "            ICAO region has) as the region. A record nav.dat cannot hold (an\n"
    "            empty ID or one with spaces, a number that is not finite) is\n"
    "            refused, and nothing is written.\n"
    "  .geojson  GeoJSON (RFC 7946): one Point per record, [longitude, latitude]\n"
    "            at 6 decimals, with index, ident, name, type, frequency_mhz (vor)\n"
    "            or frequency_khz (ndb), magvar and altitude_ft (vor). Records\n"
    "            whose position is out of range are left out and named on\n"
    "            standard error.\n"
    "  .kml      KML 2.2 for Google Earth: one Placemark per record, named by\n"
    "            its ID, with name, type and frequency (MHz or kHz) as its\n"
    "            description, in one Folder per type present, in the order of\n"
    "            the types (records of an undefined type last). Positions out\n"
    "            of range are left out as for .geojson.\n"
    "  .csv      the CSV that 'navaid import' reads, in UTF-8 (navaid.exe: the\n"
    "            ANSI code page, as its arguments).\n"
    "\n"
    "Examples:\n"
    "  navaid export vor samples/vor.qvz user_nav.dat --navdat-version 1100 --region ED\n"
    "  navaid export ndb samples/ndb.qvz ndb.geojson\n"
    "  navaid export vor samples/vor.qvz vor.kml\n"
    "  navaid export vor samples/vor.qvz - --format geojson | jq .features[0]\n",
    Run};

}  // namespace navaid::cli
