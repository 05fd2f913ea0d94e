#include "Iso6976.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace gq = tarvelo::gasquality;
using gq::Result;

namespace {

struct Amount {
    const char* name;
    double molPercent;
    double uMolPercent;
};

gq::Composition composition(const std::vector<Amount>& amounts) {
    gq::Composition c;
    for (const Amount& a : amounts) {
        const auto index = gq::findComponent(a.name);
        EXPECT_TRUE(index) << a.name;
        c.fraction[*index] = a.molPercent / 100.0;
        c.fractionU[*index] = a.uMolPercent / 100.0;
    }
    return c;
}

// ISO 6976:2016 Annex D.2, Example 1.
const std::vector<Amount> kExample1 = {{"methane", 93.3212, 0.0346},
                                       {"ethane", 2.5656, 0.0243},
                                       {"propane", 1.5368, 0.0148},
                                       {"nitrogen", 1.0350, 0.0195},
                                       {"carbon dioxide", 1.5414, 0.0111}};

// Annex D.3, Example 2 (with water vapour), and D.4, Example 3.
const std::vector<Amount> kExample2 = {{"methane", 93.1819, 0.0350},
                                       {"ethane", 2.5618, 0.0243},
                                       {"nitrogen", 1.0335, 0.0195},
                                       {"carbon dioxide", 1.5391, 0.0111},
                                       {"water", 1.6837, 0.0162}};
const std::vector<Amount> kExample3 = {
    {"methane", 92.2393, 0.0348},      {"ethane", 2.5358, 0.0247},
    {"propane", 1.5190, 0.0149},       {"n-butane", 0.0523, 0.0018},
    {"isobutane", 0.1512, 0.0027},     {"n-pentane", 0.2846, 0.0007},
    {"isopentane", 0.2832, 0.0009},    {"neopentane", 0.1015, 0.0004},
    {"n-hexane", 0.2865, 0.0008},      {"nitrogen", 1.0230, 0.0195},
    {"carbon dioxide", 1.5236, 0.0112}};
// D.4.3.2: the correlation of Example 3's fractions, in the order above.
const std::vector<std::vector<double>> kExample3Correlation = {
    {1, -0.657246, -0.377458, -0.041205, -0.056924, 0.099228, 0.061961, 0.064295, 0.080202,
     -0.512347, -0.265664},
    {-0.657246, 1, -0.035617, -0.007450, -0.013720, -0.085690, -0.063295, -0.054908, -0.074061,
     -0.030668, -0.038371},
    {-0.377458, -0.035617, 1, -0.004442, -0.007810, -0.039877, -0.029677, -0.025538, -0.034574,
     -0.024994, -0.023925},
    {-0.041205, -0.007450, -0.004442, 1, -0.000824, -0.000592, -0.000551, -0.000372, -0.000567,
     -0.005703, -0.003373},
    {-0.056924, -0.013720, -0.007810, -0.000824, 1, 0.002803, 0.001827, 0.001811, 0.002303,
     -0.010740, -0.005392},
    {0.099228, -0.085690, -0.039877, -0.000592, 0.002803, 1, 0.079557, 0.071180, 0.094670,
     -0.072794, -0.014019},
    {0.061961, -0.063295, -0.029677, -0.000551, 0.001827, 0.079557, 1, 0.051085, 0.067927,
     -0.053627, -0.010845},
    {0.064295, -0.054908, -0.025538, -0.000372, 0.001811, 0.071180, 0.051085, 1, 0.060788,
     -0.046653, -0.008952},
    {0.080202, -0.074061, -0.034574, -0.000567, 0.002303, 0.094670, 0.067927, 0.060788, 1,
     -0.062845, -0.012357},
    {-0.512347, -0.030668, -0.024994, -0.005703, -0.010740, -0.072794, -0.053627, -0.046653,
     -0.062845, 1, -0.028699},
    {-0.265664, -0.038371, -0.023925, -0.003373, -0.005392, -0.014019, -0.010845, -0.008952,
     -0.012357, -0.028699, 1}};

gq::Composition correlated(const std::vector<Amount>& amounts,
                           const std::vector<std::vector<double>>& r) {
    gq::Composition c = composition(amounts);
    c.correlation.assign(gq::kComponentCount * gq::kComponentCount, 0.0);
    for (std::size_t i = 0; i < gq::kComponentCount; ++i)
        c.correlation[i * gq::kComponentCount + i] = 1.0;
    for (std::size_t i = 0; i < r.size(); ++i)
        for (std::size_t j = 0; j < r.size(); ++j)
            c.correlation[*gq::findComponent(amounts[i].name) * gq::kComponentCount +
                          *gq::findComponent(amounts[j].name)] = r[i][j];
    return c;
}

struct Published {
    Result result;
    bool uncertainty;
    double value;
    int decimals; // as published: the result must round to it
};

} // namespace

