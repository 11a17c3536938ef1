// The main window driven as an operator drives it: actions triggered by name,
// text typed into the boxes, rows selected in the list, dialogs answered in
// advance. Each test runs in its own application folder.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <sstream>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

// Types any text, one key per character (QTest::keyClicks takes ASCII only).
void type_text(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

QStringList list_column(const TSDIAppForm& w, int column) {
    QStringList texts;
    for (int r = 0; r < component_list(w)->rowCount(); ++r) {
        texts << component_list(w)->item(r, column)->text();
    }
    return texts;
}

DeviceArea device_area(int base, std::uint8_t carbonation, float mean, float strength) {
    DeviceArea a;
    for (int i = 0; i < 16; ++i) {
        a.readings[i] = static_cast<std::uint8_t>(base + i % 5);
    }
    a.angle = 2;
    a.surface = 1;
    a.carbonation = carbonation;
    a.mean = mean;
    a.fifth = strength;
    return a;
}

// Gives the window a new project holding these components, as Open would.
void load_project(TSDIAppForm& w, const std::vector<ComponentInfo>& components) {
    ReboundFile p(test::today());
    for (const ComponentInfo& c : components) {
        p.add_component(c);
    }
    set_project(w, p);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_font_substitutions(); }
    void init() {
        folder = std::make_unique<AppFolder>();
        window = make_window(prompts);
    }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void startsEmptyWithTheCommandTable();
    void evaluatesWithTheCurveTheStartFolderNames();
    void importSaveAndOpenAgain();
    void newProject_data();
    void newProject();
    void deleteComponentOnTheLastOfThree();
    void deleteComponentNeedsASelectionAndTwoComponents();
    void onlyTheLeftButtonSelectsARow();
    void createComponentAndAreas();
    void saveAsAppendsTheProjectExtension_data();
    void saveAsAppendsTheProjectExtension();
    void saveWithAFileNameWritesThePanelAsItStands();
    void typingANameUpdatesTheListKeyByKey();
    void panelEditsGoToTheCurrentComponentOnly();
    void gridTexts_data();
    void gridTexts();
    void gridRowCounts_data();
    void gridRowCounts();
    void failureMessages();
    void projectFileGivenAtStartOpens();
    void unreadableDatesAreNamedOnceAndKept();
    void exportComponent();
    void editCommandsFollowFocusSelectionAndClipboard();
    void shortcutsAndDialogCommands();
    void projectPanelTabOrder();
    void fileDialogFilters_data();
    void fileDialogFilters();

private:
    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<TSDIAppForm> window;
    ScriptedPrompts* prompts = nullptr;
};

