#include "QualitySheet.h"

#include "Components.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

#include "RealGas.h"

namespace tarvelo::quality {

namespace {

std::string nameOf(std::size_t component) {
    return std::string(components::component(component).name);
}

std::string withMark(std::string text, char mark) {
    for (char& c : text)
        if (c == '.')
            c = mark;
    return text;
}

// The fractions and their sum in component order, as the library sums them.
double fractionSum(const gq::Composition& composition) {
    double total = 0.0;
    for (const double x : composition.fraction)
        total += x;
    return total;
}

namespace rg = tarvelo::realgas;

constexpr double kZeroCelsiusK = 273.15;

void evaluateLine(Outcome& outcome, const gq::ReferenceConditions& reference, const Line& line) {
    const rg::Model model = line.model == Model::Detail ? rg::Model::Detail : rg::Model::Gerg2008;
    const std::string name(rg::modelName(model));
    if (!std::isfinite(line.temperatureC) || !std::isfinite(line.pressureBar)) {
        outcome.lineRefused = Refusal{refusal::kLineNotANumber, {}};
        return;
    }
    // The amounts as mole fractions, as `tarvelo eos` reads them; the
    // library scales them to a sum of 1.
    rg::Fractions x{};
    const gq::Composition& c = outcome.built.composition;
    for (std::size_t i = 0; i < c.fraction.size(); ++i) {
        if (c.fraction[i] == 0.0)
            continue;
        const int eos = components::component(i).eos;
        if (eos == components::kNone) {
            outcome.lineRefused = Refusal{refusal::kModelLacks, {name, nameOf(i)}};
            return;
        }
        x[static_cast<std::size_t>(eos)] = c.fraction[i];
    }
    const double lineK = line.temperatureC + kZeroCelsiusK;
    const double lineKPa = line.pressureBar * 100.0;
    const double baseK = reference.meteringC + kZeroCelsiusK;
    try {
        const rg::Mixture gas(model, x);
        const rg::Properties state = gas.at(lineK, lineKPa);
        rg::Properties base{};
        try {
            base = gas.at(baseK, reference.pressureKPa);
        } catch (const rg::RealGasError& e) {
            outcome.lineRefused = Refusal{refusal::kReferenceState, {e.what()}};
            return;
        }
        outcome.line = LineResult{
            state.Z, state.rho, state.W,
            rg::conversionFactor(state, lineK, lineKPa, base, baseK, reference.pressureKPa)};
    } catch (const rg::RealGasError& e) {
        outcome.lineRefused = Refusal{refusal::kLineRange, {name, e.what()}};
    }
}

} // namespace

Sum sum(const std::vector<Row>& rows) {
    Sum s;
    for (const Row& row : rows)
        if (row.percent && std::isfinite(*row.percent))
            s.percent += *row.percent;
    s.withinRule = std::abs(s.percent / 100.0 - 1.0) <= gq::kSumTolerance;
    return s;
}

Built build(const std::vector<Row>& rows) {
    Built b;
    if (rows.empty()) {
        b.refused = Refusal{refusal::kNoComponent, {}};
        return b;
    }
    std::array<bool, gq::kComponentCount> given{};
    for (const Row& row : rows) {
        const std::string name = nameOf(row.component);
        if (given[row.component]) {
            b.refused = Refusal{refusal::kTwice, {name}};
            return b;
        }
        given[row.component] = true;
        if (!row.percent || !std::isfinite(*row.percent)) {
            b.refused = Refusal{refusal::kNotANumber, {name, row.percentText}};
            return b;
        }
        if (*row.percent < 0.0) {
            b.refused = Refusal{refusal::kNegative, {name}};
            return b;
        }
        if (!row.uPercent || !std::isfinite(*row.uPercent)) {
            b.refused = Refusal{refusal::kNotANumber, {name, row.uText}};
            return b;
        }
        if (*row.uPercent < 0.0) {
            b.refused = Refusal{refusal::kNegativeU, {name}};
            return b;
        }
        b.composition.fraction[row.component] = *row.percent / 100.0;
        b.composition.fractionU[row.component] = *row.uPercent / 100.0;
    }
    const double total = fractionSum(b.composition);
    b.sumPercent = total * 100.0;
    if (!(std::abs(total - 1.0) <= gq::kSumTolerance))
        b.refused = Refusal{
            refusal::kSum, {fixed(b.sumPercent, 4, '.'), shortest(gq::kSumTolerance * 100.0, '.')}};
    return b;
}

std::string_view modelName(Model model) noexcept {
    return rg::modelName(model == Model::Detail ? rg::Model::Detail : rg::Model::Gerg2008);
}

Outcome evaluate(const std::vector<Row>& rows, const gq::ReferenceConditions& reference,
                 double coverage, const Line& line) {
    Outcome outcome;
    outcome.built = build(rows);
    if (outcome.built.refused) {
        outcome.isoRefused = outcome.built.refused;
        return outcome;
    }
    if (!(reference.pressureKPa >= 90.0 && reference.pressureKPa <= 110.0)) {
        outcome.isoRefused = Refusal{refusal::kPressure, {shortest(reference.pressureKPa, '.')}};
        return outcome;
    }
    try {
        outcome.iso = gq::calculate(outcome.built.composition, reference, coverage);
    } catch (const gq::Iso6976Error& e) {
        const std::string_view what = e.what();
        outcome.isoRefused =
            what.starts_with("compression factor")
                ? Refusal{refusal::kCompression, {shortest(gq::kMinimumCompression, '.')}}
                : Refusal{refusal::kOther, {std::string(what)}};
        return outcome;
    }
    evaluateLine(outcome, reference, line);
    return outcome;
}

int decimalsFor(double u) noexcept {
    if (!(u > 0.0) || !std::isfinite(u))
        return 6;
    // Two significant digits of u: the first at 10^floor(log10 u).
    const int first = static_cast<int>(std::floor(std::log10(u)));
    int decimals = 1 - first;
    // u = 0.0996 rounds to 0.10: one significant digit fewer is enough.
    if (std::round(u * std::pow(10.0, decimals)) >= 100.0)
        --decimals;
    return decimals < 0 ? 0 : (decimals > 10 ? 10 : decimals);
}

std::string fixed(double value, int decimals, char mark) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return withMark(text, mark);
}

