// The shared part of both equations of state: the composition check, the
// ideal-gas part, the density solve, the properties from the Helmholtz
// energy, and the ranges of validity.
#include "RealGas.h"

#include "DetailTables.h"
#include "Gerg2008Tables.h"
#include "Models.h"
#include "VectorMath.h"

#include "Domain.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tarvelo::realgas {
namespace {

using detail::IdealPart;
using detail::Residual;

std::string number(double value) {
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 10);
    return {buffer, result.ptr};
}

std::string componentName(std::size_t eosIndex) {
    return std::string(components::component(components::ofEos(static_cast<int>(eosIndex))).name);
}

double gasConstant(Model model) noexcept {
    return model == Model::Gerg2008 ? gerg::kGasConstant : aga::kGasConstant;
}

// The properties from the ideal and residual parts at T and D, with the
// relations of Kunz and Wagner (2012), Table 3 (the same for both models).
Properties properties(double molarMass, double gasConstantR, double t, double d,
                      const IdealPart& a0, const Residual& ar) noexcept {
    Properties p{};
    const double rt = gasConstantR * t;
    p.M = molarMass;
    p.D = d;
    p.rho = d * molarMass;
    p.Z = 1.0 + ar.d1;
    p.dPdD = rt * (1.0 + 2.0 * ar.d1 + ar.d2);
    p.d2PdD2 = rt * (2.0 * ar.d1 + 4.0 * ar.d2 + ar.d3) / d;
    p.dPdT = d * gasConstantR * (1.0 + ar.d1 - ar.dt);
    p.U = rt * (a0.t1 + ar.t1);
    p.H = rt * (1.0 + ar.d1 + a0.t1 + ar.t1);
    p.S = gasConstantR * (a0.t1 + ar.t1 - a0.a - ar.a);
    p.G = rt * (1.0 + ar.d1 + a0.a + ar.a);
    p.Cv = -gasConstantR * (a0.t2 + ar.t2);
    const double dPdTperD = p.dPdT / d;
    p.Cp = p.Cv + t * dPdTperD * dPdTperD / p.dPdD;
    p.JT = (t / d * p.dPdT / p.dPdD - 1.0) / p.Cp / d;
    const double w2 = 1000.0 * p.Cp / p.Cv * p.dPdD / molarMass; // 1000: g/mol and kPa to SI
    p.W = std::sqrt(w2);
    p.kappa = w2 * molarMass / (rt * 1000.0 * p.Z);
    return p;
}

