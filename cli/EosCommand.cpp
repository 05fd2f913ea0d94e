#include "EosCommand.h"

#include "CommandText.h"

#include "Arguments.h"
#include "Components.h"
#include "Quoted.h"
#include "RealGas.h"
#include "Units.h"

#include <nlohmann/json.hpp>

#include <bitset>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

namespace tarvelo::cli {

namespace rg = realgas;

namespace {

constexpr std::string_view kUsage =
    R"(Usage: tarvelo eos --model gerg2008|detail --temperature VALUE --pressure VALUE
                   [--base T,p] [--normalise] [--json] [--lang de|en]
                   COMPONENT=MOLPERCENT...

A natural gas at line conditions by an equation of state: GERG-2008 (ISO
20765-2, AGA Report No. 8 Part 2), the reference, or AGA8-DETAIL (ISO
12213-2, AGA Report No. 8 Part 1), the equation of flow computers and volume
converters. Solves the density at the temperature and pressure and prints
molar mass, molar density and density, compression factor Z, the pressure
derivatives, internal energy, enthalpy, entropy, heat capacities, speed of
sound, Gibbs energy, Joule-Thomson coefficient and isentropic exponent.

  --model gerg2008|detail  the equation of state
  --temperature VALUE      with its unit: 400K, 15C, -10°C
  --pressure VALUE         absolute, with its unit: 5000kPa, 5MPa, 70bar, 101325Pa
  --base T,p               also Z and density at base conditions (such as
                           15C,101.325kPa or 0C,1.01325bar) and the
                           conversion factor C = (p/p_b)·(T_b/T)·(Z_b/Z), the
                           base volume of one unit of line volume
  --normalise              scale the amounts to 100 mol% first, and say so
  --json                   one JSON object: M, D, rho, Z, dPdD, d2PdD2, dPdT,
                           U, H, S, Cv, Cp, W, G, JT, kappa, model,
                           temperature_K, pressure_kPa, in_normal_range and,
                           with --base, Z_base, rho_base, C
  --lang de|en             labels and decimal mark of the text (default English)

Units: g/mol, mol/l, kg/m³, kPa, K, J/mol, J/(mol·K), m/s, K/kPa.

Ranges of validity (absolute pressure):
  GERG-2008    normal 90 K to 450 K up to 35 MPa; extended 60 K to 700 K
               up to 70 MPa
  AGA8-DETAIL  normal 263 K to 338 K up to 12 MPa; extended 143 K to 677 K
               up to 275.8 MPa
A state in the extended but not the normal range is computed and flagged;
one outside the extended range is refused. The density is the lowest one at
which the equation gives the pressure on a stable branch: that of the gas
for a gas. No phase equilibrium is calculated, so near or inside the
two-phase region the state may be metastable or a liquid.

Components: the 21 of both equations, by name, synonym or formula in any
case:)";

constexpr std::string_view kUsageEnd = R"(.
Quote names with blanks: "carbon dioxide=1.5".

Refused, with exit status 1 and one line on standard error: a component the
equation does not have, a negative amount, amounts that do not add up to
100 mol% within 0.01 mol% (without --normalise), a temperature or pressure
without its unit or outside the extended range, and a state whose density
does not converge to a stable gas state.

Example (the published check gas of AGA Report No. 8, 400 K and 50 MPa):
  tarvelo eos --model gerg2008 --temperature 400K --pressure 50MPa \
    methane=77.824 nitrogen=2 "carbon dioxide=6" ethane=8 propane=3 \
    isobutane=0.15 n-butane=0.3 isopentane=0.05 n-pentane=0.165 \
    n-hexane=0.215 n-heptane=0.088 n-octane=0.024 n-nonane=0.015 \
    n-decane=0.009 hydrogen=0.4 oxygen=0.5 "carbon monoxide=0.2" \
    water=0.01 "hydrogen sulfide=0.25" helium=0.7 argon=0.1
)";

// One property: its JSON key, its labels and unit, where it is.
struct Field {
    std::string_view key;
    std::string_view english;
    std::string_view german;
    std::string_view unit;
    double rg::Properties::*member;
};
constexpr Field kFields[] = {
    {"M", "molar mass M", "molare Masse M", "g/mol", &rg::Properties::M},
    {"D", "molar density D", "molare Dichte D", "mol/l", &rg::Properties::D},
    {"rho", "density ρ", "Dichte ρ", "kg/m³", &rg::Properties::rho},
    {"Z", "compression factor Z", "Realgasfaktor Z", "", &rg::Properties::Z},
    {"dPdD", "∂p/∂D at constant T", "∂p/∂D bei konstanter T", "kPa/(mol/l)", &rg::Properties::dPdD},
    {"d2PdD2", "∂²p/∂D² at constant T", "∂²p/∂D² bei konstanter T", "kPa/(mol/l)²",
     &rg::Properties::d2PdD2},
    {"dPdT", "∂p/∂T at constant D", "∂p/∂T bei konstanter D", "kPa/K", &rg::Properties::dPdT},
    {"U", "internal energy U", "innere Energie U", "J/mol", &rg::Properties::U},
    {"H", "enthalpy H", "Enthalpie H", "J/mol", &rg::Properties::H},
    {"S", "entropy S", "Entropie S", "J/(mol·K)", &rg::Properties::S},
    {"Cv", "isochoric heat capacity Cv", "isochore Wärmekapazität Cv", "J/(mol·K)",
     &rg::Properties::Cv},
    {"Cp", "isobaric heat capacity Cp", "isobare Wärmekapazität Cp", "J/(mol·K)",
     &rg::Properties::Cp},
    {"W", "speed of sound w", "Schallgeschwindigkeit w", "m/s", &rg::Properties::W},
    {"G", "Gibbs energy G", "Gibbs-Energie G", "J/mol", &rg::Properties::G},
    {"JT", "Joule-Thomson coefficient μJT", "Joule-Thomson-Koeffizient μJT", "K/kPa",
     &rg::Properties::JT},
    {"kappa", "isentropic exponent κ", "Isentropenexponent κ", "", &rg::Properties::kappa},
};

