// The calculation command, the two message-only commands, the command that
// opens the curve selection dialog, and the grid's in-place editors, run on
// the real window in its own application folder.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <sstream>
#include <stdexcept>

#include "curve_fixtures.h"
#include "evaluation/evaluation.h"
#include "locale_support.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "settings/setting.h"
#include "ui/file_list_box.h"
#include "ui/load_strength_curve_form.h"
#include "ui/component_list.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

Strength_Curve shipped_curve() {
    QFile file(QStringLiteral(REBOUND_SOURCE_DIR "/data/curve/normal.cur"));
    Strength_Curve curve;
    if (file.open(QIODevice::ReadOnly)) {
        std::istringstream in(file.readAll().toStdString());
        curve.read_from(in);
    }
    return curve;
}

// A component as the instrument might hand it over, with results that the
// evaluation will replace.
ComponentInfo measured_component() {
    ComponentInfo c(test::today());
    c.component_name = "KZ-1";
    c.strength_avg = 99.0f;
    const int bases[] = {28, 33, 38, 44};
    const std::uint8_t depths[] = {3, 0, 5, 9};
    for (int i = 0; i < 4; ++i) {
        AreaData a;
        for (int k = 0; k < 16; ++k) {
            a.readings[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(bases[i] + (k * 7) % 6);
        }
        a.carbonation_index = depths[i];
        a.angle_index = static_cast<std::uint8_t>(i % 3);
        a.surface_index = static_cast<std::uint8_t>(i % 3);
        a.area_strength = 77.7f;
        c.add_area(a);
    }
    return c;
}

}  // namespace

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void init() { folder = std::make_unique<AppFolder>(); }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void calculationWithoutStandardCurve();
    void calculationNeedsACurrentComponent();
    void calculationUsesTheStandardCurveAfresh();
    void calculationRefusesAnUnusableCurve();
    void calculationNamesAreasOutsideTheCurve();
    void calculationUsesTheChosenCurve();
    void chosenCurveThatCannotEvaluate_data();
    void chosenCurveThatCannotEvaluate();
    void editEvaluatesWithTheChosenCurve();
    void figuresUseAPointInEveryLocale();
    void messageCommands_data();
    void messageCommands();
    void loadCurveCommandOpensTheSelectionDialog();
    void typedReadings_data();
    void typedReadings();
    void evaluationRulesFromTheProjectPanel();
    void typedResultsAreThrownAway();
    void selectorsWriteIndexAndText_data();
    void selectorsWriteIndexAndText();
    void selectorOverAMissingAreaTouchesNothing();

private:
    void start(const std::vector<ComponentInfo>& components) {
        window = make_window(prompts);
        edit_project(*window, [&](ReboundFile& p) {
            for (const ComponentInfo& c : components) {
                p.add_component(c);
            }
        });
    }
    // Edit mode on, and the window shown so that cells can be clicked.
    void startEditing(const std::vector<ComponentInfo>& components) {
        start(components);
        action(*window, "EditTestData1")->setChecked(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    // Chooses curve/<name> in the curve selection dialog, as the user does.
    void chooseCurve(const QString& name) {
        bool chosen = false;
        prompts->onModal = [&](QDialog& dialog) {
            auto* form = qobject_cast<TLoadStrengthCurveFrm*>(&dialog);
            if (form == nullptr) return int(QDialog::Rejected);
            form->FormShow();
            const QList<QListWidgetItem*> items = form->FileListBox1->findItems(name, Qt::MatchExactly);
            if (items.size() != 1) return int(QDialog::Rejected);
            form->FileListBox1->setCurrentItem(items.front());
            chosen = form->OKBtnClick();
            return int(chosen ? QDialog::Accepted : QDialog::Rejected);
        };
        trigger(*window, "act_load_strength_curve");
        prompts->onModal = [](QDialog&) { return int(QDialog::Rejected); };
        QVERIFY2(chosen, qPrintable(name));
    }
    // Keeps `name` in the settings as the chosen curve, as an earlier run did.
    void keepChosenCurve(const std::string& name) {
        setting store;
        store.set_base_folder(platform::to_path(folder->path()));
        QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("Setting")));
        store.curve_file = name;
        QVERIFY(store.write_ini());
    }
    // curve/<name>: every value `strength`.
    void writeCurve(const QString& name, float strength) {
        QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("curve")));
        test::write_file(platform::to_path(folder->file(QStringLiteral("curve/") + name)),
                         test::curve_file_bytes(201, 13, strength));
    }
    void clickCell(int column, int row) { click_cell(*window, column, row); }
    void typeInCell(int column, int row, const QString& text) { type_in_cell(*window, column, row, text); }

    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<TSDIAppForm> window;
    ScriptedPrompts* prompts = nullptr;
};

