// Strength evaluation of test areas and components from the rebound readings,
// the correction tables and a loaded strength curve.
#pragma once

#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"

namespace rebound {

// Computes mean_rebound, angle_correction, surface_correction and
// converted_strength of one area; the readings and all other fields are left
// alone. An area whose carbonation_index is 0 (not measured) is converted with
// `fallback_carbonation_index` instead; when that is 0 too, the area gets a
// converted_strength of 0.0. A curve cell outside the curve's values reads 0.0.
void evaluate_area(AreaData& area, const Strength_Curve& curve, int fallback_carbonation_index = 0);

// Evaluates every area of the component and forms the carbonation mode and
// representative index, the pumped-concrete corrections and area strengths,
// and the component's mean, minimum, standard deviation and estimated
// strength. Unmeasured areas are converted with the representative index.
void evaluate_component(ComponentInfo& c, const Strength_Curve& curve);

// Pumped-concrete correction (MPa) for a strength `strength` and a
// carbonation index; 0.0 for index 0 and for indices 6 and above.
float compute_pump_correction(float strength, int carbonation_index);

}  // namespace rebound
