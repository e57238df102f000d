// Case mapping of the system's ANSI code page. The core carries a Windows-1252
// mapping; the Windows program plugs in the system's own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "outcome.h"

namespace navaid {

class CodePageCase {
public:
    virtual ~CodePageCase() = default;
    // Both map in place; a double-byte character is mapped as a whole.
    virtual void ToUpper(std::string& text) const = 0;
    virtual void ToLower(std::string& text) const = 0;
    // True when the byte starts a double-byte character.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
};

// The mapping every core operation uses. Null restores the built-in one,
// Windows-1252, the code page of Western/German systems.
void SetCodePageCase(const CodePageCase* mapping);

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Removes leading and trailing space, tab, LF, VT, FF and CR.
std::string_view TrimWhiteSpace(std::string_view text);
bool IsWhiteSpaceByte(unsigned char byte);

// The longest prefix of at most maxBytes bytes that does not split a
// double-byte character of the current code page.
std::string_view TruncateToBytes(std::string_view text, std::size_t maxBytes);

// Windows-1252 text as UTF-8; bytes with no character (and control bytes,
// which XML does not allow) become U+FFFD.
std::string Cp1252ToUtf8(std::string_view bytes);
// A file name as UTF-8 for a title: on Linux one that is UTF-8 already is
// kept, one that is not is read as Windows-1252 (the ANSI code page names
// every file on Windows); control bytes become U+FFFD either way.
std::string FileNameToUtf8(std::string_view name);
// Windows-1252 text as UTF-8 with every byte kept, for data that is read,
// not shown: control bytes stay themselves, and the five bytes the code page
// leaves without a character become the C1 controls of their number, as
// Windows converts them.
std::string Cp1252ToUtf8Whole(std::string_view bytes);
// UTF-8 text as Windows-1252: characters the code page lacks become '?';
// text that is not UTF-8 is kept as it is.
std::string Utf8ToCp1252(std::string_view text);
// A text the tool was given (an argument, a cell of its CSV) as the bytes it
// stores. On Linux, text that is UTF-8 is converted, and a character the
// code page lacks is refused with a message naming it; text that is not
// UTF-8, and every text on Windows (in the ANSI code page already), is kept.
Outcome GivenToCp1252(std::string_view text, std::string& stored);
// A stored text as the tool gives it in its own CSV, which GivenToCp1252
// turns back into the same bytes: UTF-8 on Linux, the stored bytes on
// Windows (the ANSI code page, as its arguments). False on Linux for a byte
// that Windows-1252 leaves without a character (0x81, 0x8D, 0x8F, 0x90, 0x9D).
bool StoredToGiven(std::string_view stored, std::string& given);

}  // namespace navaid
