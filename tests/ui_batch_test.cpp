// The batch window driven by its actions, as an operator uses it: the Data
// menu entry, inspection by batch switched on, ticks, cores pasted from a
// spreadsheet, both correction methods, the PDF of the batch report, and
// everything found again after saving and opening the project.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "evaluation/spare_texts.h"
#include "ui/batch_form.h"
#include "ui_window_support.h"

namespace rebound {

using namespace test;

namespace {

ComponentInfo component_of(const char* name, std::initializer_list<double> strengths) {
    ComponentInfo c(today());
    c.component_name = name;
    for (double s : strengths) {
        AreaData a;
        a.converted_strength = static_cast<float>(s);
        a.area_strength = static_cast<float>(s);
        c.add_area(a);
    }
    return c;
}

void trigger_form(TBatchForm& form, const char* name) {
    QAction* action = form.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    action->trigger();
}

}  // namespace

class BatchWindowTest : public QObject, private WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestCase(); }
    void init() {
        start();
        QVERIFY(folder->installTemplate("rebound_batch1.grf"));
        // The figures of the command-line and report tests: ticked 1 and 3
        // give n 20, m 30.0, S 3.6, fe 24.1.
        ReboundFile p(today());
        p.add_component(component_of("KZ-1", {20, 25, 30, 35, 40, 30, 30, 30, 30, 30}));
        p.add_component(component_of("KZ-2", {40, 60, 40, 60, 40, 60, 40, 60, 40, 60}));
        p.add_component(component_of("KZ-3", {30, 30, 30, 30, 30, 30, 30, 30, 30, 30}));
        set_project(*window, p);
    }
    void cleanup() { stop(); }

    void menuEntryOpensTheWindow();
    void batchTicksCoresAndReport();
    void refusedWhenTheSpareTextsHoldSomethingElse();

private:
    TBatchForm& open() {
        trigger(*window, "act_group_caculate");
        return *child<TBatchForm>(*window, "BatchForm");
    }
    QTableWidget* list() { return component_list(*window); }
    const ReboundFile& project() { return doc_project(*window); }
};

void BatchWindowTest::menuEntryOpensTheWindow() {
    QAction* entry = nullptr;
    for (QAction* a : menu(*window, "Data1")->actions()) {
        if (a->objectName() == QLatin1String("act_group_caculate")) entry = a;
    }
    QVERIFY(entry != nullptr);
    QVERIFY(entry->isVisible());
    QVERIFY(entry->isEnabled());
    QCOMPARE(entry->text(), QStringLiteral("Batch Inspection(&G)"));
    QCOMPARE(entry->statusTip(), QStringLiteral("Evaluate components as an inspection lot"));
    entry->trigger();
    TBatchForm* form = child<TBatchForm>(*window, "BatchForm");
    QVERIFY(form->isVisible());
    // Not inspected by batch yet: no check boxes in the list, nothing changed.
    QVERIFY(!form->chk_batch->isChecked());
    QVERIFY(!list()->item(0, 0)->data(Qt::CheckStateRole).isValid());
    QVERIFY(!window->Document().isModified());
}

