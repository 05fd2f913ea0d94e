#include "mixture.h"

namespace tarvelo {

KernelState mixture_properties(const float* composition,
                               const ComponentProperties* table) noexcept {
    // 0.01 held in single precision; its product with a single is exact in double.
    constexpr double factor = static_cast<double>(0.01f);
    constexpr double density_unit = 1000.0; // kg/Nm3 -> g/Nm3

    // Three sums, each in index order: one loop lets their chains of
    // dependent additions overlap (the library's Calculate took 62 ns with
    // the air sum in a loop of its own, 38 ns so; bench_kernel).
    KernelState state;
    double air = 0.0;
    double density = 0.0;
    double heat = 0.0;
    for (int i = 0; i < kComponentCount; ++i) {
        const double p = factor * static_cast<double>(composition[i]);
        state.fraction[i] = static_cast<float>(p);
        // The air sum takes the unrounded fraction, the other two the stored one.
        air += p * static_cast<double>(table[i].air_requirement);
        const double f = static_cast<double>(state.fraction[i]);
        density += static_cast<double>(table[i].density) * f;
        heat += static_cast<double>(table[i].calorific_value) * f;
    }
    state.lambda = static_cast<float>(air);
    state.rho = static_cast<float>(density * density_unit);
    state.hu = static_cast<float>(heat);
    return state;
}

} // namespace tarvelo
