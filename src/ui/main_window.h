// The main window: one project for the life of the process, shown in the
// project panel (header texts), the component list, the component panel (the
// current component) and the test-area grid (its areas), with the File, Edit
// and Data commands.
//
// Controls, handlers and the document members are public so that the window
// can be driven and inspected the way an operator sees it (tests, benchmarks);
// every dialog the commands open goes through a UserPrompts object that a
// test may replace. The project itself, its file name, its unsaved-changes
// mark and the document commands live in a ProjectDocument; the window shows
// it, asks the operator and delegates to it.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "document/project_document.h"
#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"
#include "report/report_template.h"
#include "ui/language.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

class QAction;
class QCheckBox;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QScrollArea;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;
class QToolBar;
class QWidget;

namespace rebound {

namespace report {
class ReportEngine;
class ReportFeed;
}  // namespace report

class TAboutBox;
class TLoadStrengthCurveFrm;
class TStrengthCurve_Syn_Form;

// Caption of every simple message box and the application's name.
inline constexpr const char* kApplicationTitle = " Digital  Concrete Test Hammer";
// Caption of the main window.
inline constexpr const char* kMainWindowCaption = "Digital Concret Test Hammer Halvorn Instruments V1.2";

// Number of columns of the test-area grid: row number, 16 readings, depth,
// mean rebound value, angle, direction, strength.
inline constexpr int kGridColumnCount = 22;
inline constexpr int kGridDepthColumn = 17;
inline constexpr int kGridMeanColumn = 18;
inline constexpr int kGridAngleColumn = 19;
inline constexpr int kGridSideColumn = 20;
inline constexpr int kGridStrengthColumn = 21;

class TSDIAppForm : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up: settings read from
    // "Setting/setting.ini" below the context's application folder, the
    // start-up curve read from its "curve" folder, everything refreshed. The
    // context's prompts answer the dialogs; the context outlives the window.
    explicit TSDIAppForm(WindowContext& context, QWidget* parent = nullptr);
    ~TSDIAppForm() override;

    // Creates, hidden, the About box, the curve selection dialog and the curve
    // synchronisation dialog, in that order (once; later calls do nothing).
    void CreateDialogs();

    // Replaces the dialog answerer (tests); the context owns it.
    void SetPrompts(std::unique_ptr<UserPrompts> prompts);
    UserPrompts& Prompts() { return *mPrompts; }
    WindowContext& Context() { return mContext; }
    // Today's date as the model keeps dates, from the context's clock.
    std::string TodayText() const { return mContext.app().today_text(); }

    // ---- Document state -------------------------------------------------
    ProjectDocument& Document() { return *mDocument; }
    // Declared first: the two references below point into it.
    std::unique_ptr<ProjectDocument> mDocument;
    // The document's project and the project file last opened or saved
    // through the window (empty for none).
    ReboundFile& mProject;
    const QString& mFileName;
    Strength_Curve mCurve;
    // List row (= component position) that the component panel and grid
    // show; -1 for none. Changes only through lvComponentsSelectItem, create
    // component and RefreshComponentList.
    int mCurrentItem = -1;
    // True while lvComponentsSelectItem fills the component panel; the
    // panel's change handlers then leave the model alone.
    bool mFilling = false;
    // 0-based area index under an in-place selector of the grid; -1 for none.
    int mCurrentAreaRow = -1;
    QStringList mColumnTitles;
    // The application folder of the context; every folder the program uses
    // lies below it.
    QString mAppFolder;
    // File-dialog filters, written as "description|patterns|..." pairs.
    QString mComponentFilter;
    QString mExportFilter;
    QString mProjectFilter;
    QString mExcelFilter;
    QString mTextFilter;
    QString mCurveFilter;

    // ---- Refresh operations --------------------------------------------
    void RefreshAll();
    void RefreshComponentList();
    void RefreshProjectPanel();
    void CollectProjectPanel();
    void ClearComponentPanel();
    void StoreListFlags();
    void RefreshAreaGrid();
    // Selects list row `row` (which makes its component current).
    void SelectComponentRow(int row);
    // The component shown by the panels, or nullptr.
    ComponentInfo* CurrentComponent();

    // ---- Grid texts -------------------------------------------------------
    static QString DepthText(int carbonation_index);
    static QString AngleText(int angle_index);
    static QString SideText(int surface_index);
    // The grid in its own coordinates: row 0 is the header row, row r >= 1
    // shows area r - 1; the row count includes the header row.
    int GridRowCount() const;
    QString GridCellText(int column, int row) const;
    // Puts `text` into a cell below the header row (row >= 1).
    void SetGridCell(int column, int row, const QString& text);

