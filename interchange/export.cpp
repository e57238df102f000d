// The export's passes over a database into one output.
#include "code_page.h"
#include "interchange.h"

namespace navaid {

namespace {

// The records written that a reader of the format takes otherwise: counted,
// the first few named, and told once.
class Misreads {
public:
    explicit Misreads(const Format& format) : format_(format) {}
    void Note(Family family, const ExportRecord& record) {
        if (!format_.readsBackOtherwise || !format_.readsBackOtherwise(family, record.fields))
            return;
        if (count_++ < kShown)
            shown_ += (count_ == 1 ? "" : ", ") + ("record " + std::to_string(record.index)) + " " +
                      std::string(TrimWhiteSpace(record.fields.name));
    }
    void Tell(const ExportJob& job) const {
        if (count_ == 0 || !job.misread) return;
        job.misread(Outcome::Warning(
            "", format_.misread(count_) + ": " + shown_ + (count_ > kShown ? ", ..." : "")));
    }

private:
    static constexpr std::uint64_t kShown = 5;
    const Format& format_;
    std::uint64_t count_ = 0;
    std::string shown_;
};

}  // namespace

Outcome Export(const Format& format, const ExportJob& job, const RecordSource& records,
               TextSink& out, std::uint64_t& written) {
    written = 0;
    ExportSettings settings = job.settings;
    if (Outcome settled = format.settle(settings); !settled) return settled;
    const Family family = job.family;
    // Opened at the first record, or after a first read without any: a
    // database that cannot be read leaves no output behind.
    bool started = false;
    Outcome opened, accepted;  // accepted: every record so far could be written
    auto start = [&] {
        if (started) return;
        started = true;
        opened = out.Open();
        if (opened) out.Write(format.head(family, settings));
    };
    // A format grouped in passes reads the database once per pass (see Format).
    const int passes = format.passes ? format.passes(family) : 1;
    std::string text;
    Outcome read;
    Misreads misreads(format);
    for (int pass = 0; pass < passes && read && opened && accepted; ++pass) {
        std::uint64_t inPass = 0;
        read = records([&](std::uint64_t index, const std::uint8_t* bytes) {
            start();
            if (!opened || !accepted) return;
            const ExportRecord record{index, DecodeRecord(family, bytes)};
            if (job.selected && !job.selected(record.fields)) return;
            if (format.passOf && format.passOf(family, record.fields) != pass) return;
            text.clear();
            const Outcome added = format.record(family, record, settings, inPass, text);
            if (!added) {
                accepted = added;
            } else if (added.HasWarning()) {
                if (job.leftOut) job.leftOut(added);
            } else {
                ++inPass;
                misreads.Note(family, record);
            }
            out.Write(text);
        });
        if (inPass > 0) out.Write(format.passTail);
        written += inPass;
    }
    if (!read) {
        if (started && opened) out.Discard();
        return read;
    }
    start();
    if (!opened) return opened;
    if (!accepted) {
        out.Discard();
        return Outcome::Failure("", accepted.reason);
    }
    out.Write(format.tail);
    const Outcome closed = out.Close();
    if (closed) misreads.Tell(job);
    return closed;
}

}  // namespace navaid
