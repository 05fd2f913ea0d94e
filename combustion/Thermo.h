// Ideal-gas enthalpy and Gibbs energy of the flue-gas species from NASA
// 7-coefficient polynomials. Used by Combustion.cpp; the table lives in
// Thermo.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tarvelo::combustion::thermo {

// Molar gas constant [J/(mol K)], CODATA 2018 (exact since the 2019 SI).
inline constexpr double kR = 8.314462618;

// The reference temperature of the polynomials' enthalpies of formation [K].
inline constexpr double kT0 = 298.15;

// The species with thermo data: the products of complete combustion first
// (in the order of combustion::Species), then those of dissociation.
enum Species : std::size_t { CO2, SO2, H2O, O2, N2, Ar, He, Ne, CO, H2, OH, H, O, NO, N, kCount };

struct Polynomial {
    std::string_view name;
    double tLow, tMid, tHigh;   // K
    std::array<double, 7> low;  // a1..a7 between tLow and tMid
    std::array<double, 7> high; // a1..a7 between tMid and tHigh
    std::array<int, 4> atoms;   // C, H, O, N
    std::string_view source;
};

const Polynomial& polynomial(std::size_t species);

// h(T) [J/mol] including the enthalpy of formation at 298.15 K.
double enthalpy(std::size_t species, double t);

// cp(T) [J/(mol K)].
double heatCapacity(std::size_t species, double t);

// g°(T)/(R T) at the standard pressure of the data (1 bar).
double gibbsOverRT(std::size_t species, double t);

} // namespace tarvelo::combustion::thermo