    // ---- Commands (handlers of the actions) --------------------------------
    void FileNew1Execute();
    void FileOpen1Execute();
    void FileSave1Execute();
    void FileSaveAs1Execute();
    void FileExit1Execute();
    void FilePrintSetup1Execute();
    void HelpAbout1Execute();
    void EditCut1Execute();
    void EditCopy1Execute();
    void EditPaste1Execute();
    void act_import_componentExecute();
    void act_export_componentExecute();
    void act_remove_componentExecute();
    void act_create_componentExecute();
    void act_create_areaExecute();
    void act_remove_areaExecute();
    void act_single_caculateExecute();
    void act_group_caculateExecute();
    void act_create_strength_curveExecute();
    void act_export_reportExecute();
    void act_load_strength_curveExecute();
    // Both return true when the file was written. `cancelled`, when given,
    // tells a cancelled dialog (or a refused replacement) apart from a failed
    // write.
    bool SaveProject(bool* cancelled = nullptr);
    bool SaveProjectAs(bool* cancelled = nullptr);
    // Runs one of the two and shows "Save Project Fail!" when the write failed
    // (a cancelled dialog shows nothing); true when the file was written.
    bool SaveAndReport(bool (TSDIAppForm::*save)(bool*));

    // ---- Around the document commands --------------------------------------
    // With unsaved changes, asks "Save changes to current project?" and
    // saves on Yes. True when the caller may go on and throw the project
    // away: no changes, No, or a successful save.
    bool MaybeSave();
    // Opens a project file without asking first; on failure nothing changes
    // and the message names the file and what is wrong with it.
    bool OpenProject(const QString& path);
    // Imports component files in one step; asks once about duplicates, shows
    // progress for many files and lists the files that failed afterwards.
    void ImportComponentFiles(const QStringList& paths);
    // Files from the command line or dropped on the window: a project is
    // opened (after MaybeSave), component files are imported, anything else is
    // refused with a message naming it.
    void OpenFiles(const QStringList& paths);
    // The Delete key in the component list: asks, naming the component, then
    // deletes it as Delete Component does.
    void DeleteComponentAsking();
    // The caption: the window's caption, " - " and the file name when the
    // project has one, and "*" while it has unsaved changes.
    void UpdateCaption();

    // ---- Recent projects ------------------------------------------------------
    static constexpr int kMaxRecentProjects = 8;
    QStringList RecentProjects() const;
    void AddRecentProject(const QString& path);
    // Opens a project of the list; a file that is gone is removed from the
    // list with a message.
    void OpenRecentProject(const QString& path);

    // ---- The window's own state, kept per user --------------------------------
    // Keeps the operator's choice of language for the next start and says so
    // when the window will look different then.
    void ChooseLanguage(Language language);
    // Restores geometry, splitters and list columns; false (and the
    // documented layout kept) when there is no usable saved geometry.
    bool RestoreWindowState();
    void SaveWindowState() const;

    // ---- Page set-up of the session ---------------------------------------------
    // The page chosen in Print Setup, or the template's own until then.
    report::PageSetup SessionPageSetup();
    // Set once Print Setup has been accepted; print, preview and PDF use it.
    std::optional<report::PageSetup> mPageSetup;

    // ---- Report commands (main_window_report.cpp) -------------------------
    bool PrepareReport();
    void mReportFetchRecord(bool& eof);
    void act_printExecute();
    void act_print_previewExecute();
    void act_export2excelExecute();
    void act_export2txtExecute();
    // Previews the test record sheet (report/rebound_record1.grf), from
    // where it prints or goes to a PDF file.
    void act_test_recordsExecute();
    // The report engine with its loaded template, and the feed holding the
    // bound fields and the record counter; made by the first preparation.
    std::shared_ptr<report::ReportEngine> mReport;
    std::shared_ptr<report::ReportFeed> mReportFeed;

    // ---- Panel and list handlers -------------------------------------------
    void lvComponentsSelectItem();
    void txt_component_nameChange();
    void txt_component_nameKeyDown();
    void txt_component_conditionChange();
    void chk_pump_tagClick();

    // ---- In-place editors of the grid (not connected to the grid) ----------
    // `column`, `row` in the grid's own coordinates (see GridCellText).
    void sg_areasSelectCell(int column, int row);
    void sg_areasSetEditText(int column, int row, const QString& text);
    void cbDepth_SelectedChange();
    void cbAngle_SelectedChange();
    void cbSide_SelectedChange();

