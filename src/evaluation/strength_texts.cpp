#include "evaluation/strength_texts.h"

#include <algorithm>
#include <charconv>

#include "evaluation/spare_texts.h"
#include "model/number_text.h"

namespace rebound {

namespace {

bool blank(const AreaData& a) {
    return a.has_flag(area_flags::kBelowCurve) || a.has_flag(area_flags::kAboveCurve);
}

std::optional<float> parse_float(std::string_view text) {
    float value = 0.0f;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !(value > 0.0f)) return std::nullopt;
    return value;
}

std::string numbers_of(const ComponentInfo& c, std::uint8_t flag) {
    std::string list;
    for (std::size_t i = 0; i < c.areas.size(); ++i) {
        if (!c.areas[i].has_flag(flag)) continue;
        if (!list.empty()) list += ", ";
        list += std::to_string(i + 1);
    }
    return list;
}

}  // namespace

EstimateNote estimate_note(const ComponentInfo& c) {
    const auto has = [&c](std::uint8_t flag) {
        return std::any_of(c.areas.begin(), c.areas.end(), [flag](const AreaData& a) { return a.has_flag(flag); });
    };
    if (has(area_flags::kBelowCurve)) return EstimateNote::Below;
    if (!has(area_flags::kAboveCurve)) return EstimateNote::None;
    const bool all_above = std::all_of(c.areas.begin(), c.areas.end(),
                                       [](const AreaData& a) { return a.has_flag(area_flags::kAboveCurve); });
    return all_above ? EstimateNote::Above : EstimateNote::Blank;
}

std::string_view estimate_note_name(EstimateNote note) {
    switch (note) {
        case EstimateNote::Below:
            return "below";
        case EstimateNote::Above:
            return "above";
        case EstimateNote::Blank:
            return "blank";
        case EstimateNote::None:
            break;
    }
    return {};
}

std::optional<CurveRange> stored_curve_range(const ComponentInfo& c) {
    const auto pairs = parse_spare_text(c.reserved_text);
    if (!pairs) return std::nullopt;
    for (const auto& [key, value] : *pairs) {
        if (key != kCurveRangeKey) continue;
        const std::size_t colon = value.find(':');
        if (colon == std::string::npos) return std::nullopt;
        const auto low = parse_float(std::string_view(value).substr(0, colon));
        const auto high = parse_float(std::string_view(value).substr(colon + 1));
        if (!low || !high) return std::nullopt;
        return CurveRange{*low, *high};
    }
    return std::nullopt;
}

std::string area_strength_text(const ComponentInfo& c, const AreaData& a, float value) {
    if (!blank(a)) return one_decimal(value);
    const auto range = stored_curve_range(c);
    if (!range) return std::string(kNoFigure);
    return a.has_flag(area_flags::kBelowCurve) ? "<" + one_decimal(range->lowest) : ">" + one_decimal(range->highest);
}

std::string component_figure_text(const ComponentInfo& c, float value) {
    const bool none = !c.areas.empty() && std::all_of(c.areas.begin(), c.areas.end(), blank);
    return none ? std::string(kNoFigure) : one_decimal(value);
}

std::string estimate_text(const ComponentInfo& c) {
    const EstimateNote note = estimate_note(c);
    if (note == EstimateNote::None) return one_decimal(c.strength_estimate);
    const auto range = stored_curve_range(c);
    if (note == EstimateNote::Below && range) return "<" + one_decimal(range->lowest);
    if (note == EstimateNote::Above && range) return ">" + one_decimal(range->highest);
    return std::string(kNoFigure);
}

Message estimate_reason(const ComponentInfo& c) {
    switch (estimate_note(c)) {
        case EstimateNote::Below:
            return coded("estimate_below_curve", {numbers_of(c, area_flags::kBelowCurve)},
                         "areas %1 lie below the range of the curve: the estimate is below its lowest strength");
        case EstimateNote::Above:
            return coded("estimate_above_curve", {},
                         "every area lies above the range of the curve: the estimate is above its highest strength");
        case EstimateNote::Blank:
            return coded("estimate_blank", {numbers_of(c, area_flags::kAboveCurve)},
                         "areas %1 lie above the range of the curve and have no strength: no estimate");
        case EstimateNote::None:
            break;
    }
    return {};
}

}  // namespace rebound
