#include "TextTable.h"
#include "cLanguage.h"

#include <gtest/gtest.h>

#include <vector>

#include "TestPrinting.h"

namespace {

cLanguage languageWithCode(int code) {
    cLanguage lang;
    EXPECT_TRUE(lang.setLanguage(code));
    return lang;
}

TEST(TextTable, menuKeyDependsOnTheLanguageAndIsEmptyForOtherCodes) {
    EXPECT_EQ(languageWithCode(1).Word(10000), u"&Datei"_q);
    EXPECT_EQ(languageWithCode(2).Word(10000), u"&File"_q);
    EXPECT_EQ(cLanguage().Word(10000), u""_q); // a fresh object has code 0
    EXPECT_EQ(languageWithCode(3).Word(10000), u""_q);
}

TEST(TextTable, someKeysReadTheSameInBothLanguages) {
    for (long key : {10102L, 10201L, 10202L})
        EXPECT_EQ(languageWithCode(1).Word(key), languageWithCode(2).Word(key)) << key;
    EXPECT_EQ(languageWithCode(2).Word(10201), u"&Deutsch"_q);
}

TEST(TextTable, everyKeyHasATextInBothLanguages) {
    const long keys[] = {10000, 10001, 10002, 10101, 10102, 10200, 10201, 10202, 20001,
                         30001, 30002, 40001, 40002, 40003, 41001, 41002, 41003, 50001,
                         50002, 50003, 50004, 60001, 60002, 60003, 60004, 60005, 60006,
                         60007, 60008, 60009, 60010, 60011, 60012, 60013, 60014, 60015,
                         60016, 70001, 70002, 80001, 80002, 10003, 20002};
    ASSERT_EQ(std::size(keys), 43u);
    // The gas-quality window's: its texts, the quantities, the refusals and
    // the names of the 60 components.
    std::vector<long> all(std::begin(keys), std::end(keys));
    for (const auto& [first, last] : {std::pair{90001L, 90034L},
                                      {90036L, 90036L},
                                      {91001L, 91018L},
                                      {92001L, 92013L},
                                      {93001L, 93060L}})
        for (long key = first; key <= last; ++key)
            all.push_back(key);
    for (int code : {1, 2})
        for (long key : all)
            EXPECT_FALSE(languageWithCode(code).Word(key).isEmpty()) << code << " " << key;
    EXPECT_EQ(tarvelo::textTableSize(), int(2 * all.size()));
}

TEST(TextTable, textsAreExactIncludingUmlautsAndFilters) {
    const cLanguage de = languageWithCode(1);
    const cLanguage en = languageWithCode(2);
    EXPECT_EQ(de.Word(40003), u"(muss auf 100.% ergänzt werden)"_q);
    EXPECT_EQ(de.Word(41001), u"Mindesluftbedarf"_q);
    EXPECT_EQ(en.Word(70001), u"The entered value has to be numerical and positive!"_q);
    EXPECT_EQ(de.Word(70002), u"Der Bericht konnte nicht geschrieben werden:"_q);
    EXPECT_EQ(en.Word(70002), u"The report could not be written:"_q);
    EXPECT_EQ(de.Word(80001), u"Speichern unter..."_q);
    EXPECT_EQ(de.Word(80002), u"TarveloV1-Ausgabe (*.htm)|*.htm"_q);
    EXPECT_EQ(en.Word(80002), u"TarveloV1-Output (*.htm)|*.htm"_q);
    EXPECT_EQ(en.Word(60016), u"Water"_q);
}

TEST(TextTable, lookupComparesWholeTableKeys) {
    EXPECT_EQ(tarvelo::lookupText(QStringLiteral("210000")), u"&File"_q);
    EXPECT_EQ(tarvelo::lookupText(QStringLiteral("2100000")), u""_q);
    EXPECT_EQ(tarvelo::lookupText(QStringLiteral(" 210000")), u""_q);
    EXPECT_EQ(tarvelo::lookupText(QStringLiteral("21000")), u""_q);
    EXPECT_EQ(languageWithCode(2).Word(99999), u""_q);
    EXPECT_EQ(languageWithCode(2).Word(-10000), u""_q);
}

} // namespace
