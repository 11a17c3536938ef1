// Correction lookup, test-area and component evaluation.
#include "evaluation/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <vector>

#include "evaluation/corrections.h"
#include "evaluation/strength_texts.h"

namespace rebound {
namespace {

// ---------------------------------------------------------------- corrections

struct LookupCase {
    const char* name;
    bool angle_table;
    float value;
    int column;
    double expected;
};

TEST(CorrectionLookup, ReadsLimitsTruncatesAndInterpolates) {
    const LookupCase cases[] = {
        {"whole value reads its row", true, 35.0f, 1, -2.3},
        {"hundredths are ignored", true, 35.05f, 1, -2.3},
        {"35.1 held below the tenth reads row 35", true, 35.1f, 1, -2.3},
        {"half-way interpolates", true, 35.5f, 1, -2.25},
        {"truncated, not rounded, to the tenth", true, 35.96f, 1, -2.204},
        {"rising column interpolates", true, 47.5f, 2, 1.15},
        {"equal neighbours give the lower row", true, 40.5f, 1, -2.0},
        {"below the table reads row 20", true, 19.2f, 1, -3.0},
        {"above the table reads row 50", true, 50.5f, 1, -1.5},
        {"far above the table reads row 50", true, 55.0f, 1, -1.5},
        {"last column, first row", true, 20.0f, 8, 4.0},
        {"last column, last row", true, 50.0f, 8, 2.5},
        {"0 degrees is never corrected", true, 33.3f, 0, 0.0},
        {"not a number reads row 20", true, std::numeric_limits<float>::quiet_NaN(), 7, -6.0},
        {"surface downwards interpolates", false, 20.5f, 0, 2.45},
        {"surface upwards, last row", false, 50.0f, 1, 0.0},
        {"surface upwards, first row", false, 20.0f, 1, -3.0},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const float result =
            c.angle_table
                ? correction_lookup(angle_correction_table.data(), kAngleColumnCount, c.value, c.column)
                : correction_lookup(surface_correction_table.data(), kSurfaceColumnCount, c.value, c.column);
        EXPECT_NEAR(result, c.expected, 1e-5);
    }
}

TEST(CorrectionLookup, InterpolatesOnlyBetweenRowsThatDiffer) {
    struct Case {
        double fraction, lower, upper, expected;
    } cases[] = {
        {0.5, 1.0, 1.1, 1.05},    // differ by 0.1
        {0.25, 2.0, 1.0, 1.75},   // falling
        {0.5, 1.0, 1.05, 1.025},  // exactly 0.05 still interpolates
        {0.5, 1.0, 1.04, 1.0},    // closer than 0.05: the lower row
        {0.9, -2.0, -2.0, -2.0},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(interpolate_rows(c.fraction, c.lower, c.upper), c.expected);
}

TEST(CorrectionLookup, AngleDegrees) {
    const std::pair<int, int> cases[] = {{0, 0},   {1, 30}, {2, -30}, {3, 45}, {4, -45}, {5, 60},
                                         {6, -60}, {7, 90}, {8, -90}, {9, 0},  {255, 0}, {-1, 0}};
    for (auto [index, degrees] : cases) EXPECT_EQ(angle_degrees(index), degrees) << index;
}

// ------------------------------------------------------------------ curves

Strength_Curve shipped_curve() {
    Strength_Curve curve;
    std::ifstream in(std::filesystem::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur",
                     std::ios::binary);
    EXPECT_TRUE(in.is_open());
    curve.read_from(in);
    return curve;
}

// A 201 x 13 curve whose cells are given by a function of row and column.
Strength_Curve made_curve(const std::function<float(int, int)>& cell, int rows = 201, int columns = 13) {
    Strength_Curve curve;
    curve.row_count = rows;
    curve.column_count = columns;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) curve.values.push_back(cell(r, c));
    return curve;
}

AreaData area_from(std::vector<std::uint8_t> readings, int angle, int surface, int carbonation) {
    AreaData a;
    EXPECT_EQ(readings.size(), kReadingsPerArea);
    std::copy(readings.begin(), readings.end(), a.readings.begin());
    a.angle_index = static_cast<std::uint8_t>(angle);
    a.surface_index = static_cast<std::uint8_t>(surface);
    a.carbonation_index = static_cast<std::uint8_t>(carbonation);
    return a;
}

std::vector<std::uint8_t> repeated(std::uint8_t value) {
    return std::vector<std::uint8_t>(16, value);
}

// --------------------------------------------------------------------- areas

struct AreaCase {
    const char* name;
    std::vector<std::uint8_t> readings;
    int angle, surface, carbonation;
    float mean, angle_correction, surface_correction;
    float strength;  // the cell of the uniform conversion table
};

TEST(EvaluateArea, ConvertsWithTheShippedCurve) {
    const Strength_Curve curve = shipped_curve();
    ASSERT_EQ(curve.values.size(), 201u * 13u);
    const std::vector<std::uint8_t> r30 = {28, 29, 29, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 31, 31, 32};
    const std::vector<std::uint8_t> r40 = {10, 12, 14, 40, 40, 40, 40, 40, 41, 41, 41, 41, 41, 60, 62, 64};
    // Middle ten sum to 351: 35.1 held as 35.0999985.
    const std::vector<std::uint8_t> r351 = {20, 20, 20, 35, 35, 35, 35, 35, 35, 35, 35, 35, 36, 50, 50, 50};
    const AreaCase cases[] = {
        // 30.0 - 2.5 = 27.5, +1.75 (between 1.8 and 1.7) = 29.25: row 46 (29.2), 2.0 mm.
        {"angle and downwards surface", r30, 1, 1, 5, 30.0f, -2.5f, 1.75f, 19.0f},
        // Outliers dropped, 40.5: index 205, mean of rows 40.4 and 40.6 at 1.0 mm.
        {"odd index averages two rows", r40, 0, 0, 3, 40.5f, 0.0f, 0.0f, (39.0f + 39.4f) / 2},
        {"even index reads one row", repeated(40), 0, 0, 3, 40.0f, 0.0f, 0.0f, 38.3f},
        {"35.1 reads row 35.0 alone", r351, 0, 0, 1, 35.1f, 0.0f, 0.0f, 31.8f},
        {"below 20 reads the first row", repeated(19), 0, 0, 1, 19.0f, 0.0f, 0.0f, 10.3f},
        {"60 and above read the last row", repeated(62), 0, 0, 13, 62.0f, -0.0f, 0.0f, 56.4f},
        {"carbonation above 13 reads the 6.0 mm column", repeated(62), 0, 0, 200, 62.0f, 0.0f, 0.0f, 56.4f},
        {"angle above 8 counts as 0 degrees", repeated(40), 9, 0, 3, 40.0f, 0.0f, 0.0f, 38.3f},
        // Surface above 2 counts as upwards: 40.0 - 1.0 = 39.0 (row 95).
        {"surface above 2 counts as upwards", repeated(40), 0, 5, 1, 40.0f, 0.0f, -1.0f, 39.5f},
        {"unmeasured carbonation without a fallback", repeated(40), 0, 0, 0, 40.0f, 0.0f, 0.0f, 0.0f},
    };
    for (const AreaCase& c : cases) {
        SCOPED_TRACE(c.name);
        AreaData a = area_from(c.readings, c.angle, c.surface, c.carbonation);
        const AreaData before = a;
        evaluate_area(a, curve);
        EXPECT_EQ(a.mean_rebound, c.mean);
        EXPECT_NEAR(a.angle_correction, c.angle_correction, 1e-6);
        EXPECT_NEAR(a.surface_correction, c.surface_correction, 1e-6);
        EXPECT_FLOAT_EQ(a.converted_strength, c.strength);
        // Only the four results change.
        AreaData rest = a;
        rest.mean_rebound = before.mean_rebound;
        rest.angle_correction = before.angle_correction;
        rest.surface_correction = before.surface_correction;
        rest.converted_strength = before.converted_strength;
        EXPECT_EQ(rest, before);
    }
}

// Sixteen readings whose ten middle ones sum to `sum`: mean sum / 10.
std::vector<std::uint8_t> middle_sum(int sum) {
    std::vector<std::uint8_t> r = {0, 0, 0, 255, 255, 255};
    for (int i = 0; i < 10; ++i) r.push_back(static_cast<std::uint8_t>(sum / 10 + (i < sum % 10 ? 1 : 0)));
    return r;
}

TEST(EvaluateArea, BlankCellsAreNeverAveragedAndTheirSideIsNamed) {
    // The shipped curve: at 0.0 mm (column 0) the last strength is 60.0 in
    // row 140 (48.0), row 141 is blank; at 6.0 mm (column 12) row 19 (23.8)
    // is blank and row 20 (24.0) holds the first strength, 10.1.
    const Strength_Curve curve = shipped_curve();
    const auto cell = [&](int row, int column) { return curve.values[13 * row + column]; };
    ASSERT_EQ(cell(140, 0), 60.0f);
    ASSERT_EQ(cell(141, 0), 0.0f);
    ASSERT_EQ(cell(19, 12), 0.0f);
    ASSERT_NE(cell(20, 12), 0.0f);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> readings;
        int surface, carbonation;
        float strength;
        CurveSide side;
    } cases[] = {
        {"last strength of the first column", repeated(48), 0, 1, 60.0f, CurveSide::OnCurve},
        // 48.3 upwards: 48.13, index 281, half-way between 60.0 and a blank.
        {"half-way from the last strength to a blank", middle_sum(483), 2, 1, 0.0f, CurveSide::Above},
        {"first blank above the first column", repeated(50), 0, 1, 0.0f, CurveSide::Above},
        {"top row of the first column", repeated(62), 0, 1, 0.0f, CurveSide::Above},
        {"first row of the first column", repeated(19), 0, 1, 10.3f, CurveSide::OnCurve},
        {"first strength of the last column", repeated(24), 0, 13, cell(20, 12), CurveSide::OnCurve},
        // 21.6 downwards: 23.94, index 39, half-way between a blank and 10.1.
        {"half-way from a blank to the first strength", middle_sum(216), 1, 13, 0.0f, CurveSide::Below},
        // 21.8 downwards: 24.12, index 41, between two strengths.
        {"half-way between two strengths", middle_sum(218), 1, 13, (cell(20, 12) + cell(21, 12)) / 2,
         CurveSide::OnCurve},
        {"blank below the last column", repeated(22), 0, 13, 0.0f, CurveSide::Below},
        {"top row of the last column", repeated(62), 0, 13, 56.4f, CurveSide::OnCurve},
        {"no depth to choose a column", repeated(40), 0, 0, 0.0f, CurveSide::NoDepth},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AreaData a = area_from(c.readings, 0, c.surface, c.carbonation);
        EXPECT_EQ(evaluate_area(a, curve), c.side);
        EXPECT_FLOAT_EQ(a.converted_strength, c.strength);
    }
}

TEST(EvaluateArea, UnmeasuredAreaUsesTheFallbackColumn) {
    const Strength_Curve curve = shipped_curve();
    AreaData a = area_from(repeated(40), 0, 0, 0);
    evaluate_area(a, curve, 3);
    EXPECT_FLOAT_EQ(a.converted_strength, 38.3f);
    EXPECT_EQ(a.carbonation_index, 0);
}

TEST(EvaluateArea, OrderOfReadingsDoesNotMatter) {
    const Strength_Curve curve = shipped_curve();
    std::vector<std::uint8_t> readings = {10, 64, 41, 40, 12, 62, 41, 40, 41, 14, 40, 60, 40, 41, 40, 41};
    AreaData reference = area_from(readings, 3, 2, 7);
    evaluate_area(reference, curve);
    for (int shift = 1; shift < 16; shift += 5) {
        std::rotate(readings.begin(), readings.begin() + shift, readings.end());
        AreaData a = area_from(readings, 3, 2, 7);
        evaluate_area(a, curve);
        EXPECT_EQ(a.mean_rebound, reference.mean_rebound);
        EXPECT_EQ(a.converted_strength, reference.converted_strength);
        EXPECT_TRUE(std::equal(readings.begin(), readings.end(), a.readings.begin()));
    }
}

TEST(EvaluateArea, MeanDropsThreeSmallestAndThreeLargest) {
    // Many reading sets, ties and extremes included, against the plain
    // definition: sort, sum positions 3 to 12, times 0.1.
    const Strength_Curve curve;
    std::uint32_t state = 7;
    for (int n = 0; n < 2000; ++n) {
        std::array<std::uint8_t, 16> readings;
        for (auto& r : readings) {
            state = state * 1664525u + 1013904223u;
            const std::uint32_t pick = state >> 24;
            r = static_cast<std::uint8_t>(n % 3 == 0 ? 30 + pick % 4 : pick);  // small spread: many ties
        }
        std::array<std::uint8_t, 16> sorted = readings;
        std::sort(sorted.begin(), sorted.end());
        int sum = 0;
        for (int i = 3; i < 13; ++i) sum += sorted[i];
        AreaData a;
        a.readings = readings;
        evaluate_area(a, curve);
        ASSERT_EQ(a.mean_rebound, static_cast<float>(sum * 0.1)) << "set " << n;
    }
}

TEST(EvaluateArea, CellsOutsideTheLoadedCurveReadZero) {
    const auto row_value = [](int r, int) { return 10.0f + static_cast<float>(r); };
    struct Case {
        const char* name;
        Strength_Curve curve;
        std::uint8_t rebound;
        int carbonation;
        float expected;
    } cases[] = {
        {"empty curve", Strength_Curve{}, 40, 1, 0.0f},
        {"row beyond a short curve", made_curve(row_value, 50), 40, 1, 0.0f},
        {"row inside a short curve", made_curve(row_value, 50), 29, 1, 55.0f},  // row 45
        {"column beyond a narrow curve", made_curve(row_value, 201, 5), 40, 13, 0.0f},
        {"column inside a narrow curve", made_curve(row_value, 201, 5), 40, 5, 110.0f},
        // 40.7 (held just above) gives index 207: rows 103 (present) and 104
        // (absent). A missing cell is blank, and a blank is never averaged.
        {"half of a pair beyond the curve", made_curve(row_value, 104), 0, 1, 0.0f},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        AreaData a = c.rebound != 0 ? area_from(repeated(c.rebound), 0, 0, c.carbonation)
                                    : area_from({0, 0, 0, 40, 40, 40, 41, 41, 41, 41, 41, 41, 41, 99, 99, 99},
                                                0, 0, c.carbonation);
        evaluate_area(a, c.curve);
        EXPECT_FLOAT_EQ(a.converted_strength, c.expected);
    }
}

// ---------------------------------------------------------------- components

TEST(PumpCorrection, FallsLinearlyBetweenItsLimits) {
    struct Case {
        float strength;
        int index;
        float expected;
    } cases[] = {
        {30.0f, 1, 4.5f}, {40.0f, 1, 4.5f}, {45.0f, 2, 3.0f},  {54.9f, 3, 0.03f}, {55.0f, 3, 0.0f},
        {0.0f, 2, 4.5f},  {30.0f, 4, 3.0f}, {35.0f, 4, 1.5f},  {39.0f, 5, 0.3f},  {40.0f, 5, 0.0f},
        {20.0f, 0, 0.0f}, {20.0f, 6, 0.0f}, {20.0f, 13, 0.0f}, {20.0f, -1, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(compute_pump_correction(c.strength, c.index), c.expected, 2e-6)
            << c.strength << " MPa, index " << c.index;
    }
}

// Converted strength of an area whose 16 readings all equal R, at 0 degrees
// on a horizontal surface, with carbonation index k: 2R - 20 - (k - 1).
Strength_Curve linear_curve() {
    return made_curve(
        [](int r, int c) { return 20.0f + 0.4f * static_cast<float>(r) - static_cast<float>(c); });
}

ComponentInfo component_of(const std::vector<std::pair<int, int>>& rebound_and_carbonation, int pump_tag) {
    ComponentInfo c;
    c.pump_tag = static_cast<std::uint8_t>(pump_tag);
    for (auto [rebound, carbonation] : rebound_and_carbonation) {
        c.areas.push_back(area_from(repeated(static_cast<std::uint8_t>(rebound)), 0, 0, carbonation));
    }
    return c;
}

TEST(EvaluateComponent, CarbonationModeAndRepresentativeIndex) {
    struct Case {
        const char* name;
        std::vector<int> indices;
        int mode, representative;
    } cases[] = {
        {"four of ten measured, no spread", {3, 3, 3, 3, 0, 0, 0, 0, 0, 0}, 0, 3},
        {"three of ten counted", {5, 5, 5, 1, 1, 1, 1, 1, 1, 1}, 1, 2},
        {"spread of more than 2.0 mm", {13, 5, 5, 5, 0, 0, 0, 0, 0, 0}, 1, 3},
        {"spread of exactly 2.0 mm", {3, 7, 3, 7, 3, 7, 0, 0, 0, 0}, 0, 5},
        {"counted mean truncated", {4, 5, 5, 0, 0, 0}, 0, 4},
        {"nine areas, three counted", {4, 4, 4, 0, 0, 0, 0, 0, 0}, 1, 2},
        {"nine areas, four counted", {4, 4, 4, 4, 0, 0, 0, 0, 0}, 0, 4},
        {"index 14 counts as depth 13", {14, 14, 14}, 0, 14},
        {"index 15 is not counted", {15, 15, 15}, 1, 1},
        {"nothing measured", {0, 0, 0, 0}, 1, 1},
    };
    const Strength_Curve curve = linear_curve();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<int, int>> areas;
        for (int index : c.indices) areas.emplace_back(30, index);
        ComponentInfo comp = component_of(areas, 0);
        evaluate_component(comp, curve);
        EXPECT_EQ(comp.carbonation_mode, c.mode);
        EXPECT_EQ(comp.rep_carbonation_index, c.representative);
    }
}

TEST(EvaluateComponent, UnmeasuredAreasTakeTheRepresentativeDepth) {
    // Four areas at 1.0 mm, six unmeasured: mode 0, representative index 3.
    // Every area converts at 1.0 mm: 2 * 25 - 20 - 2 = 28, and the pumped
    // correction at index 3 is 4.5 for all ten.
    std::vector<std::pair<int, int>> areas(4, {25, 3});
    areas.insert(areas.end(), 6, {25, 0});
    ComponentInfo comp = component_of(areas, 1);
    evaluate_component(comp, linear_curve());
    ASSERT_EQ(comp.carbonation_mode, 0);
    for (const AreaData& a : comp.areas) {
        EXPECT_FLOAT_EQ(a.converted_strength, 28.0f);
        EXPECT_FLOAT_EQ(a.pump_correction, 4.5f);
        EXPECT_FLOAT_EQ(a.area_strength, 32.5f);
    }
}

TEST(EvaluateComponent, UnmeasuredAreasTakeTheMeanMeasuredDepth) {
    // With the linear curve an area of R 30 converts to 40 - (k - 1) at
    // carbonation index k, so the strength of an unmeasured area tells the
    // index it was converted at.
    struct Case {
        const char* name;
        std::vector<int> indices;
        int converted_at;
        bool not_measured;
        int mode, representative;  // as the statistics compute them, unchanged
    } cases[] = {
        // The representative index (mode 1: 36 / 10 + 1 = 4) would divide by
        // all ten areas and convert the seven at 1.5 mm.
        {"three measured at >6 mm, seven unmeasured", {13, 13, 13, 0, 0, 0, 0, 0, 0, 0}, 13, false, 1, 4},
        // Depths 0.0 and 1.5 mm: mean 0.75, truncated to 0.5 mm (index 2).
        {"0.0 mm counts, mean truncated to the step below", {1, 4, 0, 0}, 2, false, 1, 1},
        {"index above 13 counts as 13", {200, 0, 0}, 13, false, 1, 1},
        {"none measured: 0.0 mm", {0, 0, 0, 0}, 1, true, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::pair<int, int>> areas;
        for (int index : c.indices) areas.emplace_back(30, index);
        ComponentInfo comp = component_of(areas, 0);
        const ComponentEvaluation result = evaluate_component(comp, linear_curve());
        EXPECT_EQ(result.unmeasured_carbonation_index, c.converted_at);
        EXPECT_EQ(result.carbonation_not_measured, c.not_measured);
        EXPECT_EQ(comp.carbonation_mode, c.mode);
        EXPECT_EQ(comp.rep_carbonation_index, c.representative);
        for (std::size_t i = 0; i < comp.areas.size(); ++i) {
            if (c.indices[i] != 0) continue;
            EXPECT_FLOAT_EQ(comp.areas[i].converted_strength, 40.0f - static_cast<float>(c.converted_at - 1))
                << "area " << i;
            EXPECT_EQ(comp.areas[i].carbonation_index, 0) << "the recorded depth stays unmeasured";
        }
    }
    ComponentInfo empty;
    EXPECT_FALSE(evaluate_component(empty, linear_curve()).carbonation_not_measured);
}

TEST(EvaluateComponent, NamesTheAreasOutsideTheCurveAndKeepsTheDocumentedFigures) {
    // Shipped curve: R 40 at 1.0 mm is 38.3 MPa; R 22 at >6 mm lies below
    // the curve, R 55 at 0.0 mm above it.
    const Strength_Curve curve = shipped_curve();
    ComponentInfo comp;
    comp.pump_tag = 1;
    const std::pair<int, int> areas[] = {{40, 3}, {22, 13}, {55, 1}, {40, 3}, {21, 13}};
    for (auto [rebound, carbonation] : areas) {
        comp.areas.push_back(area_from(repeated(static_cast<std::uint8_t>(rebound)), 0, 0, carbonation));
    }
    const ComponentEvaluation result = evaluate_component(comp, curve);
    const std::vector<AreaOutsideCurve> expected = {
        {1, CurveSide::Below}, {2, CurveSide::Above}, {4, CurveSide::Below}};
    EXPECT_EQ(result.outside_curve, expected);
    EXPECT_TRUE(result.any_above());
    EXPECT_EQ(result.area_numbers(CurveSide::Below), "2, 5");
    EXPECT_EQ(result.area_numbers(CurveSide::Above), "3");
    // A blank stays blank: no pumped correction, stored floats 0.0, and the
    // figures come from the areas with a strength (38.3 + 4.5 twice). The
    // estimate is "<" the curve's lowest strength, as an area lies below.
    for (std::size_t blank : {1u, 2u, 4u}) {
        EXPECT_EQ(comp.areas[blank].converted_strength, 0.0f) << blank;
        EXPECT_EQ(comp.areas[blank].pump_correction, 0.0f) << blank;
        EXPECT_EQ(comp.areas[blank].area_strength, 0.0f) << blank;
    }
    EXPECT_TRUE(comp.areas[1].has_flag(area_flags::kBelowCurve));
    EXPECT_TRUE(comp.areas[2].has_flag(area_flags::kAboveCurve));
    EXPECT_FALSE(comp.areas[0].has_flag(area_flags::kBelowCurve | area_flags::kAboveCurve));
    EXPECT_FLOAT_EQ(comp.strength_min, 42.8f);
    EXPECT_FLOAT_EQ(comp.strength_avg, 42.8f);
    EXPECT_FLOAT_EQ(comp.strength_estimate, 0.0f);
    EXPECT_EQ(estimate_note(comp), EstimateNote::Below);
    EXPECT_EQ(estimate_text(comp), "<10.0");
    EXPECT_EQ(area_strength_text(comp, comp.areas[1], comp.areas[1].area_strength), "<10.0");
    EXPECT_EQ(area_strength_text(comp, comp.areas[2], comp.areas[2].area_strength), ">60.0");
    EXPECT_EQ(area_strength_text(comp, comp.areas[0], comp.areas[0].area_strength), "42.8");

    ComponentInfo inside = component_of({{40, 3}, {30, 5}}, 0);
    const ComponentEvaluation none = evaluate_component(inside, curve);
    EXPECT_FALSE(none.any_outside());
    EXPECT_FALSE(none.any_above());
    EXPECT_EQ(none.area_numbers(CurveSide::Below), "");
}

TEST(EvaluateComponent, PumpedCorrectionFollowsTheMode) {
    // Three of ten counted (index 5), so each area uses its own index.
    // Index 5 at R 30: 36.0 -> +1.2; index 1 at R 30: 40.0 -> +4.5.
    std::vector<std::pair<int, int>> areas(3, {30, 5});
    areas.insert(areas.end(), 7, {30, 1});
    ComponentInfo pumped = component_of(areas, 1);
    evaluate_component(pumped, linear_curve());
    ASSERT_EQ(pumped.carbonation_mode, 1);
    EXPECT_NEAR(pumped.areas[0].pump_correction, 1.2f, 2e-6);
    EXPECT_NEAR(pumped.areas[0].area_strength, 37.2f, 1e-5);
    EXPECT_FLOAT_EQ(pumped.areas[9].pump_correction, 4.5f);
    EXPECT_FLOAT_EQ(pumped.areas[9].area_strength, 44.5f);

    for (int tag : {0, 2}) {
        ComponentInfo plain = component_of(areas, tag);
        evaluate_component(plain, linear_curve());
        for (const AreaData& a : plain.areas) {
            EXPECT_EQ(a.pump_correction, 0.0f) << "pump_tag " << tag;
            EXPECT_EQ(a.area_strength, a.converted_strength) << "pump_tag " << tag;
        }
    }

    // No strength on the curve: no correction either, and no figure.
    ComponentInfo blank = component_of({{30, 2}, {30, 2}}, 1);
    evaluate_component(blank, Strength_Curve{});
    EXPECT_EQ(blank.areas[1].pump_correction, 0.0f);
    EXPECT_EQ(blank.areas[1].area_strength, 0.0f);
}

TEST(EvaluateComponent, StrengthFigures) {
    // Areas of R 20, 21, ... convert to 20, 22, 24, ... MPa at 0.0 mm.
    const auto rising = [](int count) {
        std::vector<std::pair<int, int>> areas;
        for (int i = 0; i < count; ++i) areas.emplace_back(20 + i, 1);
        return areas;
    };
    const Strength_Curve curve = linear_curve();

    ComponentInfo ten = component_of(rising(10), 0);
    ten.strength_estimate = 5.0f;  // a stale estimate below 10 MPa has no say
    evaluate_component(ten, curve);
    EXPECT_FLOAT_EQ(ten.strength_avg, 29.0f);
    EXPECT_FLOAT_EQ(ten.strength_min, 20.0f);
    EXPECT_NEAR(ten.strength_delta, std::sqrt(330.0 / 9.0), 1e-5);
    EXPECT_NEAR(ten.strength_estimate, 29.0 - 1.645 * std::sqrt(330.0 / 9.0), 1e-4);
    EXPECT_NEAR(ten.strength_estimate, 19.04, 0.005);

    ComponentInfo nine = component_of(rising(9), 0);
    nine.strength_delta = 7.5f;
    evaluate_component(nine, curve);
    EXPECT_FLOAT_EQ(nine.strength_avg, 28.0f);
    EXPECT_FLOAT_EQ(nine.strength_estimate, 20.0f);
    EXPECT_EQ(nine.strength_delta, 7.5f);

    ComponentInfo twelve = component_of(rising(12), 0);
    evaluate_component(twelve, curve);
    EXPECT_FLOAT_EQ(twelve.strength_avg, 31.0f);  // 372 / 12
    EXPECT_NEAR(twelve.strength_delta, std::sqrt(572.0 / 11.0), 1e-5);

    // An area below 10 MPa (R 20 at 6.0 mm: 8.0) makes the estimate the minimum.
    std::vector<std::pair<int, int>> low(9, {25, 1});
    low.emplace_back(20, 13);
    ComponentInfo weak = component_of(low, 0);
    evaluate_component(weak, curve);
    EXPECT_FLOAT_EQ(weak.strength_min, 8.0f);
    EXPECT_FLOAT_EQ(weak.strength_estimate, 8.0f);
    EXPECT_GT(weak.strength_avg - 1.645f * weak.strength_delta, 10.0f);
}

TEST(EvaluateComponent, MinimumIsTheSmallestWhereverItStands) {
    ComponentInfo comp = component_of({{30, 1}, {26, 1}, {35, 1}, {22, 1}, {28, 1}}, 0);
    evaluate_component(comp, linear_curve());
    EXPECT_FLOAT_EQ(comp.strength_min, 24.0f);
    EXPECT_FLOAT_EQ(comp.strength_estimate, 24.0f);
}

TEST(EvaluateComponent, NoAreas) {
    ComponentInfo comp;
    comp.carbonation_mode = 0;
    comp.rep_carbonation_index = 5;
    comp.strength_avg = 9.0f;
    comp.strength_min = 12.5f;
    comp.strength_delta = 3.0f;
    comp.strength_estimate = 1.0f;
    evaluate_component(comp, linear_curve());
    EXPECT_EQ(comp.carbonation_mode, 1);
    EXPECT_EQ(comp.rep_carbonation_index, 0);
    EXPECT_EQ(comp.strength_avg, 0.0f);
    EXPECT_EQ(comp.strength_min, 12.5f);
    EXPECT_EQ(comp.strength_delta, 3.0f);
    EXPECT_EQ(comp.strength_estimate, 12.5f);
}

TEST(EvaluateComponent, SecondRunGivesTheSameFigures) {
    const Strength_Curve curve = shipped_curve();
    ComponentInfo comp;
    comp.pump_tag = 1;
    for (int i = 0; i < 12; ++i) {
        AreaData a;
        for (int r = 0; r < 16; ++r) a.readings[r] = static_cast<std::uint8_t>(25 + (r * 7 + i * 3) % 20);
        a.angle_index = static_cast<std::uint8_t>(i % 9);
        a.surface_index = static_cast<std::uint8_t>(i % 3);
        a.carbonation_index = static_cast<std::uint8_t>(i % 14);
        comp.areas.push_back(a);
    }
    evaluate_component(comp, curve);
    const ComponentInfo once = comp;
    evaluate_component(comp, curve);
    EXPECT_EQ(comp, once);
}

}  // namespace
}  // namespace rebound
