// KML 2.2 of a database, for Google Earth: one Placemark per navaid, in one
// Folder per type.
//
// The Folders come in the core's order of types, each holding its records in
// the database's order, yet nothing is held: the file is written in passes,
// one per type of the family and a last one for records of no type, and a
// pass opens its Folder at its first record, so a type with none has no
// Folder. Memory stays flat for any size of database; the cost is reading
// the database once per pass.
#include "code_page.h"
#include "format_parts.h"
#include "text.h"

namespace navaid {

namespace {

// Windows-1252 as XML text; Cp1252ToUtf8 has made the control bytes XML
// forbids U+FFFD.
std::string XmlText(std::string_view cp1252) { return XmlEscape(Cp1252ToUtf8(cp1252)); }

// The place of the family's type with this code in the core's table of
// types; for a code of no type (or -1), the number of the family's types.
int PlaceOfType(Family family, int code) {
    std::size_t count = 0;
    const TypeBlock* blocks = TypeBlocks(count);
    int place = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (blocks[i].family != family) continue;
        if (blocks[i].bytes[0] == code) return place;
        ++place;
    }
    return place;
}

Outcome AppendPlacemark(Family family, const ExportRecord& record, std::uint64_t written,
                        std::string& kml) {
    const DecodedRecord& r = record.fields;
    if (Outcome placed = LeaveOutOfRange(record); placed.HasWarning()) return placed;
    if (written == 0) kml += "<Folder>\n<name>" + XmlText(r.type) + "</name>\n";
    const std::string name = XmlText(TrimWhiteSpace(r.name));
    kml += "<Placemark>\n<name>" + XmlText(TrimWhiteSpace(r.id)) + "</name>\n<description>";
    // As nav.dat names a station: "AALBORG VOR-DME", then the frequency.
    kml += name.empty() ? "" : name + " ";
    kml += XmlText(r.type) + ", " + ShortestDecimal(r.frequency, nullptr) +
           (family == Family::Vor ? " MHz" : " kHz") + "</description>\n";
    kml += "<Point><coordinates>" + Degrees(r.longitude) + "," + Degrees(r.latitude) +
           "</coordinates></Point>\n</Placemark>\n";
    return Outcome::Success();
}

}  // namespace

const Format kKmlFormat{
    "KML",
    ".kml",
    nullptr,
    nullptr,
    NoSettings,
    [](Family family, const ExportSettings&) -> std::string {
        return std::string(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>") +
               FamilyName(family) + " navaids</name>\n";
    },
    [](Family family, const ExportRecord& record, const ExportSettings&, std::uint64_t written,
       std::string& text) { return AppendPlacemark(family, record, written, text); },
    "</Document>\n</kml>\n",
    [](Family family) { return PlaceOfType(family, -1) + 1; },
    [](Family family, const DecodedRecord& record) { return PlaceOfType(family, record.typeCode); },
    "</Folder>\n"};

}  // namespace navaid
