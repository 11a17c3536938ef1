// report: the test report of a project, or any other report a template
// describes (the test record sheet), as a PDF, text or Excel file, with the
// same templates, record feeds and engine as the main window. The template
// says which feed fills its records.
#include <QGuiApplication>
#include <cstring>
#include <iostream>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "report/curve_fit_feed.h"
#include "report/record_feed.h"
#include "report/report_engine.h"

namespace rebound::cli {

std::unique_ptr<QCoreApplication> make_application(int& argc, char** argv) {
    // The report command, and a curve fit that writes its report, lay out text.
    bool reports = argc > 1 && std::strcmp(argv[1], "report") == 0;
    if (argc > 1 && std::strcmp(argv[1], "curve") == 0) {
        for (int i = 2; i < argc; ++i) {
            if (std::strncmp(argv[i], "--report", 8) == 0) reports = true;
        }
    }
    if (reports) {
#ifndef Q_OS_WIN
        // No display is needed. On Windows the native platform needs none
        // either and knows the system's fonts, which the offscreen platform
        // would not find there: the report would have no font to print with.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        // Qt's notices about the session (no runtime folder and the like) would
        // break the rule that standard error carries one line per error.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
        });
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

int run_report(AppContext& context, const QStringList& args) {
    static constexpr OptionSpec kOptions[] = {
        {"template", {}, true}, {"pdf", {}, true}, {"text", {}, true}, {"xls", {}, true}};
    Arguments a;
    if (const auto status = parse_arguments("report", command_usage("report"), args, kOptions, 1, 1, a)) {
        return *status;
    }
    const int outputs = int(a.has("pdf")) + int(a.has("text")) + int(a.has("xls"));
    if (outputs != 1) return usage_error("'report' needs exactly one of --pdf, --text and --xls");
    const QString out = a.value("pdf").value_or(a.value("text").value_or(a.value("xls").value_or(QString())));
    const std::filesystem::path out_path = arg_path(out);

    const std::filesystem::path project_path = arg_path(a.positional()[0]);
    const QString template_path = a.value("template").value_or(
        platform::from_path(context.report_folder() / "rebound_report1.grf"));
    // Neither the project nor the template is ever replaced by the report.
    const std::filesystem::path inputs[] = {project_path, arg_path(template_path)};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(out_path, inputs); !distinct) {
        return fail(distinct.error());
    }
    ReboundFile project;
    if (const Result<void> loaded = project.load(project_path, context.today_text()); !loaded) {
        return fail(loaded.error());
    }

    report::ReportEngine engine;
    if (const Result<void> loaded = engine.load_from_file(template_path); !loaded) {
        return fail(arg_path(template_path), loaded.error().message);
    }
    if (engine.report_template().records == report::RecordSource::CurvePairs) {
        return fail(arg_path(template_path),
                    "reports a strength curve fit, not a project; 'rebound-cli curve fit --report' writes it");
    }
    const std::unique_ptr<report::ProjectFeed> feed = report::make_feed(engine.report_template(), project, context.clock());
    feed->bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });

    Result<void> written;
    if (a.has("pdf")) {
        written = engine.export_pdf(out);
    } else if (a.has("text")) {
        written = engine.export_direct(report::ExportType::Text, out);
    } else {
        written = engine.export_direct(report::ExportType::Excel, out);
    }
    if (!written) return fail(arg_path(out), written.error().message);
    return 0;
}

int write_curve_fit_report(AppContext& context, const std::filesystem::path& pairs_file,
                           const std::vector<CurvePair>& pairs, const CurveFit& fit, CurveKind kind,
                           const std::filesystem::path& curve, const std::filesystem::path& pdf) {
    const std::filesystem::path template_path = context.report_folder() / "curve_fit1.grf";
    report::ReportEngine engine;
    if (const Result<void> loaded = engine.load_from_file(platform::from_path(template_path)); !loaded) {
        return fail(template_path, loaded.error().message + "; the curve was written, the report not");
    }
    const std::filesystem::path inputs[] = {pairs_file, curve, template_path};
    if (const Result<void> distinct = platform::refuse_output_over_inputs(pdf, inputs); !distinct) {
        return fail(pdf, distinct.error().message + "; the curve was written, the report not");
    }
    report::CurveFitReport content{pairs, fit, kind, platform::from_path(curve.filename())};
    report::CurveFitFeed feed(content, context.clock());
    feed.bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed.fetch_record(eof); });
    if (const Result<void> written = engine.export_pdf(platform::from_path(pdf)); !written) {
        return fail(pdf, written.error().message + "; the curve was written, the report not");
    }
    return 0;
}

}  // namespace rebound::cli
