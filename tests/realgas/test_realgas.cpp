#include "EosColumns.h"
#include "EosCommand.h"
#include "RealGas.h"
#include "VectorMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using namespace tarvelo::realgas;

namespace {

// The check gas of AGA Report No. 8 (both parts), in the equations' order.
constexpr Fractions kCheckGas = {0.77824, 0.02,    0.06,    0.08,    0.03,    0.0015,  0.003,
                                 0.0005,  0.00165, 0.00215, 0.00088, 0.00024, 0.00015, 0.00009,
                                 0.004,   0.005,   0.002,   0.0001,  0.0025,  0.007,   0.001};

struct CheckValues {
    Model model;
    double M, D, Z, dPdD, d2PdD2, dPdT, U, H, S, Cv, Cp, W, G, JT, kappa;
};

// The published check values of the reference implementation at 400 K and
// 50 000 kPa (AGA Report No. 8 Part 2 and Part 1).
constexpr CheckValues kCheckValues[] = {
    {Model::Gerg2008, 20.5427445016, 12.79828626082062, 1.174690666383717, 7000.694030193327,
     1129.526655214841, 235.9832292593096, -2746.492901212530, 1160.280160510973,
     -38.57590392409089, 39.02948218156372, 58.45522051000366, 714.4248840596024, 16590.64173014733,
     7.155629581480913e-05, 2.683820255058032},
    {Model::Detail, 20.54333051, 12.80792403648801, 1.173801364147326, 6971.387690924090,
     1118.803636639520, 235.6641493068212, -2739.134175817231, 1164.699096269404,
     -38.54882684677111, 39.12076154430332, 58.54617672380667, 712.6393684057903, 16584.22983497785,
     7.432969304794577e-05, 2.672509225184606},
};

TEST(RealGas, reproducesThePublishedCheckValuesToTwelveDigits) {
    for (const CheckValues& c : kCheckValues) {
        SCOPED_TRACE(std::string(modelName(c.model)));
        const Properties p = compute(c.model, kCheckGas, 400.0, 50000.0);
        const std::pair<double, double> pairs[] = {
            {p.M, c.M},       {p.D, c.D}, {p.Z, c.Z}, {p.dPdD, c.dPdD}, {p.d2PdD2, c.d2PdD2},
            {p.dPdT, c.dPdT}, {p.U, c.U}, {p.H, c.H}, {p.S, c.S},       {p.Cv, c.Cv},
            {p.Cp, c.Cp},     {p.W, c.W}, {p.G, c.G}, {p.JT, c.JT},     {p.kappa, c.kappa}};
        for (const auto& [ours, published] : pairs)
            EXPECT_NEAR(ours, published, 1e-12 * std::abs(published));
        EXPECT_NEAR(p.rho, c.M * c.D, 1e-12 * c.M * c.D);
        EXPECT_FALSE(p.inNormalRange); // 50 MPa is beyond both normal ranges
    }
}

// Relations between the properties, checked by finite differences of the
// equation itself: they hold for any correct implementation and catch a wrong
// derivative or sign.
TEST(RealGas, propertiesAgreeWithTheirDefinitionsByFiniteDifferences) {
    Fractions gas{};
    gas[0] = 0.85, gas[1] = 0.04, gas[2] = 0.02, gas[3] = 0.05, gas[4] = 0.01, gas[14] = 0.03;
    for (const Model model : {Model::Gerg2008, Model::Detail}) {
        SCOPED_TRACE(std::string(modelName(model)));
        const Mixture mixture(model, gas);
        const double t = 300.0, p = 8000.0;
        const Properties s = mixture.at(t, p);
        const double pressure = s.Z * s.D * t * (model == Model::Gerg2008 ? 8.314472 : 8.31451);
        EXPECT_NEAR(pressure, p, 1e-9 * p);
        const double h = 1e-4;
        const auto atD = [&](double tt, double d) { return mixture.atDensity(tt, d); };
        const auto pOf = [&](const Properties& q, double tt) {
            return q.Z * q.D * tt * (pressure / (s.Z * s.D * t));
        };
        // dp/dD and d²p/dD² at constant T, dp/dT at constant D, Cv = (dU/dT)_D
        const Properties dUp = atD(t, s.D * (1 + h)), dDown = atD(t, s.D * (1 - h));
        EXPECT_NEAR((pOf(dUp, t) - pOf(dDown, t)) / (2 * h * s.D), s.dPdD, 1e-6 * s.dPdD);
        EXPECT_NEAR((dUp.dPdD - dDown.dPdD) / (2 * h * s.D), s.d2PdD2,
                    1e-5 * std::abs(s.d2PdD2) + 1e-6);
        const Properties tUp = atD(t * (1 + h), s.D), tDown = atD(t * (1 - h), s.D);
        EXPECT_NEAR((pOf(tUp, t * (1 + h)) - pOf(tDown, t * (1 - h))) / (2 * h * t), s.dPdT,
                    1e-6 * s.dPdT);
        EXPECT_NEAR((tUp.U - tDown.U) / (2 * h * t), s.Cv, 1e-6 * s.Cv);
        // Cp = (dH/dT)_p, S = -(dG/dT)_p, and Joule-Thomson (dT/dp)_H from the solved states
        const Properties up = mixture.at(t * (1 + h), p), down = mixture.at(t * (1 - h), p);
        EXPECT_NEAR((up.H - down.H) / (2 * h * t), s.Cp, 1e-6 * s.Cp);
        EXPECT_NEAR(-(up.G - down.G) / (2 * h * t), s.S, 1e-6 * std::abs(s.S));
        const Properties pUp = mixture.at(t, p * (1 + h)), pDown = mixture.at(t, p * (1 - h));
        const double dHdp = (pUp.H - pDown.H) / (2 * h * p);
        EXPECT_NEAR(-dHdp / s.Cp, s.JT, 1e-5 * std::abs(s.JT));
        // w² = (dp/drho)_s: kappa = (rho/p)·w² relates them
        EXPECT_NEAR(s.kappa, s.W * s.W * s.rho / (p * 1000.0), 1e-9 * s.kappa);
        // A dilute gas is ideal, and at base conditions no volume changes.
        EXPECT_NEAR(mixture.at(t, 0.001).Z, 1.0, 1e-7);
        EXPECT_DOUBLE_EQ(conversionFactor(s, t, p, s, t, p), 1.0);
    }
}

struct Refusal {
    std::vector<std::string_view> args;
    std::string_view culprit;
};

// The library's own exp and log against the C library's, over the ranges a
// state uses them in, in units in the last place of the C library's result.
TEST(RealGas, vectorExpAndLogAgreeWithTheCLibraryToTwoUnitsInTheLastPlace) {
    namespace d = tarvelo::realgas::detail;
    const auto ulps = [](double ours, double theirs) {
        const double a = std::abs(theirs);
        return std::abs(ours - theirs) / (std::nextafter(a, INFINITY) - a);
    };
    std::mt19937_64 random(5);
    for (int k = 0; k < 200000; ++k) {
        const double wide = std::uniform_real_distribution<double>(-708.0, 708.0)(random);
        const double narrow = std::uniform_real_distribution<double>(-1.0, 1.0)(random);
        for (double x : {wide, narrow}) {
            ASSERT_LE(ulps(d::vectorExp(x), std::exp(x)), 2.0) << "exp(" << x << ")";
            const double y = std::exp(x);
            ASSERT_LE(ulps(d::vectorLog(y), std::log(y)), 2.0) << "log(" << y << ")";
        }
    }
    // Below -708 exp stays at e^-708 (a term that small adds nothing).
    EXPECT_EQ(d::vectorExp(-5000.0), d::vectorExp(-708.0));
    EXPECT_EQ(d::vectorLog(1.0), 0.0);
    EXPECT_GT(d::vectorExp(-708.0), 0.0);
}

TEST(RealGas, eosCommandRefusesBadInputWithOneLineNamingTheCulprit) {
    using V = std::vector<std::string_view>;
    const Refusal refusals[] = {
        {V{"--model", "gerg2008", "--temperature", "300K", "--pressure", "5MPa", "methane=99",
           "ethene=1"},
         "ethene"},
        {V{"--model", "detail", "--temperature", "300K", "--pressure", "5MPa", "acetylene=1",
           "methane=99"},
         "ethyne"},
        {V{"--model", "gerg2008", "--temperature", "300K", "--pressure", "5MPa", "methane=101",
           "ethane=-1"},
         "C2H6: negative"},
        {V{"--model", "gerg2008", "--temperature", "300K", "--pressure", "5MPa", "methane=99.98"},
         "99.98 mol%"},
        {V{"--model", "gerg2008", "--temperature", "300", "--pressure", "5MPa", "methane=100"},
         "no unit"},
        {V{"--model", "gerg2008", "--temperature", "300K", "--pressure", "50", "methane=100"},
         "no unit"},
        {V{"--model", "gerg2008", "--temperature", "701K", "--pressure", "5MPa", "methane=100"},
         "701 K"},
        {V{"--model", "gerg2008", "--temperature", "300K", "--pressure", "71MPa", "methane=100"},
         "71000 kPa"},
        {V{"--model", "detail", "--temperature", "140K", "--pressure", "5MPa", "methane=100"},
         "140 K"},
        {V{"--model", "detail", "--temperature", "300K", "--pressure", "5MPa", "--base", "15C,0bar",
           "methane=100"},
         "base pressure"},
        {V{"--model", "detail", "--temperature", "250K", "--pressure", "5MPa", "n-decane=100"},
         "did not converge"},
        // Far outside its range GERG-2008 passes the pressure only between two
        // adjacent densities (Z = 1e9 there): that is no solution.
        {V{"--model", "gerg2008", "--temperature", "66.4K", "--pressure", "1.22kPa", "methane=32",
           "water=28", "n-heptane=23", "n-hexane=17"},
         "did not converge"},
        // The equation's gas branch ends below 12 MPa here; its denser root
        // (Z = 0.1 for hydrogen at 400 °C) is no state of the gas.
        {V{"--model", "detail", "--temperature", "400C", "--pressure", "120bar", "hydrogen=100"},
         "no gas state at 12000 kPa"},
        {V{"--model", "pr", "--temperature", "300K", "--pressure", "5MPa", "methane=100"}, "'pr'"},
    };
    for (const Refusal& r : refusals) {
        std::ostringstream out, err;
        const int status = tarvelo::cli::runEos(r.args, out, err);
        const std::string message = err.str();
        SCOPED_TRACE(message);
        EXPECT_EQ(status, 1);
        EXPECT_TRUE(out.str().empty());
        EXPECT_EQ(message.find('\n'), message.size() - 1);
        EXPECT_NE(message.find(r.culprit), std::string::npos);
    }
    std::ostringstream out, err;
    EXPECT_EQ(tarvelo::cli::runEos({"--model", "gerg2008", "--temperature", "300K", "--pressure",
                                    "5MPa", "--normalise", "methane=99.98"},
                                   out, err),
              0);
    EXPECT_NE(out.str().find("normalised"), std::string::npos);
}

} // namespace

