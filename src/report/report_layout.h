// Pagination and drawing. The layout places every box and chart of every page
// in millimetres, measuring text with a fixed high-resolution reference
// instead of a printer; the renderer then draws those pages with one QPainter
// routine onto any paint device: a printer, the preview's printer, a PDF
// writer or an image. Preview, print and PDF therefore show the same pages,
// and charts stay vector graphics wherever the device keeps them so.
#pragma once

#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>
#include <memory>
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
    GroupText,    // text of a band in a group's header, footer or continued blocks
};

struct PlacedBox {
    QRectF rect_mm;  // on the page, from its top-left corner
    QString text;
    int font = 0;
    Align align = Align::Left;
    unsigned edges = kNoEdge;
    BoxRole role = BoxRole::Static;
    // For cells the record shown; for the blocks of a group the group's
    // first record.
    int record = -1;
};

// A chart with the values it shows.
struct PlacedChart {
    QRectF rect_mm;
    ChartDef def;
    std::vector<double> bars;         // in record order
    std::vector<QString> labels;      // one per bar
    std::vector<double> lines;        // one per def.lines entry that has a value
    std::vector<int> line_defs;       // the def.lines entry of each of those
    std::vector<QString> line_texts;  // the value as the record holds it
    std::vector<QPointF> points;      // a scatter chart's (x, y), in record order
    int record = -1;                  // the first record of the records shown
};

// A straight line of the page, in mm: the edges of the boxes, with edges
// that meet or overlap on one line joined into one.
struct Rule {
    QPointF from_mm;
    QPointF to_mm;
};

struct LaidOutPage {
    std::vector<PlacedBox> boxes;
    std::vector<PlacedChart> charts;
    std::vector<Rule> rules;
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

// Replaces every [#name#] of a field by its value in `record`; page
// references stay as they are.
QString substitute_fields(const QString& text, const ReportTemplate& t, const Record* record);

// A band of the report footer as it comes out, with the record its field
// references read: the first record, or for a band repeated per line a copy
// in which each value of several lines holds the line of this copy.
struct FooterBand {
    const Band* band = nullptr;
    Record record;
};
// The report footer's bands: those whose `when` field is empty left out,
// those with `repeat` once per line of that field (none for an empty one).
std::vector<FooterBand> footer_bands(const ReportTemplate& t, const ReportData& data);
// True when a band shows a field's value, not only fixed text and page numbers.
bool shows_fields(const Band& band, const ReportTemplate& t);

class Paginator;

// The same a part at a time, so that a window can show the first pages and
// go on repainting while the rest is laid out. A page is complete (rules
// joined, page number written) once the next one has begun; "PageCount"
// references are filled in when the whole report is laid out, and until then
// stand in the boxes as written. The template and the data must outlive the
// job. The records may still be arriving: with `complete` false the job lays
// out what has been fetched (a group only once a record of the next one is
// there) and finishes after set_complete(true).
class LayoutJob {
public:
    LayoutJob(const ReportTemplate& t, const ReportData& data, bool complete = true);
    void set_complete(bool complete);
    ~LayoutJob();
    LayoutJob(const LayoutJob&) = delete;
    LayoutJob& operator=(const LayoutJob&) = delete;

    // Places about `records` more records (a group of records kept together
    // is placed whole); true once the report is complete.
    bool step(int records);
    bool done() const;
    int records_placed() const;
    // Pages that will not change any more but for their page count.
    int finished_pages() const;
    // The pages so far; all of them once done().
    const ReportLayout& layout() const;
    // Hands the layout over; the job is spent afterwards.
    ReportLayout take();

private:
    std::unique_ptr<Paginator> paginator_;
};

// The value axis of a chart showing values from `low` to `high`: its ends
// and the distance of its ticks, a 1, 2, 2.5 or 5 times a power of ten. The
// axis always includes 0.
struct ChartScale {
    double min = 0;
    double max = 10;
    double step = 2;
};
ChartScale chart_scale(double low, double high);

// Draws one page. The painter must be active on `device`; the page's top-left
// corner is the device origin.
void render_page(QPainter& painter, const QPaintDevice& device, const ReportTemplate& t,
                 const ReportLayout& layout, int page);

// Told after each page drawn, with the number of pages drawn so far; false
// stops the drawing there.
using PageProgress = std::function<bool(int pages_drawn)>;

// Draws pages [first, last] (0-based, inclusive) on a paged device, one device
// page each. False when the painter cannot start on the device, or when
// `progress` stopped it.
bool render_pages(QPaintDevice& device, const ReportTemplate& t, const ReportLayout& layout, int first,
                  int last, const PageProgress& progress = {});

// The whole report as a PDF document, pages sized as the template says;
// empty when `progress` stopped it.
QByteArray render_pdf(const ReportTemplate& t, const ReportLayout& layout, const PageProgress& progress = {});

}  // namespace rebound::report
