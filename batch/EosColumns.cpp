#include "EosColumns.h"

#include "Quoted.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tarvelo::batch {

namespace rg = realgas;

EosColumns::EosColumns(rg::Model model, std::optional<Base> base) : model_(model), base_(base) {}

std::span<const std::string_view> EosColumns::names() const {
    return std::span<const std::string_view>(kNames).first(base_ ? 3 : 2);
}

bool EosColumns::claim(std::size_t column, std::string_view label) {
    // Only "T_<unit>" and "p_<unit>": T_flue_C and the like belong to others.
    if (label.size() < 3 || label[1] != '_' || label.find('_', 2) != std::string_view::npos)
        return false;
    if (label[0] == 'T' && !temperatureColumn_) {
        if (const auto unit = units::temperatureColumnUnit(label)) {
            temperatureColumn_ = column;
            temperatureUnit_ = *unit;
            return true;
        }
    }
    if (label[0] == 'p' && !pressureColumn_) {
        if (const auto unit = units::pressureColumnUnit(label)) {
            pressureColumn_ = column;
            pressureUnit_ = *unit;
            return true;
        }
    }
    return false;
}

std::string EosColumns::headerProblem() const {
    if (!temperatureColumn_ || !pressureColumn_)
        return std::string(
            "--eos needs a temperature column (T_K or T_C) and an absolute pressure column "
            "(p_kPa, p_MPa or p_bar) in the header");
    return {};
}

namespace {

// A field's number with the run's decimal mark; nothing when it is not one.
std::optional<double> fieldNumber(std::string_view field, char decimalMark) {
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    std::string text(field);
    if (decimalMark != '.')
        for (char& c : text) {
            if (c == '.')
                return std::nullopt;
            if (c == decimalMark)
                c = '.';
        }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::string EosColumns::compute(const RowInput& row, double* values) const {
    rg::Fractions x{};
    for (const std::size_t i : row.present) {
        if (row.amounts[i] == 0.0)
            continue;
        const components::Component& c = components::component(i);
        if (c.eos == components::kNone)
            return "eos: " + std::string(c.name) + " is not one of the 21 components of " +
                   std::string(rg::modelName(model_));
        x[static_cast<std::size_t>(c.eos)] = row.amounts[i] / 100.0;
    }
    const auto t = fieldNumber(row.fields[*temperatureColumn_], row.decimalMark);
    if (!t)
        return "eos: the temperature " + quoted(row.fields[*temperatureColumn_]) +
               " is not a number";
    const auto p = fieldNumber(row.fields[*pressureColumn_], row.decimalMark);
    if (!p)
        return "eos: the pressure " + quoted(row.fields[*pressureColumn_]) + " is not a number";
    const double temperatureK = units::toKelvin(*t, temperatureUnit_);
    const double pressureKPa = units::toKilopascal(*p, pressureUnit_);
    try {
        const rg::Mixture mixture(model_, x);
        const rg::Properties line = mixture.at(temperatureK, pressureKPa);
        values[0] = line.Z;
        values[1] = line.rho;
        if (base_) {
            const rg::Properties base = mixture.at(base_->temperatureK, base_->pressureKPa);
            values[2] = rg::conversionFactor(line, temperatureK, pressureKPa, base,
                                             base_->temperatureK, base_->pressureKPa);
        }
        return {};
    } catch (const rg::RealGasError& e) {
        return std::string("eos: ") + e.what();
    }
}

ColumnSetMaker eosColumns(rg::Model model, std::optional<EosColumns::Base> base) {
    return [model, base] { return std::make_unique<EosColumns>(model, base); };
}

} // namespace tarvelo::batch
