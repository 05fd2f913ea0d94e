#include "QualitySheet.h"

#include "Components.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace quality = tarvelo::quality;
using quality::Refusal;

quality::Row row(const char* component, std::optional<double> percent, double u = 0.0) {
    return {*tarvelo::components::find(component), percent, u, "x", ""};
}

TEST(QualitySheet, decimalsFollowTwoSignificantDigitsOfTheUncertainty) {
    const std::pair<double, int> cases[] = {{0.00045, 5}, {0.0263, 3}, {0.17, 2}, {0.0996, 2},
                                            {1.5, 1},     {25.0, 0},   {0.0, 6},  {1e-14, 10}};
    for (const auto& [u, decimals] : cases)
        EXPECT_EQ(quality::decimalsFor(u), decimals) << u;
}

TEST(QualitySheet, refusalsNameTheirCulprit) {
    using V = std::vector<quality::Row>;
    namespace r = quality::refusal;
    const std::pair<V, Refusal> cases[] = {
        {V{}, {r::kNoComponent, {}}},
        {V{row("CH4", 100), row("methane", 0)}, {r::kTwice, {"methane"}}},
        {V{row("CH4", std::nullopt)}, {r::kNotANumber, {"methane", "x"}}},
        {V{row("CH4", 101), row("N2", -1)}, {r::kNegative, {"nitrogen"}}},
        {V{row("CH4", 100, -0.1)}, {r::kNegativeU, {"methane"}}},
        {V{row("CH4", 99.98)}, {r::kSum, {"99.9800", "0.01"}}},
    };
    for (const auto& [rows, refusal] : cases) {
        const quality::Outcome outcome = quality::evaluate(rows, {}, 1.0, {});
        EXPECT_FALSE(outcome.iso);
        EXPECT_EQ(outcome.isoRefused, refusal);
    }
    // Within 0.01 mol% of 100 is accepted as the library accepts it.
    EXPECT_TRUE(quality::evaluate({row("CH4", 99.995)}, {}, 1.0, {}).iso);
    const auto heavy = quality::evaluate({row("n-decane", 100)}, {}, 1.0, {});
    EXPECT_EQ(heavy.isoRefused, (Refusal{r::kCompression, {"0.9"}}));
    // The equations of state lack ethene: ISO 6976's results stay.
    const auto ethene = quality::evaluate({row("CH4", 99), row("C2H4", 1)}, {}, 1.0, {});
    EXPECT_TRUE(ethene.iso);
    EXPECT_FALSE(ethene.line);
    EXPECT_EQ(ethene.lineRefused, (Refusal{r::kModelLacks, {"GERG-2008", "ethene"}}));
}

TEST(QualitySheet, clipboardHasFullPrecisionAndTheWindowsDecimalMark) {
    const auto outcome = quality::evaluate({row("CH4", 100)}, {}, 1.0, {});
    const std::string text = quality::clipboardText(outcome, ',');
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1)),
              "key\tvalue\tU\tunit\nM\t" + quality::shortest(outcome.iso->results[0].value, ',') +
                  '\t' + quality::shortest(outcome.iso->results[0].u, ',') + "\tkg/kmol");
    EXPECT_EQ(quality::shortest(0.1, ','), "0,1");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 18 + 4); // header, ISO, line
}

} // namespace
