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

// Adds one term v = n·tau^t·f(delta) to r, where g = delta·f'/f,
// q1 = delta·g' and q2 = delta·(delta·g')'.
inline void addTerm(Residual& r, double v, double t, double g, double q1, double q2,
                    bool full) noexcept {
    const double h = g * g - g + q1;
    r.d1 += v * g;
    r.d2 += v * h;
    if (full) {
        r.a += v;
        r.t1 += v * t;
        r.t2 += v * t * (t - 1.0);
        r.dt += v * t * g;
        r.d3 += v * (g * h + (2.0 * g - 1.0) * q1 + q2 - 2.0 * h);
    }
}

} // namespace

double gergMolarMass(const Fractions& x) noexcept {
    double m = 0.0;
    for (std::size_t i = 0; i < kComponents; ++i)
        m += x[i] * gerg::kComponentConstants[i].molarMass;
    return m;
}

GergTerms gergTerms(const Fractions& x) noexcept {
    GergTerms terms;

    // Reducing functions (Kunz and Wagner 2012, eqs 7.9 and 7.10).
    const PairTable& pairs = pairTable();
    double temperature = 0.0, volume = 0.0;
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] <= 0.0)
            continue;
        const auto& ci = gerg::kComponentConstants[i];
        temperature += x[i] * x[i] * ci.criticalTemperature;
        volume += x[i] * x[i] / ci.criticalDensity;
        for (std::size_t j = i + 1; j < kComponents; ++j) {
            if (x[j] <= 0.0)
                continue;
            const PairReducing& p = pairs[i][j];
            const double xx = 2.0 * x[i] * x[j] * (x[i] + x[j]);
            temperature += xx * p.temperature / (p.betaT2 * x[i] + x[j]);
            volume += xx * p.volume / (p.betaV2 * x[i] + x[j]);
        }
    }
    terms.reducingTemperature = temperature;
    terms.reducingDensity = 1.0 / volume;

    // Pure-component terms: components sharing an exponent table add their
    // weighted coefficients into one set of terms.
    struct Group {
        const gerg::PureExponents* exponents;
        std::size_t first;
    };
    std::array<Group, kComponents> groups{};
    std::size_t groupCount = 0;
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] <= 0.0)
            continue;
        const gerg::PureEquation& e = gerg::kPureEquations[i];
        std::size_t g = 0;
        while (g < groupCount && groups[g].exponents != e.exponents)
            ++g;
        if (g == groupCount) {
            groups[groupCount++] = {e.exponents, terms.pureCount};
            for (std::size_t k = 0; k < e.count; ++k)
                terms.pure[terms.pureCount++] = {0.0, e.exponents[k].t, e.exponents[k].d,
                                                 e.exponents[k].c};
        }
        for (std::size_t k = 0; k < e.count; ++k)
            terms.pure[groups[g].first + k].n += x[i] * e.n[k];
    }

    // Departure functions: pairs sharing a function add their weights.
    std::array<double, gerg::kDepartureFunctions.size()> weight{};
    for (const gerg::DeparturePair& p : gerg::kDeparturePairs)
        weight[static_cast<std::size_t>(p.function)] +=
            x[static_cast<std::size_t>(p.i)] * x[static_cast<std::size_t>(p.j)] * p.f;
    for (std::size_t f = 0; f < weight.size(); ++f) {
        if (weight[f] == 0.0)
            continue;
        const gerg::DepartureFunction& fn = gerg::kDepartureFunctions[f];
        for (std::size_t k = 0; k < fn.count; ++k) {
            const gerg::DepartureTerm& t = fn.terms[k];
            terms.departure[terms.departureCount++] = {weight[f] * t.n, t.t,     t.eta, t.epsilon,
                                                       t.beta,          t.gamma, t.d};
        }
    }
    return terms;
}

GergAtTemperature::GergAtTemperature(const GergTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    const double lnTau = std::log(terms.reducingTemperature / temperatureK);
    for (std::size_t k = 0; k < terms.pureCount; ++k) {
        const GergPureTerm& p = terms.pure[k];
        pureFactor_[k] = p.t == 0.0 ? p.n : p.n * std::exp(p.t * lnTau);
    }
    for (std::size_t k = 0; k < terms.departureCount; ++k) {
        const GergDepartureTerm& p = terms.departure[k];
        departureFactor_[k] = p.t == 0.0 ? p.n : p.n * std::exp(p.t * lnTau);
    }
}

Residual GergAtTemperature::at(double densityMolPerL, bool full) const noexcept {
    const double delta = densityMolPerL / terms_.reducingDensity;
    std::array<double, kMaxPower + 1> power{};
    power[0] = 1.0;
    for (int i = 1; i <= kMaxPower; ++i)
        power[static_cast<std::size_t>(i)] = power[static_cast<std::size_t>(i - 1)] * delta;
    std::array<double, kMaxExponentC + 1> decay{}; // exp(-delta^c)
    for (std::size_t c = 1; c <= kMaxExponentC; ++c)
        decay[c] = std::exp(-power[c]);

    Residual r;
    for (std::size_t k = 0; k < terms_.pureCount; ++k) {
        const GergPureTerm& p = terms_.pure[k];
        const auto d = static_cast<std::size_t>(p.d);
        if (p.c == 0) {
            addTerm(r, pureFactor_[k] * power[d], p.t, p.d, 0.0, 0.0, full);
        } else {
            const auto c = static_cast<std::size_t>(p.c);
            const double cdc = p.c * power[c];
            addTerm(r, pureFactor_[k] * power[d] * decay[c], p.t, p.d - cdc, -p.c * cdc,
                    -p.c * p.c * cdc, full);
        }
    }
    for (std::size_t k = 0; k < terms_.departureCount; ++k) {
        const GergDepartureTerm& p = terms_.departure[k];
        const auto d = static_cast<std::size_t>(p.d);
        if (p.eta == 0.0 && p.beta == 0.0) {
            addTerm(r, departureFactor_[k] * power[d], p.t, p.d, 0.0, 0.0, full);
        } else {
            const double de = delta - p.epsilon;
            const double v = departureFactor_[k] * power[d] *
                             std::exp(-p.eta * de * de - p.beta * (delta - p.gamma));
            const double q1 =
                -4.0 * p.eta * delta * delta + (2.0 * p.eta * p.epsilon - p.beta) * delta;
            const double g = p.d - 2.0 * p.eta * delta * de - p.beta * delta;
            const double q2 =
                -8.0 * p.eta * delta * delta + (2.0 * p.eta * p.epsilon - p.beta) * delta;
            addTerm(r, v, p.t, g, q1, q2, full);
        }
    }
    return r;
}

} // namespace tarvelo::realgas::detail
