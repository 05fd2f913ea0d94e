// Numbers as the window reads and shows them, in the user's locale.
#pragma once

#include "Rounding.h" // roundHalfEven, as the window rounds results

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarvelo {

// Reads `text` as a whole as a number of `locale`: optional blanks around it,
// an optional sign, digits with the locale's decimal separator, the locale's
// group separators anywhere among the digits before the decimal separator
// (accepted and ignored: "12,5" is 125 in English), and an optional exponent
// ("1E3", "2,5e-1" in German). The ASCII signs "-" and "+", the exponent
// letters "e" and "E", and a plain blank where the locale groups with a
// (non-breaking) space are accepted too, since that is what keyboards type.
// Returns the value in double precision, or nothing when the text is not a
// number. "nan" and "inf" are not numbers here. A value beyond the double
// range (1E999) is returned as infinity, one below it (1E-999) as zero;
// callers decide what they accept.
std::optional<double> parseLocaleNumber(const QString& text, const QLocale& locale);

// A value as a 32-bit whole number, halves going to the even number (2.5 ->
// 2); nothing for NaN, infinity and values outside the 32-bit range.
std::optional<std::int32_t> toWholeNumber(double value);

// A text as a 32-bit whole number: parseLocaleNumber, then toWholeNumber.
std::optional<std::int32_t> toWholeNumber(const QString& text, const QLocale& locale);

// The display number text of a single-precision value: the locale's general
// form with at most seven significant digits, the locale's decimal
// separator, no digit grouping, no trailing zeros, no decimal point for whole
// numbers (9.5 -> "9.5", 10 -> "10", 1234.6 -> "1234,6" in German).
QString displayNumberText(float value, const QLocale& locale);

// The gas name as Windows-1252 bytes; characters the code page lacks
// become '?'.
QByteArray toWindows1252(const QString& text);

} // namespace tarvelo
