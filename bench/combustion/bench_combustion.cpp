// Cost of one complete combustion calculation of a natural gas: λ from an O2
// reading, the flue gas, dew point, flue-gas loss with condensation, and
// the adiabatic flame temperatures, with and without chemical equilibrium.
// The fuel's own data (elements, calorific values) are prepared once, as a
// caller with many readings of one gas does.
#include "Combustion.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace {

namespace cb = tarvelo::combustion;

cb::Fuel naturalGas() {
    const std::pair<const char*, double> amounts[] = {
        {"methane", 0.922393},    {"ethane", 0.025358},        {"propane", 0.015190},
        {"n-butane", 0.000523},   {"isobutane", 0.001512},     {"n-pentane", 0.002846},
        {"isopentane", 0.002832}, {"neopentane", 0.001015},    {"n-hexane", 0.002865},
        {"nitrogen", 0.010230},   {"carbon dioxide", 0.015236}};
    std::array<double, tarvelo::components::kCount> x{};
    for (const auto& [name, fraction] : amounts)
        x[*tarvelo::components::find(name)] = fraction;
    return cb::fuel(x);
}

void BM_Combustion(benchmark::State& state) {
    const cb::Fuel gas = naturalGas();
    cb::Conditions c;
    c.excess = cb::Excess::O2;
    c.value = 0.035;
    c.airK = 293.15;
    c.humidity = 0.5;
    c.flueK = 318.15; // below the dew point: condensing
    c.equilibrium = state.range(0) != 0;
    for (auto _ : state) {
        const cb::Result r = cb::calculate(gas, c);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Combustion)->ArgName("equilibrium")->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
