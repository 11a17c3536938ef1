// Strength evaluation of test areas and components from the rebound readings,
// the correction tables and a loaded strength curve.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"

namespace rebound {

// How a component of pumped concrete is evaluated.
enum class PumpedRule : std::uint8_t {
    Correction,  // the correction table added to the chosen curve ("按修正值")
    Curve,       // the curve of pumped concrete, without a correction ("按泵送曲线")
};

// How the mean rebound values and the representative carbonation depth are
// formed.
enum class Arithmetic : std::uint8_t {
    // As the hammer computes them: single-precision values truncated to
    // tenths, the representative depth truncated to the 0.5 mm step below.
    Device,
    // As the standard writes them: means and corrected means in exact
    // decimals rounded to 0.1, the representative depth rounded to the
    // nearest 0.5 mm and, where it applies, used for every area.
    Standard,
};

// Where an area's corrected mean rebound value met the curve.
enum class CurveSide {
    OnCurve,  // the curve gave a strength
    Below,    // a blank cell below the first strength of the area's column
    Above,    // a blank cell past it: stronger than the curve reaches
    NoDepth,  // not converted: no carbonation depth to choose a column
};

// Computes mean_rebound, angle_correction, surface_correction and
// converted_strength of one area; the readings and all other fields are left
// alone. An area whose carbonation_index is 0 (not measured) is converted with
// `fallback_carbonation_index` instead; when that is 0 too, the area gets a
// converted_strength of 0.0 (NoDepth). A curve cell of 0.0 has no strength:
// the area then gets 0.0, also when its corrected mean lies half-way between
// that cell and one with a strength, and the result says on which side of
// the column's strengths the blank lies. A cell outside the curve's values
// counts as blank.
CurveSide evaluate_area(AreaData& area, const Strength_Curve& curve, int fallback_carbonation_index = 0,
                        Arithmetic arithmetic = Arithmetic::Device);

// An area whose converted strength is blank, and on which side of the curve
// it lies.
struct AreaOutsideCurve {
    std::size_t area = 0;  // position in the component, from 0
    CurveSide side = CurveSide::Below;
    bool operator==(const AreaOutsideCurve&) const = default;
};

// What an evaluation could not convert, for the caller to tell the operator.
// The stored figures are computed as usual whatever this holds.
struct ComponentEvaluation {
    std::vector<AreaOutsideCurve> outside_curve;  // in area order
    // The component has areas, none of them with a measured carbonation
    // depth: every area was converted at 0.0 mm.
    bool carbonation_not_measured = false;
    // The carbonation index the unmeasured areas were converted with.
    int unmeasured_carbonation_index = 1;

    // An area lies above the curve's range: the component's estimate rests on
    // areas without a strength and is not valid with this curve.
    bool any_above() const;
    bool any_outside() const { return !outside_curve.empty(); }
    // The areas on one side, numbered from 1 as the grid shows them:
    // "3, 7, 9"; empty when there is none.
    std::string area_numbers(CurveSide side) const;
};

// The project's choices of evaluation; the defaults are the hammer's.
struct EvaluationRules {
    PumpedRule pumped = PumpedRule::Correction;
    Arithmetic arithmetic = Arithmetic::Device;
    bool operator==(const EvaluationRules&) const = default;
};

// The curves an evaluation converts with, and their file names, which go
// into the component's curve_filename.
struct EvaluationCurves {
    const Strength_Curve* curve = nullptr;  // the chosen curve (required)
    std::string name;
    // Under PumpedRule::Curve, the curve of pumped components; nullptr when
    // the chosen curve serves them too (a laboratory curve comes first).
    const Strength_Curve* pumped = nullptr;
    std::string pumped_name;
};

// The file name of the pumped-concrete curve in the curve folder, and of the
// uniform curve that it stands in for.
inline constexpr const char* kPumpedCurveFile = "pumped2011.cur";
inline constexpr const char* kUniformCurveFile = "normal.cur";

// Evaluates every area of the component and forms the carbonation mode and
// representative index, the pumped-concrete corrections and area strengths,
// and the component's mean, minimum, standard deviation and estimated
// strength, and writes the name of the curve that converted its areas into
// curve_filename. Unmeasured areas are converted, and corrected, at the mean
// depth of the measured ones ("0.0mm" to ">6 mm"; an index above 13 counts as
// 13, as in the conversion), truncated to the 0.5 mm step below (rounded to
// the nearest under the standard's arithmetic), or at 0.0 mm when none is
// measured.
//
// An area without a strength from the curve gets none: its strengths stay
// 0.0, it gets no pumped correction, its side is kept in its flags, and the
// component's figures are formed from the areas that have a strength only.
// A component with such areas has no estimate (strength_estimate 0.0); see
// estimate_note. Under PumpedRule::Curve a pumped component gets no
// correction.
ComponentEvaluation evaluate_component(ComponentInfo& c, const EvaluationCurves& curves,
                                       const EvaluationRules& rules = {});
// The same with one curve whose file name is not known: curve_filename is
// left as it is.
ComponentEvaluation evaluate_component(ComponentInfo& c, const Strength_Curve& curve,
                                       const EvaluationRules& rules = {});

// Pumped-concrete correction (MPa) for a strength `strength` and a
// carbonation index; 0.0 for index 0 and for indices 6 and above.
float compute_pump_correction(float strength, int carbonation_index);

}  // namespace rebound
