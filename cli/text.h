// Texts as messages and outputs show them: quoted values, escaped label
// bytes, Windows-1252 labels as UTF-8, XML.
#pragma once

#include <string>
#include <string_view>

#include "code_page.h"

namespace navaid::cli {

// "a VOR", "an NDB".
std::string WithArticle(std::string_view familyName);

// The text between single quotes, as messages show a value.
std::string Quoted(std::string_view text);

// Label bytes for a terminal: bytes below 0x20, 0x7F and the backslash as \xNN.
std::string EscapeBytes(std::string_view bytes);

// The core's Windows-1252 conversions, under the names the commands use.
using navaid::Cp1252ToUtf8;
using navaid::Utf8ToCp1252;

// Text for XML character data and attribute values.
std::string XmlEscape(std::string_view utf8);

}  // namespace navaid::cli
