#include "Combustion.h"
#include "CombustionCommand.h"
#include "Iso6976.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace cb = tarvelo::combustion;
namespace gq = tarvelo::gasquality;
using cb::Species;

constexpr std::size_t at(Species s) {
    return static_cast<std::size_t>(s);
}

std::array<double, tarvelo::components::kCount> pure(const char* name) {
    std::array<double, tarvelo::components::kCount> x{};
    x[*tarvelo::components::find(name)] = 1.0;
    return x;
}

// Air of O2 + 3.76 N2 (mole ratio), at 25 °C and 101.325 kPa: the air of
// the textbook tables of adiabatic flame temperatures.
constexpr cb::Amounts kTextbookAir = {0.0, 0.0, 0.0, 1.0, 3.76, 0.0, 0.0, 0.0};

TEST(Combustion, reproducesThePublishedCheckValues) {
    // Methane in the default air at λ = 1: 2 mol O2 / 0.20946 = 9.54836
    // m³/m³ of air; CO2max = (1 + 9.54836 · 0.00036) / (10.54836 − 2) =
    // 11.738 %.
    const cb::Result methane = cb::calculate(cb::fuel(pure("methane")), {});
    EXPECT_NEAR(methane.airMin, 2.0 / 0.20946, 1e-12);
    EXPECT_NEAR(methane.airMin, 9.54836, 5e-6);
    EXPECT_NEAR(methane.co2Max * 100.0, 11.738, 5e-4);
    EXPECT_NEAR(methane.co2Max, (1.0 + methane.airMin * 0.00036) / (methane.airMin - 1.0), 1e-15);

    // The water dew point of its flue gas at λ = 1.2 and 101.325 kPa.
    cb::Conditions lean;
    lean.value = 1.2;
    EXPECT_NEAR(*cb::calculate(cb::fuel(pure("methane")), lean).dewPointK - 273.15, 55.66, 5e-3);

    // Equilibrium adiabatic flame temperatures in O2 + 3.76 N2 at λ = 1,
    // 25 °C and 1 atm: 2225–2226 K for methane with GRI-Mech 3.0 data;
    // propane 2267 K (Turns, An Introduction to Combustion, Table B.1);
    // hydrogen some 2380–2390 K. Complete combustion is always hotter.
    struct Flame {
        const char* fuel;
        double kelvin, tolerance;
    };
    for (const Flame& f : {Flame{"methane", 2225.5, 5.0}, Flame{"propane", 2267.0, 5.0},
                           Flame{"hydrogen", 2385.0, 10.0}}) {
        cb::Conditions c;
        c.air = kTextbookAir;
        const cb::Result r = cb::calculate(cb::fuel(pure(f.fuel)), c);
        ASSERT_TRUE(r.flameEquilibriumK && r.flameCompleteK) << f.fuel;
        EXPECT_NEAR(*r.flameEquilibriumK, f.kelvin, f.tolerance) << f.fuel;
        EXPECT_GT(*r.flameCompleteK, *r.flameEquilibriumK + 50.0) << f.fuel;
    }

    // IAPWS-IF97, Table 35: saturation pressures at 300, 500 and 600 K in
    // MPa, and the inverse at them.
    for (const auto& [t, p] : {std::pair{300.0, 0.353658941e-2}, std::pair{500.0, 0.263889776e1},
                               std::pair{600.0, 0.123443146e2}}) {
        EXPECT_NEAR(cb::saturationPressureKPa(t) / 1000.0, p, p * 5e-9) << t;
        EXPECT_NEAR(cb::saturationTemperatureK(p * 1000.0), t, 1e-6) << t;
    }
}

