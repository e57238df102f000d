// The SVG map of 'navaid map': navaids on a plain latitude/longitude grid.
// It is written in passes over the database, so memory does not grow with it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "label_grid.h"
#include "record_job.h"
#include "record_reader.h"
#include "records.h"
#include "svg_parts.h"

namespace navaid {

struct MapNavaid {
    std::uint64_t index;
    std::string id;  // the record's ID bytes, trimmed (Windows-1252)
    float lat, lon;
    std::uint8_t typeCode;
};

// Builds the map's text piece by piece, in this order: Count every navaid,
// Lay out, Head, Symbol for every navaid, LabelsHead, Label for every navaid,
// Tail. Navaids off the map are skipped by Symbol and Label.
class SvgMap {
public:
    explicit SvgMap(Family family) : family_(family) {}
    void Count(const MapNavaid& navaid);
    void LayOut(std::string title);
    std::string Head() const;
    std::string Symbol(const MapNavaid& navaid);
    std::string LabelsHead() const;
    std::string Label(const MapNavaid& navaid);
    std::string Tail() const;
    // How many navaids Count found on the map.
    std::uint64_t Drawn() const { return drawn_; }

private:
    double X(double lon) const { return kLeft + (lon - extent_.west) * scale_; }
    double Y(double lat) const { return kTop + (extent_.north - lat) * scale_; }
    std::string Graticule() const;
    std::string Legend() const;
    std::string NotDrawnList() const;

    static constexpr double kLeft = 60, kTop = 50;
    Family family_;
    std::string title_;
    // Learnt by Count: the drawn navaids' bounds and types, the first of the others.
    double south_ = 90, north_ = -90, west_ = 180, east_ = -180;
    std::uint64_t drawn_ = 0, notDrawn_ = 0;
    std::vector<std::pair<std::string_view, std::uint64_t>> typeCounts_;
    std::vector<MapNavaid> listed_;
    // Set by LayOut.
    Extent extent_{};
    double scale_ = 1, mapW_ = 0, mapH_ = 0, width_ = 0, height_ = 0;
    LabelGrid grid_;
};

struct MapJob {
    Family family;
    std::string name;  // the database's file name as stored (Windows-1252), for the title
    RecordSelection selected;
};

struct MapCounts {
    std::uint64_t records = 0;  // selected
    std::uint64_t drawn = 0;    // of them, on the map
};

// The map of the selected records into `out`, in three reads of `records`:
// the extent, the symbols, the labels. `out` is opened only after the first
// read succeeded, and discarded after a later failure.
Outcome Draw(const MapJob& job, const RecordSource& records, TextSink& out, MapCounts& counts);

}  // namespace navaid