// Each figure the standard prints for its worked example, to its last digit.
TEST(Iso6976, reproducesTheWorkedExamplesToEveryPublishedDigit) {
    struct Example {
        const char* name;
        gq::Composition gas;
        gq::ReferenceConditions reference;
        std::vector<Published> published;
    };
    // Example 3 prints Hs, Hi, D, G, Ws, Wi and their uncertainties.
    auto example3 = [](Published hs, Published hi, Published d, Published g, Published ws,
                       Published wi) { return std::vector<Published>{hs, hi, d, g, ws, wi}; };
    const gq::Composition ex3 = composition(kExample3);
    const gq::Composition ex3r = correlated(kExample3, kExample3Correlation);
    const std::vector<Example> examples = {
        {"D.2, Example 1, 15/15 °C",
         composition(kExample1),
         {15.0, 15.0, 101.325},
         {{Result::M, false, 17.3884301, 7},
          {Result::Z, false, 0.99776224, 8},
          {Result::Hc_gross, false, 906.1799588, 7},
          {Result::Hc_gross, true, 0.615609872, 9},
          {Result::Hm_gross, false, 52.113961, 6},
          {Result::Hm_gross, true, 0.024301, 6},
          {Result::Hv_gross, false, 38.410611, 6},
          {Result::Hv_gross, true, 0.026267, 6}}},
        {"D.3, Example 2, 15.55/15.55 °C",
         composition(kExample2),
         {15.55, 15.55, 101.325},
         {{Result::M, false, 16.9891697, 7},
          {Result::Z, false, 0.9975690, 7},
          {Result::Hc_gross, false, 871.443916, 6},
          {Result::Hc_gross, true, 0.522493911, 9},
          {Result::Hm_gross, false, 51.294085, 6},
          {Result::Hm_gross, true, 0.025938, 6},
          {Result::Hv_gross, false, 36.874304, 6},
          {Result::Hv_gross, true, 0.022289, 6}}},
        {"D.4.3.1, Example 3, 15/15 °C, values",
         ex3,
         {15.0, 15.0, 101.325},
         example3({Result::Hv_gross, false, 39.73351, 5}, {Result::Hv_net, false, 35.86811, 5},
                  {Result::D, false, 0.76462, 5}, {Result::G, false, 0.62391, 5},
                  {Result::W_gross, false, 50.30318, 5}, {Result::W_net, false, 45.40954, 5})},
        {"D.4.3.1, Example 3, 15/15 °C, uncorrelated",
         ex3,
         {15.0, 15.0, 101.325},
         example3({Result::Hv_gross, true, 0.026917, 6}, {Result::Hv_net, true, 0.024757, 6},
                  {Result::D, true, 0.000586, 6}, {Result::G, true, 0.000478, 6},
                  {Result::W_gross, true, 0.021588, 6}, {Result::W_net, true, 0.020151, 6})},
        {"D.4.3.2, Example 3, 15/15 °C, correlated",
         ex3r,
         {15.0, 15.0, 101.325},
         example3({Result::Hv_gross, true, 0.016316, 6}, {Result::Hv_net, true, 0.015305, 6},
                  {Result::D, true, 0.000277, 6}, {Result::G, true, 0.000226, 6},
                  {Result::W_gross, true, 0.019823, 6}, {Result::W_net, true, 0.018498, 6})},
        {"D.4.4.1, Example 3, 25/0 °C, values",
         ex3,
         {25.0, 0.0, 101.325},
         example3({Result::Hv_gross, false, 41.89360, 5}, {Result::Hv_net, false, 37.85228, 5},
                  {Result::D, false, 0.80701, 5}, {Result::G, false, 0.62411, 5},
                  {Result::W_gross, false, 53.02930, 5}, {Result::W_net, false, 47.91376, 5})},
        {"D.4.4.1, Example 3, 25/0 °C, uncorrelated",
         ex3,
         {25.0, 0.0, 101.325},
         example3({Result::Hv_gross, true, 0.028425, 6}, {Result::Hv_net, true, 0.026164, 6},
                  {Result::D, true, 0.000619, 6}, {Result::G, true, 0.000479, 6},
                  {Result::W_gross, true, 0.022783, 6}, {Result::W_net, true, 0.021278, 6})},
        {"D.4.4.2, Example 3, 25/0 °C, correlated",
         ex3r,
         {25.0, 0.0, 101.325},
         example3({Result::Hv_gross, true, 0.017241, 6}, {Result::Hv_net, true, 0.016181, 6},
                  {Result::D, true, 0.000293, 6}, {Result::G, true, 0.000227, 6},
                  {Result::W_gross, true, 0.020914, 6}, {Result::W_net, true, 0.019528, 6})},
    };
    for (const Example& example : examples) {
        const gq::Properties p = gq::calculate(example.gas, example.reference);
        for (const Published& figure : example.published) {
            const gq::Quantity& q = p[figure.result];
            const double got = figure.uncertainty ? q.u : q.value;
            const double half = 0.5 * std::pow(10.0, -figure.decimals);
            EXPECT_NEAR(got, figure.value, half)
                << example.name << ": " << (figure.uncertainty ? "u_" : "")
                << gq::kResultKeys[std::size_t(figure.result)];
        }
    }
}