TEST(Combustion, inversionsAndElementBalancesCloseOnRandomFuels) {
    std::mt19937_64 random(6976);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int trial = 0; trial < 200; ++trial) {
        // Up to six of the 60 components, one of them always able to burn.
        std::array<double, tarvelo::components::kCount> x{};
        x[random() % 41] = 0.2 + unit(random);
        for (int k = 0; k < 5; ++k)
            x[random() % tarvelo::components::kCount] += unit(random) * unit(random);
        double sum = 0.0;
        for (const double v : x)
            sum += v;
        for (double& v : x)
            v /= sum;
        cb::Fuel fuel;
        try {
            fuel = cb::fuel(x);
        } catch (const cb::CombustionError&) {
            continue; // its own oxygen binds everything
        }
        cb::Conditions c;
        c.value = 1.0 + 2.0 * unit(random);
        c.humidity = unit(random);
        c.airK = 273.15 + 40.0 * unit(random);
        c.flueK = 300.0 + 200.0 * unit(random);
        const cb::Result r = cb::calculate(fuel, c);

        // λ → O2 and CO2 of the dry flue gas → λ and the same flue gas.
        for (const auto& [excess, reading] :
             {std::pair{cb::Excess::O2, r.dry[at(Species::O2)]},
              std::pair{cb::Excess::CO2, r.dry[at(Species::CO2)]}}) {
            cb::Conditions back = c;
            back.excess = excess;
            back.value = reading;
            back.equilibrium = false;
            const cb::Result b = cb::calculate(fuel, back);
            EXPECT_NEAR(b.lambda, r.lambda, 1e-12 * r.lambda) << trial;
            for (std::size_t s = 0; s < cb::kSpeciesCount; ++s)
                EXPECT_NEAR(b.wet[s], r.wet[s], 1e-12) << trial;
        }

        // Atoms in (fuel, dry air, the air's water) against atoms out, for
        // the complete and the equilibrium flue gas. Elements C, H, O, N, S
        // and the noble gases.
        const double water = r.airHumid - r.air;
        const auto& e = fuel.elements;
        const std::array<double, 6> in = {e[0] + r.air * cb::kDefaultAir[at(Species::CO2)],
                                          e[1] + 2.0 * water,
                                          e[3] +
                                              r.air * (2.0 * cb::kDefaultAir[at(Species::O2)] +
                                                       2.0 * cb::kDefaultAir[at(Species::CO2)]) +
                                              water,
                                          e[2] + 2.0 * r.air * cb::kDefaultAir[at(Species::N2)],
                                          e[4],
                                          e[5] + e[6] + e[7] +
                                              r.air * cb::kDefaultAir[at(Species::Ar)]};
        // Atoms of each species of kEquilibriumKeys: C, H, O, N, S, noble.
        constexpr int atoms[cb::kEquilibriumCount][6] = {
            {1, 0, 2, 0, 0, 0}, {0, 0, 2, 0, 1, 0}, {0, 2, 1, 0, 0, 0}, {0, 0, 2, 0, 0, 0},
            {0, 0, 0, 2, 0, 0}, {0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 1},
            {1, 0, 1, 0, 0, 0}, {0, 2, 0, 0, 0, 0}, {0, 1, 1, 0, 0, 0}, {0, 1, 0, 0, 0, 0},
            {0, 0, 1, 0, 0, 0}, {0, 0, 1, 1, 0, 0}, {0, 0, 0, 1, 0, 0}};
        std::array<double, 6> complete{}, equilibrium{};
        for (std::size_t k = 0; k < cb::kEquilibriumCount; ++k)
            for (std::size_t a = 0; a < 6; ++a) {
                if (k < cb::kSpeciesCount)
                    complete[a] += atoms[k][a] * r.flue[k];
                equilibrium[a] += atoms[k][a] * r.equilibrium[k];
            }
        for (std::size_t a = 0; a < 6; ++a) {
            EXPECT_NEAR(complete[a], in[a], 1e-12 * (1.0 + in[a])) << trial << " element " << a;
            EXPECT_NEAR(equilibrium[a], in[a], 1e-12 * (1.0 + in[a])) << trial << " element " << a;
        }
        ASSERT_TRUE(r.efficiency);
        EXPECT_NEAR(r.efficiency->etaHi * fuel.netKJPerMol,
                    r.efficiency->etaHs * fuel.grossKJPerMol, 1e-9);
    }
}

TEST(Combustion, refusesWithOneLineNamingTheCulprit) {
    struct Case {
        std::vector<std::string_view> args;
        const char* culprit;
    };
    const Case cases[] = {
        {{"--lambda", "1", "nitrogen=90", "helium=10"}, "cannot burn"},
        {{"--lambda", "1", "carbon dioxide=100"}, "its own oxygen"},
        {{"--lambda", "0.95", "methane=100"}, "incomplete combustion is not modelled"},
        {{"--o2", "20.946", "methane=100"}, "at or above the air's O2"},
        {{"--o2=25", "--air", "O2=21,N2=79", "methane=100"}, "at or above the air's O2 21 %"},
        {{"--co2", "11.75", "methane=100"}, "above CO2max 11.7384 %"},
        {{"--co2", "0.01", "methane=100"}, "cannot come from this fuel"},
        {{"--lambda", "1.1", "--air-temperature", "20", "methane=100"}, "has no unit"},
        {{"--lambda", "1.1", "--flue-temperature", "3600K", "methane=100"}, "outside the data's"},
        {{"--lambda", "1.1", "--air-temperature", "150K", "methane=100"}, "outside the data's"},
        {{"--lambda", "1.1", "--pressure", "20bar", "methane=100"}, "outside 10 to 1000 kPa"},
        {{"--lambda", "1.1", "--humidity", "50", "--air-temperature", "-10C", "methane=100"},
         "saturation line"},
        {{"--lambda", "1.1", "--flue-temperature", "-5C", "methane=100"}, "freezing condensate"},
        {{"--lambda", "1.1", "--air", "He=20,N2=80", "methane=100"}, "not one of O2, N2, Ar, CO2"},
        {{"--lambda", "1.1", "--o2", "3", "methane=100"}, "only one of"},
        {{"methane=100"}, "give the excess air"},
        {{"--lambda", "1.1", "methane=99"}, "add up to 99 mol%"},
    };
    for (const Case& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(tarvelo::cli::runCombustion(c.args, out, err), 1) << c.culprit;
        EXPECT_EQ(out.str(), "") << c.culprit;
        const std::string message = err.str();
        EXPECT_NE(message.find(c.culprit), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    }
}

} // namespace
