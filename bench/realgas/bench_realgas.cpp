// Cost of one state by GERG-2008 and AGA8-DETAIL: the density solve at T and
// p and every property, each state a new composition (the composition terms
// are part of the cost), on 20 000 random natural gases with all 21
// components at 270 K to 450 K and 0.1 MPa to 30 MPa; and, for comparison,
// the same states of one composition. With TARVELO_REALGAS_PEER the public
// reference implementation runs the same states side by side.
#include "RealGas.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#ifdef TARVELO_REALGAS_PEER
#include "Detail.h"
#include "GERG2008.h"
#endif

namespace {

namespace rg = tarvelo::realgas;

struct State {
    rg::Fractions x;
    double t, p;
};

const std::vector<State>& states() {
    static const std::vector<State> all = [] {
        std::mt19937_64 random(20261209);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        std::vector<State> s(20000);
        for (State& state : s) {
            double sum = 0.0;
            for (std::size_t i = 0; i < state.x.size(); ++i) {
                // methane dominant, the heavy ones (n-hexane to n-decane) and
                // water in traces
                const double weight = i == 0                ? 20.0
                                      : (i >= 9 && i <= 13) ? 0.002
                                      : i == 17             ? 0.001
                                                            : 0.1;
                state.x[i] = weight * u(random);
                sum += state.x[i];
            }
            for (double& x : state.x)
                x /= sum;
            state.t = 270.0 + 180.0 * u(random);
            state.p = 100.0 + 29900.0 * u(random);
        }
        return s;
    }();
    return all;
}

void BM_NewComposition(benchmark::State& bench, rg::Model model) {
    const std::vector<State>& s = states();
    std::size_t k = 0;
    for (auto _ : bench) {
        const State& state = s[k];
        k = k + 1 == s.size() ? 0 : k + 1;
        try {
            benchmark::DoNotOptimize(rg::compute(model, state.x, state.t, state.p));
        } catch (const rg::RealGasError&) {
        }
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()));
}

void BM_SameComposition(benchmark::State& bench, rg::Model model) {
    const std::vector<State>& s = states();
    const rg::Mixture mixture(model, s[0].x);
    std::size_t k = 0;
    for (auto _ : bench) {
        const State& state = s[k];
        k = k + 1 == s.size() ? 0 : k + 1;
        try {
            benchmark::DoNotOptimize(mixture.at(state.t, state.p));
        } catch (const rg::RealGasError&) {
        }
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()));
}

BENCHMARK_CAPTURE(BM_NewComposition, Gerg2008, rg::Model::Gerg2008);
BENCHMARK_CAPTURE(BM_NewComposition, Detail, rg::Model::Detail);
BENCHMARK_CAPTURE(BM_SameComposition, Gerg2008, rg::Model::Gerg2008);
BENCHMARK_CAPTURE(BM_SameComposition, Detail, rg::Model::Detail);

#ifdef TARVELO_REALGAS_PEER
// The reference implementation: one-based composition vectors, a set-up call
// first, density then properties.
void BM_Reference(benchmark::State& bench, rg::Model model) {
    SetupGERG();
    SetupDetail();
    const std::vector<State>& s = states();
    std::vector<double> x(22, 0.0);
    std::size_t k = 0;
    for (auto _ : bench) {
        const State& state = s[k];
        k = k + 1 == s.size() ? 0 : k + 1;
        for (std::size_t i = 0; i < state.x.size(); ++i)
            x[i + 1] = state.x[i];
        double d = 0.0, p, z, dPdD, d2PdD2, d2PdTD, dPdT, u, h, entropy, cv, cp, w, g, jt, kappa, a;
        int ierr = 0;
        std::string herr;
        if (model == rg::Model::Gerg2008) {
            DensityGERG(0, state.t, state.p, x, d, ierr, herr);
            PropertiesGERG(state.t, d, x, p, z, dPdD, d2PdD2, d2PdTD, dPdT, u, h, entropy, cv, cp,
                           w, g, jt, kappa, a);
        } else {
            DensityDetail(state.t, state.p, x, d, ierr, herr);
            PropertiesDetail(state.t, d, x, p, z, dPdD, d2PdD2, d2PdTD, dPdT, u, h, entropy, cv, cp,
                             w, g, jt, kappa);
        }
        benchmark::DoNotOptimize(w);
    }
    bench.SetItemsProcessed(static_cast<std::int64_t>(bench.iterations()));
}
BENCHMARK_CAPTURE(BM_Reference, Gerg2008, rg::Model::Gerg2008);
BENCHMARK_CAPTURE(BM_Reference, Detail, rg::Model::Detail);
#endif

} // namespace

BENCHMARK_MAIN();