// Relations that hold whatever the tables say, at every reference pair.
TEST(Iso6976, resultsKeepTheirPhysicalRelations) {
    const gq::Composition gas = composition(kExample1);
    // Hydrogen atoms per molecule of the mixture, halved: water formed.
    const double water = 0.933212 * 2 + 0.025656 * 3 + 0.015368 * 4;
    const std::pair<double, double> vaporisation[] = {{0, 45.064}, {15, 44.431}, {25, 44.013}};
    for (const auto& [combustion, L] : vaporisation) {
        for (const double metering : {0.0, 15.0, 15.55, 20.0}) {
            const gq::ReferenceConditions ref{combustion, metering, 95.0};
            const gq::Properties p = gq::calculate(gas, ref);
            const gq::Properties p2 = gq::calculate(gas, ref, 2.0);
            const double z = p[Result::Z].value;
            const auto v = [&](Result r) { return p[r].value; };
            EXPECT_NEAR(v(Result::Hv_gross_ideal), v(Result::Hv_gross) * z, 1e-12);
            EXPECT_NEAR(v(Result::Hv_net_ideal), v(Result::Hv_net) * z, 1e-12);
            EXPECT_NEAR(v(Result::D_ideal), v(Result::D) * z, 1e-12);
            EXPECT_NEAR(v(Result::W_gross), v(Result::Hv_gross) / std::sqrt(v(Result::G)), 1e-12);
            EXPECT_NEAR(v(Result::W_net_ideal),
                        v(Result::Hv_net_ideal) / std::sqrt(v(Result::G_ideal)), 1e-12);
            EXPECT_NEAR(v(Result::Hm_gross), v(Result::Hc_gross) / v(Result::M), 1e-12);
            EXPECT_NEAR(v(Result::Hm_net), v(Result::Hc_net) / v(Result::M), 1e-12);
            EXPECT_NEAR(v(Result::Hc_gross) - v(Result::Hc_net), water * L, 1e-9);
            EXPECT_NEAR(v(Result::G_ideal), v(Result::M) / 28.96546, 1e-12);
            for (std::size_t r = 0; r < gq::kResultCount; ++r) {
                EXPECT_GT(p.results[r].u, 0.0) << gq::kResultKeys[r];
                EXPECT_DOUBLE_EQ(p2.results[r].value, p.results[r].value) << gq::kResultKeys[r];
                EXPECT_DOUBLE_EQ(p2.results[r].u, 2.0 * p.results[r].u) << gq::kResultKeys[r];
            }
        }
    }
    // A full correlation of +1 between two fractions adds to the
    // uncertainty exactly as if they were one.
    gq::Composition correlated = gas;
    correlated.correlation.assign(gq::kComponentCount * gq::kComponentCount, 0.0);
    for (std::size_t i = 0; i < gq::kComponentCount; ++i)
        correlated.correlation[i * gq::kComponentCount + i] = 1.0;
    const std::size_t ch4 = *gq::findComponent("CH4"), c2h6 = *gq::findComponent("C2H6");
    EXPECT_EQ(*gq::findComponent("Iso-C4H10"), *gq::findComponent("isobutane"));
    EXPECT_EQ(*gq::findComponent("hydrogen sulphide"), *gq::findComponent("Hydrogen Sulfide"));
    EXPECT_DOUBLE_EQ(gq::calculate(correlated, {}).results[0].u,
                     gq::calculate(gas, {}).results[0].u);
    correlated.correlation[ch4 * gq::kComponentCount + c2h6] = 1.0;
    correlated.correlation[c2h6 * gq::kComponentCount + ch4] = 1.0;
    const double u = gq::calculate(correlated, {})[Result::M].u;
    const double m1 = 16.04246 * gas.fractionU[ch4] + 30.06904 * gas.fractionU[c2h6];
    const gq::Properties plain = gq::calculate(gas, {});
    const double uncorrelated = plain[Result::M].u;
    const double m0 = std::hypot(16.04246 * gas.fractionU[ch4], 30.06904 * gas.fractionU[c2h6]);
    EXPECT_NEAR(u * u - uncorrelated * uncorrelated, m1 * m1 - m0 * m0, 1e-15);
}

