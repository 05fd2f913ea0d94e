// Module mixture: the arithmetic of one calculation, without any state. The
// library's calculate() stores its result as the last calculation; the
// command line's batch calls it from several threads at once.
#pragma once

#include "gasdata.h"

namespace tarvelo {

// The fractions and the three properties of one mixture.
struct KernelState {
    float fraction[component_count]; // volume fractions (percent x 0.01)
    float lambda;                    // air/fuel ratio, l air / l fuel
    float rho;                       // density, g/Nm3
    float hu;                        // calorific value, kWh/Nm3
};

// The fractions and properties of the 16 volume percentages at
// `composition`, from the property table `table`. Reads nothing else and
// writes nothing else; allocates nothing.
KernelState mixture_properties(const float* composition, const ComponentProperties* table) noexcept;

} // namespace tarvelo
