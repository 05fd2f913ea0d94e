#include "EosCommand.h"

#include "Arguments.h"
#include "Components.h"
#include "Quoted.h"
#include "RealGas.h"
#include "Units.h"

#include <nlohmann/json.hpp>

#include <charconv>
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

struct Failure {
    std::string message;
};

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

double readTemperature(std::string_view text, std::string_view what) {
    const units::Reading r = units::temperatureK(text);
    if (!r)
        throw Failure{std::string(what) + ": " + r.error};
    return r.value;
}

double readPressure(std::string_view text, std::string_view what) {
    const units::Reading r = units::pressureKPa(text);
    if (!r)
        throw Failure{std::string(what) + ": " + r.error};
    return r.value;
}

void readAmount(std::string_view assignment, Options& o,
                std::array<bool, components::kEosCount>& given) {
    const auto equals = assignment.rfind('=');
    if (equals == std::string_view::npos)
        throw Failure{quoted(assignment) + " is not COMPONENT=MOLPERCENT (no '=')"};
    const std::string_view label = assignment.substr(0, equals);
    const auto index = components::find(label);
    if (!index)
        throw Failure{components::unknownMessage(label)};
    const components::Component& c = components::component(*index);
    if (c.eos == components::kNone)
        throw Failure{std::string(c.name) +
                      " is not one of the 21 components of GERG-2008 and AGA8-DETAIL"};
    const auto i = static_cast<std::size_t>(c.eos);
    if (given[i])
        throw Failure{std::string(c.name) + " given twice"};
    given[i] = true;
    const std::string_view number = assignment.substr(equals + 1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || ec != std::errc() || end != number.data() + number.size() ||
        !std::isfinite(value))
        throw Failure{std::string(c.name) + ": not a number: " + quoted(number)};
    o.amounts[i] = value / 100.0;
    o.anyAmount = true;
}

Options readOptions(const std::vector<std::string_view>& args) {
    Options o;
    std::array<bool, components::kEosCount> given{};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
            readAmount(arg, o, given);
            continue;
        }
        const std::string_view name = arg.substr(0, arg.find('='));
        auto value = [&]() -> std::string_view {
            if (name.size() < arg.size())
                return arg.substr(name.size() + 1);
            if (i + 1 >= args.size())
                throw Failure{"option " + std::string(name) + " needs a value"};
            return args[++i];
        };
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--normalise" || arg == "--normalize") {
            o.normalise = true;
        } else if (name == "--model") {
            const std::string_view m = value();
            if (m == rg::modelKey(rg::Model::Gerg2008))
                o.model = rg::Model::Gerg2008;
            else if (m == rg::modelKey(rg::Model::Detail))
                o.model = rg::Model::Detail;
            else
                throw Failure{"unknown model " + quoted(m) + " (use gerg2008 or detail)"};
        } else if (name == "--temperature") {
            o.temperatureK = readTemperature(value(), "--temperature");
        } else if (name == "--pressure") {
            o.pressureKPa = readPressure(value(), "--pressure");
        } else if (name == "--base") {
            const std::string_view pair = value();
            const auto comma = pair.find(',');
            if (comma == std::string_view::npos)
                throw Failure{"--base " + quoted(pair) + " is not T,p (such as 15C,101.325kPa)"};
            o.base = State{readTemperature(pair.substr(0, comma), "--base temperature"),
                           readPressure(pair.substr(comma + 1), "--base pressure")};
        } else if (name == "--lang") {
            const std::string_view lang = value();
            const std::optional<Language> language = languageFrom(lang);
            if (!language)
                throw Failure{"unknown language " + quoted(lang) + " (use de or en)"};
            o.german = *language == Language::German;
        } else {
            throw Failure{"unknown option " + quoted(arg)};
        }
    }
    if (o.help)
        return o;
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
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    std::string s(text);
    if (german)
        for (char& c : s)
            if (c == '.')
                c = ',';
    return s;
}

std::size_t width(std::string_view text) {
    std::size_t w = 0;
    for (const char c : text)
        w += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    return w;
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
        const Options o = readOptions(args);
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
        const std::string message = e.what();
        err << "tarvelo eos: " << message
            << (message.find("add up to") != std::string::npos ? " (--normalise scales them)" : "")
            << '\n';
    }
    return 1;
}

} // namespace tarvelo::cli
