// The test record sheet's feed: one record per test area, in the project's
// order of components and the component's order of areas. Every record
// carries its component's fields, so that a template groups the areas of a
// component by "data_id"; the project header comes with the first record
// only. A component without test areas still gets one record, with its
// component fields and no area fields, so that it appears on the sheet.
//
// Values are the project's as stored, written as the test-area grid shows
// them: readings as integers, depth, angle and surface as the grid's texts in
// the template's language (ReportTexts), strengths, corrections and mean
// rebound values with one decimal, dates in one form (ISO, yyyy-MM-dd) where
// they can be read. "strength_note" says when the area strengths are the
// instrument's own, taken over without the pumped-concrete correction that
// the areas list, and why the estimate is not a figure. A strength without a
// figure reads "<10.0", ">60.0" or "—" (strength_texts.h). "area_label" is
// the area's number followed by "*" when its readings were typed by hand,
// and "typed_note" (first record) the note that explains the mark when any
// area of the project has one; "pumped_rule" and "arithmetic_rule" (first
// record) name the project's evaluation rules.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "model/rebound_file.h"
#include "report/report_feed.h"
#include "report/report_template.h"
#include "report/report_texts.h"

namespace rebound::report {

class TestRecordFeed : public ProjectFeed {
public:
    // The fields in binding order: the project header, the component's
    // fields, then the test area's.
    static const std::vector<QString>& field_names();
    static constexpr std::size_t kHeaderFieldCount = 14;
    static constexpr std::size_t kComponentFieldCount = 16;

    // `clock` gives the report date; `language` that of the printed texts.
    TestRecordFeed(const ReboundFile& project, const platform::Clock& clock,
                   const QString& language = QStringLiteral("en"))
        : project_(project), clock_(clock), texts_(language) {}

    void bind(ReportTarget& target) override;
    void fetch_record(bool& eof) override;
    int record_count() const override;

private:
    void fill_header();
    void fill_component(const ComponentInfo& c, std::size_t position);
    void fill_area(const ComponentInfo& c, const AreaData& a, std::size_t position);
    // The instrument's note and why the estimate is not a figure.
    QString component_note(const ComponentInfo& c) const;

    const ReboundFile& project_;
    const platform::Clock& clock_;
    ReportTexts texts_;
    std::vector<ReportField> fields_;
    BatchFieldSet batch_;  // the batch block, with the first record
    std::size_t component_ = 0;  // the next record's component
    std::size_t area_ = 0;       // and its area
    bool first_ = true;
    std::size_t cached_component_ = 0;     // whose texts component_texts_ holds
    std::vector<QString> component_texts_;
};

// The feed that fills the records a template asks for.
std::unique_ptr<ProjectFeed> make_feed(const ReportTemplate& t, const ReboundFile& project,
                                       const platform::Clock& clock);

}  // namespace rebound::report
