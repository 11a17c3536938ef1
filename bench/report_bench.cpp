// Laying out and rendering the test report of 1,000 components to PDF with
// the shipped template; the goal is at most 2 s for the whole report. The
// counters give pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "platform/clock.h"
#include "platform/text_codec.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report/report_layout.h"

namespace {

using namespace rebound;

// The report date comes from the system's clock, as in the application.
const platform::SystemClock clock;

QString template_path() {
    return QString::fromStdString(
        (std::filesystem::path(REBOUND_SOURCE_DIR) / "data/report/rebound_report1.grf").string());
}

// Loads the shipped template and feeds it from the project's feed; false,
// with the benchmark skipped, when the template cannot be read.
bool connect(report::ReportEngine& engine, report::ReportFeed& feed, benchmark::State& state) {
    if (!engine.load_from_file(template_path())) {
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

// Fetch, layout and PDF of the whole report, as an export does it.
void BM_ReportToPdf(benchmark::State& state) {
    const ReboundFile project = project_of(static_cast<int>(state.range(0)));
    report::ReportEngine engine;
    report::ReportFeed feed(project, clock);
    if (!connect(engine, feed, state)) return;
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
BENCHMARK(BM_ReportToPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// Pagination alone.
void BM_ReportLayout(benchmark::State& state) {
    const ReboundFile project = project_of(static_cast<int>(state.range(0)));
    report::ReportEngine engine;
    report::ReportFeed feed(project, clock);
    if (!connect(engine, feed, state)) return;
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
