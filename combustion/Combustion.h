// Combustion of a gaseous fuel in air: the air needed, the flue gas and its
// composition, CO2max, the water dew point, the flue-gas loss and the
// efficiency, and the adiabatic flame temperature, for any mixture of the 60
// components of ISO 6976 burnt completely (λ ≥ 1). Standard C++ only; no
// state, so calls may run concurrently.
//
// The fuel's elements C, H, N, O and S come from the component data of
// gasquality (ISO 6976:2016, Table A.2); helium, neon and argon pass
// through unchanged. Carbon burns to CO2, hydrogen to H2O, sulfur to SO2,
// nitrogen leaves as N2. Amounts are per mole of fuel, which for ideal gases
// is per m³ of fuel at the same conditions: "m³/m³" below. Percentages are
// mol% (= vol%).
//
// Heat: the reaction enthalpy is the fuel's calorific value by ISO 6976 at
// 25 °C (Hs gross, Hi net); the flue-gas species carry ideal-gas enthalpies
// from NASA 7-coefficient polynomials (GRI-Mech 3.0; N2 from Burcat's
// database, SO2 from NASA TM-4513); water's saturation line is that of
// IAPWS-IF97. The fuel's own heat between 25 °C and the air temperature is
// not counted (it has no thermo data here): about 0.04 % of Hi per 10 K for
// natural gas.
#pragma once

