// Printing and previewing a report with the platform's dialogs. The records
// are fetched once per command, before any dialog shows; the pages are drawn
// by the engine's renderer.
#pragma once

#include <functional>

#include "report/report_engine.h"

class QDialog;
class QPrinter;
class QWidget;

namespace rebound::report {

// Shows a dialog modally and returns its result; the default runs exec().
// Windows pass their own so that tests can answer in advance.
using ShowModal = std::function<int(QDialog&)>;

// Sets the printer's paper to the template's page, margins to none and the
// origin to the paper's corner, as the renderer expects.
void prepare_printer(QPrinter& printer, const ReportTemplate& t);

// Fetches the records, shows the print dialog (object name "PrintDialog")
// for `printer` and prints the chosen pages. False when there is no template
// or the dialog was cancelled. `page`, when given, replaces the template's
// paper, orientation and margins (a page set-up chosen by the operator).
bool print_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show = {},
                  const PageSetup* page = nullptr);

// Fetches the records and shows them in a modal print preview window
// (ReportPreviewDialog, object name "PrintPreviewDialog") that lays the pages
// out while it shows the first ones, and from which they can be printed.
// `expected_records`, when known, measures the layout's progress.
bool preview_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show = {},
                    const PageSetup* page = nullptr, int expected_records = 0);

}  // namespace rebound::report
