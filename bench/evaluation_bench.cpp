// Speed of the component evaluation: 10,000 components of 100 test areas each,
// evaluated with a full 201 x 13 curve. Reports areas per second.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "evaluation/evaluation.h"

namespace {

using namespace rebound;

Strength_Curve make_curve() {
    Strength_Curve curve;
    curve.row_count = 201;
    curve.column_count = 13;
    for (int r = 0; r < curve.row_count; ++r) {
        for (int c = 0; c < curve.column_count; ++c) {
            const float v = 10.0f + 0.25f * static_cast<float>(r) - 0.6f * static_cast<float>(c);
            curve.values.push_back(v < 10.0f || v > 60.0f ? 0.0f : v);
        }
    }
    return curve;
}

std::vector<ComponentInfo> make_components(std::size_t components, std::size_t areas) {
    std::uint32_t state = 12345;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    };
    std::vector<ComponentInfo> result(components);
    for (std::size_t i = 0; i < components; ++i) {
        ComponentInfo& c = result[i];
        c.pump_tag = static_cast<std::uint8_t>(i % 2);
        c.areas.resize(areas);
        for (AreaData& a : c.areas) {
            for (auto& r : a.readings) r = static_cast<std::uint8_t>(18 + next(40));
            a.angle_index = static_cast<std::uint8_t>(next(9));
            a.surface_index = static_cast<std::uint8_t>(next(3));
            a.carbonation_index = static_cast<std::uint8_t>(next(14));
        }
    }
    return result;
}

void BM_EvaluateComponents(benchmark::State& state) {
    const Strength_Curve curve = make_curve();
    std::vector<ComponentInfo> components = make_components(10'000, 100);
    std::int64_t areas = 0;
    for (auto _ : state) {
        for (ComponentInfo& c : components) {
            evaluate_component(c, curve);
            areas += static_cast<std::int64_t>(c.areas.size());
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(areas);
    state.counters["areas_per_second"] =
        benchmark::Counter(static_cast<double>(areas), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EvaluateComponents)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
