// The report template: a readable XML file that declares the report's fields
// and describes its pages. docs/report-template.md documents the format; in
// short:
//
//   <report title="...">
//     <fields>   <field name="..." type="integer|text"/> ...            </fields>
//     <fonts>    <font id="..." family="..." size="pt" bold="true"/> ... </fonts>
//     <page size="A4" orientation="portrait" left=".." top=".." right=".." bottom=".."/>
//     <page-header height="mm"> bands </page-header>       every page, at the top
//     <report-header> bands and <grid> </report-header>     once, on the first page
//     <detail> <column .../> ... </detail>                  one row per record
//     <report-footer> bands </report-footer>                once, after the last row
//     <page-footer height="mm"> bands </page-footer>       every page, at the bottom
//   </report>
//
// A band is either a <text> (one box across the whole width) or a <row> of
// <text> boxes side by side. Text may embed a field as [#name#]; the names
// PageNumber and PageCount stand for the page numbers. All lengths are in
// millimetres, font sizes in points.
#pragma once

#include <QIODevice>
#include <QString>
#include <optional>
#include <vector>

namespace rebound::report {

enum class FieldType { Integer, Text };

struct FieldDef {
    QString name;
    FieldType type = FieldType::Text;
};

struct FontDef {
    QString id;
    QString family;
    double size_pt = 10.5;
    bool bold = false;
};

enum class Align { Left, Center, Right };

// Edges of a box that are drawn.
enum Edge : unsigned {
    kNoEdge = 0,
    kLeftEdge = 1,
    kTopEdge = 2,
    kRightEdge = 4,
    kBottomEdge = 8,
    kAllEdges = 15,
};

struct TextBox {
    QString text;  // may hold [#name#] references
    int font = 0;  // index into ReportTemplate::fonts
    Align align = Align::Left;
    unsigned edges = kNoEdge;
    double share = 1.0;  // relative width inside its row
};

// A horizontal strip of boxes side by side across the content width.
struct Band {
    double height_mm = 0;  // 0: one line of the tallest font plus padding
    std::vector<TextBox> boxes;
};

// Labelled boxes of the report header: `columns` equal slots per row, each a
// label box of `label_width_mm` followed by the value box; a cell may span
// several slots.
struct GridCell {
    QString label;
    int field = -1;  // index into ReportTemplate::fields
    int span = 1;
};

struct HeaderGrid {
    int columns = 2;
    double label_width_mm = 25;
    double row_height_mm = 8;
    int label_font = 0;
    int value_font = 0;
    std::vector<GridCell> cells;
};

// One block of the report header: a band or a grid.
struct HeaderBlock {
    std::optional<Band> band;
    std::optional<HeaderGrid> grid;
};

struct Column {
    QString title;  // may contain line breaks
    int field = -1;
    double width_mm = 20;  // scaled so that the columns fill the content width
    Align align = Align::Center;
    QString prefix;
    QString suffix;
    // Spreadsheet number format for a text field holding a decimal number
    // (such as "0.0"); such values are exported as numbers. Integer fields are
    // always numbers.
    QString number_format;
};

struct DetailTable {
    double title_height_mm = 10;
    double row_height_mm = 7;
    int title_font = 0;
    int font = 0;
    double line_width_mm = 0.25;
    unsigned edges = kAllEdges;  // edges drawn around every title and cell box
    std::vector<Column> columns;
};

struct PageSetup {
    double width_mm = 210;  // as printed, orientation applied
    double height_mm = 297;
    double left_mm = 20, top_mm = 15, right_mm = 15, bottom_mm = 15;
    bool landscape = false;

    double content_width() const { return width_mm - left_mm - right_mm; }
};

struct ReportTemplate {
    QString title;
    std::vector<FieldDef> fields;
    std::vector<FontDef> fonts;  // never empty once read
    PageSetup page;
    double page_header_height_mm = 0;
    std::vector<Band> page_header;
    std::vector<HeaderBlock> report_header;
    DetailTable detail;
    std::vector<Band> report_footer;
    double page_footer_height_mm = 0;
    std::vector<Band> page_footer;

    // Position of the field in `fields`, or -1.
    int field_index(const QString& name) const;
};

// Names that text may embed besides the fields.
inline constexpr const char* kPageNumberName = "PageNumber";
inline constexpr const char* kPageCountName = "PageCount";

struct TemplateError {
    QString message;
    qint64 line = 0;  // 1-based; 0 when the file could not be read at all
    qint64 column = 0;
    // "line L, column C: message", or the message alone.
    QString text() const;
};

// Reads a template. On failure returns nullopt and describes the first error,
// with the line and column where it was found.
std::optional<ReportTemplate> read_template(QIODevice& in, TemplateError* error = nullptr);
std::optional<ReportTemplate> read_template_file(const QString& path, TemplateError* error = nullptr);

}  // namespace rebound::report
