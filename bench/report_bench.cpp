// Laying out and rendering, with the shipped templates, the test report of
// 1,000 components and the test record sheet of 1,000 components with 10
// test areas each to PDF; the goal is at most 2 s for either. The counters
// give pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "platform/clock.h"
#include "platform/text_codec.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report/report_layout.h"

namespace {

using namespace rebound;

// The report date comes from the system's clock, as in the application.
const platform::SystemClock clock;

QString template_path(const char* name) {
    return QString::fromStdString(
        (std::filesystem::path(REBOUND_SOURCE_DIR) / "data/report" / name).string());
}

// Loads a shipped template and feeds it from the project's feed; false,
// with the benchmark skipped, when the template cannot be read.
bool connect(report::ReportEngine& engine, report::ProjectFeed& feed, const char* name,
             benchmark::State& state) {
    if (!engine.load_from_file(template_path(name))) {
        state.SkipWithError("template missing");
        return false;
    }
    engine.set_fetch_record([&feed](bool& eof) { feed.fetch_record(eof); });
    feed.bind(engine);
    return true;
}

ReboundFile project_of(int components) {
    ReboundFile p;
    p.project_name = platform::utf8_to_ansi("滨江花园三号楼主体结构");
    p.report_serial = "HT-2026-0317";
    p.construction_date = "2026-03-01";
    for (int i = 1; i <= components; ++i) {
        ComponentInfo c;
        c.component_name = platform::utf8_to_ansi("框架梁 KL-") + std::to_string(i);
        c.strength_degree = static_cast<std::uint8_t>(i % 6);
        c.strength_avg = 30.0f + 0.01f * static_cast<float>(i);
        c.strength_min = 25.0f;
        c.strength_delta = 1.5f;
        c.strength_estimate = 28.0f;
        p.add_component(std::move(c));
    }
    return p;
}

// The same project with `areas` test areas per component, readings and
// results varying from area to area.
ReboundFile project_with_areas(int components, int areas) {
    ReboundFile p = project_of(components);
    int k = 0;
    for (ComponentInfo& c : p.components) {
        for (int a = 0; a < areas; ++a, ++k) {
            AreaData area;
            for (std::size_t i = 0; i < kReadingsPerArea; ++i) {
                area.readings[i] = static_cast<std::uint8_t>(30 + (k * 7 + static_cast<int>(i) * 3) % 20);
            }
            area.carbonation_index = static_cast<std::uint8_t>(k % 14);
            area.angle_index = static_cast<std::uint8_t>(k % 9);
            area.surface_index = static_cast<std::uint8_t>(k % 3);
            area.mean_rebound = 35.0f + 0.1f * static_cast<float>(k % 97);
            area.angle_correction = -0.1f * static_cast<float>(k % 40);
            area.surface_correction = 0.1f * static_cast<float>(k % 25);
            area.converted_strength = 25.0f + 0.2f * static_cast<float>(k % 71);
            area.pump_correction = 0.1f * static_cast<float>(k % 33);
            area.area_strength = area.converted_strength + area.pump_correction;
            c.add_area(area);
        }
    }
    return p;
}

// Fetch, layout and PDF of the whole report, as an export does it.
void report_to_pdf(report::ReportEngine& engine, report::ProjectFeed& feed, benchmark::State& state) {
    std::size_t pages = 0, bytes = 0;
    for (auto _ : state) {
        feed.bind(engine);
        const report::ReportData data = engine.fetch_records();
        const report::ReportLayout layout = report::lay_out(engine.report_template(), data);
        const QByteArray pdf = report::render_pdf(engine.report_template(), layout);
        pages = layout.pages.size();
        bytes = static_cast<std::size_t>(pdf.size());
        benchmark::DoNotOptimize(pdf.data());
    }
    state.counters["pages"] = static_cast<double>(pages);
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
    state.counters["pages_per_s"] = benchmark::Counter(
        static_cast<double>(pages) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The test report.
void BM_ReportToPdf(benchmark::State& state) {
    const ReboundFile project = project_of(static_cast<int>(state.range(0)));
    report::ReportEngine engine;
    report::ReportFeed feed(project, clock);
    if (!connect(engine, feed, "rebound_report1.grf", state)) return;
    report_to_pdf(engine, feed, state);
}
BENCHMARK(BM_ReportToPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// The same for the test record sheet: one row and one chart per area and
// component.
void BM_RecordSheetToPdf(benchmark::State& state) {
    const ReboundFile project = project_with_areas(static_cast<int>(state.range(0)), 10);
    report::ReportEngine engine;
    report::TestRecordFeed feed(project, clock);
    if (!connect(engine, feed, "rebound_record1.grf", state)) return;
    report_to_pdf(engine, feed, state);
}
BENCHMARK(BM_RecordSheetToPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// Pagination alone.
void BM_ReportLayout(benchmark::State& state) {
    const ReboundFile project = project_of(static_cast<int>(state.range(0)));
    report::ReportEngine engine;
    report::ReportFeed feed(project, clock);
    if (!connect(engine, feed, "rebound_report1.grf", state)) return;
    const report::ReportData data = engine.fetch_records();
    for (auto _ : state) {
        benchmark::DoNotOptimize(report::lay_out(engine.report_template(), data).pages.size());
    }
}
BENCHMARK(BM_ReportLayout)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
