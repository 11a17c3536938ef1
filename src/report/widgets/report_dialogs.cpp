#include "report/widgets/report_dialogs.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QCoreApplication>
#include <algorithm>

#include "report/report_layout.h"
#include "report/widgets/report_preview.h"

namespace rebound::report {

// A cancellable progress dialog over the window; it appears only when the
// work lasts, and while it shows the window goes on painting.
class ReportProgress {
    Q_DECLARE_TR_FUNCTIONS(ReportProgress)

public:
    ReportProgress(QWidget* parent, const QString& label, int total)
        : dialog_(label, tr("Cancel"), 0, std::max(0, total), parent) {
        dialog_.setObjectName(QStringLiteral("ReportProgress"));
        dialog_.setWindowTitle(tr("Report"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setMinimumDuration(400);
        dialog_.setValue(0);
    }
    // Shows the work done (and, being modal, lets the window paint and the
    // Cancel button be pressed); false once the operator has cancelled.
    bool step(int done) {
        if (dialog_.maximum() > 0) dialog_.setValue(std::min(done, dialog_.maximum()));
        else QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }
    void restart(const QString& label, int total) {
        dialog_.setLabelText(label);
        dialog_.setRange(0, std::max(0, total));
        dialog_.setValue(0);
    }

private:
    QProgressDialog dialog_;
};

namespace {

// Records fetched and placed between two looks at the Cancel button.
constexpr int kRecordsPerFetch = 200;
constexpr int kRecordsPerStep = 40;

int show_dialog(QDialog& dialog, const ShowModal& show) {
    return show ? show(dialog) : dialog.exec();
}

// The template to lay out: the loaded one, on the operator's page if given.
ReportTemplate with_page(const ReportTemplate& loaded, const PageSetup* page) {
    ReportTemplate t = loaded;
    if (page != nullptr) t.page = *page;
    return t;
}

}  // namespace

void prepare_printer(QPrinter& printer, const ReportTemplate& t) {
    const bool landscape = t.page.landscape;
    const QSizeF portrait(std::min(t.page.width_mm, t.page.height_mm),
                          std::max(t.page.width_mm, t.page.height_mm));
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                                      landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
    printer.setDocName(t.title);
}

std::optional<ReportLayout> lay_out_with_progress(ReportEngine& engine, const ReportTemplate& t, QWidget* parent,
                                                  int expected_records) {
    ReportData data;
    LayoutJob job(t, data, false);
    ReportProgress progress(parent, ReportProgress::tr("Laying out pages..."), expected_records);
    bool fetched_all = false;
    while (!job.done()) {
        if (!fetched_all) {
            fetched_all = engine.fetch_more(data, kRecordsPerFetch);
            job.set_complete(fetched_all);
        }
        job.step(kRecordsPerStep);
        if (!progress.step(job.records_placed())) return std::nullopt;
    }
    return job.take();
}

bool print_pages(QPrinter& printer, const ReportTemplate& t, const ReportLayout& layout, QWidget* parent) {
    // All pages, or the range chosen in a dialog.
    const int count = static_cast<int>(layout.pages.size());
    int first = 0, last = count - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::min(last, printer.toPage() - 1);
    }
    ReportProgress progress(parent, ReportProgress::tr("Printing pages..."), last - first + 1);
    bool cancelled = false;
    const bool printed = render_pages(printer, t, layout, first, last, [&](int done) {
        if (progress.step(done)) return true;
        cancelled = true;
        printer.abort();
        return false;
    });
    return printed && !cancelled;
}

Result<bool> export_pdf(ReportEngine& engine, const QString& path, QWidget* parent, int expected_records) {
    if (!engine.is_loaded()) {
        FileError error;
        error.kind = FileError::Kind::CannotOpen;
        error.message = "no report template is loaded";
        return error;
    }
    if (Result<void> distinct = engine.refuse_over_inputs(path); !distinct) return distinct.error();
    const ReportTemplate& t = engine.report_template();
    const std::optional<ReportLayout> layout = lay_out_with_progress(engine, t, parent, expected_records);
    if (!layout) return false;
    ReportProgress progress(parent, ReportProgress::tr("Writing the PDF..."), static_cast<int>(layout->pages.size()));
    const QByteArray bytes = render_pdf(t, *layout, [&progress](int done) { return progress.step(done); });
    if (bytes.isEmpty()) return false;
    if (const Result<void> saved = save_bytes(path, bytes); !saved) return saved.error();
    return true;
}

bool print_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show,
                  const PageSetup* page, int expected_records) {
    if (!engine.is_loaded()) return false;
    const ReportTemplate t = with_page(engine.report_template(), page);
    const std::optional<ReportLayout> laid_out = lay_out_with_progress(engine, t, parent, expected_records);
    if (!laid_out) return false;
    const ReportLayout& layout = *laid_out;
    prepare_printer(printer, t);
    const int pages = static_cast<int>(layout.pages.size());
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    if (show_dialog(dialog, show) != QDialog::Accepted) return false;
    return print_pages(printer, t, layout, parent);
}

bool preview_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show,
                    const PageSetup* page, int expected_records) {
    if (!engine.is_loaded()) return false;
    ReportTemplate t = with_page(engine.report_template(), page);
    prepare_printer(printer, t);
    // The preview fetches the records and lays the pages out while it shows
    // the first ones, and frees them when it closes.
    ReportPreviewDialog preview(engine, std::move(t), printer, parent, expected_records);
    show_dialog(preview, show);
    return true;
}

}  // namespace rebound::report
