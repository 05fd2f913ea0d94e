// The shortcuts of number reading and writing against the general paths they
// stand in for: the same status, value bits or text on every value tried.
#include "Numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace tarvelo::batch;

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Counts the texts on which parseNumber and parseNumberGeneral disagree,
// naming the first few.
class ParseAgreement {
public:
    void check(const std::string& text, char mark) {
        const ParsedNumber fast = parseNumber(text, mark);
        const ParsedNumber general = parseNumberGeneral(text, mark);
        if (fast.status != general.status || bitsOf(fast.value) != bitsOf(general.value)) {
            if (++mismatches_ <= 5)
                ADD_FAILURE() << "'" << text << "' mark " << mark << ": " << fast.value << " vs "
                              << general.value;
        }
        ++checked_;
    }
    int mismatches() const { return mismatches_; }
    int checked() const { return checked_; }

private:
    int mismatches_ = 0;
    int checked_ = 0;
};

std::string withMark(std::string text, char mark) {
    for (char& c : text)
        if (c == '.')
            c = mark;
    return text;
}

TEST(FastParse, agreesWithFromCharsOnEdgeCases) {
    ParseAgreement agreement;
    const char* const texts[] = {
        "0", "00", "0.0", "000.000", "0.125", "0.375", "2.675", "99.995", "100", "100.0", "1", "9",
        "10", "9.999999999999999", "9.9999999999999999", "0.1", "0.01", "1000000",
        "1000000000000000000", "9999999999999999999", "10000000000000000000", "9007199254740992",
        "9007199254740993", "9007199254740991.9", "900719925474099.3", "0.0000000000000000001",
        "0.00000000000000000001", "1234567890.123456789", "16777216", "16777217", "16777218",
        "16777219", "33554435", "0.000000000000000001", "3.4028234e38",
        "340282356779733661637539395458142568448", "340282366920938463463374607431768211456",
        "1.17549435e-38", "1e-45", "1e-46",
        // not plain: the general path decides
        ".5", "5.", ".", "1..2", "1.2.3", "+5", "+", "-0", "-0.0", "-1", "1e2", "1E-2", "0x10",
        "nan", "inf", " 12.5 ", "\t7\t", "", "  ", "12,5", "12.5", "1 2", "9o", "1_000"};
    for (const char* text : texts)
        for (const char mark : {'.', ','})
            agreement.check(withMark(text, mark), mark), agreement.check(text, mark);
    EXPECT_EQ(agreement.mismatches(), 0);
}

TEST(FastParse, agreesWithFromCharsOnRandomDecimals) {
    ParseAgreement agreement;
    std::mt19937_64 random(7);
    for (int i = 0; i < 300000; ++i) {
        // Up to 21 digits, split anywhere, so that both sides of the limits
        // of 19 digits and 2^53 are reached.
        const int count = 1 + int(random() % 21);
        std::string digits;
        for (int d = 0; d < count; ++d)
            digits.push_back(char('0' + random() % 10));
        if (random() % 4 == 0)
            digits[0] = '9';
        const std::size_t split = random() % (digits.size() + 1);
        std::string text = digits;
        if (split < digits.size())
            text.insert(split, 1, '.');
        const char mark = (i & 1) ? ',' : '.';
        agreement.check(withMark(text, mark), mark);
    }
    // Decimals printed from doubles and singles: round trips and halfway cases.
    for (int i = 0; i < 200000; ++i) {
        const double value = std::ldexp(double(random() >> 11), -int(random() % 80));
        char text[64];
        std::snprintf(text, sizeof text, "%.*f", int(random() % 20), value);
        agreement.check(text, '.');
        const float single = floatOf(std::uint32_t(random() % 0x7f7fffffu));
        const float next = std::nextafter(single, INFINITY);
        // The decimal halfway between two singles, rounded to 17 digits.
        std::snprintf(text, sizeof text, "%.17g", (double(single) + double(next)) / 2);
        if (!std::strchr(text, 'e'))
            agreement.check(text, '.');
    }
    EXPECT_EQ(agreement.mismatches(), 0);
    EXPECT_GT(agreement.checked(), 500000);
}

std::string general7(float value, int decimals, char mark) {
    return generalText(roundHalfEven(value, decimals), 7, mark);
}

std::string displayed(float value, int decimals, char mark) {
    char text[kMaxNumberText];
    return std::string(text, writeDisplayed(text, value, decimals, mark));
}

