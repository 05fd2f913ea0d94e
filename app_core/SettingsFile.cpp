#include "SettingsFile.h"

#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// UTF-8 as it stands: a byte order mark at the start is kept (QString::fromUtf8
// drops it), and each piece is decoded on its own.
QString fromUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// What of a line counts: it ends at the first ';' outside double quotes (a
// comment follows), and `equals` is the first '=' outside quotes or -1. A
// backslash hides the character after it.
struct LineContent {
    qsizetype end;
    qsizetype equals;
};

LineContent lineContent(QByteArrayView line) {
    bool quoted = false;
    qsizetype equals = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        switch (line[i]) {
        case '\\':
            ++i;
            break;
        case '"':
            quoted = !quoted;
            break;
        case '=':
            if (!quoted && equals < 0)
                equals = i;
            break;
        case ';':
            if (!quoted)
                return {i, equals};
            break;
        default:
            break;
        }
    }
    return {line.size(), equals};
}

QString unescapedName(QByteArrayView raw) {
    const QString decoded = fromUtf8(raw);
    QString name;
    name.reserve(decoded.size());
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const char16_t c = decoded[i].unicode();
        if (c == u'\\') {
            name += u'/';
            continue;
        }
        if (c == u'%') {
            const bool wide = i + 1 < decoded.size() && decoded[i + 1] == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype end = first + (wide ? 4 : 2);
            char16_t value = 0;
            qsizetype k = first;
            for (; k < end && k < decoded.size() && hexValue(decoded[k].unicode()) >= 0; ++k)
                value = char16_t(value * 16 + hexValue(decoded[k].unicode()));
            if (k == end) {
                name += QChar(value);
                i = end - 1;
                continue;
            }
        }
        name += QChar(c);
    }
    return name;
}

QByteArray escapedName(QStringView name) {
    QByteArray raw;
    for (const QChar qc : name) {
        const char16_t c = qc.unicode();
        if (c == u'/') {
            raw += '\\';
        } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                   (c >= u'0' && c <= u'9') || c == u'_' || c == u'-' || c == u'.') {
            raw += char(c);
        } else {
            raw += c <= 0xFF ? "%" : "%U";
            for (int shift = c <= 0xFF ? 4 : 12; shift >= 0; shift -= 4)
                raw += kHexDigits[(c >> shift) & 0xF];
        }
    }
    return raw;
}

// The text of a raw value; nothing for a list (an unquoted ',') or a value
// whose quote is not closed on its line.
std::optional<QString> unescapedText(QByteArrayView raw) {
    QString text;
    bool quoted = false;
    bool wasQuoted = false;
    bool cut = false;   // the value ends in a lone backslash
    qsizetype keep = 0; // unquoted blanks at the end are dropped down to here
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < raw.size() && isBlank(raw[i]))
            ++i;
    };
    skipBlanks();
    while (i < raw.size()) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i == raw.size()) {
                cut = true;
                break;
            }
            const char e = raw[i++];
            switch (e) {
            case 'a':
                text += u'\a';
                break;
            case 'b':
                text += u'\b';
                break;
            case 'f':
                text += u'\f';
                break;
            case 'n':
                text += u'\n';
                break;
            case 'r':
                text += u'\r';
                break;
            case 't':
                text += u'\t';
                break;
            case 'v':
                text += u'\v';
                break;
            case '"':
            case '?':
            case '\'':
            case '\\':
                text += QLatin1Char(e);
                break;
            case 'x':
                if (i < raw.size() && hexValue(char16_t(uchar(raw[i]))) >= 0) {
                    char16_t value = 0; // as many digits as follow, modulo 2^16
                    for (; i < raw.size() && hexValue(char16_t(uchar(raw[i]))) >= 0; ++i)
                        value = char16_t(value * 16 + hexValue(char16_t(uchar(raw[i]))));
                    text += QChar(value);
                }
                break;
            default:
                if (isOctal(e)) {
                    auto value = char16_t(e - '0');
                    for (; i < raw.size() && isOctal(raw[i]); ++i)
                        value = char16_t(value * 8 + (raw[i] - '0'));
                    text += QChar(value);
                }
                break; // any other escaped character is dropped
            }
            keep = text.size();
        } else if (c == '"') {
            ++i;
            wasQuoted = true;
            quoted = !quoted;
            if (!quoted)
                skipBlanks();
            keep = text.size();
        } else if (c == ',' && !quoted) {
            return std::nullopt;
        } else {
            qsizetype j = i + 1;
            while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',')
                ++j;
            text += fromUtf8(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (quoted)
        return std::nullopt;
    if (!wasQuoted && !cut)
        while (text.size() > keep && (text.back() == u' ' || text.back() == u'\t'))
            text.chop(1);
    return text;
}

