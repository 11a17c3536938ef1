// Report commands of the main window: preparing the report, feeding it one
// record per component, printing, previewing and exporting; and the preview
// of the test record sheet.
#include <QDesktopServices>
#include <QUrl>

#include "fileio/exchange.h"
#include "platform/qt_bridge.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report/widgets/report_dialogs.h"
#include "ui/main_window.h"

namespace rebound {

namespace {

const char* const kReportTemplate = "/report/rebound_report1.grf";
const char* const kRecordTemplate = "/report/rebound_record1.grf";
const char* const kReportError = QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "Print Preview Error!");

// Appends `required` unless the path's extension is exactly that; the path
// stays a file-system path on the way, never a byte string.
QString with_extension(const QString& path, const char* required) {
    return platform::from_path(append_required_extension(platform::to_path(path), required));
}

}  // namespace

bool TSDIAppForm::PrepareReport() {
    // The report shows what the operator sees, edits not yet saved included.
    CollectProjectPanel();
    if (!mReport) {
        mReport = std::make_shared<report::ReportEngine>();
        mReportFeed = std::make_shared<report::ReportFeed>(mProject, mContext.app().clock());
        mReport->set_fetch_record([this](bool& eof) { mReportFetchRecord(eof); });
    }
    // Loaded afresh every time, so that an edited template takes effect at once.
    if (!mReport->load_from_file(mAppFolder + QLatin1String(kReportTemplate))) {
        Prompts().message(tr(kReportError));
        return false;
    }
    mReportFeed->bind(*mReport);
    return true;
}

void TSDIAppForm::mReportFetchRecord(bool& eof) {
    if (!mReportFeed) {
        eof = true;
        return;
    }
    mReportFeed->fetch_record(eof);
}

void TSDIAppForm::act_printExecute() {
    if (!PrepareReport()) {
        return;
    }
    report::print_report(*mReport, Printer(), this,
                         [this](QDialog& dialog) { return Prompts().showModal(dialog); },
                         mPageSetup ? &*mPageSetup : nullptr);
}

void TSDIAppForm::act_print_previewExecute() {
    if (!PrepareReport()) {
        return;
    }
    report::preview_report(*mReport, Printer(), this,
                           [this](QDialog& dialog) { return Prompts().showModal(dialog); },
                           mPageSetup ? &*mPageSetup : nullptr);
}

void TSDIAppForm::act_test_recordsExecute() {
    // As every report command: what the operator sees, from a template read afresh.
    CollectProjectPanel();
    report::ReportEngine engine;
    if (!engine.load_from_file(mAppFolder + QLatin1String(kRecordTemplate))) {
        Prompts().message(tr(kReportError));
        return;
    }
    const std::unique_ptr<report::ProjectFeed> feed = report::make_feed(engine.report_template(), mProject, mContext.app().clock());
    feed->bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });
    report::preview_report(engine, Printer(), this,
                           [this](QDialog& dialog) { return Prompts().showModal(dialog); });
}

namespace {

// The two export commands differ only in their filter, extension and type.
void export_report(TSDIAppForm& w, const QString& filter, const char* extension, report::ExportType type) {
    if (!w.PrepareReport()) {
        return;
    }
    const QString chosen = w.Prompts().saveFileName(filter);
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = with_extension(chosen, extension);
    if (!w.mReport->export_direct(type, path)) {
        w.Prompts().message(TSDIAppForm::tr("Save File Fail!"));
        return;
    }
    // The written file is opened for the operator, in the program the system
    // associates with it.
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace

void TSDIAppForm::act_export2excelExecute() {
    export_report(*this, mExcelFilter, ".xls", report::ExportType::Excel);
}

void TSDIAppForm::act_export2txtExecute() {
    export_report(*this, mTextFilter, ".txt", report::ExportType::Text);
}

report::PageSetup TSDIAppForm::SessionPageSetup() {
    if (mPageSetup) {
        return *mPageSetup;
    }
    // Until the operator chooses, the page is the template's; without a
    // readable template, the defaults of a template that names no page.
    if (const auto t = report::read_template_file(mAppFolder + QLatin1String(kReportTemplate))) {
        return t->page;
    }
    return report::PageSetup{};
}

}  // namespace rebound
