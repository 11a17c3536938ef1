#include "report/batch_fields.h"

#include <QStringList>
#include <charconv>

#include "evaluation/spare_texts.h"
#include "model/number_text.h"
#include "platform/qt_bridge.h"

namespace rebound::report {

namespace {

QString tenth(double v) {
    return QString::fromStdString(one_decimal(v));
}

QString shortest(double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QString::fromLatin1(buffer, r.ptr - buffer);
}

QString joined(const QStringList& parts) {
    return parts.join(QStringLiteral("；"));
}

QString component_label(const ReboundFile& project, std::size_t index) {
    return QStringLiteral("构件 %1（%2）")
        .arg(index + 1)
        .arg(platform::to_qstring(project.components[index].component_name));
}

// "修正量法，芯样 6 个，Δ = 3.0 MPa"
QString correction_head(const Correction& c) {
    return QStringLiteral("%1，芯样 %2 个，%3").arg(method_text(c.method)).arg(c.pairs).arg(correction_value_text(c));
}

}  // namespace

QString reason_text(const BatchReason& reason) {
    using Kind = BatchReason::Kind;
    switch (reason.kind) {
        case Kind::NoComponents:
            return QStringLiteral("批中没有构件");
        case Kind::ComponentWithoutAreas: {
            QStringList numbers;
            for (std::size_t c : reason.components) numbers << QString::number(c + 1);
            return QStringLiteral("构件 %1 没有测区").arg(numbers.join(QStringLiteral("、")));
        }
        case Kind::AreaOutsideCurve:
        case Kind::ImplausibleArea: {
            QStringList areas;
            for (const BatchReason::AreaRef& a : reason.areas) {
                areas << QStringLiteral("%1/%2").arg(a.component + 1).arg(a.area + 1);
            }
            if (reason.kind == Kind::ImplausibleArea) {
                return QStringLiteral("测区强度超出 0～%1 MPa 或不是数值（构件/测区）：%2")
                    .arg(tenth(batch_rules::kMaxAreaStrength), areas.join(QStringLiteral("、")));
            }
            return QStringLiteral("测区超出测强曲线范围（构件/测区）：%1").arg(areas.join(QStringLiteral("、")));
        }
        case Kind::EstimateNotPositive:
            return QStringLiteral("推定值不是大于 0 MPa 的强度");
        case Kind::TooFewAreas:
            return QStringLiteral("测区少于 2 个，无法计算标准差");
        case Kind::LowMeanSpread:
            return QStringLiteral("平均值小于 %1 MPa 且标准差大于 %2 MPa")
                .arg(tenth(batch_rules::kLowMeanLimit), tenth(batch_rules::kLowMeanMaxSd));
        case Kind::MidMeanSpread:
            return QStringLiteral("平均值在 %1～%2 MPa 之间且标准差大于 %3 MPa")
                .arg(tenth(batch_rules::kLowMeanLimit), tenth(batch_rules::kHighMeanLimit),
                     tenth(batch_rules::kMidMeanMaxSd));
    }
    return {};
}

QString verdict_text(const BatchFigures& figures) {
    if (figures.valid) return QStringLiteral("批量推定有效");
    QStringList reasons;
    for (const BatchReason& r : figures.reasons) reasons << reason_text(r);
    return QStringLiteral("批量推定无效，应按单个构件推定：") + joined(reasons);
}

QString sampling_text(const SamplingWarning& w) {
    switch (w.kind) {
        case SamplingWarning::Kind::BelowShare:
            return QStringLiteral("抽检构件 %1 个，少于批总数 %2 个的 30%（至少 %3 个）")
                .arg(w.inspected)
                .arg(w.lot_size)
                .arg(w.required);
        case SamplingWarning::Kind::BelowMinimum:
            return QStringLiteral("抽检构件 %1 个，少于 %2 个").arg(w.inspected).arg(w.required);
        case SamplingWarning::Kind::NotAll:
            return QStringLiteral("批总数 %1 个，少于 10 个时应全数检测（已检 %2 个）").arg(w.lot_size).arg(w.inspected);
        case SamplingWarning::Kind::MoreThanLot:
            return QStringLiteral("抽检构件 %1 个，多于批总数 %2 个").arg(w.inspected).arg(w.lot_size);
    }
    return {};
}

QString correction_error_text(const CorrectionError& e) {
    const QString at = QStringLiteral("构件 %1 测区 %2").arg(e.core.component + 1).arg(e.core.area + 1);
    switch (e.kind) {
        case CorrectionError::Kind::TooFewPairs:
            return QStringLiteral("芯样 %1 个，少于 %2 个，未修正").arg(e.pairs).arg(batch_rules::kMinCorePairs);
        case CorrectionError::Kind::NoSuchComponent:
            return QStringLiteral("芯样所在的构件 %1 不存在，未修正").arg(e.core.component + 1);
        case CorrectionError::Kind::NotInBatch:
            return QStringLiteral("芯样所在的构件 %1 不在批中，未修正").arg(e.core.component + 1);
        case CorrectionError::Kind::NoSuchArea:
            return QStringLiteral("芯样所在的%1不存在，未修正").arg(at);
        case CorrectionError::Kind::AreaWithoutStrength:
            return QStringLiteral("芯样所在的%1没有换算强度，未修正").arg(at);
        case CorrectionError::Kind::BadStrength:
            return QStringLiteral("%1的芯样强度 %2 MPa 不在 0～%3 MPa 之内，未修正")
                .arg(at, tenth(e.core.strength), tenth(batch_rules::kMaxCoreStrength));
        case CorrectionError::Kind::SameArea:
            return QStringLiteral("%1有两个芯样，未修正").arg(at);
    }
    return {};
}

QString method_text(CorrectionMethod method) {
    return method == CorrectionMethod::Amount ? QStringLiteral("修正量法") : QStringLiteral("修正系数法");
}

QString correction_value_text(const Correction& c) {
    if (c.method == CorrectionMethod::Amount) return QStringLiteral("Δ = %1 MPa").arg(tenth(c.value));
    return QStringLiteral("η = %1").arg(c.value, 0, 'f', batch_rules::kCoefficientDecimals);
}

const std::vector<const char*>& batch_field_names() {
    static const std::vector<const char*> names = {
        "batch_summary", "batch_lot",      "batch_mean",       "batch_sd",      "batch_k",
        "batch_estimate", "batch_verdict", "batch_sampling",   "correction_lines", "core_no",
        "core_component", "core_area",     "core_area_strength", "core_strength", "core_ratio",
    };
    return names;
}

std::vector<std::pair<const char*, QString>> batch_fields(const ReboundFile& project) {
    const ProjectBatch batch = evaluate_project_batch(project);
    const BatchEvaluation& e = batch.evaluation;
    std::vector<std::pair<const char*, QString>> out;
    const bool enabled = batch.data.settings.enabled;
    if (enabled) {
        const BatchFigures& b = e.batch;
        out.emplace_back("batch_summary", QStringLiteral("%1 个构件，%2 个测区").arg(b.components).arg(b.areas));
        out.emplace_back("batch_lot", batch.data.settings.lot_size == 0
                                          ? QString()
                                          : QString::number(batch.data.settings.lot_size));
        out.emplace_back("batch_mean", tenth(b.mean));
        out.emplace_back("batch_sd", b.has_sd ? tenth(b.sd) : QStringLiteral("-"));
        out.emplace_back("batch_k", shortest(b.k));
        out.emplace_back("batch_estimate", b.has_sd ? tenth(b.estimate) : QStringLiteral("-"));
        out.emplace_back("batch_verdict", verdict_text(b));
        QStringList sampling;
        for (const SamplingWarning& w : e.sampling) sampling << sampling_text(w);
        out.emplace_back("batch_sampling", joined(sampling));
    }

    // The corrections: the batch's, or each cored component's of its own.
    QStringList corrections;
    std::vector<CoreSample> cores;
    if (enabled) {
        cores = batch.cores;
        if (e.correction && e.corrected) {
            corrections << QStringLiteral("批量：%1；修正后平均值 %2 MPa，标准差 %3 MPa，推定值 %4 MPa；%5")
                               .arg(correction_head(*e.correction), tenth(e.corrected->mean), tenth(e.corrected->sd),
                                    tenth(e.corrected->estimate), verdict_text(*e.corrected));
        } else if (e.correction_error) {
            corrections << QStringLiteral("批量：") + correction_error_text(*e.correction_error);
        }
    } else {
        cores = batch.data.cores;
        for (const ComponentCorrection& c : component_corrections(project, batch.data)) {
            const QString label = component_label(project, c.component) + QStringLiteral("：");
            const BatchEvaluation& ce = c.evaluation;
            if (ce.correction && !ce.components.empty() && ce.components.front().corrected) {
                const StrengthFigures& f = *ce.components.front().corrected;
                corrections << label + QStringLiteral("%1；修正后平均值 %2 MPa，最小值 %3 MPa，推定值 %4 MPa")
                                           .arg(correction_head(*ce.correction), tenth(round_tenth(f.mean)),
                                                tenth(round_tenth(f.min)), tenth(round_tenth(f.estimate)));
            } else if (ce.correction_error) {
                corrections << label + correction_error_text(*ce.correction_error);
            }
        }
    }
    out.emplace_back("correction_lines", corrections.join(QLatin1Char('\n')));

    // One line per core, in each field a value of several lines.
    QStringList no, component, area, area_strength, strength, ratio;
    for (std::size_t i = 0; i < cores.size(); ++i) {
        const CoreSample& core = cores[i];
        no << QString::number(i + 1);
        const bool known = core.component < project.components.size();
        component << (known ? component_label(project, core.component) : QString::number(core.component + 1));
        area << QString::number(core.area + 1);
        const bool has_area = known && core.area < project.components[core.component].areas.size();
        const double f_cu = has_area ? double{project.components[core.component].areas[core.area].area_strength} : 0.0;
        area_strength << (has_area ? tenth(f_cu) : QStringLiteral("-"));
        strength << tenth(core.strength);
        ratio << (f_cu > 0.0 ? QString::number(core.strength / f_cu, 'f', batch_rules::kCoefficientDecimals)
                             : QStringLiteral("-"));
    }
    const QLatin1Char nl('\n');
    out.emplace_back("core_no", no.join(nl));
    out.emplace_back("core_component", component.join(nl));
    out.emplace_back("core_area", area.join(nl));
    out.emplace_back("core_area_strength", area_strength.join(nl));
    out.emplace_back("core_strength", strength.join(nl));
    out.emplace_back("core_ratio", ratio.join(nl));
    return out;
}

void BatchFieldSet::bind(ReportTarget& target) {
    fields_.clear();
    for (const char* name : batch_field_names()) fields_.push_back(target.field_by_name(QString::fromLatin1(name)));
}

void BatchFieldSet::fill(const ReboundFile& project) const {
    // Nothing to compute when the template shows none of the fields.
    bool any = false;
    for (const ReportField& f : fields_) any = any || f.is_bound();
    if (!any) return;
    const auto& names = batch_field_names();
    for (const auto& [name, value] : batch_fields(project)) {
        for (std::size_t i = 0; i < names.size() && i < fields_.size(); ++i) {
            if (std::string_view(names[i]) == name) fields_[i].set_text(value);
        }
    }
}

}  // namespace rebound::report
