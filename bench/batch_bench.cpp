// Speed of the batch calculation: 10,000 components of 10 test areas each,
// all in one batch, with six cores (goal: under 50 ms for the whole batch).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "evaluation/batch.h"
#include "evaluation/spare_texts.h"

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

// Reading the spare texts of a project whose header text holds N key=value
// pairs and whose components hold N cores in all (goal: 100,000 of each in
// under 0.1 s; the time grows with N, not its square).
void BM_SpareTexts(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    ReboundFile project = make_project(n / 10, 10);
    std::string header = "batch=1";
    for (std::size_t i = 0; i < n; ++i) header += ";note" + std::to_string(i) + "=x";
    project.reserved_text1 = header;
    std::vector<CoreSample> cores;
    for (std::size_t i = 0; i < n; ++i) cores.push_back({i / 10, i % 10, 30.0});
    if (write_batch_data(project, {}, cores)) state.SkipWithError("the cores could not be stored");
    for (auto _ : state) {
        ProjectBatchData data = read_batch_data(project);
        benchmark::DoNotOptimize(data);
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(n));
}
BENCHMARK(BM_SpareTexts)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();

// Writing them back, as a save after a change of the cores does.
void BM_SpareTextsWritten(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    ReboundFile project = make_project(n / 10, 10);
    std::vector<CoreSample> cores;
    for (std::size_t i = 0; i < n; ++i) cores.push_back({i / 10, i % 10, 30.0});
    BatchSettings settings;
    settings.enabled = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(write_batch_data(project, settings, cores));
    }
    state.SetComplexityN(static_cast<benchmark::IterationCount>(n));
}
BENCHMARK(BM_SpareTextsWritten)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_BatchWithCores)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
