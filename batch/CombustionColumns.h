// The combustion columns of `tarvelo batch --combustion`: the air ratio λ,
// CO2max, the wet flue gas, its water dew point and, where the row gives a
// flue-gas temperature, the flue-gas loss and the efficiencies (see
// combustion/Combustion.h). Reads from the row the excess air (a column
// `lambda`, or `O2_flue` or `CO2_flue`: vol% of the dry flue gas; the
// fuel's own O2 and CO2 are the component columns O2 and CO2) and,
// optionally, `T_flue_C` or `T_flue_K` and `T_air_C` or `T_air_K` (default
// 25 °C). Dry default air at 101.325 kPa. Holds no state of a row.
#pragma once

#include "ColumnSet.h"
#include "Combustion.h"

#include <array>
#include <optional>
#include <string_view>

namespace tarvelo::batch {

class CombustionColumns final : public ColumnSet {
public:
    // λ, CO2max [%], wet flue gas [m³/m³], dew point [°C]; with a flue-gas
    // temperature the flue-gas loss on Hi and the efficiencies on Hi and Hs
    // [%], otherwise those three are empty.
    static constexpr std::array<std::string_view, 7> kNames = {
        "lambda_air", "CO2_max", "V_wet", "dew_point_C", "qA_Hi", "eta_Hi", "eta_Hs"};

    std::span<const std::string_view> names() const override { return kNames; }
    bool claim(std::size_t column, std::string_view label) override;
    std::string headerProblem() const override;
    std::string compute(const RowInput& row, double* values) const override;

private:
    struct Temperature {
        std::size_t column;
        bool celsius;
    };
    std::optional<std::size_t> excessColumn_;
    combustion::Excess excess_ = combustion::Excess::Lambda;
    std::string excessProblem_; // two readings of the excess air
    std::optional<Temperature> flue_, air_;
};

// The maker that --combustion adds to a run.
ColumnSetMaker combustionColumns();

} // namespace tarvelo::batch
