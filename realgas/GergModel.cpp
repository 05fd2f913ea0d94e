// GERG-2008: the mixture terms of a composition and the residual Helmholtz
// energy, evaluated from the tables of Gerg2008Tables.h.
#include "Gerg2008Tables.h"
#include "Models.h"
#include "VectorMath.h"

#include <cmath>
#include <cstdint>

namespace tarvelo::realgas::detail {
namespace {

using gerg::kComponents;

// The largest exponents d and c of the tables: the powers of delta that a
// state needs.
constexpr int kMaxPower = 10;
constexpr int kMaxExponentC = 7;
// The exponentials of the density at a state: exp(-delta^c) in slot c - 1,
// those of the departure functions' shapes from slot kShapeSlot on, and
// exp(0) = 1 in slot kOneSlot for the polynomial groups.
constexpr std::size_t kShapeSlot = 8;
constexpr std::size_t kExponentialSlots = 32;
constexpr std::int32_t kOneSlot = kExponentialSlots - 1;

// The reducing functions (Kunz and Wagner 2012, eqs 7.9 and 7.10):
//   T_r = sum_i x_i²·Tc_i
//       + sum_i<j 2·x_i·x_j·beta_T·gamma_T·sqrt(Tc_i·Tc_j)·(x_i + x_j)/(beta_T²·x_i + x_j),
// and 1/rho_r likewise with beta_v, gamma_v, 1/rho_c,i and (Vc_i^1/3 + Vc_j^1/3)³/8.
// Where both betas of a pair are 1 the fraction is 1, and those pairs with
// the components' own terms make a quadratic form over the composition; the
// other pairs (70 of the 210) are listed with their constants.
constexpr std::size_t kFittedPairSlots = 80;
struct ReducingTable {
    // [i][i]: Tc_i or 1/rho_c,i; [i][j], j > i: twice the pair's constant.
    alignas(64) std::array<std::array<double, kPaddedComponents>, kComponents> temperature{},
        volume{};
    alignas(64) std::array<double, kFittedPairSlots> betaT2{}, factorT{}, betaV2{}, factorV{};
    std::array<std::size_t, kFittedPairSlots> i{}, j{}; // unused slots: 0, 0 with factors 0
};

ReducingTable makeReducingTable() noexcept {
    ReducingTable table{};
    std::size_t pair = 0, fitted = 0;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const auto& ci = gerg::kComponentConstants[i];
        table.temperature[i][i] = ci.criticalTemperature;
        table.volume[i][i] = 1.0 / ci.criticalDensity;
        for (std::size_t j = i + 1; j < kComponents; ++j, ++pair) {
            const auto& p = gerg::kReducingPairs[pair];
            const auto& cj = gerg::kComponentConstants[j];
            const double v =
                1.0 / std::cbrt(ci.criticalDensity) + 1.0 / std::cbrt(cj.criticalDensity);
            const double temperature = 2.0 * p.betaT * p.gammaT *
                                       std::sqrt(ci.criticalTemperature * cj.criticalTemperature);
            const double volume = 2.0 * p.betaV * p.gammaV * v * v * v / 8.0;
            if (p.betaT == 1.0 && p.betaV == 1.0) {
                table.temperature[i][j] = temperature;
                table.volume[i][j] = volume;
            } else if (fitted < kFittedPairSlots) {
                table.i[fitted] = i;
                table.j[fitted] = j;
                table.betaT2[fitted] = p.betaT * p.betaT;
                table.factorT[fitted] = temperature;
                table.betaV2[fitted] = p.betaV * p.betaV;
                table.factorV[fitted] = volume;
                ++fitted;
            }
        }
    }
    return table;
}

const ReducingTable& reducingTable() noexcept {
    static const ReducingTable table = makeReducingTable();
    return table;
}

// T_r and 1/rho_r of a composition.
TARVELO_VECTOR_CLONES
void reducingValues(const Fractions& fractions, double& temperature, double& volume) noexcept {
    const ReducingTable& table = reducingTable();
    alignas(64) const PaddedFractions x = padded(fractions);
    // The quadratic form, summed by j: independent accumulators.
    alignas(64) std::array<double, kPaddedComponents> t{}, v{};
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] == 0.0)
            continue;
        for (std::size_t j = 0; j < kPaddedComponents; ++j) {
            t[j] += x[i] * table.temperature[i][j] * x[j];
            v[j] += x[i] * table.volume[i][j] * x[j];
        }
    }
    // The fitted pairs: x_i·x_j·(x_i + x_j)/(beta²·x_i + x_j) for both, with
    // one division for the two fractions.
    alignas(64) std::array<double, kFittedPairSlots> pt, pv;
    for (std::size_t k = 0; k < kFittedPairSlots; ++k) {
        const double xi = x[table.i[k]], xj = x[table.j[k]];
        const double denominatorT = table.betaT2[k] * xi + xj;
        const double denominatorV = table.betaV2[k] * xi + xj;
        const double product = denominatorT * denominatorV;
        // Both fractions 0 (x_i = x_j = 0): the term is 0.
        const double r = xi * xj * (xi + xj) / (product > 0.0 ? product : 1.0);
        pt[k] = table.factorT[k] * denominatorV * r;
        pv[k] = table.factorV[k] * denominatorT * r;
    }
    temperature = sum(t) + sum(pt);
    volume = sum(v) + sum(pv);
}

