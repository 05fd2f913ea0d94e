// The two equations of state behind RealGas.h, as the library's solver and
// property routines use them: the composition terms of each, and its
// dimensionless residual Helmholtz energy alpha_r(tau, delta) with the
// derivatives that the properties need. Internal to the library.
#pragma once

#include "MixtureTerms.h"
#include "RealGas.h"

#include <algorithm>
#include <array>

namespace tarvelo::realgas::detail {

// The 21 mole fractions padded with zeros to 24, so that the loops over the
// components run in whole vectors.
inline constexpr std::size_t kPaddedComponents = 24;
using PaddedFractions = std::array<double, kPaddedComponents>;
inline PaddedFractions padded(const Fractions& x) noexcept {
    PaddedFractions p{};
    std::copy(x.begin(), x.end(), p.begin());
    return p;
}

// alpha_r and its reduced derivatives: d1 = delta·∂α/∂δ, d2 = delta²·∂²α/∂δ²,
// d3 = delta³·∂³α/∂δ³, t1 = tau·∂α/∂τ, t2 = tau²·∂²α/∂τ², dt = tau·delta·∂²α/∂τ∂δ.
// With tau any constant times 1/T, so that both models share the formulas.
struct Residual {
    double a = 0.0, d1 = 0.0, d2 = 0.0, d3 = 0.0, t1 = 0.0, t2 = 0.0, dt = 0.0;
};

// The ideal-gas part alpha_0 (with the same tau convention): a, t1, t2.
struct IdealPart {
    double a = 0.0, t1 = 0.0, t2 = 0.0;
};

// The composition sums of the ideal-gas part, the same in both models but
// for their gas constants (the coefficients belong to R* and are scaled by
// R*/R).
void idealTerms(const Fractions& x, Model model, IdealTerms& terms) noexcept;
// The ideal-gas part at T [K] and D [mol/l].
IdealPart idealPart(const IdealTerms& terms, double temperatureK, double densityMolPerL) noexcept;

double gergMolarMass(const Fractions& x) noexcept;
// Fills `terms` (in place: the terms are a few kilobytes).
void gergTerms(const Fractions& x, GergTerms& terms) noexcept;

// GERG-2008 at one temperature: the temperature-dependent factors of every
// term, computed once for all the densities of a solve.
class GergAtTemperature {
public:
    GergAtTemperature(const GergTerms& terms, double temperatureK) noexcept;
    // `full`: also a and the tau derivatives; else only d1, d2 and d3.
    Residual at(double densityMolPerL, bool full) const noexcept;
    // The second virial coefficient B [l/mol]: Z = 1 + B·D + ... at low density.
    double secondVirial() const noexcept;

private:
    const GergTerms& terms_;
    // Per group: the sums of n·tau^t, of t·n·tau^t and of t(t-1)·n·tau^t.
    std::array<double, kGergMaxGroups> sum0_, sum1_, sum2_;
};

double detailMolarMass(const Fractions& x) noexcept;
void detailTerms(const Fractions& x, DetailTerms& terms) noexcept;

// AGA8-DETAIL at one temperature.
inline constexpr std::size_t kDetailDensitySlots = 48;
class DetailAtTemperature {
public:
    DetailAtTemperature(const DetailTerms& terms, double temperatureK) noexcept;
    Residual at(double densityMolPerL, bool full) const noexcept;
    double secondVirial() const noexcept;

private:
    const DetailTerms& terms_;
    double linear_ = 0.0, linearT1_ = 0.0, linearT2_ = 0.0; // the terms linear in D
    // C_n·T^-u_n of the density terms (n = 13..58, by n - 13; 0 in the
    // other slots).
    alignas(64) std::array<double, kDetailDensitySlots> factor_;
};

} // namespace tarvelo::realgas::detail
