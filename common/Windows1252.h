// The code page in which the kernel reads texts and writes its reports, and
// the conversion of UTF-8 text (the command line, CSV files) to it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvelo {

// The Windows-1252 byte of a Unicode code point, or '?' when the code page
// has no character for it.
char windows1252Byte(char32_t codePoint) noexcept;

// One character of UTF-8 text: its code point and its length in bytes.
struct Utf8Character {
    char32_t codePoint = 0;
    std::size_t length = 0; // 0: no valid UTF-8 sequence starts here
};

// The character that starts at byte `i` of `text` (i < text.size()). A
// truncated sequence, a stray continuation byte, an overlong form, a
// surrogate or a value beyond U+10FFFF is no valid character (length 0).
Utf8Character utf8CharacterAt(std::string_view text, std::size_t i) noexcept;

// Converts UTF-8 text to Windows-1252. Characters the code page lacks, and
// bytes that are not valid UTF-8, become '?'.
std::string toWindows1252(std::string_view utf8);

// True when all of `text` is valid UTF-8 (see utf8CharacterAt).
bool isValidUtf8(std::string_view text) noexcept;

// Converts Windows-1252 text to UTF-8, appending to `utf8`. The five bytes
// the code page leaves unassigned stay the control characters of their value,
// as Windows reads them.
void appendWindows1252AsUtf8(std::string_view windows1252, std::string& utf8);

} // namespace tarvelo