// The limits of the standard: each refusal names its culprit.
TEST(Iso6976, refusesInputOutsideTheStandardNamingTheCulprit) {
    struct Case {
        const char* what;
        std::vector<Amount> amounts;
        gq::ReferenceConditions reference;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"combustion", kExample1, {30, 15, 101.325}, "combustion temperature 30 °C"},
        {"metering", kExample1, {25, 25, 101.325}, "metering temperature 25 °C"},
        {"low pressure", kExample1, {25, 0, 89.9}, "pressure 89.9 kPa"},
        {"high pressure", kExample1, {25, 0, 110.5}, "pressure 110.5 kPa"},
        {"negative",
         {{"methane", 101, 0}, {"nitrogen", -1, 0}},
         {},
         "nitrogen: negative amount -1"},
        {"sum", {{"methane", 99.98, 0}}, {}, "add up to 99.98 mol%"},
        {"Z", {{"n-pentadecane", 100, 0}}, {}, "compression factor Z = "},
    };
    for (const Case& c : cases) {
        try {
            gq::calculate(composition(c.amounts), c.reference);
            ADD_FAILURE() << c.what << ": not refused";
        } catch (const gq::Iso6976Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
                << c.what << ": " << e.what();
        }
    }
    // Within 0.01 mol% of 100 is accepted as rounded; normalise() scales.
    EXPECT_NO_THROW(gq::calculate(composition({{"methane", 99.991, 0}}), {}));
    gq::Composition half = composition({{"methane", 45, 0.02}, {"ethane", 5, 0}});
    EXPECT_DOUBLE_EQ(gq::normalise(half), 0.5);
    EXPECT_DOUBLE_EQ(half.fraction[0], 0.9);
    EXPECT_DOUBLE_EQ(half.fractionU[0], 0.0004);
}