#include "Components.h"

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace tarvelo::combustion {

// The species of the flue gas of complete combustion, in this order.
enum class Species : std::size_t { CO2, SO2, H2O, O2, N2, Ar, He, Ne };
inline constexpr std::size_t kSpeciesCount = 8;
inline constexpr std::array<std::string_view, kSpeciesCount> kSpeciesKeys = {
    "CO2", "SO2", "H2O", "O2", "N2", "Ar", "He", "Ne"};

// The species that chemical equilibrium adds at flame temperature.
inline constexpr std::size_t kEquilibriumCount = 15;
inline constexpr std::array<std::string_view, kEquilibriumCount> kEquilibriumKeys = {
    "CO2", "SO2", "H2O", "O2", "N2", "Ar", "He", "Ne", "CO", "H2", "OH", "H", "O", "NO", "N"};

using Amounts = std::array<double, kSpeciesCount>;

// Dry air by default, mol/mol: N2 78.084, O2 20.946, Ar 0.934, CO2 0.036 %.
inline constexpr Amounts kDefaultAir = {0.00036, 0.0, 0.0, 0.20946, 0.78084, 0.00934, 0.0, 0.0};

// The ranges of the inputs: the thermo data's temperatures, and pressures
// at which the flue gas is still an ideal-gas mixture.
inline constexpr double kMinTemperatureK = 200.0;
inline constexpr double kMaxTemperatureK = 3500.0;
inline constexpr double kMinPressureKPa = 10.0;
inline constexpr double kMaxPressureKPa = 1000.0;

// A refused input; what() names the culprit.
class CombustionError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// What depends on the fuel alone, computed once by fuel().
struct Fuel {
    std::array<double, components::kCount> fraction{}; // mol/mol, adding up to 1
    std::array<double, 8> elements{}; // atoms per molecule: C, H, N, O, S, He, Ne, Ar
    double molarMass = 0.0;           // kg/kmol
    double grossKJPerMol = 0.0;       // Hs at 25 °C, ideal gas, kJ/mol
    double netKJPerMol = 0.0;         // Hi at 25 °C
    double oxygenMin = 0.0;           // O2 needed, mol/mol
};

// Reads the mole fractions (adding up to 1 within 1e-4; scaled to exactly
// 1). Throws CombustionError for a negative amount, a wrong sum, or a fuel
// with nothing to burn (no C, H or S, or enough oxygen of its own).
Fuel fuel(const std::array<double, components::kCount>& fraction);

// How the excess air is given.
enum class Excess {
    Lambda, // the air ratio λ ≥ 1 itself
    O2,     // O2 in the dry flue gas, mol/mol
    CO2     // CO2 in the dry flue gas, mol/mol
};

struct Conditions {
    Excess excess = Excess::Lambda;
    double value = 1.0;           // λ, or the O2 or CO2 reading in mol/mol
    Amounts air = kDefaultAir;    // dry air: only CO2, O2, N2 and Ar; scaled to 1
    double airK = 298.15;         // air (and fuel) temperature
    double humidity = 0.0;        // relative humidity of the air, 0..1
    double pressureKPa = 101.325; // absolute
    std::optional<double> flueK;  // flue-gas temperature, for the loss
    bool equilibrium = true;      // also the equilibrium flame temperature
};

struct Result {
    double lambda = 0.0;
    double oxygenMin = 0.0;   // O2 needed, m³/m³
    double airMin = 0.0;      // dry air needed at λ = 1, m³/m³
    double airMinHumid = 0.0; // the same with the air's water vapour
    double air = 0.0;         // dry air at λ, m³/m³
    double airHumid = 0.0;    // humid air at λ
    Amounts flue{};           // flue gas by species, m³/m³
    double flueWet = 0.0;     // m³/m³
    double flueDry = 0.0;
    Amounts wet{};                   // composition, mol/mol of the wet flue gas
    Amounts dry{};                   // of the dry flue gas (H2O 0)
    double co2Max = 0.0;             // CO2 of the dry flue gas at λ = 1, mol/mol
    std::optional<double> dewPointK; // water dew point; none below 0 °C or without water

    // Per kg of fuel.
    double airMinMass = 0.0; // kg dry air / kg fuel at λ = 1
    double airMass = 0.0;    // kg humid air / kg fuel at λ
    double flueMass = 0.0;   // kg flue gas / kg fuel

    double grossKJPerMol = 0.0; // Hs at 25 °C
    double netKJPerMol = 0.0;   // Hi at 25 °C

    // With a flue-gas temperature: the heat carried away by the flue gas
    // between the air and the flue-gas temperature, the heat of the water
    // that condenses below the dew point, both kJ/mol of fuel, and the
    // ratios (mol/mol of condensate; fractions, not percent).
    struct Efficiency {
        double flueLossKJ = 0.0;
        double condensate = 0.0; // mol water / mol fuel
        double condensationKJ = 0.0;
        double lossHi = 0.0; // qA on Hi: flueLossKJ / Hi
        double etaHi = 0.0;  // (Hi − loss + condensation) / Hi
        double etaHs = 0.0;  // (Hi − loss + condensation) / Hs
    };
    std::optional<Efficiency> efficiency;

    // Adiabatic flame temperatures: with the products of complete
    // combustion, and at chemical equilibrium. None where it lies beyond the
    // data (above kMaxTemperatureK, as in oxygen-rich air).
    std::optional<double> flameCompleteK;
    std::optional<double> flameEquilibriumK;
    // The equilibrium flue gas at that temperature by kEquilibriumKeys, m³/m³
    // of fuel.
    std::array<double, kEquilibriumCount> equilibrium{};
};

// The whole calculation. Throws CombustionError naming the culprit: λ < 1
// (incomplete combustion is not modelled), an O2 reading at or above the
// air's O2, a CO2 reading above CO2max (or one this fuel cannot give), air
// with another component or without O2, a humidity outside 0..100 % or
// saturating the air, and temperatures or pressures outside the ranges
// above.
Result calculate(const Fuel& fuel, const Conditions& conditions);

// IAPWS-IF97 region 4: the saturation pressure of water [kPa] at t [K]
// (273.15 to 647.096 K) and its inverse (0.611213 to 22064 kPa); NaN
// outside.
double saturationPressureKPa(double t);
double saturationTemperatureK(double pKPa);

} // namespace tarvelo::combustion
