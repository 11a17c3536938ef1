// The report as a text file and as a spreadsheet, built from the same
// template and records as the printed pages. Both are flat tables: the
// columns shown in exports, one row per record that has a value in one of
// them; groups, their blocks and charts belong to the pages only.
//
// Text: UTF-8 with a byte-order mark and CR LF line ends; the title, the
// header fields as "label：value" lines, an empty line, then the detail table
// as columns padded with spaces (East Asian wide characters count as two
// columns).
//
// Spreadsheet: the title across the table's width, the header block as
// label and value cells in the grid's arrangement, an empty row, the column
// titles and one row per record; integer fields and text fields of columns
// with a number format are numbers.
#pragma once

#include <QByteArray>
#include <QString>

#include "report/report_engine.h"
#include "report/report_template.h"
#include "report/xls_writer.h"

namespace rebound::report {

// Columns that `text` takes in a fixed-width text view.
int display_width(QStringView text);

QByteArray text_report(const ReportTemplate& t, const ReportData& data);

xls::Workbook excel_workbook(const ReportTemplate& t, const ReportData& data);

}  // namespace rebound::report