std::string shortest(double value, char mark) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return withMark(std::string(text, ec == std::errc() ? end : text), mark);
}

std::string_view unitOf(gq::Result r) noexcept {
    using R = gq::Result;
    switch (r) {
    case R::M:
        return "kg/kmol";
    case R::D:
    case R::D_ideal:
        return "kg/m³";
    case R::Hc_gross:
    case R::Hc_net:
        return "kJ/mol";
    case R::Hm_gross:
    case R::Hm_net:
        return "MJ/kg";
    case R::Z:
    case R::G:
    case R::G_ideal:
    case R::Count:
        return "";
    default:
        return "MJ/m³";
    }
}

bool perVolume(gq::Result r) noexcept {
    return unitOf(r) == "MJ/m³";
}

std::string clipboardText(const Outcome& outcome, char mark) {
    std::string text = "key\tvalue\tU\tunit\n";
    if (outcome.iso)
        for (std::size_t r = 0; r < gq::kResultCount; ++r) {
            const gq::Quantity& q = outcome.iso->results[r];
            text += std::string(gq::kResultKeys[r]) + '\t' + shortest(q.value, mark) + '\t' +
                    shortest(q.u, mark) + '\t' + std::string(unitOf(static_cast<gq::Result>(r))) +
                    '\n';
        }
    if (outcome.line) {
        const LineResult& l = *outcome.line;
        const std::pair<const char*, std::pair<double, const char*>> lines[] = {
            {"line_Z", {l.Z, ""}},
            {"line_rho", {l.rho, "kg/m³"}},
            {"line_W", {l.W, "m/s"}},
            {"line_C", {l.C, ""}}};
        for (const auto& [key, valueUnit] : lines)
            text += std::string(key) + '\t' + shortest(valueUnit.first, mark) + "\t\t" +
                    valueUnit.second + '\n';
    }
    return text;
}

} // namespace tarvelo::quality
