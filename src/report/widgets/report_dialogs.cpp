#include "report/widgets/report_dialogs.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "report/report_layout.h"
#include "report/widgets/report_preview.h"

namespace rebound::report {

namespace {

// Pages the printer was asked for: all, or the range chosen in a dialog.
void print_range(QPrinter& printer, const ReportTemplate& t, const ReportLayout& layout) {
    const int count = static_cast<int>(layout.pages.size());
    int first = 0, last = count - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage() - 1;
        last = std::min(last, printer.toPage() - 1);
    }
    render_pages(printer, t, layout, first, last);
}

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

bool print_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show,
                  const PageSetup* page) {
    if (!engine.is_loaded()) return false;
    const ReportTemplate t = with_page(engine.report_template(), page);
    const ReportLayout layout = lay_out(t, engine.fetch_records());
    prepare_printer(printer, t);
    const int pages = static_cast<int>(layout.pages.size());
    QPrintDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintDialog"));
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    if (show_dialog(dialog, show) != QDialog::Accepted) return false;
    print_range(printer, t, layout);
    return true;
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
