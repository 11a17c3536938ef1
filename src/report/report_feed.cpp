#include "report/report_feed.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "evaluation/strength_texts.h"
#include "model/number_text.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"

namespace rebound::report {

namespace {

enum FieldPos {
    kProjectName,
    kReportSerial,
    kAgentUnit,
    kReportDate,
    kConstructor,
    kExamineDate,
    kDesignUnit,
    kSupervisionUnit,
    kDeviceSerial,
    kExamineBasis,
    kExamineSerial,
    kProjectAddress,
    kExamineCondition,
    kConcreteProducer,
    kDataId,
    kComponentName,
    kStrengthDegree,
    kConstructionDate,
    kStrengthAvg,
    kStrengthMin,
    kStrengthDelta,
    kStrengthEstimate,
};

}  // namespace

const std::array<const char*, ReportFeed::kFieldCount>& ReportFeed::field_names() {
    static const std::array<const char*, kFieldCount> names = {
        "project_name",   "report_serial",     "agent_unit",        "report_date",       "constructor",
        "examine_date",   "design_unit",       "supervision_unit",  "device_serial",     "examine_basis",
        "examine_serial", "project_address",   "examine_condition", "concrete_producer", "data_id",
        "component_name", "strength_degree",   "construction_date", "strength_avg",      "strength_min",
        "strength_delta", "strength_estimate",
    };
    return names;
}

std::vector<std::pair<const char*, QString>> project_header(const ReboundFile& p, const platform::Clock& clock) {
    using platform::to_qstring;
    return {
        {"project_name", to_qstring(p.project_name)},
        {"report_serial", to_qstring(p.report_serial)},
        {"agent_unit", to_qstring(p.agent_unit)},
        {"report_date", to_qstring(platform::iso_date(clock.today()))},
        {"agent_date", to_qstring(platform::report_date_text(p.agent_date, clock))},
        {"constructor", to_qstring(p.constructor_unit)},
        {"design_unit", to_qstring(p.design_unit)},
        {"supervision_unit", to_qstring(p.supervision_unit)},
        {"examine_basis", to_qstring(p.examine_basis)},
        {"examine_serial", to_qstring(p.examine_serial)},
        {"project_address", to_qstring(p.project_address)},
        {"examine_condition", to_qstring(p.examine_condition)},
        {"concrete_producer", to_qstring(p.concrete_producer)},
    };
}

QString ReportFeed::strength_text(float value) {
    return QString::fromStdString(one_decimal(value));
}

void ReportFeed::bind(ReportTarget& target) {
    record_ = 0;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        fields_[i] = target.field_by_name(QString::fromLatin1(field_names()[i]));
    }
    batch_.bind(target);
    agent_date_ = target.field_by_name(QStringLiteral("agent_date"));
}

void ReportFeed::fetch_record(bool& eof) {
    const std::size_t record = static_cast<std::size_t>(record_);
    ++record_;
    if (filtered_ ? record >= only_.size() : record >= project_.component_count()) {
        eof = true;
        return;
    }
    const std::size_t position = filtered_ ? only_[record] : record;
    if (position >= project_.component_count()) {
        eof = true;
        return;
    }
    using platform::to_qstring;
    const ComponentInfo& c = project_.components[position];
    fields_[kDataId].set_integer(static_cast<std::int32_t>(position + 1));
    fields_[kComponentName].set_text(to_qstring(c.component_name));
    fields_[kStrengthDegree].set_integer(20 + 5 * static_cast<std::int32_t>(c.strength_degree));
    fields_[kConstructionDate].set_text(to_qstring(platform::report_date_text(project_.construction_date, clock_)));
    // A figure without a strength behind it reads "—", "<10.0" or ">60.0".
    fields_[kStrengthAvg].set_text(QString::fromStdString(component_figure_text(c, c.strength_avg)));
    fields_[kStrengthMin].set_text(QString::fromStdString(component_figure_text(c, c.strength_min)));
    fields_[kStrengthDelta].set_text(QString::fromStdString(component_figure_text(c, c.strength_delta)));
    fields_[kStrengthEstimate].set_text(QString::fromStdString(estimate_text(c)));
    if (record == 0) {
        // The header: the project's texts, and the first component's date and device.
        const auto& names = field_names();
        for (const auto& [name, text] : project_header(project_, clock_)) {
            const auto at = std::find_if(names.begin(), names.end(),
                                         [name = name](const char* n) { return std::strcmp(n, name) == 0; });
            if (at != names.end()) fields_[static_cast<std::size_t>(at - names.begin())].set_text(text);
            if (std::strcmp(name, "agent_date") == 0) agent_date_.set_text(text);
        }
        fields_[kExamineDate].set_text(to_qstring(platform::report_date_text(c.examine_date, clock_)));
        fields_[kDeviceSerial].set_text(to_qstring(c.device_serial));
        batch_.fill(project_);
    }
    eof = false;
}

}  // namespace rebound::report
