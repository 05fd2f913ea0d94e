// Reading percentages and writing results as text, fast and independent of
// the C locale: the decimal mark is always given explicitly.
#pragma once

#include "Rounding.h"

#include <string>
#include <string_view>

namespace tarvelo::cli {

enum class NumberStatus {
    Empty, // blank field: counts as 0
    Ok,
    NotANumber, // includes "nan", "inf", a wrong decimal mark, trailing text
    Negative,   // a number below 0 (-0 is accepted)
    OutOfRange, // beyond what single precision holds
};

struct ParsedNumber {
    NumberStatus status;
    float value; // 0 unless status is Ok
};

// Reads one percentage: blanks (space, tab) around it are ignored, an optional
// sign, digits with `decimalMark` ('.' or ','; the other mark is refused), an
// optional exponent. The value is read in double precision and then stored in
// single precision, as the window stores a typed entry.
ParsedNumber parseNumberOutOfLine(std::string_view text, char decimalMark) noexcept;

// A single digit, the most common field of a batch (seven in ten fields of
// the benchmark input are "0"), is read here without a call: on that input
// this took the instructions per row from 5310 to 4673 (callgrind). Its value is
// the digit exactly, as from every other path.
inline ParsedNumber parseNumber(std::string_view text, char decimalMark) noexcept {
    if (text.size() == 1 && unsigned(text[0] - '0') < 10u)
        return {NumberStatus::Ok, float(text[0] - '0')};
    return parseNumberOutOfLine(text, decimalMark);
}

// parseNumber without its shortcut for plain decimals: every text through
// std::from_chars. The two agree on every text.
ParsedNumber parseNumberGeneral(std::string_view text, char decimalMark) noexcept;

// What a status means, for messages: "not a number", "negative value", ...
std::string_view describe(NumberStatus status) noexcept;

// Rounds a single to `decimals` places (0 to 3), ties to the even digit,
// exactly as the window does (0.125f -> 0.12f, 2.99499989f -> 2.99f).
using tarvelo::roundHalfEven;

// Rounds a double to `decimals` places (0 to 9), ties to even.
double roundHalfEven(double value, int decimals) noexcept;

// Room that one number of the functions below needs at most. Each of them
// may use all of it as scratch space, also beyond the end it returns.
inline constexpr std::size_t kMaxNumberText = 40;

// Writes `value` as printf's "%.<digits>g" would in the C locale, but with
// `decimalMark` as decimal point: at most `digits` (1 to 9) significant
// digits, no trailing zeros, no decimal point for whole numbers, an exponent
// only for very large or very small values. With digits = 7 this is the
// window's display number text; with 9 it is the exact single-precision
// value. Returns the end of the text; `out` must hold kMaxNumberText chars.
char* writeGeneral(char* out, float value, int digits, char decimalMark) noexcept;

// Writes a double already rounded to `decimals` places (0 to 9) as a plain
// decimal without trailing zeros (0.6232, 13.15, 2).
char* writeRounded(char* out, double value, int decimals, char decimalMark) noexcept;

// The same text as writeGeneral(out, roundHalfEven(value, decimals), 7,
// decimalMark), decimals 0 to 3: a result as the window shows it.
char* writeDisplayed(char* out, float value, int decimals, char decimalMark) noexcept;

// The same text as writeRounded(out, roundHalfEven(value, decimals),
// decimals, decimalMark).
char* writeRoundedHalfEven(char* out, double value, int decimals, char decimalMark) noexcept;

// Convenience for messages and the calc command.
std::string generalText(float value, int digits, char decimalMark);
std::string roundedText(double value, int decimals, char decimalMark);

} // namespace tarvelo::cli
