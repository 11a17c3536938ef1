// The print preview of large projects, as the window shows it: the test
// record sheet of 5,000 components with 10 test areas each, and the test
// report of the same project. Prints, for each: the time until the first page
// is on screen (records fetched, the first pages laid out and drawn; goal
// <= 1 s), the time until every page is laid out, the process's peak memory
// against that of `rebound-cli report` writing the same sheet as a PDF (goal
// <= 2x), and the memory still held once the preview has closed.
//
//   preview_bench [COMPONENTS]      (QT_QPA_PLATFORM=offscreen unless set)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <memory>

#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "platform/clock.h"
#include "platform/memory.h"
#include "platform/text_codec.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/widgets/report_dialogs.h"
#include "report/widgets/report_preview.h"
#include "report_projects.h"

namespace {

using namespace rebound;

const platform::SystemClock clock_now;

using bench::project_with_areas;
using bench::template_path;

double mb(std::size_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

struct PreviewFigures {
    double first_page_s = 0;
    double all_pages_s = 0;
    int pages = 0;
};

// As the window's preview command: fetch, open the preview (which lays out
// and draws the first page), then let it lay out the rest.
PreviewFigures preview(const ReboundFile& project, const char* name) {
    PreviewFigures f;
    report::ReportEngine engine;
    if (!engine.load_from_file(template_path(name))) {
        std::fprintf(stderr, "template %s missing\n", name);
        return f;
    }
    const std::unique_ptr<report::ProjectFeed> feed = report::make_feed(engine.report_template(), project, clock_now);
    feed->bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });
    QPrinter printer;
    QElapsedTimer clock;
    clock.start();
    {
        report::ReportTemplate t = engine.report_template();
        report::prepare_printer(printer, t);
        report::ReportPreviewDialog dialog(engine, std::move(t), printer, nullptr, feed->record_count());
        dialog.show();
        QApplication::processEvents();
        f.first_page_s = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        // The rest as the open preview lays it out, between repaints.
        while (!dialog.layoutDone()) QApplication::processEvents();
        f.all_pages_s = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        f.pages = dialog.pageCount();
    }
    return f;
}

// Peak resident memory of `rebound-cli report` writing the sheet as a PDF, in bytes.
std::size_t cli_peak(const QString& cli, const QString& project, const char* name, double* seconds) {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    QProcess p;
    p.start(cli, {QStringLiteral("report"), project, QStringLiteral("--template"), template_path(name),
                  QStringLiteral("--pdf"), dir.filePath(QStringLiteral("out.pdf"))});
    p.waitForFinished(-1);
    *seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
#if defined(__linux__)
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
#else
    return 0;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int components = argc > 1 ? std::atoi(argv[1]) : 5000;
    const ReboundFile project = project_with_areas(components, 10);
    QTemporaryDir dir;
    const QString project_file = dir.filePath(QStringLiteral("big.prj"));
    if (!project.save(project_file.toStdString())) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(project_file));
        return 1;
    }
    const std::size_t before = platform::resident_memory();

    const PreviewFigures records = preview(project, "rebound_record1.grf");
    const std::size_t peak = platform::peak_resident_memory();
    const std::size_t after = platform::resident_memory();
    const PreviewFigures report = preview(project, "rebound_report1.grf");

    double cli_seconds = 0;
    const std::size_t cli = cli_peak(QStringLiteral(REBOUND_CLI_PATH), project_file, "rebound_record1.grf", &cli_seconds);

    std::printf("%d components x 10 areas\n", components);
    std::printf("test records preview: first page %.2f s (goal <= 1 s), all %d pages %.2f s\n",
                records.first_page_s, records.pages, records.all_pages_s);
    std::printf("report preview:       first page %.2f s (goal <= 2 s), all %d pages %.2f s\n",
                report.first_page_s, report.pages, report.all_pages_s);
    std::printf("peak memory: preview %.0f MB, rebound-cli report %.0f MB (%.2f s): %.2f x (goal <= 2)\n",
                mb(peak), mb(cli), cli_seconds, cli > 0 ? static_cast<double>(peak) / static_cast<double>(cli) : 0.0);
    std::printf("resident before the preview %.0f MB, after it closed %.0f MB\n", mb(before), mb(after));
    return 0;
}
