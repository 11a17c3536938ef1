// The report template: a readable XML file that declares the report's fields
// and describes its pages. docs/report-template.md documents the format; in
// short:
//
//   <report title="..." records="components|test-areas|batch-components|curve-pairs" language="zh_CN|en">
//     <fields>   <field name="..." type="integer|text"/> ...            </fields>
//     <fonts>    <font id="..." family="..." size="pt" bold="true"/> ... </fonts>
//     <page size="A4" orientation="portrait" left=".." top=".." right=".." bottom=".."/>
//     <page-header height="mm"> bands </page-header>       every page, at the top
//     <report-header> blocks </report-header>             once, on the first page
//     <detail> [<group>] <column .../> ... </detail>       one row per record
//     <report-footer> bands </report-footer>                once, after the last row
//     <page-footer height="mm"> bands </page-footer>       every page, at the bottom
//   </report>
//
// A band is either a <text> (one box across the whole width) or a <row> of
// <text> boxes side by side, or a <spacer>. A block is a band, a <grid> of
// labelled values or a <chart>. Text may embed a field as [#name#]; the names
// PageNumber and PageCount stand for the page numbers. A <group> gathers
// consecutive records with the same value of a field under a header and a
// footer of blocks, and repeats the table's title row on every page the group
// runs over. All lengths are in millimetres, font sizes in points.
#pragma once

#include <QIODevice>
#include <QString>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/file_error.h"

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
    // In the report footer: the band is printed only when this field of the
    // first record holds a value (-1: always) ...
    int when = -1;
    // ... and once per line of this field's value (-1: once); a field
    // reference in such a band shows the line of the same number of a value
    // of several lines.
    int repeat = -1;
    // In the report footer: this band and every band after it form the
    // report's closing block (notes, signatures, the end mark), which is
    // never split across pages.
    bool keep = false;
    // In the report footer: the band heads the rows repeated per line of
    // this field (a table's title row); it comes again above those rows on
    // each new page they run onto (-1: heads nothing).
    int heads = -1;
};



// Labelled boxes of the report header: `columns` equal slots per row, each a
// label box of `label_width_mm` followed by the value box; a cell may span
// several slots.
struct GridCell {
    QString label;
    int field = -1;  // index into ReportTemplate::fields
    int span = 1;
    QString prefix;  // printed around a value, not around an empty one
    QString suffix;

    QString shown(const QString& value) const { return value.isEmpty() ? value : prefix + value + suffix; }
};

struct HeaderGrid {
    int columns = 2;
    double label_width_mm = 25;
    double row_height_mm = 8;
    int label_font = 0;
    int value_font = 0;
    std::vector<GridCell> cells;
};

// A horizontal line across a chart at the value of a field.
struct ChartLine {
    int field = -1;  // index into ReportTemplate::fields
    QString label;
    quint32 color = 0xC0504D;  // 0xRRGGBB
    bool dashed = false;
};

// A bar chart of the records under it (a group's records, or all records in
// the report header): one bar per record with a number in `bars`, in record
// order, labelled by `labels` (or 1, 2, 3, ...), and a horizontal line for
// every `lines` entry at the value of the first record. The value axis starts
// at 0 and carries `unit` as its title.
//
// With `x` set it is a scatter chart instead: one point per record at the
// values of `x` (across) and `bars` (up), both axes on one scale, and with
// `equality` the line on which both values are equal.
struct ChartDef {
    double height_mm = 40;
    double width_mm = 0;  // 0: the whole width between the margins
    Align align = Align::Left;
    QString title;
    QString unit;
    int font = 0;
    int bars = -1;    // index into ReportTemplate::fields
    int labels = -1;  // index into ReportTemplate::fields, or -1
    quint32 bar_color = 0x4F81BD;
    std::vector<ChartLine> lines;
    int x = -1;  // index into ReportTemplate::fields: a scatter chart
    bool equality = false;
};

// One block of the report header or of a group's header or footer: a band, a
// grid or a chart.
struct HeaderBlock {
    std::optional<Band> band;
    std::optional<HeaderGrid> grid;
    std::optional<ChartDef> chart;
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
    // Where the column appears: the printed table, the text and spreadsheet
    // exports, or both.
    bool printed = true;
    bool exported = true;
};

// Consecutive records with the same value of `field` form a group: the
// header blocks above its rows (values of the group's first record), the
// footer blocks below them, and the continued blocks above the repeated title
// row on each further page the group runs over. With `keep_together` a group
// that does not fit on the rest of a page starts a new page.
struct GroupDef {
    int field = -1;  // index into ReportTemplate::fields
    bool keep_together = false;
    std::vector<HeaderBlock> header;
    std::vector<HeaderBlock> continued;
    std::vector<HeaderBlock> footer;
};

struct DetailTable {
    double title_height_mm = 10;
    double row_height_mm = 7;
    int title_font = 0;
    int font = 0;
    double line_width_mm = 0.25;
    unsigned edges = kAllEdges;  // edges drawn around every title and cell box
    std::vector<Column> columns;
    std::optional<GroupDef> group;
};

struct PageSetup {
    double width_mm = 210;  // as printed, orientation applied
    double height_mm = 297;
    double left_mm = 20, top_mm = 15, right_mm = 15, bottom_mm = 15;
    bool landscape = false;

    double content_width() const { return width_mm - left_mm - right_mm; }
};

// What one record of the report stands for, and so which feed fills it: a
// component (the test report), a test area (the test record sheet) or a
// pair of a strength curve fit (the fit report). A batch report takes the
// ticked components only.
enum class RecordSource { Components, TestAreas, CurvePairs, BatchComponents };

struct ReportTemplate {
    QString title;
    // The language of the printed texts: the values the record feeds print
    // (surfaces, yes and no, units) are taken from its catalogue. "zh_CN" or
    // "en"; a template that names none is Chinese when its title is.
    QString language = QStringLiteral("en");
    RecordSource records = RecordSource::Components;
    std::vector<FieldDef> fields;
    std::vector<FontDef> fonts;  // never empty once read
    PageSetup page;
    double page_header_height_mm = 0;
    std::vector<Band> page_header;
    std::vector<HeaderBlock> report_header;
    DetailTable detail;
    std::vector<Band> report_footer;
    // The last rows of the table that go with the report footer onto a new
    // page when the footer would otherwise start a page of its own.
    int footer_keep_rows = 0;
    double page_footer_height_mm = 0;
    std::vector<Band> page_footer;

    // Position of the field in `fields`, or -1.
    int field_index(const QString& name) const;
};

// Names that text may embed besides the fields.
inline constexpr const char* kPageNumberName = "PageNumber";
inline constexpr const char* kPageCountName = "PageCount";

// Reads a template. On failure the error describes the first fault, its
// message starting with "line L, column C: " where it was found; `file`
// names the template in the error. A file that cannot be opened is a
// CannotOpen error.
Result<ReportTemplate> read_template(QIODevice& in, const std::filesystem::path& file = {});
Result<ReportTemplate> read_template_file(const QString& path);

}  // namespace rebound::report
