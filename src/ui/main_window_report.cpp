// Report commands of the main window: preparing the report, feeding it one
// record per component, printing, previewing and exporting.
//
// Placeholder until the report engine is wired in: no report is produced, and
// the commands show nothing.
#include "ui/main_window.h"

namespace rebound {

bool TSDIAppForm::PrepareReport() {
    return false;
}

void TSDIAppForm::mGridppReportFetchRecord(bool& eof) {
    eof = true;
}

void TSDIAppForm::act_printExecute() {}

void TSDIAppForm::act_print_previewExecute() {}

void TSDIAppForm::act_export2excelExecute() {}

void TSDIAppForm::act_export2txtExecute() {}

}  // namespace rebound
