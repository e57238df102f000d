// The commands' argument parsing.
#include "args.h"

#include "code_page.h"
#include "command.h"

namespace navaid::cli {

namespace {

Family ParseFamily(std::string_view text) {
    std::string lower = LowerCase(text);
    if (lower == "vor") return Family::Vor;
    if (lower == "ndb") return Family::Ndb;
    if (text.empty()) RefuseUsage("missing the database family (vor or ndb)");
    RefuseUsage("'" + std::string(text) + "' is not a database family (vor or ndb)");
}

// Reads the option at args[i] ("--name value" or "--name=value") into `line`,
// moving i past its value.
void ReadOption(const std::vector<std::string>& args, std::size_t& i,
                const std::vector<OptionSpec>& options, CommandLine& line) {
    std::string name = args[i].substr(2);
    std::string value;
    bool haveValue = false;
    if (auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        haveValue = true;
    }
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& option : options)
        if (option.name == name) spec = &option;
    if (spec == nullptr) RefuseUsage("unknown option --" + name);
    if (spec->value.empty()) {
        if (haveValue) RefuseUsage("option --" + name + " takes no value");
    } else if (!haveValue) {
        // The next argument is the value even when it starts with "-",
        // so that "--lon -118.43" works.
        if (i + 1 >= args.size()) RefuseUsage("option --" + name + " needs a value");
        value = args[++i];
    }
    if (!line.options.emplace(name, value).second) {
        RefuseUsage("option --" + name + " is given twice");
    }
}

// The family first, then exactly the named arguments.
void TakePositional(std::vector<std::string> positional,
                    const std::vector<std::string_view>& positionalNames, CommandLine& line) {
    if (positional.empty()) RefuseUsage("missing the database family (vor or ndb)");
    line.family = ParseFamily(positional.front());
    positional.erase(positional.begin());
    const std::size_t count = positionalNames.size();
    // A name in brackets, last, may be left out.
    const bool optional = count > 0 && positionalNames.back().starts_with("[");
    if (positional.size() + (optional ? 1 : 0) < count) {
        RefuseUsage("missing " + std::string(positionalNames[positional.size()]));
    }
    if (positional.size() > count) {
        RefuseUsage("unexpected argument '" + positional[count] + "'");
    }
    line.positional = std::move(positional);
}

}  // namespace

std::optional<std::string> CommandLine::Option(std::string_view name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

void CheckOptionValues(const CommandLine& line, const std::vector<OptionSpec>& options) {
    for (const OptionSpec& spec : options)
        if (spec.check)
            if (auto text = line.Option(spec.name)) spec.check(*text);
}

CommandLine ParseCommandLine(const std::vector<std::string>& args,
                             const std::vector<std::string_view>& positionalNames,
                             const std::vector<OptionSpec>& options) {
    CommandLine line;
    std::vector<std::string> positional;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else {
            ReadOption(args, i, options, line);
        }
    }
    TakePositional(std::move(positional), positionalNames, line);
    for (const OptionSpec& spec : options) {
        if (spec.required && !line.options.count(spec.name)) {
            RefuseUsage("missing option --" + std::string(spec.name));
        }
    }
    return line;
}

}  // namespace navaid::cli
