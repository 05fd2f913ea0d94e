// The code page in which the kernel reads texts and writes its reports.
#pragma once

namespace tarvelo {

// The Windows-1252 byte of a Unicode code point, or '?' when the code page
// has no character for it.
char windows1252Byte(char32_t codePoint) noexcept;

} // namespace tarvelo
