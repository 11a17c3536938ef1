// The report commands of the main window, with their dialogs answered in
// advance: the missing template, the export file names, printing to a PDF
// file twice, the preview's pages, and the test records' preview printed
// to a PDF file.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QUrl>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "platform/text_codec.h"
#include "report/widgets/report_preview.h"
#include "ui/app_fonts.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

// Records the files the commands ask the system to open.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    QStringList paths;
public slots:
    void open(const QUrl& url) { paths << url.toLocalFile(); }
};

class ReportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        install_font_substitutions();
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    void init() {
        folder = std::make_unique<AppFolder>();
        window = make_window(prompts);
        opened.paths.clear();
        edit_project(*window, [](ReboundFile& p) {
            for (int i = 1; i <= 3; ++i) {
                ComponentInfo c(test::today());
                c.component_name = platform::utf8_to_ansi("楼板") + std::to_string(i);
                c.strength_avg = 30.0f + static_cast<float>(i);
                p.add_component(c);
            }
        });
    }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void missingTemplateShowsTheErrorBeforeAnyDialog_data();
    void missingTemplateShowsTheErrorBeforeAnyDialog();
    void exportAppendsTheExtension_data();
    void exportAppendsTheExtension();
    void cancelledExportWritesNothing();
    void exportShowsPanelEditsNotYetSaved();
    void printingTwicePrintsTheWholeReportTwice();
    void previewShowsThePages();
    void largePreviewShowsTheFirstPageAtOnceAndCanBeCancelled();
    void fileCommandsKeepEveryCharacterOfTheNames();
    void testRecordsNeedTheirTemplate_data();
    void testRecordsNeedTheirTemplate();
    void testRecordsPreviewAndPrintToAPdfFile();

private:
    void installTemplate(const QByteArray& content = {},
                         const QString& name = QStringLiteral("rebound_report1.grf")) {
        QDir(folder->path()).mkpath(QStringLiteral("report"));
        const QString target = folder->file(QStringLiteral("report/") + name);
        if (content.isEmpty()) {
            QVERIFY(QFile::copy(QStringLiteral(REBOUND_SOURCE_DIR "/data/report/") + name, target));
        } else {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
    }
    void trigger(const char* name) { rebound::test::trigger(*window, name); }
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<TSDIAppForm> window;
    ScriptedPrompts* prompts = nullptr;
    OpenedFiles opened;
};

void ReportWindowTest::missingTemplateShowsTheErrorBeforeAnyDialog_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("templateContent");  // empty: no template file
    for (const char* action : {"act_print", "act_print_preview", "act_export2excel", "act_export2txt"}) {
        QTest::newRow(QByteArray(action) + " missing") << action << QByteArray();
        QTest::newRow(QByteArray(action) + " broken") << action << QByteArray("<report>\n<fields>\n");
    }
}

void ReportWindowTest::missingTemplateShowsTheErrorBeforeAnyDialog() {
    QFETCH(QString, action);
    QFETCH(QByteArray, templateContent);
    if (!templateContent.isEmpty()) installTemplate(templateContent);
    prompts->saveAnswers.push_back(folder->file(QStringLiteral("out")));
    trigger(action.toLatin1().constData());
    // The documented headline, and on the next line the template and why.
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Print Preview Error!\n")), qPrintable(prompts->messages[0]));
    QVERIFY2(prompts->messages[0].contains(QStringLiteral("rebound_report1.grf: ")) ||
                 prompts->messages[0].contains(QStringLiteral("rebound_batch1.grf: ")),
             qPrintable(prompts->messages[0]));
    QVERIFY(prompts->modalDialogs.isEmpty());
    QVERIFY(prompts->saveFilters.isEmpty());
    QCOMPARE(QDir(folder->path()).entryList({QStringLiteral("out*")}, QDir::Files), QStringList());
}