void MainWindowTest::startsEmptyWithTheCommandTable() {
    TSDIAppForm& w = *window;
    QCOMPARE(w.objectName(), QStringLiteral("TSDIAppForm"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Digital Concret Test Hammer Halvorn Instruments V1.2"));
    QCOMPARE(w.minimumSize(), QSize(800, 600));
    QCOMPARE(QDir::currentPath(), QDir::currentPath());
    QCOMPARE(component_list(w)->rowCount(), 0);
    QCOMPARE(current_row(w), -1);
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("New Project"));
    for (QLineEdit* box : {box(w, "txt_fcue"), box(w, "txt_fcumin"), box(w, "txt_mfcu"), box(w, "txt_sfcu")}) {
        QCOMPARE(box->text(), QStringLiteral("0.0"));
    }
    QCOMPARE(grid_rows(w), 2);
    QCOMPARE(area_table(w)->columnCount(), 22);
    QCOMPARE(grid_text(w, 17, 0), QStringLiteral("Carb.\nDepth"));
    QCOMPARE(grid_text(w, 21, 0), QStringLiteral("Fcu\n(MPa)"));
    QCOMPARE(grid_text(w, 18, 0), QStringLiteral("Rm\n"));
    QCOMPARE(grid_text(w, 5, 0), QStringLiteral("5"));

    // Menus as the operator sees them: hidden entries do not show.
    const QList<QAction*> top = w.menuBar()->actions();
    QCOMPARE(top.size(), 4);
    QCOMPARE(top[3]->text(), QStringLiteral("Abort(&A)"));
    QCOMPARE(visible_entries(menu(w, "File1")),
             (QStringList{"New Project(&N)", "Open Project(&O)", "Recent Projects(&R)", "Save(&S)", "Save as(&A)...",
                          "-", "-", "Print(&P)", "Print Setup(&U)", "Print Preview(&V)", "Test Records(&T)", "-",
                          "Language(&L)", "-", "Quit(&X)"}));
    QCOMPARE(visible_entries(menu(w, "Edit1")),
             (QStringList{"Undo", "Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "Edit Test Data(&D)"}));
    QCOMPARE(visible_entries(menu(w, "Data1")), (QStringList{"Import Component(&I)", "Delete Component(&D)", "-",
                                                             "Create Strength Curve(&B)", "Batch Inspection(&G)"}));
    QCOMPARE(visible_entries(menu(w, "pm_components")), (QStringList{"Import Component(&I)", "Delect Component(&D)"}));
    const QAction* caculateItem = w.findChild<QAction*>(QStringLiteral("act_single_caculate_item"));
    QVERIFY(caculateItem != nullptr);
    QCOMPARE(caculateItem->text(), QStringLiteral("Caculate(&S)"));
    QVERIFY(!caculateItem->isVisible());
    QVERIFY(!caculateItem->isEnabled());
    QVERIFY(!child<QToolBar>(w, "ToolBar1")->isVisibleTo(&w));
    QVERIFY(!child<QToolBar>(w, "ToolBar1")->isEnabled());
    QVERIFY(!action(w, "EditCut1")->isEnabled());
    QVERIFY(!action(w, "EditCopy1")->isEnabled());
    QCOMPARE(action(w, "FileNew1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    QCOMPARE(action(w, "FileNew1")->statusTip(), QStringLiteral("Create a new project"));
    QVERIFY(prompts->messages.isEmpty());
}

void MainWindowTest::evaluatesWithTheCurveTheStartFolderNames() {
    // The first window wrote the default settings, which choose no curve: the
    // standard curve of the start folder's curve folder is the one used (not
    // a file named after the default entry).
    QVERIFY(QFileInfo::exists(folder->file(QStringLiteral("Setting/setting.ini"))));
    QVERIFY(folder->installCurve(QStringLiteral("normal.cuv")));
    window = make_window(prompts);
    CurveProblem problem;
    QVERIFY(window->Document().evaluationCurve().get(&problem) == nullptr);
    QCOMPARE(problem.name, std::string("normal.cur"));
    QVERIFY(folder->installCurve());
    const Strength_Curve* used = window->Document().evaluationCurve().get();
    QVERIFY(used != nullptr);
    QFile file(folder->file(QStringLiteral("curve/normal.cur")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    Strength_Curve expected;
    std::istringstream in(file.readAll().toStdString());
    expected.read_from(in);
    QCOMPARE(*used, expected);
}

void MainWindowTest::importSaveAndOpenAgain() {
    TSDIAppForm& w = *window;
    const QString device = folder->file(QStringLiteral("B12.cmp"));
    write_file(platform::to_path(device),
               device_record("B12",
                             {device_area(30, 3, 31.84f, 25.36f), device_area(35, 0, 36.26f, 30.04f),
                              device_area(40, 13, 41.0f, 0.0f)},
                             -1, 1, 27.26f, 21.5f, 3.04f, 22.95f));
    prompts->openAnswers = {device};
    trigger(w, "act_import_component");

    QCOMPARE(prompts->openFilters,
             QStringList{QStringLiteral("Component(*.cmp;*.tmp;*.CMP;*.TMP;)|*.cmp;*.tmp;*.CMP;*.TMP;)")});
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(list_column(w, 0), QStringList{"1"});
    QCOMPARE(list_column(w, 1), QStringList{"B12"});
    QCOMPARE(list_column(w, 2), QStringList{platform::to_qstring(platform::file_creation_date(
                                    platform::to_path(device), test::fixed_clock()))});
    QCOMPARE(current_row(w), 0);
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("B12"));
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("3"));
    QCOMPARE(box(w, "txt_mfcu")->text(), QStringLiteral("27.3"));
    QCOMPARE(box(w, "txt_fcumin")->text(), QStringLiteral("21.5"));
    QCOMPARE(box(w, "txt_sfcu")->text(), QStringLiteral("3.0"));
    QCOMPARE(box(w, "txt_fcue")->text(), QStringLiteral("23.0"));
    QCOMPARE(box(w, "txt_curve_filename")->text(), QStringLiteral("normal.cur"));
    QVERIFY(child<QCheckBox>(w, "chk_pump_tag")->isChecked());
    QCOMPARE(grid_rows(w), 4);
    QCOMPARE(grid_text(w, 0, 2), QStringLiteral("2"));
    QCOMPARE(grid_text(w, 1, 2), QStringLiteral("35"));
    QCOMPARE(grid_text(w, 17, 1), QStringLiteral("1.0"));
    QCOMPARE(grid_text(w, 18, 2), QStringLiteral("36.3"));
    QCOMPARE(grid_text(w, 19, 2), QStringLiteral("-30"));
    QCOMPARE(grid_text(w, 20, 3), QStringLiteral("Downwards"));
    QCOMPARE(grid_text(w, 21, 1), QStringLiteral("25.4"));
    QCOMPARE(grid_text(w, 21, 3), QStringLiteral("0.0"));

    // Header texts typed into the project panel reach the file on Save.
    QTest::keyClicks(box(w, "txt_report_serial"), QStringLiteral("R-2026-17"));
    box(w, "txt_supervision_unit")->setText(QString::fromUtf8("监理公司"));
    child<QDateEdit>(w, "dt_agent_date")->setDate(QDate(2026, 3, 4));
    prompts->saveAnswers = {folder->file(QStringLiteral("site"))};
    trigger(w, "FileSave1");
    QCOMPARE(prompts->saveFilters, QStringList{QStringLiteral("Project(*.prj)|*.prj|All Files(*.*)|*.*")});
    QCOMPARE(w.Document().fileName(), folder->file(QStringLiteral("site.prj")));
    QVERIFY(prompts->messages.isEmpty());
    const ReboundFile saved = doc_project(w);
    QCOMPARE(saved.report_serial, std::string("R-2026-17"));
    QCOMPARE(saved.agent_date, platform::format_date({2026, 3, 4}));

    prompts->questionAnswers = {QMessageBox::No};
    trigger(w, "FileNew1");
    QCOMPARE(component_list(w)->rowCount(), 0);
    QCOMPARE(box(w, "txt_report_serial")->text(), QString());

    prompts->openAnswers = {folder->file(QStringLiteral("site.prj"))};
    trigger(w, "FileOpen1");
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(doc_project(w) == saved);
    QCOMPARE(box(w, "txt_report_serial")->text(), QStringLiteral("R-2026-17"));
    QCOMPARE(box(w, "txt_supervision_unit")->text(), QString::fromUtf8("监理公司"));
    QCOMPARE(child<QDateEdit>(w, "dt_agent_date")->date(), QDate(2026, 3, 4));
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("B12"));
    QCOMPARE(grid_text(w, 18, 2), QStringLiteral("36.3"));
}

void MainWindowTest::newProject_data() {
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("saveAnswer");
    QTest::addColumn<int>("componentsAfter");
    QTest::addColumn<bool>("fileWritten");
    QTest::addColumn<QString>("message");
    QTest::newRow("yes, saved") << int(QMessageBox::Yes) << "kept" << 0 << true << "";
    QTest::newRow("yes, dialog cancelled") << int(QMessageBox::Yes) << "" << 3 << false << "";
    QTest::newRow("yes, write fails")
        << int(QMessageBox::Yes) << "no/such/folder/kept" << 3 << false << "Save Project Fail!";
    QTest::newRow("no") << int(QMessageBox::No) << "" << 0 << false << "";
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << "" << 3 << false << "";
}

void MainWindowTest::newProject() {
    QFETCH(int, answer);
    QFETCH(QString, saveAnswer);
    QFETCH(int, componentsAfter);
    QFETCH(bool, fileWritten);
    QFETCH(QString, message);
    TSDIAppForm& w = *window;
    load_project(w,
                 {component_with_areas("A", 2), component_with_areas("B", 3), component_with_areas("C", 1)});
    // An edit of the project panel: the project has unsaved changes, and it
    // has no file yet, so Yes asks for a name.
    box(w, "txt_project_name")->setText(QStringLiteral("Bridge"));
    prompts->questionAnswers = {static_cast<QMessageBox::StandardButton>(answer)};
    if (!saveAnswer.isEmpty()) {
        prompts->saveAnswers = {folder->file(saveAnswer)};
    }

    trigger(w, "FileNew1");

    QCOMPARE(prompts->questions.value(0), QStringLiteral("Message|Save changes to current project?"));
    QCOMPARE(int(doc_project(w).component_count()), componentsAfter);
    QCOMPARE(component_list(w)->rowCount(), componentsAfter);
    QCOMPARE(QFileInfo::exists(folder->file(QStringLiteral("kept.prj"))), fileWritten);
    // A failed write names the file on a second line and offers Save As
    // (declined here).
    QCOMPARE(prompts->questions.size(), message.isEmpty() ? 1 : 2);
    QVERIFY(prompts->messages.isEmpty());
    if (!message.isEmpty()) {
        QVERIFY2(prompts->questions[1].startsWith(QStringLiteral("Digital Concret Test Hammer|") + message +
                                                  QLatin1Char('\n') +
                                                  QDir::toNativeSeparators(folder->file(
                                                      QStringLiteral("no/such/folder/kept.prj")))),
                 qPrintable(prompts->questions[1]));
    }
    if (componentsAfter == 0) {
        QCOMPARE(current_row(w), -1);
        QVERIFY(w.Document().fileName().isEmpty());
        QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("New Project"));
        QCOMPARE(child<QDateEdit>(w, "dt_agent_date")->date(), QDate(2026, 12, 10));
        QCOMPARE(grid_rows(w), 2);
        QCOMPARE(grid_text(w, 1, 1), QString());
        QCOMPARE(box(w, "txt_component_name")->text(), QString());
    } else {
        QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("Bridge"));
        QCOMPARE(current_row(w), 0);
    }
    if (fileWritten) {
        ReboundFile written;
        QVERIFY(written.load(platform::to_path(folder->file(QStringLiteral("kept.prj"))), test::today()));
        QCOMPARE(written.project_name, std::string("Bridge"));
        QCOMPARE(int(written.component_count()), 3);
    }
}

void MainWindowTest::deleteComponentOnTheLastOfThree() {
    TSDIAppForm& w = *window;
    load_project(w,
                 {component_with_areas("A", 2), component_with_areas("B", 3), component_with_areas("C", 4)});
    w.Document().setListChecked(1, false);
    QCOMPARE(component_list(w)->item(1, 0)->data(Qt::UserRole).toInt(), 0);  // the list mirrors the flag
    select_row(w, 2);
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("C"));

    trigger(w, "act_remove_component");

    QCOMPARE(list_column(w, 0), (QStringList{"1", "2"}));
    QCOMPARE(list_column(w, 1), (QStringList{"A", "B"}));
    QCOMPARE(current_row(w), 0);
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("A"));
    QCOMPARE(grid_rows(w), 3);
    QCOMPARE(int(doc_project(w).components[1].list_checked), 0);
}

void MainWindowTest::deleteComponentNeedsASelectionAndTwoComponents() {
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", 2)});
    trigger(w, "act_remove_component");
    QCOMPARE(int(doc_project(w).component_count()), 1);

    load_project(w, {component_with_areas("A", 2), component_with_areas("B", 2)});
    component_list(w)->clearSelection();
    trigger(w, "act_remove_component");
    QCOMPARE(int(doc_project(w).component_count()), 2);
    // The panels keep showing the component that was current.
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("A"));
    QVERIFY(prompts->messages.isEmpty());
}