// The shortcut writes the rounded integer below a million; every such
// integer is checked, through the single nearest it and its neighbours.
TEST(FastDisplay, agreesWithTheGeneralFormOnEveryRoundedValueBelowAMillion) {
    int mismatches = 0;
    for (int decimals = 0; decimals <= 3; ++decimals) {
        const double scale = std::pow(10.0, decimals);
        for (std::uint32_t k = 0; k < 1000000 + 1000 && mismatches < 5; ++k) {
            const float value = static_cast<float>(k / scale);
            for (const float v :
                 {value, std::nextafter(value, 0.0f), std::nextafter(value, INFINITY)}) {
                const std::string fast = displayed(v, decimals, '.');
                const std::string general = general7(v, decimals, '.');
                if (fast != general && ++mismatches <= 5)
                    ADD_FAILURE() << v << " to " << decimals << ": " << fast << " vs " << general;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(FastDisplay, roundsTiesToEvenAndHandlesTheEdges) {
    EXPECT_EQ(displayed(0.125f, 2, '.'), "0.12");
    EXPECT_EQ(displayed(0.375f, 2, ','), "0,38");
    EXPECT_EQ(displayed(2.5f, 0, '.'), "2");
    EXPECT_EQ(displayed(358.75f, 1, '.'), "358.8");
    EXPECT_EQ(displayed(2010.99988f, 1, '.'), "2011");
    EXPECT_EQ(displayed(-0.001f, 2, '.'), "0");
    const float edges[] = {0.0f,     -0.0f,  FLT_MIN,   FLT_TRUE_MIN, FLT_MAX,      -FLT_MAX,
                           INFINITY, 1e6f,   999999.9f, 9999999.0f,   1.2345678e7f, -12.345f,
                           -0.005f,  0.005f, 0.015f,    1e-30f};
    for (const float value : edges)
        for (int decimals = 0; decimals <= 3; ++decimals)
            EXPECT_EQ(displayed(value, decimals, ','), general7(value, decimals, ','))
                << value << " to " << decimals;
}

TEST(FastDisplay, agreesWithTheGeneralFormAcrossTheWholeRangeOfSingles) {
    int mismatches = 0;
    for (std::uint64_t bits = 0; bits < 0xFF800000u && mismatches < 5; bits += 7919) {
        const float value = floatOf(std::uint32_t(bits));
        for (int decimals = 0; decimals <= 3; ++decimals) {
            const std::string fast = displayed(value, decimals, '.');
            const std::string general = general7(value, decimals, '.');
            if (fast != general && ++mismatches <= 5)
                ADD_FAILURE() << value << " to " << decimals << ": " << fast << " vs " << general;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

std::string roundedFast(double value, int decimals, char mark) {
    char text[kMaxNumberText];
    return std::string(text, writeRoundedHalfEven(text, value, decimals, mark));
}

std::string roundedGeneral(double value, int decimals, char mark) {
    return roundedText(roundHalfEven(value, decimals), decimals, mark);
}

TEST(FastRounded, agreesWithRoundingThenWritingOnTiesEdgesAndRandomValues) {
    const double edges[] = {0.0,
                            -0.0,
                            0.5,
                            1.5,
                            2.5,
                            0.125,
                            0.375,
                            0.00005,
                            0.00015,
                            0.6232,
                            13.145,
                            -13.145,
                            1e15,
                            1e15 - 1,
                            999999999999999.4,
                            1e14 + 0.5,
                            1e10 + 0.00005,
                            1e300,
                            -1e300,
                            INFINITY,
                            -INFINITY,
                            NAN,
                            DBL_MIN,
                            DBL_TRUE_MIN,
                            4.9999999999999996e-05};
    for (const double value : edges)
        for (int decimals = 0; decimals <= 9; ++decimals)
            EXPECT_EQ(roundedFast(value, decimals, ','), roundedGeneral(value, decimals, ','))
                << value << " to " << decimals;

    std::mt19937_64 random(11);
    int mismatches = 0;
    for (int i = 0; i < 400000 && mismatches < 5; ++i) {
        const int decimals = int(random() % 10);
        double value;
        switch (i % 3) {
        case 0: // ties and near ties: k + 1/2 units of the last decimal
            value = (double(random() % 100000000) + 0.5) / std::pow(10.0, decimals);
            break;
        case 1: // any magnitude
            value =
                std::ldexp(double(random() >> 11) / 9007199254740992.0, int(random() % 120) - 60);
            break;
        default: // numbers like d and the Wobbe index
            value = double(random() % 3000000) / 1e6 * 30.0;
        }
        if (random() & 1)
            value = -value;
        const std::string fast = roundedFast(value, decimals, '.');
        const std::string general = roundedGeneral(value, decimals, '.');
        if (fast != general && ++mismatches <= 5)
            ADD_FAILURE() << value << " to " << decimals << ": " << fast << " vs " << general;
    }
    EXPECT_EQ(mismatches, 0);
}

// writeGeneral against printf near powers of ten (where the count of integer
// digits changes and rounding may carry into a new digit), near the largest
// single and among the subnormals, for every count of digits.
TEST(FastGeneral, agreesWithPrintfNearPowersOfTenAndAtTheEndsOfTheRange) {
    std::vector<float> values;
    for (int power = -8; power <= 10; ++power) {
        float v = static_cast<float>(std::pow(10.0, power));
        for (int i = 0; i < 300; ++i)
            v = std::nextafter(v, 0.0f);
        for (int i = 0; i < 600; ++i, v = std::nextafter(v, INFINITY))
            values.push_back(v);
    }
    for (std::uint32_t i = 0; i < 2000; ++i) {
        values.push_back(floatOf(0x7f7fffffu - i)); // near FLT_MAX
        values.push_back(floatOf(1 + i * 4093));    // subnormals
        values.push_back(floatOf(0x00800000u + i)); // the smallest normals
    }
    int mismatches = 0;
    for (const float value : values) {
        for (int digits = 1; digits <= 9; ++digits) {
            for (const float v : {value, -value}) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%.*g", digits, static_cast<double>(v));
                const std::string got = generalText(v, digits, '.');
                if (got != expected && ++mismatches <= 5)
                    ADD_FAILURE() << std::hex << bitsOf(v) << " with " << std::dec << digits
                                  << " digits: " << got << " vs " << expected;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

// The double writer against printf: random magnitudes across the plain and
// the exponent forms, the doubles next to powers of ten, exact binary ties
// at the last digit kept, and the doubles nearest decimal ties, where the
// rounding of the scaled product must not decide.
TEST(FastGeneral, writesDoublesAsPrintfDoes) {
    std::mt19937_64 random(7);
    std::vector<double> values;
    std::uniform_real_distribution<double> exponent(-7.0, 11.0);
    for (int i = 0; i < 200000; ++i)
        values.push_back(std::pow(10.0, exponent(random)));
    for (int power = -6; power <= 10; ++power) {
        double v = std::pow(10.0, power);
        for (int i = 0; i < 20; ++i)
            v = std::nextafter(v, 0.0);
        for (int i = 0; i < 40; ++i, v = std::nextafter(v, INFINITY))
            values.push_back(v);
    }
    for (std::uint64_t whole = 1; whole < 4000000; whole += 997)
        for (const double scale : {1.0, 0.5, 0.25, 0.125, 1.0 / 1024})
            values.push_back((double(whole) + 0.5) * scale);
    // Decimal ties: the double nearest n.5 / 10^k lies just above or below
    // the tie, which only the exact product tells.
    std::uniform_int_distribution<std::uint64_t> nine(100000000, 999999999);
    for (int i = 0; i < 100000; ++i)
        values.push_back((double(nine(random)) + 0.5) / std::pow(10.0, double(i % 13)));
    int mismatches = 0;
    for (const double value : values)
        for (const int digits : {1, 4, 7, 9})
            for (const double v : {value, -value}) {
                char expected[64];
                std::snprintf(expected, sizeof expected, "%.*g", digits, v);
                char got[kMaxNumberText];
                const std::string text(got, writeGeneral(got, v, digits, '.'));
                if (text != expected && ++mismatches <= 5)
                    ADD_FAILURE() << std::hexfloat << v << " with " << std::dec << digits
                                  << " digits: " << text << " vs " << expected;
            }
    EXPECT_EQ(mismatches, 0);
}

// The text of k / 10^decimals built from the integer alone: the integer
// part, then the mark and the decimals without trailing zeros.
std::string scaledText(std::uint64_t k, int decimals, char mark) {
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    std::string text = std::to_string(k / scale);
    std::string fraction = decimals == 0 ? std::string() : std::to_string(k % scale);
    fraction.insert(0, std::size_t(decimals) - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty())
        text += mark + fraction;
    return text;
}

// The shortcut skips the leading zeros of the digit words by counting zero
// bytes: every count of them, in the one-word and the two-word case, and
// the numbers at both ends of each count.
TEST(FastRounded, writesEveryLengthOfIntegerWithoutLeadingZeros) {
    std::vector<std::uint64_t> values = {0};
    std::uint64_t power = 1;
    for (int length = 1; length <= 15; ++length, power *= 10)
        for (const std::uint64_t k : {power, power + 1, 2 * power + 7, 9 * power, 10 * power - 1})
            values.push_back(k);
    std::mt19937_64 random(11);
    for (int i = 0; i < 20000; ++i)
        values.push_back((random() >> 14) % (std::uint64_t(1) << (1 + random() % 49)));
    int mismatches = 0;
    for (const std::uint64_t k : values)
        for (int decimals = 0; decimals <= 4; ++decimals)
            for (const char mark : {'.', ','}) {
                double scale = 1;
                for (int i = 0; i < decimals; ++i)
                    scale *= 10;
                const double value = double(k) / scale;
                char text[kMaxNumberText];
                const std::string written(text, writeRoundedHalfEven(text, value, decimals, mark));
                const std::string expected = scaledText(k, decimals, mark);
                if (written != expected && ++mismatches <= 5)
                    ADD_FAILURE() << k << " / 10^" << decimals << ": '" << written << "' vs '"
                                  << expected << "'";
                if (k != 0) {
                    const std::string negative(text,
                                               writeRoundedHalfEven(text, -value, decimals, mark));
                    if (negative != "-" + expected && ++mismatches <= 5)
                        ADD_FAILURE()
                            << "-" << k << " / 10^" << decimals << ": '" << negative << "'";
                }
            }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
