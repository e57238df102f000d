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

// The text between single quotes, as messages show a value.
std::string Quoted(std::string_view text);

// Label bytes for a terminal: bytes below 0x20, 0x7F and the backslash as \xNN.
std::string EscapeBytes(std::string_view bytes);
// Escaped label bytes, or a line holding them, for a UTF-8 terminal: ASCII
// as it is, the other Windows-1252 characters in UTF-8, the bytes that are
// none as \xNN too.
std::string EscapedToUtf8(std::string_view escaped);

// Text for XML character data and attribute values.
std::string XmlEscape(std::string_view utf8);

}  // namespace navaid