struct State {
    double temperatureK = 0.0;
    double pressureKPa = 0.0;
};

struct Options {
    std::optional<rg::Model> model;
    std::optional<double> temperatureK, pressureKPa;
    std::optional<State> base;
    rg::Fractions amounts{};
    bool anyAmount = false;
    bool normalise = false;
    bool json = false;
    bool german = false;
    bool help = false;
};

Options readEosOptions(const std::vector<std::string_view>& args) {
    Options o;
    Language language = Language::English;
    using Value = OptionSpec::Value;
    const auto reading = [](std::string_view what, const units::Reading& r,
                            std::optional<double>& target) {
        if (!r)
            return std::string(what) + ": " + r.error;
        target = r.value;
        return std::string();
    };
    const OptionWalk walk = readOptions(
        "eos", args,
        {flagOption({"--json"}, o.json),
         flagOption({"--normalise", "--normalize"}, o.normalise),
         languageOption(language),
         {{"--model"},
          Value::Required,
          false,
          [&](std::string_view v) {
              if (v == rg::modelKey(rg::Model::Gerg2008))
                  o.model = rg::Model::Gerg2008;
              else if (v == rg::modelKey(rg::Model::Detail))
                  o.model = rg::Model::Detail;
              else
                  return "unknown model " + quoted(v) + " (use gerg2008 or detail)";
              return std::string();
          },
          " (gerg2008 or detail)"},
         {{"--temperature"},
          Value::Required,
          false,
          [&](std::string_view v) {
              return reading("--temperature", units::temperatureK(v), o.temperatureK);
          }},
         {{"--pressure"},
          Value::Required,
          false,
          [&](std::string_view v) {
              return reading("--pressure", units::pressureKPa(v), o.pressureKPa);
          }},
         {{"--base"}, Value::Required, false, [&](std::string_view v) {
              const auto comma = v.find(',');
              if (comma == std::string_view::npos)
                  return "--base " + quoted(v) + " is not T,p (such as 15C,101.325kPa)";
              std::optional<double> t, p;
              std::string problem =
                  reading("--base temperature", units::temperatureK(v.substr(0, comma)), t);
              if (problem.empty())
                  problem = reading("--base pressure", units::pressureKPa(v.substr(comma + 1)), p);
              if (problem.empty())
                  o.base = State{*t, *p};
              return problem;
          }}});
    if (walk.help) {
        o.help = true;
        return o;
    }
    if (!walk.error.empty())
        throw Failure{walk.error.substr(std::string_view("tarvelo eos: ").size())};
    o.german = language == Language::German;

    // The amounts by the component table, then into the equations' order.
    Amounts amounts{};
    std::bitset<components::kCount> given;
    for (const std::string_view operand : walk.operands)
        if (std::string problem = readAmount(operand, amounts, given, "MOLPERCENT");
            !problem.empty())
            throw Failure{problem};
    for (std::size_t i = 0; i < components::kCount; ++i) {
        if (!given.test(i))
            continue;
        const components::Component& c = components::component(i);
        if (c.eos == components::kNone)
            throw Failure{std::string(c.name) +
                          " is not one of the 21 components of GERG-2008 and AGA8-DETAIL"};
        o.amounts[static_cast<std::size_t>(c.eos)] = amounts[i] / 100.0;
        o.anyAmount = true;
    }
    if (!o.model)
        throw Failure{"no --model given (gerg2008 or detail)"};
    if (!o.temperatureK)
        throw Failure{"no --temperature given (such as 15C or 288.15K)"};
    if (!o.pressureKPa)
        throw Failure{"no --pressure given (such as 70bar or 7MPa, absolute)"};
    if (!o.anyAmount)
        throw Failure{"no COMPONENT=MOLPERCENT given (see tarvelo eos --help)"};
    return o;
}

std::string number(double value, bool german) {
    return shortNumber(value, german, 10);
}

struct Outcome {
    rg::Model model = rg::Model::Gerg2008;
    State line;
    rg::Properties properties{};
    std::optional<State> base;
    rg::Properties baseProperties{};
    double factor = 0.0;
    std::optional<double> normalisedFrom;
};

