// Gas quality by ISO 6976:2016: calorific values, Wobbe indices, density,
// relative density and compression factor of a natural gas from its
// composition, with standard uncertainties by the method of the standard's
// Annex B. Standard C++ only; no state, so calls may run concurrently.
//
// Units throughout are those of the standard: mole fractions in mol/mol,
// molar mass in kg/kmol, density in kg/m³, molar calorific values in kJ/mol,
// mass-based ones in MJ/kg, volume-based ones and Wobbe indices in MJ/m³,
// temperatures in °C, pressure in kPa.
#pragma once

#include "Components.h"
#include "Domain.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::gasquality {

// The 60 components of the standard's Table A.2, in its order: those of
// the project's component table.
inline constexpr std::size_t kComponentCount = components::kCount;

// The name of component `index` (0..59) as in Table A.2 ("methane",
// "2-methylpropane", "hydrogen sulfide").
std::string_view componentName(std::size_t index);

// The index of a component as the project's component table finds it
// (common/Components.h: name, synonym or formula label, any case); the
// indices of the two tables are the same. Nothing for any other text.
std::optional<std::size_t> findComponent(std::string_view name) noexcept;

// The elements of the components' formulas, in the order of atoms().
enum class Element : std::size_t { C, H, N, O, S, He, Ne, Ar };
inline constexpr std::size_t kElementCount = 8;

// The atoms per molecule of component `index` (0..59), indexed by Element:
// atoms(0) is methane's {1, 4, 0, 0, 0, 0, 0, 0}. Throws std::out_of_range
// beyond.
std::array<int, kElementCount> atoms(std::size_t index);

// The molar mass of component `index` (0..59) in kg/kmol, Table A.2.
// Throws std::out_of_range beyond.
double molarMass(std::size_t index);

// The ideal-gas molar gross and net calorific values of a mixture [kJ/mol]
// at one of the combustion temperatures (0, 15, 15.55, 20, 25 °C), from the
// mole fractions alone: no compression factor, so no refusal of a heavy
// gas. Throws Iso6976Error for a temperature not among the standard's.
struct MolarCalorific {
    double gross = 0.0;
    double net = 0.0;
};
MolarCalorific molarCalorific(const std::array<double, kComponentCount>& fraction,
                              double combustionC);

// A refused input: a reference condition outside the standard, a negative
// amount, a sum of the mole fractions that is not 1, a correlation matrix
// of the wrong size or not positive semidefinite, or a compression factor
// of 0.9 or less. what() names
// the culprit.
class Iso6976Error : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

struct ReferenceConditions {
    double combustionC = 25.0;    // 0, 15, 15.55, 20 or 25 °C
    double meteringC = 0.0;       // 0, 15, 15.55 or 20 °C
    double pressureKPa = 101.325; // 90 to 110 kPa
};

// The sum of the mole fractions may differ from 1 by this much at most, as
// typed (the project's one rule: fractionsAddUpToOne in common/Domain.h).
inline constexpr double kSumTolerance = kFractionSumTolerance;

// The largest coverage factor taken: k = 3 already covers 99.7 % of a
// normal distribution.
inline constexpr double kMaxCoverage = 10.0;

// The compression factor must exceed this.
inline constexpr double kMinimumCompression = 0.9;

struct Composition {
    std::array<double, kComponentCount> fraction{};  // mol/mol, by component index
    std::array<double, kComponentCount> fractionU{}; // standard uncertainties, mol/mol
    // Correlation coefficients of the fractions' uncertainties, row-major
    // kComponentCount × kComponentCount; empty means uncorrelated.
    std::vector<double> correlation;
};

// Throws Iso6976Error when the reference temperatures are not among the
// standard's or the pressure is outside 90 to 110 kPa. Returns the
// conditions used: the standard's temperatures that `reference` names
// (within 1e-9 °C, so 1e-10 and -0 are 0) and its pressure.
ReferenceConditions checkReference(const ReferenceConditions& reference);

