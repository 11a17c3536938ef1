// The dialog that builds a strength curve of one's own: paired tests typed,
// pasted from a spreadsheet or opened from a CSV file and fitted, or the
// coefficients and ranges of a published formula; the figures, the verdict
// against the limits of the curve's kind and a chart of curve against
// measured strength follow every change. Save Curve writes the curve file
// into the curve folder; Print, Preview and PDF give the fit report.
//
// All arithmetic is the core's (evaluation/curve_fit.h); the dialog only
// collects the figures and shows the results.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "evaluation/curve_fit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTableWidget;

namespace rebound {

class WindowContext;

// Curve strength against measured strength, one point per pair, with the
// line on which both are equal.
class FitChart : public QWidget {
    Q_OBJECT
public:
    explicit FitChart(QWidget* parent = nullptr);
    // (measured, curve) per pair; empty clears the chart.
    void setPoints(std::vector<std::pair<double, double>> points);
    const std::vector<std::pair<double, double>>& points() const { return mPoints; }
    QSize sizeHint() const override { return {260, 260}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::pair<double, double>> mPoints;
};

class TCreateStrengthCurveFrm : public QDialog {
    Q_OBJECT
public:
    // The context's prompts answer the dialogs; its application folder holds
    // the curve folder and the report template.
    explicit TCreateStrengthCurveFrm(WindowContext& context, QWidget* parent = nullptr);
    ~TCreateStrengthCurveFrm() override;

    QRadioButton* rbFit = nullptr;
    QRadioButton* rbFormula = nullptr;
    QComboBox* cbKind = nullptr;
    // Fewer pairs than this draw a warning.
    QSpinBox* spRecommended = nullptr;
    QTableWidget* tblPairs = nullptr;
    QPushButton* btnOpenCsv = nullptr;
    QPushButton* btnPaste = nullptr;
    QPushButton* btnClear = nullptr;
    QLineEdit* edA = nullptr;
    QLineEdit* edB = nullptr;
    QLineEdit* edC = nullptr;
    QLineEdit* edRmLow = nullptr;
    QLineEdit* edRmHigh = nullptr;
    QLineEdit* edDepthLow = nullptr;
    QLineEdit* edDepthHigh = nullptr;
    QLineEdit* edStrengthLow = nullptr;
    QLineEdit* edStrengthHigh = nullptr;
    QLabel* lblFigures = nullptr;
    QLabel* lblVerdict = nullptr;
    QLabel* lblProblems = nullptr;
    FitChart* chart = nullptr;
    QLabel* lblChart = nullptr;
    QLineEdit* edCurveName = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnPrint = nullptr;
    QPushButton* btnPreview = nullptr;
    QPushButton* btnPdf = nullptr;
    QPushButton* btnClose = nullptr;

    // Fills the table with these pairs (replacing it) and recomputes.
    void SetPairs(const std::vector<CurvePair>& pairs);
    // Pastes tab- or comma-separated lines into the table from its current
    // row on (a header line is skipped); false when the text holds no
    // number.
    bool PasteText(const QString& text);
    // Recomputes the fit or checks the formula from what the dialog holds,
    // and shows the figures, verdict, problems and chart.
    void Recompute();

    // What the last Recompute found.
    const std::optional<CurveFit>& Fit() const { return mFit; }
    const std::optional<CurveFormula>& Formula() const { return mFormula; }
    const std::vector<CurvePair>& Pairs() const { return mPairs; }
    CurveKind Kind() const;

    void btnOpenCsvClick();
    void btnPasteClick();
    // Writes the curve into the curve folder under the name of edCurveName
    // (".cur" appended); asks before replacing a file and before saving a
    // curve that is not accepted. True when the file was written.
    bool btnSaveClick();
    void btnPrintClick();
    void btnPreviewClick();
    void btnPdfClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    void KeepOneEmptyRow();
    void UpdateButtons();
    bool PrepareReport();
    QPrinter& Printer();

    WindowContext& mContext;
    std::unique_ptr<QPrinter> mPrinter;  // made by the first print or preview
    QStackedWidget* mInputs = nullptr;
    bool mFilling = false;  // the table is being filled by the program
    std::vector<CurvePair> mPairs;
    std::optional<CurveFit> mFit;
    std::optional<CurveFormula> mFormula;  // the curve Save writes, when there is one
    bool mAccepted = false;
    std::unique_ptr<class CurveFitReportHolder> mReport;
};

}  // namespace rebound
