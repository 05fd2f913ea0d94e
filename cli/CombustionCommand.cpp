#include "CombustionCommand.h"

#include "CommandText.h"

#include "Arguments.h"
#include "Combustion.h"
#include "Components.h"
#include "Quoted.h"
#include "Units.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <bitset>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <sstream>

namespace tarvelo::cli {

namespace cb = combustion;
using cb::Species;

namespace {

constexpr std::string_view kUsage =
    R"(Usage: tarvelo combustion (--lambda L | --o2 PERCENT | --co2 PERCENT)
                          [--air AIR] [--air-temperature T] [--humidity PERCENT]
                          [--flue-temperature T] [--pressure P] [--json]
                          [--lang de|en] COMPONENT=MOLPERCENT...

Complete combustion of a fuel gas in air, from its composition in mol%: the
oxygen and air needed, the flue gas (wet and dry) and its composition,
CO2max, the water dew point of the flue gas, the flue-gas loss and the
efficiency on the net (Hi) and gross (Hs) calorific value, and the adiabatic
flame temperature for complete combustion and at chemical equilibrium.
Volumes are per m³ of fuel (ideal gases: m³/m³ = mol/mol); percentages are
vol%.

  --lambda L           the air ratio λ (1 or more)
  --o2 PERCENT         or the O2 measured in the dry flue gas, vol%
  --co2 PERCENT        or the CO2 measured in the dry flue gas, vol%
                       (λ is then found exactly from the mass balance)
  --air AIR            the dry air, as O2=21,N2=79 (any of O2, N2, Ar, CO2;
                       scaled to 100 %); default N2 78.084, O2 20.946,
                       Ar 0.934, CO2 0.036 vol%
  --air-temperature T  temperature of the air and the fuel (default 25C)
  --humidity PERCENT   relative humidity of the air (default 0: dry)
  --flue-temperature T flue-gas temperature: adds the flue-gas loss qA and the
                       efficiencies, with the heat of condensing water below
                       the dew point (condensing boilers)
  --pressure P         absolute pressure (default 101.325kPa)
  --json               one JSON object: lambda, O2_min, L_min, L_min_humid, L,
                       L_humid, V_wet, V_dry, x_wet and x_dry (mol% by CO2, SO2,
                       H2O, O2, N2, Ar), CO2_max, dew_point_C, Hs, Hi,
                       L_min_kg_per_kg, L_kg_per_kg, flue_gas_kg_per_kg; with
                       --flue-temperature qA_Hi, eta_Hi, eta_Hs (percent) and
                       condensate; T_ad_complete_K, T_ad_equilibrium_K and
                       x_equilibrium
  --lang de|en         labels and decimal mark of the text (default English)

Temperatures carry their unit (15C, 288.15K), pressures too (101.325kPa,
1.01325bar); a bare number is refused. Temperatures from 200 to 3500 K,
pressures from 10 to 1000 kPa.

Components: the 60 of ISO 6976 by name, formula or synonym, as for
tarvelo iso6976, adding up to 100 mol%. Calorific values by ISO 6976 at
25 °C, ideal gas; flue-gas enthalpies from NASA polynomials (GRI-Mech 3.0);
saturation of water by IAPWS-IF97. Incomplete combustion (λ < 1) is not
modelled.

Refused, with exit status 1 and one line on standard error: a fuel that
cannot burn, λ below 1, an O2 reading at or above the air's O2, a CO2
reading above CO2max, and temperatures or pressures outside the ranges.

Example (a boiler check: 3.5 % O2 measured, flue gas at 140 °C):
  tarvelo combustion --o2 3.5 --air-temperature 20C --flue-temperature 140C \
    methane=92 ethane=4 propane=1 nitrogen=2 "carbon dioxide=1"
)";

double number(std::string_view option, std::string_view text) {
    const auto value = readNumber(text);
    if (!value)
        throw Failure{std::string(option) + ": not a number: " + quoted(text)};
    return *value;
}

double temperature(std::string_view option, std::string_view text) {
    const units::Reading r = units::temperatureK(text);
    if (!r)
        throw Failure{std::string(option) + ": " + r.error};
    return r.value;
}

// "O2=21,N2=79": the dry air, by the flue-gas species it may hold.
cb::Amounts readAir(std::string_view text) {
    cb::Amounts air{};
    std::bitset<cb::kSpeciesCount> given;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        start = comma + 1;
        const auto equals = item.find('=');
        if (equals == std::string_view::npos)
            throw Failure{"--air: " + quoted(item) + " is not COMPONENT=PERCENT"};
        const std::string_view name = item.substr(0, equals);
        const auto index = components::find(name);
        std::optional<std::size_t> species;
        if (index)
            for (const Species s : {Species::O2, Species::N2, Species::Ar, Species::CO2})
                if (components::component(*index).label ==
                        cb::kSpeciesKeys[static_cast<std::size_t>(s)] ||
                    (s == Species::Ar && components::component(*index).name == "argon"))
                    species = static_cast<std::size_t>(s);
        if (!species)
            throw Failure{"--air: " + quoted(name) + " is not one of O2, N2, Ar, CO2"};
        if (given.test(*species))
            throw Failure{"--air: " + std::string(cb::kSpeciesKeys[*species]) + " given twice"};
        given.set(*species);
        const double v = number("--air", item.substr(equals + 1));
        if (v < 0.0)
            throw Failure{"--air: negative amount in " + quoted(item)};
        air[*species] = v;
    }
    return air;
}

