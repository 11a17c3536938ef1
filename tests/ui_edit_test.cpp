// Edit mode of the main window: the menus with it off and on, typing a
// reading with the figures following and Undo giving them back, and a
// component entered by hand from nothing that saves and reopens.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include "model/number_text.h"
#include "ui/window_settings.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

// One area whose readings rise from 30 by 1: the mean of the middle ten is
// 37.5.
ComponentInfo rising_component() {
    ComponentInfo c(today());
    c.component_name = "KZ-1";
    AreaData a;
    for (std::size_t k = 0; k < a.readings.size(); ++k) {
        a.readings[k] = static_cast<std::uint8_t>(30 + k);
    }
    a.carbonation_index = 3;
    a.mean_rebound = 37.5f;
    a.area_strength = 77.7f;  // as an instrument might have reported it
    c.add_area(a);
    return c;
}

}  // namespace

class EditModeTest : public QObject, private WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestCase(); }
    void init() { start(); }
    void cleanup() { stop(); }

    void offShowsTheDocumentedWindowOnShowsTheEditCommands();
    void typedReadingRecalculatesAndUndoGivesTheFiguresBack();
    void withoutACurveTheEditStandsAndSaysWhy();
    void componentEnteredByHandSavesAndReopens();
    void settingsThatCannotBeWrittenAreSaidOnce();
    void undoInATextBoxUndoesTheDocumentsSteps();

