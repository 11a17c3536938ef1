#include "evaluation/curve_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "model/number_text.h"
#include "platform/files.h"

namespace rebound {

namespace {

// Ranges are compared with this slack, so that a row whose Rm equals the
// smallest rebound value of the pairs counts as inside however both were
// computed.
constexpr double kRangeSlack = 1e-9;

bool inside(double value, const FigureRange& range) {
    return value >= range.low - kRangeSlack && value <= range.high + kRangeSlack;
}

FigureRange range_of(const std::vector<CurvePair>& pairs, double CurvePair::*figure) {
    FigureRange range{pairs.front().*figure, pairs.front().*figure};
    for (const CurvePair& p : pairs) {
        range.low = std::min(range.low, p.*figure);
        range.high = std::max(range.high, p.*figure);
    }
    return range;
}

double to_tenth(double value) {
    return std::round(value * 10.0) / 10.0;
}

std::string two_decimals(double value) {
    if (!std::isfinite(value)) return one_decimal(value);
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, r.ptr);
}

}  // namespace

const CurveAcceptance& acceptance_of(CurveKind kind) {
    for (const CurveAcceptance& a : kCurveAcceptance) {
        if (a.kind == kind) return a;
    }
    return kCurveAcceptance[0];
}

std::optional<CurveKind> curve_kind_named(std::string_view name) {
    for (const CurveAcceptance& a : kCurveAcceptance) {
        if (name == a.name) return a.kind;
    }
    return std::nullopt;
}

double CurveFormula::strength_at(double rm_value, double depth_value) const {
    return a * std::pow(rm_value, b) * std::pow(10.0, c * depth_value);
}

std::optional<std::string> formula_defect(const CurveFormula& f) {
    for (const double v : {f.a, f.b, f.c, f.rm.low, f.rm.high, f.depth.low, f.depth.high, f.strength.low,
                           f.strength.high}) {
        if (!std::isfinite(v)) return "every figure must be a finite number";
    }
    if (f.a <= 0.0) return "A must be above 0";
    if (f.rm.low <= 0.0 || f.rm.low > f.rm.high) {
        return "the rebound range must run from a value above 0 up to a value not below it";
    }
    if (f.depth.low < 0.0 || f.depth.low > f.depth.high || f.depth.high > kMaxPairDepth) {
        return "the depth range must lie within 0.0 to " + one_decimal(kMaxPairDepth) +
               " mm, its low end not above its high end";
    }
    if (f.strength.low <= 0.0 || f.strength.low > f.strength.high ||
        f.strength.high > static_cast<double>(kMaxCurveStrength)) {
        return "the strength range must lie above 0 and at most " + one_decimal(kMaxCurveStrength) +
               " MPa, its low end not above its high end";
    }
    return std::nullopt;
}

CurveFitOutcome fit_curve(const std::vector<CurvePair>& pairs) {
    CurveFitOutcome outcome;
    const std::size_t n = pairs.size();
    if (n < kMinCurvePairs) {
        outcome.error = "a curve needs at least " + std::to_string(kMinCurvePairs) + " pairs, there " +
                        (n == 1 ? "is " : "are ") + std::to_string(n);
        return outcome;
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (const auto defect = pair_defect(pairs[i])) {
            outcome.error = "pair " + std::to_string(i + 1) + ": " + *defect;
            return outcome;
        }
    }
    const FigureRange rm = range_of(pairs, &CurvePair::rm);
    const FigureRange depth = range_of(pairs, &CurvePair::depth);
    if (rm.low == rm.high) {
        outcome.error = "every pair has the same rebound value; B cannot be fitted";
        return outcome;
    }
    const bool depth_fitted = depth.low != depth.high;

    // log10 f = log10 A + B log10 Rm [+ C dm], solved by a rank-revealing QR
    // decomposition rather than normal equations, which square the
    // condition of the problem.
    const Eigen::Index rows = static_cast<Eigen::Index>(n);
    const Eigen::Index unknowns = depth_fitted ? 3 : 2;
    Eigen::MatrixXd design(rows, unknowns);
    Eigen::VectorXd observed(rows);
    for (Eigen::Index i = 0; i < rows; ++i) {
        const CurvePair& p = pairs[static_cast<std::size_t>(i)];
        design(i, 0) = 1.0;
        design(i, 1) = std::log10(p.rm);
        if (depth_fitted) design(i, 2) = p.depth;
        observed(i) = std::log10(p.strength);
    }
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr = design.colPivHouseholderQr();
    if (qr.rank() < unknowns) {
        outcome.error = "the rebound values and the depths of the pairs vary together; B and C cannot be "
                        "told apart";
        return outcome;
    }
    const Eigen::VectorXd solution = qr.solve(observed);

    CurveFit fit;
    fit.depth_fitted = depth_fitted;
    fit.n = n;
    fit.formula.a = std::pow(10.0, solution(0));
    fit.formula.b = solution(1);
    fit.formula.c = depth_fitted ? solution(2) : 0.0;
    fit.formula.rm = rm;
    fit.formula.depth = depth;
    fit.formula.strength = range_of(pairs, &CurvePair::strength);

    const Eigen::VectorXd predicted = design * solution;
    const double mean = observed.mean();
    const double total = (observed.array() - mean).square().sum();
    const double residual = (observed - predicted).squaredNorm();
    // All strengths equal: the curve reproduces them exactly.
    fit.r = total > 0.0 ? std::sqrt(std::max(0.0, 1.0 - residual / total)) : 1.0;

    double sum_abs = 0.0;
    double sum_sq = 0.0;
    fit.fitted.reserve(n);
    fit.relative_error_percent.reserve(n);
    for (Eigen::Index i = 0; i < rows; ++i) {
        const CurvePair& p = pairs[static_cast<std::size_t>(i)];
        // 10^(log10 A + B log10 Rm + C dm) is A Rm^B 10^(C dm), with one
        // power instead of two.
        const double f_hat = std::pow(10.0, predicted(i));
        const double relative = f_hat / p.strength - 1.0;
        fit.fitted.push_back(f_hat);
        fit.relative_error_percent.push_back(relative * 100.0);
        sum_abs += std::fabs(relative);
        sum_sq += relative * relative;
    }
    const auto count = static_cast<double>(n);
    fit.delta_percent = sum_abs / count * 100.0;
    fit.er_percent = std::sqrt(sum_sq / (count - 1.0)) * 100.0;
    outcome.fit = std::move(fit);
    return outcome;
}