struct Options {
    std::array<double, components::kCount> fraction{};
    cb::Conditions conditions;
    bool excessGiven = false;
    bool json = false;
    bool german = false;
    bool help = false;
};

Options readCombustionOptions(const std::vector<std::string_view>& args) {
    Options o;
    Language language = Language::English;
    using Value = OptionSpec::Value;
    // Each option's reading, or the problem for the message.
    const auto guarded = [](auto read) {
        return [read](std::string_view v) {
            try {
                read(v);
            } catch (const Failure& f) {
                return f.message;
            }
            return std::string();
        };
    };
    const auto excess = [&](std::string_view option, cb::Excess kind, double scale) {
        return guarded([&o, option, kind, scale](std::string_view v) {
            if (o.excessGiven)
                throw Failure{"give only one of --lambda, --o2 and --co2"};
            o.excessGiven = true;
            o.conditions.excess = kind;
            o.conditions.value = number(option, v) / scale;
        });
    };
    const OptionWalk walk = readOptions(
        "combustion", args,
        {flagOption({"--json"}, o.json),
         languageOption(language),
         {{"--lambda"}, Value::Required, false, excess("--lambda", cb::Excess::Lambda, 1.0)},
         {{"--o2"}, Value::Required, false, excess("--o2", cb::Excess::O2, 100.0)},
         {{"--co2"}, Value::Required, false, excess("--co2", cb::Excess::CO2, 100.0)},
         {{"--air"}, Value::Required, false, guarded([&](std::string_view v) {
              o.conditions.air = readAir(v);
          })},
         {{"--air-temperature"}, Value::Required, false, guarded([&](std::string_view v) {
              o.conditions.airK = temperature("--air-temperature", v);
          })},
         {{"--flue-temperature"}, Value::Required, false, guarded([&](std::string_view v) {
              o.conditions.flueK = temperature("--flue-temperature", v);
          })},
         {{"--humidity"}, Value::Required, false, guarded([&](std::string_view v) {
              o.conditions.humidity = number("--humidity", v) / 100.0;
          })},
         {{"--pressure"}, Value::Required, false, guarded([&](std::string_view v) {
              const units::Reading r = units::pressureKPa(v);
              if (!r)
                  throw Failure{"--pressure: " + r.error};
              o.conditions.pressureKPa = r.value;
          })}});
    if (walk.help) {
        o.help = true;
        return o;
    }
    if (!walk.error.empty())
        throw Failure{walk.error.substr(std::string_view("tarvelo combustion: ").size())};
    o.german = language == Language::German;
    std::bitset<components::kCount> amounts;
    batch::Amounts typed{}; // mol%, as typed
    for (const std::string_view operand : walk.operands)
        if (std::string problem = readAmount(operand, typed, amounts, "MOLPERCENT");
            !problem.empty())
            throw Failure{problem};
    if (!o.excessGiven)
        throw Failure{
            "give the excess air: --lambda, --o2 or --co2 (see tarvelo combustion --help)"};
    if (amounts.none())
        throw Failure{"no COMPONENT=MOLPERCENT given (see tarvelo combustion --help)"};
    for (std::size_t i = 0; i < typed.size(); ++i)
        o.fraction[i] = typed[i] / 100.0;
    return o;
}

