#include "Iso6976.h"

#include "Iso6976Data.h"

#include "Components.h"

#include <cmath>
#include <cstdio>

namespace tarvelo::gasquality {

namespace {

namespace d = data;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

template <std::size_t N>
std::optional<std::size_t> temperatureIndex(const std::array<double, N>& table, double t) {
    for (std::size_t i = 0; i < N; ++i)
        if (std::abs(table[i] - t) < 1e-9)
            return i;
    return std::nullopt;
}

template <std::size_t N> std::string listed(const std::array<double, N>& table) {
    std::string text;
    for (std::size_t i = 0; i < N; ++i)
        text += (i == 0 ? "" : i + 1 == N ? " or " : ", ") + number(table[i]);
    return text;
}

} // namespace

ReferenceConditions checkReference(const ReferenceConditions& reference) {
    const auto ih = temperatureIndex(d::kCombustionTemperatures, reference.combustionC);
    const auto is = temperatureIndex(d::kMeteringTemperatures, reference.meteringC);
    if (!ih)
        throw Iso6976Error("combustion temperature " + number(reference.combustionC) +
                           " °C is not one of ISO 6976's (" + listed(d::kCombustionTemperatures) +
                           " °C)");
    if (!is)
        throw Iso6976Error("metering temperature " + number(reference.meteringC) +
                           " °C is not one of ISO 6976's (" + listed(d::kMeteringTemperatures) +
                           " °C)");
    if (!(reference.pressureKPa >= 90.0 && reference.pressureKPa <= 110.0))
        throw Iso6976Error("pressure " + number(reference.pressureKPa) +
                           " kPa is outside ISO 6976's range of 90 to 110 kPa");
    return {d::kCombustionTemperatures[*ih], d::kMeteringTemperatures[*is], reference.pressureKPa};
}

namespace {

void checkSum(double sum) {
    if (!fractionsAddUpToOne(sum))
        throw Iso6976Error("the amounts add up to " + number(sum * 100.0) +
                           " mol%, not 100 mol% within 0.01 mol%");
}

// The message for a correlation matrix that fails at component `last`: the
// components correlated with it up to there.
std::string impossible(const std::vector<double>& r, std::size_t last) {
    std::vector<std::string_view> names;
    for (std::size_t k = 0; k < last; ++k)
        if (r[last * kComponentCount + k] != 0.0)
            names.push_back(componentName(k));
    names.push_back(componentName(last));
    std::string list;
    for (std::size_t k = 0; k < names.size(); ++k)
        list += (k == 0 ? "" : k + 1 == names.size() ? " and " : ", ") + std::string(names[k]);
    return "the correlations of " + list +
           " cannot hold together: the correlation matrix is not positive semidefinite";
}

// A symmetric matrix of coefficients is a correlation matrix only when it is
// positive semidefinite: otherwise some combination of the amounts would
// have a negative variance (three amounts pairwise correlated by -0.9, say).
// An LDLᵀ factorisation shows it: every pivot must be >= 0, and a pivot of 0
// (perfectly correlated amounts) must leave nothing in its column.
void checkSemidefinite(const std::vector<double>& r) {
    constexpr std::size_t n = kComponentCount;
    constexpr double tolerance = 1e-9; // of the coefficients' rounding
    std::vector<double> l(n * n, 0.0);
    std::array<double, n> pivot{};
    for (std::size_t j = 0; j < n; ++j) {
        double dj = r[j * n + j];
        for (std::size_t k = 0; k < j; ++k)
            dj -= l[j * n + k] * l[j * n + k] * pivot[k];
        const bool zero = std::abs(dj) <= tolerance;
        if (dj < -tolerance)
            throw Iso6976Error(impossible(r, j));
        pivot[j] = zero ? 0.0 : dj;
        for (std::size_t i = j + 1; i < n; ++i) {
            double a = r[i * n + j];
            for (std::size_t k = 0; k < j; ++k)
                a -= l[i * n + k] * l[j * n + k] * pivot[k];
            if (!zero) {
                l[i * n + j] = a / dj;
            } else if (std::abs(a) > tolerance) {
                throw Iso6976Error(impossible(r, i));
            }
        }
    }
}

void check(const Composition& c, double coverage) {
    if (!(coverage > 0.0 && coverage <= kMaxCoverage))
        throw Iso6976Error("coverage factor " + number(coverage) +
                           " is not a number above 0 and up to " + number(kMaxCoverage));
    double sum = 0.0;
    for (std::size_t i = 0; i < kComponentCount; ++i) {
        const auto name = [i] { return std::string(componentName(i)); };
        if (!std::isfinite(c.fraction[i]) || c.fraction[i] < 0.0)
            throw Iso6976Error(name() + ": negative amount " + number(c.fraction[i] * 100.0) +
                               " mol%");
        if (!std::isfinite(c.fractionU[i]) || c.fractionU[i] < 0.0)
            throw Iso6976Error(name() + ": negative uncertainty " + number(c.fractionU[i] * 100.0) +
                               " mol%");
        sum += c.fraction[i];
    }
    if (!c.correlation.empty()) {
        if (c.correlation.size() != kComponentCount * kComponentCount)
            throw Iso6976Error("the correlation matrix is not " + std::to_string(kComponentCount) +
                               " x " + std::to_string(kComponentCount));
        for (std::size_t i = 0; i < kComponentCount; ++i)
            for (std::size_t j = 0; j < kComponentCount; ++j) {
                const double r = c.correlation[i * kComponentCount + j];
                if (!(r >= -1.0 && r <= 1.0) || r != c.correlation[j * kComponentCount + i] ||
                    (i == j && r != 1.0))
                    throw Iso6976Error("correlation of " + std::string(componentName(i)) + " and " +
                                       std::string(componentName(j)) + " (" + number(r) +
                                       ") is not that of a correlation matrix (symmetric, "
                                       "-1 to 1, 1 on the diagonal)");
            }
        checkSemidefinite(c.correlation);
    }
    checkSum(sum);
}

// How a result depends on the inputs, for its relative uncertainty: the
// exponents with which the calorific value, the molar mass and 1/Z enter,
// and whether the molar volume (the gas constant) or the air's data do.
struct Dependence {
    Result result;
    double calorific;
    bool net;
    double mass;
    double inverseZ;
    bool molarVolume;
    bool air;
};
constexpr Dependence kRelative[] = {
    {Result::G_ideal, 0, false, 1, 0, false, true},
    {Result::G, 0, false, 1, 1, false, true},
    {Result::D_ideal, 0, false, 1, 0, true, false},
    {Result::D, 0, false, 1, 1, true, false},
    {Result::Hm_gross, 1, false, -1, 0, false, false},
    {Result::Hm_net, 1, true, -1, 0, false, false},
    {Result::Hv_gross_ideal, 1, false, 0, 0, true, false},
    {Result::Hv_net_ideal, 1, true, 0, 0, true, false},
    {Result::Hv_gross, 1, false, 0, 1, true, false},
    {Result::Hv_net, 1, true, 0, 1, true, false},
    {Result::W_gross_ideal, 1, false, -0.5, 0, true, true},
    {Result::W_net_ideal, 1, true, -0.5, 0, true, true},
    {Result::W_gross, 1, false, -0.5, 0.5, true, true},
    {Result::W_net, 1, true, -0.5, 0.5, true, true},
};

} // namespace

std::string_view componentName(std::size_t index) {
    return components::component(index).name;
}

std::optional<std::size_t> findComponent(std::string_view name) noexcept {
    return components::find(name);
}

static_assert(kElementCount == d::kElementCount);

std::array<int, kElementCount> atoms(std::size_t index) {
    return d::kComponents.at(index).atoms;
}

double molarMass(std::size_t index) {
    return d::kComponents.at(index).molarMass;
}

MolarCalorific molarCalorific(const std::array<double, kComponentCount>& fraction,
                              double combustionC) {
    const auto ih = temperatureIndex(d::kCombustionTemperatures, combustionC);
    if (!ih)
        throw Iso6976Error("combustion temperature " + number(combustionC) + " °C is not one of " +
                           listed(d::kCombustionTemperatures) + " °C");
    MolarCalorific out;
    double hydrogenAtoms = 0.0;
    for (std::size_t i = 0; i < kComponentCount; ++i) {
        out.gross += fraction[i] * d::kComponents[i].grossCalorific[*ih];
        hydrogenAtoms += fraction[i] * d::kComponents[i].atoms[d::H];
    }
    out.net = out.gross - hydrogenAtoms / 2.0 * d::kWaterVaporisation[*ih];
    return out;
}

double normalise(Composition& composition) {
    double sum = 0.0;
    for (std::size_t i = 0; i < kComponentCount; ++i) {
        if (!std::isfinite(composition.fraction[i]) || composition.fraction[i] < 0.0)
            throw Iso6976Error(std::string(componentName(i)) + ": negative amount " +
                               number(composition.fraction[i] * 100.0) + " mol%");
        sum += composition.fraction[i];
    }
    if (!(sum > 0.0))
        throw Iso6976Error("the amounts are all 0: nothing to normalise");
    // The sum is also shown in mol%.
    if (!std::isfinite(sum * 100.0))
        throw Iso6976Error("the sum of the amounts is beyond the range of numbers");
    for (std::size_t i = 0; i < kComponentCount; ++i) {
        composition.fraction[i] /= sum;
        composition.fractionU[i] /= sum;
    }
    return sum;
}

namespace {

// The sums over the components that make the values.
struct Sums {
    double molarMass = 0.0, summation = 0.0, gross = 0.0, hydrogenAtoms = 0.0;
    void add(const d::Component& p, double x, std::size_t ih, std::size_t is) noexcept {
        molarMass += x * p.molarMass;
        summation += x * p.summationFactor[is];
        gross += x * p.grossCalorific[ih];
        hydrogenAtoms += x * p.atoms[d::H];
    }
};

// Every result's value from the sums, at the reference conditions of
// indices ih and is. Throws Iso6976Error for a compression factor of 0.9 or
// less.
Properties values(const Sums& sums, const ReferenceConditions& reference, std::size_t ih,
                  std::size_t is) {
    const double molarMass = sums.molarMass, summation = sums.summation, gross = sums.gross;
    const double net = gross - sums.hydrogenAtoms / 2.0 * d::kWaterVaporisation[ih];
    const double pr = reference.pressureKPa / d::kStandardPressure;
    const double z = 1.0 - pr * summation * summation;
    if (!(z > kMinimumCompression))
        throw Iso6976Error("compression factor Z = " + number(z) +
                           " is 0.9 or less: outside ISO 6976's range");
    // Ideal molar volume in dm³/mol: kJ/mol over it gives MJ/m³, g/mol kg/m³.
    const double volume = d::kGasConstant * d::kMeteringKelvin[is] / reference.pressureKPa;
    const double airZ = 1.0 - pr * (1.0 - d::kAirCompression[is]);

    Properties out;
    out.reference = reference;
    auto set = [&](Result r, double value) { out.results[std::size_t(r)].value = value; };
    set(Result::M, molarMass);
    set(Result::Z, z);
    set(Result::G_ideal, molarMass / d::kAirMolarMass);
    set(Result::G, molarMass / d::kAirMolarMass * airZ / z);
    set(Result::D_ideal, molarMass / volume);
    set(Result::D, molarMass / volume / z);
    set(Result::Hc_gross, gross);
    set(Result::Hc_net, net);
    set(Result::Hm_gross, gross / molarMass);
    set(Result::Hm_net, net / molarMass);
    set(Result::Hv_gross_ideal, gross / volume);
    set(Result::Hv_net_ideal, net / volume);
    set(Result::Hv_gross, gross / volume / z);
    set(Result::Hv_net, net / volume / z);
    set(Result::W_gross_ideal, gross / volume / std::sqrt(molarMass / d::kAirMolarMass));
    set(Result::W_net_ideal, net / volume / std::sqrt(molarMass / d::kAirMolarMass));
    set(Result::W_gross, out[Result::Hv_gross].value / std::sqrt(out[Result::G].value));
    set(Result::W_net, out[Result::Hv_net].value / std::sqrt(out[Result::G].value));

    return out;
}

} // namespace

Properties calculate(const Composition& c, const ReferenceConditions& reference, double coverage,
                     Uncertainties uncertainties) {
    const ReferenceConditions used = checkReference(reference);
    check(c, coverage);
    const std::size_t ih = *temperatureIndex(d::kCombustionTemperatures, used.combustionC);
    const std::size_t is = *temperatureIndex(d::kMeteringTemperatures, used.meteringC);

    // Only components with an amount or an uncertainty take part.
    std::array<std::size_t, kComponentCount> active{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < kComponentCount; ++i)
        if (c.fraction[i] > 0.0 || c.fractionU[i] > 0.0)
            active[n++] = i;

    const double waterL = d::kWaterVaporisation[ih];
    Sums sums;
    double tableH = 0.0, tableS = 0.0; // Σ x² u(Hc)², Σ x² u(s)²
    std::array<double, d::kElementCount> atoms{};
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = active[k];
        const d::Component& p = d::kComponents[i];
        const double x = c.fraction[i];
        sums.add(p, x, ih, is);
        tableH += x * x * p.grossCalorificU * p.grossCalorificU;
        tableS += x * x * p.summationFactorU * p.summationFactorU;
        for (std::size_t a = 0; a < d::kElementCount; ++a)
            atoms[a] += x * p.atoms[a];
    }
    // The molar masses share the uncertainties of their atoms' masses.
    double tableM = 0.0;
    for (std::size_t a = 0; a < d::kElementCount; ++a)
        tableM += atoms[a] * atoms[a] * d::kAtomicMassU[a] * d::kAtomicMassU[a];
    const double tableL = sums.hydrogenAtoms / 2.0 * d::kWaterVaporisationU *
                          (sums.hydrogenAtoms / 2.0 * d::kWaterVaporisationU);

