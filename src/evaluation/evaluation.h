// Strength evaluation of test areas and components from the rebound readings,
// the correction tables and a loaded strength curve.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"

namespace rebound {

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
CurveSide evaluate_area(AreaData& area, const Strength_Curve& curve, int fallback_carbonation_index = 0);

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

// Evaluates every area of the component and forms the carbonation mode and
// representative index, the pumped-concrete corrections and area strengths,
// and the component's mean, minimum, standard deviation and estimated
// strength. Unmeasured areas are converted at the mean depth of the measured
// ones ("0.0mm" to ">6 mm"; an index above 13 counts as 13, as in the
// conversion), truncated to the 0.5 mm step below, or at 0.0 mm when none is
// measured.
ComponentEvaluation evaluate_component(ComponentInfo& c, const Strength_Curve& curve);

// Pumped-concrete correction (MPa) for a strength `strength` and a
// carbonation index; 0.0 for index 0 and for indices 6 and above.
float compute_pump_correction(float strength, int carbonation_index);

}  // namespace rebound