class Table {
public:
    explicit Table(bool german) : german_(german) {}
    void add(std::string_view english, std::string_view deutsch, std::string value) {
        rows_.emplace_back(std::string(german_ ? deutsch : english), std::move(value));
    }
    void add(std::string_view english, std::string_view deutsch, double value, int decimals,
             std::string_view unit) {
        std::string text = fixed(value, decimals, german_);
        if (!unit.empty())
            text += " " + std::string(unit);
        add(english, deutsch, text);
    }
    std::string text() const {
        std::size_t w = 0;
        for (const auto& [label, value] : rows_)
            w = std::max(w, width(label));
        std::string s;
        for (const auto& [label, value] : rows_)
            s.append(label).append(w - width(label) + 2, ' ').append(value).append(1, '\n');
        return s;
    }

private:
    bool german_;
    std::vector<std::pair<std::string, std::string>> rows_;
};

// The species shown: the six always, He and Ne when the fuel brings them.
bool shown(const cb::Result& r, std::size_t s) {
    return s <= static_cast<std::size_t>(Species::Ar) || r.flue[s] > 0.0;
}

std::string composition(const cb::Result& r, const cb::Amounts& x, bool german, bool dry) {
    std::string s;
    for (std::size_t k = 0; k < cb::kSpeciesCount; ++k) {
        if (!shown(r, k) || (dry && k == static_cast<std::size_t>(Species::H2O)))
            continue;
        s += (s.empty() ? "" : "  ") + std::string(cb::kSpeciesKeys[k]) + " " +
             fixed(x[k] * 100.0, 3, german);
    }
    return s + " %";
}

std::string text(const cb::Result& r, const Options& o) {
    const bool de = o.german;
    const cb::Conditions& c = o.conditions;
    std::ostringstream head;
    head << (de ? "Verbrennung bei λ = " : "combustion at λ = ") << fixed(r.lambda, 4, de)
         << (de ? ", Luft " : ", air ") << fixed(c.airK - 273.15, 1, de) << " °C, "
         << shortNumber(c.humidity * 100.0, de)
         << (de ? " % rel. Feuchte, " : " % relative humidity, ") << shortNumber(c.pressureKPa, de)
         << " kPa\n";
    Table t(de);
    t.add("gross calorific value Hs, 25 °C", "Brennwert Hs, 25 °C", r.grossKJPerMol, 3, "kJ/mol");
    t.add("net calorific value Hi, 25 °C", "Heizwert Hi, 25 °C", r.netKJPerMol, 3, "kJ/mol");
    t.add("minimum oxygen O2,min", "Mindestsauerstoff O2,min", r.oxygenMin, 5, "m³/m³");
    t.add("minimum air L,min, dry", "Mindestluft L,min, trocken", r.airMin, 5, "m³/m³");
    t.add("minimum air L,min, humid", "Mindestluft L,min, feucht", r.airMinHumid, 5, "m³/m³");
    t.add("air L, dry", "Luft L, trocken", r.air, 5, "m³/m³");
    t.add("air L, humid", "Luft L, feucht", r.airHumid, 5, "m³/m³");
    t.add("minimum air, by mass", "Mindestluft, massebezogen", r.airMinMass, 4, "kg/kg");
    t.add("air, by mass (humid)", "Luft, massebezogen (feucht)", r.airMass, 4, "kg/kg");
    t.add("flue gas V, wet", "Abgas V, feucht", r.flueWet, 5, "m³/m³");
    t.add("flue gas V, dry", "Abgas V, trocken", r.flueDry, 5, "m³/m³");
    t.add("flue gas, by mass", "Abgas, massebezogen", r.flueMass, 4, "kg/kg");
    t.add("flue gas, wet", "Abgas, feucht", composition(r, r.wet, de, false));
    t.add("flue gas, dry", "Abgas, trocken", composition(r, r.dry, de, true));
    t.add("CO2max (dry, λ = 1)", "CO2max (trocken, λ = 1)", r.co2Max * 100.0, 3, "%");
    if (r.dewPointK)
        t.add("water dew point", "Wassertaupunkt", *r.dewPointK - 273.15, 2, "°C");
    else
        t.add("water dew point", "Wassertaupunkt",
              r.flue[static_cast<std::size_t>(Species::H2O)] > 0.0
                  ? (de ? "unter 0 °C" : "below 0 °C")
                  : (de ? "keiner (kein Wasser im Abgas)" : "none (no water in the flue gas)"));
    if (r.efficiency) {
        const auto& e = *r.efficiency;
        const std::string at = " (" + fixed(*c.flueK - 273.15, 1, de) + " °C)";
        t.add("flue-gas loss qA on Hi" + at, "Abgasverlust qA auf Hi" + at, e.lossHi * 100.0, 2,
              "%");
        if (e.condensate > 0.0)
            t.add("condensate", "Kondensat", e.condensate, 4,
                  de ? "mol/mol Brenngas" : "mol/mol fuel");
        t.add("efficiency on Hi", "Wirkungsgrad auf Hi", e.etaHi * 100.0, 2, "%");
        t.add("efficiency on Hs", "Wirkungsgrad auf Hs", e.etaHs * 100.0, 2, "%");
    }
    const std::string beyond = (de ? "über " : "above ") + shortNumber(cb::kMaxTemperatureK, de) +
                               (de ? " K (jenseits der Daten)" : " K (beyond the data)");
    auto flame = [&](std::string_view english, std::string_view deutsch,
                     const std::optional<double>& k) {
        if (k)
            t.add(english, deutsch, *k, 1, "K");
        else
            t.add(english, deutsch, beyond);
    };
    flame("adiabatic flame temperature, complete", "adiabate Flammentemperatur, vollständig",
          r.flameCompleteK);
    flame("adiabatic flame temperature, equilibrium", "adiabate Flammentemperatur, Gleichgewicht",
          r.flameEquilibriumK);
    return head.str() + t.text();
}

