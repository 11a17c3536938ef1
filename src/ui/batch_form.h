// The batch window: the project's batch (its ticked components) with each
// component's own figures, the batch line and its verdict in plain words, k
// and the batch size on site, the cores table with the correction method and
// its result, and Print, Print Preview and PDF of the batch report.
//
// The window shows the document and changes it only through the document's
// commands: each change is one step of Undo and marks the project unsaved.
// It follows the document's signals. Every figure comes from the core
// (evaluation/batch.h); the batch report goes through the report commands.
#pragma once

#include <QDialog>
#include <vector>

#include "evaluation/batch.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTableWidget;

namespace rebound {

class ComponentList;
class ProjectDocument;
class ReportCommands;
class WindowContext;

class TBatchForm : public QDialog {
    Q_OBJECT
public:
    // `list` gives the rows selected for Tick Selected; all of them outlive
    // the window.
    TBatchForm(ProjectDocument& document, WindowContext& context, ComponentList& list, ReportCommands& reports,
               QWidget* parent = nullptr);

    // Shows the document's batch again (figures, settings and cores).
    void Refresh();

    // ---- Commands ------------------------------------------------------------
    void act_tick_allExecute();
    void act_tick_noneExecute();
    // Ticks exactly the components selected in the main window's list.
    void act_tick_selectedExecute();
    void act_core_addExecute();
    void act_core_deleteExecute();
    // Appends the rows of a table copied from a spreadsheet (component, area,
    // strength; tab or comma separated).
    void act_core_pasteExecute();
    void act_batch_printExecute();
    void act_batch_previewExecute();
    void act_batch_pdfExecute();

    // The cores of the table's complete rows (positions from 0); rows that
    // are not complete or not numbers are marked and left out.
    std::vector<CoreSample> TableCores();

    QAction* act_tick_all = nullptr;
    QAction* act_tick_none = nullptr;
    QAction* act_tick_selected = nullptr;
    QAction* act_core_add = nullptr;
    QAction* act_core_delete = nullptr;
    QAction* act_core_paste = nullptr;
    QAction* act_batch_print = nullptr;
    QAction* act_batch_preview = nullptr;
    QAction* act_batch_pdf = nullptr;

    QCheckBox* chk_batch = nullptr;
    QDoubleSpinBox* spin_k = nullptr;
    QSpinBox* spin_lot = nullptr;
    QTableWidget* tbl_components = nullptr;
    QLabel* lbl_batch = nullptr;
    QLabel* lbl_verdict = nullptr;
    QLabel* lbl_sampling = nullptr;
    QLabel* lbl_spare_texts = nullptr;
    QComboBox* cmb_method = nullptr;
    QTableWidget* tbl_cores = nullptr;
    QLabel* lbl_correction = nullptr;

    // The core's verdicts, advice and errors in the window's words.
    static QString VerdictText(const BatchFigures& figures);
    static QString ReasonText(const BatchReason& reason);
    static QString SamplingText(const SamplingWarning& warning);
    static QString CorrectionErrorText(const CorrectionError& error);
    static QString MethodText(CorrectionMethod method);

private:
    QAction* NewAction(const char* name, const QString& caption, void (TBatchForm::*handler)());
    void SettingsChanged();
    void CoresEdited();
    void StoreCores(const std::vector<CoreSample>& cores);
    void FillCoresTable(const std::vector<CoreSample>& cores);
    void AppendCoreRow(const CoreSample* core);
    void UpdateCoreFigures();
    void ShowRefused(const std::string& problem);

    ProjectDocument& mDoc;
    WindowContext& mContext;
    ComponentList& mList;
    ReportCommands& mReports;
    bool mFilling = false;
};

}  // namespace rebound
