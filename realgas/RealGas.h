// Natural gas at line conditions: the density, the compression factor and the
// caloric properties of a gas mixture at any temperature and pressure, by the
// two equations of state of gas metering:
//
//   GERG-2008    (Kunz and Wagner, J. Chem. Eng. Data 57 (2012) 3032-3091;
//                 ISO 20765-2, AGA Report No. 8 Part 2), the reference;
//   AGA8-DETAIL  (AGA Report No. 8 (1994) / Part 1, ISO 12213-2), the equation
//                 that flow computers and volume converters run.
//
// Both know the same 21 components, in one published order (methane,
// nitrogen, carbon dioxide, ethane, propane, isobutane, n-butane, isopentane,
// n-pentane, n-hexane, n-heptane, n-octane, n-nonane, n-decane, hydrogen,
// oxygen, carbon monoxide, water, hydrogen sulfide, helium, argon); a
// composition is an array of mole fractions by that index, which is the
// `eos` index of the project's component table (components::ofEos).
//
// Units are those of the published reference implementation, so that results
// compare directly: K, kPa, mol/l, g/mol, J/mol, J/(mol·K), m/s.
//
// Everything here is a pure function of its arguments: no state, no set-up
// call, safe to call from any number of threads at once. Standard C++ only.
#pragma once

#include "Components.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>

#include "MixtureTerms.h"

namespace tarvelo::realgas {

enum class Model { Gerg2008, Detail };

// Mole fractions by the equations of state's component index (0..20).
using Fractions = std::array<double, components::kEosCount>;

// The state at temperature T and pressure p.
struct Properties {
    double M;           // molar mass [g/mol]
    double D;           // molar density [mol/l]
    double rho;         // mass density [kg/m³]
    double Z;           // compression factor p/(D·R·T)
    double dPdD;        // (∂p/∂D) at constant T [kPa/(mol/l)]
    double d2PdD2;      // (∂²p/∂D²) at constant T [kPa/(mol/l)²]
    double dPdT;        // (∂p/∂T) at constant D [kPa/K]
    double U;           // internal energy [J/mol]
    double H;           // enthalpy [J/mol]
    double S;           // entropy [J/(mol·K)]
    double Cv;          // isochoric heat capacity [J/(mol·K)]
    double Cp;          // isobaric heat capacity [J/(mol·K)]
    double W;           // speed of sound [m/s]
    double G;           // Gibbs energy [J/mol]
    double JT;          // Joule-Thomson coefficient [K/kPa]
    double kappa;       // isentropic exponent
    bool inNormalRange; // T and p inside the model's normal range of validity
};

// A refused input or state. what() names the culprit: the component, the
// amount, the sum, the temperature or pressure with the range it is outside
// of, or the state whose density could not be solved.
class RealGasError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// The ranges of validity of a model (Kunz and Wagner 2012, section 1.4;
// AGA Report No. 8 (1994) and ISO 12213-2). Inside the normal range the
// published uncertainties hold; between the normal and the extended range the
// result is computed and flagged (Properties::inNormalRange = false); outside
// the extended range it is refused. Pressures are absolute.
struct Range {
    double minTemperatureK, maxTemperatureK;
    double maxPressureKPa;
};
struct Validity {
    Range normal;
    Range extended;
};
Validity validity(Model model) noexcept;

// "GERG-2008" or "AGA8-DETAIL"; and the command-line names "gerg2008",
// "detail".
std::string_view modelName(Model model) noexcept;
std::string_view modelKey(Model model) noexcept;

// A composition may deviate from a sum of 1 as the project's one rule
// allows (fractionsAddUpToOne in common/Domain.h: 0.01 mol%, as typed).

// Checks a composition: every fraction finite and not negative, the sum
// within 0.01 mol% of 1 (or above zero, with `normalise`). Returns the
// fractions divided by their sum. Throws RealGasError naming the component or
// the sum.
Fractions checkedFractions(const Fractions& x, bool normalise = false);

// The terms of a model that depend only on the composition, computed once:
// the molar mass, the reducing functions and the composition-weighted
// coefficients. Evaluate any number of states with at(); a Mixture is a plain
// value, cheap to copy, and its at() may be called from several threads.
class Mixture {
public:
    // `x` is checked as checkedFractions(x) does (without normalising).
    // Throws RealGasError.
    Mixture(Model model, const Fractions& x);

    // Solves the density at temperature `temperatureK` [K] and pressure
    // `pressureKPa` [kPa, absolute] and returns all properties there. The
    // density is the lowest at which the equation gives that pressure on a
    // stable branch, that of the gas for a gas; no phase equilibrium is
    // calculated, so near or inside the two-phase region the state may be
    // metastable or a liquid. Throws RealGasError when T or p is outside the
    // extended range of validity, when the density solve does not converge
    // to a mechanically stable state (p rising with density, positive heat
    // capacities), or when the only density lies past the end of the gas
    // branch at a temperature above the critical temperature of every
    // component (where no liquid forms: the equation outside what it
    // describes); no unconverged number is ever returned.
    Properties at(double temperatureK, double pressureKPa) const;

    // The properties at temperature T [K] and given density D [mol/l]
    // (no solve, no range check); the pressure is p = Z·D·R·T.
    Properties atDensity(double temperatureK, double densityMolPerL) const;

    Model model() const noexcept { return model_; }
    double molarMass() const noexcept { return molarMass_; }

private:
    Model model_;
    double molarMass_ = 0.0;
    double maxCriticalTemperature_ = 0.0; // K, of the components present
    detail::IdealTerms ideal_;
    detail::GergTerms gerg_;
    detail::DetailTerms aga_;
};

// Mixture(model, x).at(T, p): for one state of a composition.
Properties compute(Model model, const Fractions& x, double temperatureK, double pressureKPa);

// The conversion factor from line volume to base volume,
// C = V_base / V_line = (p / p_b) · (T_b / T) · (Z_b / Z): a volume measured at
// line conditions times C is the volume at base conditions. `line` and `base`
// are the properties at (lineTK, linePKPa) and (baseTK, basePKPa).
double conversionFactor(const Properties& line, double lineTK, double linePKPa,
                        const Properties& base, double baseTK, double basePKPa) noexcept;

} // namespace tarvelo::realgas
