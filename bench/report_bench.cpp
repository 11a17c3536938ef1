// Laying out and rendering, with the shipped templates, the test report of
// 1,000 components and the test record sheet of 1,000 components with 10
// test areas each to PDF; the goal is at most 2 s for either. The counters
// give pages per second.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <filesystem>

#include "evaluation/spare_texts.h"
#include "platform/clock.h"
#include "platform/text_codec.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report/report_layout.h"
#include "report_projects.h"

namespace {

using namespace rebound;

using bench::project_of;
using bench::project_with_areas;
using bench::template_path;

// The report date comes from the system's clock, as in the application.
const platform::SystemClock clock;

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

// A batch of 1,000 components with 10,000 cores, stored in the project as the
// window keeps them, through the batch report: the cores table is one row a
// core (goal: under 1 s for the whole PDF; the layout grows with the cores,
// not their square).
void BM_CoresReportToPdf(benchmark::State& state) {
    ReboundFile project = project_with_areas(1000, 10);
    for (ComponentInfo& c : project.components) c.list_checked = 1;
    const auto per_component = static_cast<std::size_t>(state.range(0)) / project.components.size();
    std::vector<CoreSample> cores;
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        for (std::size_t a = 0; a < per_component; ++a) cores.push_back({i, a, 30.0 + static_cast<double>(a)});
    }
    BatchSettings settings;
    settings.enabled = true;
    if (write_batch_data(project, settings, cores)) {
        state.SkipWithError("the cores could not be stored");
        return;
    }
    report::ReportEngine engine;
    if (!engine.load_from_file(template_path("rebound_batch1.grf"))) {
        state.SkipWithError("template missing");
        return;
    }
    const std::unique_ptr<report::ProjectFeed> feed = report::make_feed(engine.report_template(), project, clock);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });
    report_to_pdf(engine, *feed, state);
    state.counters["cores"] = static_cast<double>(cores.size());
}
BENCHMARK(BM_CoresReportToPdf)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