std::string stateText(const State& s, bool de) {
    return number(s.temperatureK, de) + " K (" + number(s.temperatureK - units::kZeroCelsiusK, de) +
           " °C) " + (de ? "und " : "and ") + number(s.pressureKPa, de) + " kPa (" +
           number(s.pressureKPa / 100.0, de) + " bar)";
}

std::string text(const Outcome& r, bool de) {
    std::ostringstream s;
    s << rg::modelName(r.model) << (de ? " bei " : " at ") << stateText(r.line, de) << '\n';
    if (r.normalisedFrom)
        s << (de ? "normiert: die Anteile ergaben " : "normalised: the amounts added up to ")
          << number(*r.normalisedFrom * 100.0, de)
          << (de ? " mol% und wurden auf 100 mol% skaliert\n"
                 : " mol% and were scaled to 100 mol%\n");
    if (!r.properties.inNormalRange) {
        const rg::Range n = rg::validity(r.model).normal;
        s << (de ? "außerhalb des normalen Gültigkeitsbereichs ("
                 : "outside the normal range of validity (")
          << number(n.minTemperatureK, de) << (de ? " K bis " : " K to ")
          << number(n.maxTemperatureK, de) << (de ? " K, bis " : " K, up to ")
          << number(n.maxPressureKPa, de)
          << (de ? " kPa): im erweiterten Bereich berechnet\n"
                 : " kPa): computed in the extended range\n");
    }
    std::size_t labelWidth = 0;
    for (const Field& f : kFields)
        labelWidth = std::max(labelWidth, width(de ? f.german : f.english));
    const auto line = [&](std::string_view label, double value, std::string_view unit) {
        s << label << std::string(labelWidth - std::min(labelWidth, width(label)) + 2, ' ')
          << number(value, de);
        if (!unit.empty())
            s << ' ' << unit;
        s << '\n';
    };
    for (const Field& f : kFields)
        line(de ? f.german : f.english, r.properties.*(f.member), f.unit);
    if (r.base) {
        s << (de ? "Basiszustand " : "base conditions ") << stateText(*r.base, de) << '\n';
        line(de ? "Realgasfaktor Z_b" : "compression factor Z_b", r.baseProperties.Z, "");
        line(de ? "Dichte ρ_b" : "density ρ_b", r.baseProperties.rho, "kg/m³");
        line(de ? "Umwertungsfaktor C" : "conversion factor C", r.factor,
             de ? "m³ (Basis) je m³ (Betrieb)" : "m³ (base) per m³ (line)");
    }
    return s.str();
}

std::string json(const Outcome& r) {
    nlohmann::ordered_json object;
    for (const Field& f : kFields)
        object[std::string(f.key)] = r.properties.*(f.member);
    object["model"] = rg::modelKey(r.model);
    object["temperature_K"] = r.line.temperatureK;
    object["pressure_kPa"] = r.line.pressureKPa;
    object["in_normal_range"] = r.properties.inNormalRange;
    if (r.base) {
        object["Z_base"] = r.baseProperties.Z;
        object["rho_base"] = r.baseProperties.rho;
        object["C"] = r.factor;
    }
    if (r.normalisedFrom)
        object["normalised_from_mol_percent"] = *r.normalisedFrom * 100.0;
    return object.dump(2) + "\n";
}

} // namespace

std::string eosUsage() {
    std::string names;
    for (int i = 0; i < static_cast<int>(components::kEosCount); ++i) {
        if (i > 0)
            names += i % 7 == 0 ? ",\n" : ", ";
        names += components::component(components::ofEos(i)).name;
    }
    return std::string(kUsage) + "\n" + names + std::string(kUsageEnd);
}

int runEos(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err) {
    try {
        const Options o = readEosOptions(args);
        if (o.help) {
            out << eosUsage();
            return 0;
        }
        Outcome r;
        r.model = *o.model;
        r.line = State{*o.temperatureK, *o.pressureKPa};
        r.base = o.base;
        double sum = 0.0;
        for (const double x : o.amounts)
            sum += x;
        if (o.normalise && std::abs(sum - 1.0) > 0.0)
            r.normalisedFrom = sum;
        const rg::Mixture mixture(r.model, rg::checkedFractions(o.amounts, o.normalise));
        r.properties = mixture.at(r.line.temperatureK, r.line.pressureKPa);
        if (r.base) {
            try {
                r.baseProperties = mixture.at(r.base->temperatureK, r.base->pressureKPa);
            } catch (const rg::RealGasError& e) {
                throw Failure{std::string("base conditions: ") + e.what()};
            }
            r.factor =
                rg::conversionFactor(r.properties, r.line.temperatureK, r.line.pressureKPa,
                                     r.baseProperties, r.base->temperatureK, r.base->pressureKPa);
        }
        out << (o.json ? json(r) : text(r, o.german));
        return 0;
    } catch (const Failure& f) {
        err << "tarvelo eos: " << f.message << '\n';
    } catch (const rg::RealGasError& e) {
        err << "tarvelo eos: " << compositionRefusal(e.what()) << '\n';
    }
    return 1;
}

} // namespace tarvelo::cli
