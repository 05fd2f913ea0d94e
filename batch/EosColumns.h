// The line-condition columns of `tarvelo batch --eos gerg2008|detail`: the
// compression factor and density [kg/m³] of each row's gas at the row's
// temperature (a column T_K or T_C) and absolute pressure (p_kPa, p_MPa,
// p_bar or p_Pa), by GERG-2008 or AGA8-DETAIL; with base conditions also the
// conversion factor C from line to base volume. Named Z_line and rho_line,
// apart from the kernel's rho [g/Nm³] and the ISO 6976 Z.
#pragma once

#include "ColumnSet.h"
#include "RealGas.h"
#include "Units.h"

#include <array>
#include <optional>
#include <string_view>

namespace tarvelo::batch {

class EosColumns final : public ColumnSet {
public:
    struct Base {
        double temperatureK, pressureKPa;
    };
    static constexpr std::array<std::string_view, 3> kNames = {"Z_line", "rho_line", "C"};

    EosColumns(realgas::Model model, std::optional<Base> base);

    std::span<const std::string_view> names() const override;
    bool claim(std::size_t column, std::string_view label) override;
    std::string headerProblem() const override;
    std::string compute(const RowInput& row, double* values) const override;
    int digits() const override { return 0; }

private:
    realgas::Model model_;
    std::optional<Base> base_;
    std::optional<std::size_t> temperatureColumn_, pressureColumn_;
    units::TemperatureUnit temperatureUnit_ = units::TemperatureUnit::Kelvin;
    units::PressureUnit pressureUnit_ = units::PressureUnit::Kilopascal;
};

// The maker that --eos MODEL [--base T,p] adds to a run.
ColumnSetMaker eosColumns(realgas::Model model, std::optional<EosColumns::Base> base);

} // namespace tarvelo::batch