// Every distinct term of the pure-component equations and the departure
// functions, once: the components and pairs refer to it by slot, so that a
// mixture merges equal terms by adding their coefficients. Terms with the
// same d and exponential form a group, whose members differ only in t; the
// groups are ordered by kind (polynomial, exp(-delta^c), departure
// exponential) and the terms by group, so that each group is a run of slots.
constexpr std::size_t kMaxShapes = 16;
struct Shape {
    double eta, epsilon, beta, gamma;
};
struct Group {
    int d;
    int c;                  // exp(-delta^c); 0: none
    int shape;              // index into shapes; -1: none
    int kind;               // 0 polynomial, 1 exp(-delta^c), 2 departure exponential
    std::size_t begin, end; // its slots
};
struct Term {
    double t;
    int group;
};
struct Catalogue {
    std::array<Term, kGergTermSlots> terms{};
    std::size_t count = 0;
    // By slot, ordered: t and t(t-1) (0 in the unused slots).
    alignas(64) std::array<double, kGergTermSlots> t{}, t2{};
    std::array<Group, kGergMaxGroups> groups{};
    std::size_t groupCount = 0, polynomialGroups = 0, decayingGroups = 0;
    std::array<Shape, kMaxShapes> shapes{};
    std::size_t shapeCount = 0;
    // By group, padded with groups that contribute nothing, for the loop
    // over the groups at a density: d and c as numbers and as indices of
    // the powers of delta, the slot of its exponential (see at()), and for a
    // departure exponential 2·eta·epsilon - beta and eta (else 0).
    alignas(64) std::array<double, kGergMaxGroups> groupD{}, groupC{}, groupLinear{}, groupEta{};
    // The second virial coefficient's share of a group: the terms linear in
    // delta at delta -> 0 are those with d = 1, with their exponentials at
    // delta = 0 (else 0).
    alignas(64) std::array<double, kGergMaxGroups> groupVirial{};
    std::array<std::int32_t, kGergMaxGroups> dIndex{}, cIndex{}, exponentialIndex{};
    std::array<std::array<std::size_t, 24>, kComponents> pure{};
    // The components that share one set of exponents (13 share the short
    // one) are summed by term first and scattered into the slots once.
    struct ExponentSet {
        std::size_t count = 0; // terms
        std::array<std::size_t, 24> slots{};
        std::size_t componentCount = 0;
        std::array<std::size_t, kComponents> components{};
    };
    std::array<ExponentSet, kComponents> sets{};
    std::size_t setCount = 0;
    // The coefficients n_ik by component, padded to 24 terms.
    alignas(64) std::array<std::array<double, 24>, kComponents> coefficients{};
    std::array<std::array<std::size_t, 12>, gerg::kDepartureFunctions.size()> departure{};
};

// The slot of a term, added if new. The tables hold 146 distinct terms in 36
// groups, within the bounds of the arrays.
std::size_t catalogueIndex(Catalogue& cat, int d, double t, int c, int shape) noexcept {
    std::size_t group = 0;
    while (group < cat.groupCount && !(cat.groups[group].d == d && cat.groups[group].c == c &&
                                       cat.groups[group].shape == shape))
        ++group;
    if (group == cat.groupCount)
        cat.groups[cat.groupCount++] = {d, c, shape, c != 0 ? 1 : (shape >= 0 ? 2 : 0), 0, 0};
    for (std::size_t k = 0; k < cat.count; ++k) {
        const Term& e = cat.terms[k];
        if (e.group == static_cast<int>(group) && e.t == t)
            return k;
    }
    cat.terms[cat.count] = {t, static_cast<int>(group)};
    return cat.count++;
}

