// Report template: the bytes are read the way the report commands read
// "report/rebound_report1.grf" and "report/rebound_record1.grf". A template
// that reads refers only to fields and fonts it declares (in its grids,
// groups and charts too) and holds finite lengths, so that the layout can
// index and measure with them; a template that does not read says where.
#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <cstdint>
#include <optional>

#include "fuzz_check.h"
#include "report/report_template.h"

namespace {

using namespace rebound::report;

bool font_ok(const ReportTemplate& t, int font) {
    return font >= 0 && std::size_t(font) < t.fonts.size();
}
bool field_ok(const ReportTemplate& t, int field) {
    return field >= 0 && std::size_t(field) < t.fields.size();
}
bool length_ok(double mm) {
    return std::isfinite(mm) && mm >= 0;
}

void check_bands(const ReportTemplate& t, const std::vector<Band>& bands) {
    for (const Band& band : bands) {
        FUZZ_CHECK(length_ok(band.height_mm));
        for (const TextBox& box : band.boxes) {
            FUZZ_CHECK(font_ok(t, box.font));
            FUZZ_CHECK(std::isfinite(box.share) && box.share >= 0);
        }
    }
}

void check_blocks(const ReportTemplate& t, const std::vector<HeaderBlock>& blocks) {
    for (const HeaderBlock& block : blocks) {
        // Exactly one of band, grid and chart.
        FUZZ_CHECK(block.band.has_value() + block.grid.has_value() + block.chart.has_value() == 1);
        if (block.band) check_bands(t, {*block.band});
        if (block.grid) {
            const HeaderGrid& g = *block.grid;
            FUZZ_CHECK(g.columns >= 1 && font_ok(t, g.label_font) && font_ok(t, g.value_font));
            FUZZ_CHECK(length_ok(g.label_width_mm) && length_ok(g.row_height_mm));
            for (const GridCell& c : g.cells) {
                FUZZ_CHECK(c.field == -1 || field_ok(t, c.field));
                FUZZ_CHECK(c.span >= 1 && c.span <= g.columns);
            }
        }
        if (block.chart) {
            const ChartDef& c = *block.chart;
            FUZZ_CHECK(length_ok(c.height_mm) && c.height_mm > 0 && length_ok(c.width_mm));
            FUZZ_CHECK(font_ok(t, c.font) && field_ok(t, c.bars) &&
                       (c.labels == -1 || field_ok(t, c.labels)));
            FUZZ_CHECK(c.bar_color <= 0xFFFFFF);
            for (const ChartLine& l : c.lines) FUZZ_CHECK(field_ok(t, l.field) && l.color <= 0xFFFFFF);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    const rebound::Result<ReportTemplate> read = read_template(file);
    if (!read) {
        FUZZ_CHECK(!read.error().message.empty());
        FUZZ_CHECK(read.error().kind == rebound::FileError::Kind::Malformed);
        return 0;
    }
    const ReportTemplate& t = *read;
    FUZZ_CHECK(!t.fonts.empty());
    for (const FontDef& f : t.fonts) FUZZ_CHECK(std::isfinite(f.size_pt) && f.size_pt > 0);
    const PageSetup& p = t.page;
    FUZZ_CHECK(length_ok(p.width_mm) && length_ok(p.height_mm) && length_ok(p.left_mm) &&
               length_ok(p.right_mm) && length_ok(p.top_mm) && length_ok(p.bottom_mm));
    FUZZ_CHECK(p.content_width() > 0 && p.height_mm - p.top_mm - p.bottom_mm > 0);
    FUZZ_CHECK(length_ok(t.page_header_height_mm) && length_ok(t.page_footer_height_mm));
    check_bands(t, t.page_header);
    check_bands(t, t.report_footer);
    check_bands(t, t.page_footer);
    check_blocks(t, t.report_header);
    const DetailTable& d = t.detail;
    FUZZ_CHECK(font_ok(t, d.font) && font_ok(t, d.title_font));
    FUZZ_CHECK(length_ok(d.title_height_mm) && d.row_height_mm >= 1 && length_ok(d.line_width_mm));
    for (const Column& c : d.columns) {
        FUZZ_CHECK(field_ok(t, c.field));
        FUZZ_CHECK(length_ok(c.width_mm));
        FUZZ_CHECK(c.printed || c.exported);
    }
    if (d.group) {
        FUZZ_CHECK(field_ok(t, d.group->field));
        check_blocks(t, d.group->header);
        check_blocks(t, d.group->continued);
        check_blocks(t, d.group->footer);
    }
    return 0;
}