void MainWindowTest::onlyTheLeftButtonSelectsARow() {
    TSDIAppForm& w = *window;
    load_project(w,
                 {component_with_areas("A", 1), component_with_areas("B", 2), component_with_areas("C", 3)});
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Clicks go to the window as the platform delivers them, so that a right
    // press also brings the pop-up menu.
    QWidget* viewport = component_list(w)->viewport();
    const QPoint onRow2 =
        viewport->mapTo(&w, component_list(w)->visualItemRect(component_list(w)->item(2, 1)).center());

    QTest::mouseClick(w.windowHandle(), Qt::RightButton, {}, onRow2);
    QCOMPARE(current_row(w), 0);
    QCOMPARE(component_list(w)->selectedItems().first()->row(), 0);
    QTRY_VERIFY(menu(w, "pm_components")->isVisible());  // the pop-up acts on row 0
    menu(w, "pm_components")->close();

    QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, onRow2);
    QCOMPARE(current_row(w), 2);
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("C"));
    QCOMPARE(grid_rows(w), 4);
}

void MainWindowTest::createComponentAndAreas() {
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", 3)});
    QCOMPARE(grid_rows(w), 4);
    trigger(w, "act_create_area");
    QCOMPARE(grid_rows(w), 5);
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("4"));
    QCOMPARE(grid_text(w, 1, 4), QStringLiteral("0"));
    trigger(w, "act_remove_area");
    QCOMPARE(grid_rows(w), 4);
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("3"));

    trigger(w, "act_create_component");
    QCOMPARE(list_column(w, 1), (QStringList{"A", "New Component"}));
    QCOMPARE(current_row(w), 1);
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("1"));
    trigger(w, "act_remove_area");
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("0"));
    QCOMPARE(grid_rows(w), 2);
    QCOMPARE(grid_text(w, 1, 1), QString());
    trigger(w, "act_remove_area");  // nothing left to remove
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("0"));
}

