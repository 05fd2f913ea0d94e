#include "NumberText.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "TestPrinting.h"

namespace {

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);
const QLocale kFrench(QLocale::French, QLocale::France);
constexpr double kInf = std::numeric_limits<double>::infinity();

struct ParseCase {
    const QLocale* locale;
    const char16_t* text;
    std::optional<double> value;
};

TEST(NumberText, parsesLocaleNumbers) {
    const ParseCase cases[] = {
        {&kEnglish, u"12.5", 12.5},
        {&kEnglish, u"12,5", 125.0}, // a group separator anywhere is ignored
        {&kEnglish, u" 12.5 ", 12.5},
        {&kEnglish, u"1,234.5", 1234.5},
        {&kEnglish, u"1,2,3", 123.0},
        {&kEnglish, u"1E3", 1000.0},
        {&kEnglish, u"1e+3", 1000.0},
        {&kEnglish, u"1.5e-1", 0.15},
        {&kEnglish, u"-1", -1.0},
        {&kEnglish, u"+2", 2.0},
        {&kEnglish, u".5", 0.5},
        {&kEnglish, u"5.", 5.0},
        {&kEnglish, u"100", 100.0},
        {&kEnglish, u"123456789012345678901234567890", 1.2345678901234568e29},
        {&kEnglish, u"1E39", 1e39},
        {&kEnglish, u"1E999", kInf},
        {&kEnglish, u"-1E999", -kInf},
        {&kEnglish, u"1E-999", 0.0},
        {&kEnglish, u"0.000001E-999", 0.0},
        {&kEnglish, u"", std::nullopt},
        {&kEnglish, u"   ", std::nullopt},
        {&kEnglish, u"abc", std::nullopt},
        {&kEnglish, u"nan", std::nullopt},
        {&kEnglish, u"inf", std::nullopt},
        {&kEnglish, u"-inf", std::nullopt},
        {&kEnglish, u".", std::nullopt},
        {&kEnglish, u"e5", std::nullopt},
        {&kEnglish, u"1E", std::nullopt},
        {&kEnglish, u"--1", std::nullopt},
        {&kEnglish, u"- 1", std::nullopt},
        {&kEnglish, u"1.2.3", std::nullopt},
        {&kEnglish, u"12.5%", std::nullopt},
        {&kEnglish, u",5", std::nullopt},
        {&kEnglish, u"0.5,5", std::nullopt}, // no grouping after the decimal point
        {&kEnglish, u"1 000", std::nullopt},
        {&kGerman, u"12,5", 12.5},
        {&kGerman, u"12.5", 125.0},
        {&kGerman, u" 12.5 ", 125.0},
        {&kGerman, u" 12,5 ", 12.5},
        {&kGerman, u"1.234,5", 1234.5},
        {&kGerman, u"2,5e-1", 0.25},
        {&kGerman, u"1E3", 1000.0},
        {&kGerman, u"-1", -1.0},
        {&kGerman, u"abc", std::nullopt},
        {&kGerman, u"nan", std::nullopt},
        {&kGerman, u"1,2,3", std::nullopt},
        {&kFrench, u"1\u202F234,5", 1234.5},
        {&kFrench, u"1 234,5", 1234.5}, // a typed blank where the locale groups with a space
        {&kFrench, u"12,5", 12.5},
    };
    for (const ParseCase& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        const std::optional<double> got = tarvelo::parseLocaleNumber(text, *c.locale);
        SCOPED_TRACE(qPrintable(c.locale->name() + QStringLiteral(" \"") + text + u'"'));
        ASSERT_EQ(got.has_value(), c.value.has_value());
        if (got) {
            EXPECT_EQ(*got, *c.value);
        }
    }
}

TEST(NumberText, negativeZeroAndUnderflowKeepTheirSign) {
    EXPECT_TRUE(std::signbit(*tarvelo::parseLocaleNumber(QStringLiteral("-0"), kEnglish)));
    EXPECT_TRUE(std::signbit(*tarvelo::parseLocaleNumber(QStringLiteral("-1E-999"), kEnglish)));
}

