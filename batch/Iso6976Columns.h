// The ISO 6976:2016 columns of `tarvelo batch --iso6976 T1/T2`: which input
// columns hold which of the standard's components, and the gas quality of
// one row, computed and written as text. Holds no state of a row, so one
// object may serve rows computed on several threads.
#pragma once

#include "Iso6976.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::batch {

class Iso6976Columns {
public:
    // The output columns, in order: gross and net calorific value [MJ/m³],
    // gross and net Wobbe index [MJ/m³], relative density, density [kg/m³]
    // and compression factor, all of the real gas at the reference conditions.
    static constexpr std::array<std::string_view, 7> kNames = {"Hs", "Hi", "Ws", "Wi",
                                                               "G",  "D",  "Z"};

    // Amounts of one row in mol% by the standard's component index.
    using Amounts = std::array<double, gasquality::kComponentCount>;

    explicit Iso6976Columns(const gasquality::ReferenceConditions& reference);

    // The standard's component named by a header label, if any.
    static std::optional<std::size_t> componentOf(std::string_view label) noexcept;

    // Records that input column `column` holds component `component`.
    void mapColumn(std::size_t column, std::size_t component);

    // Adds the amount of input column `column` to `amounts`: `field`, a
    // number the batch reader has accepted, read again in double precision
    // (the kernel's columns take single precision); columns not mapped are
    // ignored.
    void add(Amounts& amounts, std::size_t column, std::string_view field,
             char decimalMark) const noexcept;

    struct Row {
        bool computed = false;
        std::array<double, kNames.size()> values{};
        std::string reason; // why not computed: the standard's limit that refused it
    };
    // The gas quality of one row; amounts outside the standard's limits give
    // a row not computed, with the reason.
    Row compute(const Amounts& amounts) const;

    // Writes the columns of `row`, each preceded by `delimiter`, empty when
    // not computed; numbers with 9 significant digits and `decimalMark`,
    // quoted when `quote`. `out` must hold kMaxText characters.
    static constexpr std::size_t kMaxText = kNames.size() * 40;
    static char* write(char* out, const Row& row, char delimiter, char decimalMark, bool quote);

private:
    gasquality::ReferenceConditions reference_;
    std::vector<int> componentOfColumn_; // -1: not a component
};

} // namespace tarvelo::batch