void ReportWindowTest::exportAppendsTheExtension_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("filter");
    const QString excel = QStringLiteral("act_export2excel"), text = QStringLiteral("act_export2txt");
    const QString xf = QStringLiteral("Excel(*.xls)|*.xls"), tf = QStringLiteral("Text(*.txt)|*.txt");
    QTest::newRow("no extension") << excel << "report"
                                  << "report.xls" << xf;
    QTest::newRow("right extension") << excel << "report.xls"
                                     << "report.xls" << xf;
    QTest::newRow("other case") << excel << "report.XLS"
                                << "report.XLS.xls" << xf;
    QTest::newRow("other extension") << excel << "report.txt"
                                     << "report.txt.xls" << xf;
    QTest::newRow("dot in the folder") << excel << "v1.2/report"
                                       << "v1.2/report.xls" << xf;
    QTest::newRow("project name") << excel << "site.prj"
                                  << "site.prj.xls" << xf;
    QTest::newRow("text, no extension") << text << "报告"
                                        << "报告.txt" << tf;
    QTest::newRow("text, right extension") << text << "report.txt"
                                           << "report.txt" << tf;
    QTest::newRow("text, excel name") << text << "report.xls"
                                      << "report.xls.txt" << tf;
}

void ReportWindowTest::exportAppendsTheExtension() {
    QFETCH(QString, action);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(QString, filter);
    installTemplate();
    QDir(folder->path()).mkpath(QStringLiteral("v1.2"));
    prompts->saveAnswers.push_back(folder->file(chosen));
    trigger(action.toLatin1().constData());
    QCOMPARE(prompts->saveFilters, QStringList{filter});
    QCOMPARE(prompts->messages, QStringList());
    QFile file(folder->file(written));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(written));
    const QByteArray bytes = file.readAll();
    if (written.endsWith(QLatin1String(".xls"))) {
        QVERIFY(bytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
    } else {
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(QString::fromUtf8(bytes).contains(QString::fromUtf8("楼板3")));
    }
    if (chosen != written)
        QVERIFY(!QFileInfo::exists(folder->file(chosen)) || QFileInfo(folder->file(chosen)).isDir());
    QCOMPARE(opened.paths, QStringList{folder->file(written)});
}

void ReportWindowTest::cancelledExportWritesNothing() {
    installTemplate();
    for (const char* action : {"act_export2excel", "act_export2txt"}) {
        trigger(action);  // no answer prepared: the dialog is cancelled
    }
    QCOMPARE(prompts->saveFilters.size(), 2);
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(opened.paths.isEmpty());
    QCOMPARE(QDir(folder->path()).entryList(QDir::Files), QStringList());
}

