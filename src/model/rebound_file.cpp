#include "model/rebound_file.h"

#include "platform/dates.h"

namespace rebound {

ComponentInfo& ComponentInfo::operator=(const ComponentInfo& other) {
    if (this == &other) {
        return *this;
    }
    reset();
    component_name = other.component_name;
    device_text1 = other.device_text1;
    device_text2 = other.device_text2;
    device_serial = other.device_serial;
    device_text4 = other.device_text4;
    examine_date = other.examine_date;
    extra_date = other.extra_date;
    curve_filename = other.curve_filename;
    reserved_text = other.reserved_text;
    component_condition = other.component_condition;
    pump_tag = other.pump_tag;
    list_checked = other.list_checked;
    carbonation_mode = other.carbonation_mode;
    rep_carbonation_index = other.rep_carbonation_index;
    strength_degree = other.strength_degree;
    strength_avg = other.strength_avg;
    strength_min = other.strength_min;
    strength_delta = other.strength_delta;
    strength_estimate = other.strength_estimate;
    areas.reserve(other.areas.size());
    for (const AreaData& a : other.areas) {
        add_area(a);
    }
    return *this;
}

void ComponentInfo::reset() {
    const std::string today = platform::today_text();
    component_name = "New Component";
    device_text1 = "xxx";
    device_text2 = "xxx";
    device_serial = "xxx";
    device_text4 = "xxx";
    examine_date = today;
    extra_date = today;
    curve_filename = "normal.cur";
    reserved_text.clear();
    component_condition.clear();
    pump_tag = 1;
    list_checked = 1;
    carbonation_mode = 0;
    rep_carbonation_index = 0;
    strength_degree = 2;
    strength_avg = 0.0f;
    strength_min = 0.0f;
    strength_delta = 0.0f;
    strength_estimate = 0.0f;
    areas.clear();
    areas.shrink_to_fit();
}

void ComponentInfo::add_area(const AreaData& source) {
    AreaData copy = source;
    copy.reserved3 = 0;
    copy.reserved4 = 0.0f;
    areas.push_back(copy);
}

void ComponentInfo::remove_last_area() {
    if (!areas.empty()) {
        areas.pop_back();
    }
}

void ReboundFile::reset() {
    const std::string today = platform::today_text();
    project_name = "New Project";
    project_address.clear();
    construction_date = today;
    constructor_unit.clear();
    design_unit.clear();
    supervision_unit.clear();
    reserved_text1.clear();
    concrete_producer.clear();
    agent_unit.clear();
    agent_date = today;
    report_serial.clear();
    examine_serial.clear();
    reserved_text2.clear();
    examine_basis.clear();
    examine_condition.clear();
    components.clear();
    components.shrink_to_fit();
}

ComponentInfo* ReboundFile::component(std::size_t index) {
    return index < components.size() ? &components[index] : nullptr;
}

const ComponentInfo* ReboundFile::component(std::size_t index) const {
    return index < components.size() ? &components[index] : nullptr;
}

void ReboundFile::add_component(const ComponentInfo& source) {
    components.push_back(source);
}

void ReboundFile::add_component(ComponentInfo&& source) {
    components.push_back(std::move(source));
}

void ReboundFile::remove_component(std::size_t index) {
    if (index < components.size()) {
        components.erase(components.begin() + static_cast<std::ptrdiff_t>(index));
    }
}

}  // namespace rebound
