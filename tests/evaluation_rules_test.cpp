// The curve behind each strength, the pumped-concrete rules, the blank
// figures of areas outside the curve and the standard's arithmetic.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "curve_table.h"
#include "evaluation/curve_fit.h"
#include "evaluation/evaluation.h"
#include "evaluation/spare_texts.h"
#include "evaluation/strength_texts.h"

namespace rebound {
namespace {

Strength_Curve read_curve(const char* name) {
    Strength_Curve curve;
    std::ifstream in(std::filesystem::path(REBOUND_SOURCE_DIR) / "data" / "curve" / name, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << name;
    curve.read_from(in);
    return curve;
}

Strength_Curve made_curve(const std::function<float(int, int)>& cell) {
    Strength_Curve curve;
    curve.row_count = 201;
    curve.column_count = 13;
    for (int r = 0; r < 201; ++r)
        for (int c = 0; c < 13; ++c) curve.values.push_back(cell(r, c));
    return curve;
}

// Cells 20 + 0.4 r - c: R at 0.0 mm converts to 2R - 20.
Strength_Curve linear_curve() {
    return made_curve([](int r, int c) { return 20.0f + 0.4f * static_cast<float>(r) - static_cast<float>(c); });
}

// 16 readings whose ten middle ones sum to `tenths` (200 to 599): the mean
// rebound value is tenths / 10 exactly.
AreaData area_of_tenths(int tenths, int carbonation) {
    AreaData a;
    const int low = tenths / 10;
    const int high_count = tenths % 10;  // middle readings one above `low`
    std::vector<int> r(3, low - 1);
    for (int i = 0; i < 10; ++i) r.push_back(i < high_count ? low + 1 : low);
    r.insert(r.end(), 3, low + 2);
    for (std::size_t i = 0; i < kReadingsPerArea; ++i) a.readings[i] = static_cast<std::uint8_t>(r[i]);
    a.carbonation_index = static_cast<std::uint8_t>(carbonation);
    return a;
}

ComponentInfo component_of(const std::vector<std::pair<int, int>>& rebound_and_carbonation, int pump_tag) {
    ComponentInfo c;
    c.pump_tag = static_cast<std::uint8_t>(pump_tag);
    for (auto [rebound, carbonation] : rebound_and_carbonation) c.areas.push_back(area_of_tenths(10 * rebound, carbonation));
    return c;
}

TEST(PumpedCurve, ShippedFileIsTheFormulaCellForCell) {
    const Strength_Curve shipped = read_curve("pumped2011.cur");
    ASSERT_EQ(shipped.row_count, 201);
    ASSERT_EQ(shipped.column_count, 13);
    ASSERT_EQ(shipped.values.size(), 201u * 13u);
    // The tool's curve, byte for byte.
    EXPECT_EQ(shipped.to_bytes(), build_curve(tools::pumped_concrete_2011()).to_bytes());
    // Every cell from the formula written out here: rounded to 0.1 MPa,
    // blank below 10.0 and above 60.0.
    for (int r = 0; r < 201; ++r) {
        for (int c = 0; c < 13; ++c) {
            const double rm = 20.0 + 0.2 * r;
            const double dm = 0.5 * c;
            const double f = std::round(0.034488 * std::pow(rm, 1.94) * std::pow(10.0, -0.0173 * dm) * 10.0) / 10.0;
            const float expected = f < 10.0 || f > 60.0 ? 0.0f : static_cast<float>(f);
            ASSERT_FLOAT_EQ(shipped.values[static_cast<std::size_t>(13 * r + c)], expected) << "Rm " << rm << ", dm " << dm;
        }
    }
    // Check values worked out independently from the published formula.
    const auto at = [&shipped](double rm, double dm) {
        const auto row = static_cast<std::size_t>(std::lround((rm - 20.0) / 0.2));
        const auto column = static_cast<std::size_t>(std::lround(dm / 0.5));
        return shipped.values[13 * row + column];
    };
    const float rm30[] = {25.3f, 24.8f, 24.3f, 23.8f, 23.4f, 22.9f, 22.5f, 22.0f, 21.6f, 21.2f, 20.7f, 20.3f, 19.9f};
    for (int c = 0; c < 13; ++c) EXPECT_FLOAT_EQ(at(30.0, 0.5 * c), rm30[c]) << "dm " << 0.5 * c;
    const struct {
        double rm, dm;
        float strength;
    } checks[] = {{40.0, 0.0, 44.2f}, {40.0, 2.0, 40.8f}, {40.0, 4.0, 37.7f}, {40.0, 6.0, 34.8f},
                  {20.0, 0.0, 11.5f}, {20.0, 2.0, 10.6f}, {20.0, 4.0, 0.0f},  {20.0, 6.0, 0.0f},
                  {47.0, 0.0, 0.0f},  {52.8, 6.0, 59.7f}, {21.0, 6.0, 10.0f}};
    for (const auto& c : checks) EXPECT_FLOAT_EQ(at(c.rm, c.dm), c.strength) << "Rm " << c.rm << ", dm " << c.dm;
}

TEST(PumpedCurve, APumpedComponentUnderEitherRule) {
    // Sixteen readings of 40 at 2.0 mm (index 5): the uniform curve and the
    // correction, or the pumped curve alone; an unpumped component is the
    // same under both.
    const Strength_Curve uniform = read_curve("normal.cur");
    const Strength_Curve pumped = read_curve("pumped2011.cur");
    const EvaluationCurves curves{&uniform, "normal.cur", &pumped, kPumpedCurveFile};
    for (int pump_tag : {0, 1}) {
        ComponentInfo by_correction = component_of({{40, 5}}, pump_tag);
        ComponentInfo by_curve = component_of({{40, 5}}, pump_tag);
        evaluate_component(by_correction, curves, EvaluationRules{PumpedRule::Correction, Arithmetic::Device});
        evaluate_component(by_curve, curves, EvaluationRules{PumpedRule::Curve, Arithmetic::Device});
        // 34.5 MPa on the uniform curve; pumped: + (3.0 - 0.3 x 4.5).
        EXPECT_FLOAT_EQ(by_correction.areas[0].area_strength, pump_tag == 1 ? 36.15f : 34.5f) << pump_tag;
        if (pump_tag == 1) {
            EXPECT_EQ(by_curve.curve_filename, "pumped2011.cur");
            EXPECT_FLOAT_EQ(by_curve.areas[0].area_strength, 40.8f);
            EXPECT_EQ(by_curve.areas[0].pump_correction, 0.0f);
        } else {
            EXPECT_EQ(by_curve.curve_filename, "normal.cur");
            EXPECT_EQ(by_curve.areas[0], by_correction.areas[0]);
        }
    }
}

TEST(CurveName, EveryEvaluationNamesTheCurveThatConvertedTheComponent) {
    const Strength_Curve chosen = linear_curve();
    const Strength_Curve pumped = made_curve([](int, int) { return 50.0f; });
    struct Case {
        const char* what;
        int pump_tag;
        PumpedRule rule;
        bool pumped_curve_offered;  // false: a laboratory curve serves every component
        const char* name;
        float strength;  // of an area R 30 at 0.0 mm
        float correction;
    } cases[] = {
        {"pumped, by correction", 1, PumpedRule::Correction, true, "normal.cur", 40.0f, 4.5f},
        {"pumped, by curve", 1, PumpedRule::Curve, true, "pumped2011.cur", 50.0f, 0.0f},
        {"unpumped, by curve", 0, PumpedRule::Curve, true, "normal.cur", 40.0f, 0.0f},
        {"pumped, by curve, laboratory curve", 1, PumpedRule::Curve, false, "normal.cur", 40.0f, 0.0f},
    };
    for (const Case& c : cases) {
        ComponentInfo comp = component_of({{30, 1}, {30, 1}}, c.pump_tag);
        comp.curve_filename = "old.cur";
        EvaluationCurves curves{&chosen, "normal.cur", nullptr, {}};
        if (c.pumped_curve_offered) {
            curves.pumped = &pumped;
            curves.pumped_name = kPumpedCurveFile;
        }
        evaluate_component(comp, curves, EvaluationRules{c.rule, Arithmetic::Device});
        EXPECT_EQ(comp.curve_filename, c.name) << c.what;
        EXPECT_FLOAT_EQ(comp.areas[0].converted_strength, c.strength) << c.what;
        EXPECT_FLOAT_EQ(comp.areas[0].pump_correction, c.correction) << c.what;
    }
}

TEST(PumpedCorrection, UnmeasuredAreaIsCorrectedAtTheDepthItWasConvertedAt) {
    // One area of four measured (2.0 mm, index 5): each area uses its own
    // depth, and the three unmeasured ones are converted at 2.0 mm too.
    // R 30 at 2.0 mm: 36.0 MPa, corrected by 3.0 - 0.3 x 6 = 1.2.
    ComponentInfo comp = component_of({{30, 5}, {30, 0}, {30, 0}, {30, 0}}, 1);
    evaluate_component(comp, linear_curve());
    ASSERT_EQ(comp.carbonation_mode, 1);
    for (const AreaData& a : comp.areas) {
        EXPECT_FLOAT_EQ(a.converted_strength, 36.0f);
        EXPECT_NEAR(a.pump_correction, 1.2f, 2e-6);
    }
}

TEST(BlankFigures, NoFigureComesFromABlankCell) {
    // Cells below 10.0 and above 60.0 are blank, as in the uniform curve:
    // R 20 at 0.0 mm holds 20.0, R 45 and above are blank, and R below 25 at
    // 6.0 mm (column 12: 20 + 0.4 r - 12 < 10 for r < 5.5... ) is blank.
    const Strength_Curve curve = made_curve([](int r, int c) {
        const float v = 20.0f + 0.4f * static_cast<float>(r) - static_cast<float>(c);
        return v < 10.0f || v > 60.0f ? 0.0f : v;
    });
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> areas;
        EstimateNote note;
        const char* estimate;
        const char* mean;
    } cases[] = {
        {"all on the curve", {{30, 1}, {31, 1}}, EstimateNote::None, "40.0", "41.0"},
        {"one above", {{30, 1}, {45, 1}}, EstimateNote::Blank, "\u2014", "40.0"},
        {"every area above", {{45, 1}, {50, 1}}, EstimateNote::Above, ">60.0", "\u2014"},
        {"one below, one above", {{20, 13}, {45, 1}, {30, 1}}, EstimateNote::Below, "<10.0", "40.0"},
    };
    for (const Case& c : cases) {
        for (int pump_tag : {0, 1}) {
            ComponentInfo comp = component_of(c.areas, pump_tag);
            evaluate_component(comp, curve);
            EXPECT_EQ(estimate_note(comp), c.note) << c.what;
            if (pump_tag == 0 || c.note != EstimateNote::None) {
                EXPECT_EQ(estimate_text(comp), c.estimate) << c.what;
            }
            if (pump_tag == 0) {
                EXPECT_EQ(component_figure_text(comp, comp.strength_avg), c.mean) << c.what;
            }
            EXPECT_EQ(estimate_reason(comp).code.empty(), c.note == EstimateNote::None) << c.what;
            for (const AreaData& a : comp.areas) {
                if (a.converted_strength == 0.0f) {
                    EXPECT_EQ(a.area_strength, 0.0f) << c.what << ", pumped " << pump_tag;
                }
            }
        }
    }
    // Statistics of twelve areas, two of them above the curve: the ten with
    // a strength make the mean and the deviation.
    std::vector<std::pair<int, int>> twelve;
    for (int i = 0; i < 10; ++i) twelve.emplace_back(20 + i, 1);  // 20, 22, ..., 38 MPa
    twelve.emplace_back(50, 1);
    twelve.emplace_back(55, 1);
    ComponentInfo comp = component_of(twelve, 0);
    evaluate_component(comp, curve);
    EXPECT_FLOAT_EQ(comp.strength_avg, 29.0f);
    EXPECT_FLOAT_EQ(comp.strength_min, 20.0f);
    EXPECT_NEAR(comp.strength_delta, 6.055f, 1e-3);
    EXPECT_EQ(estimate_text(comp), "\u2014");
    // The range goes into the spare text beside the cores, and out again
    // once no area lies outside.
    comp.reserved_text = "cores=1:30.0";
    evaluate_component(comp, curve);
    EXPECT_EQ(comp.reserved_text, "cores=1:30.0;curve_range=10.0:60.0");
    comp.areas.resize(10);
    evaluate_component(comp, curve);
    EXPECT_EQ(comp.reserved_text, "cores=1:30.0");
}

// Strength of an area of mean rebound value tenths / 10 at a carbonation
// index, evaluated alone under one arithmetic.
float strength_at(const Strength_Curve& curve, int tenths, int carbonation, Arithmetic arithmetic) {
    AreaData a = area_of_tenths(tenths, carbonation);
    evaluate_area(a, curve, 0, arithmetic);
    return a.converted_strength;
}

TEST(StandardArithmetic, ReadsTheCurveAtTheMeanAsWritten) {
    const Strength_Curve curve = read_curve("normal.cur");
    const auto cell = [&curve](int row, int column) { return curve.values[static_cast<std::size_t>(13 * row + column)]; };
    // The documented single-precision truncation reads some means a tenth
    // low, and so between two rows of the curve; the standard reads the
    // mean as written. Every Rm from 20.0 to 59.9 at 0.0, 1.5 and 4.0 mm.
    int differing = 0;
    for (int carbonation : {1, 4, 9}) {
        const int column = carbonation - 1;
        for (int tenths = 200; tenths < 600; ++tenths) {
            const int above = tenths - 200;
            // The standard: the row itself, or the mean of the two rows around.
            const float lower = cell(above / 2, column);
            const float upper = cell((above + 1) / 2, column);
            const bool blank = lower == 0.0f || upper == 0.0f;
            const float standard = blank ? 0.0f : static_cast<float>((double{lower} + double{upper}) / 2.0);
            EXPECT_FLOAT_EQ(strength_at(curve, tenths, carbonation, Arithmetic::Standard), standard)
                << "Rm " << tenths / 10.0 << ", index " << carbonation;
            const float device = strength_at(curve, tenths, carbonation, Arithmetic::Device);
            // At the edge of the curve one of the two may meet a blank cell.
            if (device != standard && device != 0.0f && standard != 0.0f) {
                ++differing;
                EXPECT_LT(device, standard) << "Rm " << tenths / 10.0;
                EXPECT_LE(standard - device, 0.4f + 1e-4f) << "Rm " << tenths / 10.0;
            }
        }
    }
    EXPECT_GT(differing, 0);
    // The example: Rm 36.6 at 1.5 mm.
    EXPECT_FLOAT_EQ(strength_at(curve, 366, 4, Arithmetic::Device), 30.45f);
    EXPECT_FLOAT_EQ(strength_at(curve, 366, 4, Arithmetic::Standard), 30.6f);
}

TEST(StandardArithmetic, CountsTheValuesThatReadLow) {
    // 160 of the 400 means from 20.0 to 59.9 are held just below their tenth.
    int low = 0;
    for (int tenths = 200; tenths < 600; ++tenths) {
        const auto mean = static_cast<float>(tenths * 0.1);
        if (static_cast<int>(10.0 * double{mean}) < tenths) ++low;
    }
    EXPECT_EQ(low, 160);
}

TEST(StandardArithmetic, CorrectedMeansRoundToTenths) {
    // R 30.0 at 30 degrees, downwards: -2.5 then +1.75 gives 29.25, written
    // 29.3 (row index 93) where the hammer truncates to 29.2.
    AreaData a = area_of_tenths(300, 5);
    a.angle_index = 1;
    a.surface_index = 1;
    const Strength_Curve curve = linear_curve();
    AreaData device = a;
    evaluate_area(device, curve, 0, Arithmetic::Device);
    evaluate_area(a, curve, 0, Arithmetic::Standard);
    EXPECT_FLOAT_EQ(a.angle_correction, -2.5f);
    EXPECT_FLOAT_EQ(a.surface_correction, 1.75f);  // looked up at R1 = 27.5
    // Column 4: 20 + 0.4 r - 4; R2 = 29.3: half-way between rows 46 and 47.
    EXPECT_FLOAT_EQ(a.converted_strength, 16.0f + 0.4f * 46.5f);
    EXPECT_FLOAT_EQ(device.converted_strength, 16.0f + 0.4f * 46.0f);
}

TEST(StandardArithmetic, RepresentativeDepthIsRoundedAndServesEveryArea) {
    // Counted depths 1.0 and 1.5 mm (d = 2 and 3): mean 2.5 steps, truncated
    // to 1.0 mm (index 3) by the hammer, rounded to 1.5 mm (index 4) by the
    // standard, which converts every area at it.
    const std::vector<std::pair<int, int>> areas = {{30, 3}, {30, 4}, {30, 3}, {30, 4}};
    ComponentInfo device = component_of(areas, 0);
    ComponentInfo standard = component_of(areas, 0);
    evaluate_component(device, linear_curve(), EvaluationRules{PumpedRule::Correction, Arithmetic::Device});
    evaluate_component(standard, linear_curve(), EvaluationRules{PumpedRule::Correction, Arithmetic::Standard});
    ASSERT_EQ(device.carbonation_mode, 0);
    EXPECT_EQ(device.rep_carbonation_index, 3);
    EXPECT_EQ(standard.rep_carbonation_index, 4);
    // Own depths under the hammer's arithmetic: 38 and 37 MPa.
    EXPECT_FLOAT_EQ(device.areas[0].converted_strength, 38.0f);
    EXPECT_FLOAT_EQ(device.areas[1].converted_strength, 37.0f);
    for (const AreaData& a : standard.areas) {
        EXPECT_FLOAT_EQ(a.converted_strength, 37.0f);
        EXPECT_NE(a.carbonation_index, 0) << "the recorded depth stays as it was";
    }
    EXPECT_EQ(standard.areas[0].carbonation_index, 3);
}

TEST(EvaluationRulesText, KeptBesideTheBatchSettings) {
    ReboundFile project;
    project.reserved_text1 = "batch=1;k=2.0";
    EXPECT_EQ(read_evaluation_rules(project), EvaluationRules{});
    // The defaults write nothing: the texts stay byte for byte.
    const auto same = header_texts_with_rules(project, EvaluationRules{});
    ASSERT_TRUE(same);
    EXPECT_EQ(same->text1, "batch=1;k=2.0");
    EXPECT_EQ(same->text2, "");

    const EvaluationRules both{PumpedRule::Curve, Arithmetic::Standard};
    const auto written = header_texts_with_rules(project, both);
    ASSERT_TRUE(written);
    EXPECT_EQ(written->text1, "batch=1;k=2.0;pumped=curve;arithmetic=standard");
    project.reserved_text1 = written->text1;
    EXPECT_EQ(read_evaluation_rules(project), both);
    EXPECT_EQ(read_batch_data(project).settings.k, 2.0) << "the batch settings read as before";

    // A first text that is another program's note: the second one takes them.
    project.reserved_text1 = "a note";
    const auto second = header_texts_with_rules(project, both);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text1, "a note");
    EXPECT_EQ(second->text2, "pumped=curve;arithmetic=standard");
    project.reserved_text2 = "another note";
    EXPECT_FALSE(header_texts_with_rules(project, both));
}

}  // namespace
}  // namespace rebound