private:
    void startEditing() {
        action(*window, "EditTestData1")->setChecked(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
};

void EditModeTest::offShowsTheDocumentedWindowOnShowsTheEditCommands() {
    TSDIAppForm& w = *window;
    QAction* editMode = action(w, "EditTestData1");
    QVERIFY(editMode->isCheckable());
    QVERIFY(!editMode->isChecked());  // off at the first start
    // The documented entries, and the tools that are always offered.
    const QStringList documented{"Import Component(&I)", "Delete Component(&D)", "-", "Create Strength Curve(&B)",
                                 "Batch Inspection(&G)"};
    QCOMPARE(visible_entries(menu(w, "Data1")), documented);
    QCOMPARE(area_table(w)->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!child<QComboBox>(w, "cb_strength_degree")->isVisibleTo(&w));
    QVERIFY(!child<QDateEdit>(w, "dt_examine_date")->isEnabled());

    editMode->setChecked(true);
    QCOMPARE(visible_entries(menu(w, "Data1")),
             (QStringList{"New Component(&C)", "Import Component(&I)", "Delete Component(&D)", "-", "New Area(&A)",
                          "Delete Area(&R)", "-", "Caculate(&S)", "Load Strength Curve(&L)", "-",
                          "Create Strength Curve(&B)", "Batch Inspection(&G)"}));
    QVERIFY(action(w, "act_single_caculate_item")->isEnabled());
    QVERIFY(area_table(w)->editTriggers() != QAbstractItemView::NoEditTriggers);
    QVERIFY(child<QComboBox>(w, "cb_strength_degree")->isVisibleTo(&w));
    QVERIFY(child<QDateEdit>(w, "dt_examine_date")->isEnabled());
    QVERIFY(!child<QToolBar>(w, "ToolBar1")->isVisibleTo(&w));  // the toolbar stays hidden

    // Remembered for the next start, and off again when switched off.
    window = make_window(prompts);
    QVERIFY(action(*window, "EditTestData1")->isChecked());
    QCOMPARE(visible_entries(menu(*window, "Data1")).size(), 12);
    action(*window, "EditTestData1")->setChecked(false);
    QCOMPARE(visible_entries(menu(*window, "Data1")), documented);
    QVERIFY(!action(*window, "act_single_caculate_item")->isEnabled());
    window = make_window(prompts);
    QVERIFY(!action(*window, "EditTestData1")->isChecked());
}

void EditModeTest::typedReadingRecalculatesAndUndoGivesTheFiguresBack() {
    QVERIFY(folder->installCurve());
    ReboundFile p(today());
    p.add_component(rising_component());
    const QString path = folder->file(QStringLiteral("site.prj"));
    QVERIFY(p.save(platform::to_path(path)));
    TSDIAppForm& w = *window;
    w.OpenFiles({path});
    startEditing();
    const QString caption = w.windowTitle();
    QVERIFY(!caption.endsWith(QLatin1Char('*')));
    QCOMPARE(grid_text(w, kGridMeanColumn, 1), QStringLiteral("37.5"));
    QCOMPARE(grid_text(w, kGridStrengthColumn, 1), QStringLiteral("77.7"));
    QCOMPARE(box(w, "txt_mfcu")->text(), QStringLiteral("0.0"));

    // Reading 6 (35) becomes 44: the middle ten are 33, 34, 36 ... 43.
    type_in_cell(w, 6, 1, QStringLiteral("44"));
    QCOMPARE(grid_text(w, 6, 1), QStringLiteral("44"));
    QCOMPARE(grid_text(w, kGridMeanColumn, 1), QStringLiteral("38.3"));
    const AreaData& area = doc_project(w).components[0].areas[0];
    QVERIFY(area.area_strength > 0.0f);
    QCOMPARE(grid_text(w, kGridStrengthColumn, 1), QString::fromStdString(one_decimal(area.area_strength)));
    QVERIFY(grid_text(w, kGridStrengthColumn, 1) != QStringLiteral("77.7"));
    QCOMPARE(box(w, "txt_mfcu")->text(), QString::fromStdString(one_decimal(doc_project(w).components[0].strength_avg)));
    QVERIFY(box(w, "txt_mfcu")->text() != QStringLiteral("0.0"));
    QCOMPARE(w.windowTitle(), caption + QLatin1Char('*'));
    QVERIFY(prompts->messages.isEmpty());

    // One step, named after what it did; Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z.
    QAction* undo = action(w, "EditUndo1");
    QAction* redo = action(w, "EditRedo1");
    QCOMPARE(undo->text(), QStringLiteral("Undo Edit Reading"));
    QCOMPARE(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                     QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    trigger(w, "EditUndo1");
    QCOMPARE(grid_text(w, 6, 1), QStringLiteral("35"));
    QCOMPARE(grid_text(w, kGridMeanColumn, 1), QStringLiteral("37.5"));
    QCOMPARE(grid_text(w, kGridStrengthColumn, 1), QStringLiteral("77.7"));
    QCOMPARE(box(w, "txt_mfcu")->text(), QStringLiteral("0.0"));
    QCOMPARE(w.windowTitle(), caption);
    QVERIFY(doc_project(w) == p);
    QVERIFY(!undo->isEnabled());
    QCOMPARE(redo->text(), QStringLiteral("Redo Edit Reading"));

    trigger(w, "EditRedo1");
    QCOMPARE(grid_text(w, kGridMeanColumn, 1), QStringLiteral("38.3"));
    QCOMPARE(w.windowTitle(), caption + QLatin1Char('*'));

    // Open starts a new history.
    prompts->questionAnswers = {QMessageBox::No};
    w.OpenFiles({path});
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
}

void EditModeTest::withoutACurveTheEditStandsAndSaysWhy() {
    TSDIAppForm& w = *window;
    set_project(w, [] {
        ReboundFile p(today());
        p.add_component(rising_component());
        p.add_component(rising_component());
        return p;
    }());
    startEditing();
    type_in_cell(w, 6, 1, QStringLiteral("44"));
    QCOMPARE(int(doc_project(w).components[0].areas[0].readings[5]), 44);
    // The figures stay as they were, drawn as not recalculated, and the
    // message names the missing curve once.
    QCOMPARE(grid_text(w, kGridMeanColumn, 1), QStringLiteral("37.5"));
    QVERIFY(area_table(w)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool());
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].contains(QStringLiteral("normal.cur")), qPrintable(prompts->messages[0]));
    type_in_cell(w, 7, 1, QStringLiteral("40"));
    QCOMPARE(prompts->messages.size(), 1);

    // The mark is the component's: the grid, the panel and the list show it
    // after switching to another component and back, and Undo of the edits
    // takes it away with them.
    const auto marked = [&] {
        return area_table(w)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool() &&
               !box(w, "txt_mfcu")->toolTip().isEmpty() && !component_list(w)->item(0, 1)->toolTip().isEmpty();
    };
    QVERIFY(marked());
    QVERIFY(component_list(w)->item(1, 1)->toolTip().isEmpty());
    select_row(w, 1);
    QVERIFY(!area_table(w)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool());
    QVERIFY(box(w, "txt_mfcu")->toolTip().isEmpty());
    select_row(w, 0);
    QVERIFY(marked());
    trigger(w, "EditUndo1");
    trigger(w, "EditUndo1");
    QVERIFY(!area_table(w)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool());
    QVERIFY(component_list(w)->item(0, 1)->toolTip().isEmpty());
    trigger(w, "EditRedo1");
    trigger(w, "EditRedo1");
    QVERIFY(marked());

    // The calculation brings them up to date once the curve is there.
    QVERIFY(folder->installCurve());
    trigger(w, "act_single_caculate");
    QVERIFY(!area_table(w)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool());
    QVERIFY(grid_text(w, kGridMeanColumn, 1) != QStringLiteral("37.5"));
}

