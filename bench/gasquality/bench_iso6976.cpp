// Cost of one full ISO 6976:2016 calculation: every result and its
// uncertainty, for the eleven components of the standard's Example 3, with
// uncorrelated fractions and with a full correlation matrix.
#include "Iso6976.h"

#include <benchmark/benchmark.h>

#include <utility>

namespace {

namespace gq = tarvelo::gasquality;

gq::Composition example3(bool correlated) {
    const std::pair<const char*, double> amounts[] = {
        {"methane", 0.922393},    {"ethane", 0.025358},        {"propane", 0.015190},
        {"n-butane", 0.000523},   {"isobutane", 0.001512},     {"n-pentane", 0.002846},
        {"isopentane", 0.002832}, {"neopentane", 0.001015},    {"n-hexane", 0.002865},
        {"nitrogen", 0.010230},   {"carbon dioxide", 0.015236}};
    gq::Composition c;
    for (const auto& [name, x] : amounts) {
        c.fraction[*gq::findComponent(name)] = x;
        c.fractionU[*gq::findComponent(name)] = x * 0.001;
    }
    if (correlated) {
        c.correlation.assign(gq::kComponentCount * gq::kComponentCount, 0.0);
        for (std::size_t i = 0; i < gq::kComponentCount; ++i)
            for (std::size_t j = 0; j < gq::kComponentCount; ++j)
                c.correlation[i * gq::kComponentCount + j] = i == j ? 1.0 : -0.01;
    }
    return c;
}

void BM_Iso6976(benchmark::State& state) {
    const gq::Composition gas = example3(state.range(0) != 0);
    const gq::ReferenceConditions reference{25.0, 0.0, 101.325};
    for (auto _ : state) {
        const gq::Properties p = gq::calculate(gas, reference);
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(BM_Iso6976)->ArgName("correlated")->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
