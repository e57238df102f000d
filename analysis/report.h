// What diff and update report of one database against another: one event
// per record that changed, went or came, handed over as it is found.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "record_changes.h"

namespace navaid {

struct ReportEvent {
    enum class Kind { Changed, Removed, Added };
    Kind kind;
    // Changed and Removed: in the older database; Added: in the newer one,
    // when it has one (update's new navaids have none).
    std::optional<std::uint64_t> index;
    // Changed: the record before; Removed and Added: the record. Valid only
    // during the call that hands the event over.
    std::span<const std::uint8_t> record;
    std::span<const std::uint8_t> after = {};  // Changed: the record after, when the report has it
    std::vector<FieldChange> changes = {};     // Changed: what differs, in the record's order
    // Removed and Added: how far the nearest record or navaid of the same ID
    // on the other side lies, when there is one and the report looked.
    std::optional<double> nearestNm = std::nullopt;
    // The piece after the last whole record, in `record`, with `index` the
    // records before it: it differs between the two, though it is no record.
    bool piece = false;
};

using ReportSink = std::function<void(const ReportEvent& event)>;

}  // namespace navaid
