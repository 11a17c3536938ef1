// The test report's record feed: binds the 22 fields of the report template
// and fills one record per component of a project, the project header in the
// first record. The main window and the command-line tool share it.
#pragma once

#include <QString>
#include <array>
#include <utility>
#include <vector>

#include "model/rebound_file.h"
#include "platform/clock.h"
#include "report/batch_fields.h"
#include "report/report_engine.h"

namespace rebound::report {

// A record feed over a project: binds the fields it fills on a loaded
// template, then fills one record per call of the engine's fetch loop.
class ProjectFeed {
public:
    virtual ~ProjectFeed() = default;
    // Looks up the feed's fields on the template (a missing one stays
    // unbound and its values are skipped) and starts again at the first
    // record.
    virtual void bind(ReportTarget& target) = 0;
    // The fetch handler: fills the next record, or sets `eof`.
    virtual void fetch_record(bool& eof) = 0;
    // How many records the feed gives in all.
    virtual int record_count() const = 0;
};

// The project header as both reports print it: each field's name and text,
// the report date being the clock's day, the day the report is made, and
// "agent_date" the project panel's measurement date. Dates are printed in one
// form, ISO (yyyy-MM-dd), whatever desktop wrote them; a date text that
// cannot be read is printed as it stands.
std::vector<std::pair<const char*, QString>> project_header(const ReboundFile& project, const platform::Clock& clock);

class ReportFeed : public ProjectFeed {
public:
    static constexpr std::size_t kFieldCount = 22;
    // The field names in binding order: 14 header fields, then 8 detail fields.
    static const std::array<const char*, kFieldCount>& field_names();
    static constexpr std::size_t kHeaderFieldCount = 14;

    // `clock` gives the report date.
    ReportFeed(const ReboundFile& project, const platform::Clock& clock) : project_(project), clock_(clock) {}
    // A feed of the listed components only (positions from 0, in order): the
    // batch report's.
    ReportFeed(const ReboundFile& project, const platform::Clock& clock, std::vector<std::size_t> components)
        : project_(project), clock_(clock), only_(std::move(components)), filtered_(true) {}

    // Binds the 22 fields (and "agent_date" when the template has it) and
    // starts again at the first component.
    void bind(ReportTarget& target) override;

    // Fills the next component's record, or sets `eof`.
    void fetch_record(bool& eof) override;
    int record_count() const override {
        return static_cast<int>(filtered_ ? only_.size() : project_.component_count());
    }

    // Calls of fetch_record since the last bind.
    int record_counter() const { return record_; }

    // "%.1f" of a stored strength.
    static QString strength_text(float value);

private:
    const ReboundFile& project_;
    const platform::Clock& clock_;
    std::array<ReportField, kFieldCount> fields_{};
    BatchFieldSet batch_;  // the batch block, with the first record
    std::vector<std::size_t> only_;
    bool filtered_ = false;
    ReportField agent_date_;  // bound when the template has the measurement date
    int record_ = 0;
};

}  // namespace rebound::report
