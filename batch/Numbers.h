// Reading percentages and writing results as text, fast and independent of
// the C locale: the decimal mark is always given explicitly.
#pragma once

#include "Rounding.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelo::batch {

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

namespace detail {
// Powers of ten up to 10^19, all exact in double.
inline constexpr double kPow10Double[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,
                                          1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13,
                                          1e14, 1e15, 1e16, 1e17, 1e18, 1e19};
// The most digits and the largest whole number of a plain decimal.
inline constexpr int kPlainDigits = 19;
inline constexpr std::uint64_t kPlainWhole = std::uint64_t(1) << 53;
// The value of the plain decimal whose digits, read as one whole number, are
// `whole` <= 2^53 and whose last `decimals` digits follow the mark: both
// `whole` and the power of ten are exact doubles, so one correctly rounded
// division yields the double nearest the decimal, the value std::from_chars
// returns, then stored in single precision.
inline float plainDecimalValue(std::uint64_t whole, int decimals) noexcept {
    return static_cast<float>(static_cast<double>(whole) / kPow10Double[decimals]);
}
} // namespace detail

// Reads a plain decimal at `p`: digits, then optionally `decimalMark` and
// more digits, at most 19 digits in all. The caller knows that a byte that
// is neither a digit nor the mark follows in memory (a line end, say), so
// no end is checked. Returns the end of the number and sets `value` as
// parseNumber would for that text; returns nullptr when the text at `p` is
// not such a number (no digit, a mark without decimals, too many digits),
// which parseNumber then has to judge. For a batch row read field by field
// without first splitting it.
[[gnu::always_inline]] inline const char* readPlainDecimalAt(const char* p, char decimalMark,
                                                             float& value) noexcept {
    const char* const start = p;
    std::uint64_t whole = 0; // wraps beyond 19 digits, which are refused below
    for (; unsigned(*p - '0') < 10u; ++p)
        whole = whole * 10 + unsigned(*p - '0');
    int digits = int(p - start);
    int decimals = 0;
    if (*p == decimalMark) {
        const char* const fraction = ++p;
        for (; unsigned(*p - '0') < 10u; ++p)
            whole = whole * 10 + unsigned(*p - '0');
        decimals = int(p - fraction);
        if (decimals == 0)
            return nullptr;
        digits += decimals;
    }
    if (digits == 0 || digits > detail::kPlainDigits || whole > detail::kPlainWhole)
        return nullptr;
    value = decimals == 0 ? static_cast<float>(whole) : detail::plainDecimalValue(whole, decimals);
    return p;
}

// An amount in double precision, read by the same rules as parseNumber
// (blanks around it, an optional '+', `decimalMark`, an optional exponent;
// -0 is 0, a value too small for a double is 0): the one reader of amounts
// for every command, and for the batch's column sets. OutOfRange here means
// beyond double precision.
struct ParsedAmount {
    NumberStatus status;
    double value; // 0 unless status is Ok
};
ParsedAmount parseAmount(std::string_view text, char decimalMark) noexcept;

// An amount stored in single precision, as parseNumber stores it:
// parseNumber(text, mark) is inSinglePrecision(parseAmount(text, mark)).
inline ParsedNumber inSinglePrecision(const ParsedAmount& amount) noexcept {
    if (amount.status != NumberStatus::Ok)
        return {amount.status, 0.0f};
    const float single = static_cast<float>(amount.value);
    if (single > 3.4028234663852886e38f) // beyond the largest single: infinity
        return {NumberStatus::OutOfRange, 0.0f};
    return {NumberStatus::Ok, single};
}

// parseNumber without its shortcut for plain decimals: every text through
// std::from_chars. The two agree on every text.
// It is parseAmount stored in single precision.
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

// The same for a double: printf's "%.<digits>g" (1 to 9) in the C locale,
// with `decimalMark`.
char* writeGeneral(char* out, double value, int digits, char decimalMark) noexcept;

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

} // namespace tarvelo::batch