void ReportWindowTest::exportShowsPanelEditsNotYetSaved() {
    installTemplate();
    box(*window, "txt_report_serial")->setText(QStringLiteral("R-2026-77"));
    prompts->saveAnswers.push_back(folder->file(QStringLiteral("report.txt")));
    trigger("act_export2txt");
    QFile file(folder->file(QStringLiteral("report.txt")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains(QString::fromUtf8("报告编号：R-2026-77")));
}

void ReportWindowTest::printingTwicePrintsTheWholeReportTwice() {
    installTemplate();
    int run = 0;
    prompts->onModal = [&](QDialog& dialog) {
        auto* print = qobject_cast<QPrintDialog*>(&dialog);
        if (!print) return int(QDialog::Rejected);
        print->printer()->setOutputFormat(QPrinter::PdfFormat);
        print->printer()->setOutputFileName(folder->file(QStringLiteral("print%1.pdf").arg(++run)));
        return int(QDialog::Accepted);
    };
    trigger("act_print");
    trigger("act_print");
    QCOMPARE(prompts->modalDialogs,
             (QStringList{QStringLiteral("PrintDialog"), QStringLiteral("PrintDialog")}));
#ifdef _WIN32
    for (int i = 1; i <= 2; ++i) {
        QVERIFY(QFileInfo(folder->file(QStringLiteral("print%1.pdf").arg(i))).size() > 0);
    }
    QSKIP("pdftotext, which reads the PDFs back, is a Linux program that this Windows build cannot start; "
          "scripts/windows/check.sh reads a PDF written under Windows");
#endif
    for (int i = 1; i <= 2; ++i) {
        const QString text =
            pdfText(folder->file(QStringLiteral("print%1.pdf").arg(i))).remove(QLatin1Char(' '));
        for (const char* expected : {"楼板1", "楼板2", "楼板3", "31.0", "33.0", "第1页共1页"}) {
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        }
    }
}

void ReportWindowTest::previewShowsThePages() {
    installTemplate();
    edit_project(*window, [](ReboundFile& p) {
        for (int i = 4; i <= 60; ++i) p.add_component(ComponentInfo(test::today()));
    });
    int pages = 0;
    prompts->onModal = [&](QDialog& dialog) {
        auto* preview = dynamic_cast<report::ReportPreviewDialog*>(&dialog);
        if (preview) {
            preview->finishLayout();
            pages = preview->pageCount();
        }
        return int(QDialog::Accepted);
    };
    trigger("act_print_preview");
    QCOMPARE(prompts->modalDialogs, QStringList{QStringLiteral("PrintPreviewDialog")});
    QCOMPARE(pages, 3);
    QVERIFY(prompts->messages.isEmpty());
}

// A large record sheet: the preview shows its first page before the rest is
// laid out, lays out the rest while the event loop runs, and Cancel ends it.
void ReportWindowTest::largePreviewShowsTheFirstPageAtOnceAndCanBeCancelled() {
    installTemplate({}, QStringLiteral("rebound_record1.grf"));
    edit_project(*window, [](ReboundFile& p) {
        for (int c = 0; c < 3000; ++c) {
            ComponentInfo component(test::today());
            for (int a = 0; a < 10; ++a) {
                AreaData area;
                area.readings.fill(static_cast<std::uint8_t>(30 + a));
                area.area_strength = 25.0f + static_cast<float>(a);
                component.add_area(area);
            }
            p.add_component(component);
        }
    });
    struct Seen {
        int atOnce = -1;
        bool doneAtOnce = true;
        int later = -1;
        bool doneLater = false;
        bool blankFirstPage = true;
        bool stillOpenAfterCancel = true;
    } seen;
    prompts->onModal = [&](QDialog& dialog) {
        auto* preview = dynamic_cast<report::ReportPreviewDialog*>(&dialog);
        if (!preview) return int(QDialog::Rejected);
        seen.atOnce = preview->pageCount();
        seen.doneAtOnce = preview->layoutDone();
        // The first page has ink on it, with the page count still to come.
        const QImage page = preview->pageImage(0, 2.0);
        int ink = 0;
        for (int y = 0; y < page.height(); y += 2) {
            for (int x = 0; x < page.width(); x += 2) ink += qGray(page.pixel(x, y)) < 128;
        }
        seen.blankFirstPage = ink < 200;
        // The layout goes on while events are processed: more pages come,
        // long before 30,000 test areas are laid out.
        dialog.show();
        QElapsedTimer waited;
        waited.start();
        while (preview->pageCount() <= seen.atOnce + 1 && waited.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        seen.later = preview->pageCount();
        seen.doneLater = preview->layoutDone();
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cancelLayout"));
        if (cancel && cancel->isVisible()) cancel->click();
        seen.stillOpenAfterCancel = dialog.isVisible();
        return dialog.result();
    };
    trigger("act_test_records");
    QCOMPARE(prompts->modalDialogs, QStringList{QStringLiteral("PrintPreviewDialog")});
    QVERIFY(seen.atOnce >= 1);
    QVERIFY(!seen.doneAtOnce);
    QVERIFY(!seen.blankFirstPage);
    QVERIFY2(seen.later > seen.atOnce, qPrintable(QStringLiteral("%1 then %2").arg(seen.atOnce).arg(seen.later)));
    QVERIFY(!seen.doneLater);
    QVERIFY(!seen.stillOpenAfterCancel);
}

void ReportWindowTest::fileCommandsKeepEveryCharacterOfTheNames() {
    // Import, Save As, Open, component export and report export on a folder
    // and files named in Chinese with an emoji: the names reach the files as
    // the operator chose them.
    installTemplate();
    set_project(*window, ReboundFile(test::today()));
    const QString data = folder->file(QString::fromUtf8("工程数据😀"));
    QVERIFY(QDir().mkpath(data));
    const auto at = [&](const char* utf8) { return data + QLatin1Char('/') + QString::fromUtf8(utf8); };
    write_file(platform::to_path(at("柱😀.cmp")), device_record("KZ-1", {DeviceArea{}}, -1, 1, 33.8f));

    prompts->openAnswers = {at("柱😀.cmp")};
    trigger("act_import_component");
    QCOMPARE(doc_project(*window).component_count(), std::size_t{1});

    prompts->saveAnswers = {at("工地😀")};
    trigger("FileSaveAs1");
    QCOMPARE(window->Document().fileName(), at("工地😀.prj"));
    const ReboundFile saved = doc_project(*window);
    set_project(*window, ReboundFile(test::today()));
    prompts->openAnswers = {at("工地😀.prj")};
    trigger("FileOpen1");
    QVERIFY(doc_project(*window) == saved);

    select_row(*window, 0);
    prompts->saveAnswers = {at("导出😀")};
    trigger("act_export_component");
    const Result<ComponentInfo> exported =
        import_component_file(platform::to_path(at("导出😀.xcmp")), test::fixed_clock());
    QVERIFY(exported);
    QVERIFY(*exported == saved.components[0]);

    prompts->saveAnswers = {at("报告😀")};
    trigger("act_export2txt");
    QFile report(at("报告😀.txt"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(report.readAll());
    QVERIFY(text.contains(QStringLiteral("KZ-1")));
    QVERIFY(text.contains(QStringLiteral("33.8")));
    QCOMPARE(opened.paths, QStringList{at("报告😀.txt")});
    QVERIFY(prompts->messages.isEmpty());
}

void ReportWindowTest::testRecordsNeedTheirTemplate_data() {
    QTest::addColumn<QByteArray>("templateContent");  // empty: no template file
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("broken") << QByteArray("<report records='test-areas'>\n<fields>\n");
}

void ReportWindowTest::testRecordsNeedTheirTemplate() {
    QFETCH(QByteArray, templateContent);
    installTemplate();  // the test report's template does not stand in for the record sheet's
    if (!templateContent.isEmpty()) installTemplate(templateContent, QStringLiteral("rebound_record1.grf"));
    trigger("act_test_records");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Print Preview Error!\n")) &&
                 prompts->messages[0].contains(QStringLiteral("rebound_record1.grf: ")),
             qPrintable(prompts->messages[0]));
    QVERIFY(prompts->modalDialogs.isEmpty());
}

void ReportWindowTest::testRecordsPreviewAndPrintToAPdfFile() {
    installTemplate({}, QStringLiteral("rebound_record1.grf"));
    edit_project(*window, [](ReboundFile& p) {
        for (std::size_t c = 0; c < 2; ++c) {
            for (int a = 0; a < 12; ++a) {
                AreaData area;
                area.readings.fill(static_cast<std::uint8_t>(100 + 10 * c + a));
                area.area_strength = 25.0f + static_cast<float>(a);
                p.components[c].add_area(area);
            }
        }
    });
    box(*window, "txt_report_serial")->setText(QStringLiteral("R-2026-88"));
    const QString pdf = folder->file(QStringLiteral("records.pdf"));
    int pages = 0;
    prompts->onModal = [&](QDialog& dialog) {
        auto* preview = dynamic_cast<report::ReportPreviewDialog*>(&dialog);
        if (!preview) return int(QDialog::Rejected);
        preview->finishLayout();
        pages = preview->pageCount();
        // The preview's own print command, with the PDF file as the printer.
        preview->printer().setOutputFormat(QPrinter::PdfFormat);
        preview->printer().setOutputFileName(pdf);
        preview->printAll(preview->printer());
        return int(QDialog::Accepted);
    };
    trigger("act_test_records");
    QCOMPARE(prompts->modalDialogs, QStringList{QStringLiteral("PrintPreviewDialog")});
    QVERIFY(prompts->messages.isEmpty());
    // A page or more per component with twelve areas; the preview prints every page it shows.
    QVERIFY(pages >= 3);
#ifdef _WIN32
    QVERIFY(QFileInfo(pdf).size() > 0);
    QSKIP("pdfinfo and pdftotext, which read the PDF back, are Linux programs that this Windows build cannot start");
#endif
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    info.waitForFinished(60000);
    QVERIFY(QString::fromUtf8(info.readAllStandardOutput())
                .contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\n").arg(pages))));
    const QString text = pdfText(pdf).simplified();
    QVERIFY2(text.contains(QStringLiteral("R-2026-88")), "the panel's unsaved report number");
    for (const char* row : {"1 100 100 100", "12 111 111 111", "1 110 110 110", "12 121 121 121"}) {
        QVERIFY2(text.contains(QString::fromLatin1(row)), row);
    }
    for (const char* name : {"楼板1", "楼板2", "楼板3"})
        QVERIFY2(text.contains(QString::fromUtf8(name)), name);
}

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
