// Speed of building a curve of one's own: fitting 10,000 pairs, building the
// 201 x 13 curve and writing the curve file (goal: under 20 ms for all three).
// Each step is also measured alone, so that a slow run shows which one grew.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <vector>

#include "evaluation/curve_fit.h"

namespace {

using namespace rebound;

std::vector<CurvePair> make_pairs(std::size_t n) {
    std::mt19937 random(2026);
    std::uniform_real_distribution<double> rebound(22.0, 55.0);
    std::uniform_int_distribution<int> step(0, 12);
    std::uniform_real_distribution<double> scatter(-0.1, 0.1);
    std::vector<CurvePair> pairs;
    pairs.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double rm = std::round(rebound(random) * 10.0) / 10.0;
        const double dm = 0.5 * step(random);
        pairs.push_back({rm, dm, 0.025 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * dm) * (1.0 + scatter(random))});
    }
    return pairs;
}

std::filesystem::path curve_path() {
    return std::filesystem::temp_directory_path() / "rebound-curve-fit-bench.cur";
}

void BM_FitBuildAndWrite(benchmark::State& state) {
    const std::vector<CurvePair> pairs = make_pairs(10'000);
    const std::filesystem::path path = curve_path();
    for (auto _ : state) {
        const CurveFitOutcome outcome = fit_curve(pairs);
        if (!outcome.fit) state.SkipWithError(outcome.error.c_str());
        const Result<void> written = write_curve_file(build_curve(outcome.fit->formula), path);
        if (!written) state.SkipWithError(written.error().message.c_str());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_FitBuildAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Fit(benchmark::State& state) {
    const std::vector<CurvePair> pairs = make_pairs(10'000);
    for (auto _ : state) benchmark::DoNotOptimize(fit_curve(pairs));
}
BENCHMARK(BM_Fit)->Unit(benchmark::kMillisecond);

void BM_BuildCurve(benchmark::State& state) {
    const CurveFitOutcome outcome = fit_curve(make_pairs(10'000));
    for (auto _ : state) benchmark::DoNotOptimize(build_curve(outcome.fit->formula));
}
BENCHMARK(BM_BuildCurve)->Unit(benchmark::kMillisecond);

void BM_WriteCurveFile(benchmark::State& state) {
    const Strength_Curve curve = build_curve(fit_curve(make_pairs(10'000)).fit->formula);
    const std::filesystem::path path = curve_path();
    for (auto _ : state) {
        if (!write_curve_file(curve, path)) state.SkipWithError("the curve file cannot be written");
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_WriteCurveFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