// Scales the fractions and their uncertainties so that the fractions add
// up to 1. Returns the sum before. Throws Iso6976Error for a negative
// fraction or a sum that is not positive.
double normalise(Composition& composition);

// The results, in this order; kResultKeys holds their names.
enum class Result : std::size_t {
    M,              // molar mass, kg/kmol
    Z,              // compression factor at the metering conditions
    G,              // relative density (real gas)
    G_ideal,        // relative density (ideal gas)
    D,              // density, kg/m³ (real gas)
    D_ideal,        // density, kg/m³ (ideal gas)
    Hc_gross,       // molar gross calorific value, kJ/mol
    Hc_net,         // molar net calorific value, kJ/mol
    Hm_gross,       // mass-based gross calorific value, MJ/kg
    Hm_net,         // mass-based net calorific value, MJ/kg
    Hv_gross,       // volume-based gross calorific value, MJ/m³ (real gas)
    Hv_net,         // volume-based net calorific value, MJ/m³ (real gas)
    Hv_gross_ideal, // the same for the ideal gas
    Hv_net_ideal,
    W_gross,       // gross Wobbe index, MJ/m³ (real gas)
    W_net,         // net Wobbe index, MJ/m³ (real gas)
    W_gross_ideal, // the same for the ideal gas
    W_net_ideal,
    Count
};
inline constexpr std::size_t kResultCount = static_cast<std::size_t>(Result::Count);
inline constexpr std::array<std::string_view, kResultCount> kResultKeys = {"M",
                                                                           "Z",
                                                                           "G",
                                                                           "G_ideal",
                                                                           "D",
                                                                           "D_ideal",
                                                                           "Hc_gross",
                                                                           "Hc_net",
                                                                           "Hm_gross",
                                                                           "Hm_net",
                                                                           "Hv_gross",
                                                                           "Hv_net",
                                                                           "Hv_gross_ideal",
                                                                           "Hv_net_ideal",
                                                                           "W_gross",
                                                                           "W_net",
                                                                           "W_gross_ideal",
                                                                           "W_net_ideal"};

struct Quantity {
    double value = 0.0;
    double u = 0.0; // uncertainty: standard uncertainty times the coverage factor
};

struct Properties {
    ReferenceConditions reference; // as used: see checkReference()
    double coverage = 1.0;
    std::array<Quantity, kResultCount> results{};
    const Quantity& operator[](Result r) const { return results[static_cast<std::size_t>(r)]; }
};

// Whether calculate() works out the uncertainties; skipped, they are 0 and
// the values take a fraction of the time.
enum class Uncertainties { Compute, Skip };

// Computes every result and its uncertainty, times `coverage` (0 < k <=
// kMaxCoverage), from the composition at the reference conditions. The
// fractions must add up to 1 within kSumTolerance (call normalise() first
// to scale them: never done here); the uncertainties are those of the
// fractions (mol/mol) and of the tabulated component data. Every value and
// uncertainty is a finite number: a gas that does not burn has calorific
// values of 0 with the uncertainty of its data. Throws Iso6976Error for a
// refused input: also a correlation matrix that is not positive
// semidefinite, and results beyond the range of numbers.
Properties calculate(const Composition& composition, const ReferenceConditions& reference,
                     double coverage = 1.0, Uncertainties uncertainties = Uncertainties::Compute);

// The values alone, without uncertainties, of a composition whose nonzero
// fractions are among `present` (component indices in ascending order, each
// once; the fractions of the others are not read and count as 0): the same
// values, bit for bit, as
// calculate(), in time that grows with `present`, not with the 60
// components. For many compositions of one set of components, as in a
// batch. Throws Iso6976Error as calculate() does.
Properties calculateValues(std::span<const std::size_t> present,
                           const std::array<double, kComponentCount>& fraction,
                           const ReferenceConditions& reference);

} // namespace tarvelo::gasquality
