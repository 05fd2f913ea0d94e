#include "CombustionColumns.h"

#include "AsciiCase.h"
#include "Numbers.h"
#include "Units.h"

#include <cmath>
#include <limits>
#include <string>

namespace tarvelo::batch {

namespace cb = combustion;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A number of the row, negative ones too (temperatures in °C): the batch's
// one reader of amounts takes no sign, so a leading '-' is read here.
std::optional<double> signedNumber(std::string_view field, char decimalMark) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    const bool negative = !field.empty() && field.front() == '-';
    if (negative)
        field.remove_prefix(1);
    const ParsedAmount a = parseAmount(field, decimalMark);
    if (a.status != NumberStatus::Ok)
        return std::nullopt;
    return negative ? -a.value : a.value;
}

bool blank(std::string_view field) {
    return field.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

bool CombustionColumns::claim(std::size_t column, std::string_view label) {
    const struct {
        std::string_view label;
        cb::Excess excess;
    } readings[] = {
        {"lambda", cb::Excess::Lambda}, {"O2_flue", cb::Excess::O2}, {"CO2_flue", cb::Excess::CO2}};
    for (const auto& r : readings)
        if (equalsIgnoringCase(label, r.label)) {
            if (excessColumn_)
                excessProblem_ = "combustion: give one of the columns lambda, O2_flue and "
                                 "CO2_flue, not two";
            excessColumn_ = column;
            excess_ = r.excess;
            return true;
        }
    for (auto [prefix, target] : {std::pair{std::string_view("T_flue_"), &flue_},
                                  std::pair{std::string_view("T_air_"), &air_}}) {
        if (label.size() <= prefix.size() ||
            !equalsIgnoringCase(label.substr(0, prefix.size()), prefix))
            continue;
        const auto unit = units::temperatureColumnUnit(label);
        if (!unit || target->has_value())
            return false;
        *target = Temperature{column, *unit == units::TemperatureUnit::Celsius};
        return true;
    }
    return false;
}

std::string CombustionColumns::headerProblem() const {
    if (!excessProblem_.empty())
        return excessProblem_;
    if (!excessColumn_)
        return "combustion: the header needs a column lambda, O2_flue or CO2_flue (vol% of the "
               "dry flue gas)";
    return {};
}

std::string CombustionColumns::compute(const RowInput& row, double* values) const {
    std::array<double, components::kCount> fraction{};
    for (std::size_t i = 0; i < fraction.size(); ++i)
        fraction[i] = row.amounts[i] / 100.0;
    cb::Conditions c;
    c.excess = excess_;
    c.equilibrium = false;
    const std::string_view reading = row.fields[*excessColumn_];
    const auto value = signedNumber(reading, row.decimalMark);
    if (!value)
        return "combustion: " + std::string(excess_ == cb::Excess::Lambda ? "lambda" : "reading") +
               " is not a number: '" + std::string(reading) + "'";
    c.value = excess_ == cb::Excess::Lambda ? *value : *value / 100.0;
    auto temperature = [&](const Temperature& t, std::string_view what,
                           std::optional<double>& kelvin) -> std::string {
        const std::string_view field = row.fields[t.column];
        if (blank(field))
            return {};
        const auto v = signedNumber(field, row.decimalMark);
        if (!v)
            return "combustion: " + std::string(what) + " is not a number: '" + std::string(field) +
                   "'";
        kelvin = units::toKelvin(*v, t.celsius ? units::TemperatureUnit::Celsius
                                               : units::TemperatureUnit::Kelvin);
        return {};
    };
    std::optional<double> airK;
    if (air_)
        if (std::string problem = temperature(*air_, "air temperature", airK); !problem.empty())
            return problem;
    if (flue_)
        if (std::string problem = temperature(*flue_, "flue-gas temperature", c.flueK);
            !problem.empty())
            return problem;
    if (airK)
        c.airK = *airK;
    try {
        const cb::Result r = cb::calculate(cb::fuel(fraction), c);
        values[0] = r.lambda;
        values[1] = r.co2Max * 100.0;
        values[2] = r.flueWet;
        values[3] = r.dewPointK ? *r.dewPointK - units::kZeroCelsiusK : kNaN;
        values[4] = r.efficiency ? r.efficiency->lossHi * 100.0 : kNaN;
        values[5] = r.efficiency ? r.efficiency->etaHi * 100.0 : kNaN;
        values[6] = r.efficiency ? r.efficiency->etaHs * 100.0 : kNaN;
        return {};
    } catch (const cb::CombustionError& e) {
        return std::string("combustion: ") + e.what();
    }
}

ColumnSetMaker combustionColumns() {
    return [] { return std::make_unique<CombustionColumns>(); };
}

} // namespace tarvelo::batch