void MainWindowTest::saveAsAppendsTheProjectExtension_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "site"
                                  << "site.prj";
    QTest::newRow("upper case") << "site.PRJ"
                                << "site.PRJ.prj";
    QTest::newRow("exact") << "site.prj"
                           << "site.prj";
    QTest::newRow("other extension") << "site.txt"
                                     << "site.txt.prj";
    QTest::newRow("dot in the folder") << "v1.2/site"
                                       << "v1.2/site.prj";
}

void MainWindowTest::saveAsAppendsTheProjectExtension() {
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QDir(folder->path()).mkpath(QStringLiteral("v1.2"));
    TSDIAppForm& w = *window;
    w.Document().setFileName(folder->file(QStringLiteral("earlier.prj")));
    prompts->saveAnswers = {folder->file(typed)};
    trigger(w, "FileSaveAs1");
    QCOMPARE(w.Document().fileName(), folder->file(written));
    QVERIFY(QFileInfo::exists(folder->file(written)));
    QVERIFY(prompts->messages.isEmpty());

    // Cancelling Save As keeps the name and writes nothing.
    QFile::remove(folder->file(written));
    trigger(w, "FileSaveAs1");
    QCOMPARE(w.Document().fileName(), folder->file(written));
    QVERIFY(!QFileInfo::exists(folder->file(written)));
    QVERIFY(prompts->messages.isEmpty());
}

