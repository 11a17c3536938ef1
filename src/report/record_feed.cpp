#include "report/record_feed.h"

#include <algorithm>

#include <QStringList>

#include "evaluation/area_texts.h"
#include "evaluation/spare_texts.h"
#include "evaluation/strength_texts.h"
#include "model/number_text.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"

namespace rebound::report {

namespace {

// Positions in TestRecordFeed::field_names().
enum FieldPos : std::size_t {
    kProjectName,
    kReportSerial,
    kAgentUnit,
    kReportDate,
    kConstructor,
    kDesignUnit,
    kSupervisionUnit,
    kExamineBasis,
    kExamineSerial,
    kProjectAddress,
    kExamineCondition,
    kConcreteProducer,
    kConstructionDate,
    kAgentDate,
    // the component
    kDataId,
    kComponentName,
    kComponentCondition,
    kDeviceSerial,
    kExamineDate,
    kStrengthDegree,
    kPumped,
    kCurveFilename,
    kCarbonationMode,
    kRepCarbonation,
    kAreaCount,
    kStrengthAvg,
    kStrengthDelta,
    kStrengthMin,
    kStrengthEstimate,
    kStrengthNote,
    // the test area
    kAreaNo,
    kReading1,
    kCarbonationDepth = kReading1 + kReadingsPerArea,
    kMeanRebound,
    kAngle,
    kAngleCorrection,
    kSurface,
    kSurfaceCorrection,
    kConvertedStrength,
    kPumpCorrection,
    kAreaStrength,
    // added later, so that the fields before keep their places
    kAreaLabel,
    kTypedNote,
    kPumpedRule,
    kArithmeticRule,
    kFieldCount,
};

QString decimal(float value) {
    return QString::fromStdString(one_decimal(value));
}

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

// True when the component's area strengths are its converted strengths while
// its areas list a pumped-concrete correction: the instrument supplied one
// strength as both, and the correction was not added to it.
bool strength_from_instrument(const ComponentInfo& c) {
    if (c.pump_tag != 1 || c.areas.empty()) return false;
    bool corrected = false;
    for (const AreaData& a : c.areas) {
        if (a.area_strength != a.converted_strength) return false;
        corrected = corrected || a.pump_correction != 0.0f;
    }
    return corrected;
}

}  // namespace

const std::vector<QString>& TestRecordFeed::field_names() {
    static const std::vector<QString> names = [] {
        std::vector<QString> n;
        for (const char* name : {"project_name",
                                 "report_serial",
                                 "agent_unit",
                                 "report_date",
                                 "constructor",
                                 "design_unit",
                                 "supervision_unit",
                                 "examine_basis",
                                 "examine_serial",
                                 "project_address",
                                 "examine_condition",
                                 "concrete_producer",
                                 "construction_date",
                                 "agent_date",
                                 "data_id",
                                 "component_name",
                                 "component_condition",
                                 "device_serial",
                                 "examine_date",
                                 "strength_degree",
                                 "pumped",
                                 "curve_filename",
                                 "carbonation_mode",
                                 "rep_carbonation",
                                 "area_count",
                                 "strength_avg",
                                 "strength_delta",
                                 "strength_min",
                                 "strength_estimate",
                                 "strength_note",
                                 "area_no"}) {
            n.push_back(QString::fromLatin1(name));
        }
        for (std::size_t i = 1; i <= kReadingsPerArea; ++i) n.push_back(QStringLiteral("reading_%1").arg(i));
        for (const char* name :
             {"carbonation_depth", "mean_rebound", "angle", "angle_correction", "surface",
              "surface_correction", "converted_strength", "pump_correction", "area_strength", "area_label",
              "typed_note", "pumped_rule", "arithmetic_rule"}) {
            n.push_back(QString::fromLatin1(name));
        }
        return n;
    }();
    static_assert(kDataId == kHeaderFieldCount && kAreaNo == kHeaderFieldCount + kComponentFieldCount);
    return names;
}

void TestRecordFeed::bind(ReportTarget& target) {
    const std::vector<QString>& names = field_names();
    fields_.assign(names.size(), ReportField{});
    for (std::size_t i = 0; i < names.size(); ++i) fields_[i] = target.field_by_name(names[i]);
    batch_.bind(target);
    component_ = 0;
    area_ = 0;
    first_ = true;
    component_texts_.clear();
}

void TestRecordFeed::fetch_record(bool& eof) {
    if (fields_.size() != kFieldCount || component_ >= project_.component_count()) {
        eof = true;
        return;
    }
    const ComponentInfo& c = project_.components[component_];
    if (first_) fill_header();
    first_ = false;
    fill_component(c, component_);
    if (area_ < c.area_count()) fill_area(c, c.areas[area_], area_);
    // The next record: the next area, or the next component's first one. A
    // component without areas takes one record.
    if (++area_ >= std::max<std::size_t>(1, c.area_count())) {
        ++component_;
        area_ = 0;
    }
    eof = false;
}

int TestRecordFeed::record_count() const {
    std::size_t count = 0;
    for (const ComponentInfo& c : project_.components) count += std::max<std::size_t>(1, c.area_count());
    return static_cast<int>(std::min<std::size_t>(count, static_cast<std::size_t>(ReportEngine::kMaxRecords)));
}

void TestRecordFeed::fill_header() {
    const std::vector<QString>& names = field_names();
    for (const auto& [name, text] : project_header(project_, clock_)) {
        const auto at = std::find(names.begin(), names.end(), QLatin1String(name));
        if (at != names.end()) fields_[static_cast<std::size_t>(at - names.begin())].set_text(text);
    }
    fields_[kConstructionDate].set_text(
        platform::to_qstring(platform::report_date_text(project_.construction_date, clock_)));
    batch_.fill(project_);
    const bool typed = std::any_of(project_.components.begin(), project_.components.end(), [](const ComponentInfo& c) {
        return std::any_of(c.areas.begin(), c.areas.end(),
                           [](const AreaData& a) { return a.has_flag(area_flags::kTypedReadings); });
    });
    fields_[kTypedNote].set_text(
        typed ? texts_.text("Note: the rebound readings of areas marked * were entered or changed by hand") : QString());
    const EvaluationRules rules = read_evaluation_rules(project_);
    fields_[kPumpedRule].set_text(
        texts_.text(rules.pumped == PumpedRule::Curve ? "by pumped-concrete curve" : "by correction"));
    fields_[kArithmeticRule].set_text(
        texts_.text(rules.arithmetic == Arithmetic::Standard ? "as the standard" : "as the hammer"));
}

void TestRecordFeed::fill_component(const ComponentInfo& c, std::size_t position) {
    // Every area's record repeats its component's values: they are made once
    // per component and shared.
    if (cached_component_ != position || component_texts_.empty()) {
        using platform::to_qstring;
        cached_component_ = position;
        component_texts_ = {
            to_qstring(c.component_name),
            to_qstring(c.component_condition),
            to_qstring(c.device_serial),
            to_qstring(platform::report_date_text(c.examine_date, clock_)),
            // Only 1 marks pumped concrete; the evaluation treats any other value as not pumped.
            texts_.yes_no(c.pump_tag == 1),
            to_qstring(c.curve_filename),
            texts_.carbonation_mode(c.carbonation_mode),
            texts_.depth(c.rep_carbonation_index),
            text(component_figure_text(c, c.strength_avg)),
            text(component_figure_text(c, c.strength_delta)),
            text(component_figure_text(c, c.strength_min)),
            text(estimate_text(c)),
            component_note(c),
        };
    }
    const std::vector<QString>& t = component_texts_;
    fields_[kDataId].set_integer(static_cast<std::int32_t>(position + 1));
    fields_[kComponentName].set_text(t[0]);
    fields_[kComponentCondition].set_text(t[1]);
    fields_[kDeviceSerial].set_text(t[2]);
    fields_[kExamineDate].set_text(t[3]);
    fields_[kStrengthDegree].set_integer(20 + 5 * static_cast<std::int32_t>(c.strength_degree));
    fields_[kPumped].set_text(t[4]);
    fields_[kCurveFilename].set_text(t[5]);
    fields_[kCarbonationMode].set_text(t[6]);
    fields_[kRepCarbonation].set_text(t[7]);
    fields_[kAreaCount].set_integer(static_cast<std::int32_t>(c.area_count()));
    fields_[kStrengthAvg].set_text(t[8]);
    fields_[kStrengthDelta].set_text(t[9]);
    fields_[kStrengthMin].set_text(t[10]);
    fields_[kStrengthEstimate].set_text(t[11]);
    fields_[kStrengthNote].set_text(t[12]);
}

QString TestRecordFeed::component_note(const ComponentInfo& c) const {
    QStringList notes;
    if (strength_from_instrument(c)) {
        notes << texts_.text("area strength taken from the instrument; pump correction not added");
    }
    const Message reason = estimate_reason(c);
    if (!reason.code.empty()) notes << texts_.message(reason);
    return notes.join(QStringLiteral("; "));
}

void TestRecordFeed::fill_area(const ComponentInfo& c, const AreaData& a, std::size_t position) {
    fields_[kAreaNo].set_integer(static_cast<std::int32_t>(position + 1));
    const QString number = QString::number(position + 1);
    fields_[kAreaLabel].set_text(a.has_flag(area_flags::kTypedReadings) ? number + QLatin1Char('*') : number);
    for (std::size_t i = 0; i < kReadingsPerArea; ++i) fields_[kReading1 + i].set_integer(a.readings[i]);
    fields_[kCarbonationDepth].set_text(texts_.depth(a.carbonation_index));
    fields_[kMeanRebound].set_text(decimal(a.mean_rebound));
    fields_[kAngle].set_text(text(angle_text(a.angle_index)));
    fields_[kAngleCorrection].set_text(decimal(a.angle_correction));
    fields_[kSurface].set_text(texts_.surface(a.surface_index));
    fields_[kSurfaceCorrection].set_text(decimal(a.surface_correction));
    fields_[kConvertedStrength].set_text(text(area_strength_text(c, a, a.converted_strength)));
    fields_[kPumpCorrection].set_text(decimal(a.pump_correction));
    fields_[kAreaStrength].set_text(text(area_strength_text(c, a, a.area_strength)));
}

std::unique_ptr<ProjectFeed> make_feed(const ReportTemplate& t, const ReboundFile& project,
                                       const platform::Clock& clock) {
    if (t.records == RecordSource::TestAreas) return std::make_unique<TestRecordFeed>(project, clock, t.language);
    if (t.records == RecordSource::BatchComponents) {
        return std::make_unique<ReportFeed>(project, clock, ticked_components(project));
    }
    return std::make_unique<ReportFeed>(project, clock);
}

}  // namespace rebound::report
