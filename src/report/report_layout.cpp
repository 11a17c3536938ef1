#include "report/report_layout.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace rebound::report {

namespace {

constexpr double kMmPerInch = 25.4;
// Text is measured as if printed at this resolution, close to the printers'
// and the PDF writer's, so that hinting does not change the line breaks.
constexpr int kReferenceDpi = 1200;
constexpr double kPadX = 1.0;  // mm between a box's edge and its text
constexpr double kPadY = 0.6;

const QString& song_family() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* wanted :
             {"AR PL UMing CN", "AR PL UMing TW", "AR PL UMing HK", "AR PL UMing TW MBE"}) {
            if (families.contains(QLatin1String(wanted))) return QString::fromLatin1(wanted);
        }
        for (const QString& f : families) {
            if (f.startsWith(QLatin1String("AR PL UMing"))) return f;
        }
        return QString();
    }();
    return family;
}

class Measurer {
public:
    explicit Measurer(const ReportTemplate& t) : reference_(1, 1, QImage::Format_RGB32) {
        const int dpm = qRound(kReferenceDpi / kMmPerInch * 1000);
        reference_.setDotsPerMeterX(dpm);
        reference_.setDotsPerMeterY(dpm);
        for (const FontDef& f : t.fonts) metrics_.emplace_back(resolve_font(f), &reference_);
    }

    // One line of the font, in mm.
    double line_height(int font) const { return to_mm(metrics_[font].height()); }

    // Height of `text` wrapped into `width_mm`, padding included.
    double box_height(int font, const QString& text, double width_mm) const {
        const QFontMetricsF& fm = metrics_[font];
        const double inner = std::max(1.0, width_mm - 2 * kPadX) / kMmPerInch * kReferenceDpi;
        const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
        const QRectF r = fm.boundingRect(QRectF(0, 0, inner, 1e7), Qt::TextWordWrap | Qt::AlignLeft, shown);
        return to_mm(r.height()) + 2 * kPadY;
    }

private:
    static double to_mm(double px) { return px / kReferenceDpi * kMmPerInch; }

    QImage reference_;
    std::vector<QFontMetricsF> metrics_;
};

