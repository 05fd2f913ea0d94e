// The facts of the domain that the kernel, the desktop program and the
// command line share: the sixteen components in composition order with their
// formula labels, the language codes and the rule for a calculable sum.
// Standard library only, so that the kernel can use it.
#pragma once

#include "AsciiCase.h"
#include "Components.h"
#include "TarveloV1_Kernel.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelo {

inline constexpr int kComponentCount = 16;

// The formula labels of the input, index 0 (component 1, methane) to 15
// (component 16, water vapour): the labels of the component table's entries
// that the kernel has. The kernel's report names the components in its own
// spelling; these are the labels of the window and the command line.
inline constexpr std::array<std::string_view, kComponentCount> kComponentLabels = [] {
    std::array<std::string_view, kComponentCount> labels{};
    for (const components::Component& c : components::kTable)
        if (c.kernel != components::kNone)
            labels[static_cast<std::size_t>(c.kernel)] = c.label;
    return labels;
}();

// The kernel's component index (0..15) of a component named as the
// component table names it (formula label, name or synonym, any case);
// nothing for a text that names no component or one the kernel lacks.
inline std::optional<int> componentIndex(std::string_view text) noexcept {
    const auto index = components::find(text);
    if (!index || components::kTable[*index].kernel == components::kNone)
        return std::nullopt;
    return components::kTable[*index].kernel;
}

// The labels of components `first` to `last` - 1, joined by `separator`: the
// lists that messages and usage texts show.
inline std::string componentLabelList(std::string_view separator, int first = 0,
                                      int last = kComponentCount) {
    std::string list;
    for (int i = first; i < last; ++i) {
        if (i > first)
            list += separator;
        list += kComponentLabels[static_cast<std::size_t>(i)];
    }
    return list;
}

// A composition is calculable when its percentages add up to within 1 of 100
// (summed in single precision, in component order).
inline constexpr float kSumTarget = 100.0f;
inline constexpr float kSumTolerance = 1.0f;
inline bool sumNear100(float sum) noexcept {
    return std::fabs(kSumTarget - sum) < kSumTolerance;
}

// Mole fractions (ISO 6976, the equations of state, combustion) must add up
// to 1 within 0.01 mol% as the amounts were typed in decimal: the
// comparison allows kFractionSumRounding more for the rounding of the
// amounts to binary and of their sum (at most about 2e-14 for 60 amounts),
// so that 89.99 + 10 mol% passes as 90 + 9.99 does. Only amounts typed with
// more than ten decimals could fall within that slack.
inline constexpr double kFractionSumTolerance = 1e-4;
inline constexpr double kFractionSumRounding = 1e-12;
inline bool fractionsAddUpToOne(double sum) noexcept {
    return std::fabs(sum - 1.0) <= kFractionSumTolerance + kFractionSumRounding;
}

// The kernel's language codes (Save2File's `language`), named in its header.
enum class Language : std::int32_t {
    German = TARVELO_LANGUAGE_GERMAN,
    English = TARVELO_LANGUAGE_ENGLISH,
};

} // namespace tarvelo
