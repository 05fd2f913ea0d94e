// GERG-2008: the mixture terms of a composition and the residual Helmholtz
// energy, evaluated from the tables of Gerg2008Tables.h.
#include "Gerg2008Tables.h"
#include "Models.h"

#include <cmath>

namespace tarvelo::realgas::detail {
namespace {

using gerg::kComponents;

// The largest exponents d and c of the tables: the powers of delta that a
// state needs.
constexpr int kMaxPower = 10;
constexpr int kMaxExponentC = 7;

// The per-pair constants of the reducing functions, from the binary
// parameters and the critical values: beta², and beta·gamma times the
// combining rule of the critical values.
struct PairReducing {
    double betaT2, temperature; // beta_T², beta_T·gamma_T·sqrt(Tc_i·Tc_j)
    double betaV2, volume;      // beta_v², beta_v·gamma_v·(Vc_i^1/3 + Vc_j^1/3)³/8
};
using PairTable = std::array<std::array<PairReducing, kComponents>, kComponents>;

PairTable makePairTable() noexcept {
    PairTable table{};
    std::size_t pair = 0;
    for (std::size_t i = 0; i < kComponents; ++i)
        for (std::size_t j = i + 1; j < kComponents; ++j, ++pair) {
            const auto& p = gerg::kReducingPairs[pair];
            const auto& ci = gerg::kComponentConstants[i];
            const auto& cj = gerg::kComponentConstants[j];
            const double v =
                1.0 / std::cbrt(ci.criticalDensity) + 1.0 / std::cbrt(cj.criticalDensity);
            table[i][j] = {p.betaT * p.betaT,
                           p.betaT * p.gammaT *
                               std::sqrt(ci.criticalTemperature * cj.criticalTemperature),
                           p.betaV * p.betaV, p.betaV * p.gammaV * v * v * v / 8.0};
        }
    return table;
}

const PairTable& pairTable() noexcept {
    static const PairTable table = makePairTable();
    return table;
}

// Every distinct term of the pure-component equations and the departure
// functions, once: the components and pairs refer to it by index, so that a
// mixture merges equal terms by adding their coefficients. Terms with the
// same d and exponential share a group.
constexpr std::size_t kMaxShapes = 16;
constexpr int kFractionSteps = 40; // t on a grid of 1/40 (every t of the tables)
struct Shape {
    double eta, epsilon, beta, gamma;
};
struct Group {
    int d;
    int c;     // exp(-delta^c); 0: none
    int shape; // index into shapes; -1: none
    int kind;  // 0 polynomial, 1 exp(-delta^c), 2 departure exponential
};
struct Catalogue {
    std::array<GergTerm, kGergMaxTerms> terms{};
    std::size_t count = 0;
    std::array<Group, kGergMaxGroups> groups{};
    std::size_t groupCount = 0;
    std::array<Shape, kMaxShapes> shapes{};
    std::size_t shapeCount = 0;
    std::array<std::array<std::size_t, 24>, kComponents> pure{};
    std::array<std::array<std::size_t, 12>, gerg::kDepartureFunctions.size()> departure{};
};

std::size_t catalogueIndex(Catalogue& cat, int d, double t, int c, int shape) noexcept {
    std::size_t group = 0;
    while (group < cat.groupCount && !(cat.groups[group].d == d && cat.groups[group].c == c &&
                                       cat.groups[group].shape == shape))
        ++group;
    if (group == cat.groupCount)
        cat.groups[cat.groupCount++] = {d, c, shape, c != 0 ? 1 : (shape >= 0 ? 2 : 0)};
    for (std::size_t k = 0; k < cat.count; ++k) {
        const GergTerm& e = cat.terms[k];
        if (e.group == static_cast<int>(group) && e.t == t)
            return k;
    }
    GergTerm term{0.0, t, static_cast<int>(group), 0, -1};
    const double whole = std::floor(t);
    const double fraction = std::round((t - whole) * kFractionSteps);
    if (std::abs(whole + fraction / kFractionSteps - t) < 1e-12) {
        term.tWhole = static_cast<int>(whole);
        term.tFraction = static_cast<int>(fraction);
    }
    cat.terms[cat.count] = term;
    return cat.count++;
}

Catalogue makeCatalogue() noexcept {
    Catalogue cat;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const gerg::PureEquation& e = gerg::kPureEquations[i];
        for (std::size_t k = 0; k < e.count; ++k)
            cat.pure[i][k] =
                catalogueIndex(cat, e.exponents[k].d, e.exponents[k].t, e.exponents[k].c, -1);
    }
    for (std::size_t f = 0; f < gerg::kDepartureFunctions.size(); ++f) {
        const gerg::DepartureFunction& fn = gerg::kDepartureFunctions[f];
        for (std::size_t k = 0; k < fn.count; ++k) {
            const gerg::DepartureTerm& t = fn.terms[k];
            int shape = -1;
            if (t.eta != 0.0 || t.beta != 0.0) {
                const Shape s{t.eta, t.epsilon, t.beta, t.gamma};
                std::size_t m = 0;
                while (m < cat.shapeCount &&
                       !(cat.shapes[m].eta == s.eta && cat.shapes[m].epsilon == s.epsilon &&
                         cat.shapes[m].beta == s.beta && cat.shapes[m].gamma == s.gamma))
                    ++m;
                if (m == cat.shapeCount)
                    cat.shapes[cat.shapeCount++] = s;
                shape = static_cast<int>(m);
            }
            cat.departure[f][k] = catalogueIndex(cat, t.d, t.t, 0, shape);
        }
    }
    return cat;
}

const Catalogue& catalogue() noexcept {
    static const Catalogue cat = makeCatalogue();
    return cat;
}

} // namespace

