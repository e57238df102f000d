#include "navaid_source.h"

#include <cmath>
#include <cstring>

#include "entry_texts.h"
#include "geo.h"
#include "number_format.h"
#include "text.h"

namespace navaid {

namespace {

// Enough records to tell a database by, and the first lines of any text.
constexpr std::size_t kSniffBytes = kFamilySampleBytes;

// A reader's zero is stored as +0: "W0000" or "-0.0" read as -0 would show
// as a change at every update and as "-0" in an export.
void StorePlusZero(std::string& record) {
    for (std::size_t field : {RecordLayout::kLatitude, RecordLayout::kLongitude,
                              RecordLayout::kFrequency, RecordLayout::kMagVar}) {
        if (record.compare(field, 4, std::string_view("\0\0\0\x80", 4)) == 0)
            record[field + 3] = '\0';
    }
}

std::string Percent(double share) { return std::to_string(int(share * 100 + 0.5)) + "%"; }

}  // namespace

std::string RecordFault(Family family, const std::uint8_t* record) {
    if (!IsValidTypeBlock(family, record + RecordLayout::kTypeBlock))
        return std::string("its type block is not one of ") + FamilyName(family);
    const float lat = ReadFloatLE(record + RecordLayout::kLatitude);
    const float lon = ReadFloatLE(record + RecordLayout::kLongitude);
    if (!PositionInRange(lat, lon)) {
        return "its position " + FormatListReal(lat) + "," + FormatListReal(lon) +
               " is outside -90..90,-180..180";
    }
    for (std::size_t field : {RecordLayout::kFrequency, RecordLayout::kMagVar})
        if (!std::isfinite(ReadFloatLE(record + field)))
            return "its " +
                   std::string(field == RecordLayout::kFrequency ? "frequency" : "magvar") +
                   " is not a finite number";
    if (family == Family::Ndb && ReadInt32LE(record + RecordLayout::kAltitude) != 0)
        return "its altitude bytes are not 0, as an NDB's are";
    // What every other way into a database refuses (an empty ID, control bytes).
    const DecodedRecord decoded = DecodeRecord(family, record);
    NavaidEntry entry;
    entry.id = decoded.id;
    entry.name = decoded.name;
    entry.latitude = decoded.latitude;
    entry.longitude = decoded.longitude;
    if (Outcome checked = CheckEntryValues(entry); !checked) return checked.reason;
    return {};
}

Outcome NavaidSource::Open(const std::string& path, Family family) {
    family_ = family;
    format_ = nullptr;
    if (Outcome opened = lines_.Open(path); !opened) return opened;
    std::string_view bytes;
    if (Outcome peeked = lines_.PeekBytes(kSniffBytes, bytes); !peeked) return peeked;
    // Text never holds a zero byte, records nearly always do; a text whose
    // every stride looks like a type block would have to be made so.
    const bool binary = bytes.find('\0') != std::string_view::npos;
    std::size_t records = 0, otherRecords = 0;
    const double fit = TypeFit(family, bytes, records);
    const double otherFit = TypeFit(OtherFamily(family), bytes, otherRecords);
    if (fit >= 0.5 && fit >= otherFit && (binary || (fit == 1 && records >= 2)))
        return Outcome::Success();
    if (binary)
        if (std::string look = OtherFamilyLook(family, bytes); !look.empty())
            return Outcome::Failure(Name(), look);
    if (binary) {
        // No text holds a zero byte: read as text, it would seem to hold nothing.
        return Outcome::Failure(
            Name(), std::string("not a navaid file this tool reads: it holds zero bytes, as no "
                                "text does, and only ") +
                        Percent(fit) + " of its first " + std::to_string(RecordSize(family)) +
                        "-byte records have " + FamilyName(family) + " type blocks");
    }
    std::vector<std::string> head;
    if (Outcome peeked = lines_.PeekLines(kHeadLines, head); !peeked) return peeked;
    format_ = FormatOfHead(head);
    if (format_ == nullptr || format_->read == nullptr) return UnknownFormat(Name(), head);
    return Outcome::Success();
}

Outcome NavaidSource::Read(const ImportFilter& filter, const RecordSink& sink, ImportTally& tally,
                           std::uint64_t& navaids) {
    navaids = 0;
    if (format_ == nullptr) return ReadDatabase(filter, sink, tally, navaids);
    std::string record;
    const Outcome read = format_->read(
        lines_, filter,
        [&](const NavaidEntry& entry) {
            if (Outcome encoded = EncodeRecord(filter.family, entry, record); !encoded)
                return Outcome::Failure(Name(), encoded.reason);
            StorePlusZero(record);
            ++navaids;
            return sink(record, entry.unstated);
        },
        tally);
    // A file of a header alone (or a lone "I") holds no navaids, nor says it has none.
    if (read && tally.rows == 0)
        return Outcome::Failure("", "no navaid rows found in " + ShownName(Name()) +
                                        "; looked for " + ReadFormatNames());
    return read;
}

Outcome NavaidSource::ReadDatabase(const ImportFilter& filter, const RecordSink& sink,
                                   ImportTally& tally, std::uint64_t& navaids) {
    const std::size_t size = RecordSize(family_);
    std::string pending;  // a record that straddles two pieces
    std::uint64_t index = 0;
    auto take = [&](const std::uint8_t* record) {
        if (std::string fault = RecordFault(family_, record); !fault.empty()) {
            const std::string record = "record " + std::to_string(index++);
            if (!filter.skipInvalid)
                return Outcome::Failure(
                    Name(),
                    record + " is not " + WithArticle(FamilyName(family_)) + " record: " + fault);
            if (++tally.invalid <= 5) tally.invalidShown.push_back(record + ": " + fault);
            return Outcome::Success();
        }
        ++index;
        const float lat = ReadFloatLE(record + RecordLayout::kLatitude);
        const float lon = ReadFloatLE(record + RecordLayout::kLongitude);
        const std::string_view id(reinterpret_cast<const char*>(record), RecordLayout::kIdSize);
        if (!Keeps(filter, lat, lon, id)) return Outcome::Success();
        ++navaids;
        return sink(std::string_view(reinterpret_cast<const char*>(record), size), 0);
    };
    for (;;) {
        std::string_view bytes;
        if (Outcome read = lines_.NextBytes(bytes); !read) return read;
        if (bytes.empty()) break;
        if (!pending.empty()) {
            const std::size_t fill = std::min(size - pending.size(), bytes.size());
            pending.append(bytes.substr(0, fill));
            bytes.remove_prefix(fill);
            if (pending.size() < size) continue;
            if (Outcome taken = take(reinterpret_cast<const std::uint8_t*>(pending.data())); !taken)
                return taken;
            pending.clear();
        }
        for (; bytes.size() >= size; bytes.remove_prefix(size))
            if (Outcome taken = take(reinterpret_cast<const std::uint8_t*>(bytes.data())); !taken)
                return taken;
        pending.assign(bytes);
    }
    if (pending.empty()) return Outcome::Success();
    return Outcome::Failure(Name(), "it holds " + Counted(index, "record") + " of " +
                                        FamilyName(family_) + " and " +
                                        Counted(pending.size(), "byte") +
                                        " more: a database that is not whole records is not read");
}

}  // namespace navaid