void EditModeTest::componentEnteredByHandSavesAndReopens() {
    QVERIFY(folder->installCurve());
    TSDIAppForm& w = *window;
    startEditing();

    trigger(w, "act_create_component");
    QCOMPARE(component_list(w)->rowCount(), 1);
    QCOMPARE(current_row(w), 0);
    QLineEdit* name = box(w, "txt_component_name");
    name->selectAll();
    QTest::keyClicks(name, QStringLiteral("Beam 7"));
    child<QDateEdit>(w, "dt_examine_date")->setDate(QDate(2026, 11, 3));
    QComboBox* grade = child<QComboBox>(w, "cb_strength_degree");
    grade->setCurrentIndex(3);
    emit grade->activated(3);  // C35
    child<QCheckBox>(w, "chk_pump_tag")->click();  // not pumped
    trigger(w, "act_create_area");
    QCOMPARE(box(w, "txt_area_number")->text(), QStringLiteral("2"));
    QCOMPARE(grid_rows(w), 3);

    // Sixteen readings, then depth, angle and surface, for each area.
    for (int row = 1; row <= 2; ++row) {
        for (int k = 1; k <= 16; ++k) {
            type_in_cell(w, k, row, QString::number(28 + row * 4 + k % 5));
        }
        const struct {
            int column;
            const char* selector;
            int index;
        } choices[] = {{kGridDepthColumn, "cbDepth_Selected", 2 + row},
                       {kGridAngleColumn, "cbAngle_Selected", row},
                       {kGridSideColumn, "cbSide_Selected", row}};
        for (const auto& choice : choices) {
            click_cell(w, choice.column, row);
            QComboBox* selector = child<QComboBox>(w, choice.selector);
            QVERIFY(selector->isVisible());
            selector->setCurrentIndex(choice.index);
            emit selector->activated(choice.index);
        }
    }
    trigger(w, "act_single_caculate");
    QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(QLatin1Char('\n'))));

    const ComponentInfo entered = doc_project(w).components[0];
    QCOMPARE(entered.component_name, std::string("Beam 7"));
    QCOMPARE(entered.examine_date, platform::format_date(platform::Date{2026, 11, 3}));
    QCOMPARE(int(entered.strength_degree), 3);
    QCOMPARE(int(entered.pump_tag), 0);
    QCOMPARE(int(entered.area_count()), 2);
    QCOMPARE(int(entered.areas[1].readings[0]), 37);  // 28 + 2 x 4 + 1
    QCOMPARE(int(entered.areas[1].carbonation_index), 4);
    QCOMPARE(int(entered.areas[1].angle_index), 2);
    QCOMPARE(int(entered.areas[1].surface_index), 2);
    QVERIFY(entered.strength_avg > 0.0f);
    const QString shownStrength = grid_text(w, kGridStrengthColumn, 2);

    prompts->saveAnswers = {folder->file(QStringLiteral("by hand"))};
    trigger(w, "FileSaveAs1");
    QVERIFY(!w.Document().isModified());
    const ReboundFile saved = doc_project(w);

    window = make_window(prompts);
    window->OpenFiles({folder->file(QStringLiteral("by hand.prj"))});
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(doc_project(*window) == saved);
    QCOMPARE(box(*window, "txt_component_name")->text(), QStringLiteral("Beam 7"));
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 2), shownStrength);
    QCOMPARE(grid_text(*window, kGridAngleColumn, 2), QStringLiteral("-30"));
}

void EditModeTest::settingsThatCannotBeWrittenAreSaidOnce() {
    // A folder where the settings file should be.
    const QString file = window_settings()->fileName();
    QFile::remove(file);
    QVERIFY(QDir().mkpath(file));
    action(*window, "EditTestData1")->setChecked(true);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].contains(QDir::toNativeSeparators(file)), qPrintable(prompts->messages[0]));
    action(*window, "EditTestData1")->setChecked(false);
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(!action(*window, "EditTestData1")->isChecked());
}

void EditModeTest::undoInATextBoxUndoesTheDocumentsSteps() {
    TSDIAppForm& w = *window;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QLineEdit* serial = box(w, "txt_report_serial");
    QLineEdit* name = box(w, "txt_project_name");
    serial->setFocus();
    QTest::keyClicks(serial, QStringLiteral("R-7"));
    name->setFocus();  // leaving the box ends its step
    QTest::keyClicks(name, QStringLiteral("!"));
    QCOMPARE(doc_project(w).project_name, std::string("New Project!"));
    QCOMPARE(action(w, "EditUndo1")->text(), QStringLiteral("Undo Edit Project Header"));

    // Ctrl+Z in the box undoes the step of the document, not the box's own
    // typing; the next one undoes the typing in the other box, all of it.
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(name->text(), QStringLiteral("New Project"));
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(serial->text(), QString());
    QVERIFY(!w.Document().isModified());
    QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(serial->text(), QStringLiteral("R-7"));
    QCOMPARE(doc_project(w).report_serial, std::string("R-7"));
}

QTEST_MAIN(EditModeTest)
#include "ui_edit_test.moc"
