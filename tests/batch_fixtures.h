// The small projects the batch tests share: components built straight from
// their area strengths, and the three-component project whose batch figures
// the command-line, report and evaluation tests all check.
#pragma once

#include <initializer_list>

#include "model/rebound_file.h"

namespace rebound::test {

// A component whose areas hold these strengths (no pumped correction); a
// strength of 0 is an area outside the curve.
inline ComponentInfo component_of(std::initializer_list<double> strengths) {
    ComponentInfo c;
    for (double s : strengths) {
        AreaData a;
        a.converted_strength = static_cast<float>(s);
        a.area_strength = static_cast<float>(s);
        c.areas.push_back(a);
    }
    return c;
}

inline ComponentInfo component_of(const char* name, std::initializer_list<double> strengths) {
    ComponentInfo c = component_of(strengths);
    c.component_name = name;
    return c;
}

// Component 1: 20, 25, 30, 35, 40 and five 30s; component 2 (not ticked):
// 40 and 60 alternating; component 3: ten 30s.
// Ticked batch (1, 3): n 20, m 30.0, S = sqrt(250 / 19) = 3.63 -> 3.6,
// fe = 30.0 - 1.645 x 3.6 = 24.078 -> 24.1.
inline ReboundFile batch_fixture_project(const char* third_name = "KZ-3") {
    ReboundFile p;
    p.components.push_back(component_of("KZ-1", {20, 25, 30, 35, 40, 30, 30, 30, 30, 30}));
    p.components.push_back(component_of("KZ-2", {40, 60, 40, 60, 40, 60, 40, 60, 40, 60}));
    p.components[1].list_checked = 0;
    p.components.push_back(component_of(third_name, {30, 30, 30, 30, 30, 30, 30, 30, 30, 30}));
    return p;
}

}  // namespace rebound::test
