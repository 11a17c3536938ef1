// Construction of the main window: actions, menus, the hidden toolbar, the
// regions of the window, the start-up reading of settings and curve, and the
// Edit commands.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/qt_bridge.h"
#include "platform/text_codec.h"
#include "settings/setting.h"
#include "ui/about_box.h"
#include "ui/load_strength_curve_form.h"
#include "ui/area_grid.h"
#include "ui/component_list.h"
#include "ui/component_panel.h"
#include "ui/project_panel.h"
#include "ui/report_commands.h"
#include "ui/strength_curve_syn_form.h"
#include "ui/user_prompts.h"
#include "ui/window_settings.h"

namespace rebound {

namespace {

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Whether edit mode is on, kept per user.
const char* const kEditModeKey = "EditTestData";

}  // namespace

TSDIAppForm::TSDIAppForm(WindowContext& context, QWidget* parent)
    : QMainWindow(parent), mContext(context), mDocument(std::make_unique<ProjectDocument>(context.app())) {
    Prompts().SetParent(this);
    setObjectName(QStringLiteral("TSDIAppForm"));
    setWindowTitle(u8(kMainWindowCaption));
    setMinimumSize(800, 600);

    // The controls first, then the document state, then the start-up reads.
    CreateActions();
    CreateMenus();
    CreateToolBar();

    QWidget* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* outer = new QSplitter(Qt::Vertical, central);
    outer->setObjectName(QStringLiteral("Splitter1"));
    outer->setHandleWidth(5);
    outer->setChildrenCollapsible(false);
    mProjectPanel = new ProjectPanel(*mDocument, mContext, outer);
    outer->addWidget(mProjectPanel);

    auto* lower = new QSplitter(Qt::Horizontal, outer);
    lower->setObjectName(QStringLiteral("Splitter3"));
    lower->setChildrenCollapsible(false);
    mComponentList = new ComponentList(*mDocument, lower);
    mComponentList->SetPopupMenu(pm_components);
    lower->addWidget(mComponentList);

    auto* pnl_right = new QWidget(lower);
    pnl_right->setObjectName(QStringLiteral("pnl_right"));
    auto* rightLayout = new QVBoxLayout(pnl_right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* right = new QSplitter(Qt::Vertical, pnl_right);
    right->setObjectName(QStringLiteral("Splitter2"));
    right->setHandleWidth(7);
    right->setChildrenCollapsible(false);
    mComponentPanel = new ComponentPanel(*mDocument, mContext, right);
    right->addWidget(mComponentPanel);
    mAreaGrid = new AreaGrid(*mDocument, right);
    right->addWidget(mAreaGrid);
    right->setStretchFactor(0, 0);
    right->setStretchFactor(1, 1);
    right->setSizes({169, 10000});
    rightLayout->addWidget(right);
    lower->addWidget(pnl_right);
    lower->setStretchFactor(0, 0);
    lower->setStretchFactor(1, 1);
    lower->setSizes({256, 10000});

    outer->addWidget(lower);
    outer->setStretchFactor(0, 0);
    outer->setStretchFactor(1, 1);
    outer->setSizes({157, 10000});
    layout->addWidget(outer);
    setCentralWidget(central);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);

    mReportCommands = new ReportCommands(*mDocument, mContext, this);

    // The list's current row is what the component panel and the grid show.
    connect(mComponentList, &ComponentList::currentChanged, this, [this](int row) {
        mComponentPanel->ShowComponent(row);
        mAreaGrid->ShowComponent(row);
    });
    connect(mComponentList, &ComponentList::deleteRequested, this, &TSDIAppForm::DeleteComponentAsking);
    mAreaGrid->SetPopupMenu(pm_areas);
    mAreaGrid->SetMessageSink([this](const QString& text) { Prompts().message(text); });
    mAreaGrid->SetCurveProblemText(&TSDIAppForm::CurveProblemText);

    ReadStartupSettings();

    // A text the converter could not read as it stands is said once, in the
    // status bar, when the window is back in its event loop.
    platform::set_conversion_notice([this](const std::string& notice) {
        const QString text = QString::fromStdString(notice);
        QMetaObject::invokeMethod(
            this, [this, text] { statusBar()->showMessage(text); }, Qt::QueuedConnection);
    });

    // The text boxes keep the Edit commands up to date, and leave Undo and
    // Redo to the window, whose history holds their typing.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        connect(box, &QLineEdit::selectionChanged, this, [this] { UpdateEditActions(); });
        box->installEventFilter(this);
    }
    connect(qApp, &QApplication::focusChanged, this, [this] { UpdateEditActions(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateEditActions(); });
    UpdateEditActions();

    ConnectDocument();
    // Component and project files dropped anywhere on the window are
    // imported or opened: the text boxes would otherwise take a dropped file
    // as text, so only the window itself takes drops.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setAcceptDrops(false);
    }
    setAcceptDrops(true);
    RebuildRecentMenu();
    // New projects and components are named in the window's language (stored as it reads).
    mDocument->setNewProjectName(platform::from_qstring(tr(kNewProjectName)));
    mDocument->setNewComponentName(platform::from_qstring(tr(kNewComponentName)));
    mDocument->newProject();
    RefreshAll();
    SetEditMode(EditTestData1->isChecked());
    UpdateCaption();
}