void CalculationTest::calculationWithoutStandardCurve() {
    // A curve under another name is no substitute for the standard one.
    QVERIFY(folder->installCurve(QStringLiteral("normal.cuv")));
    start({measured_component()});

    trigger(*window, "act_single_caculate");

    QCOMPARE(prompts->messages, QStringList{QStringLiteral("The strength curve normal.cur you use does not exist!")});
    QVERIFY(doc_project(*window).components[0] == measured_component());
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("77.7"));
    QVERIFY(!window->Document().isModified());
}

void CalculationTest::calculationNeedsACurrentComponent() {
    start({});
    trigger(*window, "act_single_caculate");
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(window->Document().evaluationCurve().last_usable().values.empty());
}

void CalculationTest::calculationUsesTheStandardCurveAfresh() {
    QVERIFY(folder->installCurve());
    start({measured_component(), measured_component()});
    select_row(*window, 1);
    QVERIFY(!window->Document().isModified());

    trigger(*window, "act_single_caculate");
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(window->Document().isModified());
    const Strength_Curve curve = shipped_curve();
    QVERIFY(window->Document().evaluationCurve().last_usable() == curve);
    ComponentInfo expected = measured_component();
    evaluate_component(expected, curve);
    const ComponentInfo first = doc_project(*window).components[1];
    QVERIFY(first == expected);
    QVERIFY(first.areas[0].area_strength != 77.7f);
    // Only the current component is evaluated.
    QVERIFY(doc_project(*window).components[0] == measured_component());
    for (int r = 1; r <= 4; ++r) {
        QCOMPARE(
            grid_text(*window, kGridStrengthColumn, r),
            QString::asprintf("%.1f", double(first.areas[static_cast<std::size_t>(r - 1)].area_strength)));
        QCOMPARE(
            grid_text(*window, kGridMeanColumn, r),
            QString::asprintf("%.1f", double(first.areas[static_cast<std::size_t>(r - 1)].mean_rebound)));
    }

    trigger(*window, "act_single_caculate");
    QVERIFY(doc_project(*window).components[1] == first);
}

void CalculationTest::calculationRefusesAnUnusableCurve() {
    namespace fs = std::filesystem;
    const fs::path curve = platform::to_path(folder->file(QStringLiteral("curve/normal.cur")));
    fs::create_directories(curve.parent_path());
    start({measured_component()});
    for (const test::UnusableCurve& c : test::unusable_curves()) {
        fs::remove_all(curve);
        c.make(curve);
        prompts->messages.clear();
        trigger(*window, "act_single_caculate");
        const QString expected =
            QStringLiteral("The strength curve %1 cannot be used: ")
                .arg(QDir::toNativeSeparators(QDir::currentPath() + QStringLiteral("/curve/normal.cur")));
        QVERIFY2(prompts->messages.size() == 1, c.name);
        const QString message = prompts->messages.front();
        QVERIFY2(message.startsWith(expected), qPrintable(message));
        QVERIFY2(message.contains(QString::fromUtf8(c.says)), qPrintable(message));
        QVERIFY2(message.endsWith(QStringLiteral(".\nNothing was calculated.")), qPrintable(message));
        QVERIFY2(doc_project(*window).components[0] == measured_component(), c.name);
        QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("77.7"));
        QVERIFY2(!window->Document().isModified(), c.name);
    }
}

