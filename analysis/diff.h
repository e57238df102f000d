// The records removed from one database and added in another, as diff
// reports them: removed and added ones that pair up as one changed record.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "outcome.h"
#include "record_job.h"
#include "records.h"
#include "report.h"

namespace navaid {

// What a diff found, counted as its events are handed over: the records of
// each database, and what became of them.
struct DiffSummary {
    std::uint64_t oldRecords = 0, newRecords = 0;
    std::uint64_t unchanged = 0, changed = 0, removed = 0, added = 0;
    // Unordered only: the unchanged records that stand elsewhere in NEW, as
    // few as a reordering needs to move.
    std::optional<std::uint64_t> moved;
    bool piecesDiffer = false;  // the bytes after the last records
    void Count(const ReportEvent& event) {
        if (event.piece) {
            piecesDiffer = true;
        } else {
            ++(event.kind == ReportEvent::Kind::Changed   ? changed
               : event.kind == ReportEvent::Kind::Removed ? removed
                                                          : added);
        }
    }
    bool Differs() const { return changed + removed + added > 0 || piecesDiffer; }
};

// Reads both databases once for their hashes and once more for the records
// the edit script names, and hands `report` each change in file order, then
// the trailing pieces where they differ. Within a stretch of edits between
// common records, a removed record pairs first with an added one of its ID
// at most `matchNm` away, then with the first added one left.
Outcome Diff(Family family, const DatabaseInput& before, const DatabaseInput& after, double matchNm,
             const ReportSink& report, DiffSummary& summary);

// Pairs the records whatever their order: a record of OLD with one of NEW
// of the same bytes, then as update pairs (the same ID within `matchNm`, the
// same type first, then the closest). Hands `report` each changed and
// removed record in OLD's order, then each added one in NEW's, each of the
// latter with the distance to the nearest record of its ID on the other
// side, then the trailing pieces where they differ. Reads OLD twice and NEW
// once, holding NEW's records and 28 bytes of each of OLD's.
Outcome DiffUnordered(Family family, const DatabaseInput& before, const DatabaseInput& after,
                      double matchNm, const ReportSink& report, DiffSummary& summary);

// Where the two pieces after the last records differ, each one not empty as
// a Removed (OLD's) or Added (NEW's) event, with the records before it as index.
void ReportPieces(const std::string& before, std::uint64_t beforeRecords, const std::string& after,
                  std::uint64_t afterRecords, const ReportSink& report);

}  // namespace navaid
