// The batch block and the cores table of the test report and the test record
// sheet: the figures of the project's batch (its ticked components), its
// verdict, the sampling advice, the corrections by cores and one line per
// core. They come with the first record, like the project header; a project
// without a batch and without cores leaves them all empty, so that the
// template's bands marked `when` print nothing. docs/report-template.md lists
// the fields.
#pragma once

#include <QString>
#include <utility>
#include <vector>

#include "evaluation/batch.h"
#include "model/rebound_file.h"
#include "report/report_engine.h"

namespace rebound::report {

// The field names and their values for a project.
std::vector<std::pair<const char*, QString>> batch_fields(const ReboundFile& project);

// The same names, for binding.
const std::vector<const char*>& batch_field_names();

// The texts the report and the window's batch report print (Chinese, as the
// report's other texts).
QString verdict_text(const BatchFigures& figures);
QString reason_text(const BatchReason& reason);
QString sampling_text(const SamplingWarning& warning);
QString correction_error_text(const CorrectionError& error);
QString method_text(CorrectionMethod method);
// "Δ = 3.0 MPa" or "η = 1.100".
QString correction_value_text(const Correction& correction);

// Binds the batch fields on a target and fills them in the current record.
class BatchFieldSet {
public:
    void bind(ReportTarget& target);
    void fill(const ReboundFile& project) const;

private:
    std::vector<ReportField> fields_;
};

}  // namespace rebound::report