// The density at T and p on the gas branch: Halley's method on p(D) from the
// density of the virial equation truncated after B, which takes two or three
// steps for any gas. Where
// an iterate leaves the branch (p falling with D) or the steps do not settle,
// a careful search takes over: it walks up in density from well below the
// ideal-gas density to the first density where p is reached and closes in on
// it by Newton steps kept inside the bracket, or by bisection. Returns NaN
// when neither finds the density. `pastGasBranch` tells that the search
// found the gas branch ending (p falling with D) below p, so that the density
// returned lies on a denser branch.
template <class AtTemperature>
double solveDensity(const AtTemperature& eos, double gasConstantR, double t, double p,
                    bool& pastGasBranch) noexcept {
    pastGasBranch = false;
    const double rt = gasConstantR * t;
    const auto pressure = [&](double d, double& dPdD) {
        const Residual r = eos.at(d, false);
        dPdD = rt * (1.0 + 2.0 * r.d1 + r.d2);
        return d * rt * (1.0 + r.d1);
    };

    // Halley's method on p(D) from the density of the truncated virial
    // equation Z = 1 + B·D: on the gas branch p(D) is convex where Z > 1 and
    // concave where Z < 1 near the root, so the steps approach it from one
    // side, and with the curvature each step cubes the relative error (from
    // 1e-2 to 1e-6 to 1e-18), one density evaluation fewer than Newton's
    // method takes. Where the curvature term would more than halve or double
    // the step, a Newton step is taken instead.
    constexpr int kSteps = 20;
    constexpr double kHalleyTolerance = 1e-6; // relative step; the last one cubes it
    constexpr double kNewtonTolerance = 1e-9; // after a Newton step: squares it
    double d = p / rt;
    const double discriminant = 1.0 + 4.0 * eos.secondVirial() * d;
    if (discriminant > 0.0)
        d = 2.0 * d / (1.0 + std::sqrt(discriminant));
    for (int step = 0; step < kSteps; ++step) {
        const Residual r = eos.at(d, false);
        const double pd = d * rt * (1.0 + r.d1);
        const double dPdD = rt * (1.0 + 2.0 * r.d1 + r.d2);
        const double d2PdD2 = rt * (2.0 * r.d1 + 4.0 * r.d2 + r.d3) / d;
        if (!(pd > 0.0) || !(dPdD > 0.0))
            break;
        const double newton = (pd - p) / dPdD;
        const double halley = 1.0 - 0.5 * newton * d2PdD2 / dPdD;
        const bool cubic = halley > 0.5 && halley < 2.0;
        const double change = cubic ? newton / halley : newton;
        const double next = d - change;
        if (!(next > 0.0) || !std::isfinite(next))
            break;
        d = next;
        if (std::abs(change) < (cubic ? kHalleyTolerance : kNewtonTolerance) * d)
            return d;
    }

    // The careful search. Densities above kMaxDensity are far beyond any
    // fluid of the 21 components.
    constexpr double kMaxDensity = 100.0; // mol/l
    constexpr double kWalkFactor = 1.2;
    double dPdD;
    double low = p / rt / 16.0;
    double lowPressure;
    while ((lowPressure = pressure(low, dPdD)) >= p) {
        low /= 16.0;
        if (low < 1e-300)
            return std::nan("");
    }
    // Where p falls with D on the way up, the gas branch has ended below p
    // and the density found lies on another branch.
    double high = low;
    for (;;) {
        low = high;
        high *= kWalkFactor;
        if (high > kMaxDensity)
            return std::nan("");
        const double highPressure = pressure(high, dPdD);
        if (highPressure < lowPressure || !(dPdD > 0.0))
            pastGasBranch = true;
        if (highPressure >= p)
            break;
        lowPressure = highPressure;
    }
    d = high;
    for (int step = 0; step < 200; ++step) {
        const double pd = pressure(d, dPdD);
        if (pd < p)
            low = d;
        else
            high = d;
        double next = d - (pd - p) / dPdD;
        if (!(dPdD > 0.0) || !(next > low && next < high))
            next = 0.5 * (low + high);
        if (std::abs(next - d) <= 1e-14 * d || high - low <= 1e-15 * high)
            return next;
        d = next;
    }
    return std::nan("");
}

bool inside(const Range& r, double t, double p) noexcept {
    return t >= r.minTemperatureK && t <= r.maxTemperatureK && p <= r.maxPressureKPa;
}

} // namespace