    // ---- Actions -------------------------------------------------------
    QAction* FileNew1 = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* EditCut1 = nullptr;
    QAction* EditCopy1 = nullptr;
    QAction* EditPaste1 = nullptr;
    QAction* HelpAbout1 = nullptr;
    QAction* act_create_component = nullptr;
    QAction* act_remove_component = nullptr;
    QAction* act_import_component = nullptr;
    QAction* act_export_component = nullptr;
    QAction* act_create_area = nullptr;
    QAction* act_remove_area = nullptr;
    QAction* act_export2txt = nullptr;
    QAction* act_export2excel = nullptr;
    QAction* FilePrintSetup1 = nullptr;
    QAction* act_print_preview = nullptr;
    QAction* act_test_records = nullptr;
    QAction* act_create_strength_curve = nullptr;
    QAction* act_export_report = nullptr;
    QAction* act_single_caculate = nullptr;
    QAction* act_group_caculate = nullptr;
    QAction* act_print = nullptr;
    QAction* act_load_strength_curve = nullptr;

    QMenu* File1 = nullptr;
    QMenu* RecentProjects1 = nullptr;
    // The language submenu: System Default, English, 简体中文 (checkable, one
    // checked: the stored choice).
    QMenu* Language1 = nullptr;
    QAction* LanguageSystem1 = nullptr;
    QAction* LanguageEnglish1 = nullptr;
    QAction* LanguageChinese1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Data1 = nullptr;
    QMenu* pm_components = nullptr;
    QMenu* pm_areas = nullptr;
    QToolBar* ToolBar1 = nullptr;

    // ---- Controls ------------------------------------------------------
    QScrollArea* sb_project = nullptr;
    QLineEdit* txt_project_name = nullptr;
    QLineEdit* txt_report_serial = nullptr;
    QLineEdit* txt_examine_serial = nullptr;
    QLineEdit* txt_examine_basis = nullptr;
    QLineEdit* txt_examine_condition = nullptr;
    QLineEdit* txt_agent_unit = nullptr;
    QDateEdit* dt_agent_date = nullptr;
    QLineEdit* txt_project_address = nullptr;
    QLineEdit* txt_supervision_unit = nullptr;
    QLineEdit* txt_concrete_producer = nullptr;

    QTableWidget* lvComponents = nullptr;

    QScrollArea* sb_component = nullptr;
    QLineEdit* txt_component_name = nullptr;
    QDateEdit* dt_examine_date = nullptr;
    QLineEdit* txt_area_number = nullptr;
    QCheckBox* chk_pump_tag = nullptr;
    QLineEdit* txt_curve_filename = nullptr;
    QLineEdit* txt_fcue = nullptr;
    QLineEdit* txt_fcumin = nullptr;
    QLineEdit* txt_mfcu = nullptr;
    QLineEdit* txt_sfcu = nullptr;
    QLineEdit* txt_component_condition = nullptr;

    QWidget* pnl_right = nullptr;
    QTableWidget* sg_areas = nullptr;
    QComboBox* cbDepth_Selected = nullptr;
    QComboBox* cbAngle_Selected = nullptr;
    QComboBox* cbSide_Selected = nullptr;

    // Dialogs created by CreateDialogs.
    TAboutBox* AboutBox = nullptr;
    TLoadStrengthCurveFrm* LoadStrengthCurveFrm = nullptr;
    TStrengthCurve_Syn_Form* StrengthCurve_Syn_Form = nullptr;

    // The printer that Print Setup configures and the report commands use.
    QPrinter& Printer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Construction, one region or menu at a time.
    void CreateActions();
    QAction* NewAction(const char* name, const QString& caption, const QString& hint,
                       void (TSDIAppForm::*handler)());
    void CreateMenus();
    QAction* AddMenuItem(QMenu* menu, QAction* command, const QString& caption = {}, bool visible = true,
                         bool enabled = true);
    void CreateToolBar();
    QWidget* CreateProjectPanel();
    QWidget* CreateComponentList();
    QWidget* CreateComponentPanel();
    QWidget* CreateAreaGrid();
    void CreateGridSelectors(QWidget* panel);
    void SetFilters();
    void ReadStartupSettingsAndCurve();
    void ConnectDocument();
    void RebuildRecentMenu();
    void CreateLanguageMenu(QMenu* parent);
    void SetRecentProjects(const QStringList& paths);
    // Shows a failed save with the file and the reason.
    void ReportSaveFailure();

    // Reads a date text into a picker; an unreadable text shows one message
    // naming `field` and sets the picker to today. The model is not changed.
    void ShowDateText(QDateEdit* picker, const std::string& text, const QString& field);
    void UpdateEditActions();
    QLineEdit* FocusedTextBox() const;
    // The area under the in-place selectors, or nullptr when there is none.
    AreaData* SelectedArea();

    WindowContext& mContext;
    // The context's prompts.
    UserPrompts* mPrompts = nullptr;
    std::unique_ptr<QPrinter> mPrinter;
    // Why the last save failed, for the message.
    QString mSaveError;
    // True while RefreshProjectPanel fills the project panel: its change
    // notices are then no edits of the operator.
    bool mFillingProjectPanel = false;
};

}  // namespace rebound