// Replaces [#name#] by the header value of the field; page references are
// left for the pass that knows the page count.
QString substitute_fields(const QString& text, const ReportTemplate& t, const ReportData& data) {
    if (!text.contains(QLatin1String("[#"))) return text;
    static const QRegularExpression ref(QStringLiteral("\\[#(.*?)#\\]"));
    QString out;
    qsizetype last = 0;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const int field = t.field_index(m.captured(1));
        out += field >= 0 ? data.header_value(field) : m.captured(0);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

class Paginator {
public:
    Paginator(const ReportTemplate& t, const ReportData& data) : t_(t), data_(data), measure_(t) {
        const PageSetup& p = t.page;
        out_.width_mm = p.width_mm;
        out_.height_mm = p.height_mm;
        out_.line_width_mm = t.detail.line_width_mm;
        scale_columns();
    }

    ReportLayout run() {
        new_page();
        for (const HeaderBlock& block : t_.report_header) {
            if (block.band) place_band(*block.band, BoxRole::Static);
            if (block.grid) place_grid(*block.grid);
        }
        if (!t_.detail.columns.empty()) {
            place_title_row();
            for (std::size_t r = 0; r < data_.records.size(); ++r) place_record(static_cast<int>(r));
        }
        for (const Band& band : t_.report_footer) place_band(band, BoxRole::Static);
        number_pages();
        return std::move(out_);
    }

private:
    double left() const { return t_.page.left_mm; }
    double content_width() const { return t_.page.content_width(); }
    double body_bottom() const { return t_.page.height_mm - t_.page.bottom_mm - footer_height(); }

    double bands_height(const std::vector<Band>& bands) {
        double h = 0;
        for (const Band& b : bands) h += band_height(b);
        return h;
    }
    double header_height() { return std::max(t_.page_header_height_mm, bands_height(t_.page_header)); }
    double footer_height() const { return footer_height_; }

    void scale_columns() {
        double total = 0;
        for (const Column& c : t_.detail.columns) total += c.width_mm;
        for (const Column& c : t_.detail.columns) {
            column_widths_.push_back(total > 0 ? c.width_mm * content_width() / total : 0);
        }
        footer_height_ = std::max(t_.page_footer_height_mm, bands_height(t_.page_footer));
    }

    // Widths of a band's boxes, sharing the content width by their weights.
    std::vector<double> box_widths(const Band& band) const {
        double total = 0;
        for (const TextBox& b : band.boxes) total += b.share;
        std::vector<double> widths;
        for (const TextBox& b : band.boxes) widths.push_back(b.share * content_width() / total);
        return widths;
    }

    double band_height(const Band& band) {
        double needed = 0;
        const std::vector<double> widths = box_widths(band);
        for (std::size_t i = 0; i < band.boxes.size(); ++i) {
            const TextBox& b = band.boxes[i];
            const QString text = substitute_fields(b.text, t_, data_);
            needed = std::max(needed, measure_.box_height(b.font, text, widths[i]));
        }
        return std::max(band.height_mm, needed);
    }

    void new_page() {
        out_.pages.emplace_back();
        page_ = &out_.pages.back();
        double y = t_.page.top_mm;
        for (const Band& band : t_.page_header) y = put_band(band, y, BoxRole::PageHeader);
        y_ = t_.page.top_mm + header_height();
        double fy = t_.page.height_mm - t_.page.bottom_mm - footer_height();
        for (const Band& band : t_.page_footer) fy = put_band(band, fy, BoxRole::PageFooter);
        fresh_ = true;
    }

    // Starts a new page unless `height` still fits on this one. A block taller
    // than a whole page goes on a fresh page and is cut at its foot.
    void make_room(double height) {
        if (y_ + height > body_bottom() + 1e-6 && !fresh_) new_page();
    }

    double put_band(const Band& band, double y, BoxRole role) {
        const double h = band_height(band);
        const std::vector<double> widths = box_widths(band);
        double x = left();
        for (std::size_t i = 0; i < band.boxes.size(); ++i) {
            const TextBox& b = band.boxes[i];
            page_->boxes.push_back(PlacedBox{QRectF(x, y, widths[i], h), substitute_fields(b.text, t_, data_),
                                             b.font, b.align, b.edges, role, -1});
            x += widths[i];
        }
        return y + h;
    }

    void place_band(const Band& band, BoxRole role) {
        make_room(band_height(band));
        y_ = put_band(band, y_, role);
        fresh_ = false;
    }

    void place_grid(const HeaderGrid& grid) {
        const double slot = content_width() / grid.columns;
        // Group the cells into rows first, so that each row gets one height.
        std::vector<std::vector<const GridCell*>> rows(1);
        int used = 0;
        for (const GridCell& cell : grid.cells) {
            if (used + cell.span > grid.columns) {
                rows.emplace_back();
                used = 0;
            }
            rows.back().push_back(&cell);
            used += cell.span;
        }
        for (const auto& row : rows) {
            if (row.empty()) continue;
            double h = grid.row_height_mm;
            for (const GridCell* cell : row) {
                const double value_w = cell->span * slot - grid.label_width_mm;
                h = std::max(h, measure_.box_height(grid.label_font, cell->label, grid.label_width_mm));
                h = std::max(h,
                             measure_.box_height(grid.value_font, data_.header_value(cell->field), value_w));
            }
            make_room(h);
            double x = left();
            for (const GridCell* cell : row) {
                const double value_w = cell->span * slot - grid.label_width_mm;
                page_->boxes.push_back(PlacedBox{QRectF(x, y_, grid.label_width_mm, h), cell->label,
                                                 grid.label_font, Align::Center, kAllEdges,
                                                 BoxRole::HeaderLabel});
                page_->boxes.push_back(PlacedBox{QRectF(x + grid.label_width_mm, y_, value_w, h),
                                                 data_.header_value(cell->field), grid.value_font,
                                                 Align::Left, kAllEdges, BoxRole::HeaderValue});
                x += cell->span * slot;
            }
            y_ += h;
            fresh_ = false;
        }
    }

    double title_row_height() {
        const DetailTable& d = t_.detail;
        double h = d.title_height_mm;
        for (std::size_t i = 0; i < d.columns.size(); ++i) {
            h = std::max(h, measure_.box_height(d.title_font, d.columns[i].title, column_widths_[i]));
        }
        return h;
    }

    void put_title_row() {
        const DetailTable& d = t_.detail;
        const double h = title_row_height();
        double x = left();
        for (std::size_t i = 0; i < d.columns.size(); ++i) {
            page_->boxes.push_back(PlacedBox{QRectF(x, y_, column_widths_[i], h), d.columns[i].title,
                                             d.title_font, Align::Center, d.edges, BoxRole::ColumnTitle});
            x += column_widths_[i];
        }
        y_ += h;
        fresh_ = false;
    }

    void place_title_row() {
        // The title row never stands alone at the foot of a page.
        make_room(title_row_height() + t_.detail.row_height_mm);
        put_title_row();
    }

    void place_record(int r) {
        const DetailTable& d = t_.detail;
        const Record& record = data_.records[r];
        std::vector<QString> texts;
        double h = d.row_height_mm;
        for (std::size_t i = 0; i < d.columns.size(); ++i) {
            const Column& c = d.columns[i];
            const FieldValue& v = record[c.field];
            texts.push_back(v.kind == FieldValue::Kind::Unset ? QString()
                                                              : c.prefix + v.display() + c.suffix);
            h = std::max(h, measure_.box_height(d.font, texts.back(), column_widths_[i]));
        }
        if (y_ + h > body_bottom() + 1e-6) {
            new_page();
            put_title_row();
        }
        double x = left();
        for (std::size_t i = 0; i < d.columns.size(); ++i) {
            page_->boxes.push_back(PlacedBox{QRectF(x, y_, column_widths_[i], h), texts[i], d.font,
                                             d.columns[i].align, d.edges, BoxRole::Cell, r});
            x += column_widths_[i];
        }
        y_ += h;
    }

    void number_pages() {
        const QString count = QString::number(out_.pages.size());
        const QString number_ref = QStringLiteral("[#%1#]").arg(QLatin1String(kPageNumberName));
        const QString count_ref = QStringLiteral("[#%1#]").arg(QLatin1String(kPageCountName));
        for (std::size_t p = 0; p < out_.pages.size(); ++p) {
            for (PlacedBox& b : out_.pages[p].boxes) {
                if (b.role == BoxRole::Cell || b.role == BoxRole::HeaderValue) continue;
                b.text.replace(number_ref, QString::number(p + 1));
                b.text.replace(count_ref, count);
            }
        }
    }

    const ReportTemplate& t_;
    const ReportData& data_;
    Measurer measure_;
    ReportLayout out_;
    LaidOutPage* page_ = nullptr;
    std::vector<double> column_widths_;
    double footer_height_ = 0;
    double y_ = 0;
    bool fresh_ = true;  // nothing but the page header and footer on this page yet
};

int flags_for(Align align) {
    switch (align) {
        case Align::Left:
            return Qt::AlignLeft;
        case Align::Right:
            return Qt::AlignRight;
        case Align::Center:
            break;
    }
    return Qt::AlignHCenter;
}

}  // namespace

