// The composition-dependent terms that a realgas::Mixture keeps: internal to
// the library (read RealGas.h), here only because a Mixture holds them by
// value.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo::realgas::detail {

// GERG-2008: the reducing temperature and density of the mixture and the
// residual terms with their coefficients weighted by the composition. Terms
// of components that share an equation's exponents are merged into one.
struct GergPureTerm {
    double n; // sum over the components of x_i · n_ik
    double t;
    int d;
    int c; // 0: polynomial term
};
struct GergDepartureTerm {
    double n; // sum over the pairs of x_i · x_j · F_ij · n_k
    double t;
    double eta, epsilon, beta, gamma;
    int d;
};
inline constexpr std::size_t kGergMaxPureTerms = 100;
inline constexpr std::size_t kGergMaxDepartureTerms = 62;
struct GergTerms {
    double reducingTemperature = 0.0; // K
    double reducingDensity = 0.0;     // mol/l
    std::size_t pureCount = 0;
    std::size_t departureCount = 0;
    std::array<GergPureTerm, kGergMaxPureTerms> pure;
    std::array<GergDepartureTerm, kGergMaxDepartureTerms> departure;
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

// Both models: the mole fractions for the ideal-gas part.
struct IdealTerms {
    std::array<double, 21> x;
};

} // namespace tarvelo::realgas::detail
