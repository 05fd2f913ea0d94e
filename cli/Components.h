// The sixteen gas components by the formula labels of the main window, in the
// kernel's composition order.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace tarvelo::cli {

inline constexpr int kComponentCount = 16;

// Index 0 is component 1 (methane), index 15 is component 16 (water vapour).
inline constexpr std::array<std::string_view, kComponentCount> kComponentLabels = {
    "CH4",  "C2H6", "C3H8", "ISO-C4H10", "N-C4H10", "C5H12", "C6H14", "C7H16",
    "C2H2", "C2H4", "H2",   "CO",        "CO2",     "N2",    "O2",    "H2O"};

// The component index (0..15) of a formula label, compared without regard to
// ASCII case ("co2", "Iso-C4H10"); nothing for any other text.
std::optional<int> componentIndex(std::string_view label) noexcept;

// True when `a` and `b` are equal but for ASCII case.
bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept;

} // namespace tarvelo::cli
