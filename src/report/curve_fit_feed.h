// The fit report's record feed: one record per pair of a strength curve fit
// (its number, Rm, dm, measured and curve strength, relative error), the
// curve's figures, limits, verdict and ranges in the first record. The
// window's curve dialog and rebound-cli curve fit share it with the template
// report/curve_fit1.grf.
#pragma once

#include <QString>
#include <algorithm>
#include <vector>

#include "evaluation/curve_fit.h"
#include "platform/clock.h"
#include "report/report_feed.h"

namespace rebound::report {

// What a fit report shows.
struct CurveFitReport {
    std::vector<CurvePair> pairs;
    CurveFit fit;
    CurveKind kind = CurveKind::Special;
    QString curve_file;  // the name the curve was saved under, or empty
};

class CurveFitFeed : public ProjectFeed {
public:
    // The fields in binding order: the curve's, then a pair's.
    static const std::vector<QString>& field_names();
    static constexpr std::size_t kHeaderFieldCount = 17;

    // The report is referred to, not copied: it must outlive the feed.
    CurveFitFeed(const CurveFitReport& report, const platform::Clock& clock) : report_(report), clock_(clock) {}

    void bind(ReportTarget& target) override;
    void fetch_record(bool& eof) override;
    // One record per pair; a fit without pairs still gives one.
    int record_count() const override {
        return static_cast<int>(std::max<std::size_t>(report_.pairs.size(), 1));
    }

    // The formula as the report prints it: "f = 0.0250 × Rm^2.0108 × 10^(-0.0358 × dm)".
    static QString formula_text(const CurveFormula& formula);

private:
    const CurveFitReport& report_;
    const platform::Clock& clock_;
    std::vector<ReportField> fields_;
    std::size_t next_ = 0;
};

}  // namespace rebound::report
