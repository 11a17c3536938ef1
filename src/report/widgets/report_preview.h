// The print preview of a report, for reports of thousands of pages: the
// records are fetched and the pages laid out a part at a time while the
// window goes on repainting, with a progress bar and a Cancel button. The first page shows as soon as it is laid out; a page is drawn
// only when it is shown, at the screen's resolution, and only the page on
// screen is kept as an image. Printing from the preview is offered once every
// page is laid out. Closing the preview frees the records and the pages and
// hands the memory back to the system.
#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QPrinter>
#include <memory>

#include "report/report_engine.h"
#include "report/report_layout.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTimer;

namespace rebound::report {

class PreviewPageView;

class ReportPreviewDialog : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(rebound::report::ReportPreviewDialog)
public:
    // Shows the records that `engine` fetches through its callback (the
    // engine and its feed outlive the dialog), laid out on the template `t`
    // (the operator's page already applied); `printer` is the one the Print
    // button prints on. `expected_records`, when known, measures the progress.
    ReportPreviewDialog(ReportEngine& engine, ReportTemplate t, QPrinter& printer, QWidget* parent = nullptr,
                        int expected_records = 0);
    ~ReportPreviewDialog() override;

    // Pages laid out so far (all once layoutDone()).
    int pageCount() const;
    bool layoutDone() const;
    // Lays out every page that is still missing, at once.
    void finishLayout();
    // The shown page (0-based) and moving to another laid-out page.
    int currentPage() const { return current_; }
    void showPage(int page);
    // The page as the preview draws it, `pixels_per_mm` pixels per millimetre.
    QImage pageImage(int page, double pixels_per_mm) const;
    // Prints every page on `printer` (laying out what is missing first).
    bool printAll(QPrinter& printer);
    QPrinter& printer() { return printer_; }

    // Records placed per step of the background layout, and the time a run
    // of steps may take before the window repaints.
    static constexpr int kRecordsPerStep = 40;
    static constexpr int kRecordsPerFetch = 200;
    static constexpr int kMillisecondsPerRun = 40;

protected:
    void done(int result) override;

private:
    void layOutSome();
    void updateControls();
    void renderCurrent();
    double pixelsPerMm() const;

    ReportEngine& engine_;
    ReportTemplate template_;
    ReportData data_;
    bool fetched_all_ = false;
    std::unique_ptr<LayoutJob> job_;
    QPrinter& printer_;
    int current_ = 0;
    double zoom_ = 1.0;
    bool cancelled_ = false;

    QTimer* timer_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PreviewPageView* view_ = nullptr;
    QSpinBox* page_box_ = nullptr;
    QLabel* page_count_ = nullptr;
    QPushButton* print_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace rebound::report