void CalculationTest::calculationNamesAreasOutsideTheCurve() {
    // R 22 at >6 mm lies below the shipped curve, R 55 at 0.0 mm above it.
    QVERIFY(folder->installCurve());
    const ComponentInfo outside = equal_readings_component("A", {{40, 3}, {22, 13}, {55, 1}, {21, 13}});
    const ComponentInfo unmeasured = equal_readings_component("C", {{40, 0}, {40, 0}});
    const ComponentInfo below = equal_readings_component("D", {{21, 13}});
    start({outside, unmeasured, below, equal_readings_component("B", {{40, 3}})});
    struct Case {
        int row;
        ComponentInfo component;
        QString message;
    } cases[] = {
        {0, outside,
         "Component A:\n"
         "Areas below the range of the strength curve, without a strength: 2, 4\n"
         "Areas above the range of the strength curve, without a strength: 3\n"
         "The estimated strength is not valid with this curve."},
        {1, unmeasured,
         "Component C:\nCarbonation was not measured in any area; the areas were converted at 0.0 mm."},
        {2, below, "Component D:\nAreas below the range of the strength curve, without a strength: 1"},
    };
    for (Case& c : cases) {
        prompts->messages.clear();
        select_row(*window, c.row);
        trigger(*window, "act_single_caculate");
        QCOMPARE(prompts->messages, QStringList{c.message});
        // Evaluated and shown all the same, with the documented figures.
        evaluate_component(c.component, shipped_curve());
        QVERIFY(doc_project(*window).components[static_cast<std::size_t>(c.row)] == c.component);
    }
    // An area without a strength reads as below the curve's lowest strength.
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("<10.0"));

    prompts->messages.clear();
    select_row(*window, 3);
    trigger(*window, "act_single_caculate");
    QVERIFY(prompts->messages.isEmpty());
}

void CalculationTest::calculationUsesTheChosenCurve() {
    // A laboratory's own curve beside the standard one: 31.5 MPa wherever
    // the evaluation looks, unlike anything the standard curve gives.
    QVERIFY(folder->installCurve());
    writeCurve(QStringLiteral("lab.cur"), 31.5f);
    start({measured_component()});
    chooseCurve(QStringLiteral("lab.cur"));

    trigger(*window, "act_single_caculate");
    QCOMPARE(prompts->messages, QStringList{});
    const Result<Strength_Curve> lab =
        read_curve_file(platform::to_path(folder->file(QStringLiteral("curve/lab.cur"))));
    QVERIFY(lab);
    // The component names the curve that converted it.
    ComponentInfo expected = measured_component();
    evaluate_component(expected, EvaluationCurves{&*lab, "lab.cur", nullptr, {}});
    QVERIFY(doc_project(*window).components[0] == expected);
    QCOMPARE(doc_project(*window).components[0].curve_filename, std::string("lab.cur"));
    ComponentInfo withStandard = measured_component();
    evaluate_component(withStandard, shipped_curve());
    QVERIFY(!(expected == withStandard));
    // Area 2 is unmeasured: converted and corrected at 2.0 mm (+2.55 MPa).
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("36.0"));
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 2), QStringLiteral("34.0"));

    // The choice is kept for the next start, and the curve is read afresh
    // at every calculation: a lab curve replaced on disk is the one used.
    window.reset();
    writeCurve(QStringLiteral("lab.cur"), 42.0f);
    start({measured_component()});
    trigger(*window, "act_single_caculate");
    QCOMPARE(prompts->messages, QStringList{});
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 2), QStringLiteral("42.0"));
}

void CalculationTest::chosenCurveThatCannotEvaluate_data() {
    QTest::addColumn<QByteArray>("chosen");  // the name kept in the settings
    QTest::addColumn<QString>("expected");   // the message, or its start; %1 the curve file
    // The standard curve is always there: a chosen curve is never replaced
    // by it behind the user's back.
    QTest::newRow("missing") << QByteArray("lab.cur")
                             << QStringLiteral("The strength curve lab.cur you use does not exist!");
    QTest::newRow("GBK name missing") << QByteArray("\xC7\xFA\xCF\xDF.cur")  // 曲线.cur
                                      << QString::fromUtf8("The strength curve 曲线.cur you use does not exist!");
    // An edited settings file naming a file outside the curve folder: that
    // file is not opened, even though it is a usable curve.
    QTest::newRow("outside the curve folder")
        << QByteArray("../outside.cur") << QStringLiteral("The strength curve ../outside.cur you use does not exist!");
    QTest::newRow("cut short") << QByteArray("short.cur")
                               << QStringLiteral("The strength curve %1 cannot be used: ");
}

