// File names for the reports of a batch run: one per row, taken from the
// row's name, safe on every common file system and unique within the run.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

namespace tarvelo::batch {

// The row name made safe for a file name, without extension: ASCII letters,
// digits, '-', '_', '.' and non-ASCII UTF-8 characters are kept; every run of
// other characters (blanks, '/', '\', ':', '*', '?', '"', '<', '>', '|',
// controls, invalid bytes) becomes one '_'. Leading '.', '-', '_' and
// trailing '.', '_' are dropped (no hidden files, nothing that reads as an
// option, nothing Windows would strip), the result is cut to 100 bytes, and
// a name reserved on Windows (CON, NUL, COM1, ...) gets a '_' appended.
// An empty result is "".
std::string safeFileStem(std::string_view name);

class ReportNames {
public:
    // The next report's file name: "<stem>.htm", or "<stem>-2.htm",
    // "<stem>-3.htm", ... when the stem was already used in this run
    // (compared without regard to ASCII case, for case-insensitive file
    // systems). A row whose name leaves no stem is called "row-<rowNumber>".
    // On Windows the name is in the ANSI code page, as the system's narrow
    // file functions take it.
    std::string next(std::string_view rowName, std::size_t rowNumber);

private:
    std::unordered_set<std::string> used_; // lower-case stems handed out
};

} // namespace tarvelo::batch
