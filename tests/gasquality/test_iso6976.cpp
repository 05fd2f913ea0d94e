#include "Iso6976.h"

#include <gtest/gtest.h>

#include <cmath>
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
        std::vector<Amount> amounts;
        gq::ReferenceConditions reference;
        std::vector<Published> published;
    };
    const std::vector<Example> examples = {
        {"Annex D.2, Example 1, 15/15 °C",
         kExample1,
         {15.0, 15.0, 101.325},
         {{Result::M, false, 17.3884301, 7},
          {Result::Z, false, 0.99776224, 8},
          {Result::Hc_gross, false, 906.1799588, 7},
          {Result::Hc_gross, true, 0.615609872, 9},
          {Result::Hm_gross, false, 52.113961, 6},
          {Result::Hm_gross, true, 0.024301, 6},
          {Result::Hv_gross, false, 38.410611, 6},
          {Result::Hv_gross, true, 0.026267, 6}}},
    };
    for (const Example& example : examples) {
        const gq::Properties p = gq::calculate(composition(example.amounts), example.reference);
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
