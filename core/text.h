// Texts as messages and outputs show them: quoted values, escaped label
// bytes, XML.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "code_page.h"

namespace navaid {

// "a VOR", "an NDB".
std::string WithArticle(std::string_view familyName);

// A count and its noun, plural unless the count is 1: "1 record", "2 records".
std::string Counted(std::uint64_t count, std::string_view noun);

// The text between single quotes, as messages show a value: its control
// bytes as \xNN, so that a value read from a file stays on its line.
std::string Quoted(std::string_view text);

// Label bytes for a terminal: bytes below 0x20, 0x7F and the backslash as \xNN.
std::string EscapeBytes(std::string_view bytes);
// Escaped label bytes, or a line holding them, for a UTF-8 terminal: ASCII
// as it is, the other Windows-1252 characters in UTF-8, the bytes that are
// none as \xNN too.
std::string EscapedToUtf8(std::string_view escaped);

// How a message shows bytes above 0x7F: escaped, or in UTF-8 (well-formed
// characters as they are, the rest escaped), or as they are (the ANSI code
// page of a Windows console).
enum class HighBytes { Escape, Utf8, AsTheyAre };
// A line of a message for a terminal, whatever its quotes hold: control
// bytes (the C1 ones of UTF-8 too) as \xNN, as labels shows them, and the
// bytes above 0x7F as `high` says. A backslash stays, so that text escaped
// before reads the same.
std::string ShownMessage(std::string_view line, HighBytes high);

// Text for XML character data and attribute values.
std::string XmlEscape(std::string_view utf8);

}  // namespace navaid
