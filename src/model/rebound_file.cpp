#include "model/rebound_file.h"

#include "model/record_layout.h"

namespace rebound {

ComponentInfo& ComponentInfo::operator=(const ComponentInfo& other) {
    if (this == &other) {
        return *this;
    }
    // Every text and value of the record, then a copy of each area by the
    // area copy rule.
    records::for_each(records::kComponentTexts, [&](const auto& f) { this->*f.member = other.*f.member; });
    records::for_each(records::kComponentValues, [&](const auto& f) { this->*f.member = other.*f.member; });
    areas.clear();
    areas.reserve(other.areas.size());
    for (const AreaData& a : other.areas) {
        add_area(a);
    }
    return *this;
}

void ComponentInfo::reset(std::string_view today) {
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
    // The new area takes every field of the source except the reserved ones,
    // which are 0 in an area that belongs to a component.
    // (The copy is made before the list grows: the source may be one of its
    // own areas.)
    AreaData copy;
    records::for_each(records::kAreaValues, [&](const auto& f) {
        if (f.rule == records::Rule::Kept) copy.*f.member = source.*f.member;
    });
    areas.push_back(copy);
}

void ComponentInfo::remove_last_area() {
    if (!areas.empty()) {
        areas.pop_back();
    }
}

void ReboundFile::reset(std::string_view today) {
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
