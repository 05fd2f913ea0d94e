// The kernel reads texts as Windows-1252 bytes; the command line and CSV
// files bring UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo::cli {

// Converts UTF-8 text to Windows-1252. Characters the code page lacks, and
// bytes that are not valid UTF-8, become '?'.
std::string toWindows1252(std::string_view utf8);

} // namespace tarvelo::cli