TSDIAppForm::~TSDIAppForm() {
    // The controls go before the QObject part of the window does; focus and
    // clipboard notices sent meanwhile must not reach the half-destroyed window.
    disconnect(qApp, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    platform::set_conversion_notice({});
    // The views go before the document they show.
    delete centralWidget();
}

void TSDIAppForm::CreateDialogs() {
    if (AboutBox != nullptr) {
        return;
    }
    AboutBox = new TAboutBox(this);
    AboutBox->hide();
    LoadStrengthCurveFrm = new TLoadStrengthCurveFrm(mContext.app(), this);
    LoadStrengthCurveFrm->hide();
    StrengthCurve_Syn_Form = new TStrengthCurve_Syn_Form(mContext.app(), this);
    StrengthCurve_Syn_Form->hide();
}

void TSDIAppForm::ReadStartupSettings() {
    // The context has pointed the store at the application folder. The
    // document's evaluation curve follows the name read here; it reads the
    // curve file when an evaluation first needs it.
    setting& settings = mContext.app().get_setting();
    (void)settings.read_ini();  // A missing file leaves the defaults in place.
}

// ---- Actions and menus --------------------------------------------------

QAction* TSDIAppForm::NewAction(const char* name, const QString& caption, const QString& hint,
                                void (TSDIAppForm::*handler)()) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setToolTip(hint);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    // Actions belong to the window, so their shortcuts work wherever the
    // focus is and a command runs when triggered even without a menu entry.
    addAction(action);
    return action;
}

