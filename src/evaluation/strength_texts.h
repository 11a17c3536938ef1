// How strengths read wherever they are shown: the grid, the component panel,
// every report and the command-line tool print the same texts, so that no
// figure computed from a blank cell of the curve appears anywhere.
//
// An area that the evaluation found below or above its curve's range
// (area_flags::kBelowCurve, kAboveCurve) has no strength: it reads "<" or ">"
// followed by the curve's lowest or highest strength ("<10.0", ">60.0"),
// which the evaluation keeps in the component's spare text (curve_range).
// The stored floats of such an area stay 0.0.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/rebound_file.h"
#include "platform/message.h"

namespace rebound {

// What a component's estimate is when it is not a figure.
enum class EstimateNote {
    None,   // a figure
    Below,  // an area lies below the curve: the estimate is "<" the lowest strength
    Above,  // every area lies above the curve: ">" the highest strength
    Blank,  // some areas have no strength: no estimate ("—")
};
EstimateNote estimate_note(const ComponentInfo& c);
// "below", "above", "blank"; empty for None.
std::string_view estimate_note_name(EstimateNote note);

// The lowest and highest strength of the curve that converted the component,
// as the evaluation kept them; nullopt when it kept none.
struct CurveRange {
    float lowest = 0.0f;
    float highest = 0.0f;
};
std::optional<CurveRange> stored_curve_range(const ComponentInfo& c);
// The spare-text key that holds it ("curve_range=10.0:60.0").
inline constexpr std::string_view kCurveRangeKey = "curve_range";

// The text that stands for no figure.
inline constexpr std::string_view kNoFigure = "\u2014";

// An area's converted or final strength: one decimal, or "<10.0" / ">60.0"
// for an area outside its curve ("—" when the range is not known).
std::string area_strength_text(const ComponentInfo& c, const AreaData& a, float value);
// The mean, minimum or standard deviation of a component: one decimal, or
// "—" when none of its areas has a strength.
std::string component_figure_text(const ComponentInfo& c, float value);
// The estimate: one decimal, "<10.0", ">60.0" or "—".
std::string estimate_text(const ComponentInfo& c);
// Why the estimate is not a figure: a coded message, empty code for None.
Message estimate_reason(const ComponentInfo& c);

}  // namespace rebound
