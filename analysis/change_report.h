// The changes update and diff find as rows a spreadsheet or a script reads:
// CSV or JSON, one row per changed field and per record that went or came.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "outcome.h"
#include "record_reader.h"
#include "records.h"
#include "report.h"

namespace navaid {

enum class ReportFormat { Csv, Json };
// The format a report's name ends in (.csv or .json, in any case), if any.
std::optional<ReportFormat> ReportFormatOf(std::string_view path);

// The counts a command's summary prints, in its order.
using ReportSummary = std::vector<std::pair<std::string, std::uint64_t>>;

class ChangeReport {
public:
    explicit ChangeReport(Family family) : family_(family) {}
    // The event's rows: one per changed field ("~"), or the record that went
    // ("-") or came ("+"), its names as UTF-8.
    void Add(const ReportEvent& event);
    std::size_t Rows() const { return rows_.size(); }
    // For the rows of records that went or came without a distance: the
    // nearest record of the same ID on the other side, `before` for "+" and
    // `after` for "-", each read once, holding only the records of those IDs.
    Outcome FindNearest(const RecordSource& before, const RecordSource& after);
    // The whole report, handed to `write` in pieces of about 64 KiB.
    void Write(ReportFormat format, const ReportSummary& summary,
               const std::function<void(std::string_view)>& write) const;

private:
    struct Row {
        char change;
        std::optional<std::uint64_t> index;
        std::string id = {}, name = {}, type = {}, field = {}, before = {}, after = {};
        std::optional<double> nm = std::nullopt;
        float lat = 0, lon = 0;  // "-" and "+": where the record lies
    };
    Outcome Nearest(const RecordSource& other, char change);
    static void AppendRow(const Row& row, bool json, std::string& text);
    Family family_;
    std::vector<Row> rows_;
};

}  // namespace navaid