void TSDIAppForm::CreateActions() {
    QStyle* s = style();
    FileNew1 =
        NewAction("FileNew1", tr("New Project(&N)"), tr("Create a new project"), &TSDIAppForm::FileNew1Execute);
    FileNew1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    FileNew1->setIcon(s->standardIcon(QStyle::SP_FileIcon));
    FileOpen1 =
        NewAction("FileOpen1", tr("Open Project(&O)"), tr("Open a project file"), &TSDIAppForm::FileOpen1Execute);
    FileOpen1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileOpen1->setIcon(s->standardIcon(QStyle::SP_DialogOpenButton));
    FileSave1 = NewAction("FileSave1", tr("Save(&S)"), tr("Save project"), &TSDIAppForm::FileSave1Execute);
    FileSave1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSave1->setIcon(s->standardIcon(QStyle::SP_DialogSaveButton));
    FileSaveAs1 = NewAction("FileSaveAs1", tr("Save as(&A)..."), tr("Save as the project"),
                            &TSDIAppForm::FileSaveAs1Execute);
    FileSaveAs1->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    FileExit1 = NewAction("FileExit1", tr("Quit(&X)"), tr("Quit the program"), &TSDIAppForm::FileExit1Execute);
    FileExit1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    FileExit1->setIcon(s->standardIcon(QStyle::SP_DialogCloseButton));

    EditCut1 = NewAction("EditCut1", tr("Cu&t"), tr("Cut the selection to the clipboard"), &TSDIAppForm::EditCut1Execute);
    EditCut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    EditCopy1 = NewAction("EditCopy1", tr("&Copy"), tr("Copy the selection to the clipboard"), &TSDIAppForm::EditCopy1Execute);
    EditCopy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    EditPaste1 = NewAction("EditPaste1", tr("&Paste"), tr("Paste from the clipboard"), &TSDIAppForm::EditPaste1Execute);
    EditPaste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    // The text boxes handle these keys themselves while they have the focus;
    // the actions serve the menu.
    for (QAction* a : {EditCut1, EditCopy1, EditPaste1}) {
        a->setShortcutContext(Qt::WidgetShortcut);
    }
    // Undo and Redo are the undo framework's own actions over the
    // document's history; their captions name the step.
    EditUndo1 = mDocument->createUndoAction(this, tr("Undo"));
    EditUndo1->setObjectName(QStringLiteral("EditUndo1"));
    EditUndo1->setStatusTip(tr("Undo the last change"));
    EditUndo1->setToolTip(EditUndo1->statusTip());
    EditUndo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    addAction(EditUndo1);
    EditRedo1 = mDocument->createRedoAction(this, tr("Redo"));
    EditRedo1->setObjectName(QStringLiteral("EditRedo1"));
    EditRedo1->setStatusTip(tr("Redo the change undone last"));
    EditRedo1->setToolTip(EditRedo1->statusTip());
    addAction(EditRedo1);
    EditRedo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    EditTestData1 = new QAction(tr("Edit Test Data(&D)"), this);
    EditTestData1->setObjectName(QStringLiteral("EditTestData1"));
    EditTestData1->setStatusTip(tr("Create components and areas, and edit readings and conditions in the grid"));
    EditTestData1->setCheckable(true);
    // Off at the first start; afterwards as the operator left it.
    EditTestData1->setChecked(window_settings()->value(QLatin1String(kEditModeKey), false).toBool());
    connect(EditTestData1, &QAction::toggled, this, [this](bool on) {
        const std::unique_ptr<QSettings> settings = window_settings();
        settings->setValue(QLatin1String(kEditModeKey), on);
        ReportSettingsFailure(write_window_settings(*settings));
        SetEditMode(on);
    });
    addAction(EditTestData1);

    HelpAbout1 =
        //: Opens the About box; the English caption is spelt so on purpose.
        NewAction("HelpAbout1", tr("Abort(&A)"), tr("About the program"), &TSDIAppForm::HelpAbout1Execute);

    act_create_component = NewAction("act_create_component", tr("New Component(&C)"), tr("Create a component with one test area"),
                                     &TSDIAppForm::act_create_componentExecute);
    act_remove_component = NewAction("act_remove_component", tr("Delete Component(&D)"), tr("Delete the selected component"),
                                     &TSDIAppForm::act_remove_componentExecute);
    act_remove_component->setIcon(s->standardIcon(QStyle::SP_TrashIcon));
    act_import_component = NewAction("act_import_component", tr("Import Component(&I)"), tr("Import component files from the hammer or another project"),
                                     &TSDIAppForm::act_import_componentExecute);
    act_import_component->setIcon(s->standardIcon(QStyle::SP_ArrowDown));
    act_export_component = NewAction("act_export_component", tr("Export Component(&E)"), tr("Export the selected component to a component file"),
                                     &TSDIAppForm::act_export_componentExecute);
    act_create_area = NewAction("act_create_area", tr("New Area(&A)"), tr("Add a test area to the current component"),
                                &TSDIAppForm::act_create_areaExecute);
    act_remove_area = NewAction("act_remove_area", tr("Delete Area(&R)"), tr("Delete the selected test areas"),
                                &TSDIAppForm::act_remove_areaExecute);
    act_export2txt = NewAction("act_export2txt", tr("Export Text File"), tr("Export the report as a text file"),
                               &TSDIAppForm::act_export2txtExecute);
    act_export2excel = NewAction("act_export2excel", tr("Export to Excel"), tr("Export the report to an Excel file"),
                                 &TSDIAppForm::act_export2excelExecute);
    FilePrintSetup1 = NewAction("FilePrintSetup1", tr("Print Setup(&U)"), tr("Choose the paper, orientation and margins"),
                                &TSDIAppForm::FilePrintSetup1Execute);
    act_print_preview = NewAction("act_print_preview", tr("Print Preview(&V)"), tr("Preview the test report"),
                                  &TSDIAppForm::act_print_previewExecute);
    act_print_preview->setIcon(s->standardIcon(QStyle::SP_FileDialogContentsView));
    act_test_records =
        NewAction("act_test_records", tr("Test Records(&T)"), tr("Preview the test records of every component"),
                  &TSDIAppForm::act_test_recordsExecute);
    act_create_strength_curve = NewAction("act_create_strength_curve", tr("Create Strength Curve(&B)"),
                                          tr("Fit a strength curve to pairs of rebound values and core strengths"), &TSDIAppForm::act_create_strength_curveExecute);
    act_export_report = NewAction("act_export_report", tr("Export Report Document(&X)"), tr("Export the report as a document"),
                                  &TSDIAppForm::act_export_reportExecute);
    act_single_caculate = NewAction("act_single_caculate", tr("Calculate Component(&S)"), tr("Calculate the current component"),
                                    &TSDIAppForm::act_single_caculateExecute);
    act_group_caculate = NewAction("act_group_caculate", tr("Batch Inspection(&G)"), tr("Evaluate components as an inspection lot"),
                                   &TSDIAppForm::act_group_caculateExecute);
    act_print = NewAction("act_print", tr("Print(&P)"), tr("Print the test report"), &TSDIAppForm::act_printExecute);
    act_print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    act_print->setIcon(s->standardIcon(QStyle::SP_FileDialogDetailedView));
    act_load_strength_curve = NewAction("act_load_strength_curve", tr("Load Strength Curve(&L)"), tr("Choose the strength curve used for calculation"),
                                        &TSDIAppForm::act_load_strength_curveExecute);
    for (QAction* a :
         {act_single_caculate, act_group_caculate, act_create_strength_curve, act_export_report}) {
        a->setProperty("category", tr("Tools"));
    }
}

