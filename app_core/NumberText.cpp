#include "NumberText.h"

#include "Windows1252.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tarvelo {

namespace {

// Walks over a trimmed text and builds the C form of the number it holds
// ("-1234.5e3"), which std::from_chars then converts without looking at the
// C library's locale.
class Scanner {
public:
    Scanner(QStringView text, const QLocale& locale)
        : s_(text), decimal_(locale.decimalPoint()), group_(locale.groupSeparator()),
          negative_(locale.negativeSign()), positive_(locale.positiveSign()),
          exponent_(locale.exponential()) {
        spaceGroups_ = group_.size() == 1 && group_.front().isSpace();
        const QString zero = locale.zeroDigit();
        if (zero.size() == 1 && zero.front() != u'0')
            zeroDigit_ = zero.front().unicode();
    }

    std::optional<double> parse() {
        if (s_.isEmpty())
            return std::nullopt;
        const bool negative = sign();
        if (negative)
            c_ += '-';
        if (!mantissa())
            return std::nullopt;
        if (take(exponent_) || take(u"e") || take(u"E")) {
            c_ += 'e';
            if (sign())
                c_ += '-';
            if (digits(exponentDigits_) == 0)
                return std::nullopt;
        }
        if (i_ != s_.size())
            return std::nullopt;

        double value = 0.0;
        const auto [end, ec] = std::from_chars(c_.data(), c_.data() + c_.size(), value);
        if (ec == std::errc::result_out_of_range)
            value = outOfRange(negative);
        else if (ec != std::errc() || end != c_.data() + c_.size())
            return std::nullopt;
        return value;
    }

private:
    bool take(QStringView token) {
        if (token.isEmpty() || !s_.sliced(i_).startsWith(token, Qt::CaseInsensitive))
            return false;
        i_ += token.size();
        return true;
    }

    // True for a minus sign.
    bool sign() {
        if (take(negative_) || take(u"-"))
            return true;
        if (!take(positive_))
            take(u"+");
        return false;
    }

    int digitAt() const {
        if (i_ >= s_.size())
            return -1;
        const char16_t ch = s_[i_].unicode();
        if (ch >= u'0' && ch <= u'9')
            return ch - u'0';
        if (zeroDigit_ && ch >= zeroDigit_ && ch <= zeroDigit_ + 9)
            return ch - zeroDigit_;
        return -1;
    }

    // Reads digits into the C form; returns how many.
    int digits(std::string& kept) {
        int n = 0;
        for (int d; (d = digitAt()) >= 0; ++i_, ++n) {
            c_ += char('0' + d);
            kept += char('0' + d);
        }
        return n;
    }

    bool groupSeparator() {
        if (take(group_))
            return true;
        if (spaceGroups_ && i_ < s_.size() && s_[i_] == u' ') {
            ++i_;
            return true;
        }
        return false;
    }

    // Digits, group separators among the digits of the whole part, at most
    // one decimal separator; at least one digit.
    bool mantissa() {
        int count = digits(wholeDigits_);
        while (count > 0 && groupSeparator())
            count += digits(wholeDigits_);
        if (take(decimal_)) {
            c_ += '.';
            count += digits(fractionDigits_);
        }
        return count > 0;
    }

    // from_chars reports a value beyond the double range without giving it:
    // decide from the decimal exponent whether it was too large or too small.
    double outOfRange(bool negative) const {
        long long magnitude = 0;
        const auto firstWhole = wholeDigits_.find_first_not_of('0');
        if (firstWhole != std::string::npos) {
            magnitude = static_cast<long long>(wholeDigits_.size() - firstWhole);
        } else {
            const auto firstFraction = fractionDigits_.find_first_not_of('0');
            if (firstFraction == std::string::npos)
                return negative ? -0.0 : 0.0;
            magnitude = -static_cast<long long>(firstFraction);
        }
        long long exponent = 0;
        for (const char ch : exponentDigits_)
            exponent = std::min(exponent * 10 + (ch - '0'), 1'000'000'000LL);
        if (c_.find("e-") != std::string::npos)
            exponent = -exponent;
        const bool tooLarge = magnitude + exponent > 0;
        const double v = tooLarge ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -v : v;
    }

    QStringView s_;
    qsizetype i_ = 0;
    QString decimal_, group_, negative_, positive_, exponent_;
    bool spaceGroups_ = false;
    char16_t zeroDigit_ = 0;
    std::string c_;
    std::string wholeDigits_, fractionDigits_, exponentDigits_;
};

} // namespace

std::optional<double> parseLocaleNumber(const QString& text, const QLocale& locale) {
    return Scanner(QStringView(text).trimmed(), locale).parse();
}

std::optional<std::int32_t> toWholeNumber(double value) {
    if (!std::isfinite(value))
        return std::nullopt;
    const double whole = std::nearbyint(value);
    if (whole < double(std::numeric_limits<std::int32_t>::min()) ||
        whole > double(std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

std::optional<std::int32_t> toWholeNumber(const QString& text, const QLocale& locale) {
    const auto value = parseLocaleNumber(text, locale);
    if (!value)
        return std::nullopt;
    return toWholeNumber(*value);
}

QString displayNumberText(float value, const QLocale& locale) {
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    double v = double(value);
    if (v == 0.0)
        v = 0.0; // a negative zero shows as "0"
    return plain.toString(v, 'g', 7);
}

QByteArray toWindows1252(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += '?'; // one character beyond the BMP
            ++i;
            continue;
        }
        bytes += windows1252Byte(ch);
    }
    return bytes;
}

} // namespace tarvelo
