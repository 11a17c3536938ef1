#include "ui/report_commands.h"

#include <QDesktopServices>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QUrl>
#include <algorithm>

#include "document/project_document.h"
#include "platform/qt_bridge.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report/widgets/report_dialogs.h"
#include "ui/error_text.h"
#include "ui/file_filters.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

namespace rebound {

namespace {

const char* const kReportTemplate = "/report/rebound_report1.grf";
const char* const kRecordTemplate = "/report/rebound_record1.grf";
const char* const kBatchTemplate = "/report/rebound_batch1.grf";
const char* const kReportError = QT_TRANSLATE_NOOP("rebound::ReportCommands", "Print Preview Error!");

}  // namespace

ReportCommands::ReportCommands(ProjectDocument& document, WindowContext& context, QWidget* window)
    : QObject(window), mDocument(document), mContext(context), mWindow(window) {
    setObjectName(QStringLiteral("ReportCommands"));
}

ReportCommands::~ReportCommands() = default;

QString ReportCommands::AppFolder() const {
    return mContext.appFolder();
}

QPrinter& ReportCommands::Printer() {
    // Created on first use: finding the printers can take a moment.
    if (!mPrinter) {
        mPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *mPrinter;
}

void ReportCommands::FilePrintSetup1Execute() {
    QPrinter& printer = Printer();
    // The dialog starts from the page of the session: the template's until
    // the operator has chosen one.
    const report::PageSetup page = SessionPageSetup();
    const QSizeF portrait(std::min(page.width_mm, page.height_mm), std::max(page.width_mm, page.height_mm));
    printer.setFullPage(false);
    printer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                                      page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(page.left_mm, page.top_mm, page.right_mm, page.bottom_mm),
                                      QPageLayout::Millimeter));
    if (!mContext.prompts().printSetup(printer)) {
        return;
    }
    const QPageLayout chosen = printer.pageLayout();
    const QRectF paper = chosen.fullRect(QPageLayout::Millimeter);  // as printed, orientation applied
    const QMarginsF margins = chosen.margins(QPageLayout::Millimeter);
    report::PageSetup setup;
    setup.width_mm = paper.width();
    setup.height_mm = paper.height();
    setup.left_mm = margins.left();
    setup.top_mm = margins.top();
    setup.right_mm = margins.right();
    setup.bottom_mm = margins.bottom();
    setup.landscape = chosen.orientation() == QPageLayout::Landscape;
    mPageSetup = setup;
}

bool ReportCommands::PrepareReport() {
    if (!mReport) {
        mReport = std::make_shared<report::ReportEngine>();
        mReportFeed = std::make_shared<report::ReportFeed>(mDocument.project(), mContext.app().clock());
        mReport->set_fetch_record([this](bool& eof) { mReportFetchRecord(eof); });
    }
    // Loaded afresh every time, so that an edited template takes effect at once.
    if (const Result<void> loaded = mReport->load_from_file(AppFolder() + QLatin1String(kReportTemplate)); !loaded) {
        mContext.prompts().message(ErrorText::WithReason(tr(kReportError), loaded.error()));
        return false;
    }
    mReportFeed->bind(*mReport);
    return true;
}

void ReportCommands::mReportFetchRecord(bool& eof) {
    if (!mReportFeed) {
        eof = true;
        return;
    }
    mReportFeed->fetch_record(eof);
}

void ReportCommands::act_printExecute() {
    if (!PrepareReport()) {
        return;
    }
    report::print_report(*mReport, Printer(), mWindow,
                         [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); },
                         mPageSetup ? &*mPageSetup : nullptr, mReportFeed->record_count());
}

void ReportCommands::act_print_previewExecute() {
    if (!PrepareReport()) {
        return;
    }
    report::preview_report(*mReport, Printer(), mWindow,
                           [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); },
                           mPageSetup ? &*mPageSetup : nullptr, mReportFeed->record_count());
}

void ReportCommands::act_test_recordsExecute() {
    // As every report command: what the operator sees, from a template read afresh.
    report::ReportEngine engine;
    if (const Result<void> loaded = engine.load_from_file(AppFolder() + QLatin1String(kRecordTemplate)); !loaded) {
        mContext.prompts().message(ErrorText::WithReason(tr(kReportError), loaded.error()));
        return;
    }
    const std::unique_ptr<report::ProjectFeed> feed =
        report::make_feed(engine.report_template(), mDocument.project(), mContext.app().clock());
    feed->bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });
    report::preview_report(engine, Printer(), mWindow,
                           [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); }, nullptr,
                           feed->record_count());
}

