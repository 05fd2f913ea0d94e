// Numbers as the window reads and shows them, in the user's locale.
#pragma once

#include <QLocale>
#include <QString>

#include <optional>

namespace tarvelo {

// Reads `text` as a whole as a number of `locale`: optional blanks around it,
// an optional sign, digits with the locale's decimal separator, the locale's
// group separators anywhere among the digits (accepted and ignored: "12,5"
// is 125 in English), and an optional exponent ("1E3", "2,5e-1" in German).
// Returns the value in double precision, or nothing when the text is not a
// number. "nan" and "inf" are not numbers here. Infinite results (1E999)
// are returned as they are; callers decide what they accept.
std::optional<double> parseLocaleNumber(const QString& text, const QLocale& locale);

// The display number text of a single-precision value: the locale's general
// form with at most seven significant digits, the locale's decimal
// separator, no digit grouping, no trailing zeros, no decimal point for whole
// numbers (9.5 -> "9.5", 10 -> "10", 1234.6 -> "1234,6" in German).
QString displayNumberText(float value, const QLocale& locale);

// Rounds to `decimals` places (0 to 3), halves going to the even digit,
// and returns the nearest single-precision value: 0.125f -> 0.12f.
float roundHalfEven(float value, int decimals);

// The gas name as Windows-1252 bytes; characters the code page lacks
// become '?'.
QByteArray toWindows1252(const QString& text);

} // namespace tarvelo