void CalculationTest::chosenCurveThatCannotEvaluate() {
    QFETCH(QByteArray, chosen);
    QFETCH(QString, expected);
    if (expected.contains(QStringLiteral("%1"))) {
        expected = expected.arg(QDir::toNativeSeparators(
            folder->file(QStringLiteral("curve/") + platform::to_qstring(chosen.toStdString()))));
    }
    QVERIFY(folder->installCurve());
    writeCurve(QStringLiteral("../outside.cur"), 31.5f);
    test::write_file(platform::to_path(folder->file(QStringLiteral("curve/short.cur"))),
                     test::curve_file_bytes(201, 13, 30.0f, -1, 0.0f, 100 * 13));
    keepChosenCurve(chosen.toStdString());
    start({measured_component()});

    trigger(*window, "act_single_caculate");
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages.front().startsWith(expected), qPrintable(prompts->messages.front()));
    QVERIFY(doc_project(*window).components[0] == measured_component());
    QVERIFY(!window->Document().isModified());
}

void CalculationTest::editEvaluatesWithTheChosenCurve() {
    // No standard curve at all: the edit is evaluated with the chosen one.
    writeCurve(QStringLiteral("lab.cur"), 31.5f);
    keepChosenCurve("lab.cur");
    startEditing({measured_component()});
    typeInCell(3, 1, QStringLiteral("40"));
    QCOMPARE(prompts->messages, QStringList{});
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 2), QStringLiteral("34.0"));
    QCOMPARE(doc_project(*window).components[0].curve_filename, std::string("lab.cur"));
    QVERIFY(!area_table(*window)->item(0, kGridMeanColumn)->data(Qt::UserRole).toBool());
}

void CalculationTest::figuresUseAPointInEveryLocale() {
    ComponentInfo c = measured_component();
    c.areas[0].mean_rebound = 36.26f;
    c.areas[0].area_strength = 33.8f;
    c.strength_avg = 31.26f;
    c.strength_min = 28.25f;
    c.strength_delta = 2.05f;
    c.strength_estimate = 27.5f;
    for (const char* name : test::kCommaLocales) {
        test::ScopedLocale locale(name);
        QVERIFY2(locale.error().empty(), locale.error().c_str());
        start({c});
        QCOMPARE(grid_text(*window, kGridMeanColumn, 1), QStringLiteral("36.3"));
        QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("33.8"));
        QCOMPARE(grid_text(*window, kGridDepthColumn, 1), QStringLiteral("1.0"));
        QCOMPARE(box(*window, "txt_mfcu")->text(), QStringLiteral("31.3"));
        QCOMPARE(box(*window, "txt_fcumin")->text(), QStringLiteral("28.2"));
        QCOMPARE(box(*window, "txt_sfcu")->text(), QStringLiteral("2.0"));
        QCOMPARE(box(*window, "txt_fcue")->text(), QStringLiteral("27.5"));
        window.reset();
    }
}

void CalculationTest::messageCommands_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("export report") << "act_export_report" << QStringLiteral("Export Report Document");
    // The group calculation opens the batch window (ui_batch_test).
}

void CalculationTest::messageCommands() {
    QFETCH(QString, action);
    QFETCH(QString, message);
    start({measured_component()});
    trigger(*window, action.toLatin1().constData());
    QCOMPARE(prompts->messages, QStringList{message});
    QVERIFY(doc_project(*window).components[0] == measured_component());
}

void CalculationTest::loadCurveCommandOpensTheSelectionDialog() {
    QVERIFY(folder->installCurve());
    writeCurve(QStringLiteral("lab.cur"), 31.5f);
    start({});
    QCOMPARE(window->Document().evaluationCurve().get()->values.front(), shipped_curve().values.front());
    TLoadStrengthCurveFrm* shown = nullptr;
    prompts->onModal = [&](QDialog& dialog) {
        shown = qobject_cast<TLoadStrengthCurveFrm*>(&dialog);
        // The operator chooses lab.cur and presses OK.
        if (shown != nullptr) {
            shown->FormShow();
            const QList<QListWidgetItem*> found = shown->FileListBox1->findItems(QStringLiteral("lab.cur"), Qt::MatchExactly);
            if (!found.isEmpty()) found.front()->setSelected(true);
            shown->OKBtnClick();
        }
        return int(QDialog::Accepted);
    };
    trigger(*window, "act_load_strength_curve");
    QVERIFY(shown != nullptr);
    QCOMPARE(shown, window->findChild<TLoadStrengthCurveFrm*>());
    // The document's evaluation curve follows the choice.
    const Strength_Curve* used = window->Document().evaluationCurve().get();
    QVERIFY(used != nullptr);
    QCOMPARE(used->values.front(), 31.5f);
    QVERIFY(prompts->messages.isEmpty());

    prompts->onModal = [](QDialog&) -> int { throw std::runtime_error("list failed"); };
    trigger(*window, "act_load_strength_curve");
    QCOMPARE(prompts->messages, QStringList{QStringLiteral("The strength curve could not be read!")});
}

