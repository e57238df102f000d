// Options declared once, each with its value name, help, default and the
// rule that turns its text into a value: a command's row lists their specs
// and its code reads the values through them, so a misspelt option does not
// compile and a default stands in one place.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "args.h"
#include "command.h"

namespace navaid::cli {

template <typename T>
class Option {
public:
    // Turns the given text into the value, or refuses with RefuseUsage; `option` is
    // the option's name for the message.
    using Parse = std::function<T(std::string_view option, const std::string& text)>;

    // `fallback`, when given, is the value of an option left out; `shown` is
    // how the help names it.
    Option(std::string_view name, std::string_view value, std::string help, Parse parse,
           std::optional<T> fallback = std::nullopt, std::string_view shown = {})
        : spec_{name, value,
                shown.empty() ? std::move(help) : help + " (" + std::string(shown) + ")"},
          parse_(std::move(parse)),
          fallback_(std::move(fallback)) {
        spec_.check = [parse = parse_, name](const std::string& text) { parse(name, text); };
    }

    const OptionSpec& Spec() const { return spec_; }
    OptionSpec Required() const {
        OptionSpec spec = spec_;
        spec.required = true;
        return spec;
    }
    std::string_view Name() const { return spec_.name; }
    bool Present(const CommandLine& line) const { return line.Option(spec_.name).has_value(); }
    std::optional<T> Given(const CommandLine& line) const {
        const std::optional<std::string> text = line.Option(spec_.name);
        if (!text) return std::nullopt;
        return parse_(spec_.name, *text);
    }
    // The value given, or the fallback.
    T Get(const CommandLine& line) const {
        std::optional<T> given = Given(line);
        return given ? std::move(*given) : *fallback_;
    }

private:
    OptionSpec spec_;
    Parse parse_;
    std::optional<T> fallback_;
};

// An option without a value.
class Flag {
public:
    Flag(std::string_view name, std::string help) : spec_{name, {}, std::move(help)} {}
    const OptionSpec& Spec() const { return spec_; }
    bool Get(const CommandLine& line) const { return line.Option(spec_.name).has_value(); }

private:
    OptionSpec spec_;
};

// "--NAME: 'TEXT' is not ..." as the parsers refuse a value.
[[noreturn]] void RefuseValue(std::string_view option, const std::string& text,
                              std::string_view why);
// "a, b, c or d" of the words given.
std::string OneOf(std::span<const std::string> words);

// The text as given: options whose value is read elsewhere (an entry field).
std::string AsGiven(std::string_view option, const std::string& text);
// A distance in NM: a finite number, not negative.
double Distance(std::string_view option, const std::string& text);

// --map OUT.svg, for update and diff: the map of the changes.
const Option<std::string>& MapOption();

}  // namespace navaid::cli
