// Argument parsing, messages and text helpers shared by the commands.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

#include "cli.h"

namespace navaid::cli {

std::optional<std::string> CommandLine::Option(std::string_view name) const {
    auto it = options.find(name);
    if (it == options.end()) return std::nullopt;
    return it->second;
}

Family ParseFamily(std::string_view text) {
    std::string lower = LowerCase(text);
    if (lower == "vor") return Family::Vor;
    if (lower == "ndb") return Family::Ndb;
    if (text.empty()) throw UsageError("missing the database family (vor or ndb)");
    throw UsageError("'" + std::string(text) + "' is not a database family (vor or ndb)");
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
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg.substr(2);
        std::string value;
        bool haveValue = false;
        if (auto eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            haveValue = true;
        }
        bool known = false;
        for (const OptionSpec& spec : options) known = known || spec.name == name;
        if (!known) throw UsageError("unknown option --" + name);
        if (!haveValue) {
            // The next argument is the value even when it starts with "-",
            // so that "--lon -118.43" works.
            if (i + 1 >= args.size()) throw UsageError("option --" + name + " needs a value");
            value = args[++i];
        }
        if (!line.options.emplace(name, value).second) {
            throw UsageError("option --" + name + " is given twice");
        }
    }
    if (positional.empty()) throw UsageError("missing the database family (vor or ndb)");
    line.family = ParseFamily(positional.front());
    positional.erase(positional.begin());
    const std::size_t count = positionalNames.size();
    if (positional.size() < count) {
        throw UsageError("missing " + std::string(positionalNames[positional.size()]));
    }
    if (positional.size() > count) {
        throw UsageError("unexpected argument '" + positional[count] + "'");
    }
    line.positional = std::move(positional);
    for (const OptionSpec& spec : options) {
        if (spec.required && !line.options.count(spec.name)) {
            throw UsageError("missing option --" + std::string(spec.name));
        }
    }
    return line;
}

int ReportFailure(const Console& console, const Outcome& outcome) {
    console.err << "navaid: " << outcome.Message() << "\n";
    return kExitFileError;
}

Outcome RequireExistingFile(const std::string& path) {
    bool folder = false;
    if (Outcome queried = io::IsFolder(path, folder); !queried) return queried;
    if (folder) return Outcome::Failure(path, io::ErrorText(EISDIR));
    return Outcome::Success();
}

Outcome RefuseSameFile(const std::string& database, const std::string& output) {
    bool same = false;
    Outcome queried = io::SameFile(database, output, same);
    if (queried && same) throw UsageError("the output " + output + " is the database itself");
    return queried;
}

