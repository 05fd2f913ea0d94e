// The ISO 6976:2016 columns of `tarvelo batch --iso6976 T1/T2`: gross and
// net calorific value [MJ/m³], gross and net Wobbe index [MJ/m³], relative
// density, density [kg/m³] and compression factor, all of the real gas at
// the reference conditions, without uncertainties (the file has none).
#pragma once

#include "ColumnSet.h"
#include "Iso6976.h"

#include <array>
#include <string_view>

namespace tarvelo::batch {

class Iso6976Columns final : public ColumnSet {
public:
    static constexpr std::array<std::string_view, 7> kNames = {"Hs", "Hi", "Ws", "Wi",
                                                               "G",  "D",  "Z"};

    explicit Iso6976Columns(const gasquality::ReferenceConditions& reference);

    std::span<const std::string_view> names() const override { return kNames; }
    std::string compute(const RowInput& row, double* values) const override;

private:
    gasquality::ReferenceConditions reference_;
};

// The maker that --iso6976 T1/T2 adds to a run.
ColumnSetMaker iso6976Columns(const gasquality::ReferenceConditions& reference);

} // namespace tarvelo::batch
