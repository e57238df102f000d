// The list's number texts and the entry dialogs' field conversion rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace navaid {

// General notation with six significant digits ("114.2", "1e-005", "1.#INF").
std::string FormatListReal(float value);
// Decimal digits with "-" for negatives, no grouping.
std::string FormatListInteger(std::int32_t value);

// The same texts written to `out`, right-aligned in `width` positions
// (spaces first; a longer text is written whole). `out` must hold `width`
// plus kListNumberSize bytes: whole words are stored, past the text too.
// Each returns the end of the text. The list's lines are built this way.
inline constexpr std::size_t kListNumberSize = 16;
char* WriteListReal(char* out, float value, std::size_t width = 0);
char* WriteListInteger(char* out, std::int32_t value, std::size_t width = 0);

// The dialog's real-number rule: leading white space, sign, digits with at most
// one ".", exponent with E/e/D/d; the rest of the text is ignored; no number
// gives 0; computed in double, then rounded to single (overflow gives infinity).
// `consumed` receives how many bytes made up the number (0 when there was none).
float ParseDialogReal(std::string_view text, std::size_t* consumed = nullptr);

// The dialog's integer rule: leading white space, sign, digits accumulated in
// 32-bit two's complement with wrap-around; no digits gives 0.
std::int32_t ParseDialogInteger(std::string_view text, std::size_t* consumed = nullptr);

// Strict forms for scripting: the whole text (white space around it allowed)
// must be a number under the same rule. False when it is not.
bool ParseStrictReal(std::string_view text, float& value);
bool ParseStrictInteger(std::string_view text, std::int32_t& value);

}  // namespace navaid
