// Printing and previewing a report with the platform's dialogs. The records
// are fetched once per command, before any dialog shows; the pages are drawn
// by the engine's renderer. Laying out, printing and writing a PDF show a
// progress dialog with Cancel (object name "ReportProgress") once they take
// a moment, and keep the window answering meanwhile.
#pragma once

#include <functional>
#include <optional>

#include "report/report_engine.h"
#include "report/report_layout.h"

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
// `expected_records`, when known, measures the layout's progress.
bool print_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show = {},
                  const PageSetup* page = nullptr, int expected_records = 0);

// Fetches the records and lays the pages out of `t` (the engine's template,
// perhaps on another page), with progress; nothing when the operator cancels.
std::optional<ReportLayout> lay_out_with_progress(ReportEngine& engine, const ReportTemplate& t, QWidget* parent,
                                                  int expected_records = 0);

// Prints the pages of `layout` the printer was asked for (all, or the range
// chosen in the print dialog) with progress; false, and the print job
// aborted, when the operator cancels.
bool print_pages(QPrinter& printer, const ReportTemplate& t, const ReportLayout& layout, QWidget* parent);

// Writes the report as a PDF file with progress: true when written, false
// when the operator cancelled (nothing is written then).
Result<bool> export_pdf(ReportEngine& engine, const QString& path, QWidget* parent, int expected_records = 0);

// Fetches the records and shows them in a modal print preview window
// (ReportPreviewDialog, object name "PrintPreviewDialog") that lays the pages
// out while it shows the first ones, and from which they can be printed.
// `expected_records`, when known, measures the layout's progress.
bool preview_report(ReportEngine& engine, QPrinter& printer, QWidget* parent, const ShowModal& show = {},
                    const PageSetup* page = nullptr, int expected_records = 0);

}  // namespace rebound::report
