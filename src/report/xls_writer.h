// A writer of Excel 97-2003 workbooks (.xls) with one worksheet.
//
// The file is a Compound File (512-byte sectors, one FAT, no mini stream)
// whose single stream "Workbook" holds BIFF8 records:
//
//   globals:  BOF  CODEPAGE(UTF-16)  WINDOW1  FONT...  FORMAT...  XF...  STYLE
//             BOUNDSHEET(offset of the sheet's BOF)  SST [CONTINUE...]  EXTSST  EOF
//   sheet:    BOF  DEFCOLWIDTH  COLINFO...  DIMENSIONS  ROW...  cells in row order
//             (LABELSST, NUMBER, BLANK)  WINDOW2  MERGEDCELLS  EOF
//
// Every text goes into the shared string table as UTF-16. The stream is
// padded to 4096 bytes so that it lives in normal sectors.
#pragma once

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "platform/file_error.h"
#include "report/report_template.h"

namespace rebound::report::xls {

struct Font {
    QString name;
    double size_pt = 11;
    bool bold = false;
};

struct CellStyle {
    int font = 0;  // index into Workbook::fonts
    Align align = Align::Left;
    bool wrap = false;
    bool borders = false;   // thin black lines on all four edges
    QString number_format;  // empty: General
};

struct Cell {
    enum class Kind { Blank, Number, Text };
    int row = 0;
    int column = 0;
    Kind kind = Kind::Blank;
    double number = 0;
    QString text;
    int style = 0;  // index into Workbook::styles
};

struct Merge {
    int first_row, last_row, first_column, last_column;
};

struct Workbook {
    QString sheet_name = QStringLiteral("Sheet1");
    std::vector<Font> fonts{Font{}};  // fonts[0] is the workbook's default font
    std::vector<CellStyle> styles{CellStyle{}};
    std::vector<Cell> cells;
    std::vector<Merge> merges;
    std::vector<double> column_widths;  // in characters of the default font
    std::map<int, double> row_heights;  // row -> height in points
};

// Limits of the format (and of this writer, which uses no extra FAT index).
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr int kMaxTextLength = 32767;  // longer texts are cut

// The whole .xls file, or a WriteFailed error saying which limit of the
// format the workbook breaks (the error names no file: there is none yet).
Result<QByteArray> write_workbook(const Workbook& book);

// The BIFF8 record stream alone, and the container around a stream.
QByteArray workbook_stream(const Workbook& book);
Result<QByteArray> compound_file(const QByteArray& workbook_stream);

}  // namespace rebound::report::xls
