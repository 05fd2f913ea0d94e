#include "Domain.h"

#include <gtest/gtest.h>

using namespace tarvelo;

namespace {

TEST(Components, areFoundByFormulaLabelInAnyCase) {
    for (int i = 0; i < kComponentCount; ++i)
        EXPECT_EQ(componentIndex(kComponentLabels[std::size_t(i)]), i);
    EXPECT_EQ(componentIndex("ch4"), 0);
    EXPECT_EQ(componentIndex("iso-c4h10"), 3);
    EXPECT_EQ(componentIndex("n-C4h10"), 4);
    EXPECT_EQ(componentIndex("h2o"), 15);
    EXPECT_FALSE(componentIndex("C4H10"));
    EXPECT_FALSE(componentIndex("CH4 "));
    EXPECT_FALSE(componentIndex(""));
}

} // namespace
