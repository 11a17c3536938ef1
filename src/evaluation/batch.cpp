#include "evaluation/batch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <system_error>
#include <utility>

#include "model/number_text.h"

namespace rebound {

namespace {

using namespace batch_rules;

// Component evaluation rules that the corrected component figures follow.
constexpr std::size_t kStatisticsMinAreas = 10;
constexpr double kComponentEstimateFactor = 1.645;
constexpr double kLowStrengthLimit = 10.0;

// Mean and deviation (divisor n - 1) in two passes, which keeps the
// deviation exact for a large batch of near-equal strengths.
void mean_and_sd(std::span<const double> values, double& mean, double& sd) {
    mean = 0.0;
    sd = 0.0;
    if (values.empty()) return;
    double sum = 0.0;
    for (double v : values) sum += v;
    const auto n = static_cast<double>(values.size());
    mean = sum / n;
    if (values.size() < 2) return;
    double squares = 0.0;
    for (double v : values) squares += (v - mean) * (v - mean);
    sd = std::sqrt(squares / (n - 1.0));
}

std::string numbers_from_one(const std::vector<std::size_t>& positions) {
    std::string list;
    for (std::size_t p : positions) {
        if (!list.empty()) list += ", ";
        list += std::to_string(p + 1);
    }
    return list;
}

std::string strength_text(double v) {
    return one_decimal(v);
}

// "1/3, 2/5": areas as component/area, both from 1.
std::string area_list(const std::vector<BatchReason::AreaRef>& areas) {
    std::string list;
    for (const BatchReason::AreaRef& a : areas) {
        if (!list.empty()) list += ", ";
        list += std::to_string(a.component + 1) + "/" + std::to_string(a.area + 1);
    }
    return list;
}

}  // namespace

double round_to(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    char buffer[400];
    const auto printed = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (printed.ec != std::errc()) return value;
    double rounded = value;
    std::from_chars(buffer, printed.ptr, rounded);
    return rounded;
}

bool area_has_strength(const AreaData& area) {
    return area.converted_strength > 0.0f && std::isfinite(area.area_strength);
}

std::vector<std::size_t> ticked_components(const ReboundFile& project) {
    std::vector<std::size_t> ticked;
    for (std::size_t i = 0; i < project.components.size(); ++i) {
        if (project.components[i].list_checked != 0) ticked.push_back(i);
    }
    return ticked;
}

StrengthFigures strength_figures(std::span<const double> strengths) {
    StrengthFigures f;
    f.areas = strengths.size();
    if (strengths.empty()) return f;
    mean_and_sd(strengths, f.mean, f.sd);
    f.min = *std::min_element(strengths.begin(), strengths.end());
    if (f.areas < kStatisticsMinAreas || f.min < kLowStrengthLimit) {
        f.estimate = f.min;
    } else {
        f.estimate = f.mean - kComponentEstimateFactor * f.sd;
    }
    return f;
}

std::optional<BatchReason::Kind> spread_verdict(double mean, double sd) {
    if (mean < kLowMeanLimit && sd > kLowMeanMaxSd) return BatchReason::Kind::LowMeanSpread;
    if (mean >= kLowMeanLimit && mean <= kHighMeanLimit && sd > kMidMeanMaxSd) {
        return BatchReason::Kind::MidMeanSpread;
    }
    return std::nullopt;
}

BatchFigures batch_figures(std::span<const double> strengths, std::size_t components, double k,
                           std::vector<BatchReason> reasons) {
    BatchFigures b;
    b.components = components;
    b.areas = strengths.size();
    b.k = k;
    double mean = 0.0;
    double sd = 0.0;
    mean_and_sd(strengths, mean, sd);
    b.mean = round_tenth(mean);
    b.sd = round_tenth(sd);
    b.has_sd = strengths.size() >= 2;
    b.estimate = round_tenth(b.mean - k * b.sd);
    if (components == 0) {
        reasons.insert(reasons.begin(), BatchReason{BatchReason::Kind::NoComponents, {}, {}});
    } else if (!b.has_sd) {
        reasons.push_back(BatchReason{BatchReason::Kind::TooFewAreas, {}, {}});
    } else if (const auto spread = spread_verdict(b.mean, b.sd)) {
        reasons.push_back(BatchReason{*spread, {}, {}});
    }
    // Whatever k is: an estimate that is no strength is never valid.
    if (b.has_sd && !(std::isfinite(b.estimate) && b.estimate > 0.0)) {
        reasons.push_back(BatchReason{BatchReason::Kind::EstimateNotPositive, {}, {}});
    }
    b.reasons = std::move(reasons);
    b.valid = b.reasons.empty();
    return b;
}

std::vector<SamplingWarning> sampling_advice(std::size_t inspected, std::uint32_t lot_size) {
    std::vector<SamplingWarning> warnings;
    if (lot_size == 0) return warnings;
    if (inspected > lot_size) {
        warnings.push_back({SamplingWarning::Kind::MoreThanLot, inspected, lot_size, lot_size});
        return warnings;
    }
    if (lot_size < kMinSampleComponents) {
        if (inspected < lot_size) warnings.push_back({SamplingWarning::Kind::NotAll, inspected, lot_size, lot_size});
        return warnings;
    }
    // 30 % of the lot, rounded up to whole components; computed in integers
    // so that 30 % of 10 is exactly 3.
    const std::size_t share = (std::size_t{lot_size} * 30 + 99) / 100;
    static_assert(kMinSampleShare == 0.30, "the share above is written as 30 per cent");
    if (inspected < share) warnings.push_back({SamplingWarning::Kind::BelowShare, inspected, share, lot_size});
    if (inspected < kMinSampleComponents) {
        warnings.push_back({SamplingWarning::Kind::BelowMinimum, inspected, kMinSampleComponents, lot_size});
    }
    return warnings;
}

CorrectionOutcome compute_correction(const ReboundFile& project, std::span<const std::size_t> components,
                                     std::span<const CoreSample> cores, CorrectionMethod method) {
    CorrectionOutcome out;
    const auto error = [&out](CorrectionError::Kind kind, const CoreSample& core) {
        out.error = CorrectionError{kind, 0, core};
        return out;
    };
    if (cores.size() < kMinCorePairs) {
        out.error = CorrectionError{CorrectionError::Kind::TooFewPairs, cores.size(), {}};
        return out;
    }
    std::set<std::pair<std::size_t, std::size_t>> seen;
    // Membership by a sorted copy, so that many cores over many components
    // cost n log n, not their product, also for a batch of one component of
    // a large project.
    std::vector<std::size_t> in_batch(components.begin(), components.end());
    std::sort(in_batch.begin(), in_batch.end());
    double core_sum = 0.0;
    double area_sum = 0.0;
    double ratio_sum = 0.0;
    for (const CoreSample& core : cores) {
        if (core.component >= project.components.size()) return error(CorrectionError::Kind::NoSuchComponent, core);
        if (!std::binary_search(in_batch.begin(), in_batch.end(), core.component)) {
            return error(CorrectionError::Kind::NotInBatch, core);
        }
        const ComponentInfo& c = project.components[core.component];
        if (core.area >= c.areas.size()) return error(CorrectionError::Kind::NoSuchArea, core);
        if (!(core.strength > 0.0 && core.strength <= kMaxCoreStrength)) {
            return error(CorrectionError::Kind::BadStrength, core);
        }
        const AreaData& a = c.areas[core.area];
        if (!area_has_strength(a) || !(a.area_strength > 0.0f)) {
            return error(CorrectionError::Kind::AreaWithoutStrength, core);
        }
        if (!seen.emplace(core.component, core.area).second) return error(CorrectionError::Kind::SameArea, core);
        core_sum += core.strength;
        area_sum += a.area_strength;
        ratio_sum += core.strength / double{a.area_strength};
    }
    Correction c;
    c.method = method;
    c.pairs = cores.size();
    const auto n = static_cast<double>(cores.size());
    c.core_mean = core_sum / n;
    c.area_mean = area_sum / n;
    // Rounded as shown before it is applied, so that the printed figure
    // reproduces the corrected strengths by hand.
    c.value = method == CorrectionMethod::Amount ? round_tenth(c.core_mean - c.area_mean)
                                                 : round_to(ratio_sum / n, kCoefficientDecimals);
    out.correction = c;
    return out;
}

BatchEvaluation evaluate_batch(const ReboundFile& project, std::span<const std::size_t> components,
                               const BatchSettings& settings, std::span<const CoreSample> cores) {
    BatchEvaluation result;
    std::size_t total_areas = 0;
    for (std::size_t i : components) total_areas += project.components[i].areas.size();

    if (!cores.empty()) {
        CorrectionOutcome outcome = compute_correction(project, components, cores, settings.method);
        result.correction = outcome.correction;
        result.correction_error = outcome.error;
    }
    const Correction* correction = result.correction ? &*result.correction : nullptr;

    std::vector<double> strengths;
    strengths.reserve(total_areas);
    std::vector<double> corrected;
    if (correction) corrected.reserve(total_areas);

    BatchReason without_areas{BatchReason::Kind::ComponentWithoutAreas, {}, {}};
    BatchReason outside{BatchReason::Kind::AreaOutsideCurve, {}, {}};
    BatchReason implausible{BatchReason::Kind::ImplausibleArea, {}, {}};
    result.components.reserve(components.size());
    for (std::size_t i : components) {
        const ComponentInfo& c = project.components[i];
        ComponentBatchLine line;
        line.index = i;
        line.areas = c.areas.size();
        line.mean = c.strength_avg;
        line.sd = c.strength_delta;
        line.min = c.strength_min;
        line.estimate = c.strength_estimate;
        if (c.areas.empty()) without_areas.components.push_back(i);
        const std::size_t first_corrected = corrected.size();
        for (std::size_t a = 0; a < c.areas.size(); ++a) {
            const AreaData& area = c.areas[a];
            if (!std::isfinite(area.area_strength) || area.area_strength < 0.0f ||
                area.area_strength > kMaxAreaStrength) {
                implausible.areas.push_back({i, a});
                line.implausible_areas.push_back(a);
            } else if (!area_has_strength(area)) {
                outside.areas.push_back({i, a});
            }
            strengths.push_back(area.area_strength);
            if (correction) corrected.push_back(correction->apply(area.area_strength));
        }
        if (correction) {
            line.corrected = strength_figures(
                std::span<const double>(corrected).subspan(first_corrected, corrected.size() - first_corrected));
        }
        result.components.push_back(line);
    }

    std::vector<BatchReason> reasons;
    if (!without_areas.components.empty()) reasons.push_back(without_areas);
    if (!outside.areas.empty()) reasons.push_back(outside);
    if (!implausible.areas.empty()) reasons.push_back(implausible);
    result.batch = batch_figures(strengths, components.size(), settings.k, reasons);
    if (correction) result.corrected = batch_figures(corrected, components.size(), settings.k, std::move(reasons));
    result.sampling = sampling_advice(components.size(), settings.lot_size);
    return result;
}

std::string describe(const BatchReason& reason) {
    using Kind = BatchReason::Kind;
    switch (reason.kind) {
        case Kind::NoComponents:
            return "the batch holds no component";
        case Kind::ComponentWithoutAreas:
            return "components without test areas: " + numbers_from_one(reason.components);
        case Kind::AreaOutsideCurve:
            return "test areas outside the range of the curve, without a strength (component/area): " +
                   area_list(reason.areas);
        case Kind::ImplausibleArea:
            return "test areas with a stored strength outside 0 to " + strength_text(kMaxAreaStrength) +
                   " MPa or not a number (component/area): " + area_list(reason.areas);
        case Kind::EstimateNotPositive:
            return "the estimate is not a strength above 0 MPa";
        case Kind::TooFewAreas:
            return "fewer than 2 test areas: no standard deviation";
        case Kind::LowMeanSpread:
            return "mean below " + strength_text(kLowMeanLimit) + " MPa and standard deviation above " +
                   strength_text(kLowMeanMaxSd) + " MPa";
        case Kind::MidMeanSpread:
            return "mean from " + strength_text(kLowMeanLimit) + " to " + strength_text(kHighMeanLimit) +
                   " MPa and standard deviation above " + strength_text(kMidMeanMaxSd) + " MPa";
    }
    return {};
}

std::string describe(const SamplingWarning& warning) {
    const std::string inspected = std::to_string(warning.inspected);
    const std::string lot = std::to_string(warning.lot_size);
    switch (warning.kind) {
        case SamplingWarning::Kind::BelowShare:
            return inspected + " of " + lot + " components inspected, fewer than 30 % of the batch (at least " +
                   std::to_string(warning.required) + ")";
        case SamplingWarning::Kind::BelowMinimum:
            return inspected + (warning.inspected == 1 ? " component" : " components") +
                   " inspected, fewer than the " + std::to_string(warning.required) + " a batch needs";
        case SamplingWarning::Kind::NotAll:
            return inspected + " of " + lot +
                   " components inspected: a batch of fewer than 10 components is inspected in full";
        case SamplingWarning::Kind::MoreThanLot:
            return inspected + " components inspected, more than the " + lot + " the batch holds";
    }
    return {};
}

std::string describe(const CorrectionError& error) {
    const std::string at = "component " + std::to_string(error.core.component + 1) + ", area " +
                           std::to_string(error.core.area + 1);
    switch (error.kind) {
        case CorrectionError::Kind::TooFewPairs:
            return std::to_string(error.pairs) + (error.pairs == 1 ? " core" : " cores") +
                   ", a correction needs at least " + std::to_string(kMinCorePairs);
        case CorrectionError::Kind::NoSuchComponent:
            return "a core names component " + std::to_string(error.core.component + 1) +
                   ", which the project does not hold";
        case CorrectionError::Kind::NotInBatch:
            return "a core names component " + std::to_string(error.core.component + 1) +
                   ", which is not in the batch";
        case CorrectionError::Kind::NoSuchArea:
            return "a core names " + at + ", which the component does not hold";
        case CorrectionError::Kind::AreaWithoutStrength:
            return "the core at " + at + " lies at an area without a strength";
        case CorrectionError::Kind::BadStrength:
            return "the core at " + at + " has a strength of " + strength_text(error.core.strength) +
                   " MPa, outside 0 to " + strength_text(kMaxCoreStrength) + " MPa";
        case CorrectionError::Kind::SameArea:
            return "two cores at " + at;
    }
    return {};
}

CoreTable parse_core_table(std::string_view text) {
    CoreTable table;
    std::size_t line_number = 0;
    bool first_row = true;
    const auto trim = [](std::string_view s) {
        while (!s.empty() && (s.front() == ' ' || s.front() == '"')) s.remove_prefix(1);
        while (!s.empty() && (s.back() == ' ' || s.back() == '"' || s.back() == '\r')) s.remove_suffix(1);
        return s;
    };
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++line_number;
        if (line.empty()) continue;
        std::vector<std::string_view> cells;
        while (true) {
            const std::size_t sep = line.find_first_of(",;\t");
            cells.push_back(trim(line.substr(0, sep)));
            if (sep == std::string_view::npos) break;
            line.remove_prefix(sep + 1);
        }
        const bool was_first = first_row;
        first_row = false;
        const auto fail = [&](std::string message) {
            table.cores.clear();
            table.error_line = line_number;
            table.error = std::move(message);
            return table;
        };
        std::size_t numbers[2] = {0, 0};
        bool numeric = cells.size() == 3;
        for (std::size_t i = 0; numeric && i < 2; ++i) {
            const auto r = std::from_chars(cells[i].data(), cells[i].data() + cells[i].size(), numbers[i]);
            numeric = r.ec == std::errc() && r.ptr == cells[i].data() + cells[i].size() && !cells[i].empty();
        }
        double strength = 0.0;
        if (numeric) {
            const auto r = std::from_chars(cells[2].data(), cells[2].data() + cells[2].size(), strength,
                                           std::chars_format::fixed);
            numeric = r.ec == std::errc() && r.ptr == cells[2].data() + cells[2].size() && !cells[2].empty();
        }
        if (!numeric) {
            // Column titles: a first line that does not start with a number.
            const bool titles = was_first && (cells[0].empty() || cells[0].front() < '0' || cells[0].front() > '9');
            if (titles) continue;
            return fail("expected component,area,strength: two whole numbers and a strength in MPa");
        }
        if (numbers[0] == 0 || numbers[1] == 0) return fail("components and areas are numbered from 1");
        if (!(strength > 0.0 && strength <= kMaxCoreStrength)) {
            return fail("a core strength must lie above 0 and at most " + strength_text(kMaxCoreStrength) + " MPa");
        }
        table.cores.push_back({numbers[0] - 1, numbers[1] - 1, strength});
    }
    return table;
}

const char* method_name(CorrectionMethod method) {
    return method == CorrectionMethod::Amount ? "amount" : "coefficient";
}

std::optional<CorrectionMethod> method_from_name(std::string_view name) {
    if (name == "amount") return CorrectionMethod::Amount;
    if (name == "coefficient") return CorrectionMethod::Coefficient;
    return std::nullopt;
}

}  // namespace rebound
