#include "Combustion.h"

#include "Thermo.h"

#include "Domain.h"
#include "Iso6976.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace tarvelo::combustion {

namespace gq = gasquality;
using gq::Element;

namespace {

constexpr std::size_t at(Species s) {
    return static_cast<std::size_t>(s);
}
constexpr std::size_t at(Element e) {
    return static_cast<std::size_t>(e);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::string percent(double fraction) {
    return number(fraction * 100.0) + " %";
}

std::string kelvin(double t) {
    return number(t) + " K (" + number(t - 273.15) + " °C)";
}

// The molar heat capacity of liquid water at 25 °C [J/(mol K)]: 4.1813
// kJ/(kg K) (IAPWS-95) times 18.015 g/mol; it varies by under 1 % between
// 0 and 100 °C.
constexpr double kLiquidWaterCp = 75.33;

// The ISO 6976 component of each flue-gas species, for its molar mass.
std::size_t componentOf(Species s) {
    constexpr std::array<std::string_view, kSpeciesCount> names = {
        "carbon dioxide", "sulfur dioxide", "water",  "oxygen",
        "nitrogen",       "argon",          "helium", "neon"};
    return *components::find(names[at(s)]);
}

double speciesMolarMass(std::size_t s) {
    return gq::molarMass(componentOf(static_cast<Species>(s)));
}

// The enthalpy of vaporisation of water at 25 °C [kJ/mol], as ISO 6976
// takes it: the difference of gross and net value of water vapour itself.
double vaporisation25() {
    std::array<double, components::kCount> water{};
    water[componentOf(Species::H2O)] = 1.0;
    const gq::MolarCalorific w = gq::molarCalorific(water, 25.0);
    return w.gross - w.net;
}

void checkTemperature(double t, std::string_view what) {
    if (!(t >= kMinTemperatureK && t <= kMaxTemperatureK))
        throw CombustionError(std::string(what) + " " + kelvin(t) + " is outside the data's " +
                              number(kMinTemperatureK) + " to " + number(kMaxTemperatureK) + " K");
}

// The sum over the species present of n times a molar property at t.
double flueSum(const Amounts& n, double t, double (*property)(std::size_t, double)) {
    double sum = 0.0;
    for (std::size_t s = 0; s < kSpeciesCount; ++s)
        if (n[s] != 0.0)
            sum += n[s] * property(s, t);
    return sum;
}

double flueEnthalpy(const Amounts& n, double t) {
    return flueSum(n, t, thermo::enthalpy);
}

double flueHeatCapacity(const Amounts& n, double t) {
    return flueSum(n, t, thermo::heatCapacity);
}

// The products of complete combustion at λ, per mole of fuel; `air` dry,
// `water` the air's vapour per mole of dry air.
Amounts products(const Fuel& f, const Amounts& air, double water, double lambda) {
    const double dryAir = lambda * f.oxygenMin / air[at(Species::O2)];
    const auto& e = f.elements;
    Amounts n{};
    n[at(Species::CO2)] = e[at(Element::C)] + dryAir * air[at(Species::CO2)];
    n[at(Species::SO2)] = e[at(Element::S)];
    n[at(Species::H2O)] = e[at(Element::H)] / 2.0 + dryAir * water;
    n[at(Species::O2)] = (lambda - 1.0) * f.oxygenMin;
    n[at(Species::N2)] = e[at(Element::N)] / 2.0 + dryAir * air[at(Species::N2)];
    n[at(Species::Ar)] = e[at(Element::Ar)] + dryAir * air[at(Species::Ar)];
    n[at(Species::He)] = e[at(Element::He)];
    n[at(Species::Ne)] = e[at(Element::Ne)];
    return n;
}

double sum(const Amounts& n) {
    double s = 0.0;
    for (const double v : n)
        s += v;
    return s;
}

// The dry flue gas at λ = 1 less the O2 needed, and its growth per unit of
// λ: dry(λ) = dry0 + λ · slope, linear because every mole of air adds its
// non-oxygen part and, beyond λ = 1, its oxygen.
struct DryLine {
    double dry0, slope, co2Fuel, co2Slope;
};
DryLine dryLine(const Fuel& f, const Amounts& air) {
    const auto& e = f.elements;
    const double fuelPart = e[at(Element::C)] + e[at(Element::S)] + e[at(Element::N)] / 2.0 +
                            e[at(Element::Ar)] + e[at(Element::He)] + e[at(Element::Ne)];
    const double xo2 = air[at(Species::O2)];
    return {fuelPart - f.oxygenMin, f.oxygenMin / xo2, e[at(Element::C)],
            f.oxygenMin * air[at(Species::CO2)] / xo2};
}

double lambdaOf(const Fuel& f, const Conditions& c, const Amounts& air, double co2Max) {
    const double xo2 = air[at(Species::O2)];
    const DryLine d = dryLine(f, air);
    switch (c.excess) {
    case Excess::Lambda:
        if (!std::isfinite(c.value) || c.value < 1.0)
            throw CombustionError("λ = " + number(c.value) +
                                  " is below 1: incomplete combustion is not modelled");
        return c.value;
    case Excess::O2: {
        // y · (dry0 + λ slope) = (λ − 1) · O2min, solved for λ.
        const double y = c.value;
        if (!std::isfinite(y) || y < 0.0)
            throw CombustionError("O2 reading " + percent(y) + " is negative");
        if (y >= xo2)
            throw CombustionError("O2 reading " + percent(y) + " is at or above the air's O2 " +
                                  percent(xo2));
        return (f.oxygenMin + y * d.dry0) / (f.oxygenMin - y * d.slope);
    }
    case Excess::CO2: {
        // c · (dry0 + λ slope) = CO2 of the fuel + λ · CO2 of the air.
        const double y = c.value;
        const double xco2 = air[at(Species::CO2)];
        if (!std::isfinite(y) || y <= 0.0)
            throw CombustionError("CO2 reading " + percent(y) + " is not above 0");
        if (co2Max > xco2 && y > co2Max)
            throw CombustionError("CO2 reading " + percent(y) + " is above CO2max " +
                                  percent(co2Max) + " of this fuel");
        const double lambda = (d.co2Fuel - y * d.dry0) / (y * d.slope - d.co2Slope);
        if (!std::isfinite(lambda) || lambda < 1.0)
            throw CombustionError("CO2 reading " + percent(y) +
                                  " cannot come from this fuel and air: the dry flue gas holds " +
                                  percent(co2Max) + " CO2 at λ = 1 and tends to the air's " +
                                  percent(xco2) + " with more air");
        return lambda;
    }
    }
    return 0.0;
}

// Chemical equilibrium of the flue gas at t and p by minimising its Gibbs
// energy: the method of Gordon and McBride (NASA RP-1311, 1994, chapter
// 2), Newton steps on the element potentials and the total amount with
// the logarithms of the amounts as unknowns, so that no amount can turn
// negative. SO2 (the only sulfur species) and the noble gases are fixed.
class Equilibrium {
public:
    static constexpr std::size_t kReacting = 11;
    // The reacting species and the elements C, H, O, N.
    static constexpr std::array<std::size_t, kReacting> kSpecies = {
        thermo::CO2, thermo::H2O, thermo::O2, thermo::N2, thermo::CO, thermo::H2,
        thermo::OH,  thermo::H,   thermo::O,  thermo::NO, thermo::N};

    // The atoms C, H, O, N of the complete products (SO2 keeps its own O).
    Equilibrium(const Amounts& n, double pressureKPa)
        : logP_(std::log(pressureKPa / 100.0)), b_{n[at(Species::CO2)], 2.0 * n[at(Species::H2O)],
                                                   2.0 * n[at(Species::CO2)] + n[at(Species::H2O)] +
                                                       2.0 * n[at(Species::O2)],
                                                   2.0 * n[at(Species::N2)]},
          fixed_(n[at(Species::SO2)] + n[at(Species::Ar)] + n[at(Species::He)] +
                 n[at(Species::Ne)]) {
        for (std::size_t k = 0; k < kElements; ++k)
            element_[k] = b_[k] > 0.0;
        double total = 0.0;
        for (std::size_t j = 0; j < kReacting; ++j) {
            active_[j] = true;
            for (std::size_t k = 0; k < kElements; ++k)
                if (atoms(j, k) != 0 && !element_[k])
                    active_[j] = false;
            total += active_[j] ? 1.0 : 0.0;
        }
        // Start from the complete-combustion products where they exist.
        double start = 0.0;
        for (const double v : n)
            start += v;
        for (std::size_t j = 0; j < kReacting; ++j)
            logN_[j] = active_[j] ? std::log(start / total) : -kInf;
        logTotal_ = std::log(start);
    }

    // Solves at t; returns false when the iteration does not converge.
    bool solve(double t) {
        for (std::size_t j = 0; j < kReacting; ++j)
            g_[j] = active_[j] ? thermo::gibbsOverRT(kSpecies[j], t) : 0.0;
        for (int iteration = 0; iteration < 500; ++iteration) {
            const double total = std::exp(logTotal_);
            std::array<double, kReacting> n{}, mu{};
            double sumN = fixed_;
            for (std::size_t j = 0; j < kReacting; ++j) {
                if (!active_[j])
                    continue;
                n[j] = std::exp(logN_[j]);
                mu[j] = g_[j] + logN_[j] - logTotal_ + logP_;
                sumN += n[j];
            }
            // The reduced Newton system: element potentials, then Δln n.
            constexpr std::size_t m = kElements + 1;
            std::array<std::array<double, m + 1>, m> a{};
            for (std::size_t k = 0; k < kElements; ++k) {
                if (!element_[k]) {
                    a[k][k] = 1.0;
                    continue;
                }
                double bk = 0.0, rhs = b_[k];
                for (std::size_t j = 0; j < kReacting; ++j) {
                    const double akj = atoms(j, k) * n[j];
                    for (std::size_t i = 0; i < kElements; ++i)
                        if (element_[i])
                            a[k][i] += akj * atoms(j, i);
                    bk += akj;
                    rhs += akj * (mu[j] - 1.0);
                }
                a[k][kElements] = bk;
                a[k][m] = rhs;
            }
            double rhs = total - sumN;
            for (std::size_t j = 0; j < kReacting; ++j) {
                for (std::size_t i = 0; i < kElements; ++i)
                    if (element_[i])
                        a[kElements][i] += atoms(j, i) * n[j];
                rhs += n[j] * mu[j];
            }
            a[kElements][kElements] = sumN - fixed_ - total;
            a[kElements][m] = rhs;
            if (!gauss(a))
                return false;
            std::array<double, m> x{};
            for (std::size_t i = 0; i < m; ++i)
                x[i] = a[i][m];
            const double dlnTotal = x[kElements];
            std::array<double, kReacting> dln{};
            double step = 1.0, largest = 5.0 * std::abs(dlnTotal);
            for (std::size_t j = 0; j < kReacting; ++j) {
                if (!active_[j])
                    continue;
                dln[j] = -mu[j] + dlnTotal;
                for (std::size_t i = 0; i < kElements; ++i)
                    dln[j] += atoms(j, i) * x[i];
                if (logN_[j] - logTotal_ > kTraceLog)
                    largest = std::max(largest, std::abs(dln[j]));
                else if (dln[j] >= 0.0 && dln[j] - dlnTotal > 0.0)
                    step = std::min(step, std::abs((-(logN_[j] - logTotal_) + kTraceLog / 2.0) /
                                                   (dln[j] - dlnTotal)));
            }
            if (largest > 2.0)
                step = std::min(step, 2.0 / largest);
            double change = std::abs(dlnTotal);
            for (std::size_t j = 0; j < kReacting; ++j) {
                if (!active_[j])
                    continue;
                logN_[j] += step * dln[j];
                change = std::max(change, n[j] / total * std::abs(dln[j]));
            }
            logTotal_ += step * dlnTotal;
            if (step == 1.0 && change < 1e-13)
                return true;
        }
        return false;
    }

    double amount(std::size_t j) const { return active_[j] ? std::exp(logN_[j]) : 0.0; }

    // The enthalpy of the reacting species at t [J].
    double enthalpy(double t) const {
        double h = 0.0;
        for (std::size_t j = 0; j < kReacting; ++j)
            if (active_[j])
                h += amount(j) * thermo::enthalpy(kSpecies[j], t);
        return h;
    }

private:
    static constexpr std::size_t kElements = 4;
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    static constexpr double kTraceLog = -18.420681; // ln 1e-8

    static int atoms(std::size_t j, std::size_t k) {
        return thermo::polynomial(kSpecies[j]).atoms[k];
    }

    template <std::size_t M> static bool gauss(std::array<std::array<double, M + 1>, M>& a) {
        for (std::size_t c = 0; c < M; ++c) {
            std::size_t pivot = c;
            for (std::size_t r = c + 1; r < M; ++r)
                if (std::abs(a[r][c]) > std::abs(a[pivot][c]))
                    pivot = r;
            if (!(std::abs(a[pivot][c]) > 0.0))
                return false;
            std::swap(a[c], a[pivot]);
            for (std::size_t r = 0; r < M; ++r) {
                if (r == c)
                    continue;
                const double factor = a[r][c] / a[c][c];
                for (std::size_t k = c; k <= M; ++k)
                    a[r][k] -= factor * a[c][k];
            }
        }
        for (std::size_t r = 0; r < M; ++r)
            a[r][M] /= a[r][r];
        return true;
    }

    double logP_;
    std::array<double, kElements> b_{};
    std::array<bool, kElements> element_{};
    double fixed_ = 0.0;
    std::array<bool, kReacting> active_{};
    std::array<double, kReacting> g_{};
    std::array<double, kReacting> logN_{};
    double logTotal_ = 0.0;
};

double completeFlame(const Amounts& n, double target) {
    double t = 2000.0;
    for (int i = 0; i < 100; ++i) {
        const double dt = (flueEnthalpy(n, t) - target) / flueHeatCapacity(n, t);
        t = std::clamp(t - dt, kMinTemperatureK, kMaxTemperatureK);
        if (std::abs(dt) < 1e-10 * t)
            break;
    }
    return t;
}

} // namespace

Fuel fuel(const std::array<double, components::kCount>& fraction) {
    Fuel f;
    double total = 0.0;
    for (std::size_t i = 0; i < components::kCount; ++i) {
        if (!std::isfinite(fraction[i]) || fraction[i] < 0.0)
            throw CombustionError(std::string(components::component(i).name) +
                                  ": negative amount " + percent(fraction[i]));
        total += fraction[i];
    }
    if (!fractionsAddUpToOne(total))
        throw CombustionError("the amounts add up to " + number(total * 100.0) +
                              " mol%, not 100 mol% within 0.01 mol%");
    for (std::size_t i = 0; i < components::kCount; ++i) {
        const double x = fraction[i] / total;
        f.fraction[i] = x;
        if (x == 0.0)
            continue;
        const auto atoms = gq::atoms(i);
        for (std::size_t e = 0; e < gq::kElementCount; ++e)
            f.elements[e] += x * atoms[e];
        f.molarMass += x * gq::molarMass(i);
    }
    const auto& e = f.elements;
    if (e[at(Element::C)] + e[at(Element::H)] + e[at(Element::S)] == 0.0)
        throw CombustionError("the fuel cannot burn: it holds no carbon, hydrogen or sulfur");
    f.oxygenMin =
        e[at(Element::C)] + e[at(Element::H)] / 4.0 + e[at(Element::S)] - e[at(Element::O)] / 2.0;
    if (!(f.oxygenMin > 1e-12))
        throw CombustionError("the fuel cannot burn: its own oxygen already binds its carbon, "
                              "hydrogen and sulfur");
    const gq::MolarCalorific h = gq::molarCalorific(f.fraction, 25.0);
    f.grossKJPerMol = h.gross;
    f.netKJPerMol = h.net;
    return f;
}

Result calculate(const Fuel& f, const Conditions& c) {
    checkTemperature(c.airK, "air temperature");
    if (c.flueK)
        checkTemperature(*c.flueK, "flue-gas temperature");
    if (!(c.pressureKPa >= kMinPressureKPa && c.pressureKPa <= kMaxPressureKPa))
        throw CombustionError("pressure " + number(c.pressureKPa) + " kPa is outside " +
                              number(kMinPressureKPa) + " to " + number(kMaxPressureKPa) +
                              " kPa, where the flue gas is an ideal-gas mixture");

    // Dry air, scaled to 1.
    Amounts air{};
    double airTotal = 0.0;
    for (std::size_t s = 0; s < kSpeciesCount; ++s) {
        const double v = c.air[s];
        if (!std::isfinite(v) || v < 0.0)
            throw CombustionError("air: negative amount of " + std::string(kSpeciesKeys[s]));
        if (v > 0.0 && s != at(Species::CO2) && s != at(Species::O2) && s != at(Species::N2) &&
            s != at(Species::Ar))
            throw CombustionError("air may hold only N2, O2, Ar and CO2, not " +
                                  std::string(kSpeciesKeys[s]));
        airTotal += v;
    }
    if (!(c.air[at(Species::O2)] > 0.0))
        throw CombustionError("the air holds no O2");
    for (std::size_t s = 0; s < kSpeciesCount; ++s)
        air[s] = c.air[s] / airTotal;

    // The air's water vapour per mole of dry air.
    if (!(c.humidity >= 0.0 && c.humidity <= 1.0))
        throw CombustionError("relative humidity " + percent(c.humidity) +
                              " is outside 0 to 100 %");
    double water = 0.0;
    if (c.humidity > 0.0) {
        const double ps = saturationPressureKPa(c.airK);
        if (std::isnan(ps))
            throw CombustionError("humid air at " + kelvin(c.airK) +
                                  ": the saturation line of water covers 0 to 373.946 °C");
        const double pw = c.humidity * ps;
        if (!(pw < c.pressureKPa))
            throw CombustionError("humid air at " + kelvin(c.airK) + " and " +
                                  number(c.pressureKPa) + " kPa: water boils");
        water = pw / (c.pressureKPa - pw);
    }

    Result r;
    r.grossKJPerMol = f.grossKJPerMol;
    r.netKJPerMol = f.netKJPerMol;
    r.oxygenMin = f.oxygenMin;
    r.airMin = f.oxygenMin / air[at(Species::O2)];
    r.airMinHumid = r.airMin * (1.0 + water);

    const Amounts stoichiometric = products(f, air, water, 1.0);
    r.co2Max =
        stoichiometric[at(Species::CO2)] / (sum(stoichiometric) - stoichiometric[at(Species::H2O)]);
    r.lambda = lambdaOf(f, c, air, r.co2Max);
    r.air = r.lambda * r.airMin;
    r.airHumid = r.air * (1.0 + water);

    r.flue = products(f, air, water, r.lambda);
    r.flueWet = sum(r.flue);
    r.flueDry = r.flueWet - r.flue[at(Species::H2O)];
    for (std::size_t s = 0; s < kSpeciesCount; ++s) {
        r.wet[s] = r.flue[s] / r.flueWet;
        r.dry[s] = s == at(Species::H2O) ? 0.0 : r.flue[s] / r.flueDry;
    }
    const double waterPressure = r.wet[at(Species::H2O)] * c.pressureKPa;
    if (const double dew = saturationTemperatureK(waterPressure); !std::isnan(dew))
        r.dewPointK = dew;

    double airMolar = 0.0;
    for (std::size_t s = 0; s < kSpeciesCount; ++s)
        if (air[s] > 0.0)
            airMolar += air[s] * speciesMolarMass(s);
    const double waterMolar = speciesMolarMass(at(Species::H2O));
    r.airMinMass = r.airMin * airMolar / f.molarMass;
    r.airMass = r.air * (airMolar + water * waterMolar) / f.molarMass;
    r.flueMass = 1.0 + r.airMass;

    // Heat. The reactants at 25 °C hold the products' enthalpy plus Hi
    // (water as vapour); the air brings its own heat between 25 °C and its
    // temperature.
    Amounts airIn{};
    for (std::size_t s = 0; s < kSpeciesCount; ++s)
        airIn[s] = r.air * air[s];
    airIn[at(Species::H2O)] = r.air * water;
    const double reactants = flueEnthalpy(r.flue, thermo::kT0) + f.netKJPerMol * 1000.0 +
                             flueEnthalpy(airIn, c.airK) - flueEnthalpy(airIn, thermo::kT0);

    if (c.flueK) {
        const double tf = *c.flueK;
        Result::Efficiency e;
        e.flueLossKJ = (flueEnthalpy(r.flue, tf) - flueEnthalpy(r.flue, c.airK)) / 1000.0;
        if (r.dewPointK && tf < *r.dewPointK) {
            const double ps = saturationPressureKPa(tf);
            if (std::isnan(ps))
                throw CombustionError("flue-gas temperature " + kelvin(tf) +
                                      " lies below the dew point and below 0 °C: freezing "
                                      "condensate is not modelled");
            const double y = ps / c.pressureKPa;
            const double vapour = y * r.flueDry / (1.0 - y);
            e.condensate = std::max(0.0, r.flue[at(Species::H2O)] - vapour);
            const double latent = vaporisation25() * 1000.0 + thermo::enthalpy(thermo::H2O, tf) -
                                  thermo::enthalpy(thermo::H2O, thermo::kT0) -
                                  kLiquidWaterCp * (tf - thermo::kT0);
            e.condensationKJ = e.condensate * latent / 1000.0;
        }
        const double useful = f.netKJPerMol - e.flueLossKJ + e.condensationKJ;
        e.lossHi = e.flueLossKJ / f.netKJPerMol;
        e.etaHi = useful / f.netKJPerMol;
        e.etaHs = useful / f.grossKJPerMol;
        r.efficiency = e;
    }

    if (flueEnthalpy(r.flue, kMaxTemperatureK) >= reactants)
        r.flameCompleteK = completeFlame(r.flue, reactants);

    if (c.equilibrium) {
        Equilibrium eq(r.flue, c.pressureKPa);
        Amounts fixed{};
        for (const Species s : {Species::SO2, Species::Ar, Species::He, Species::Ne})
            fixed[at(s)] = r.flue[at(s)];
        auto excess = [&](double t) {
            if (!eq.solve(t))
                throw CombustionError("chemical equilibrium at " + kelvin(t) + " did not converge");
            return eq.enthalpy(t) + flueEnthalpy(fixed, t) - reactants;
        };
        // Dissociation takes up heat, so the equilibrium temperature lies
        // below the complete one: bracket it there and close in by the
        // Illinois variant of regula falsi.
        double hi = r.flameCompleteK.value_or(kMaxTemperatureK), fHi = excess(hi);
        double lo = std::max(c.airK, hi - 500.0), fLo = excess(lo);
        while (fLo > 0.0 && lo > c.airK) {
            hi = lo;
            fHi = fLo;
            lo = std::max(c.airK, lo - 500.0);
            fLo = excess(lo);
        }
        if (fHi < 0.0)
            return r;
        int side = 0;
        double t = lo;
        for (int i = 0; i < 200 && hi - lo > 1e-9; ++i) {
            t = (lo * fHi - hi * fLo) / (fHi - fLo);
            const double ft = excess(t);
            if (ft == 0.0) {
                lo = hi = t;
                break;
            }
            if ((ft > 0.0) == (fHi > 0.0)) {
                hi = t;
                fHi = ft;
                if (side == 1)
                    fLo /= 2.0;
                side = 1;
            } else {
                lo = t;
                fLo = ft;
                if (side == -1)
                    fHi /= 2.0;
                side = -1;
            }
            if (std::abs(ft) < 1e-6) // J: some 1e-9 K
                break;
        }
        excess(t);
        r.flameEquilibriumK = t;
        for (std::size_t s = 0; s < kSpeciesCount; ++s)
            r.equilibrium[s] = fixed[s];
        for (std::size_t j = 0; j < Equilibrium::kReacting; ++j)
            r.equilibrium[Equilibrium::kSpecies[j]] += eq.amount(j);
    }
    return r;
}

} // namespace tarvelo::combustion
