// Rounding of results as the window and the command line show them.
#pragma once

#include <algorithm>
#include <cmath>

namespace tarvelo {

// Rounds to `decimals` places (0 to 3), halves going to the even digit, and
// returns the nearest single-precision value: 0.125f -> 0.12f. A single
// times 10^3 or less is exact in double, so the only rounding is
// nearbyint's, which ties to even in the default mode.
inline float roundHalfEven(float value, int decimals) {
    static constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0};
    if (!std::isfinite(value))
        return value;
    const double scale = kScale[std::clamp(decimals, 0, 3)];
    return static_cast<float>(std::nearbyint(static_cast<double>(value) * scale) / scale);
}

} // namespace tarvelo