QFont resolve_font(const FontDef& def) {
    QString family = def.family;
    if (!QFontDatabase::families().contains(family) && !song_family().isEmpty()) family = song_family();
    QFont font(family);
    font.setPointSizeF(def.size_pt);
    font.setBold(def.bold);
    // Keep the glyphs of the chosen family: a fallback family might map
    // characters to look-alikes when text is extracted from a PDF.
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}

ReportLayout lay_out(const ReportTemplate& t, const ReportData& data) {
    return Paginator(t, data).run();
}

void render_page(QPainter& painter, const QPaintDevice& device, const ReportTemplate& t,
                 const ReportLayout& layout, int page) {
    const double sx = device.logicalDpiX() / kMmPerInch;
    const double sy = device.logicalDpiY() / kMmPerInch;
    std::vector<QFont> fonts;
    for (const FontDef& f : t.fonts) fonts.push_back(resolve_font(f));
    QPen pen(Qt::black);
    pen.setWidthF(std::max(1.0, layout.line_width_mm * sx));
    pen.setCapStyle(Qt::SquareCap);
    painter.save();
    painter.setPen(pen);
    for (const PlacedBox& b : layout.pages[page].boxes) {
        const QRectF r(b.rect_mm.left() * sx, b.rect_mm.top() * sy, b.rect_mm.width() * sx,
                       b.rect_mm.height() * sy);
        if (b.edges & kLeftEdge) painter.drawLine(r.topLeft(), r.bottomLeft());
        if (b.edges & kTopEdge) painter.drawLine(r.topLeft(), r.topRight());
        if (b.edges & kRightEdge) painter.drawLine(r.topRight(), r.bottomRight());
        if (b.edges & kBottomEdge) painter.drawLine(r.bottomLeft(), r.bottomRight());
        if (b.text.isEmpty()) continue;
        painter.setFont(fonts[b.font]);
        const QRectF inner = r.adjusted(kPadX * sx, kPadY * sy, -kPadX * sx, -kPadY * sy);
        painter.drawText(inner, flags_for(b.align) | Qt::AlignVCenter | Qt::TextWordWrap, b.text);
    }
    painter.restore();
}

bool render_pages(QPaintDevice& device, const ReportTemplate& t, const ReportLayout& layout, int first,
                  int last) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    auto* paged = dynamic_cast<QPagedPaintDevice*>(&device);
    for (int p = std::max(0, first); p <= last && p < static_cast<int>(layout.pages.size()); ++p) {
        if (p > std::max(0, first) && paged) paged->newPage();
        render_page(painter, device, t, layout, p);
    }
    return painter.end();
}

QByteArray render_pdf(const ReportTemplate& t, const ReportLayout& layout) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(t.title);
        writer.setCreator(QStringLiteral("rebound report engine"));
        const bool landscape = t.page.landscape;
        const QSizeF portrait(std::min(t.page.width_mm, t.page.height_mm),
                              std::max(t.page.width_mm, t.page.height_mm));
        const QSizeF size = landscape ? portrait : QSizeF(t.page.width_mm, t.page.height_mm);
        writer.setPageLayout(
            QPageLayout(QPageSize(size, QPageSize::Millimeter, QString(), QPageSize::ExactMatch),
                        landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        render_pages(writer, t, layout, 0, static_cast<int>(layout.pages.size()) - 1);
    }
    return bytes;
}

}  // namespace rebound::report