// A text as a stored text value, before its escapes.
QString storedForm(QStringView value) {
    if (value.contains(QChar(u'\0')))
        return QStringLiteral("@String(") + value.toString() + u')';
    if (value.startsWith(u'@'))
        return u'@' + value.toString();
    return value.toString();
}

// What a stored text value stands for: "@@..." is a text starting with '@',
// "@String(...)" one with NUL characters; anything else that starts with '@'
// (bytes, a binary value, a rectangle) is no text.
std::optional<QString> fromStoredForm(QString text) {
    if (!text.startsWith(u'@'))
        return text;
    if (text.startsWith(u"@@"))
        return text.sliced(1);
    if (text.startsWith(u"@String(") && text.endsWith(u')'))
        return text.sliced(8).chopped(1);
    return std::nullopt;
}

QByteArray escapedText(QStringView value) {
    const QString text = storedForm(value);
    QByteArray raw;
    raw.reserve(text.size() + 2);
    bool needsQuotes = false;
    bool hexNext = false; // a hex digit right after \0 or \xHH must be escaped
    qsizetype run = -1;   // start of the characters not yet written as UTF-8
    const auto flush = [&](qsizetype end) {
        if (run >= 0)
            raw += QStringView(text).sliced(run, end - run).toUtf8();
        run = -1;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u';' || c == u',' || c == u'=')
            needsQuotes = true;
        if (hexNext && hexValue(c) >= 0) {
            flush(i);
            raw += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        hexNext = false;
        const char* escape = nullptr;
        switch (c) {
        case u'\0':
            escape = "\\0";
            hexNext = true;
            break;
        case u'\a':
            escape = "\\a";
            break;
        case u'\b':
            escape = "\\b";
            break;
        case u'\f':
            escape = "\\f";
            break;
        case u'\n':
            escape = "\\n";
            break;
        case u'\r':
            escape = "\\r";
            break;
        case u'\t':
            escape = "\\t";
            break;
        case u'\v':
            escape = "\\v";
            break;
        case u'"':
            escape = "\\\"";
            break;
        case u'\\':
            escape = "\\\\";
            break;
        default:
            break;
        }
        if (escape || c <= 0x1F) {
            flush(i);
            if (escape) {
                raw += escape;
            } else {
                raw += "\\x" + QByteArray::number(c, 16);
                hexNext = true;
            }
        } else if (run < 0) {
            run = i;
        }
    }
    flush(text.size());
    if (needsQuotes || raw.startsWith(' ') || raw.endsWith(' '))
        raw = '"' + raw + '"';
    return raw;
}

QString groupName(const QByteArray& raw) {
    if (raw.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    if (raw.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(raw.sliced(1));
    return unescapedName(raw);
}

} // namespace

SettingsFile::SettingsFile(QByteArrayView text) {
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        QByteArrayView line = text.sliced(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && isBlank(line.front()))
            line = line.sliced(1);
        const LineContent content = lineContent(line);
        line = line.first(content.end);
        if (line.empty())
            continue; // a blank line or a comment
        if (line.front() == '[') {
            const qsizetype close = line.indexOf(']');
            const QByteArray raw =
                line.sliced(1, (close < 0 ? line.size() : close) - 1).toByteArray().trimmed();
            groups_.push_back({groupName(raw), raw, {}});
            continue;
        }
        qsizetype keyEnd = content.equals;
        while (keyEnd > 0 && isBlank(line[keyEnd - 1]))
            --keyEnd;
        if (keyEnd <= 0)
            continue;        // no "key=value"
        if (groups_.empty()) // keys before the first group have none
            groups_.push_back({QString(), QByteArrayLiteral("General"), {}});
        const QByteArray rawKey = line.first(keyEnd).toByteArray();
        groups_.back().entries.push_back(
            {rawKey, unescapedName(rawKey), line.sliced(content.equals + 1).toByteArray()});
    }
}

