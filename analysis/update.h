// Keeping a database current with newer data: which record is which newer
// navaid (the same ID, near enough), and what of it changed.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database_file.h"
#include "geo.h"
#include "record_changes.h"
#include "records.h"
#include "report.h"

namespace navaid {

// The key a record or navaid is matched by: its ID trimmed and upper-cased,
// padded with zeros.
using MatchKey = std::array<char, RecordLayout::kIdSize>;
MatchKey KeyOf(std::string_view id);

// A record of the database that takes part, kept small: its place and key,
// and the navaid it pairs with. One just outside the circle only keeps a
// navaid from being new.
struct UpdateRecord {
    static constexpr std::uint32_t kNone = 0xffffffffu;
    std::uint32_t index;  // 28 bytes in all; no database holds 2^32 records
    MatchKey key;
    std::uint8_t typeCode;
    bool outside;
    float lat, lon;
    std::uint32_t partner;  // the navaid's number, or kNone
};

// The navaids of the newer file, encoded as an import stores them, in
// chunks of records, so that growing never copies or doubles them.
class UpdateNavaids {
public:
    explicit UpdateNavaids(Family family) : size_(RecordSize(family)) {}
    void Add(std::string_view record, std::uint8_t unstated) {
        if (unstated_.size() % kPerChunk == 0) {
            chunks_.emplace_back();
            chunks_.back().reserve(kPerChunk * size_);
        }
        chunks_.back() += record;
        unstated_.push_back(unstated);
    }
    std::size_t Count() const { return unstated_.size(); }
    std::string_view Bytes(std::size_t n) const {
        return std::string_view(chunks_[n / kPerChunk]).substr(n % kPerChunk * size_, size_);
    }
    const std::uint8_t* Record(std::size_t n) const {
        return reinterpret_cast<const std::uint8_t*>(Bytes(n).data());
    }
    std::uint8_t Unstated(std::size_t n) const { return unstated_[n]; }

private:
    static constexpr std::size_t kPerChunk = 16384;
    std::size_t size_;
    std::vector<std::string> chunks_;
    std::vector<std::uint8_t> unstated_;
};

// Pairs of one record and one navaid of the same key at most `withinNm`
// apart: pairs of the same type first, then the closest; each in at most
// one pair. Twins (one key, type and place) are paired as one, in their
// order, so that a thousand of them cost what one does; pairs equally near
// (rare but for twins) go by the places' order. Sets each record's partner;
// `records` are in the order of their indexes before and after. The navaids
// `taken` marks (when given) are paired already and take no part.
void MatchRecords(std::vector<UpdateRecord>& records, const UpdateNavaids& navaids, double withinNm,
                  const std::vector<bool>& taken = {});

// The fields of `fields` the navaid states that differ from the stored
// record, and the record with them taken from the navaid.
struct RecordUpdate {
    std::vector<FieldChange> changes;
    std::string updated;
};
RecordUpdate UpdateRecordFrom(Family family, const std::uint8_t* stored,
                              const UpdateNavaids& navaids, std::size_t navaid,
                              const std::vector<RecordField>& fields);

// What update does, as its command line gave it.
struct UpdateSettings {
    // Only records inside take part, and only navaids inside are new; the
    // pairing looks past it by the match distance.
    std::optional<Circle> near;
    std::vector<RecordField> fields;
    double matchWithinNm = 10;
    bool removeWithdrawn = false, addNew = false;
    // A move shorter than this is no change: the record keeps its position.
    double minMoveNm = 0;
    // Whether withdrawn records and new navaids are told how far the nearest
    // navaid or record of their key lies (a report wants it).
    bool nearest = false;
    // The keys of the records inside `near`, sorted: their records and
    // navaids take part wherever they lie, so that each of those records
    // pairs as it would with no circle at all.
    std::vector<MatchKey> insideKeys = {};
};

struct UpdateSummary {
    std::uint64_t compared = 0, unchanged = 0, changed = 0, withdrawn = 0, added = 0;
    std::uint64_t smallMoves = 0;  // positions kept as under minMoveNm
    bool Differs() const { return changed + withdrawn + added > 0; }
};

// The circle the records and navaids are paired in: --near widened by the
// match distance.
std::optional<Circle> PairingCircle(const UpdateSettings& settings);
// Sets settings.insideKeys from the records of `database` inside the circle.
Outcome FindInsideKeys(DatabaseFile& database, UpdateSettings& settings);
// Whether a record or navaid of `id` takes part: in the pairing circle or of
// an inside key.
bool KeyTakesPart(const UpdateSettings& settings, std::string_view id);

// Brings the records of `database` inside the circle up to `navaids`: pairs
// them, hands each finding to `report`, and writes the result to
// `workingCopy` (from the database's own open file) unless it is null, a dry
// run. New navaids are reported once the rewrite has succeeded.
Outcome Update(DatabaseFile& database, const UpdateNavaids& navaids, const UpdateSettings& settings,
               const std::string* workingCopy, const ReportSink& report, UpdateSummary& summary);

}  // namespace navaid