void BatchWindowTest::batchTicksCoresAndReport() {
    TBatchForm& form = open();
    form.chk_batch->click();
    QVERIFY(window->Document().isModified());
    QCOMPARE(project().reserved_text1, std::string("batch=1"));
    QVERIFY(list()->item(0, 0)->flags() & Qt::ItemIsUserCheckable);
    // Each change is a step of Undo.
    QCOMPARE(window->Document().undoText(), QStringLiteral("Batch Settings"));
    QCOMPARE(list()->item(1, 0)->checkState(), Qt::Checked);

    // Tick none, then the selected rows 1 and 3 of the component list.
    trigger_form(form, "act_tick_none");
    QCOMPARE(list()->item(0, 0)->checkState(), Qt::Unchecked);
    QVERIFY(form.lbl_verdict->text().contains(QStringLiteral("no component is ticked")));
    list()->clearSelection();
    list()->selectRow(0);
    list()->selectionModel()->select(list()->model()->index(2, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    trigger_form(form, "act_tick_selected");
    QCOMPARE(window->Document().undoText(), QStringLiteral("Tick Components"));
    QCOMPARE(project().components[0].list_checked, std::uint8_t{1});
    QCOMPARE(project().components[1].list_checked, std::uint8_t{0});
    QCOMPARE(project().components[2].list_checked, std::uint8_t{1});
    QCOMPARE(form.tbl_components->rowCount(), 2);
    QCOMPARE(form.tbl_components->item(1, 1)->text(), QStringLiteral("KZ-3"));
    QVERIFY2(form.lbl_batch->text().contains(QStringLiteral("n = 20")), qPrintable(form.lbl_batch->text()));
    QVERIFY(form.lbl_batch->text().contains(QStringLiteral("m = 30.0 MPa, S = 3.6 MPa, k = 1.645, fe = 24.1 MPa")));
    QCOMPARE(form.lbl_verdict->text(), QStringLiteral("The batch estimate is valid."));

    // A click on the list's check box of row 2 adds KZ-2: the spread is too wide.
    list()->item(1, 0)->setCheckState(Qt::Checked);
    QCOMPARE(project().components[1].list_checked, std::uint8_t{1});
    QVERIFY2(form.lbl_verdict->text().contains(QStringLiteral("mean from 25.0 to 60.0 MPa and standard deviation above 5.5 MPa")),
             qPrintable(form.lbl_verdict->text()));
    list()->item(1, 0)->setCheckState(Qt::Unchecked);

    // k and the batch size on site.
    form.spin_k->setValue(2.0);
    QVERIFY(form.lbl_batch->text().contains(QStringLiteral("fe = 22.8 MPa")));
    form.spin_lot->setValue(40);
    QVERIFY(form.lbl_sampling->text().contains(QStringLiteral("2 of 40 components inspected, fewer than 30 % of the batch (at least 12).")));
    QCOMPARE(project().reserved_text1, std::string("batch=1;k=2;lot=40"));
    form.spin_k->setValue(1.645);

    // Six cores pasted from a spreadsheet (with its title row).
    QApplication::clipboard()->setText(
        QStringLiteral("构件\t测区\t强度\n1\t1\t22\n1\t2\t27\n1\t3\t33\n1\t4\t38\n1\t5\t44\n1\t6\t34\n"));
    trigger_form(form, "act_core_paste");
    QCOMPARE(form.tbl_cores->rowCount(), 6);
    QCOMPARE(form.tbl_cores->item(0, 3)->text(), QStringLiteral("20.0"));
    QCOMPARE(form.tbl_cores->item(0, 4)->text(), QStringLiteral("1.100"));
    QCOMPARE(project().components[0].reserved_text, std::string("cores=1:22,2:27,3:33,4:38,5:44,6:34"));
    QVERIFY2(form.lbl_correction->text().contains(QStringLiteral("Δ = 3.0 MPa")), qPrintable(form.lbl_correction->text()));
    QVERIFY(form.lbl_correction->text().contains(QStringLiteral("fe = 27.1 MPa")));
    QCOMPARE(form.tbl_components->item(0, 7)->text(), QStringLiteral("33.0"));

    form.cmb_method->setCurrentIndex(1);
    QVERIFY(form.lbl_correction->text().contains(QStringLiteral("η = 1.100")));
    QVERIFY(form.lbl_correction->text().contains(QStringLiteral("fe = 26.4 MPa")));
    // Undo puts the method back, Redo takes it again.
    trigger(*window, "EditUndo1");
    QCOMPARE(form.cmb_method->currentIndex(), 0);
    QVERIFY(form.lbl_correction->text().contains(QStringLiteral("Δ = 3.0 MPa")));
    trigger(*window, "EditRedo1");
    QCOMPARE(form.cmb_method->currentIndex(), 1);

    // A typed row: a core at an area the project does not hold is marked.
    trigger_form(form, "act_core_add");
    const int last = form.tbl_cores->rowCount() - 1;
    form.tbl_cores->item(last, 0)->setText(QStringLiteral("3"));
    form.tbl_cores->item(last, 1)->setText(QStringLiteral("11"));
    form.tbl_cores->item(last, 2)->setText(QStringLiteral("31.5"));
    QVERIFY(!form.tbl_cores->item(last, 0)->toolTip().isEmpty());
    QVERIFY2(form.lbl_correction->text().contains(QStringLiteral("a core names component 3, area 11")), qPrintable(form.lbl_correction->text()));
    form.tbl_cores->setCurrentCell(last, 0);
    form.tbl_cores->selectRow(last);
    trigger_form(form, "act_core_delete");
    QCOMPARE(form.tbl_cores->rowCount(), 6);

    // The batch report as PDF.
    const QString pdf = folder->file(QStringLiteral("batch.pdf"));
    prompts->saveAnswers.push_back(pdf);
    trigger_form(form, "act_batch_pdf");
    QVERIFY(QFile(pdf).size() > 1000);
    QVERIFY(prompts->messages.isEmpty());

    // Saved, reopened: all of it is there again.
    const QString saved = folder->file(QStringLiteral("batch.prj"));
    QVERIFY(window->Document().saveAs(saved).ok());
    QVERIFY(!window->Document().isModified());
    window->Document().newProject();
    QCOMPARE(form.tbl_components->rowCount(), 0);
    QVERIFY(window->Document().open(saved).ok());
    QVERIFY(form.chk_batch->isChecked());
    QCOMPARE(form.cmb_method->currentIndex(), 1);
    QCOMPARE(form.spin_lot->value(), 40);
    QCOMPARE(form.tbl_cores->rowCount(), 6);
    QVERIFY(form.lbl_batch->text().contains(QStringLiteral("fe = 24.1 MPa")));
    QVERIFY(form.lbl_correction->text().contains(QStringLiteral("η = 1.100")));
    QCOMPARE(list()->item(1, 0)->checkState(), Qt::Unchecked);

    if (qEnvironmentVariableIsSet("REBOUND_BATCH_SCREENSHOT")) {
        form.grab().save(qEnvironmentVariable("REBOUND_BATCH_SCREENSHOT"));
    }
}

void BatchWindowTest::refusedWhenTheSpareTextsHoldSomethingElse() {
    edit_project(*window, [](ReboundFile& p) {
        p.reserved_text1 = "\xB2\xE2";
        p.reserved_text2 = "note";
    });
    TBatchForm& form = open();
    QVERIFY(form.lbl_spare_texts->text().contains(QStringLiteral("first spare text")));
    form.chk_batch->click();
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(!form.chk_batch->isChecked());
    QCOMPARE(project().reserved_text1, std::string("\xB2\xE2"));
    QVERIFY(!window->Document().isModified());
}

}  // namespace rebound

QTEST_MAIN(rebound::BatchWindowTest)
#include "ui_batch_test.moc"
