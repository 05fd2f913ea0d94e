#include "cLanguage.h"

#include <gtest/gtest.h>

namespace {

struct LanguageCase {
    QVariant value;
    bool accepted;
    int code; // the code afterwards, starting from 2
};

TEST(Language, setLanguageTakesWholeNumbersAndKeepsTheCodeOtherwise) {
    const LanguageCase cases[] = {
        {QStringLiteral("1"), true, 1},
        {QStringLiteral(" 1 "), true, 1},
        {QStringLiteral("2.5"), true, 2}, // halves to the even number
        {QStringLiteral("3.5"), true, 4},
        {QStringLiteral("7"), true, 7}, // kept, though it has no texts
        {QStringLiteral("abc"), false, 2},
        {QStringLiteral(""), false, 2},
        {QStringLiteral("1x"), false, 2},
        {QStringLiteral("99999999999"), false, 2},
        {QVariant(1), true, 1},
        {QVariant(1.5), true, 2},
        {QVariant(), false, 2},
    };
    for (const LanguageCase& c : cases) {
        cLanguage lang;
        ASSERT_TRUE(lang.setLanguage(QStringLiteral("2")));
        EXPECT_EQ(lang.setLanguage(c.value), c.accepted) << qPrintable(c.value.toString());
        EXPECT_EQ(lang.language(), c.code) << qPrintable(c.value.toString());
    }
}

TEST(Language, aFailedAssignmentToAFreshObjectLeavesCodeZero) {
    cLanguage lang;
    EXPECT_FALSE(lang.setLanguage(QStringLiteral("Deutsch")));
    EXPECT_EQ(lang.language(), 0);
    EXPECT_EQ(lang.Word(10000), u"");
}

struct KeyCase {
    const char* text;
    long numeric;  // keyIfNumeric
    long nonEmpty; // keyIfNonEmpty
};

TEST(Language, keyTests) {
    const KeyCase cases[] = {
        {"10000", 10000, 10000},
        {" 20001", 20001, 20001},
        {"20001 ", 20001, 20001},
        {"?", 0, 0},
        {"-", 0, 0},
        {"", 0, 0},
        {"0", 0, 0},
        {"0.4", 0, 0},
        {"0.5", 0, 0}, // reads 0 after rounding half to even
        {"1.5", 2, 2},
        {"-5", 0, -5},
        {"20001abc", 0, 0}, // starts like a key but is none
        {"Hilfe", 0, 0},
        {"&Datei", 0, 0},
        {"1E3", 1000, 1000},
        {"1E", 0, 0},
        {"1E999", 0, 0},
    };
    for (const KeyCase& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(cLanguage::keyIfNumeric(text), c.numeric) << c.text;
        EXPECT_EQ(cLanguage::keyIfNonEmpty(text), c.nonEmpty) << c.text;
    }
}

} // namespace