void MainWindowTest::saveWithAFileNameWritesThePanelAsItStands() {
    TSDIAppForm& w = *window;
    w.Document().setFileName(folder->file(QStringLiteral("named.prj")));
    QTest::keyClicks(box(w, "txt_examine_serial"), QStringLiteral("M-77"));
    type_text(box(w, "txt_concrete_producer"), QString::fromUtf8("搅拌站"));
    trigger(w, "FileSave1");
    QVERIFY(prompts->saveFilters.isEmpty());  // no dialog
    ReboundFile written;
    QVERIFY(written.load(platform::to_path(w.Document().fileName()), test::today()));
    QCOMPARE(written.examine_serial, std::string("M-77"));
    QCOMPARE(platform::to_qstring(written.concrete_producer), QString::fromUtf8("搅拌站"));
}

void MainWindowTest::typingANameUpdatesTheListKeyByKey() {
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", 1), component_with_areas("B", 1)});
    select_row(w, 1);
    box(w, "txt_component_name")->clear();
    const QString typed = QStringLiteral("KL-3");
    for (int i = 0; i < typed.size(); ++i) {
        QTest::keyClick(box(w, "txt_component_name"), typed[i].toLatin1());
        QCOMPARE(component_list(w)->item(1, 1)->text(), typed.left(i + 1));
        QCOMPARE(platform::to_qstring(doc_project(w).components[1].component_name), typed.left(i + 1));
    }
    QCOMPARE(component_list(w)->item(0, 1)->text(), QStringLiteral("A"));
    QCOMPARE(doc_project(w).components[0].component_name, std::string("A"));
}

void MainWindowTest::panelEditsGoToTheCurrentComponentOnly() {
    TSDIAppForm& w = *window;
    // With no component, panel edits change nothing.
    QTest::keyClicks(box(w, "txt_component_name"), QStringLiteral("X"));
    QTest::keyClicks(box(w, "txt_component_condition"), QStringLiteral("Y"));
    child<QCheckBox>(w, "chk_pump_tag")->click();
    QCOMPARE(int(doc_project(w).component_count()), 0);
    QCOMPARE(component_list(w)->rowCount(), 0);

    ComponentInfo pumped = component_with_areas("A", 1);
    pumped.pump_tag = 1;
    ComponentInfo plain = component_with_areas("B", 1);
    plain.pump_tag = 0;
    load_project(w, {pumped, plain});
    QVERIFY(child<QCheckBox>(w, "chk_pump_tag")->isChecked());
    select_row(w, 1);
    QVERIFY(!child<QCheckBox>(w, "chk_pump_tag")->isChecked());
    QCOMPARE(int(doc_project(w).components[0].pump_tag), 1);
    QCOMPARE(int(doc_project(w).components[1].pump_tag), 0);
    QCOMPARE(doc_project(w).components[1].component_name, std::string("B"));

    child<QCheckBox>(w, "chk_pump_tag")->click();
    QCOMPARE(int(doc_project(w).components[1].pump_tag), 1);
    box(w, "txt_component_condition")->selectAll();
    type_text(box(w, "txt_component_condition"), QString::fromUtf8("柱 3"));
    QCOMPARE(platform::to_qstring(doc_project(w).components[1].component_condition), QString::fromUtf8("柱 3"));
    QVERIFY(doc_project(w).components[0].component_condition.empty());
}

void MainWindowTest::gridTexts_data() {
    QTest::addColumn<int>("carbonation");
    QTest::addColumn<int>("angle");
    QTest::addColumn<int>("surface");
    QTest::addColumn<QString>("depthText");
    QTest::addColumn<QString>("angleText");
    QTest::addColumn<QString>("sideText");
    QTest::newRow("unmeasured, level") << 0 << 0 << 0 << "-.-"
                                       << "0"
                                       << "Horizontal";
    QTest::newRow("first depth, 30") << 1 << 1 << 1 << "0.0"
                                     << "30"
                                     << "Downwards";
    QTest::newRow("last depth, -30") << 12 << 2 << 2 << "5.5"
                                     << "-30"
                                     << "Upwards";
    QTest::newRow("beyond 6 mm, -90") << 13 << 8 << 2 << "> 6.0"
                                      << "-90"
                                      << "Upwards";
    QTest::newRow("out of range") << 200 << 9 << 5 << "> 6.0"
                                  << "0"
                                  << "Upwards";
    QTest::newRow("angle 45") << 4 << 3 << 0 << "1.5"
                              << "45"
                              << "Horizontal";
}

