#include "report/curve_fit_feed.h"

#include <charconv>
#include <cmath>
#include <string>

#include "model/number_text.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"

namespace rebound::report {

namespace {

enum FieldPos {
    kReportDate,
    kCurveKind,
    kCurveFile,
    kFormula,
    kCoefA,
    kCoefB,
    kCoefC,
    kPairCount,
    kCorrelation,
    kDelta,
    kEr,
    kLimitDelta,
    kLimitEr,
    kVerdict,
    kRmRange,
    kDepthRange,
    kStrengthRange,
    kPairNo,
    kRm,
    kDepth,
    kStrength,
    kFitted,
    kRelativeError,
};

QString fixed(double value, int decimals) {
    if (!std::isfinite(value)) return QString::fromStdString(one_decimal(value));
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(r.ptr - buffer));
}

// Six significant digits, as a published formula quotes its coefficients.
QString coefficient(double value) {
    if (!std::isfinite(value)) return QString::fromStdString(one_decimal(value));
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(r.ptr - buffer));
}

QString range_text(const FigureRange& range) {
    return fixed(range.low, 1) + QStringLiteral(" ～ ") + fixed(range.high, 1);
}

}  // namespace

const std::vector<QString>& CurveFitFeed::field_names() {
    static const std::vector<QString> names = {
        QStringLiteral("report_date"),   QStringLiteral("curve_kind"),     QStringLiteral("curve_file"),
        QStringLiteral("formula"),       QStringLiteral("coef_a"),         QStringLiteral("coef_b"),
        QStringLiteral("coef_c"),        QStringLiteral("pair_count"),     QStringLiteral("correlation"),
        QStringLiteral("delta"),         QStringLiteral("er"),             QStringLiteral("limit_delta"),
        QStringLiteral("limit_er"),      QStringLiteral("verdict"),        QStringLiteral("rm_range"),
        QStringLiteral("depth_range"),   QStringLiteral("strength_range"), QStringLiteral("pair_no"),
        QStringLiteral("rm"),            QStringLiteral("depth"),          QStringLiteral("strength"),
        QStringLiteral("fitted"),        QStringLiteral("relative_error"),
    };
    return names;
}

QString CurveFitFeed::formula_text(const CurveFormula& f) {
    QString text = QStringLiteral("f = %1 × Rm^%2").arg(coefficient(f.a), coefficient(f.b));
    if (f.c != 0.0) text += QStringLiteral(" × 10^(%1 × dm)").arg(coefficient(f.c));
    return text;
}

void CurveFitFeed::bind(ReportTarget& target) {
    next_ = 0;
    fields_.clear();
    for (const QString& name : field_names()) fields_.push_back(target.field_by_name(name));
}

void CurveFitFeed::fetch_record(bool& eof) {
    const std::size_t n = report_.pairs.size();
    // A fit without pairs still prints its one page of figures.
    if (next_ >= std::max<std::size_t>(n, 1)) {
        eof = true;
        return;
    }
    eof = false;
    const std::size_t i = next_++;
    const CurveFit& fit = report_.fit;
    if (i == 0) {
        const CurveVerdict verdict = judge_fit(fit, report_.kind);
        fields_[kReportDate].set_text(platform::to_qstring(platform::today_text(clock_)));
        fields_[kCurveKind].set_text(report_.kind == CurveKind::Special ? QStringLiteral("专用测强曲线")
                                                                        : QStringLiteral("地区测强曲线"));
        fields_[kCurveFile].set_text(report_.curve_file);
        fields_[kFormula].set_text(formula_text(fit.formula));
        fields_[kCoefA].set_text(coefficient(fit.formula.a));
        fields_[kCoefB].set_text(coefficient(fit.formula.b));
        fields_[kCoefC].set_text(fit.depth_fitted ? coefficient(fit.formula.c)
                                                  : QStringLiteral("0（单一碳化深度，未拟合）"));
        fields_[kPairCount].set_integer(static_cast<std::int32_t>(std::min<std::size_t>(fit.n, INT32_MAX)));
        fields_[kCorrelation].set_text(fixed(fit.r, 4));
        fields_[kDelta].set_text(fixed(shown_percent(fit.delta_percent), 2));
        fields_[kEr].set_text(fixed(shown_percent(fit.er_percent), 2));
        fields_[kLimitDelta].set_text(fixed(verdict.limits.max_delta_percent, 1));
        fields_[kLimitEr].set_text(fixed(verdict.limits.max_er_percent, 1));
        fields_[kVerdict].set_text(verdict.accepted ? QStringLiteral("合格：δ 与 eᵣ 均不超过限值")
                                   : fit.n < kRecommendedCurvePairs
                                       ? QStringLiteral("不合格：只有 %1 组数据，少于曲线合格所需的 %2 组")
                                             .arg(fit.n)
                                             .arg(kRecommendedCurvePairs)
                                       : QStringLiteral("不合格：δ 或 eᵣ 超过限值"));
        fields_[kRmRange].set_text(range_text(fit.formula.rm));
        fields_[kDepthRange].set_text(range_text(fit.formula.depth));
        fields_[kStrengthRange].set_text(range_text(fit.formula.strength));
    }
    if (i < n) {
        const CurvePair& p = report_.pairs[i];
        fields_[kPairNo].set_integer(static_cast<std::int32_t>(std::min<std::size_t>(i + 1, INT32_MAX)));
        fields_[kRm].set_text(fixed(p.rm, 1));
        fields_[kDepth].set_text(fixed(p.depth, 1));
        fields_[kStrength].set_text(fixed(p.strength, 1));
        if (i < fit.fitted.size()) fields_[kFitted].set_text(fixed(fit.fitted[i], 1));
        if (i < fit.relative_error_percent.size()) {
            fields_[kRelativeError].set_text(fixed(fit.relative_error_percent[i], 2));
        }
    }
}

}  // namespace rebound::report
