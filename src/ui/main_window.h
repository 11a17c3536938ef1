// The main window: a view over one project document, made of the project
// panel (header texts), the component list, the component panel (the current
// component) and the test-area grid (its areas), with the File, Edit and Data
// commands and the report commands.
//
// Each region is a class of its own that talks to the document and listens
// to its signals; the window builds them, wires the list's current row to the
// panel and the grid, and carries the commands. Its widgets and state are
// private: tests drive it through its actions, findChild and the document.
// Every dialog the commands open goes through the context's UserPrompts,
// which a test may replace.
#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

#include "document/project_document.h"
#include "platform/file_lock.h"
#include "ui/language.h"
#include "ui/window_context.h"

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QLineEdit;
class QMenu;
class QToolBar;

namespace rebound {

class AreaGrid;
class TBatchForm;
class ComponentList;
class ComponentPanel;
class ProjectPanel;
class ReportCommands;
class TAboutBox;
class TLoadStrengthCurveFrm;
class TCreateStrengthCurveFrm;
class TStrengthCurve_Syn_Form;
class UserPrompts;

// The application's name, as the main window's caption spells it; in the
// window's language the caption of every simple message box
// (UserPrompts::MessageTitle).
inline constexpr const char* kApplicationTitle = QT_TRANSLATE_NOOP("UserPrompts", "Digital Concret Test Hammer");
// The name of a new project, translated for the window's language.
inline constexpr const char* kNewProjectName = QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "New Project");
inline constexpr const char* kNewComponentName = QT_TRANSLATE_NOOP("rebound::TSDIAppForm", "New Component");
// Caption of the main window.
inline constexpr const char* kMainWindowCaption = "Digital Concret Test Hammer Halvorn Instruments V1.2";

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

    // The document the window shows.
    ProjectDocument& Document() { return *mDocument; }

    // Files from the command line or dropped on the window: a project is
    // opened (after asking about unsaved changes), component files are
    // imported, anything else is refused with a message naming it.
    void OpenFiles(const QStringList& paths);

    // The recent projects, newest first, as kept per user.
    static constexpr int kMaxRecentProjects = 8;
    static QStringList RecentProjects();

    // Restores geometry, splitters and list columns; false (and the
    // documented layout kept) when there is no usable saved geometry.
    bool RestoreWindowState();
    void SaveWindowState() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ---- Construction ------------------------------------------------------
    void CreateActions();
    QAction* NewAction(const char* name, const QString& caption, const QString& hint,
                       void (TSDIAppForm::*handler)());
    void CreateMenus();
    QAction* AddMenuItem(QMenu* menu, QAction* command, const QString& caption = {}, bool visible = true,
                         bool enabled = true);
    void CreateToolBar();
    void ReadStartupSettings();
    void ConnectDocument();
    void RebuildRecentMenu();
    void CreateLanguageMenu(QMenu* parent);
    void SetRecentProjects(const QStringList& paths);
    void AddRecentProject(const QString& path);
    void OpenRecentProject(const QString& path);
    void ChooseLanguage(Language language);

    // ---- Refresh -----------------------------------------------------------
    void RefreshAll();
    // The caption: the window's caption, " - " and the file name when the
    // project has one, and "*" while it has unsaved changes.
    void UpdateCaption();
    // The current component's position, or -1.
    int CurrentRow() const;

    // ---- Edit mode, Undo and Redo -----------------------------------------------
    void SetEditMode(bool on);
    // Why the document's evaluation curve (the chosen one, or the standard
    // curve) could not be had, as the operator reads it.
    static QString CurveProblemText(const CurveProblem& problem);

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
    void act_printExecute();
    void act_print_previewExecute();
    void act_export2excelExecute();
    void act_export2txtExecute();
    void act_test_recordsExecute();
    // Both return true when the file was written. `cancelled`, when given,
    // tells a cancelled dialog (or a refused replacement) apart from a failed
    // write.
    bool SaveProject(bool* cancelled = nullptr);
    bool SaveProjectAs(bool* cancelled = nullptr);
    // Runs one of the two and shows "Save Project Fail!" with the reason when
    // the write failed, offering Save As (a cancelled dialog shows nothing);
    // true when the file was written.
    bool SaveAndReport(bool (TSDIAppForm::*save)(bool*));
    // Says why the save failed and offers Save As; true when the operator
    // takes it.
    bool ReportSaveFailure();
    // The message of an Open that failed: what the file is (no project, a
    // component file that Import Component reads, a damaged project) on one
    // line, the reader's detail on the next.
    static QString OpenFailureText(const QString& path, const FileError& error);
    // With unsaved changes, asks "Save changes to current project?" and
    // saves on Yes. True when the caller may go on and throw the project
    // away: no changes, No, or a successful save.
    bool MaybeSave();
    // Asked when the project's file changed on disk since it was opened or
    // saved here: Yes overwrites it, No saves elsewhere, Cancel saves nothing.
    // Asks whether to overwrite another program's change of the file. The
    // file's lock is taken before asking and kept in `lock` for the save that
    // follows, so that another program of ours waits (and fails) instead of
    // changing the file meanwhile; a change made while the question was open
    // by any other program is asked about again.
    QMessageBox::StandardButton AskAboutOutsideChange(std::optional<platform::FileLock>& lock);
    // When the window is activated and its file was changed by another
    // program: offers to reload it (once per change).
    void OfferOutsideChange();
    bool OpenProject(const QString& path);
    void ImportComponentFiles(const QStringList& paths);
    // The Delete key in the component list: asks, naming the component, then
    // deletes it as Delete Component does.
    void DeleteComponentAsking();

    // ---- Edit commands ---------------------------------------------------------
    void UpdateEditActions();
    QLineEdit* FocusedTextBox() const;

    UserPrompts& Prompts() { return mContext.prompts(); }
    // Tells the operator, once, that the window's settings cannot be kept.
    void ReportSettingsFailure(const QString& why);

    WindowContext& mContext;
    std::unique_ptr<ProjectDocument> mDocument;
    // Why the last save failed, for the message.
    QString mSaveError;
    bool mOfferingReload = false;
    bool mSettingsFailureShown = false;

    // The regions of the window.
    ProjectPanel* mProjectPanel = nullptr;
    ComponentList* mComponentList = nullptr;
    ComponentPanel* mComponentPanel = nullptr;
    AreaGrid* mAreaGrid = nullptr;
    ReportCommands* mReportCommands = nullptr;
    // The batch window, made when Data > 计算批量构件 first opens it.
    TBatchForm* mBatchForm = nullptr;

    // ---- Actions -------------------------------------------------------
    QAction* FileNew1 = nullptr;
    QAction* FileOpen1 = nullptr;
    QAction* FileSave1 = nullptr;
    QAction* FileSaveAs1 = nullptr;
    QAction* FileExit1 = nullptr;
    QAction* EditCut1 = nullptr;
    QAction* EditCopy1 = nullptr;
    QAction* EditPaste1 = nullptr;
    QAction* EditUndo1 = nullptr;
    QAction* EditRedo1 = nullptr;
    QAction* EditTestData1 = nullptr;
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
    // The menu entries that edit mode shows.
    QList<QAction*> mEditModeItems;

    QMenu* File1 = nullptr;
    QMenu* RecentProjects1 = nullptr;
    QMenu* Language1 = nullptr;
    QAction* LanguageSystem1 = nullptr;
    QAction* LanguageEnglish1 = nullptr;
    QAction* LanguageChinese1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Data1 = nullptr;
    QMenu* pm_components = nullptr;
    QMenu* pm_areas = nullptr;
    QToolBar* ToolBar1 = nullptr;

    // Dialogs created by CreateDialogs.
    TAboutBox* AboutBox = nullptr;
    TLoadStrengthCurveFrm* LoadStrengthCurveFrm = nullptr;
    TStrengthCurve_Syn_Form* StrengthCurve_Syn_Form = nullptr;
    // Created by the command that first opens it.
    TCreateStrengthCurveFrm* CreateStrengthCurveFrm = nullptr;
};

}  // namespace rebound