    Properties out = values(sums, used, ih, is);
    out.coverage = coverage;
    if (uncertainties == Uncertainties::Skip)
        return out;
    const double molarMass = sums.molarMass, summation = sums.summation, gross = sums.gross;
    const double net = out[Result::Hc_net].value, z = out[Result::Z].value;
    const double pr = used.pressureKPa / d::kStandardPressure;
    const double airZ = 1.0 - pr * (1.0 - d::kAirCompression[is]);

    // Σ Σ c_i c_j u(x_i) u(x_j) r(x_i, x_j): the part of the fractions.
    std::array<double, kComponentCount> sens{};
    auto fractionVariance = [&]() {
        double sum = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = active[k];
            const double ci = sens[i] * c.fractionU[i];
            if (c.correlation.empty()) {
                sum += ci * ci;
                continue;
            }
            for (std::size_t l = 0; l < n; ++l) {
                const std::size_t j = active[l];
                sum += ci * sens[j] * c.fractionU[j] * c.correlation[i * kComponentCount + j];
            }
        }
        return sum;
    };
    auto setU = [&](Result r, double u) { out.results[std::size_t(r)].u = coverage * u; };
    // A result divided by its calorific value H (a result without one:
    // itself); formed anew only where H is 0.
    const auto factor = [&](const Dependence& dep, double h) {
        if (h != 0.0)
            return out[dep.result].value / h;
        double f = std::pow(molarMass, dep.mass) * std::pow(z, -dep.inverseZ);
        if (dep.molarVolume)
            f *= used.pressureKPa / (d::kGasConstant * d::kMeteringKelvin[is]);
        if (dep.air)
            f *= std::pow(d::kAirMolarMass, -dep.mass) *
                 (dep.inverseZ != 0.0 ? std::pow(airZ, dep.mass) : 1.0);
        return f;
    };

    for (std::size_t k = 0; k < n; ++k)
        sens[active[k]] = d::kComponents[active[k]].molarMass;
    setU(Result::M, std::sqrt(fractionVariance() + tableM));

    const double dZds = 2.0 * pr * summation; // -dZ/ds_i per x_i, -dZ/dx_i per s_i
    for (std::size_t k = 0; k < n; ++k)
        sens[active[k]] = dZds * d::kComponents[active[k]].summationFactor[is];
    setU(Result::Z, std::sqrt(fractionVariance() + dZds * dZds * tableS));

    for (std::size_t k = 0; k < n; ++k)
        sens[active[k]] = d::kComponents[active[k]].grossCalorific[ih];
    setU(Result::Hc_gross, std::sqrt(fractionVariance() + tableH));
    for (std::size_t k = 0; k < n; ++k)
        sens[active[k]] -= d::kComponents[active[k]].atoms[d::H] / 2.0 * waterL;
    setU(Result::Hc_net, std::sqrt(fractionVariance() + tableH + tableL));

    // Each of these results is R = H^a · F, with H the calorific value
    // (a = 0 or 1) and F = M^b · (1/Z)^c times the molar volume's and the
    // air's part. Then u(R)² = F² · (Σ (a·H_i + H·f_i)² u(x_i)² + a·u(H)² +
    // H²·u_rel(F)²), where f_i is d ln F / dx_i: no division by H, so that a
    // gas that does not burn (H = 0) gets a finite uncertainty, that of its
    // data, and never 0/0.
    const double zRelative = dZds / z; // d ln(1/Z) / d s_i per x_i
    const double gasConstant = d::kGasConstantU / d::kGasConstant;
    const double airMass = d::kAirMolarMassU / d::kAirMolarMass;
    const double airCompression = pr * d::kAirCompressionU / airZ;
    for (const Dependence& dep : kRelative) {
        const bool calorific = dep.calorific != 0.0;
        const double h = calorific ? (dep.net ? net : gross) : 1.0;
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = active[k];
            const d::Component& p = d::kComponents[i];
            const double hi = p.grossCalorific[ih] - (dep.net ? p.atoms[d::H] / 2.0 * waterL : 0.0);
            sens[i] =
                (calorific ? hi : 0.0) + h * (dep.mass * p.molarMass / molarMass +
                                              dep.inverseZ * zRelative * p.summationFactor[is]);
        }
        double relative = dep.mass * dep.mass * tableM / (molarMass * molarMass);
        relative += dep.inverseZ * dep.inverseZ * zRelative * zRelative * tableS;
        if (dep.molarVolume)
            relative += gasConstant * gasConstant;
        if (dep.air) {
            relative += dep.mass * dep.mass * airMass * airMass;
            if (dep.inverseZ != 0.0)
                relative += dep.mass * dep.mass * airCompression * airCompression;
        }
        double variance = fractionVariance() + h * h * relative;
        if (calorific)
            variance += tableH + (dep.net ? tableL : 0.0);
        setU(dep.result, std::abs(factor(dep, h)) * std::sqrt(variance));
    }
    // Finite inputs can still overflow (a coverage factor of 1e308).
    for (std::size_t r = 0; r < kResultCount; ++r)
        if (!std::isfinite(out.results[r].value) || !std::isfinite(out.results[r].u))
            throw Iso6976Error(std::string(std::isfinite(out.results[r].value)
                                               ? "the uncertainty of "
                                               : "the result ") +
                               std::string(kResultKeys[r]) + " is beyond the range of numbers");
    return out;
}

Properties calculateValues(std::span<const std::size_t> present,
                           const std::array<double, kComponentCount>& fraction,
                           const ReferenceConditions& reference) {
    const ReferenceConditions used = checkReference(reference);
    double sum = 0.0;
    for (const std::size_t i : present) {
        if (!std::isfinite(fraction[i]) || fraction[i] < 0.0)
            throw Iso6976Error(std::string(componentName(i)) + ": negative amount " +
                               number(fraction[i] * 100.0) + " mol%");
        sum += fraction[i];
    }
    checkSum(sum);
    const std::size_t ih = *temperatureIndex(d::kCombustionTemperatures, used.combustionC);
    const std::size_t is = *temperatureIndex(d::kMeteringTemperatures, used.meteringC);
    Sums sums;
    for (const std::size_t i : present)
        if (fraction[i] > 0.0)
            sums.add(d::kComponents[i], fraction[i], ih, is);
    return values(sums, used, ih, is);
}

} // namespace tarvelo::gasquality