namespace {

// A report of its own template and feed, for the commands that load a
// template other than the test report's.
struct LoadedReport {
    report::ReportEngine engine;
    std::unique_ptr<report::ProjectFeed> feed;
};

}  // namespace

// Loads the batch report's template afresh with a feed of the ticked
// components; nullptr (and the operator told) when it cannot be used.
static std::unique_ptr<LoadedReport> load_report(const QString& path, const ReboundFile& project,
                                                 const platform::Clock& clock, UserPrompts& prompts) {
    auto r = std::make_unique<LoadedReport>();
    if (const Result<void> loaded = r->engine.load_from_file(path); !loaded) {
        prompts.message(ErrorText::WithReason(ReportCommands::tr(kReportError), loaded.error()));
        return nullptr;
    }
    r->feed = report::make_feed(r->engine.report_template(), project, clock);
    r->feed->bind(r->engine);
    LoadedReport* raw = r.get();
    r->engine.set_fetch_record([raw](bool& eof) { raw->feed->fetch_record(eof); });
    return r;
}

void ReportCommands::BatchPrint() {
    const auto r = load_report(AppFolder() + QLatin1String(kBatchTemplate), mDocument.project(),
                               mContext.app().clock(), mContext.prompts());
    if (!r) return;
    report::print_report(r->engine, Printer(), mWindow,
                         [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); },
                         mPageSetup ? &*mPageSetup : nullptr, r->feed->record_count());
}

void ReportCommands::BatchPreview() {
    const auto r = load_report(AppFolder() + QLatin1String(kBatchTemplate), mDocument.project(),
                               mContext.app().clock(), mContext.prompts());
    if (!r) return;
    report::preview_report(r->engine, Printer(), mWindow,
                           [this](QDialog& dialog) { return mContext.prompts().showModal(dialog); },
                           mPageSetup ? &*mPageSetup : nullptr);
}

void ReportCommands::BatchPdf() {
    const auto r = load_report(AppFolder() + QLatin1String(kBatchTemplate), mDocument.project(),
                               mContext.app().clock(), mContext.prompts());
    if (!r) return;
    const QString chosen = mContext.prompts().saveFileName(PdfFilter());
    if (chosen.isEmpty()) return;
    const QString path = with_required_extension(chosen, ".pdf");
    // Never over the project the report is made from. Laid out and written
    // with progress and Cancel, as the preview does.
    r->engine.set_inputs({platform::to_path(mDocument.fileName())});
    if (const Result<bool> written = report::export_pdf(r->engine, path, mWindow, r->feed->record_count()); !written) {
        mContext.prompts().message(ErrorText::WithReason(tr("Save File Fail!"), written.error()));
    }
}

void ReportCommands::ExportReport(const QString& filter, const char* extension, int type) {
    if (!PrepareReport()) {
        return;
    }
    const QString chosen = mContext.prompts().saveFileName(filter);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = with_required_extension(chosen, extension);
    // Never over the project the report is made from, nor its template.
    mReport->set_inputs({platform::to_path(mDocument.fileName())});
    if (const Result<void> written = mReport->export_direct(static_cast<report::ExportType>(type), path); !written) {
        mContext.prompts().message(ErrorText::WithReason(tr("Save File Fail!"), written.error()));
        return;
    }
    // The written file is opened for the operator, in the program the system
    // associates with it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void ReportCommands::act_export2excelExecute() {
    ExportReport(ExcelFilter(), ".xls", static_cast<int>(report::ExportType::Excel));
}

void ReportCommands::act_export2txtExecute() {
    ExportReport(TextFilter(), ".txt", static_cast<int>(report::ExportType::Text));
}

report::PageSetup ReportCommands::SessionPageSetup() const {
    if (mPageSetup) {
        return *mPageSetup;
    }
    // Until the operator chooses, the page is the template's; without a
    // readable template, the defaults of a template that names no page.
    if (const auto t = report::read_template_file(AppFolder() + QLatin1String(kReportTemplate))) {
        return t->page;
    }
    return report::PageSetup{};
}

}  // namespace rebound
