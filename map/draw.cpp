// The map's three passes over a database into one output.
#include <functional>

#include "code_page.h"
#include "svg_map.h"
#include "text.h"

namespace navaid {

namespace {

// Each selected record as the map sees it, in one read of the database.
Outcome ReadSelected(const MapJob& job, const RecordSource& records,
                     const std::function<void(const MapNavaid&)>& visit) {
    return records([&](std::uint64_t index, const std::uint8_t* record) {
        const DecodedRecord r = DecodeRecord(job.family, record);
        if (job.selected && !job.selected(r)) return;
        visit({index, std::string(TrimWhiteSpace(r.id)), r.latitude, r.longitude, r.typeCode});
    });
}

}  // namespace

Outcome Draw(const MapJob& job, const RecordSource& records, TextSink& out, MapCounts& counts) {
    counts = {};
    SvgMap map(job.family);
    const Outcome read = ReadSelected(job, records, [&](const MapNavaid& navaid) {
        ++counts.records;
        map.Count(navaid);
    });
    if (!read) return read;
    map.LayOut(std::string(FamilyName(job.family)) + " database " + Cp1252ToUtf8(job.name) + ": " +
               Counted(counts.records, "navaid"));
    counts.drawn = map.Drawn();

    if (Outcome opened = out.Open(); !opened) return opened;
    out.Write(map.Head());
    Outcome drawn =
        ReadSelected(job, records, [&](const MapNavaid& navaid) { out.Write(map.Symbol(navaid)); });
    if (drawn) {
        out.Write(map.LabelsHead());
        drawn = ReadSelected(job, records,
                             [&](const MapNavaid& navaid) { out.Write(map.Label(navaid)); });
    }
    if (!drawn) {
        out.Discard();
        return drawn;
    }
    out.Write(map.Tail());
    return out.Close();
}

}  // namespace navaid
