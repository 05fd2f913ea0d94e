#include "Rounding.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace {

struct RoundCase {
    float value;
    int decimals;
    float rounded;
};

TEST(Rounding, roundsHalfToEven) {
    const RoundCase cases[] = {
        {9.526f, 2, 9.53f},        {1234.56f, 1, 1234.6f},
        {0.125f, 2, 0.12f},        {0.375f, 2, 0.38f},
        {0.25f, 1, 0.2f},          {0.35f, 1, 0.3f}, // 0.35f is a little below 0.35
        {2.99499989f, 2, 2.99f},   {10.375f, 2, 10.38f},
        {805.75f, 1, 805.8f},      {358.75f, 1, 358.8f},
        {2010.99988f, 1, 2011.0f}, {805.759949f, 1, 805.8f},
        {2.5f, 0, 2.0f},           {3.5f, 0, 4.0f},
        {-0.125f, 2, -0.12f},      {0.0005f, 3, 0.001f}, // 0.0005f lies just above the tie
        {0.0625f, 3, 0.062f},
    };
    for (const RoundCase& c : cases)
        EXPECT_EQ(tarvelo::roundHalfEven(c.value, c.decimals), c.rounded)
            << c.value << " to " << c.decimals;
    EXPECT_TRUE(std::isinf(tarvelo::roundHalfEven(std::numeric_limits<float>::infinity(), 2)));
}

} // namespace
