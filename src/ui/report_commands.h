// The report commands of the main window: page set-up of the session,
// printing, previewing and exporting the test report (one record per
// component, fed from the document's project), and the preview of the test
// record sheet.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "report/report_template.h"

class QPrinter;
class QWidget;

namespace rebound {

namespace report {
class ReportEngine;
class ReportFeed;
}  // namespace report

class ProjectDocument;
class WindowContext;

class ReportCommands : public QObject {
    Q_OBJECT
public:
    // `window` parents the dialogs; the document and context outlive this.
    ReportCommands(ProjectDocument& document, WindowContext& context, QWidget* window);
    ~ReportCommands() override;

    void FilePrintSetup1Execute();
    void act_printExecute();
    void act_print_previewExecute();
    void act_export2excelExecute();
    void act_export2txtExecute();
    // Previews the test record sheet (report/rebound_record1.grf), from
    // where it prints or goes to a PDF file.
    void act_test_recordsExecute();

    // The batch report (report/rebound_batch1.grf: the ticked components with
    // the batch block and the cores table), printed, previewed or written
    // as a PDF file chosen by the operator.
    void BatchPrint();
    void BatchPreview();
    void BatchPdf();

    // The page chosen in Print Setup, or the template's own until then.
    report::PageSetup SessionPageSetup() const;
    // Set once Print Setup has been accepted; print, preview and PDF use it.
    const std::optional<report::PageSetup>& ChosenPageSetup() const { return mPageSetup; }

private:
    // Loads the template afresh and binds the report's fields; false (and
    // the operator told) when the template cannot be used.
    bool PrepareReport();
    void mReportFetchRecord(bool& eof);
    void ExportReport(const QString& filter, const char* extension, int type);
    QPrinter& Printer();
    QString AppFolder() const;

    ProjectDocument& mDocument;
    WindowContext& mContext;
    QWidget* mWindow;
    std::unique_ptr<QPrinter> mPrinter;
    std::optional<report::PageSetup> mPageSetup;
    // The report engine with its loaded template, and the feed holding the
    // bound fields and the record counter; made by the first preparation.
    std::shared_ptr<report::ReportEngine> mReport;
    std::shared_ptr<report::ReportFeed> mReportFeed;
};

}  // namespace rebound
