#include "Iso6976Command.h"

#include "CommandText.h"

#include "Arguments.h"
#include "CsvReader.h"
#include "DescriptorIo.h"
#include "Domain.h"
#include "Quoted.h"

#include <nlohmann/json.hpp>

#include <bitset>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <unistd.h>

namespace tarvelo::cli {

namespace gq = gasquality;
using gq::Result;

namespace {

constexpr std::string_view kUsage =
    R"(Usage: tarvelo iso6976 [--reference T1/T2] [--pressure KPA] [--u COMPONENT=U]...
                       [--correlation FILE.csv] [--coverage K] [--normalise]
                       [--json] [--lang de|en] COMPONENT=MOLPERCENT...

Gas quality by ISO 6976:2016 from the composition in mol%: molar mass,
compression factor Z, relative density and density, gross and net calorific
values (molar, mass and volume based) and gross and net Wobbe indices, real
and ideal gas, each with its uncertainty by the method of the standard's
Annex B.

  --reference T1/T2  combustion / metering temperature in °C (default 25/0):
                     T1 one of 0, 15, 15.55, 20, 25; T2 one of 0, 15, 15.55, 20
                     (25/0 Germany and Austria, 15/15 UK, 15.55/15.55 North America)
  --pressure KPA     metering pressure, 90 to 110 kPa (default 101.325)
  --u COMPONENT=U    standard uncertainty of an amount in mol% (k = 1); amounts
                     without one count as exact
  --correlation FILE correlation coefficients of those uncertainties: a CSV
                     matrix whose first row and first column name the
                     components; pairs not named are uncorrelated
  --coverage K       coverage factor k of the uncertainties shown, above 0 and
                     up to 10 (default 1)
  --normalise        scale the amounts to 100 mol% first, and say so
  --json             one JSON object: M, Z, G, G_ideal, D, D_ideal, Hc_gross,
                     Hc_net, Hm_gross, Hm_net, Hv_gross, Hv_net, Hv_gross_ideal,
                     Hv_net_ideal, W_gross, W_net, W_gross_ideal, W_net_ideal;
                     u_ and each of them: its uncertainty U = k·u (k: coverage);
                     coverage; reference (combustion_C, metering_C,
                     pressure_kPa: the conditions used); with --normalise also
                     normalised_from_mol_percent, the sum of the amounts given
  --lang de|en       labels and decimal mark of the text (default English)

Units: kg/kmol, kg/m³, kJ/mol, MJ/kg, MJ/m³; volume-based values also in
kWh/m³ in the text. Components: the 60 of the standard's Table A.2 by name
(methane, 2-methylpropane, helium, ...), by a common synonym (isobutane,
isopentane, neopentane, ethylene, propylene, acetylene, hydrogen sulphide)
or by formula ()";

// After the kernel's formula labels in the usage text.
constexpr std::string_view kUsageEnd = R"( H2S He Ar ...), in any case. Quote names with blanks:
"carbon dioxide=1.5".

The text names the volume Nm³ only at 0 °C and 101.325 kPa exactly; it
shows the conditions used (a temperature within 1e-9 °C of the standard's is
the standard's). A gas that does not burn has calorific values and Wobbe
indices of 0 with the uncertainty of the tabulated data.

Refused, with exit status 1 and one line on standard error: a reference
pair or pressure outside the standard, a negative amount, amounts that do
not add up to 100 mol% within 0.01 mol% (without --normalise), a
correlation matrix that is not symmetric or not positive semidefinite, and a
gas whose compression factor is 0.9 or less.

Example (ISO 6976:2016 Annex D, Example 1):
  tarvelo iso6976 --reference 15/15 methane=93.3212 ethane=2.5656 \
    propane=1.5368 nitrogen=1.0350 "carbon dioxide=1.5414" \
    --u methane=0.0346 --u ethane=0.0243 --u propane=0.0148 \
    --u nitrogen=0.0195 --u "carbon dioxide=0.0111"
)";

std::size_t componentOf(std::string_view label, std::string_view where) {
    const auto index = gq::findComponent(label);
    if (!index)
        throw Failure{"unknown component " + tarvelo::quoted(label) + " in " +
                      tarvelo::quoted(where) + " (see tarvelo iso6976 --help)"};
    return *index;
}

// "COMPONENT=VALUE" into `values` (mol% / 100) by the one reader of amounts;
// each component once.
void readAssignment(std::string_view assignment, std::array<double, gq::kComponentCount>& values,
                    std::bitset<gq::kComponentCount>& given, std::string_view what) {
    Amounts typed{};
    if (std::string problem = readAmount(assignment, typed, given, what); !problem.empty())
        throw Failure{problem};
    for (std::size_t i = 0; i < typed.size(); ++i)
        if (typed[i] != 0.0)
            values[i] = typed[i] / 100.0;
}

std::vector<double> readCorrelation(const std::string& path) {
    const int fd = open_for_reading(path);
    if (fd < 0)
        throw Failure{"cannot read " + tarvelo::quoted(path) + ": " + std::strerror(errno)};
    struct Close {
        int fd;
        ~Close() { ::close(fd); }
    } closer{fd};
    constexpr std::size_t n = gq::kComponentCount;
    std::vector<double> matrix(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        matrix[i * n + i] = 1.0;
    try {
        CsvReader reader(fd, ',');
        CsvRecord record;
        if (!reader.next(record))
            throw Failure{tarvelo::quoted(path) + " is empty"};
        std::vector<std::size_t> header;
        for (std::size_t f = 1; f < record.fields.size(); ++f)
            header.push_back(componentOf(record.fields[f], path));
        while (reader.next(record)) {
            const std::string where = path + ":" + std::to_string(record.line);
            if (!record.problem.empty() || record.fields.size() != header.size() + 1)
                throw Failure{where + ": expected a component and " +
                              std::to_string(header.size()) + " coefficients"};
            const std::size_t row = componentOf(record.fields[0], where);
            for (std::size_t f = 0; f < header.size(); ++f) {
                const auto r = readNumber(record.fields[f + 1]);
                if (!r)
                    throw Failure{where +
                                  ": not a number: " + tarvelo::quoted(record.fields[f + 1])};
                matrix[row * n + header[f]] = *r;
            }
        }
    } catch (const CsvReadError& e) {
        throw Failure{"cannot read " + tarvelo::quoted(path) + ": " + e.what()};
    }
    return matrix;
}

struct Options {
    gq::ReferenceConditions reference;
    gq::Composition composition;
    double coverage = 1.0;
    bool normalise = false;
    bool json = false;
    bool german = false;
    bool help = false;
};

Options readIso6976Options(const std::vector<std::string_view>& args) {
    Options o;
    std::bitset<gq::kComponentCount> amounts, uncertainties;
    std::string correlationFile;
    Language language = Language::English;
    using Value = OptionSpec::Value;
    const auto number = [](std::string_view option, std::string_view text, double& target) {
        const auto value = readNumber(text);
        if (!value)
            return std::string(option) + ": not a number: " + tarvelo::quoted(text);
        target = *value;
        return std::string();
    };
    const OptionWalk walk = readOptions(
        "iso6976", args,
        {flagOption({"--json"}, o.json),
         flagOption({"--normalise", "--normalize"}, o.normalise),
         languageOption(language),
         {{"--reference"},
          Value::Required,
          false,
          [&](std::string_view v) {
              if (!readReferencePair(v, o.reference))
                  return "--reference " + tarvelo::quoted(v) + " is not T1/T2 (such as 25/0)";
              return std::string();
          }},
         {{"--pressure"},
          Value::Required,
          false,
          [&](std::string_view v) { return number("--pressure", v, o.reference.pressureKPa); }},
         {{"--coverage"},
          Value::Required,
          false,
          [&](std::string_view v) { return number("--coverage", v, o.coverage); }},
         {{"--correlation"},
          Value::Required,
          false,
          [&](std::string_view v) {
              correlationFile.assign(v);
              return std::string();
          }},
         {{"--u"}, Value::Required, true, [&](std::string_view v) {
              try {
                  readAssignment(v, o.composition.fractionU, uncertainties, "U");
              } catch (const Failure& f) {
                  return f.message;
              }
              return std::string();
          }}});
    if (walk.help) {
        o.help = true;
        return o;
    }
    if (!walk.error.empty())
        throw Failure{walk.error.substr(std::string_view("tarvelo iso6976: ").size())};
    o.german = language == Language::German;
    for (const std::string_view operand : walk.operands)
        readAssignment(operand, o.composition.fraction, amounts, "MOLPERCENT");
    if (amounts.none())
        throw Failure{"no COMPONENT=MOLPERCENT given (see tarvelo iso6976 --help)"};
    for (std::size_t i = 0; i < gq::kComponentCount; ++i)
        if (o.composition.fractionU[i] < 0.0)
            throw Failure{std::string(gq::componentName(i)) + ": negative uncertainty"};
    if (!correlationFile.empty())
        o.composition.correlation = readCorrelation(correlationFile);
    return o;
}

struct Line {
    Result result;
    std::string_view english;
    std::string_view german;
    std::string_view unit; // "V" stands for the volume unit
    int decimals;
    bool kwh; // also in kWh per volume
};
constexpr Line kLines[] = {
    {Result::M, "molar mass M", "molare Masse M", "kg/kmol", 5, false},
    {Result::Z, "compression factor Z", "Realgasfaktor Z", "", 6, false},
    {Result::G, "relative density G", "relative Dichte G", "", 6, false},
    {Result::G_ideal, "relative density G, ideal gas", "relative Dichte G, ideales Gas", "", 6,
     false},
    {Result::D, "density D", "Dichte D", "kg/V", 6, false},
    {Result::D_ideal, "density D, ideal gas", "Dichte D, ideales Gas", "kg/V", 6, false},
    {Result::Hc_gross, "gross calorific value, molar", "Brennwert, molar", "kJ/mol", 3, false},
    {Result::Hc_net, "net calorific value, molar", "Heizwert, molar", "kJ/mol", 3, false},
    {Result::Hm_gross, "gross calorific value, mass", "Brennwert, massebezogen", "MJ/kg", 4, false},
    {Result::Hm_net, "net calorific value, mass", "Heizwert, massebezogen", "MJ/kg", 4, false},
    {Result::Hv_gross, "gross calorific value Hs", "Brennwert Hs", "MJ/V", 4, true},
    {Result::Hv_net, "net calorific value Hi", "Heizwert Hi", "MJ/V", 4, true},
    {Result::Hv_gross_ideal, "gross calorific value Hs, ideal gas", "Brennwert Hs, ideales Gas",
     "MJ/V", 4, true},
    {Result::Hv_net_ideal, "net calorific value Hi, ideal gas", "Heizwert Hi, ideales Gas", "MJ/V",
     4, true},
    {Result::W_gross, "gross Wobbe index Ws", "oberer Wobbe-Index Ws", "MJ/V", 4, true},
    {Result::W_net, "net Wobbe index Wi", "unterer Wobbe-Index Wi", "MJ/V", 4, true},
    {Result::W_gross_ideal, "gross Wobbe index Ws, ideal gas", "oberer Wobbe-Index Ws, ideales Gas",
     "MJ/V", 4, true},
    {Result::W_net_ideal, "net Wobbe index Wi, ideal gas", "unterer Wobbe-Index Wi, ideales Gas",
     "MJ/V", 4, true},
};

std::string text(const gq::Properties& p, const Options& o, std::optional<double> normalisedFrom) {
    const bool de = o.german;
    const auto& ref = p.reference;
    // The conditions used, so that the name of the volume follows them.
    const bool normal = ref.meteringC == 0.0 && ref.pressureKPa == 101.325;
    const std::string volume = normal ? "Nm³" : "m³";
    std::ostringstream s;
    s << "ISO 6976:2016, " << (de ? "Verbrennung " : "combustion ")
      << exactNumber(ref.combustionC, de) << " °C, " << (de ? "Messung " : "metering ")
      << exactNumber(ref.meteringC, de) << " °C " << (de ? "und " : "and ")
      << exactNumber(ref.pressureKPa, de) << " kPa (" << volume << ")\n";
    if (normalisedFrom)
        s << (de ? "normiert: die Anteile ergaben " : "normalised: the amounts added up to ")
          << shortNumber(*normalisedFrom * 100.0, de)
          << (de ? " mol% und wurden auf 100 mol% skaliert\n"
                 : " mol% and were scaled to 100 mol%\n");
    s << (de ? "Unsicherheiten U = k·u mit k = " : "uncertainties U = k·u with k = ")
      << exactNumber(p.coverage, de) << "\n";
    std::size_t labelWidth = 0;
    for (const Line& line : kLines)
        labelWidth = std::max(labelWidth, width(de ? line.german : line.english));
    for (const Line& line : kLines) {
        const std::string_view label = de ? line.german : line.english;
        const gq::Quantity& q = p[line.result];
        std::string unit(line.unit);
        if (const auto v = unit.find('V'); v != std::string::npos)
            unit.replace(v, 1, volume);
        s << label << std::string(labelWidth - width(label) + 2, ' ')
          << fixed(q.value, line.decimals, de) << " ± " << fixed(q.u, line.decimals, de);
        if (!unit.empty())
            s << ' ' << unit;
        if (line.kwh)
            s << "  = " << fixed(q.value / 3.6, line.decimals, de) << " ± "
              << fixed(q.u / 3.6, line.decimals, de) << " kWh/" << volume;
        s << '\n';
    }
    return s.str();
}

std::string json(const gq::Properties& p, std::optional<double> normalisedFrom) {
    nlohmann::ordered_json object;
    for (std::size_t r = 0; r < gq::kResultCount; ++r)
        object[std::string(gq::kResultKeys[r])] = p.results[r].value;
    for (std::size_t r = 0; r < gq::kResultCount; ++r)
        object["u_" + std::string(gq::kResultKeys[r])] = p.results[r].u;
    object["coverage"] = p.coverage;
    object["reference"] = {{"combustion_C", p.reference.combustionC},
                           {"metering_C", p.reference.meteringC},
                           {"pressure_kPa", p.reference.pressureKPa}};
    if (normalisedFrom)
        object["normalised_from_mol_percent"] = *normalisedFrom * 100.0;
    return object.dump(2) + "\n";
}

} // namespace

bool readReferencePair(std::string_view text, gq::ReferenceConditions& reference) {
    const auto slash = text.find('/');
    if (slash == std::string_view::npos)
        return false;
    const auto combustion = readNumber(text.substr(0, slash));
    const auto metering = readNumber(text.substr(slash + 1));
    if (!combustion || !metering)
        return false;
    reference.combustionC = *combustion;
    reference.meteringC = *metering;
    return true;
}

std::string iso6976Usage() {
    return std::string(kUsage) + componentLabelList(" ", 0, 10) + "\n" +
           componentLabelList(" ", 10) + std::string(kUsageEnd);
}

int runIso6976(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err) {
    try {
        Options o = readIso6976Options(args);
        if (o.help) {
            out << iso6976Usage();
            return 0;
        }
        std::optional<double> normalisedFrom;
        if (o.normalise)
            normalisedFrom = gq::normalise(o.composition);
        const gq::Properties p = gq::calculate(o.composition, o.reference, o.coverage);
        out << (o.json ? json(p, normalisedFrom) : text(p, o, normalisedFrom));
        return 0;
    } catch (const Failure& f) {
        err << "tarvelo iso6976: " << f.message << '\n';
    } catch (const gq::Iso6976Error& e) {
        err << "tarvelo iso6976: " << compositionRefusal(e.what()) << '\n';
    }
    return 1;
}

} // namespace tarvelo::cli
