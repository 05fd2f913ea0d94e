// A settings file in the INI form that QSettings writes on Linux, read and
// written as plain text. Nothing here decodes QSettings' binary values
// ("@Variant(...)" and the like): such a value is kept as it stands and
// reads as no value, so a few bytes of file can never decide what is
// allocated or built.
//
// The form (as Qt 6 writes it):
// - "[name]" opens a group. "[General]" holds the keys without a group, so a
//   group that is literally named General, in any case, is written
//   "[%General]". Keys before the first group have no group either.
// - "key=value" lines. Group and key names keep letters, digits, '_', '-'
//   and '.'; '/' is written '\', any other character "%XX" (up to U+00FF) or
//   "%UXXXX" (a UTF-16 unit).
// - A text value is UTF-8 with escapes: \n \r \t \a \b \f \v \" \\, \0,
//   \xHH for other control characters (a hex digit right after \0 or \xHH is
//   written \xHH too), octal \ooo on reading. It is put in double quotes when
//   it holds ',', ';' or '=' or starts or ends with a blank; unquoted blanks
//   around it are not part of it. A text that starts with '@' is written
//   "@@...", one that holds a NUL character "@String(...)"; an unquoted ','
//   makes a list.
// - ';' outside quotes starts a comment that runs to the end of the line.
// - Integers are written in decimal; numbers (double) in the C locale, in
//   the shortest form that reads back as the same double ("0.1", "1e+300").
//
// Reading never fails: a line that is neither a group nor a "key=value" line
// is skipped; a value that is not of the type asked for (a list, a binary
// value, an open quote, text where a number is asked for) reads as missing.
// When the same key appears more than once, the last one counts.
//
// Writing gives back every group and key of the file in their order, each
// value byte for byte as it was read, with the values set since; comments,
// skipped lines and empty groups are dropped, and keys before the first group
// are written under "[General]". Set values go to the last place their key
// had, new keys to the end of their group, new groups to the end.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class SettingsFile {
public:
    SettingsFile() = default;
    // Reads the text of a settings file.
    explicit SettingsFile(QByteArrayView text);

    // The text of the file as it is to be written.
    QByteArray toText() const;

    // The value of `key` in `group` ("" for keys without a group), or nothing
    // when it is missing or not of that type.
    std::optional<QString> text(QStringView group, QStringView key) const;
    std::optional<qint64> integer(QStringView group, QStringView key) const;
    std::optional<double> number(QStringView group, QStringView key) const;

    void setText(QStringView group, QStringView key, QStringView value);
    void setInteger(QStringView group, QStringView key, qint64 value);
    // A value that is not finite is not stored: the previous value stays.
    void setNumber(QStringView group, QStringView key, double value);

    // A number as it is written ("0.1"): C locale, shortest round trip.
    static QString numberText(double value);
    // The integer or finite number that is the whole of `text`, else nothing.
    static std::optional<qint64> toInteger(QStringView text);
    static std::optional<double> toNumber(QStringView text);

private:
    struct Entry {
        QByteArray rawKey;
        QString key;
        QByteArray rawValue;
    };
    struct Group {
        QString name;
        QByteArray rawName; // between the brackets
        std::vector<Entry> entries;
    };

    const QByteArray* rawValue(QStringView group, QStringView key) const;
    void setRawValue(QStringView group, QStringView key, QByteArray value);

    std::vector<Group> groups_;
};