std::string WithArticle(std::string_view familyName) {
    // "an NDB" is read "an en-dee-bee"; "a VOR" is read as a word.
    return (familyName == "NDB" ? "an " : "a ") + std::string(familyName);
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

std::string EscapeBytes(std::string_view bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || c == '\\') {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

namespace {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// 0x80-0x9F of Windows-1252; 0 where the code page has no character.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char c : bytes) {
        char32_t cp = c;
        if (c < 0x20 || c == 0x7F) {
            cp = 0xFFFD;
        } else if (c >= 0x80 && c < 0xA0) {
            cp = kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string XmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kEarthRadiusNm = 3440.065;
    constexpr double kRad = 3.14159265358979323846 / 180.0;
    double dLat = (lat2 - lat1) * kRad;
    double dLon = (lon2 - lon1) * kRad;
    double a =
        std::sin(dLat / 2) * std::sin(dLat / 2) +
        std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusNm * std::asin(std::sqrt(std::min(1.0, a)));
}

std::string FamilyTypeNames(Family family) {
    std::vector<std::string> names;
    std::size_t count = 0;
    const TypeBlock* blocks = TypeBlocks(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (blocks[i].family == family) names.emplace_back(blocks[i].name);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::optional<std::string> CheckTypeName(Family family, std::string_view text) {
    std::string name = UpperCase(TrimWhiteSpace(text));
    const TypeBlock* found = name.empty() ? nullptr : FindTypeBlock(name);
    std::string familyTypes =
        std::string(FamilyName(family)) + " types are " + FamilyTypeNames(family);
    if (name.empty()) return "no type given; " + familyTypes;
    if (!found) return Quoted(text) + " is not a type; " + familyTypes;
    if (found->family != family) {
        return Quoted(name) + " is " + WithArticle(FamilyName(found->family)) + " type, not " +
               WithArticle(FamilyName(family)) + " type; " + familyTypes;
    }
    return std::nullopt;
}

namespace {

std::optional<FieldError> CheckText(const char* field, const char* what, std::string_view text,
                                    std::size_t limit) {
    std::string_view trimmed = TrimWhiteSpace(text);
    if (trimmed.size() <= limit) return std::nullopt;
    return FieldError{field, std::string(what) + " '" + std::string(trimmed) + "' has " +
                                 std::to_string(trimmed.size()) + " bytes; at most " +
                                 std::to_string(limit) + " fit"};
}

std::optional<FieldError> ConvertReal(const char* field, const std::string& text, float& value) {
    if (!ParseStrictReal(text, value)) {
        return FieldError{field, "'" + text + "' is not a number"};
    }
    // The dialog would store infinity; a script almost certainly mistyped.
    if (std::isinf(value)) {
        return FieldError{field, "'" + text + "' is beyond the range of a stored number"};
    }
    return std::nullopt;
}

}  // namespace

std::optional<FieldError> BuildEntry(Family family, const EntryTexts& texts, NavaidEntry& entry) {
    if (auto error = CheckText("id", "ID", texts.id, RecordLayout::kIdSize)) return error;
    if (auto error = CheckText("name", "name", texts.name, RecordLayout::kNameSize)) return error;
    NavaidEntry result;
    result.id = texts.id;
    result.name = texts.name;
    if (auto error = ConvertReal("lat", texts.lat, result.latitude)) return error;
    if (auto error = ConvertReal("lon", texts.lon, result.longitude)) return error;
    if (auto error = ConvertReal("freq", texts.freq, result.frequency)) return error;
    if (auto error = ConvertReal("magvar", texts.magvar, result.magVar)) return error;
    if (texts.alt) {
        if (family == Family::Ndb) {
            return FieldError{"alt", "an NDB record has no altitude"};
        }
        if (!ParseStrictInteger(*texts.alt, result.altitude)) {
            return FieldError{"alt", Quoted(*texts.alt) + " is not a whole number"};
        }
        // The dialog wraps long digit strings around; a script means the number it wrote.
        std::string_view digits = TrimWhiteSpace(*texts.alt);
        if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
        long long wide = 0;
        auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), wide);
        if (error != std::errc() || wide != result.altitude) {
            return FieldError{"alt",
                              Quoted(*texts.alt) + " is beyond the range of a stored altitude"};
        }
    }
    if (auto message = CheckTypeName(family, texts.type)) {
        return FieldError{"type", *message};
    }
    result.typeName = texts.type;
    entry = std::move(result);
    return std::nullopt;
}

Outcome RecordReader::Open(const std::string& path, Family family) {
    recordSize_ = RecordSize(family);
    // Whole records only, so a record never straddles the buffer's end.
    buffer_.assign(recordSize_ * 4096, 0);
    begin_ = end_ = 0;
    atEnd_ = false;
    index_ = offset_ = count_ = 0;
    if (Outcome exists = RequireExistingFile(path); !exists) return exists;
    return file_.Open(path, io::OpenMode::ReadCreate);
}

Outcome RecordReader::Next(const std::uint8_t*& record) {
    record = nullptr;
    while (end_ - begin_ < recordSize_ && !atEnd_) {
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        std::size_t got = 0;
        Outcome read = file_.Read(buffer_.data() + end_, buffer_.size() - end_, got);
        if (!read) return read;
        if (got == 0) atEnd_ = true;
        end_ += got;
    }
    if (end_ - begin_ < recordSize_) return Outcome::Success();
    record = buffer_.data() + begin_;
    begin_ += recordSize_;
    index_ = count_++;
    offset_ += recordSize_;
    return Outcome::Success();
}

Outcome ForEachRecord(const std::string& path, Family family,
                      const std::function<void(std::uint64_t, const std::uint8_t*)>& visit) {
    RecordReader reader;
    Outcome result = reader.Open(path, family);
    const std::uint8_t* record = nullptr;
    while (result && (result = reader.Next(record)) && record) visit(reader.Index(), record);
    if (Outcome closed = reader.Close(); result && !closed) result = closed;
    return result;
}

}  // namespace navaid::cli
