// Number reading and display in an English and a German locale: the first
// byte picks the locale, the rest is the text of one field (UTF-8), and also,
// split at every 0x01 byte, the sixteen fields of a composition.
#include "Composition.h"
#include "FuzzSupport.h"
#include "NumberText.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cmath>
#include <limits>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    static const QLocale german(QLocale::German, QLocale::Germany);
    fuzz::Input in(data, size);
    const QLocale& locale = (in.take<std::uint8_t>() & 1) ? german : english;
    const std::string_view bytes = in.rest();
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));

    const std::optional<double> value = tarvelo::parseLocaleNumber(text, locale);
    if (value)
        fuzz::check(!std::isnan(*value), "a text read as NaN");
    const tarvelo::EntryCheck entry = tarvelo::checkEntry(text, locale);
    const float stored = tarvelo::entryValue(text, locale);
    fuzz::check(std::isfinite(stored) && stored >= 0.0f,
                "a field's value is negative or not finite");
    if (entry == tarvelo::EntryCheck::Valid && value) {
        fuzz::check(*value >= 0.0 && *value <= std::numeric_limits<float>::max(),
                    "a valid entry is outside the single range");
        // What the window shows of the value reads back as nearly the value.
        const QString shown = tarvelo::displayNumberText(stored, locale);
        const std::optional<double> again = tarvelo::parseLocaleNumber(shown, locale);
        fuzz::check(again.has_value(), "a displayed number does not read back");
        const double tolerance = 1e-6 * std::fabs(static_cast<double>(stored)) +
                                 static_cast<double>(std::numeric_limits<float>::denorm_min());
        fuzz::check(std::fabs(*again - static_cast<double>(stored)) <= tolerance,
                    "a displayed number reads back as another value");
        for (int decimals = 0; decimals <= 3; ++decimals)
            fuzz::check(std::isfinite(tarvelo::roundHalfEven(stored, decimals)),
                        "rounding made a finite value infinite");
    }
    if (entry == tarvelo::EntryCheck::Negative)
        fuzz::check(value && *value < 0.0, "a negative entry did not read as negative");
    (void)tarvelo::toWholeNumber(text, locale);
    (void)tarvelo::toWindows1252(text);

    std::array<QString, tarvelo::kComponentCount> fields;
    const QStringList parts = text.split(QChar(1));
    for (int i = 0; i < tarvelo::kComponentCount && i < parts.size(); ++i)
        fields[static_cast<std::size_t>(i)] = parts[i];
    const tarvelo::CompositionSum sum = tarvelo::readComposition(fields, locale);
    fuzz::check(sum.calculable == (std::fabs(100.0f - sum.sum) < 1.0f),
                "the sum's verdict disagrees with the sum");
    return 0;
}
