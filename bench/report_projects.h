// The large projects the report benchmarks lay out, and where their shipped
// templates are.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>

#include "model/rebound_file.h"
#include "platform/text_codec.h"

namespace rebound::bench {

inline QString template_path(const char* name) {
    return QString::fromStdString(
        (std::filesystem::path(REBOUND_SOURCE_DIR) / "data/report" / name).string());
}

// `components` components with their results and no test areas.
inline ReboundFile project_of(int components) {
    ReboundFile p;
    p.project_name = platform::utf8_to_ansi("滨江花园三号楼主体结构");
    p.report_serial = "HT-2026-0317";
    p.construction_date = "2026-03-01";
    for (int i = 1; i <= components; ++i) {
        ComponentInfo c;
        c.component_name = platform::utf8_to_ansi("框架梁 KL-") + std::to_string(i);
        c.strength_degree = static_cast<std::uint8_t>(i % 6);
        c.strength_avg = 30.0f + 0.01f * static_cast<float>(i);
        c.strength_min = 25.0f;
        c.strength_delta = 1.5f;
        c.strength_estimate = 28.0f;
        p.add_component(std::move(c));
    }
    return p;
}

// The same project with `areas` test areas per component, readings and
// results varying from area to area.
inline ReboundFile project_with_areas(int components, int areas) {
    ReboundFile p = project_of(components);
    int k = 0;
    for (ComponentInfo& c : p.components) {
        for (int a = 0; a < areas; ++a, ++k) {
            AreaData area;
            for (std::size_t i = 0; i < kReadingsPerArea; ++i) {
                area.readings[i] = static_cast<std::uint8_t>(30 + (k * 7 + static_cast<int>(i) * 3) % 20);
            }
            area.carbonation_index = static_cast<std::uint8_t>(k % 14);
            area.angle_index = static_cast<std::uint8_t>(k % 9);
            area.surface_index = static_cast<std::uint8_t>(k % 3);
            area.mean_rebound = 35.0f + 0.1f * static_cast<float>(k % 97);
            area.angle_correction = -0.1f * static_cast<float>(k % 40);
            area.surface_correction = 0.1f * static_cast<float>(k % 25);
            area.converted_strength = 25.0f + 0.2f * static_cast<float>(k % 71);
            area.pump_correction = 0.1f * static_cast<float>(k % 33);
            area.area_strength = area.converted_strength + area.pump_correction;
            c.add_area(area);
        }
    }
    return p;
}

}  // namespace rebound::bench