void MainWindowTest::gridTexts() {
    QFETCH(int, carbonation);
    QFETCH(int, angle);
    QFETCH(int, surface);
    QFETCH(QString, depthText);
    QFETCH(QString, angleText);
    QFETCH(QString, sideText);
    ComponentInfo c(test::today());
    AreaData a;
    a.readings.fill(255);
    a.readings[0] = 0;
    a.carbonation_index = static_cast<std::uint8_t>(carbonation);
    a.angle_index = static_cast<std::uint8_t>(angle);
    a.surface_index = static_cast<std::uint8_t>(surface);
    a.mean_rebound = 36.26f;
    a.area_strength = 0.0f;
    c.add_area(a);
    load_project(*window, {c});
    const TSDIAppForm& w = *window;
    QCOMPARE(grid_text(w, 0, 1), QStringLiteral("1"));
    QCOMPARE(grid_text(w, 1, 1), QStringLiteral("0"));
    QCOMPARE(grid_text(w, 16, 1), QStringLiteral("255"));
    QCOMPARE(grid_text(w, 17, 1), depthText);
    QCOMPARE(grid_text(w, 18, 1), QStringLiteral("36.3"));
    QCOMPARE(grid_text(w, 19, 1), angleText);
    QCOMPARE(grid_text(w, 20, 1), sideText);
    QCOMPARE(grid_text(w, 21, 1), QStringLiteral("0.0"));
    QCOMPARE(area_table(w)->item(0, 5)->textAlignment(), int(Qt::AlignCenter));
}

void MainWindowTest::gridRowCounts_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("rowsFirst");
    QTest::addColumn<int>("rowsSecond");
    QTest::newRow("none, one") << 0 << 1 << 2 << 2;
    QTest::newRow("two, twelve") << 2 << 12 << 3 << 13;
    QTest::newRow("twelve, one") << 12 << 1 << 13 << 2;
    QTest::newRow("hundred, none") << 100 << 0 << 101 << 2;
}

void MainWindowTest::gridRowCounts() {
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, rowsFirst);
    QFETCH(int, rowsSecond);
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", first), component_with_areas("B", second)});
    QCOMPARE(grid_rows(w), rowsFirst);
    select_row(w, 1);
    QCOMPARE(grid_rows(w), rowsSecond);
    QCOMPARE(area_table(w)->rowCount(), rowsSecond - 1);
    // No reading of the previous component stays on screen.
    for (int r = 1; r < rowsSecond; ++r) {
        const QString expected = r <= second ? QString::number(30 + r - 1) : QString();
        QCOMPARE(grid_text(w, 1, r), expected);
    }
    QCOMPARE(area_table(w)->rowHeight(0), 30);
    QCOMPARE(area_table(w)->columnWidth(17), 71);
    QCOMPARE(area_table(w)->columnWidth(20), 85);
}

// The file type registered by the installer starts the window with the
// project file: it opens as with Open, under any name.
void MainWindowTest::projectFileGivenAtStartOpens() {
    TSDIAppForm& w = *window;
    const ReboundFile project = test::sample_project(2, 3);
    const QString path = folder->file(QString::fromUtf8("工程 😀.prj"));
    QVERIFY(project.save(platform::to_path(path)));
    w.OpenFiles({path});
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(w.Document().fileName(), path);
    QVERIFY(doc_project(w) == project);
    QCOMPARE(component_list(w)->rowCount(), 2);
}

void MainWindowTest::failureMessages() {
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", 2)});

    // A text file is no project: the message names the file, and the
    // project, its file name and the window stay as they were.
    const QString text = folder->file(QStringLiteral("notes.prj"));
    write_file(platform::to_path(text), "this is not a project file\n");
    w.Document().setFileName(folder->file(QStringLiteral("before.prj")));
    prompts->openAnswers = {text};
    trigger(w, "FileOpen1");
    QCOMPARE(prompts->messages.size(), 1);
    // It says so first; what the reader found follows on a line of its own.
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Open Project Fail!\n") + QDir::toNativeSeparators(text) +
                                             QStringLiteral(" is not a project file.\n")),
             qPrintable(prompts->messages[0]));
    QCOMPARE(w.Document().fileName(), folder->file(QStringLiteral("before.prj")));
    QCOMPARE(component_list(w)->rowCount(), int(doc_project(w).component_count()));
    QCOMPARE(int(doc_project(w).component_count()), 1);
    QCOMPARE(box(w, "txt_project_name")->text(), platform::to_qstring(doc_project(w).project_name));

    // A device file cut short adds nothing.
    load_project(w, {component_with_areas("A", 2), component_with_areas("B", 1)});
    prompts->messages.clear();
    const QString cut = folder->file(QStringLiteral("cut.cmp"));
    write_file(platform::to_path(cut), device_record("B1", {device_area(30, 1, 30, 20)}, 3));
    prompts->openAnswers = {cut};
    trigger(w, "act_import_component");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Import Component Fail!\ncut.cmp: ")),
             qPrintable(prompts->messages[0]));
    QCOMPARE(int(doc_project(w).component_count()), 2);

    // A file that cannot be opened adds nothing and is named in the message.
    prompts->messages.clear();
    prompts->openAnswers = {folder->file(QStringLiteral("missing.cmp"))};
    trigger(w, "act_import_component");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Import Component Fail!\nmissing.cmp: ")),
             qPrintable(prompts->messages[0]));
    QCOMPARE(int(doc_project(w).component_count()), 2);

    // A save into a folder that does not exist says why and offers Save As;
    // taken, the project is written where the operator chooses.
    prompts->messages.clear();
    w.Document().setFileName(folder->file(QStringLiteral("no/such/folder/x.prj")));
    prompts->questionAnswers = {QMessageBox::Yes};
    prompts->saveAnswers = {folder->file(QStringLiteral("elsewhere"))};
    trigger(w, "FileSave1");
    QVERIFY(prompts->messages.isEmpty());
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(prompts->questions[0],
             QStringLiteral("Digital Concret Test Hammer|Save Project Fail!\n") +
                 QDir::toNativeSeparators(folder->file(QStringLiteral("no/such/folder/x.prj"))) +
                 QStringLiteral(": the folder ") + QDir::toNativeSeparators(folder->file(QStringLiteral("no/such/folder"))) +
                 QStringLiteral(" does not exist\n\nSave the project under another name?"));
    QCOMPARE(w.Document().fileName(), folder->file(QStringLiteral("elsewhere.prj")));
    QVERIFY(QFileInfo::exists(folder->file(QStringLiteral("elsewhere.prj"))));
    QVERIFY(!w.Document().isModified());
}