double gergMolarMass(const Fractions& x) noexcept {
    double m = 0.0;
    for (std::size_t i = 0; i < kComponents; ++i)
        m += x[i] * gerg::kComponentConstants[i].molarMass;
    return m;
}

void gergTerms(const Fractions& x, GergTerms& terms) noexcept {
    terms.count = terms.groupCount = terms.polynomialGroups = terms.decayingGroups = 0;

    // Reducing functions (Kunz and Wagner 2012, eqs 7.9 and 7.10).
    const PairTable& pairs = pairTable();
    // Partial sums by j: independent accumulators instead of one long chain.
    std::array<double, kComponents> temperature{}, volume{};
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] <= 0.0)
            continue;
        const auto& ci = gerg::kComponentConstants[i];
        temperature[i] += x[i] * x[i] * ci.criticalTemperature;
        volume[i] += x[i] * x[i] / ci.criticalDensity;
        for (std::size_t j = i + 1; j < kComponents; ++j) {
            if (x[j] <= 0.0)
                continue;
            // With beta = 1 the fraction (x_i + x_j)/(beta²·x_i + x_j) is 1.
            const PairReducing& p = pairs[i][j];
            const double xx = 2.0 * x[i] * x[j];
            const double sum = x[i] + x[j];
            temperature[j] += p.betaT2 == 1.0 ? xx * p.temperature
                                              : xx * sum * p.temperature / (p.betaT2 * x[i] + x[j]);
            volume[j] +=
                p.betaV2 == 1.0 ? xx * p.volume : xx * sum * p.volume / (p.betaV2 * x[i] + x[j]);
        }
    }
    double reducingTemperature = 0.0, reducingVolume = 0.0;
    for (std::size_t j = 0; j < kComponents; ++j) {
        reducingTemperature += temperature[j];
        reducingVolume += volume[j];
    }
    terms.reducingTemperature = reducingTemperature;
    terms.reducingDensity = 1.0 / reducingVolume;

    // Residual terms: the coefficients of every catalogue term, summed over
    // the components and the pairs with a departure function.
    const Catalogue& cat = catalogue();
    std::array<double, kGergMaxTerms> n{};
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] <= 0.0)
            continue;
        const gerg::PureEquation& e = gerg::kPureEquations[i];
        for (std::size_t k = 0; k < e.count; ++k)
            n[cat.pure[i][k]] += x[i] * e.n[k];
    }
    for (const gerg::DeparturePair& p : gerg::kDeparturePairs) {
        const double w = x[static_cast<std::size_t>(p.i)] * x[static_cast<std::size_t>(p.j)] * p.f;
        if (w == 0.0)
            continue;
        const auto f = static_cast<std::size_t>(p.function);
        const gerg::DepartureFunction& fn = gerg::kDepartureFunctions[f];
        for (std::size_t k = 0; k < fn.count; ++k)
            n[cat.departure[f][k]] += w * fn.terms[k].n;
    }
    std::array<bool, kGergMaxGroups> used{};
    for (std::size_t k = 0; k < cat.count; ++k) {
        if (n[k] == 0.0)
            continue;
        GergTerm& term = terms.terms[terms.count++];
        term = cat.terms[k];
        term.n = n[k];
        used[static_cast<std::size_t>(term.group)] = true;
    }
    for (int kind = 0; kind < 3; ++kind) {
        for (std::size_t g = 0; g < cat.groupCount; ++g)
            if (used[g] && cat.groups[g].kind == kind)
                terms.groups[terms.groupCount++] = static_cast<int>(g);
        if (kind == 0)
            terms.polynomialGroups = terms.groupCount;
        else if (kind == 1)
            terms.decayingGroups = terms.groupCount;
    }
}