// Orders the groups by kind and the terms by group, and renumbers the slots.
void sortCatalogue(Catalogue& cat) noexcept {
    std::array<std::size_t, kGergMaxGroups> newGroup{};
    std::array<Group, kGergMaxGroups> groups{};
    std::size_t g = 0;
    for (int kind = 0; kind < 3; ++kind) {
        for (std::size_t old = 0; old < cat.groupCount; ++old)
            if (cat.groups[old].kind == kind) {
                newGroup[old] = g;
                groups[g++] = cat.groups[old];
            }
        if (kind == 0)
            cat.polynomialGroups = g;
        else if (kind == 1)
            cat.decayingGroups = g;
    }
    std::array<std::size_t, kGergTermSlots> newSlot{};
    std::array<Term, kGergTermSlots> terms{};
    std::size_t slot = 0;
    for (std::size_t group = 0; group < cat.groupCount; ++group) {
        groups[group].begin = slot;
        for (std::size_t old = 0; old < cat.count; ++old)
            if (newGroup[static_cast<std::size_t>(cat.terms[old].group)] == group) {
                newSlot[old] = slot;
                terms[slot] = cat.terms[old];
                terms[slot++].group = static_cast<int>(group);
            }
        groups[group].end = slot;
    }
    cat.groups = groups;
    cat.terms = terms;
    cat.exponentialIndex.fill(kOneSlot);
    for (std::size_t group = 0; group < cat.groupCount; ++group) {
        const Group& p = cat.groups[group];
        cat.groupD[group] = p.d;
        cat.dIndex[group] = p.d;
        if (p.d == 1)
            cat.groupVirial[group] = 1.0;
        if (p.kind == 1) {
            cat.groupC[group] = p.c;
            cat.cIndex[group] = p.c;
            cat.exponentialIndex[group] = p.c - 1;
        } else if (p.kind == 2) {
            const Shape& e = cat.shapes[static_cast<std::size_t>(p.shape)];
            cat.groupLinear[group] = 2.0 * e.eta * e.epsilon - e.beta;
            cat.groupEta[group] = e.eta;
            cat.exponentialIndex[group] = static_cast<std::int32_t>(kShapeSlot) + p.shape;
            if (p.d == 1)
                cat.groupVirial[group] =
                    std::exp(-e.eta * e.epsilon * e.epsilon + e.beta * e.gamma);
        }
    }
    for (std::size_t k = 0; k < cat.count; ++k) {
        cat.t[k] = terms[k].t;
        cat.t2[k] = terms[k].t * (terms[k].t - 1.0);
    }
    for (auto& slots : cat.pure)
        for (std::size_t& s : slots)
            s = newSlot[s];
    for (std::size_t i = 0; i < kComponents; ++i) {
        const gerg::PureEquation& e = gerg::kPureEquations[i];
        std::size_t set = 0;
        while (set < cat.setCount &&
               gerg::kPureEquations[cat.sets[set].components[0]].exponents != e.exponents)
            ++set;
        if (set == cat.setCount) {
            cat.sets[set].count = e.count;
            cat.sets[set].slots = cat.pure[i];
            ++cat.setCount;
        }
        cat.sets[set].components[cat.sets[set].componentCount++] = i;
    }
    for (auto& slots : cat.departure)
        for (std::size_t& s : slots)
            s = newSlot[s];
}

