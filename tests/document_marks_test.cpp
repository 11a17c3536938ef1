// What the document records for the reviewer: the curve behind each
// strength, readings typed by hand and conditions entered at the desk, the
// project's evaluation rules, all as undoable steps that survive a save.
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "curve_fixtures.h"
#include "document/project_document.h"
#include "fixtures.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "test_clock.h"

namespace rebound {
namespace {

// A 201 x 13 curve holding `value` in every cell.
Strength_Curve flat_curve(float value) {
    Strength_Curve curve;
    curve.row_count = 201;
    curve.column_count = 13;
    curve.values.assign(201 * 13, value);
    return curve;
}

class DocumentMarks : public ::testing::Test {
protected:
    void SetUp() override {
        ReboundFile p;
        p.add_component(test::equal_readings_component("K", {{36, 3}, {40, 3}}, 1));
        doc.adopt(p);
    }
    QString file(const QString& name) const { return dir.filePath(name); }
    // Writes a curve file into the curve folder.
    void installCurve(const char* name, float value) {
        std::filesystem::create_directories(context.curve_folder());
        test::write_file(context.curve_folder() / name, flat_curve(value).to_bytes());
    }
    const AreaData& area(std::size_t i) const { return doc.project().components[0].areas[i]; }

    QTemporaryDir dir;
    AppContext context{platform::to_path(dir.path()),
                       std::make_unique<platform::FixedClock>(test::fixed_clock().today())};
    ProjectDocument doc{context};
};

TEST_F(DocumentMarks, ATypedReadingIsMarkedUntilUndoneAndSurvivesASave) {
    ASSERT_TRUE(doc.setReading(0, 1, 4, 41).changed);
    EXPECT_TRUE(area(1).has_flag(area_flags::kTypedReadings));
    EXPECT_FALSE(area(0).has_flag(area_flags::kTypedReadings));
    doc.undo();
    EXPECT_FALSE(area(1).has_flag(area_flags::kTypedReadings));
    doc.redo();
    EXPECT_TRUE(area(1).has_flag(area_flags::kTypedReadings));

    // A condition is entered at the desk: its own mark, not a typed reading.
    ASSERT_TRUE(doc.setAreaCondition(0, 0, AreaCondition::Angle, 2).changed);
    EXPECT_TRUE(area(0).has_flag(area_flags::kDeskConditions));
    EXPECT_FALSE(area(0).has_flag(area_flags::kTypedReadings));

    ASSERT_TRUE(doc.saveAs(file("marked.prj")));
    ProjectDocument reopened{context};
    ASSERT_TRUE(reopened.open(file("marked.prj")));
    const ComponentInfo& c = reopened.project().components[0];
    EXPECT_EQ(c.areas[1].reserved2, area_flags::kTypedReadings);
    EXPECT_EQ(c.areas[0].reserved2, area_flags::kDeskConditions);
}

TEST_F(DocumentMarks, AreasAndComponentsEnteredByHandHoldTypedReadings) {
    ASSERT_TRUE(doc.addArea(0));
    EXPECT_TRUE(area(2).has_flag(area_flags::kTypedReadings));
    const std::size_t created = doc.createComponent();
    EXPECT_TRUE(doc.project().components[created].areas[0].has_flag(area_flags::kTypedReadings));
}

TEST_F(DocumentMarks, TheEvaluationNamesItsCurveAndUndoGivesTheOldNameBack) {
    installCurve("lab-c30.cur", 31.5f);
    context.get_setting().curve_file = "lab-c30.cur";
    ASSERT_EQ(doc.project().components[0].curve_filename, "normal.cur");
    ASSERT_TRUE(doc.evaluateComponent(0).evaluation);
    EXPECT_EQ(doc.project().components[0].curve_filename, "lab-c30.cur");
    EXPECT_FLOAT_EQ(doc.project().components[0].strength_avg, 31.5f + 4.5f);
    doc.undo();
    EXPECT_EQ(doc.project().components[0].curve_filename, "normal.cur");
    EXPECT_EQ(doc.project().components[0].strength_avg, 0.0f);
    // An edit evaluated in its step names the curve too.
    ASSERT_TRUE(doc.setReading(0, 0, 0, 35).evaluation);
    EXPECT_EQ(doc.project().components[0].curve_filename, "lab-c30.cur");
}

TEST_F(DocumentMarks, UnderThePumpedCurveRuleAPumpedComponentTakesThePumpedCurve) {
    installCurve("normal.cur", 31.5f);
    ASSERT_TRUE(doc.setEvaluationRules(EvaluationRules{PumpedRule::Curve, Arithmetic::Device}));
    EXPECT_EQ(doc.project().reserved_text1, "pumped=curve");
    // Without the pumped curve nothing is evaluated, and the problem names it.
    const auto refused = doc.evaluateComponent(0);
    ASSERT_TRUE(refused.curveProblem);
    EXPECT_EQ(refused.curveProblem->name, "pumped2011.cur");
    EXPECT_EQ(doc.project().components[0].strength_avg, 0.0f);

    installCurve("pumped2011.cur", 40.0f);
    ASSERT_TRUE(doc.evaluateComponent(0).evaluation);
    const ComponentInfo& c = doc.project().components[0];
    EXPECT_EQ(c.curve_filename, "pumped2011.cur");
    EXPECT_FLOAT_EQ(c.areas[0].area_strength, 40.0f) << "no correction";

    // A laboratory curve serves the pumped component too, without a correction.
    installCurve("lab.cur", 33.0f);
    context.get_setting().curve_file = "lab.cur";
    ASSERT_TRUE(doc.evaluateComponent(0).evaluation);
    EXPECT_EQ(doc.project().components[0].curve_filename, "lab.cur");
    EXPECT_FLOAT_EQ(doc.project().components[0].areas[0].area_strength, 33.0f);

    // The rule is a step of its own; its Undo leaves the texts as they were.
    doc.undo();
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.project().reserved_text1, "");
}

}  // namespace
}  // namespace rebound