void CalculationTest::typedReadings_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("cell");
    QTest::newRow("in range") << "42" << 42 << "42";
    QTest::newRow("largest") << "255" << 255 << "255";
    QTest::newRow("too large") << "300" << 255 << "255";
    QTest::newRow("negative") << "-5" << 0 << "0";
    // Not a reading: the cell shows the reading it holds again.
    QTest::newRow("not a number") << "4x" << 36 << "36";
    QTest::newRow("decimal") << "36.5" << 36 << "36";
}

void CalculationTest::evaluationRulesFromTheProjectPanel() {
    // Outside edit mode the panel is the documented header, without the rules.
    start({measured_component()});
    QVERIFY(window->findChild<QComboBox*>(QStringLiteral("cb_pumped_rule")));
    QVERIFY(!window->findChild<QComboBox*>(QStringLiteral("cb_pumped_rule"))->isVisibleTo(window.get()));
    QVERIFY(!window->findChild<QCheckBox*>(QStringLiteral("chk_standard_arithmetic"))->isVisibleTo(window.get()));
    startEditing({measured_component()});
    auto* pumped = window->findChild<QComboBox*>(QStringLiteral("cb_pumped_rule"));
    auto* standard = window->findChild<QCheckBox*>(QStringLiteral("chk_standard_arithmetic"));
    QVERIFY(pumped && standard);
    QVERIFY(pumped->isVisibleTo(window.get()) && standard->isVisibleTo(window.get()));
    QCOMPARE(pumped->currentIndex(), 0);
    pumped->setCurrentIndex(1);
    standard->setChecked(true);
    QCOMPARE(doc_project(*window).reserved_text1, std::string("pumped=curve;arithmetic=standard"));
    QVERIFY(window->Document().isModified());
    window->Document().undo();
    QCOMPARE(doc_project(*window).reserved_text1, std::string("pumped=curve"));
    QVERIFY(!standard->isChecked());
    window->Document().undo();
    QCOMPARE(pumped->currentIndex(), 0);
    QVERIFY(doc_project(*window).reserved_text1.empty());
}

void CalculationTest::typedReadings() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    QFETCH(QString, cell);
    ComponentInfo c = measured_component();
    c.areas[1].readings[4] = 36;
    startEditing({c});
    typeInCell(5, 2, typed);
    QCOMPARE(int(doc_project(*window).components[0].areas[1].readings[4]), stored);
    QCOMPARE(grid_text(*window, 5, 2), cell);
    // Only that reading changes, and its area is marked as typed by hand.
    ComponentInfo expected = c;
    expected.areas[1].readings[4] = static_cast<std::uint8_t>(stored);
    if (stored != 36) expected.areas[1].set_flag(area_flags::kTypedReadings, true);
    QVERIFY(doc_project(*window).components[0] == expected);
    // The typed area's readings are drawn in their own colour with a tooltip,
    // the other areas' are not, and the list marks the component.
    const bool typedArea = stored != 36;
    QCOMPARE(area_table(*window)->item(1, 9)->data(Qt::ForegroundRole).isValid(), typedArea);
    QCOMPARE(area_table(*window)->item(1, 9)->toolTip().isEmpty(), !typedArea);
    QVERIFY(!area_table(*window)->item(0, 9)->data(Qt::ForegroundRole).isValid());
    QCOMPARE(component_list(*window)->item(0, 0)->data(ComponentList::kTypedRole).toBool(), typedArea);
}