GergAtTemperature::GergAtTemperature(const GergTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    // tau^t = tau^whole · (tau^(1/40))^fraction: one exp for all the terms.
    constexpr int kMinWhole = -1, kMaxWhole = 30;
    const double tau = terms.reducingTemperature / temperatureK;
    const double lnTau = std::log(tau);
    std::array<double, kMaxWhole - kMinWhole + 1> whole{};
    whole[0] = 1.0 / tau;
    whole[1] = 1.0;
    for (std::size_t k = 2; k < whole.size(); ++k)
        whole[k] = whole[k - 1] * tau;
    std::array<double, kFractionSteps> fraction{};
    fraction[0] = 1.0;
    fraction[1] = std::exp(lnTau / kFractionSteps);
    for (std::size_t k = 2; k < fraction.size(); ++k)
        fraction[k] = fraction[k - 1] * fraction[1];
    for (std::size_t g = 0; g < terms.groupCount; ++g) {
        const auto group = static_cast<std::size_t>(terms.groups[g]);
        sum0_[group] = sum1_[group] = sum2_[group] = 0.0;
    }
    for (std::size_t k = 0; k < terms.count; ++k) {
        const GergTerm& p = terms.terms[k];
        const auto w = static_cast<std::size_t>(p.tWhole - kMinWhole);
        const auto f = static_cast<std::size_t>(p.tFraction);
        const double factor =
            p.tFraction >= 0 && p.tWhole >= kMinWhole && w < whole.size() && f < fraction.size()
                ? p.n * whole[w] * fraction[f]
                : p.n * std::exp(p.t * lnTau);
        const auto group = static_cast<std::size_t>(p.group);
        sum0_[group] += factor;
        sum1_[group] += factor * p.t;
        sum2_[group] += factor * p.t * (p.t - 1.0);
    }
}

double GergAtTemperature::secondVirial() const noexcept {
    // The terms linear in delta at delta -> 0: those with d = 1, their
    // exponentials at delta = 0.
    const Catalogue& cat = catalogue();
    double b = 0.0;
    for (std::size_t k = 0; k < terms_.groupCount; ++k) {
        const auto id = static_cast<std::size_t>(terms_.groups[k]);
        const Group& p = cat.groups[id];
        if (p.d != 1)
            continue;
        double f = 1.0;
        if (p.shape >= 0) {
            const Shape& e = cat.shapes[static_cast<std::size_t>(p.shape)];
            f = std::exp(-e.eta * e.epsilon * e.epsilon + e.beta * e.gamma);
        }
        b += sum0_[id] * f;
    }
    return b / terms_.reducingDensity;
}

Residual GergAtTemperature::at(double densityMolPerL, bool full) const noexcept {
    const double delta = densityMolPerL / terms_.reducingDensity;
    std::array<double, kMaxPower + 1> power{};
    power[0] = 1.0;
    for (std::size_t i = 1; i < power.size(); ++i)
        power[i] = power[i - 1] * delta;
    std::array<double, kMaxExponentC + 1> decay{}; // exp(-delta^c)
    for (std::size_t c = 1; c < decay.size(); ++c)
        decay[c] = std::exp(-power[c]);
    const Catalogue& cat = catalogue();
    std::array<double, kMaxShapes> shape{};
    for (std::size_t s = 0; s < cat.shapeCount; ++s) {
        const Shape& e = cat.shapes[s];
        const double de = delta - e.epsilon;
        shape[s] = std::exp(-e.eta * de * de - e.beta * (delta - e.gamma));
    }

    Residual r;
    std::size_t k = 0;
    for (; k < terms_.groupCount; ++k) {
        const auto id = static_cast<std::size_t>(terms_.groups[k]);
        const Group& p = cat.groups[id];
        double f = power[static_cast<std::size_t>(p.d)]; // the density part of the group
        double g = p.d, q1 = 0.0, q2 = 0.0;
        if (k >= terms_.decayingGroups) {
            const Shape& e = cat.shapes[static_cast<std::size_t>(p.shape)];
            f *= shape[static_cast<std::size_t>(p.shape)];
            const double linear = (2.0 * e.eta * e.epsilon - e.beta) * delta;
            const double quadratic = e.eta * delta * delta;
            g += linear - 2.0 * quadratic;
            q1 = linear - 4.0 * quadratic;
            q2 = linear - 8.0 * quadratic;
        } else if (k >= terms_.polynomialGroups) {
            const auto c = static_cast<std::size_t>(p.c);
            const double cdc = p.c * power[c];
            f *= decay[c];
            g -= cdc;
            q1 = -p.c * cdc;
            q2 = -p.c * p.c * cdc;
        }
        const double v = sum0_[id] * f;
        const double h = g * g - g + q1;
        r.d1 += v * g;
        r.d2 += v * h;
        if (full) {
            // The members of a group differ only in tau^t: their tau
            // derivatives come from the sums weighted with t and t(t-1).
            r.a += v;
            r.t1 += sum1_[id] * f;
            r.t2 += sum2_[id] * f;
            r.dt += sum1_[id] * f * g;
            r.d3 += v * (g * h + (2.0 * g - 1.0) * q1 + q2 - 2.0 * h);
        }
    }
    return r;
}

} // namespace tarvelo::realgas::detail
