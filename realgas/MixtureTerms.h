// The composition-dependent terms that a realgas::Mixture keeps: internal to
// the library (read RealGas.h), here only because a Mixture holds them by
// value.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo::realgas::detail {

// GERG-2008: the reducing temperature and density of the mixture and its
// residual terms, each with its coefficient weighted by the composition.
// Equal terms of different components or pairs are merged into one. Terms
// with the same density dependence (d and the same exponential) form a
// group, whose members differ only in t; `groups` lists the groups present,
// polynomial ones first, then those with exp(-delta^c), then those with a
// departure function's exponential.
struct GergTerm {
    double n; // the sum of x_i·n_ik and x_i·x_j·F_ij·n_k over the terms merged
    double t;
    int group;
    int tWhole, tFraction; // t = tWhole + tFraction/40; tFraction -1: t off that grid
};
inline constexpr std::size_t kGergMaxTerms = 162;
inline constexpr std::size_t kGergMaxGroups = 96;
struct GergTerms {
    double reducingTemperature = 0.0; // K
    double reducingDensity = 0.0;     // mol/l
    std::size_t count = 0;
    std::array<GergTerm, kGergMaxTerms> terms;
    std::size_t polynomialGroups = 0, decayingGroups = 0, groupCount = 0;
    std::array<int, kGergMaxGroups> groups;
};

// AGA8-DETAIL: the size parameter K^3, the second virial coefficients B_n of
// the mixture (n = 1..18) and the mixture coefficients C_n (n = 13..58).
inline constexpr std::size_t kDetailTerms = 58;
inline constexpr std::size_t kDetailVirialTerms = 18;
struct DetailTerms {
    double k3 = 0.0;
    std::array<double, kDetailVirialTerms> b;
    std::array<double, kDetailTerms> c;
};

// Both models: the ideal-gas part's sums over the composition (x·ln x and
// the weighted constants n0_1, n0_2, n0_3), and its Planck-Einstein terms
// with their coefficients weighted by the composition. With
// ln sinh y = y - ln 2 + ln(1 - e^-2y) and ln cosh y = y - ln 2 + ln(1 + e^-2y),
// the parts y - ln 2 add up to a/T + b.
inline constexpr std::size_t kIdealMaxTerms = 84;
struct IdealTerm {
    double n;     // x_i·n0_ik·R*/R; negative for a cosh term
    double theta; // K
    double sign;  // -1 for a sinh term, +1 for a cosh term: ln(1 + sign·e^-2y)
};
struct IdealTerms {
    double xLnX = 0.0, n1 = 0.0, n2 = 0.0, n3 = 0.0;
    double hyperbolicA = 0.0, hyperbolicB = 0.0;
    std::size_t count = 0;
    std::array<IdealTerm, kIdealMaxTerms> terms;
};

} // namespace tarvelo::realgas::detail
