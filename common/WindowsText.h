// Text at the edges of the Windows programs. Inside, text is UTF-8 on every
// system; Windows hands the programs UTF-16 (arguments, file names of the
// wide API) and, through its narrow functions, text in the process's ANSI
// code page. These functions convert between the three. On other systems
// there is nothing to convert and none of them exists.
#pragma once

#if defined(_WIN32)

#include <string>
#include <string_view>

namespace tarvelo {

// UTF-16 from UTF-8; a byte that is not valid UTF-8 becomes U+FFFD.
std::wstring widenedUtf8(std::string_view utf8);

// UTF-8 from UTF-16; an unpaired surrogate becomes U+FFFD.
std::string utf8Of(std::wstring_view wide);

// UTF-8 from text in the process's ANSI code page (what the narrow Windows
// functions and the kernel's narrow exports take). In a process whose
// manifest makes UTF-8 its ANSI code page, the text is returned as it is.
std::string utf8FromAnsi(std::string_view ansi);

// The process's ANSI code page from UTF-8, into `ansi`. False, with `ansi`
// untouched, when the code page lacks a character of the text: no look-alike
// stands in for it (no best fit), so a path never names another file.
bool ansiFromUtf8(std::string_view utf8, std::string& ansi);

} // namespace tarvelo

#endif
