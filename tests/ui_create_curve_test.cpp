// The dialog behind "建立测强曲线(&B)": pairs pasted, typed and opened,
// the figures and verdict, a published formula, Save Curve into the curve
// folder, and the fit report as PDF; run on the real window in its own
// application folder.
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <random>

#include "evaluation/curve_fit.h"
#include "platform/qt_bridge.h"
#include "ui/create_strength_curve_form.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

// `n` pairs of 0.025 Rm^2.0108 10^(-0.0358 dm), strengths off by up to
// `noise`, as a spreadsheet copies them: a header, then tab-separated cells.
QString spreadsheet_pairs(int n, double noise) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> rebound(24.0, 50.0);
    std::uniform_int_distribution<int> step(0, 8);
    std::uniform_real_distribution<double> scatter(-noise, noise);
    QString text = QStringLiteral("Rm\tdm\tf\r\n");
    for (int i = 0; i < n; ++i) {
        const double rm = std::round(rebound(random) * 10.0) / 10.0;
        const double dm = 0.5 * step(random);
        const double f = 0.025 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * dm) * (1.0 + scatter(random));
        text += QStringLiteral("%1\t%2\t%3\r\n").arg(rm).arg(dm).arg(std::round(f * 10.0) / 10.0);
    }
    return text;
}

}  // namespace

class CreateCurveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { WindowFixture::prepareTestCase(); }
    void init() {
        fixture.start();
        QDir(fixture.folder->path()).mkpath(QStringLiteral("curve"));
        auto owned = std::make_unique<ScriptedPrompts>();
        prompts = owned.get();
        contexts = std::make_unique<TestContexts>(std::move(owned));
        dialog = std::make_unique<TCreateStrengthCurveFrm>(contexts->window);
    }
    void cleanup() {
        dialog.reset();
        contexts.reset();
        fixture.stop();
    }

    void dataMenuEntryOpensTheDialog();
    void pastedPairsAreFittedAndSaved();
    void badCellsNameTheirRow();
    void curveNotAcceptedIsSavedOnlyWhenConfirmed();
    void standardCurveIsReplacedOnlyWhenConfirmed();
    void publishedFormulaBecomesACurve();
    void openedCsvFillsTheTableOrNamesTheBadLine();
    void fitReportAsPdf();

private:
    QString curvePath(const QString& name) const { return fixture.folder->file(QStringLiteral("curve/") + name); }

    // The window, for its menu; the dialog runs in contexts of its own over
    // the same application folder, with its own answerer.
    WindowFixture fixture;
    std::unique_ptr<TestContexts> contexts;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TCreateStrengthCurveFrm> dialog;
};

void CreateCurveTest::dataMenuEntryOpensTheDialog() {
    QMenu* data = fixture.window->findChild<QMenu*>(QStringLiteral("Data1"));
    QVERIFY(data);
    QAction* entry = nullptr;
    for (QAction* a : data->actions()) {
        if (a->text() == QStringLiteral("Create Strength Curve(&B)")) entry = a;
    }
    QVERIFY(entry);
    QVERIFY(entry->isVisible());
    QVERIFY(entry->isEnabled());
    QCOMPARE(entry->statusTip(), QStringLiteral("Fit a strength curve to pairs of rebound values and core strengths"));
    entry->trigger();
    QCOMPARE(fixture.prompts->modalDialogs, QStringList{QStringLiteral("CreateStrengthCurveFrm")});
    QVERIFY(fixture.prompts->messages.isEmpty());
}