nlohmann::ordered_json percentObject(const cb::Result& r, const cb::Amounts& x) {
    nlohmann::ordered_json object = nlohmann::ordered_json::object();
    for (std::size_t k = 0; k < cb::kSpeciesCount; ++k)
        if (shown(r, k))
            object[std::string(cb::kSpeciesKeys[k])] = x[k] * 100.0;
    return object;
}

std::string json(const cb::Result& r) {
    nlohmann::ordered_json o;
    o["lambda"] = r.lambda;
    o["O2_min"] = r.oxygenMin;
    o["L_min"] = r.airMin;
    o["L_min_humid"] = r.airMinHumid;
    o["L"] = r.air;
    o["L_humid"] = r.airHumid;
    o["V_wet"] = r.flueWet;
    o["V_dry"] = r.flueDry;
    o["x_wet"] = percentObject(r, r.wet);
    o["x_dry"] = percentObject(r, r.dry);
    o["CO2_max"] = r.co2Max * 100.0;
    o["dew_point_C"] = r.dewPointK ? nlohmann::ordered_json(*r.dewPointK - 273.15) : nullptr;
    o["Hs"] = r.grossKJPerMol;
    o["Hi"] = r.netKJPerMol;
    o["L_min_kg_per_kg"] = r.airMinMass;
    o["L_kg_per_kg"] = r.airMass;
    o["flue_gas_kg_per_kg"] = r.flueMass;
    if (r.efficiency) {
        o["qA_Hi"] = r.efficiency->lossHi * 100.0;
        o["eta_Hi"] = r.efficiency->etaHi * 100.0;
        o["eta_Hs"] = r.efficiency->etaHs * 100.0;
        o["condensate"] = r.efficiency->condensate;
    }
    o["T_ad_complete_K"] = r.flameCompleteK ? nlohmann::ordered_json(*r.flameCompleteK) : nullptr;
    if (r.flameEquilibriumK) {
        o["T_ad_equilibrium_K"] = *r.flameEquilibriumK;
        double total = 0.0;
        for (const double v : r.equilibrium)
            total += v;
        nlohmann::ordered_json x = nlohmann::ordered_json::object();
        for (std::size_t k = 0; k < cb::kEquilibriumCount; ++k)
            if (r.equilibrium[k] > 0.0)
                x[std::string(cb::kEquilibriumKeys[k])] = r.equilibrium[k] / total * 100.0;
        o["x_equilibrium"] = x;
    } else {
        o["T_ad_equilibrium_K"] = nullptr;
    }
    return o.dump(2) + "\n";
}

} // namespace

std::string combustionUsage() {
    return std::string(kUsage);
}

int runCombustion(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err) {
    try {
        const Options o = readCombustionOptions(args);
        if (o.help) {
            out << combustionUsage();
            return 0;
        }
        const cb::Fuel fuel = cb::fuel(o.fraction);
        const cb::Result r = cb::calculate(fuel, o.conditions);
        out << (o.json ? json(r) : text(r, o));
        return 0;
    } catch (const Failure& f) {
        err << "tarvelo combustion: " << f.message << '\n';
    } catch (const cb::CombustionError& e) {
        err << "tarvelo combustion: " << e.what() << '\n';
    }
    return 1;
}

} // namespace tarvelo::cli