void MainWindowTest::unreadableDatesAreNamedOnceAndKept() {
    TSDIAppForm& w = *window;
    ReboundFile project;
    project.agent_date = "31.31.31 nonsense";
    project.report_serial = "R-9";
    project.examine_condition = "after";
    ComponentInfo c = component_with_areas("A", 1);
    c.examine_date = "2026-7-15";  // year first: read all the same
    project.add_component(c);
    const QString path = folder->file(QStringLiteral("other.prj"));
    QVERIFY(project.save(platform::to_path(path)));

    prompts->openAnswers = {path};
    trigger(w, "FileOpen1");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].contains(QStringLiteral("Measurement date")),
             qPrintable(prompts->messages[0]));
    QVERIFY(prompts->messages[0].contains(QStringLiteral("31.31.31 nonsense")));
    QCOMPARE(child<QDateEdit>(w, "dt_agent_date")->date(), QDate(2026, 12, 10));
    QCOMPARE(box(w, "txt_report_serial")->text(), QStringLiteral("R-9"));
    QCOMPARE(box(w, "txt_examine_condition")->text(), QStringLiteral("after"));
    QCOMPARE(doc_project(w).agent_date, std::string("31.31.31 nonsense"));
    QCOMPARE(child<QDateEdit>(w, "dt_examine_date")->date(), QDate(2026, 7, 15));
    QCOMPARE(w.Document().fileName(), path);

    // A component's unreadable date shows today without another message; the
    // panel still shows that component.
    std::vector<ComponentInfo> late{component_with_areas("Z", 2)};
    late[0].examine_date = "soon";
    w.Document().appendComponents(std::move(late), QStringLiteral("Import Component"));
    select_row(w, 1);
    QCOMPARE(prompts->messages.size(), 1);
    QCOMPARE(child<QDateEdit>(w, "dt_examine_date")->date(), QDate(2026, 12, 10));
    QCOMPARE(current_row(w), 1);
    QCOMPARE(grid_rows(w), 3);
    QTest::keyClicks(box(w, "txt_component_name"), QStringLiteral("9"));
    QCOMPARE(doc_project(w).components[1].component_name, std::string("Z9"));

    // Saving keeps both texts as they were: today is never written in their place.
    trigger(w, "FileSave1");
    QCOMPARE(prompts->messages.size(), 1);
    ReboundFile saved;
    QVERIFY(saved.load(platform::to_path(path), "today"));
    QCOMPARE(saved.agent_date, std::string("31.31.31 nonsense"));
    QCOMPARE(saved.components[1].examine_date, std::string("soon"));
    QCOMPARE(saved.components[0].examine_date, std::string("2026-7-15"));

    // A date the operator picks replaces the text.
    child<QDateEdit>(w, "dt_agent_date")->setDate(QDate(2026, 1, 2));
    trigger(w, "FileSave1");
    QVERIFY(saved.load(platform::to_path(path), "today"));
    QCOMPARE(saved.agent_date, platform::format_date({2026, 1, 2}));
}