void CreateCurveTest::pastedPairsAreFittedAndSaved() {
    QVERIFY(dialog->PasteText(spreadsheet_pairs(40, 0.05)));
    QCOMPARE(dialog->Pairs().size(), std::size_t{40});
    QCOMPARE(dialog->tblPairs->rowCount(), 41);  // and one empty row to type the next
    QVERIFY(dialog->Fit());
    QVERIFY2(dialog->lblFigures->text().contains(QStringLiteral("n = 40")), qPrintable(dialog->lblFigures->text()));
    QVERIFY2(dialog->lblVerdict->text().startsWith(QStringLiteral("Accepted")), qPrintable(dialog->lblVerdict->text()));
    QCOMPARE(dialog->lblProblems->text(), QString());
    QCOMPARE(dialog->chart->points().size(), std::size_t{40});
    QCOMPARE(dialog->chart->points()[0].second, dialog->Fit()->fitted[0]);

    // A typed pair in the empty row joins the fit at once.
    dialog->tblPairs->setItem(40, 0, new QTableWidgetItem(QStringLiteral("35.0")));
    dialog->tblPairs->setItem(40, 1, new QTableWidgetItem(QStringLiteral("1.0")));
    dialog->tblPairs->setItem(40, 2, new QTableWidgetItem(QStringLiteral("29.9")));
    QCOMPARE(dialog->Fit()->n, std::size_t{41});

    QVERIFY(!dialog->btnSave->isEnabled());  // no name yet
    dialog->edCurveName->setText(QStringLiteral("lab"));
    QVERIFY(dialog->btnSave->isEnabled());
    QTest::mouseClick(dialog->btnSave, Qt::LeftButton);
    QVERIFY(QFile::exists(curvePath(QStringLiteral("lab.cur"))));
    QVERIFY(prompts->questions.isEmpty());
    QCOMPARE(prompts->messages.size(), 1);
    Strength_Curve curve;
    QVERIFY(!read_curve_for_evaluation(platform::to_path(curvePath(QStringLiteral("lab.cur"))), curve));
    QVERIFY(curve == build_curve(dialog->Fit()->formula));
}

void CreateCurveTest::badCellsNameTheirRow() {
    dialog->PasteText(spreadsheet_pairs(5, 0.05));
    dialog->tblPairs->item(1, 0)->setText(QStringLiteral("31,5"));
    dialog->tblPairs->item(3, 1)->setText(QStringLiteral("6.5"));
    QVERIFY(!dialog->Fit());
    const QString problems = dialog->lblProblems->text();
    QVERIFY2(problems.contains(QStringLiteral("Row 2: Rm is not a number")), qPrintable(problems));
    QVERIFY2(problems.contains(QStringLiteral("Row 4: the carbonation depth")), qPrintable(problems));
    dialog->edCurveName->setText(QStringLiteral("lab"));
    QVERIFY(!dialog->btnSave->isEnabled());
    QVERIFY(!dialog->btnPdf->isEnabled());

    // The warning for few pairs follows the chosen threshold.
    dialog->SetPairs({{30, 1, 25}, {40, 1.5, 35}, {50, 2, 47}});
    QVERIFY(dialog->lblProblems->text().contains(QStringLiteral("Only 3 pairs")));
    dialog->spRecommended->setValue(3);
    QCOMPARE(dialog->lblProblems->text(), QString());

    // Two good pairs are too few.
    dialog->SetPairs({{30, 1, 25}, {40, 1, 35}});
    QVERIFY(dialog->lblProblems->text().contains(QStringLiteral("at least 3 pairs")));
}

void CreateCurveTest::curveNotAcceptedIsSavedOnlyWhenConfirmed() {
    dialog->PasteText(spreadsheet_pairs(40, 0.45));
    QVERIFY(dialog->Fit());
    QVERIFY(dialog->lblVerdict->text().startsWith(QStringLiteral("Not accepted")));
    dialog->edCurveName->setText(QStringLiteral("lab.cur"));
    prompts->questionAnswers = {QMessageBox::No};
    QVERIFY(!dialog->btnSaveClick());
    QVERIFY(!QFile::exists(curvePath(QStringLiteral("lab.cur"))));
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(prompts->questions[0].contains(QStringLiteral("not accepted as a special curve")));
    prompts->questionAnswers = {QMessageBox::Yes};
    QVERIFY(dialog->btnSaveClick());
    QVERIFY(QFile::exists(curvePath(QStringLiteral("lab.cur"))));
}

void CreateCurveTest::standardCurveIsReplacedOnlyWhenConfirmed() {
    QVERIFY(fixture.folder->installCurve());
    QFile shipped(curvePath(QStringLiteral("normal.cur")));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray before = shipped.readAll();
    shipped.close();
    dialog->PasteText(spreadsheet_pairs(40, 0.05));
    dialog->edCurveName->setText(QStringLiteral("normal"));
    prompts->questionAnswers = {QMessageBox::No};
    QVERIFY(!dialog->btnSaveClick());
    QVERIFY(prompts->questions.value(0).contains(QStringLiteral("normal.cur is the standard curve")));
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QCOMPARE(shipped.readAll(), before);
    shipped.close();
    prompts->questionAnswers = {QMessageBox::Yes};
    QVERIFY(dialog->btnSaveClick());
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QVERIFY(shipped.readAll() != before);
}

