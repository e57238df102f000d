// What the commands share about their inputs: the databases the tool opened,
// and the options declared once (the circle, the selection, a navaid's fields).
#pragma once

#include <string>
#include <vector>

#include "args.h"
#include "entry_texts.h"
#include "find.h"
#include "options.h"
#include "record_job.h"
#include "record_reader.h"

namespace navaid {
struct ImportTally;
}

namespace navaid::cli {

// The records of the database the tool opened for the positional argument
// `index`, read through that one handle from its first record at each call;
// `trailing` (when given) gets, at each call, the piece after the last one.
RecordSource DatabaseSource(const CommandLine& line, std::size_t index,
                            std::string* trailing = nullptr);
// That database as a job that reads it more than once takes it, with its
// trailing piece and its path as its name.
DatabaseInput DatabaseInputOf(const CommandLine& line, std::size_t index);

// --near LAT,LON --within NM, for find and import.
const std::vector<OptionSpec>& CircleOptions();
// --id, --name, --type and the circle, for find.
const std::vector<OptionSpec>& QueryOptions();

// A navaid's fields as options, in the record's order, with their bytes in
// the record (the type block runs to its end: size 0).
struct EntryField {
    Option<std::string> option;
    std::size_t offset, size;
};
const std::vector<EntryField>& EntryFields();
// Their specs, for add (all but --alt required) and set (none).
std::vector<OptionSpec> EntryOptions(bool required);
// The texts the options give; a field left out has a stand-in add takes.
EntryTexts EntryTextsOf(const CommandLine& line, Family family);

// --navdat-version N, the layout of nav.dat rows without a version line,
// for import and update; a failure the layout decides, told of the option.
const Option<int>& NavDatLayoutOption();
Outcome WithLayoutOption(Outcome failure);
// Refuses a layout given for a source that is no nav.dat.
void RefuseLayoutUnlessNavDat(const ImportFilter& filter, const NavaidSource& source);

// --skip-invalid, for import and update; the first few rows it passed over,
// named on standard error.
const Flag& SkipInvalidFlag();
void PrintPassedOver(const Console& console, const std::string& source, const ImportTally& tally);

// --match-within NM (10 when not given), for diff and update.
const Option<double>& MatchWithinOption();
double MatchWithin(const CommandLine& line);

// The circle the options give, if any; refuses with RefuseUsage for bad values.
std::optional<Circle> CircleOf(const CommandLine& line);
// The query the options give; refuses with RefuseUsage for bad values.
FindQuery QueryOf(const CommandLine& line);
// The records the query options select, for a library job; refuses with RefuseUsage as QueryOf.
// With `matched`, counts the records it picks (a job that reads more than once counts more).
RecordSelection SelectionOf(const CommandLine& line, std::uint64_t* matched = nullptr);
// Whether a query option was given.
bool Selects(const CommandLine& line);
// A selection that picks no record of the database: status 1, with the count.
Outcome NoneSelected(const CommandLine& line);

// A job's output whose closing waits for the command's word, so that it
// keeps the output or drops it once it knows what the job wrote.
class HeldSink final : public TextSink {
public:
    explicit HeldSink(TextSink& out) : out_(out) {}
    Outcome Open() override { return out_.Open(); }
    void Write(std::string_view text) override { out_.Write(text); }
    Outcome Close() override { return Outcome::Success(); }
    void Discard() override { out_.Discard(); }
    // After the job succeeded: moves the output into place, or drops it.
    Outcome Release(bool keep) {
        if (keep) return out_.Close();
        out_.Discard();
        return Outcome::Success();
    }

private:
    TextSink& out_;
};

}  // namespace navaid::cli
