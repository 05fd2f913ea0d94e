// Readable failure messages for Qt texts in GoogleTest.
#pragma once

#include <QString>

#include <cstddef>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// u"text"_q: a QString literal that prints as text when a check fails.
inline QString operator""_q(const char16_t* text, std::size_t size) {
    return QString::fromUtf16(text, qsizetype(size));
}
