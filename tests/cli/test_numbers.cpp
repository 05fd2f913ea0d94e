#include "Numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

using namespace tarvelo::batch;

namespace {

struct ParseCase {
    const char* text;
    char mark;
    NumberStatus status;
    float value;
};

class ParseNumber : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseNumber, readsTextAsTheWindowWouldStoreIt) {
    const ParseCase& c = GetParam();
    const ParsedNumber parsed = parseNumber(c.text, c.mark);
    EXPECT_EQ(parsed.status, c.status) << "'" << c.text << "'";
    EXPECT_EQ(parsed.value, c.value) << "'" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(Table, ParseNumber,
                         ::testing::Values(ParseCase{"90", '.', NumberStatus::Ok, 90.0f},
                                           ParseCase{" 12.5\t", '.', NumberStatus::Ok, 12.5f},
                                           ParseCase{"12,5", ',', NumberStatus::Ok, 12.5f},
                                           ParseCase{"+3", '.', NumberStatus::Ok, 3.0f},
                                           ParseCase{"1e2", '.', NumberStatus::Ok, 100.0f},
                                           ParseCase{"2,5E-1", ',', NumberStatus::Ok, 0.25f},
                                           ParseCase{".5", '.', NumberStatus::Ok, 0.5f},
                                           ParseCase{"-0", '.', NumberStatus::Ok, 0.0f},
                                           ParseCase{"1e-60", '.', NumberStatus::Ok, 0.0f},
                                           ParseCase{"", '.', NumberStatus::Empty, 0.0f},
                                           ParseCase{"   ", ',', NumberStatus::Empty, 0.0f},
                                           ParseCase{"12,5", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"12.5", ',', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"1 2", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"9o", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"inf", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"nan", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"0x10", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"+-1", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"+", '.', NumberStatus::NotANumber, 0.0f},
                                           ParseCase{"-1", '.', NumberStatus::Negative, 0.0f},
                                           ParseCase{"-1e400", '.', NumberStatus::Negative, 0.0f},
                                           ParseCase{"1e39", '.', NumberStatus::OutOfRange, 0.0f},
                                           ParseCase{"1e400", '.', NumberStatus::OutOfRange,
                                                     0.0f}));

TEST(ParseNumberValue, roundsTheDoubleValueToSingleOnce) {
    // 0.1 read in double and then stored in single is the single nearest 0.1.
    EXPECT_EQ(parseNumber("0.1", '.').value, 0.1f);
    EXPECT_EQ(parseNumber("16777217", '.').value, 16777216.0f);
}

TEST(RoundHalfEvenDouble, roundsTiesToEvenAndLeavesHugeValues) {
    EXPECT_EQ(roundHalfEven(0.5, 0), 0.0);
    EXPECT_EQ(roundHalfEven(1.5, 0), 2.0);
    EXPECT_EQ(roundHalfEven(0.623171, 4), 0.6232);
    EXPECT_EQ(roundHalfEven(1e300, 2), 1e300);
}

struct GeneralCase {
    float value;
    int digits;
    char mark;
    const char* expected;
};

class WriteGeneral : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(WriteGeneral, writesWithoutTrailingZeros) {
    const GeneralCase& c = GetParam();
    EXPECT_EQ(generalText(c.value, c.digits, c.mark), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WriteGeneral,
    ::testing::Values(
        GeneralCase{2011.0f, 7, '.', "2011"}, GeneralCase{805.8f, 7, '.', "805.8"},
        GeneralCase{805.8f, 7, ',', "805,8"}, GeneralCase{9.5f, 7, '.', "9.5"},
        GeneralCase{0.0f, 7, '.', "0"}, GeneralCase{-0.0f, 9, '.', "0"},
        GeneralCase{9.93543339f, 9, '.', "9.93543339"},
        GeneralCase{2010.99988f, 9, ',', "2010,99988"}, GeneralCase{717.5f, 9, '.', "717.5"},
        GeneralCase{2.3829999f, 9, '.', "2.3829999"}, GeneralCase{0.0001f, 7, '.', "0.0001"},
        GeneralCase{0.00001f, 7, '.', "1e-05"}, GeneralCase{12345678.0f, 7, '.', "1.234568e+07"},
        GeneralCase{9999999.5f, 7, '.', "1e+07"}, GeneralCase{-12.25f, 7, '.', "-12.25"}));

// The fast path must agree with the C library's %g on every single value;
// a sample spread over the whole range of finite singles.
TEST(WriteGeneralAgainstPrintf, agreesAcrossTheWholeRangeOfSingles) {
    int mismatches = 0;
    for (std::uint64_t bits = 0; bits < 0xFF800000u && mismatches < 5; bits += 4099) {
        float value;
        const auto b = static_cast<std::uint32_t>(bits);
        std::memcpy(&value, &b, sizeof value);
        if (!std::isfinite(value) || value == 0.0f)
            continue;
        for (int digits : {7, 9}) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", digits, static_cast<double>(value));
            const std::string got = generalText(value, digits, '.');
            if (got != expected) {
                ++mismatches;
                ADD_FAILURE() << std::hex << b << ": " << got << " vs " << expected;
            }
        }
    }
}

TEST(WriteRounded, writesTheRoundedDecimalWithoutTrailingZeros) {
    EXPECT_EQ(roundedText(0.6232, 4, '.'), "0.6232");
    EXPECT_EQ(roundedText(0.62, 4, ','), "0,62");
    EXPECT_EQ(roundedText(13.15, 2, '.'), "13.15");
    EXPECT_EQ(roundedText(2.0, 2, '.'), "2");
    EXPECT_EQ(roundedText(0.0, 4, '.'), "0");
    EXPECT_EQ(roundedText(0.0695, 4, '.'), "0.0695");
    EXPECT_EQ(roundedText(-1.5, 2, '.'), "-1.5");
}

} // namespace
