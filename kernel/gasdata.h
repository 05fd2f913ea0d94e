// Module gasdata: the property table of the sixteen gas components.
#pragma once

namespace tarvelo {

inline constexpr int component_count = 16;

// Properties of one pure component at normal conditions.
struct ComponentProperties {
    float molar_mass;      // kg/kmol (not used by any calculation)
    float density;         // kg/Nm3
    float calorific_value; // lower calorific value, kWh/Nm3
    float air_requirement; // stoichiometric air, Nm3 air per Nm3 gas
};

// One record per component in composition order (1 methane ... 16 water
// vapour). Zero until gasdata_init has run.
extern ComponentProperties component_table[component_count];

// The values gasdata_init copies into component_table, for callers that
// compute without the library's state.
extern const ComponentProperties component_values[component_count];

// Writes all 64 values of component_table. Repeating it writes the same values.
void gasdata_init() noexcept;

} // namespace tarvelo
