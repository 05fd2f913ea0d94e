// The composition-dependent terms that a realgas::Mixture keeps: internal to
// the library (read RealGas.h), here only because a Mixture holds them by
// value.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo::realgas::detail {

// GERG-2008: the reducing temperature and density of the mixture, and the
// coefficient of every term of the library's catalogue of the distinct terms
// of the pure-component equations and the departure functions (equal terms
// of different components or pairs merged into one), weighted by the
// composition: the sum of x_i·n_ik and x_i·x_j·F_ij·n_k over the terms merged.
// A term the composition lacks has the coefficient 0.
inline constexpr std::size_t kGergTermSlots = 152;
inline constexpr std::size_t kGergMaxGroups = 40;
struct GergTerms {
    double reducingTemperature = 0.0; // K
    double reducingDensity = 0.0;     // mol/l
    alignas(64) std::array<double, kGergTermSlots> n{};
};

// AGA8-DETAIL: the size parameter K^3, the second virial coefficients B_n of
// the mixture (n = 1..18), and the mixture coefficients C_n (n = 13..58, by
// n - 1; 0 in the other slots) without their factor U^u_n, with ln U.
inline constexpr std::size_t kDetailTerms = 58;
inline constexpr std::size_t kDetailTermSlots = 64;
inline constexpr std::size_t kDetailVirialTerms = 18;
inline constexpr std::size_t kDetailVirialSlots = 24;
struct DetailTerms {
    double k3 = 0.0;
    double lnEnergy = 0.0;
    alignas(64) std::array<double, kDetailVirialSlots> b{};
    alignas(64) std::array<double, kDetailTermSlots> c{};
};

// Both models: the ideal-gas part's sums over the composition (x·ln x and
// the weighted constants n0_1, n0_2, n0_3), and the weights of its
// Planck-Einstein terms: slot k of the library's fixed list of the 61 terms
// of all components (padded to 64) has the weight x_i·n0_ik·R*/R of its
// component, negative for a cosh term. With
// ln sinh y = y - ln 2 + ln(1 - e^-2y) and ln cosh y = y - ln 2 + ln(1 + e^-2y),
// the parts y - ln 2 add up to a/T + b.
inline constexpr std::size_t kIdealSlots = 64;
struct IdealTerms {
    double xLnX = 0.0, n1 = 0.0, n2 = 0.0, n3 = 0.0;
    double hyperbolicA = 0.0, hyperbolicB = 0.0;
    alignas(64) std::array<double, kIdealSlots> weight{};
};

} // namespace tarvelo::realgas::detail