namespace detail {

namespace {

// The ideal-gas part's constants of a model, scaled to its gas constant:
// the coefficients belong to R* and to the reference state T0, p0, and in
// terms of the model's R they scale by R*/R (Kunz and Wagner 2012, eq. 7.4).
// By component, the constants of n0_1, n0_2 and n0_3 as the sums need them;
// and the Planck-Einstein terms of every component in a fixed list of
// kIdealSlots slots (the unused ones have the coefficient 0), so that a
// state evaluates them all in one loop of vector instructions.
struct IdealTable {
    alignas(64) std::array<double, kPaddedComponents> n1{}, n2{}, n3{};
    alignas(64) std::array<double, kIdealSlots> theta{};       // K
    alignas(64) std::array<double, kIdealSlots> sign{};        // -1 sinh, +1 cosh
    alignas(64) std::array<double, kIdealSlots> coefficient{}; // n0_ik·R*/R, negative for cosh
    std::array<std::int32_t, kIdealSlots> component{};         // int: a vector gather's index
};

IdealTable makeIdealTable(double gasConstantR) noexcept {
    IdealTable table;
    const double scale = gerg::kIdealGasConstant / gasConstantR;
    const double t0 = gerg::kIdealReferenceTemperature;
    const double lnD0 = std::log(gerg::kIdealReferencePressure / (gasConstantR * t0));
    table.theta.fill(1.0); // any value: the coefficient of an unused slot is 0
    table.sign.fill(-1.0);
    std::size_t slot = 0;
    for (std::size_t i = 0; i < gerg::kIdealGas.size(); ++i) {
        const gerg::IdealGasCoefficients& c = gerg::kIdealGas[i];
        table.n1[i] = scale * c.n[0] - lnD0;
        table.n2[i] = scale * c.n[1] + (scale - 1.0) * t0;
        table.n3[i] = scale * (c.n[2] - 1.0);
        // n·ln|sinh(theta/T)| for the 4th and 6th coefficient,
        // -n·ln cosh(theta/T) for the 5th and 7th.
        for (std::size_t k = 0; k < 4 && slot < kIdealSlots; ++k) {
            if (c.theta[k] <= 0.0)
                continue;
            const bool sinhTerm = k % 2 == 0;
            table.theta[slot] = c.theta[k];
            table.sign[slot] = sinhTerm ? -1.0 : 1.0;
            table.coefficient[slot] = (sinhTerm ? 1.0 : -1.0) * scale * c.n[k + 3];
            table.component[slot] = static_cast<std::int32_t>(i);
            ++slot;
        }
    }
    return table;
}

const IdealTable& idealTable(Model model) noexcept {
    static const IdealTable gergTable = makeIdealTable(gerg::kGasConstant);
    static const IdealTable detailTable = makeIdealTable(aga::kGasConstant);
    return model == Model::Gerg2008 ? gergTable : detailTable;
}

} // namespace

TARVELO_VECTOR_CLONES
void idealTerms(const Fractions& fractions, Model model, IdealTerms& terms) noexcept {
    const IdealTable& table = idealTable(model);
    alignas(64) const PaddedFractions x = padded(fractions);
    alignas(64) std::array<double, kPaddedComponents> xLnX, n1, n2, n3;
    for (std::size_t i = 0; i < kPaddedComponents; ++i) {
        // x·ln x -> 0 as x -> 0. Adding the smallest normal number keeps
        // the logarithm's argument in its domain and changes no x above
        // 1e-290 (and x·ln x below that by less than 1e-287).
        xLnX[i] = x[i] * vectorLog(x[i] + 0x1p-1022);
        n1[i] = x[i] * table.n1[i];
        n2[i] = x[i] * table.n2[i];
        n3[i] = x[i] * table.n3[i];
    }
    terms.xLnX = sum(xLnX);
    terms.n1 = sum(n1);
    terms.n2 = sum(n2);
    terms.n3 = sum(n3);
    // With ln sinh y = y - ln 2 + ln(1 - e^-2y), ln cosh y likewise: the
    // sums of n·theta and of -n·ln 2.
    alignas(64) std::array<double, kIdealSlots> a;
    for (std::size_t k = 0; k < kIdealSlots; ++k) {
        terms.weight[k] = x[static_cast<std::size_t>(table.component[k])] * table.coefficient[k];
        a[k] = terms.weight[k] * table.theta[k];
    }
    terms.hyperbolicA = sum(a);
    terms.hyperbolicB = -std::log(2.0) * sum(terms.weight);
}

TARVELO_VECTOR_CLONES
IdealPart idealPart(const IdealTerms& terms, double t, double d) noexcept {
    // theta and sign: the same in the tables of both models.
    const IdealTable& table = idealTable(Model::Gerg2008);
    alignas(64) std::array<double, kIdealSlots> a0, a1, a2;
    const double inverseT = 1.0 / t;
    for (std::size_t k = 0; k < kIdealSlots; ++k) {
        // With z = e^-2y: coth y = (1 + z)/(1 - z), 1/sinh² y = 4z/(1 - z)²,
        // and tanh, 1/cosh² likewise with -z.
        const double y = table.theta[k] * inverseT;
        const double z = vectorExp(-2.0 * y);
        const double w = 1.0 + table.sign[k] * z;
        const double inverse = 1.0 / w;
        const double n = terms.weight[k];
        a0[k] = n * vectorLog(w);
        a1[k] = n * y * (2.0 - w) * inverse;
        a2[k] = table.sign[k] * n * 4.0 * z * y * y * inverse * inverse;
    }
    IdealPart a;
    a.a = terms.xLnX + std::log(d) + terms.n1 + (terms.n2 + terms.hyperbolicA) / t -
          terms.n3 * std::log(t) + terms.hyperbolicB + sum(a0);
    a.t1 = terms.n3 + terms.n2 / t + sum(a1);
    a.t2 = -(terms.n3 - sum(a2));
    return a;
}

} // namespace detail