void CreateCurveTest::publishedFormulaBecomesACurve() {
    dialog->rbFormula->setChecked(true);
    dialog->edA->setText(QStringLiteral("0.0250"));
    dialog->edB->setText(QStringLiteral("2.0108"));
    dialog->edC->setText(QStringLiteral("-0.0358"));
    dialog->edRmLow->setText(QStringLiteral("20"));
    dialog->edRmHigh->setText(QStringLiteral("60"));
    dialog->edDepthLow->setText(QStringLiteral("0"));
    dialog->edDepthHigh->setText(QStringLiteral("6"));
    dialog->edStrengthLow->setText(QStringLiteral("10"));
    QVERIFY(!dialog->Formula());
    QVERIFY(dialog->lblProblems->text().contains(QStringLiteral("strength to")));
    dialog->edStrengthHigh->setText(QStringLiteral("60,0"));  // a decimal comma is no number
    QVERIFY(!dialog->Formula());
    dialog->edStrengthHigh->setText(QStringLiteral("60.0"));
    QVERIFY(dialog->Formula());
    QCOMPARE(dialog->lblProblems->text(), QString());
    QVERIFY(!dialog->btnPdf->isEnabled());  // the fit report is for fitted curves
    dialog->edCurveName->setText(QStringLiteral("province"));
    QVERIFY(dialog->btnSaveClick());
    Strength_Curve curve;
    QVERIFY(!read_curve_for_evaluation(platform::to_path(curvePath(QStringLiteral("province.cur"))), curve));
    CurveFormula expected;
    expected.a = 0.025;
    expected.b = 2.0108;
    expected.c = -0.0358;
    expected.rm = {20, 60};
    expected.depth = {0, 6};
    expected.strength = {10, 60};
    QVERIFY(curve == build_curve(expected));
}

void CreateCurveTest::openedCsvFillsTheTableOrNamesTheBadLine() {
    const QString good = fixture.folder->file(QStringLiteral("pairs.csv"));
    QFile file(good);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBFrm,depth,strength\r\n30,1,25\r\n40,1,36\r\n50,2,48\r\n");
    file.close();
    prompts->openAnswers = {good};
    QTest::mouseClick(dialog->btnOpenCsv, Qt::LeftButton);
    QCOMPARE(dialog->Pairs(), (std::vector<CurvePair>{{30, 1, 25}, {40, 1, 36}, {50, 2, 48}}));
    QVERIFY(dialog->Fit());

    const QString bad = fixture.folder->file(QStringLiteral("bad.csv"));
    QFile badFile(bad);
    QVERIFY(badFile.open(QIODevice::WriteOnly));
    badFile.write("rm,depth,strength\n30,1,25\n40,1\n");
    badFile.close();
    prompts->openAnswers = {bad};
    dialog->btnOpenCsvClick();
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].contains(QStringLiteral("line 3: 2 cells where 3 are expected")),
             qPrintable(prompts->messages[0]));
    QCOMPARE(dialog->Pairs().size(), std::size_t{3});  // the table is kept
}

void CreateCurveTest::fitReportAsPdf() {
    dialog->PasteText(spreadsheet_pairs(12, 0.05));
    QVERIFY(dialog->btnPdf->isEnabled());
    // Without the template in the report folder: the report error.
    prompts->saveAnswers = {fixture.folder->file(QStringLiteral("fit"))};
    dialog->btnPdfClick();
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Print Preview Error!\n")), qPrintable(prompts->messages[0]));
    QVERIFY(prompts->saveFilters.isEmpty());

    QVERIFY(fixture.folder->installTemplate("curve_fit1.grf"));
    dialog->btnPdfClick();
    QFile pdf(fixture.folder->file(QStringLiteral("fit.pdf")));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.readAll().startsWith("%PDF"));
    QCOMPARE(prompts->messages.size(), 1);

    // Preview goes through the window's dialog seam.
    dialog->btnPreviewClick();
    QCOMPARE(prompts->modalDialogs.value(0), QStringLiteral("PrintPreviewDialog"));
}

QTEST_MAIN(CreateCurveTest)
#include "ui_create_curve_test.moc"