QByteArray SettingsFile::toText() const {
    QByteArray text;
    for (const Group& group : groups_) {
        if (group.entries.empty())
            continue;
        if (!text.isEmpty())
            text += '\n';
        text += '[' + group.rawName + "]\n";
        for (const Entry& entry : group.entries)
            text += entry.rawKey + '=' + entry.rawValue + '\n';
    }
    return text;
}

const QByteArray* SettingsFile::rawValue(QStringView group, QStringView key) const {
    const QByteArray* value = nullptr;
    for (const Group& g : groups_)
        if (g.name == group)
            for (const Entry& entry : g.entries)
                if (entry.key == key)
                    value = &entry.rawValue;
    return value;
}

void SettingsFile::setRawValue(QStringView group, QStringView key, QByteArray value) {
    if (key.isEmpty())
        return;
    Group* last = nullptr;
    Entry* found = nullptr;
    for (Group& g : groups_) {
        if (g.name != group)
            continue;
        last = &g;
        for (Entry& entry : g.entries)
            if (entry.key == key)
                found = &entry;
    }
    if (found) {
        found->rawValue = std::move(value);
        return;
    }
    if (!last) {
        QByteArray raw = escapedName(group);
        if (raw.isEmpty())
            raw = QByteArrayLiteral("General");
        else if (raw.compare("general", Qt::CaseInsensitive) == 0)
            raw.prepend('%');
        last = &groups_.emplace_back(Group{group.toString(), raw, {}});
    }
    last->entries.push_back({escapedName(key), key.toString(), std::move(value)});
}

std::optional<QString> SettingsFile::text(QStringView group, QStringView key) const {
    const QByteArray* raw = rawValue(group, key);
    if (!raw)
        return std::nullopt;
    std::optional<QString> text = unescapedText(*raw);
    return text ? fromStoredForm(std::move(*text)) : std::nullopt;
}

std::optional<qint64> SettingsFile::integer(QStringView group, QStringView key) const {
    const std::optional<QString> value = text(group, key);
    return value ? toInteger(*value) : std::nullopt;
}

std::optional<double> SettingsFile::number(QStringView group, QStringView key) const {
    const std::optional<QString> value = text(group, key);
    return value ? toNumber(*value) : std::nullopt;
}

void SettingsFile::setText(QStringView group, QStringView key, QStringView value) {
    setRawValue(group, key, escapedText(value));
}

void SettingsFile::setInteger(QStringView group, QStringView key, qint64 value) {
    setText(group, key, QString::number(value));
}

void SettingsFile::setNumber(QStringView group, QStringView key, double value) {
    if (std::isfinite(value))
        setText(group, key, numberText(value));
}

QString SettingsFile::numberText(double value) {
    char digits[32];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
    return QString::fromLatin1(digits, end.ptr - digits);
}

std::optional<qint64> SettingsFile::toInteger(QStringView text) {
    const QByteArray latin = text.toLatin1(); // anything beyond Latin-1 becomes '?'
    qint64 value = 0;
    const char* const end = latin.constData() + latin.size();
    const std::from_chars_result read = std::from_chars(latin.constData(), end, value);
    if (read.ec != std::errc() || read.ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> SettingsFile::toNumber(QStringView text) {
    const QByteArray latin = text.toLatin1();
    double value = 0;
    const char* const end = latin.constData() + latin.size();
    const std::from_chars_result read = std::from_chars(latin.constData(), end, value);
    if (read.ec != std::errc() || read.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}