// Gases that do not burn, or whose net value is 0, and mixtures of them:
// every value and uncertainty is a finite number, calorific values of 0
// carry the uncertainty of the data only.
TEST(Iso6976, gasesThatDoNotBurnGetFiniteValuesAndUncertainties) {
    const std::vector<std::vector<Amount>> gases = {{{"nitrogen", 100, 0.01}},
                                                    {{"helium", 100, 0}},
                                                    {{"argon", 100, 0}},
                                                    {{"nitrogen", 60, 0.02}, {"CO2", 40, 0.02}},
                                                    {{"water", 100, 0}}};
    for (const auto& amounts : gases) {
        const gq::Properties p = gq::calculate(composition(amounts), {});
        for (std::size_t r = 0; r < gq::kResultCount; ++r) {
            EXPECT_TRUE(std::isfinite(p.results[r].value)) << amounts[0].name << r;
            EXPECT_TRUE(std::isfinite(p.results[r].u)) << amounts[0].name << r;
        }
        EXPECT_GT(p[Result::G].u, 0.0) << amounts[0].name;
        EXPECT_GT(p[Result::D].u, 0.0) << amounts[0].name;
    }
    const gq::Properties helium = gq::calculate(composition(gases[1]), {});
    EXPECT_EQ(helium[Result::W_gross].value, 0.0);
    EXPECT_EQ(helium[Result::W_gross].u, 0.0); // its table gives Hc = 0 exactly
    const gq::Properties water = gq::calculate(composition(gases[4]), {});
    EXPECT_NEAR(water[Result::Hc_net].value, 0.0, 1e-12);
    EXPECT_GT(water[Result::Hv_net].u, 0.0); // that of the enthalpy of vaporisation
}

// A correlation matrix must be positive semidefinite; 1e-10 °C is 0 °C.
TEST(Iso6976, refusesImpossibleCorrelationsAndReportsTheConditionsUsed) {
    gq::Composition gas = composition(kExample1);
    const std::size_t n = gq::kComponentCount;
    for (const double r : {-1.0, -0.9, -0.4}) {
        gas.correlation.assign(n * n, 0.0);
        for (std::size_t i = 0; i < n; ++i)
            gas.correlation[i * n + i] = 1.0;
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t j = 0; j < 3; ++j)
                if (i != j)
                    gas.correlation[i * n + j] = r;
        if (r > -0.5) {
            EXPECT_NO_THROW(gq::calculate(gas, {})) << r;
            continue;
        }
        try {
            gq::calculate(gas, {});
            ADD_FAILURE() << r << ": not refused";
        } catch (const gq::Iso6976Error& e) {
            EXPECT_STREQ(e.what(), "the correlations of methane, ethane and propane cannot hold "
                                   "together: the correlation matrix is not positive semidefinite");
        }
    }
    const gq::Properties p = gq::calculate(composition(kExample1), {-0.0, 1e-10, 101.325});
    EXPECT_EQ(p.reference.meteringC, 0.0);
    EXPECT_FALSE(std::signbit(p.reference.combustionC));
    EXPECT_THROW(gq::calculate(composition(kExample1), {}, 1e308), gq::Iso6976Error);
}

// The batch's values-only path over the components a header names gives the
// full calculation's values bit for bit, for random subsets and amounts at
// every pair of reference temperatures.
TEST(Iso6976, valuesOfTheNamedComponentsAreThoseOfTheFullCalculation) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> share(0.0, 1.0);
    const gq::ReferenceConditions conditions[] = {
        {25, 0, 101.325}, {15, 15, 101.325}, {0, 20, 95.0}, {15.55, 15.55, 101.325}};
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<std::size_t> present = {0}; // methane keeps Z above 0.9
        for (std::size_t i = 1; i < gq::kComponentCount; ++i)
            if (share(random) < 0.15)
                present.push_back(i);
        gq::Composition c;
        double rest = 1.0;
        for (std::size_t k = 1; k < present.size(); ++k) {
            c.fraction[present[k]] = share(random) < 0.2 ? 0.0 : rest * 0.1 * share(random);
            rest -= c.fraction[present[k]];
        }
        c.fraction[0] = rest;
        const gq::ReferenceConditions& reference = conditions[trial % 4];
        const gq::Properties full = gq::calculate(c, reference);
        const gq::Properties values = gq::calculateValues(present, c.fraction, reference);
        for (std::size_t r = 0; r < gq::kResultCount; ++r)
            ASSERT_EQ(values.results[r].value, full.results[r].value)
                << gq::kResultKeys[r] << " in trial " << trial;
    }
}