Validity validity(Model model) noexcept {
    if (model == Model::Gerg2008)
        // Kunz and Wagner (2012), section 1.4: normal range 90 K to 450 K up
        // to 35 MPa, extended range 60 K to 700 K up to 70 MPa.
        return {{90.0, 450.0, 35000.0}, {60.0, 700.0, 70000.0}};
    // ISO 12213-2: pipeline-quality gas 263 K to 338 K up to 12 MPa; AGA
    // Report No. 8 (1994): the wider range -200 °F to 760 °F (143 K to 677 K)
    // up to 40 000 psia (275.8 MPa).
    return {{263.0, 338.0, 12000.0}, {143.0, 677.0, 275800.0}};
}

std::string_view modelName(Model model) noexcept {
    return model == Model::Gerg2008 ? "GERG-2008" : "AGA8-DETAIL";
}

std::string_view modelKey(Model model) noexcept {
    return model == Model::Gerg2008 ? "gerg2008" : "detail";
}

Fractions checkedFractions(const Fractions& x, bool normalise) {
    double sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!std::isfinite(x[i]))
            throw RealGasError("the amount of " + componentName(i) + " is not a finite number");
        if (x[i] < 0.0)
            throw RealGasError("the amount of " + componentName(i) + " is negative (" +
                               number(x[i] * 100.0) + " mol%)");
        sum += x[i];
    }
    if (!(sum > 0.0))
        throw RealGasError("the composition is empty: no component has an amount above zero");
    if (!normalise && !fractionsAddUpToOne(sum))
        throw RealGasError("the amounts add up to " + number(sum * 100.0) +
                           " mol%, more than 0.01 mol% off 100 mol%");
    Fractions result = x;
    for (double& v : result)
        v /= sum;
    return result;
}

Mixture::Mixture(Model model, const Fractions& x) : model_(model) {
    const Fractions checked = checkedFractions(x);
    for (std::size_t i = 0; i < checked.size(); ++i)
        if (checked[i] > 0.0)
            maxCriticalTemperature_ =
                std::max(maxCriticalTemperature_, gerg::kComponentConstants[i].criticalTemperature);
    detail::idealTerms(checked, model, ideal_);
    if (model == Model::Gerg2008) {
        molarMass_ = detail::gergMolarMass(checked);
        detail::gergTerms(checked, gerg_);
    } else {
        molarMass_ = detail::detailMolarMass(checked);
        detail::detailTerms(checked, aga_);
    }
}