QAction* TSDIAppForm::AddMenuItem(QMenu* menu, QAction* command, const QString& caption, bool visible,
                                  bool enabled) {
    if (caption.isEmpty() && visible && enabled) {
        menu->addAction(command);
        return command;
    }
    // An entry that differs from its command (own caption, hidden, disabled)
    // is an item of its own that runs the command; the command itself stays
    // available to whatever triggers it.
    auto* item = new QAction(caption.isEmpty() ? command->text() : caption, menu);
    item->setObjectName(command->objectName() + QStringLiteral("_item"));
    item->setStatusTip(command->statusTip());
    item->setIcon(command->icon());
    item->setVisible(visible);
    item->setEnabled(enabled);
    connect(item, &QAction::triggered, command, &QAction::trigger);
    menu->addAction(item);
    return item;
}

void TSDIAppForm::CreateMenus() {
    File1 = menuBar()->addMenu(tr("File(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    File1->menuAction()->setStatusTip(tr("File related commands"));
    AddMenuItem(File1, FileNew1);
    AddMenuItem(File1, FileOpen1);
    RecentProjects1 = File1->addMenu(tr("Recent Projects(&R)"));
    RecentProjects1->setObjectName(QStringLiteral("RecentProjects1"));
    AddMenuItem(File1, FileSave1);
    AddMenuItem(File1, FileSaveAs1);
    File1->addSeparator();
    AddMenuItem(File1, act_export2txt, tr("Export Text File"), false, false);
    AddMenuItem(File1, act_export2excel, tr("Export to Excel"), false, false);
    File1->addSeparator();
    AddMenuItem(File1, act_print);
    AddMenuItem(File1, FilePrintSetup1);
    AddMenuItem(File1, act_print_preview);
    AddMenuItem(File1, act_test_records);
    File1->addSeparator();
    CreateLanguageMenu(File1);
    File1->addSeparator();
    AddMenuItem(File1, FileExit1);

    Edit1 = menuBar()->addMenu(tr("Edit(&E)"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->menuAction()->setStatusTip(tr("Edit commands"));
    AddMenuItem(Edit1, EditUndo1);
    AddMenuItem(Edit1, EditRedo1);
    Edit1->addSeparator();
    AddMenuItem(Edit1, EditCut1);
    AddMenuItem(Edit1, EditCopy1);
    AddMenuItem(Edit1, EditPaste1);
    Edit1->addSeparator();
    AddMenuItem(Edit1, EditTestData1);
    // The availability of the Edit commands depends on the focus and the
    // clipboard; check it again whenever the menu opens.
    connect(Edit1, &QMenu::aboutToShow, this, [this] { UpdateEditActions(); });

    Data1 = menuBar()->addMenu(tr("Data(&D)"));
    Data1->setObjectName(QStringLiteral("Data1"));
    // The entries hidden here are shown in edit mode (SetEditMode).
    mEditModeItems << AddMenuItem(Data1, act_create_component, {}, false);
    AddMenuItem(Data1, act_import_component);
    AddMenuItem(Data1, act_export_component, {}, false, false);
    AddMenuItem(Data1, act_remove_component);
    mEditModeItems << Data1->addSeparator();
    mEditModeItems << AddMenuItem(Data1, act_create_area, {}, false);
    mEditModeItems << AddMenuItem(Data1, act_remove_area, {}, false);
    mEditModeItems << Data1->addSeparator();
    //: Calculates the current component; the English caption is spelt so on purpose.
    mEditModeItems << AddMenuItem(Data1, act_single_caculate, tr("Caculate(&S)"), false, false);
    mEditModeItems << AddMenuItem(Data1, act_load_strength_curve, {}, false);
    for (QAction* item : mEditModeItems) {
        item->setVisible(false);
    }
    Data1->addSeparator();
    AddMenuItem(Data1, act_create_strength_curve);
    // Inspection by batch: the batch window, in every mode.
    AddMenuItem(Data1, act_group_caculate);

    menuBar()->addAction(HelpAbout1);

    pm_components = new QMenu(this);
    pm_components->setObjectName(QStringLiteral("pm_components"));
    AddMenuItem(pm_components, act_import_component);
    //: Deletes the selected component; the English caption is spelt so on purpose.
    AddMenuItem(pm_components, act_remove_component, tr("Delect Component(&D)"));

    // Offers create and remove area; attached to no control.
    pm_areas = new QMenu(this);
    pm_areas->setObjectName(QStringLiteral("pm_areas"));
    AddMenuItem(pm_areas, act_create_area);
    AddMenuItem(pm_areas, act_remove_area);
}

void TSDIAppForm::CreateToolBar() {
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(32, 32));
    addToolBar(ToolBar1);
    for (QAction* a : {FileNew1, FileOpen1, FileSave1, act_print, act_print_preview, act_import_component,
                       act_remove_component}) {
        ToolBar1->addAction(a);
    }
    for (QAction* a : {act_create_area, act_export_component, act_remove_area, act_create_component,
                       act_single_caculate}) {
        ToolBar1->addAction(a);
        if (QWidget* button = ToolBar1->widgetForAction(a)) {
            button->setVisible(false);
        }
    }
    ToolBar1->addAction(FileExit1);
    ToolBar1->setEnabled(false);
    ToolBar1->setVisible(false);
    ToolBar1->toggleViewAction()->setVisible(false);
}

// ---- Refresh -------------------------------------------------------------

void TSDIAppForm::RefreshAll() {
    mComponentList->RefreshComponentList();
    mComponentList->SelectComponentRow(0);
    mProjectPanel->RefreshProjectPanel();
}

int TSDIAppForm::CurrentRow() const {
    return mComponentList->CurrentRow();
}

// ---- Edit commands --------------------------------------------------------

QLineEdit* TSDIAppForm::FocusedTextBox() const {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr || focus->window() != this) {
        return nullptr;
    }
    return qobject_cast<QLineEdit*>(focus);
}

void TSDIAppForm::UpdateEditActions() {
    QLineEdit* box = FocusedTextBox();
    const bool selection = box != nullptr && box->hasSelectedText();
    const bool writable = box != nullptr && !box->isReadOnly();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    EditCut1->setEnabled(selection && writable);
    EditCopy1->setEnabled(selection);
    EditPaste1->setEnabled(writable && clip != nullptr && clip->hasText());
}

void TSDIAppForm::EditCut1Execute() {
    if (QLineEdit* box = FocusedTextBox(); box != nullptr && !box->isReadOnly()) {
        box->cut();
    }
    UpdateEditActions();
}

void TSDIAppForm::EditCopy1Execute() {
    if (QLineEdit* box = FocusedTextBox()) {
        box->copy();
    }
    UpdateEditActions();
}

void TSDIAppForm::EditPaste1Execute() {
    if (QLineEdit* box = FocusedTextBox(); box != nullptr && !box->isReadOnly()) {
        box->paste();
    }
    UpdateEditActions();
}

// ---- Edit mode, Undo and Redo ---------------------------------------------------

void TSDIAppForm::SetEditMode(bool on) {
    // Off, the window is the documented viewer; on, the commands that create
    // and change test data are offered and the grid edits in place.
    for (QAction* item : mEditModeItems) {
        item->setVisible(on);
        // The calculation's entry is disabled as well as hidden outside edit mode.
        item->setEnabled(on || item->objectName() != QLatin1String("act_single_caculate_item"));
    }
    mAreaGrid->SetEditing(on);
    mComponentPanel->SetEditing(on);
    mProjectPanel->SetEditing(on);
}

bool TSDIAppForm::eventFilter(QObject* watched, QEvent* event) {
    // Undo and Redo in a text box undo the document's steps, typing in that
    // box included, rather than the box's own typing.
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched) != nullptr) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* a : {EditUndo1, EditRedo1}) {
            if (a->shortcuts().contains(pressed)) {
                return true;  // not taken by the box: the window's shortcut runs
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace rebound
