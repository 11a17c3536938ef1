#include "report/report_feed.h"

#include <cstdio>

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

QString ReportFeed::strength_text(float value) {
    return QString::fromStdString(one_decimal(value));
}

void ReportFeed::bind(ReportTarget& target) {
    record_ = 0;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        fields_[i] = target.field_by_name(QString::fromLatin1(field_names()[i]));
    }
}

void ReportFeed::fetch_record(bool& eof) {
    const std::size_t k = static_cast<std::size_t>(record_);
    ++record_;
    if (k >= project_.component_count()) {
        eof = true;
        return;
    }
    using platform::to_qstring;
    const ComponentInfo& c = project_.components[k];
    fields_[kDataId].set_integer(static_cast<std::int32_t>(k + 1));
    fields_[kComponentName].set_text(to_qstring(c.component_name));
    fields_[kStrengthDegree].set_integer(20 + 5 * static_cast<std::int32_t>(c.strength_degree));
    fields_[kConstructionDate].set_text(to_qstring(project_.construction_date));
    fields_[kStrengthAvg].set_text(strength_text(c.strength_avg));
    fields_[kStrengthMin].set_text(strength_text(c.strength_min));
    fields_[kStrengthDelta].set_text(strength_text(c.strength_delta));
    fields_[kStrengthEstimate].set_text(strength_text(c.strength_estimate));
    if (k == 0) {
        const ReboundFile& p = project_;
        fields_[kProjectName].set_text(to_qstring(p.project_name));
        fields_[kReportSerial].set_text(to_qstring(p.report_serial));
        fields_[kAgentUnit].set_text(to_qstring(p.agent_unit));
        fields_[kReportDate].set_text(to_qstring(platform::today_text(clock_)));
        fields_[kConstructor].set_text(to_qstring(p.constructor_unit));
        fields_[kExamineDate].set_text(to_qstring(c.examine_date));
        fields_[kDesignUnit].set_text(to_qstring(p.design_unit));
        fields_[kSupervisionUnit].set_text(to_qstring(p.supervision_unit));
        fields_[kDeviceSerial].set_text(to_qstring(c.device_serial));
        fields_[kExamineBasis].set_text(to_qstring(p.examine_basis));
        fields_[kExamineSerial].set_text(to_qstring(p.examine_serial));
        fields_[kProjectAddress].set_text(to_qstring(p.project_address));
        fields_[kExamineCondition].set_text(to_qstring(p.examine_condition));
        fields_[kConcreteProducer].set_text(to_qstring(p.concrete_producer));
    }
    eof = false;
}

}  // namespace rebound::report