// A C library locale with a decimal comma: the installed one, or one built
// for the test when the machine has only the C locale.
bool selectGermanCLocale(const QTemporaryDir& scratch) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        return true;
    const QString target = scratch.path() + QStringLiteral("/de_DE.UTF-8");
    if (QProcess::execute(QStringLiteral("localedef"),
                          {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
                           QStringLiteral("UTF-8"), target}) != 0)
        return false;
    qputenv("LOCPATH", QFile::encodeName(scratch.path()));
    const bool ok = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    qunsetenv("LOCPATH");
    return ok;
}

TEST(NumberText, parsingIgnoresTheCLibrarysLocale) {
    // QApplication has called setlocale(LC_ALL, ""); a comma locale there
    // must not change what "12.5" means in English.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string keep = previous ? previous : "C";
    QTemporaryDir scratch;
    if (!selectGermanCLocale(scratch))
        GTEST_SKIP() << "no German C locale available";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const auto english = tarvelo::parseLocaleNumber(QStringLiteral("12.5"), kEnglish);
    const auto german = tarvelo::parseLocaleNumber(QStringLiteral("1.234,5"), kGerman);
    std::setlocale(LC_NUMERIC, keep.c_str());
    ASSERT_TRUE(english && german);
    EXPECT_EQ(*english, 12.5);
    EXPECT_EQ(*german, 1234.5);
}

TEST(NumberText, wholeNumbers) {
    EXPECT_EQ(tarvelo::toWholeNumber(2.5), 2);
    EXPECT_EQ(tarvelo::toWholeNumber(-2.5), -2);
    EXPECT_EQ(tarvelo::toWholeNumber(3.5), 4);
    EXPECT_EQ(tarvelo::toWholeNumber(2147483647.0), 2147483647);
    EXPECT_EQ(tarvelo::toWholeNumber(2147483648.0), std::nullopt);
    EXPECT_EQ(tarvelo::toWholeNumber(kInf), std::nullopt);
    EXPECT_EQ(tarvelo::toWholeNumber(std::nan("")), std::nullopt);
    EXPECT_EQ(tarvelo::toWholeNumber(QStringLiteral(" 1890 "), kGerman), 1890);
    EXPECT_EQ(tarvelo::toWholeNumber(QStringLiteral("1890,5"), kGerman), 1890);
    EXPECT_EQ(tarvelo::toWholeNumber(QStringLiteral(""), kGerman), std::nullopt);
}

struct DisplayCase {
    float value;
    const char16_t* english;
    const char16_t* german;
};

TEST(NumberText, displayText) {
    const DisplayCase cases[] = {
        {9.5f, u"9.5", u"9,5"},
        {10.0f, u"10", u"10"},
        {805.8f, u"805.8", u"805,8"},
        {1234.6f, u"1234.6", u"1234,6"},
        {1275.3f, u"1275.3", u"1275,3"},
        {9.94f, u"9.94", u"9,94"},
        {0.1f, u"0.1", u"0,1"},
        {100.9f, u"100.9", u"100,9"},
        {1234567.0f, u"1234567", u"1234567"},
        {1e7f, u"1E+07", u"1E+07"},
        {12345678.0f, u"1.234568E+07", u"1,234568E+07"},
        {0.0f, u"0", u"0"},
        {-0.0f, u"0", u"0"},
        {-2.5f, u"-2.5", u"-2,5"},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(tarvelo::displayNumberText(c.value, kEnglish), QString::fromUtf16(c.english));
        EXPECT_EQ(tarvelo::displayNumberText(c.value, kGerman), QString::fromUtf16(c.german));
    }
}

TEST(NumberText, windows1252MarksWhatItLacks) {
    EXPECT_EQ(tarvelo::toWindows1252(QStringLiteral("CH\u2084 Ā")), QByteArray("CH? ?"));
    EXPECT_EQ(tarvelo::toWindows1252(QStringLiteral("\u0081\u009D")), QByteArray("??"));
    EXPECT_EQ(tarvelo::toWindows1252(QString::fromUtf16(u"a\U0001F525b")), QByteArray("a?b"));
    const QChar lone[] = {QChar(u'x'), QChar(char16_t(0xD800)), QChar(u'y')};
    EXPECT_EQ(tarvelo::toWindows1252(QString(lone, 3)), QByteArray("x?y"));
}

} // namespace