Catalogue makeCatalogue() noexcept {
    Catalogue cat;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const gerg::PureEquation& e = gerg::kPureEquations[i];
        for (std::size_t k = 0; k < e.count; ++k) {
            cat.pure[i][k] =
                catalogueIndex(cat, e.exponents[k].d, e.exponents[k].t, e.exponents[k].c, -1);
            cat.coefficients[i][k] = e.n[k];
        }
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
    sortCatalogue(cat);
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

TARVELO_VECTOR_CLONES
void gergTerms(const Fractions& x, GergTerms& terms) noexcept {
    double reducingVolume = 0.0;
    reducingValues(x, terms.reducingTemperature, reducingVolume);
    terms.reducingDensity = 1.0 / reducingVolume;

    // Residual terms: the coefficients of every catalogue term, summed over
    // the components and the pairs with a departure function.
    const Catalogue& cat = catalogue();
    std::array<double, kGergTermSlots>& n = terms.n;
    n.fill(0.0);
    for (std::size_t set = 0; set < cat.setCount; ++set) {
        const Catalogue::ExponentSet& e = cat.sets[set];
        alignas(64) std::array<double, 24> byTerm{};
        for (std::size_t c = 0; c < e.componentCount; ++c) {
            const std::size_t i = e.components[c];
            for (std::size_t k = 0; k < byTerm.size(); ++k)
                byTerm[k] += x[i] * cat.coefficients[i][k];
        }
        for (std::size_t k = 0; k < e.count; ++k)
            n[e.slots[k]] += byTerm[k];
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
}

namespace {

// n·tau^t for every term, then by group the sums of n·tau^t, t·n·tau^t and
// t(t-1)·n·tau^t.
using GroupSums = std::array<double, kGergMaxGroups>;
TARVELO_VECTOR_CLONES
void temperatureSums(const GergTerms& terms, double temperatureK, GroupSums& sum0, GroupSums& sum1,
                     GroupSums& sum2) noexcept {
    const double lnTau = std::log(terms.reducingTemperature / temperatureK);
    const Catalogue& cat = catalogue();
    alignas(64) std::array<double, kGergTermSlots> f0, f1, f2;
    for (std::size_t k = 0; k < kGergTermSlots; ++k) {
        f0[k] = terms.n[k] * vectorExp(cat.t[k] * lnTau);
        f1[k] = f0[k] * cat.t[k];
        f2[k] = f0[k] * cat.t2[k];
    }
    sum0.fill(0.0); // the padding groups contribute nothing
    sum1.fill(0.0);
    sum2.fill(0.0);
    for (std::size_t g = 0; g < cat.groupCount; ++g) {
        double s0 = 0.0, s1 = 0.0, s2 = 0.0;
        for (std::size_t k = cat.groups[g].begin; k < cat.groups[g].end; ++k) {
            s0 += f0[k];
            s1 += f1[k];
            s2 += f2[k];
        }
        sum0[g] = s0;
        sum1[g] = s1;
        sum2[g] = s2;
    }
}

} // namespace

GergAtTemperature::GergAtTemperature(const GergTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    temperatureSums(terms, temperatureK, sum0_, sum1_, sum2_);
}

double GergAtTemperature::secondVirial() const noexcept {
    const Catalogue& cat = catalogue();
    alignas(64) std::array<double, kGergMaxGroups> b;
    for (std::size_t g = 0; g < kGergMaxGroups; ++g)
        b[g] = sum0_[g] * cat.groupVirial[g];
    return sum(b) / terms_.reducingDensity;
}

TARVELO_VECTOR_CLONES
Residual GergAtTemperature::at(double densityMolPerL, bool full) const noexcept {
    const double delta = densityMolPerL / terms_.reducingDensity;
    const std::array<double, kMaxPower + 1> power = powers<kMaxPower + 1>(delta);
    static_assert(kMaxExponentC <= kShapeSlot && kShapeSlot + kMaxShapes <= kOneSlot);
    const Catalogue& cat = catalogue();
    alignas(64) std::array<double, kExponentialSlots> exponential{}; // arguments, then values
    for (std::size_t c = 1; c <= kMaxExponentC; ++c)
        exponential[c - 1] = -power[c];
    for (std::size_t s = 0; s < cat.shapeCount; ++s) {
        const Shape& e = cat.shapes[s];
        const double de = delta - e.epsilon;
        exponential[kShapeSlot + s] = -e.eta * de * de - e.beta * (delta - e.gamma);
    }
    for (double& e : exponential)
        e = vectorExp(e);

    // By group: its density part f = delta^d·exponential, c·delta^c, and
    // g = delta·∂ln f/∂delta with the parts q1, q2 of the higher derivatives.
    alignas(64) std::array<double, kGergMaxGroups> f, cdc;
    for (std::size_t k = 0; k < kGergMaxGroups; ++k) {
        f[k] = power[static_cast<std::size_t>(cat.dIndex[k])] *
               exponential[static_cast<std::size_t>(cat.exponentialIndex[k])];
        cdc[k] = cat.groupC[k] * power[static_cast<std::size_t>(cat.cIndex[k])];
    }
    alignas(64) std::array<double, kGergMaxGroups> g, d1, d2, d3;
    for (std::size_t k = 0; k < kGergMaxGroups; ++k) {
        const double linear = cat.groupLinear[k] * delta;
        const double quadratic = cat.groupEta[k] * delta * delta;
        const double c = cat.groupC[k];
        g[k] = (cat.groupD[k] - cdc[k]) + (linear - 2.0 * quadratic);
        const double q1 = -c * cdc[k] + (linear - 4.0 * quadratic);
        const double q2 = -c * c * cdc[k] + (linear - 8.0 * quadratic);
        const double v = sum0_[k] * f[k];
        const double h = g[k] * g[k] - g[k] + q1;
        d1[k] = v * g[k];
        d2[k] = v * h;
        d3[k] = v * (g[k] * h + (2.0 * g[k] - 1.0) * q1 + q2 - 2.0 * h);
    }
    Residual r;
    r.d1 = sum(d1);
    r.d2 = sum(d2);
    r.d3 = sum(d3);
    if (full) {
        // The members of a group differ only in tau^t: their tau derivatives
        // come from the sums weighted with t and t(t-1).
        alignas(64) std::array<double, kGergMaxGroups> a, t1, t2, dt;
        for (std::size_t k = 0; k < kGergMaxGroups; ++k) {
            a[k] = sum0_[k] * f[k];
            t1[k] = sum1_[k] * f[k];
            t2[k] = sum2_[k] * f[k];
            dt[k] = t1[k] * g[k];
        }
        r.a = sum(a);
        r.t1 = sum(t1);
        r.t2 = sum(t2);
        r.dt = sum(dt);
    }
    return r;
}

} // namespace tarvelo::realgas::detail
