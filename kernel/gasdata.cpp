#include "gasdata.h"

namespace tarvelo {

// Zero-initialised static storage: the table is all zero at load, with no
// constructor running when the library is loaded.
ComponentProperties component_table[component_count];

// The literals are rounded once, directly to the nearest single.
const ComponentProperties component_values[component_count] = {
    {16.043f, 0.7175f, 9.968f, 9.5611f},   //  1 CH4
    {30.069f, 1.355f, 17.873f, 16.8594f},  //  2 C2H6
    {44.096f, 2.011f, 25.893f, 24.3737f},  //  3 C3H8
    {58.123f, 2.689f, 34.046f, 32.3211f},  //  4 iso-C4H10
    {58.123f, 2.701f, 34.296f, 32.3211f},  //  5 n-C4H10
    {72.15f, 3.454f, 43.508f, 37.85f},     //  6 C5H12
    {86.177f, 4.204f, 52.667f, 44.94f},    //  7 C6H14
    {100.203f, 4.46f, 54.672f, 52.225f},   //  8 C7H16
    {26.038f, 1.171f, 15.363f, 11.9f},     //  9 C2H2 acetylene
    {28.054f, 1.2611f, 16.516f, 14.4158f}, // 10 C2H4 ethene
    {2.0158f, 0.0899f, 2.995f, 2.383f},    // 11 H2
    {28.0104f, 1.2505f, 3.509f, 2.386f},   // 12 CO
    {44.0098f, 1.9768f, 0.0f, 0.0f},       // 13 CO2
    {28.0134f, 1.2504f, 0.0f, 0.0f},       // 14 N2
    {31.9988f, 1.4289f, 0.0f, 0.0f},       // 15 O2: oxygen in the fuel does not lower the air need
    {18.0152f, 0.854f, 0.0f, 0.0f},        // 16 H2O
};

void gasdata_init() noexcept {
    for (int i = 0; i < component_count; ++i)
        component_table[i] = component_values[i];
}

} // namespace tarvelo