std::string pair_count_warning(std::size_t n, std::size_t recommended) {
    if (n >= recommended) return {};
    return "only " + std::to_string(n) + (n == 1 ? " pair" : " pairs") + "; a special curve is normally built from at least " +
           std::to_string(recommended);
}

double shown_percent(double value) {
    return std::round(value * 100.0) / 100.0;
}

CurveVerdict judge_fit(const CurveFit& fit, CurveKind kind) {
    CurveVerdict verdict{acceptance_of(kind), false, {}};
    const double delta = shown_percent(fit.delta_percent);
    const double er = shown_percent(fit.er_percent);
    const bool delta_ok = delta <= verdict.limits.max_delta_percent;
    const bool er_ok = er <= verdict.limits.max_er_percent;
    // Three parameters fit three points exactly: the errors of a small fit
    // say nothing, so it is not accepted however small they are.
    const bool enough = fit.n >= kRecommendedCurvePairs;
    verdict.accepted = enough && delta_ok && er_ok;
    verdict.text = std::string(verdict.accepted ? "accepted" : "not accepted") + " as a " + verdict.limits.name +
                   " curve: " +
                   (enough ? std::string()
                           : std::to_string(fit.n) + " pairs, fewer than the " +
                                 std::to_string(kRecommendedCurvePairs) + " it needs; ") +
                   "delta " + two_decimals(delta) + " %" + (delta_ok ? " <= " : " > ") +
                   one_decimal(verdict.limits.max_delta_percent) + " %, er " + two_decimals(er) + " %" +
                   (er_ok ? " <= " : " > ") + one_decimal(verdict.limits.max_er_percent) + " %";
    return verdict;
}

double curve_row_rebound(int row) {
    // 20.0 + 0.2 r, formed without adding up steps of 0.2.
    return static_cast<double>(200 + 2 * row) / 10.0;
}

double curve_column_depth(int column) {
    return 0.5 * static_cast<double>(column);
}

Strength_Curve build_curve(const CurveFormula& formula) {
    Strength_Curve curve;
    curve.row_count = kEvaluationCurveRows;
    curve.column_count = kEvaluationCurveColumns;
    constexpr auto columns = static_cast<std::size_t>(kEvaluationCurveColumns);
    curve.values.assign(static_cast<std::size_t>(kEvaluationCurveRows) * columns, 0.0f);
    // The table holds tenths of a MPa: its strengths are held against the
    // strength range at that precision, so that the row of the weakest pair
    // is not blanked because its strength rounds down.
    const FigureRange strength{to_tenth(formula.strength.low), to_tenth(formula.strength.high)};
    for (int r = 0; r < kEvaluationCurveRows; ++r) {
        const double rm = curve_row_rebound(r);
        if (!inside(rm, formula.rm)) continue;
        for (int c = 0; c < kEvaluationCurveColumns; ++c) {
            const double depth = curve_column_depth(c);
            if (!inside(depth, formula.depth)) continue;
            const double rounded = to_tenth(formula.strength_at(rm, depth));
            if (!std::isfinite(rounded) || rounded <= 0.0 || rounded > static_cast<double>(kMaxCurveStrength) ||
                !inside(rounded, strength)) {
                continue;
            }
            curve.values[static_cast<std::size_t>(r) * columns + static_cast<std::size_t>(c)] =
                static_cast<float>(rounded);
        }
    }
    return curve;
}

std::size_t filled_cells(const Strength_Curve& curve) {
    return static_cast<std::size_t>(
        std::count_if(curve.values.begin(), curve.values.end(), [](float v) { return v != 0.0f; }));
}

Result<void> write_curve_file(const Strength_Curve& curve, const std::filesystem::path& path) {
    const std::string bytes = curve.to_bytes();
    return platform::write_file_atomically(
        path, [&](platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
}

}  // namespace rebound
