// The page chosen in Print Setup reaches the printed page, the preview and
// a PDF for the rest of the session; the template gives the starting
// values; the print dialog offers a page range that prints only those pages.
// Pages are checked in PDFs printed through the window's print dialog.
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "report/widgets/report_preview.h"
#include "ui/report_commands.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

struct PdfPages {
    int count = 0;
    double width_pt = 0;  // of the first page
    double height_pt = 0;
};

PdfPages pdf_pages(const QString& path) {
#ifdef _WIN32
    // pdfinfo is a Linux program that this Windows build cannot start: the
    // page objects and the first page's media box are read from the file.
    QFile file(path);
    PdfPages found;
    if (!file.open(QIODevice::ReadOnly)) return found;
    const QString data = QString::fromLatin1(file.readAll());
    found.count = int(data.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    const QRegularExpressionMatch box = QRegularExpression(
        QStringLiteral("/MediaBox\\s*\\[\\s*[\\d.]+\\s+[\\d.]+\\s+([\\d.]+)\\s+([\\d.]+)")).match(data);
    if (box.hasMatch()) {
        found.width_pt = box.captured(1).toDouble();
        found.height_pt = box.captured(2).toDouble();
    }
    return found;
#endif
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(60000);
    const QString info = QString::fromUtf8(p.readAllStandardOutput());
    PdfPages pages;
    const QRegularExpressionMatch count = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    if (count.hasMatch()) pages.count = count.captured(1).toInt();
    if (size.hasMatch()) {
        pages.width_pt = size.captured(1).toDouble();
        pages.height_pt = size.captured(2).toDouble();
    }
    return pages;
}

constexpr double kMmToPt = 72.0 / 25.4;

}  // namespace

class PrintSetupTest : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestCase(); }
    void init() {
        start();
        QVERIFY(folder->installTemplate("rebound_report1.grf"));
        // 60 components fill three A4 pages.
        edit_project(*window, [](ReboundFile& p) {
            for (int i = 1; i <= 60; ++i) {
                ComponentInfo c(test::today());
                c.component_name = "C" + std::to_string(i);
                p.add_component(c);
            }
        });
    }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void pageSetupReachesPrintPreviewAndPdf();
    void cancelledPageSetupKeepsThePage();
    void pageRangePrintsOnlyThosePages();

private:
    // Prints through the print dialog into a PDF file; `configure` may choose
    // pages as the operator would in the dialog.
    PdfPages printToPdf(const QString& name, std::function<void(QPrintDialog&)> configure = {}) {
        const QString path = folder->file(name);
        prompts->onModal = [&](QDialog& dialog) {
            auto* print = qobject_cast<QPrintDialog*>(&dialog);
            if (!print) return int(QDialog::Rejected);
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(path);
            if (configure) configure(*print);
            return int(QDialog::Accepted);
        };
        trigger(*window, "act_print");
        return pdf_pages(path);
    }

};

void PrintSetupTest::pageSetupReachesPrintPreviewAndPdf() {
    // Before any choice, the template's A4 portrait page.
    const PdfPages before = printToPdf(QStringLiteral("before.pdf"));
    QCOMPARE(before.count, 3);
    QVERIFY(qAbs(before.width_pt - 210 * kMmToPt) < 1 && qAbs(before.height_pt - 297 * kMmToPt) < 1);

    // The dialog starts from the template's page and margins; the operator
    // picks A5 landscape with narrow margins.
    QPageLayout offered;
    prompts->onPrintSetup = [&](QPrinter& printer) {
        offered = printer.pageLayout();
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A5), QPageLayout::Landscape,
                                          QMarginsF(8, 6, 8, 6), QPageLayout::Millimeter));
        return true;
    };
    trigger(*window, "FilePrintSetup1");
    QCOMPARE(offered.pageSize().id(), QPageSize::A4);
    QCOMPARE(offered.orientation(), QPageLayout::Portrait);
    QCOMPARE(offered.margins(QPageLayout::Millimeter), QMarginsF(20, 15, 15, 12));
    QVERIFY(child<ReportCommands>(*window, "ReportCommands")->ChosenPageSetup().has_value());

    // Printing twice keeps it: the template no longer overrides the page.
    for (const char* name : {"a5-1.pdf", "a5-2.pdf"}) {
        const PdfPages after = printToPdf(QString::fromLatin1(name));
        QVERIFY2(qAbs(after.width_pt - 210 * kMmToPt) < 1, name);
        QVERIFY2(qAbs(after.height_pt - 148 * kMmToPt) < 1, name);
        QVERIFY2(after.count > before.count, name);  // less room per page
    }

    // The preview lays the report out on the same page.
    QPageLayout previewLayout;
    prompts->onModal = [&](QDialog& dialog) {
        auto* preview = dynamic_cast<report::ReportPreviewDialog*>(&dialog);
        if (!preview) return int(QDialog::Rejected);
        previewLayout = preview->printer().pageLayout();
        return int(QDialog::Accepted);
    };
    trigger(*window, "act_print_preview");
    QCOMPARE(previewLayout.orientation(), QPageLayout::Landscape);
    QVERIFY(qAbs(previewLayout.fullRect(QPageLayout::Millimeter).width() - 210) < 0.5);

    // Print Setup opened again starts from the choice.
    prompts->onPrintSetup = [&](QPrinter& printer) {
        offered = printer.pageLayout();
        return false;
    };
    trigger(*window, "FilePrintSetup1");
    QCOMPARE(offered.orientation(), QPageLayout::Landscape);
    QCOMPARE(offered.pageSize().id(), QPageSize::A5);
    QCOMPARE(offered.margins(QPageLayout::Millimeter), QMarginsF(8, 6, 8, 6));
    QVERIFY(prompts->messages.isEmpty());
}

void PrintSetupTest::cancelledPageSetupKeepsThePage() {
    prompts->onPrintSetup = [](QPrinter& printer) {
        printer.setPageOrientation(QPageLayout::Landscape);  // changed, then cancelled
        return false;
    };
    trigger(*window, "FilePrintSetup1");
    QVERIFY(!child<ReportCommands>(*window, "ReportCommands")->ChosenPageSetup().has_value());
    const PdfPages pages = printToPdf(QStringLiteral("portrait.pdf"));
    QVERIFY(pages.height_pt > pages.width_pt);
}

void PrintSetupTest::pageRangePrintsOnlyThosePages() {
    bool offersRange = false;
    int minPage = 0, maxPage = 0;
    const PdfPages pages = printToPdf(QStringLiteral("range.pdf"), [&](QPrintDialog& dialog) {
        offersRange = dialog.testOption(QAbstractPrintDialog::PrintPageRange);
        minPage = dialog.minPage();
        maxPage = dialog.maxPage();
        dialog.printer()->setPrintRange(QPrinter::PageRange);
        dialog.printer()->setFromTo(2, 3);
    });
    QVERIFY(offersRange);
    QCOMPARE(minPage, 1);
    QCOMPARE(maxPage, 3);
    QCOMPARE(pages.count, 2);

    // The next print without a range prints everything again.
    QCOMPARE(printToPdf(QStringLiteral("all.pdf"), [](QPrintDialog& dialog) {
                 dialog.printer()->setPrintRange(QPrinter::AllPages);
             }).count,
             3);
}

QTEST_MAIN(PrintSetupTest)
#include "ui_print_setup_test.moc"
