// The records removed from one database and added in another, as diff
// reports them: removed and added ones that pair up as one changed record.
#pragma once

#include "outcome.h"
#include "record_job.h"
#include "records.h"
#include "report.h"

namespace navaid {

// Reads both databases once for their hashes and once more for the records
// the edit script names, and hands `report` each change in file order, then
// the trailing pieces where they differ. Within a stretch of edits between
// common records, a removed record pairs first with an added one of its ID
// at most `matchNm` away, then with the first added one left.
Outcome Diff(Family family, const DatabaseInput& before, const DatabaseInput& after, double matchNm,
             const ReportSink& report);

}  // namespace navaid
