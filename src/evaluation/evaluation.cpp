#include "evaluation/evaluation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "evaluation/corrections.h"
#include "evaluation/spare_texts.h"
#include "evaluation/strength_texts.h"
#include "model/number_text.h"

namespace rebound {

namespace {

// Index codings of an area.
constexpr int kMaxAngleIndex = 8;
constexpr int kMaxSurfaceIndex = 2;
constexpr int kMaxCarbonationIndex = 13;  // ">6 mm", read from the 6.0 mm column

// Curve rows: 20.0 + 0.2 * row for rows 0 to 200; the row index below counts
// tenths above 20.0 (0 to 400), so even indices fall on a row and odd ones
// half-way between two rows.
constexpr int kCurveFirstRebound = 20;
constexpr int kCurveLastRebound = 60;
constexpr int kCurveTopRowIndex = 10 * (kCurveLastRebound - kCurveFirstRebound);

// Areas needed before the component's spread of strengths is considered.
constexpr std::size_t kStatisticsMinAreas = 10;
constexpr float kEstimateFactor = 1.645f;
// Below this strength the component's estimate is its minimum.
constexpr float kLowStrengthLimit = 10.0f;

// The curve cell at row, column; 0.0 for a cell outside the loaded values.
double curve_cell(const Strength_Curve& curve, int row, int column) {
    if (column < 0 || column >= curve.column_count) return 0.0;
    const std::int64_t position = std::int64_t{row} * curve.column_count + column;
    if (position < 0 || position >= static_cast<std::int64_t>(curve.values.size())) return 0.0;
    return curve.values[static_cast<std::size_t>(position)];
}

// Side of a blank cell: below when no row under it in its column holds a
// strength, above otherwise.
CurveSide blank_side(const Strength_Curve& curve, int row, int column) {
    for (int r = 0; r < row; ++r) {
        if (curve_cell(curve, r, column) != 0.0) return CurveSide::Above;
    }
    return CurveSide::Below;
}

// Sum of the ten middle readings of 16: the three smallest and three largest
// are dropped wherever they stand. Same result as summing positions 3 to 12
// of the sorted readings, found in one pass without sorting or branching:
// each reading is inserted into the running three smallest and three largest.
int middle_reading_sum(const std::array<std::uint8_t, kReadingsPerArea>& readings) {
    int total = 0;
    int lo1 = 256, lo2 = 256, lo3 = 256;  // three smallest, lo1 <= lo2 <= lo3
    int hi1 = -1, hi2 = -1, hi3 = -1;     // three largest, hi1 >= hi2 >= hi3
    for (std::uint8_t reading : readings) {
        const int v = reading;
        total += v;
        lo3 = std::min(lo3, std::max(lo2, v));
        lo2 = std::min(lo2, std::max(lo1, v));
        lo1 = std::min(lo1, v);
        hi3 = std::max(hi3, std::min(hi2, v));
        hi2 = std::max(hi2, std::min(hi1, v));
        hi1 = std::max(hi1, v);
    }
    return total - lo1 - lo2 - lo3 - hi1 - hi2 - hi3;
}

// A correction read from a table in exact hundredths at a value given in
// whole tenths: the row itself on a whole value, else the two neighbouring
// rows interpolated. The tables hold tenths, so the result is exact.
int correction_hundredths(const float* table, int column_count, int value_tenths, int column) {
    const int limited = std::clamp(value_tenths, 10 * kCorrectionFirstRow, 10 * kCorrectionLastRow);
    const int whole = limited / 10;
    const int fraction = limited % 10;
    const float* row = table + static_cast<std::ptrdiff_t>(whole - kCorrectionFirstRow) * column_count;
    const auto tenths = [](float v) { return static_cast<int>(std::lround(double{v} * 10.0)); };
    const int lower = tenths(row[column]);
    if (fraction == 0) return 10 * lower;
    const int upper = tenths(row[column + column_count]);
    return 10 * lower + (upper - lower) * fraction;
}

// Hundredths to tenths, halves away from zero, as a figure is written.
int round_to_tenths(int hundredths) {
    return hundredths >= 0 ? (hundredths + 5) / 10 : -((-hundredths + 5) / 10);
}

// The corrections and the curve row index under the standard's arithmetic:
// the mean is the exact sum / 10, each corrected mean is rounded to 0.1 as
// written, and the row index is the corrected mean's tenths above 20.0.
int standard_row_index(AreaData& area, int middle_sum, int angle, int surface) {
    const int angle_h = correction_hundredths(angle_correction_table.data(), kAngleColumnCount, middle_sum, angle);
    area.angle_correction = static_cast<float>(angle_h / 100.0);
    const int r1 = round_to_tenths(10 * middle_sum + angle_h);
    const int surface_h = surface == 0 ? 0
                                       : correction_hundredths(surface_correction_table.data(),
                                                               kSurfaceColumnCount, r1, surface - 1);
    area.surface_correction = static_cast<float>(surface_h / 100.0);
    const int r2 = round_to_tenths(10 * r1 + surface_h);
    return std::clamp(r2 - 10 * kCurveFirstRebound, 0, kCurveTopRowIndex);
}

// The lowest and highest strength in the part of the curve the evaluation
// reads, as "10.0:60.0"; empty for a curve without a strength.
std::string curve_range_text(const Strength_Curve& curve) {
    float lowest = 0.0f;
    float highest = 0.0f;
    for (int row = 0; row <= kCurveTopRowIndex / 2; ++row) {
        for (int column = 0; column <= kMaxCarbonationIndex - 1; ++column) {
            const auto v = static_cast<float>(curve_cell(curve, row, column));
            if (!(v > 0.0f)) continue;
            if (lowest == 0.0f || v < lowest) lowest = v;
            if (v > highest) highest = v;
        }
    }
    return lowest == 0.0f ? std::string() : one_decimal(lowest) + ":" + one_decimal(highest);
}

struct CarbonationSummary {
    std::uint8_t mode = 1;
    std::uint8_t representative = 0;
};

// Decides whether one representative carbonation depth governs the component
// or each area its own. Counted are the areas with a measured depth above
// 0.0 mm (d = carbonation_index - 1 from 1 to 13).
// Under the standard's arithmetic the mean depth is rounded to the nearest
// 0.5 mm step (halves up) instead of truncated.
CarbonationSummary summarize_carbonation(const std::vector<AreaData>& areas, Arithmetic arithmetic) {
    CarbonationSummary result;
    // Counts and sums in the width of the area count: a component read from a
    // file may hold far more areas than an int can count.
    const std::size_t total = areas.size();
    if (total == 0) return result;
    std::size_t counted = 0;
    std::uint64_t sum = 0;
    unsigned d_min = 0;
    unsigned d_max = 0;
    for (const AreaData& a : areas) {
        if (a.carbonation_index < 2 || a.carbonation_index > 14) continue;
        const unsigned d = a.carbonation_index - 1u;  // 1 to 13
        if (counted == 0 || d < d_min) d_min = d;
        if (counted == 0 || d > d_max) d_max = d;
        sum += d;
        ++counted;
    }
    // counted <= total / 3 covers counted == 0, so the spread is only looked
    // at with at least one counted area.
    const bool per_area = counted <= total / 3 || d_max - d_min > 4;
    result.mode = per_area ? 1 : 0;
    // Each counted depth is at most 13, so the mean is too and the index
    // (mean + 1) fits its byte.
    const std::uint64_t divisor = per_area ? total : counted;
    const std::uint64_t mean = arithmetic == Arithmetic::Standard ? (2 * sum + divisor) / (2 * divisor) : sum / divisor;
    result.representative = static_cast<std::uint8_t>(mean + 1);
    return result;
}

// Carbonation index at which the unmeasured areas ("-.-") are converted: the
// mean depth of the measured areas, truncated to the 0.5 mm step below, or
// "0.0mm" when no area is measured. Areas measured at "0.0mm" count.
int unmeasured_carbonation_index(const std::vector<AreaData>& areas, Arithmetic arithmetic, bool& none_measured) {
    std::size_t measured = 0;
    std::uint64_t sum = 0;  // of carbonation_index - 1, in 0.5 mm steps
    for (const AreaData& a : areas) {
        if (a.carbonation_index == 0) continue;
        sum += std::min<unsigned>(a.carbonation_index, kMaxCarbonationIndex) - 1u;
        ++measured;
    }
    none_measured = measured == 0;
    // The mean of values of at most 12 is at most 12: the index fits an int.
    if (measured == 0) return 1;
    const std::uint64_t mean =
        arithmetic == Arithmetic::Standard ? (2 * sum + measured) / (2 * measured) : sum / measured;
    return static_cast<int>(mean + 1);
}

}  // namespace

bool ComponentEvaluation::any_above() const {
    return std::any_of(outside_curve.begin(), outside_curve.end(),
                       [](const AreaOutsideCurve& a) { return a.side == CurveSide::Above; });
}

std::string ComponentEvaluation::area_numbers(CurveSide side) const {
    std::string list;
    for (const AreaOutsideCurve& a : outside_curve) {
        if (a.side != side) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(a.area + 1);
    }
    return list;
}

CurveSide evaluate_area(AreaData& area, const Strength_Curve& curve, int fallback_carbonation_index,
                        Arithmetic arithmetic) {
    const int sum = middle_reading_sum(area.readings);
    area.mean_rebound = static_cast<float>(sum * 0.1);

    const int angle = area.angle_index > kMaxAngleIndex ? 0 : area.angle_index;
    const int surface = std::min<int>(area.surface_index, kMaxSurfaceIndex);
    int row_index;
    if (arithmetic == Arithmetic::Standard) {
        row_index = standard_row_index(area, sum, angle, surface);
    } else {
        area.angle_correction =
            correction_lookup(angle_correction_table.data(), kAngleColumnCount, area.mean_rebound, angle);
        const float r1 = static_cast<float>(double{area.mean_rebound} + double{area.angle_correction});

        area.surface_correction = surface == 0 ? 0.0f
                                               : correction_lookup(surface_correction_table.data(),
                                                                   kSurfaceColumnCount, r1, surface - 1);
        const float r2 = static_cast<float>(double{r1} + double{area.surface_correction});

        // Tenths above 20.0, truncated, limited to the rows of the curve.
        const double whole = std::trunc(double{r2});
        if (whole < kCurveFirstRebound) {
            row_index = 0;
        } else if (whole >= kCurveLastRebound) {
            row_index = kCurveTopRowIndex;
        } else {
            row_index = static_cast<int>(10.0 * double{r2} - 10.0 * kCurveFirstRebound);
        }
    }

    int carbonation = area.carbonation_index;
    if (carbonation == 0) carbonation = fallback_carbonation_index;
    if (carbonation <= 0) {
        // Not measured and no depth to stand in for it.
        area.converted_strength = 0.0f;
        return CurveSide::NoDepth;
    }
    const int column = std::min(carbonation, kMaxCarbonationIndex) - 1;

    // A cell of 0.0 has no strength. Half-way between two rows, both must
    // hold one: the mean of a strength and a blank would be no strength at
    // all, only a figure that looks like one.
    const int lower_row = row_index / 2;
    const int upper_row = (row_index + 1) / 2;
    const double lower = curve_cell(curve, lower_row, column);
    const double upper = upper_row == lower_row ? lower : curve_cell(curve, upper_row, column);
    if (lower == 0.0 || upper == 0.0) {
        area.converted_strength = 0.0f;
        return blank_side(curve, lower == 0.0 ? lower_row : upper_row, column);
    }
    area.converted_strength = static_cast<float>(upper_row == lower_row ? lower : (lower + upper) / 2.0);
    return CurveSide::OnCurve;
}

float compute_pump_correction(float strength, int carbonation_index) {
    const double s = strength;
    const double slope = 0.3f;
    switch (carbonation_index) {
        case 1:
        case 2:
        case 3:
            if (s <= 40.0) return 4.5f;
            if (s < 55.0) return static_cast<float>(4.5 - slope * (s - 40.0));
            return 0.0f;
        case 4:
        case 5:
            if (s <= 30.0) return 3.0f;
            if (s < 40.0) return static_cast<float>(3.0 - slope * (s - 30.0));
            return 0.0f;
        default:
            return 0.0f;
    }
}

ComponentEvaluation evaluate_component(ComponentInfo& c, const Strength_Curve& curve, const EvaluationRules& rules) {
    const std::string name = c.curve_filename;
    return evaluate_component(c, EvaluationCurves{&curve, name, nullptr, {}}, rules);
}

ComponentEvaluation evaluate_component(ComponentInfo& c, const EvaluationCurves& curves, const EvaluationRules& rules) {
    ComponentEvaluation result;
    const bool pumped = c.pump_tag == 1;
    // Under the pumped rule "curve" a pumped component is converted with the
    // pumped curve (when the chosen curve is not a laboratory's own) and
    // takes no correction.
    const bool pumped_by_curve = pumped && rules.pumped == PumpedRule::Curve;
    const bool use_pumped_curve = pumped_by_curve && curves.pumped != nullptr;
    const Strength_Curve& curve = use_pumped_curve ? *curves.pumped : *curves.curve;
    c.curve_filename = use_pumped_curve ? curves.pumped_name : curves.name;

    const CarbonationSummary carbonation = summarize_carbonation(c.areas, rules.arithmetic);
    c.carbonation_mode = carbonation.mode;
    c.rep_carbonation_index = carbonation.representative;

    bool none_measured = false;
    result.unmeasured_carbonation_index = unmeasured_carbonation_index(c.areas, rules.arithmetic, none_measured);
    result.carbonation_not_measured = none_measured && !c.areas.empty();
    // Under the standard's arithmetic a representative depth that applies
    // serves the conversion of every area.
    const bool representative_for_all = rules.arithmetic == Arithmetic::Standard && carbonation.mode == 0;

    // The depth of an area's pumped correction: the representative depth
    // when it governs, the area's own otherwise; an unmeasured area is
    // corrected at the depth it was converted at.
    const auto correction_depth = [&](const AreaData& a) {
        if (representative_for_all) return int{carbonation.representative};
        if (a.carbonation_index == 0) return result.unmeasured_carbonation_index;
        return carbonation.mode == 0 ? int{carbonation.representative} : int{a.carbonation_index};
    };

    std::size_t with_strength = 0;
    double sum = 0.0;
    double sum_of_squares = 0.0;
    float minimum = 0.0f;
    for (std::size_t i = 0; i < c.areas.size(); ++i) {
        AreaData& a = c.areas[i];
        CurveSide side;
        if (representative_for_all) {
            AreaData converted = a;
            converted.carbonation_index = carbonation.representative;
            side = evaluate_area(converted, curve, 0, rules.arithmetic);
            converted.carbonation_index = a.carbonation_index;
            a = converted;
        } else {
            side = evaluate_area(a, curve, result.unmeasured_carbonation_index, rules.arithmetic);
        }
        a.set_flag(area_flags::kBelowCurve, side == CurveSide::Below);
        a.set_flag(area_flags::kAboveCurve, side == CurveSide::Above);
        if (side != CurveSide::OnCurve) {
            if (side != CurveSide::NoDepth) result.outside_curve.push_back({i, side});
            // No strength from the curve: nothing to correct.
            a.pump_correction = 0.0f;
            a.area_strength = a.converted_strength;
            continue;
        }
        if (pumped && !pumped_by_curve) {
            a.pump_correction = compute_pump_correction(a.converted_strength, correction_depth(a));
        } else {
            a.pump_correction = 0.0f;
        }
        a.area_strength = static_cast<float>(double{a.converted_strength} + double{a.pump_correction});
        const double s = a.area_strength;
        sum += s;
        sum_of_squares += s * s;
        if (with_strength == 0 || a.area_strength < minimum) minimum = a.area_strength;
        ++with_strength;
    }

    // The range of the curve goes with a component that has areas outside
    // it, so that they read "<10.0" or ">60.0"; a spare text that does not
    // parse (another program's note) is left alone.
    const std::string range = result.any_outside() ? curve_range_text(curve) : std::string();
    if (auto text = spare_text_with(c.reserved_text, kCurveRangeKey, range)) c.reserved_text = std::move(*text);

    const std::size_t n = with_strength;
    const bool blank = with_strength < c.areas.size();
    if (n == 0) {
        // No area has a strength: no figure at all (with no areas,
        // strength_min and strength_delta keep what they held).
        c.strength_avg = 0.0f;
        if (!c.areas.empty()) {
            c.strength_min = 0.0f;
            c.strength_delta = 0.0f;
            c.strength_estimate = 0.0f;
        } else {
            c.strength_estimate = c.strength_min;
        }
        return result;
    }
    c.strength_min = minimum;
    c.strength_avg = static_cast<float>(sum / static_cast<double>(n));

    if (n < kStatisticsMinAreas) {
        c.strength_estimate = blank ? 0.0f : c.strength_min;
        return result;
    }
    const double avg = c.strength_avg;
    const double q = std::fabs(sum_of_squares - static_cast<double>(n) * avg * avg);
    c.strength_delta = static_cast<float>(std::sqrt(q / static_cast<double>(n - 1)));
    if (blank) {
        // The estimate is "<", ">" or no figure (estimate_note).
        c.strength_estimate = 0.0f;
    } else if (c.strength_min < kLowStrengthLimit) {
        c.strength_estimate = c.strength_min;
    } else {
        c.strength_estimate =
            static_cast<float>(double{c.strength_avg} - double{kEstimateFactor} * double{c.strength_delta});
    }
    return result;
}

}  // namespace rebound
