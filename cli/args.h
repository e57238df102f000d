// A command's arguments: the family, the further arguments, and its options.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database_file.h"
#include "navaid_source.h"
#include "records.h"

namespace navaid::cli {

// One option a command accepts: a value, or a flag without one.
struct OptionSpec {
    std::string_view name;   // without the leading "--"
    std::string_view value;  // the value's name in the help: "ID", "LAT,LON"; empty: a flag
    std::string help;        // one line
    bool required = false;
    // Refuses a value the option can never take (refuses with RefuseUsage), so that
    // a wrong command line is told before any file is opened; null: any.
    std::function<void(const std::string& text)> check = {};
};

template <typename T>
class Option;
class Flag;

struct CommandLine {
    Family family = Family::Vor;
    std::vector<std::string> positional;  // after the family
    std::map<std::string, std::string, std::less<>> options;
    std::uint64_t databaseBytes = 0;  // the first argument's size, when the command reads it
    // What the tool opened for the command, read through these handles only:
    // the databases of the first and second arguments, and the navaids of
    // the second, as the command's row asks.
    std::shared_ptr<DatabaseFile> databases[2];
    std::shared_ptr<NavaidSource> navaids;

    DatabaseFile& Database(std::size_t argument = 0) const { return *databases[argument]; }

private:
    // The declared options (options.h) read their text here, so that no
    // command looks an option up by a name it spells itself.
    template <typename T>
    friend class Option;
    friend class Flag;
    std::optional<std::string> Option(std::string_view name) const;
    friend void CheckOptionValues(const CommandLine& line, const std::vector<OptionSpec>& options);
};

// Runs each given option's check.
void CheckOptionValues(const CommandLine& line, const std::vector<OptionSpec>& options);

// Parses "vor|ndb" followed by exactly the named further arguments and the
// given options ("--name value" or "--name=value"); "--" ends the options.
// Refuses with RefuseUsage.
CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::vector<std::string_view>& positionalNames,
                             const std::vector<OptionSpec>& options);

}  // namespace navaid::cli