namespace {

TEST(RealGas, batchColumnsComputeEachRowsStateOrGiveTheReason) {
    using tarvelo::batch::EosColumns;
    EosColumns set(Model::Gerg2008, EosColumns::Base{288.15, 101.325});
    EXPECT_FALSE(set.claim(1, "T_F"));
    EXPECT_FALSE(set.claim(1, "T_flue_C"));
    EXPECT_FALSE(set.headerProblem().empty());
    EXPECT_TRUE(set.claim(2, "T_C"));
    EXPECT_TRUE(set.claim(3, "p_bar"));
    EXPECT_TRUE(set.headerProblem().empty());
    ASSERT_EQ(set.names().size(), 3u);

    const auto index = [](std::string_view name) { return *tarvelo::components::find(name); };
    struct Row {
        std::string_view component, temperature, pressure, reason;
    };
    const Row rows[] = {{"methane", "15", "70", ""},
                        {"ethene", "15", "70", "ethene"},
                        {"methane", "15", "x", "'x'"},
                        {"methane", "500", "70", "773.15 K"}};
    for (const Row& r : rows) {
        tarvelo::batch::Amounts amounts{};
        amounts[index(r.component)] = 100.0;
        const std::string_view fields[] = {"gas", "100", r.temperature, r.pressure};
        double values[3] = {};
        const std::size_t present[] = {index(r.component)};
        const std::string reason = set.compute({amounts, present, fields, '.'}, values);
        SCOPED_TRACE(reason);
        if (r.reason.empty()) {
            Fractions methane{};
            methane[0] = 1.0;
            const Mixture mixture(Model::Gerg2008, methane);
            const Properties line = mixture.at(288.15, 7000.0), base = mixture.at(288.15, 101.325);
            EXPECT_TRUE(reason.empty());
            EXPECT_EQ(values[0], line.Z);
            EXPECT_EQ(values[1], line.rho);
            EXPECT_EQ(values[2], conversionFactor(line, 288.15, 7000.0, base, 288.15, 101.325));
        } else {
            EXPECT_EQ(reason.rfind("eos: ", 0), 0u);
            EXPECT_NE(reason.find(r.reason), std::string::npos);
        }
    }
}

} // namespace