void MainWindowTest::exportComponent() {
    TSDIAppForm& w = *window;
    load_project(w, {component_with_areas("A", 2), component_with_areas("B", 3)});
    component_list(w)->clearSelection();
    trigger(w, "act_export_component");
    QVERIFY(prompts->saveFilters.isEmpty());  // nothing selected: no dialog

    select_row(w, 1);
    prompts->saveAnswers = {folder->file(QStringLiteral("beam"))};
    trigger(w, "act_export_component");
    QCOMPARE(prompts->saveFilters, QStringList{QString()});
    const Result<ComponentInfo> back = import_component_file(
        platform::to_path(folder->file(QStringLiteral("beam.xcmp"))), test::fixed_clock());
    QVERIFY(back);
    QVERIFY(*back == doc_project(w).components[1]);
}

void MainWindowTest::editCommandsFollowFocusSelectionAndClipboard() {
    TSDIAppForm& w = *window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QApplication::clipboard()->clear();
    box(w, "txt_project_name")->setFocus();
    box(w, "txt_project_name")->setText(QStringLiteral("Harbour"));
    box(w, "txt_project_name")->deselect();
    QTRY_VERIFY(box(w, "txt_project_name")->hasFocus());
    QVERIFY(!action(w, "EditCut1")->isEnabled());
    QVERIFY(!action(w, "EditCopy1")->isEnabled());
    QVERIFY(!action(w, "EditPaste1")->isEnabled());

    box(w, "txt_project_name")->setSelection(0, 4);
    QVERIFY(action(w, "EditCut1")->isEnabled());
    QVERIFY(action(w, "EditCopy1")->isEnabled());
    trigger(w, "EditCut1");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Harb"));
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("our"));
    QVERIFY(action(w, "EditPaste1")->isEnabled());
    box(w, "txt_project_name")->setCursorPosition(3);
    trigger(w, "EditPaste1");
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("ourHarb"));

    // A read-only box offers Copy only.
    box(w, "txt_fcue")->setFocus();
    QTRY_VERIFY(box(w, "txt_fcue")->hasFocus());
    box(w, "txt_fcue")->selectAll();
    QVERIFY(action(w, "EditCopy1")->isEnabled());
    QVERIFY(!action(w, "EditCut1")->isEnabled());
    QVERIFY(!action(w, "EditPaste1")->isEnabled());
}

void MainWindowTest::shortcutsAndDialogCommands() {
    TSDIAppForm& w = *window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    box(w, "txt_examine_basis")->setFocus();
    QTRY_VERIFY(box(w, "txt_examine_basis")->hasFocus());
    // A typed standard is an unsaved change: New and Open ask first (Cancel,
    // then No), and so does Quit (No).
    QTest::keyClicks(box(w, "txt_examine_basis"), QStringLiteral("JGJ"));
    prompts->questionAnswers = {QMessageBox::Cancel, QMessageBox::No, QMessageBox::No};
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(prompts->questions.size(), 1);
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(prompts->questions.size(), 2);
    QCOMPARE(prompts->openFilters.size(), 1);
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(prompts->saveFilters.size(), 1);

    trigger(w, "HelpAbout1");
    QCOMPARE(prompts->modalDialogs, QStringList{"AboutBox"});
    trigger(w, "FilePrintSetup1");
    QCOMPARE(prompts->printSetups, 1);
    trigger(w, "FileExit1");
    QVERIFY(!w.isVisible());
}

void MainWindowTest::projectPanelTabOrder() {
    TSDIAppForm& w = *window;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QList<QWidget*> order = {box(w, "txt_project_name"),     box(w, "txt_report_serial"),     box(w, "txt_examine_serial"),
                                   box(w, "txt_examine_basis"),    box(w, "txt_examine_condition"), box(w, "txt_agent_unit"),
                                   child<QDateEdit>(w, "dt_agent_date"),        box(w, "txt_project_address"),   box(w, "txt_supervision_unit"),
                                   box(w, "txt_concrete_producer")};
    order.first()->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), order.first());
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), order[i]);
    }
}

void MainWindowTest::fileDialogFilters_data() {
    QTest::addColumn<QString>("pairs");
    QTest::addColumn<QString>("qt");
    QTest::newRow("project") << "Project(*.prj)|*.prj|All Files(*.*)|*.*"
                             << "Project(*.prj) (*.prj);;All Files(*.*) (*.*)";
    QTest::newRow("component, stray parenthesis")
        << "Component(*.cmp;*.tmp;*.CMP;*.TMP;)|*.cmp;*.tmp;*.CMP;*.TMP;)"
        << "Component(*.cmp;*.tmp;*.CMP;*.TMP;) (*.cmp *.tmp *.CMP *.TMP)";
    QTest::newRow("excel") << "Excel(*.xls)|*.xls"
                           << "Excel(*.xls) (*.xls)";
    QTest::newRow("none") << ""
                          << "";
}

void MainWindowTest::fileDialogFilters() {
    QFETCH(QString, pairs);
    QFETCH(QString, qt);
    QCOMPARE(qt_file_filter(pairs), qt);
}

QTEST_MAIN(MainWindowTest)
#include "ui_main_window_test.moc"
