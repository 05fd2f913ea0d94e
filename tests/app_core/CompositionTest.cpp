#include "Composition.h"

#include <initializer_list>

#include <gtest/gtest.h>

namespace {

using tarvelo::EntryCheck;

const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
const QLocale kGerman(QLocale::German, QLocale::Germany);

struct CheckCase {
    const QLocale* locale;
    const char* text;
    EntryCheck check;
};

TEST(Composition, checksOneEntry) {
    const CheckCase cases[] = {
        {&kEnglish, "", EntryCheck::Valid},
        {&kEnglish, "0", EntryCheck::Valid},
        {&kEnglish, "250", EntryCheck::Valid},
        {&kEnglish, " 12.5 ", EntryCheck::Valid},
        {&kEnglish, "-0", EntryCheck::Valid},
        {&kEnglish, "1E-50", EntryCheck::Valid},
        {&kEnglish, "3.4E38", EntryCheck::Valid},
        {&kEnglish, "-1", EntryCheck::Negative},
        {&kEnglish, "-0.001", EntryCheck::Negative},
        {&kEnglish, "abc", EntryCheck::NotNumeric},
        {&kEnglish, " ", EntryCheck::NotNumeric},
        {&kEnglish, "nan", EntryCheck::NotNumeric},
        {&kEnglish, "inf", EntryCheck::NotNumeric},
        {&kEnglish, "1E39", EntryCheck::NotNumeric}, // a number, but beyond single precision
        {&kEnglish, "-1E39", EntryCheck::NotNumeric},
        {&kEnglish, "1E999", EntryCheck::NotNumeric},
        {&kGerman, "12,5", EntryCheck::Valid},
        {&kGerman, "-1,5", EntryCheck::Negative},
        {&kGerman, "12,5%", EntryCheck::NotNumeric},
    };
    for (const CheckCase& c : cases)
        EXPECT_EQ(tarvelo::checkEntry(QString::fromUtf8(c.text), *c.locale), c.check)
            << qPrintable(c.locale->name()) << " \"" << c.text << '"';
}

TEST(Composition, entryValueReadsTheLocaleAndCountsInvalidTextsZero) {
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("12,5"), kEnglish), 125.0f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("12,5"), kGerman), 12.5f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("0.1"), kEnglish), 0.1f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral(""), kEnglish), 0.0f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("abc"), kEnglish), 0.0f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("-1"), kEnglish), 0.0f);
    EXPECT_EQ(tarvelo::entryValue(QStringLiteral("1E39"), kEnglish), 0.0f);
}

// Field texts as the user types them into the first fields; the rest stay empty.
tarvelo::CompositionSum typed(std::initializer_list<const char*> fields,
                              const QLocale& locale = kEnglish) {
    std::array<QString, tarvelo::kComponentCount> texts;
    std::size_t i = 0;
    for (const char* field : fields)
        texts[i++] = QString::fromUtf8(field);
    return tarvelo::readComposition(texts, locale);
}

TEST(Composition, calculableOnlyWithinOneOfHundred) {
    EXPECT_TRUE(typed({"100"}).calculable);
    EXPECT_TRUE(typed({"50", "49.5"}).calculable);
    EXPECT_TRUE(typed({"100.9"}).calculable);
    EXPECT_TRUE(typed({"50.9", "", "50"}).calculable);
    EXPECT_TRUE(typed({"90", "5", "2", "2", "1"}).calculable);
    EXPECT_TRUE(typed({"49,5", "50"}, kGerman).calculable);
    EXPECT_FALSE(typed({"99"}).calculable);
    EXPECT_FALSE(typed({"60", "39"}).calculable);
    EXPECT_FALSE(typed({"101"}).calculable);
    EXPECT_FALSE(typed({"50.5", "50.5"}).calculable);
    EXPECT_FALSE(typed({"98.9"}).calculable);
    EXPECT_FALSE(typed({"250"}).calculable);
    EXPECT_FALSE(typed({}).calculable);
    EXPECT_FALSE(typed({"49,5", "50"}, kEnglish).calculable); // 495 + 50
}

TEST(Composition, readsEveryFieldInIndexOrder) {
    std::array<QString, tarvelo::kComponentCount> texts;
    for (int i = 0; i < tarvelo::kComponentCount; ++i)
        texts[i] = QString::number(i + 1);
    const tarvelo::CompositionSum s = tarvelo::readComposition(texts, kEnglish);
    for (int i = 0; i < tarvelo::kComponentCount; ++i)
        EXPECT_EQ(s.percent[i], float(i + 1));
    EXPECT_EQ(s.sum, 136.0f);
    EXPECT_FALSE(s.calculable);
}

TEST(Composition, sumsInSinglePrecision) {
    // 2^24 + 1 is not a float: each +1 is lost, as in the window's sum.
    const tarvelo::CompositionSum s = typed({"16777216", "1", "1"});
    EXPECT_EQ(s.sum, 16777216.0f);
    EXPECT_EQ(typed({"33.3", "33.3", "33.4"}).sum, 33.3f + 33.3f + 33.4f);
}

} // namespace
