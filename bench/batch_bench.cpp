// Speed of the batch calculation: 10,000 components of 10 test areas each,
// all in one batch, with six cores (goal: under 50 ms for the whole batch).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <numeric>
#include <vector>

#include "evaluation/batch.h"

namespace {

using namespace rebound;

ReboundFile make_project(std::size_t components, std::size_t areas) {
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    ReboundFile project;
    project.components.resize(components);
    for (ComponentInfo& c : project.components) {
        c.areas.resize(areas);
        for (AreaData& a : c.areas) {
            a.converted_strength = 20.0f + 0.1f * static_cast<float>(next(200));
            a.area_strength = a.converted_strength;
        }
    }
    return project;
}

void run(benchmark::State& state, bool with_cores) {
    const ReboundFile project = make_project(10'000, 10);
    std::vector<std::size_t> components(project.components.size());
    std::iota(components.begin(), components.end(), std::size_t{0});
    std::vector<CoreSample> cores;
    if (with_cores) {
        for (std::size_t i = 0; i < 6; ++i) cores.push_back({i * 7, i, 30.0 + static_cast<double>(i)});
    }
    BatchSettings settings;
    settings.enabled = true;
    settings.lot_size = 30'000;
    for (auto _ : state) {
        BatchEvaluation e = evaluate_batch(project, components, settings, cores);
        benchmark::DoNotOptimize(e);
    }
    state.counters["components"] = static_cast<double>(components.size());
}

void BM_Batch(benchmark::State& state) {
    run(state, false);
}
void BM_BatchWithCores(benchmark::State& state) {
    run(state, true);
}
BENCHMARK(BM_Batch)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_BatchWithCores)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