Properties Mixture::atDensity(double t, double d) const {
    const double r = gasConstant(model_);
    const IdealPart a0 = detail::idealPart(ideal_, t, d);
    const Residual ar = model_ == Model::Gerg2008
                            ? detail::GergAtTemperature(gerg_, t).at(d, true)
                            : detail::DetailAtTemperature(aga_, t).at(d, true);
    Properties p = properties(molarMass_, r, t, d, a0, ar);
    p.inNormalRange = inside(validity(model_).normal, t, d * r * t * p.Z);
    return p;
}

Properties Mixture::at(double t, double p) const {
    const Validity v = validity(model_);
    // The model's name, for a refusal only: nothing is built for a state.
    const auto name = [this] { return std::string(modelName(model_)); };
    if (!(t >= v.extended.minTemperatureK && t <= v.extended.maxTemperatureK))
        throw RealGasError("temperature " + number(t) + " K is outside the extended range of " +
                           name() + " (" + number(v.extended.minTemperatureK) + " K to " +
                           number(v.extended.maxTemperatureK) + " K)");
    if (!(p > 0.0 && p <= v.extended.maxPressureKPa))
        throw RealGasError("pressure " + number(p) + " kPa is outside the extended range of " +
                           name() + " (above 0 up to " + number(v.extended.maxPressureKPa) +
                           " kPa)");

    const double r = gasConstant(model_);
    double d;
    bool pastGasBranch;
    Residual ar;
    if (model_ == Model::Gerg2008) {
        const detail::GergAtTemperature eos(gerg_, t);
        d = solveDensity(eos, r, t, p, pastGasBranch);
        if (std::isfinite(d))
            ar = eos.at(d, true);
    } else {
        const detail::DetailAtTemperature eos(aga_, t);
        d = solveDensity(eos, r, t, p, pastGasBranch);
        if (std::isfinite(d))
            ar = eos.at(d, true);
    }
    // Below the critical temperature of a component, a denser branch can be
    // a liquid or a dense fluid (CO2-rich gases above their cricondenbar).
    // Above that of every component no liquid forms: a density past the end
    // of the gas branch is then no state of the gas but the equation outside
    // what it describes (AGA8-DETAIL for hydrogen at 400 °C gives Z = 0.1 at
    // 12 MPa so), and it is refused.
    if (std::isfinite(d) && pastGasBranch && t > maxCriticalTemperature_)
        throw RealGasError(name() + ": at " + number(t) + " K the equation has no gas state at " +
                           number(p) + " kPa: its gas branch ends below that pressure, above " +
                           "the critical temperature of every component (outside what it " +
                           "describes for this gas)");
    Properties result{};
    if (std::isfinite(d))
        result = properties(molarMass_, r, t, d, detail::idealPart(ideal_, t, d), ar);
    // A converged density gives back the pressure (to 1e-9; a solved state
    // does to 1e-13) and lies on a stable branch: pressure rising with
    // density, positive heat capacities. Anything else (two phases, a
    // metastable root, a root the equation only passes between two adjacent
    // numbers, as GERG-2008 does far outside its range with Z = 1.5e9) is
    // refused rather than shown.
    const double residual = std::abs(result.Z * d * r * t - p);
    if (!std::isfinite(d) || !(residual <= 1e-9 * p) || !(result.dPdD > 0.0) ||
        !(result.Cv > 0.0) || !(result.Cp > 0.0) || !std::isfinite(result.W) ||
        !std::isfinite(result.G))
        throw RealGasError(
            name() + ": the density at " + number(t) + " K and " + number(p) +
            " kPa did not converge to a stable gas state (two-phase or liquid region?)");
    result.inNormalRange = inside(v.normal, t, p);
    return result;
}

Properties compute(Model model, const Fractions& x, double temperatureK, double pressureKPa) {
    return Mixture(model, x).at(temperatureK, pressureKPa);
}

double conversionFactor(const Properties& line, double lineTK, double linePKPa,
                        const Properties& base, double baseTK, double basePKPa) noexcept {
    return (linePKPa / basePKPa) * (baseTK / lineTK) * (base.Z / line.Z);
}

} // namespace tarvelo::realgas
