// A strength curve of one's own: fitted to paired tests, or taken from a
// published formula, checked against the acceptance limits of its kind and
// written as a curve file the evaluation reads.
//
// The curve is f = A * Rm^B * 10^(C * dm) (f in MPa, Rm the mean rebound
// value, dm the carbonation depth in mm). It is fitted by least squares on
// its logarithm, log10 f = log10 A + B * log10 Rm + C * dm.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "evaluation/curve_pairs.h"
#include "evaluation/strength_curve.h"
#include "platform/file_error.h"

namespace rebound {

enum class CurveKind { Special, Regional };

// The acceptance limits of a curve kind, in percent: the mean relative error
// delta and the relative standard deviation er may not exceed them.
struct CurveAcceptance {
    CurveKind kind;
    const char* name;  // as the command line and the JSON output spell it
    double max_delta_percent;
    double max_er_percent;
};

// The one table of acceptance limits. A special curve is built by a
// laboratory for the concrete it tests often; a regional curve is published
// for a province's materials and allowed a wider scatter.
inline constexpr CurveAcceptance kCurveAcceptance[] = {
    {CurveKind::Special, "special", 12.0, 14.0},
    {CurveKind::Regional, "regional", 14.0, 17.0},
};

const CurveAcceptance& acceptance_of(CurveKind kind);
// The kind a name spells ("special", "regional"), or nullopt.
std::optional<CurveKind> curve_kind_named(std::string_view name);

// Fewer pairs than this cannot be fitted at all.
inline constexpr std::size_t kMinCurvePairs = 3;
// A curve is accepted only when fitted to at least this many pairs; fewer
// draw a warning (whose threshold can be raised per fit) and a fit that can
// be saved but is not accepted.
inline constexpr std::size_t kRecommendedCurvePairs = 30;

// A closed range of a figure.
struct FigureRange {
    double low = 0.0;
    double high = 0.0;
    bool operator==(const FigureRange&) const = default;
};

// The curve's formula with the ranges it holds for.
struct CurveFormula {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    FigureRange rm;        // mean rebound value
    FigureRange depth;     // carbonation depth, mm
    FigureRange strength;  // MPa

    // A * Rm^B * 10^(C * dm), unrounded.
    double strength_at(double rm_value, double depth_value) const;
    bool operator==(const CurveFormula&) const = default;
};

// What is wrong with a formula entered by hand, or nullopt: A must be above
// 0, every figure finite, each range's low end at most its high end, depths
// within 0 to kMaxPairDepth, strengths above 0 and at most kMaxCurveStrength.
std::optional<std::string> formula_defect(const CurveFormula& formula);

// A fitted curve and its figures.
struct CurveFit {
    CurveFormula formula;  // ranges: those of the pairs
    // False when every pair had the same depth: C is 0 and the curve holds
    // for that depth only.
    bool depth_fitted = true;
    std::size_t n = 0;
    // Correlation coefficient of the fit: the correlation of log10 f with the
    // curve's log10 f-hat over the pairs (for a least-squares fit the same as
    // the square root of its coefficient of determination).
    double r = 0.0;
    double delta_percent = 0.0;  // (1/n) * sum |f-hat/f - 1| * 100
    double er_percent = 0.0;     // sqrt(sum (f-hat/f - 1)^2 / (n - 1)) * 100
    std::vector<double> fitted;                   // f-hat of every pair, in pair order
    std::vector<double> relative_error_percent;   // (f-hat/f - 1) * 100 of every pair
};

// A fit, or why there is none.
struct CurveFitOutcome {
    std::optional<CurveFit> fit;
    std::string error;  // when there is no fit: one sentence
};

// Fits the curve to the pairs (each must pass pair_defect). Fails with fewer
// than kMinCurvePairs pairs, when every pair has the same rebound value, or
// when the rebound values and depths vary together so that B and C cannot
// be told apart.
CurveFitOutcome fit_curve(const std::vector<CurvePair>& pairs);

// The warning for a fit of `n` pairs when fewer than `recommended`, else "".
std::string pair_count_warning(std::size_t n, std::size_t recommended = kRecommendedCurvePairs);

// Figures as the verdict compares them: rounded to two decimals, the
// precision they are shown with.
double shown_percent(double value);

// The fit held against the limits of a kind. A fit of fewer than
// kRecommendedCurvePairs pairs is never accepted.
struct CurveVerdict {
    CurveAcceptance limits;
    bool accepted = false;
    // "accepted: delta 8.12 % <= 12.0 %, er 9.80 % <= 14.0 %" or
    // "not accepted: ..." naming each figure over its limit.
    std::string text;
};
CurveVerdict judge_fit(const CurveFit& fit, CurveKind kind);

// The curve file content of a formula: kEvaluationCurveRows rows (Rm 20.0 to
// 60.0 by 0.2) and kEvaluationCurveColumns columns (dm 0.0 to 6.0 by 0.5),
// each cell the formula's strength rounded to 0.1 MPa. A cell whose Rm or dm
// lies outside the formula's ranges, or whose rounded strength lies outside
// its strength range (both at the table's precision of 0.1 MPa), is 0.0 (no
// strength): the evaluation then names the area as outside the curve instead
// of extrapolating.
Strength_Curve build_curve(const CurveFormula& formula);

// The number of cells of a curve that hold a strength.
std::size_t filled_cells(const Strength_Curve& curve);

// The Rm of curve row r and the dm of curve column c.
double curve_row_rebound(int row);
double curve_column_depth(int column);

// Writes the curve as a curve file, atomically: the file is the complete
// new curve or left as it was.
Result<void> write_curve_file(const Strength_Curve& curve, const std::filesystem::path& path);

}  // namespace rebound
