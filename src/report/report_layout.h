// Pagination and drawing. The layout places every box of every page in
// millimetres, measuring text with a fixed high-resolution reference instead
// of a printer; the renderer then draws those pages with one QPainter routine
// onto any paint device: a printer, the preview's printer, a PDF writer or an
// image. Preview, print and PDF therefore show the same pages.
#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <vector>

#include "report/report_engine.h"
#include "report/report_template.h"

class QPainter;
class QPaintDevice;

namespace rebound::report {

enum class BoxRole {
    Static,       // text of a band
    PageHeader,   // band of the page header
    PageFooter,   // band of the page footer
    HeaderLabel,  // label of the report header grid
    HeaderValue,  // value of the report header grid
    ColumnTitle,  // title row of the detail table
    Cell,         // cell of a detail row
};

struct PlacedBox {
    QRectF rect_mm;  // on the page, from its top-left corner
    QString text;
    int font = 0;
    Align align = Align::Left;
    unsigned edges = kNoEdge;
    BoxRole role = BoxRole::Static;
    int record = -1;  // for cells: the record shown
};

struct LaidOutPage {
    std::vector<PlacedBox> boxes;
};

struct ReportLayout {
    double width_mm = 0;
    double height_mm = 0;
    double line_width_mm = 0.25;
    std::vector<LaidOutPage> pages;
};

// The font a template font stands for. A family that is not installed (the
// template names "宋体") is replaced by the installed Song-style family, whose
// glyphs also extract from a PDF as the characters printed.
QFont resolve_font(const FontDef& def);

// Lays the report out on pages.
ReportLayout lay_out(const ReportTemplate& t, const ReportData& data);

// Draws one page. The painter must be active on `device`; the page's top-left
// corner is the device origin.
void render_page(QPainter& painter, const QPaintDevice& device, const ReportTemplate& t,
                 const ReportLayout& layout, int page);

// Draws pages [first, last] (0-based, inclusive) on a paged device, one device
// page each. False when the painter cannot start on the device.
bool render_pages(QPaintDevice& device, const ReportTemplate& t, const ReportLayout& layout, int first,
                  int last);

// The whole report as a PDF document, pages sized as the template says.
QByteArray render_pdf(const ReportTemplate& t, const ReportLayout& layout);

}  // namespace rebound::report
