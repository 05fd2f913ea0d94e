// The component data of ISO 6976:2016, used by Iso6976.cpp only.
#pragma once

#include <array>
#include <string_view>

namespace tarvelo::gasquality::data {

// Elements whose atomic masses make up the molar masses, in the order of the
// atom counts below.
enum Element { C, H, N, O, S, He, Ne, Ar, kElementCount };

// Atomic masses [kg/kmol] and their standard uncertainties.
extern const std::array<double, kElementCount> kAtomicMass;
extern const std::array<double, kElementCount> kAtomicMassU;

struct Component {
    std::array<int, kElementCount> atoms;  // atoms per molecule
    double molarMass;                      // kg/kmol
    std::array<double, 4> summationFactor; // at 0, 15, 15.55, 20 °C metering
    double summationFactorU;               // standard uncertainty
    std::array<double, 5> grossCalorific;  // kJ/mol at 0, 15, 15.55, 20, 25 °C combustion
    double grossCalorificU;                // standard uncertainty, kJ/mol
};

extern const std::array<Component, 60> kComponents;

// Index 0..3 of the summation factors and 0..4 of the calorific values.
inline constexpr std::array<double, 4> kMeteringTemperatures = {0.0, 15.0, 15.55, 20.0};
inline constexpr std::array<double, 5> kCombustionTemperatures = {0.0, 15.0, 15.55, 20.0, 25.0};

// The metering temperatures in kelvin, for the ideal molar volume. 15.55 °C
// stands for 60 °F, which is 288.705 56 K: the standard's worked example at
// 15.55 °C gets its volume-based values only with the exact 60 °F.
inline constexpr std::array<double, 4> kMeteringKelvin = {273.15, 288.15, 273.15 + 140.0 / 9.0,
                                                          293.15};

// Standard enthalpy of vaporisation of water [kJ/mol] at the combustion
// temperatures, and its standard uncertainty.
extern const std::array<double, 5> kWaterVaporisation;
inline constexpr double kWaterVaporisationU = 0.004;

// Dry air: molar mass [kg/kmol], compression factor at 101.325 kPa and the
// metering temperatures, and their standard uncertainties.
inline constexpr double kAirMolarMass = 28.96546;
inline constexpr double kAirMolarMassU = 0.00017;
extern const std::array<double, 4> kAirCompression;
inline constexpr double kAirCompressionU = 0.000015;

// Molar gas constant [J/(mol K)] and its standard uncertainty (CODATA 2010).
inline constexpr double kGasConstant = 8.3144621;
inline constexpr double kGasConstantU = 0.0000075;

inline constexpr double kStandardPressure = 101.325; // kPa
inline constexpr double kZeroCelsius = 273.15;       // K

} // namespace tarvelo::gasquality::data