void CalculationTest::typedResultsAreThrownAway() {
    startEditing({measured_component()});
    // Only readings are typed: the results and the conditions are not
    // editable cells, and a text that reaches them is thrown away.
    QVERIFY(!(area_table(*window)->item(0, kGridStrengthColumn)->flags() & Qt::ItemIsEditable));
    QVERIFY(!(area_table(*window)->item(0, kGridDepthColumn)->flags() & Qt::ItemIsEditable));
    QVERIFY(area_table(*window)->item(0, 3)->flags() & Qt::ItemIsEditable);
    typeInCell(kGridStrengthColumn, 1, QStringLiteral("12.3"));
    QCOMPARE(grid_text(*window, kGridStrengthColumn, 1), QStringLiteral("77.7"));
    const QString depth = grid_text(*window, kGridDepthColumn, 1);
    typeInCell(kGridDepthColumn, 1, QStringLiteral("9"));
    QCOMPARE(grid_text(*window, kGridDepthColumn, 1), depth);
    // An empty reading changes nothing.
    typeInCell(3, 1, QString());
    QCOMPARE(grid_text(*window, 3, 1), QString::number(measured_component().areas[0].readings[2]));
    QVERIFY(doc_project(*window).components[0] == measured_component());
    QVERIFY(!window->Document().isModified());
}

void CalculationTest::selectorsWriteIndexAndText_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("selector");
    QTest::addColumn<int>("shownIndex");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QString>("cellAfter");
    QTest::addColumn<QString>("gridAfterRefresh");
    // Area 2 (row 3) holds depth 5, angle 2, surface 2.
    QTest::newRow("depth") << kGridDepthColumn << "cbDepth_Selected" << 5 << 2 << "0.5mm"
                           << "0.5";
    QTest::newRow("angle") << kGridAngleColumn << "cbAngle_Selected" << 2 << 1 << QString::fromUtf8("30°")
                           << "30";
    QTest::newRow("side") << kGridSideColumn << "cbSide_Selected" << 2 << 1 << "Downwards"
                          << "Downwards";
}

void CalculationTest::selectorsWriteIndexAndText() {
    QFETCH(int, column);
    QFETCH(QString, selector);
    QFETCH(int, shownIndex);
    QFETCH(int, chosen);
    QFETCH(QString, cellAfter);
    QFETCH(QString, gridAfterRefresh);
    startEditing({measured_component()});
    QComboBox* box = window->findChild<QComboBox*>(selector);
    QVERIFY(box != nullptr);
    QVERIFY(!box->isVisible());

    clickCell(column, 3);
    QVERIFY(box->isVisible());
    QCOMPARE(box->currentIndex(), shownIndex);
    // Placed over its cell, one pixel to the left, four wider, 60 taller.
    QWidget* panel = child<QWidget>(*window, "pnl_grid");
    const QRect cell = area_table(*window)->visualRect(area_table(*window)->model()->index(2, column));
    const QPoint corner = area_table(*window)->viewport()->mapTo(panel, cell.topLeft());
    QCOMPARE(box->geometry(), QRect(corner.x() - 1, corner.y(), cell.width() + 4, cell.height() + 60));
    QCOMPARE(box->parentWidget(), panel);

    // Another column hides the selector again.
    clickCell(3, 3);
    QVERIFY(!box->isVisible());

    clickCell(column, 3);
    QVERIFY(box->isVisible());
    box->setCurrentIndex(chosen);
    emit box->activated(chosen);
    // The choice is stored, and the grid shows it in its own form.
    Q_UNUSED(cellAfter);
    QCOMPARE(grid_text(*window, column, 3), gridAfterRefresh);
    const AreaData& area = doc_project(*window).components[0].areas[2];
    const int stored = column == kGridDepthColumn   ? area.carbonation_index
                       : column == kGridAngleColumn ? area.angle_index
                                                    : area.surface_index;
    QCOMPARE(stored, chosen);
    QVERIFY(!box->isVisible());
    QVERIFY(window->Document().isModified());
}

void CalculationTest::selectorOverAMissingAreaTouchesNothing() {
    ComponentInfo empty(test::today());
    empty.component_name = "E";
    startEditing({empty});
    clickCell(kGridAngleColumn, 1);
    QComboBox* angle = child<QComboBox>(*window, "cbAngle_Selected");
    QVERIFY(angle->isVisible());
    angle->setCurrentIndex(3);
    emit angle->activated(3);
    QVERIFY(doc_project(*window).components[0].areas.empty());
    QVERIFY(!window->Document().isModified());
    QCOMPARE(grid_text(*window, kGridAngleColumn, 1), QString());
}

QTEST_MAIN(CalculationTest)
#include "ui_calculation_test.moc"
