#include "report/report_layout.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QRegularExpression>
#include <QTextLayout>
#include <algorithm>
#include <map>
#include <cmath>
#include <limits>
#include <optional>

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

    // Height of `text` wrapped into `width_mm`, padding included. Tables
    // repeat the same few texts in the same columns thousands of times, so
    // the answers are kept.
    double box_height(int font, const QString& text, double width_mm) {
        Key key{font, qRound64(width_mm * 1000), text};
        const auto found = cache_.constFind(key);
        if (found != cache_.constEnd()) return *found;
        const QFontMetricsF& fm = metrics_[font];
        const double inner = std::max(1.0, width_mm - 2 * kPadX) / kMmPerInch * kReferenceDpi;
        const QString shown = text.isEmpty() ? QStringLiteral(" ") : text;
        const QRectF r = fm.boundingRect(QRectF(0, 0, inner, 1e7), Qt::TextWordWrap | Qt::AlignLeft, shown);
        const double h = to_mm(r.height()) + 2 * kPadY;
        cache_.insert(std::move(key), h);
        return h;
    }

private:
    struct Key {
        int font;
        qint64 width_um;
        QString text;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& k, size_t seed = 0) {
            return qHashMulti(seed, k.font, k.width_um, k.text);
        }
    };

    static double to_mm(double px) { return px / kReferenceDpi * kMmPerInch; }

    QImage reference_;
    std::vector<QFontMetricsF> metrics_;
    QHash<Key, double> cache_;
};

// The value of a field in a record as printed; empty without a record.
QString value_of(const Record* record, int field) {
    if (!record || field < 0 || field >= static_cast<int>(record->size())) return {};
    return (*record)[field].display();
}

// The value of a field as a number, when it is one.
std::optional<double> number_of(const Record& record, int field) {
    if (field < 0 || field >= static_cast<int>(record.size())) return std::nullopt;
    const FieldValue& v = record[field];
    if (v.kind == FieldValue::Kind::Integer) return double(v.integer);
    if (v.kind != FieldValue::Kind::Text) return std::nullopt;
    bool ok = false;
    const double d = v.text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}


// Records [first, last) and the record their header texts come from.
struct RecordRange {
    int first = 0;
    int last = 0;
    const Record* head = nullptr;
    BoxRole band_role = BoxRole::Static;
};

}  // namespace

// Places the template's blocks and the records on pages, a step at a time.
class Paginator {
public:
    Paginator(const ReportTemplate& t, const ReportData& data) : t_(t), data_(data), measure_(t) {
        const PageSetup& p = t.page;
        out_.width_mm = p.width_mm;
        out_.height_mm = p.height_mm;
        out_.line_width_mm = t.detail.line_width_mm;
        scale_columns();
    }

    // Lays out records until about `budget` more have been placed (a group
    // is placed whole); true once the report is complete.
    bool step(int budget) {
        const int n = static_cast<int>(data_.records.size());
        if (stage_ == Stage::Start) {
            // The header shows the first record's values, and a chart in it
            // every record's: it waits for them.
            if (!complete_ && (n == 0 || header_has_chart())) return false;
            new_page();
            for (const HeaderBlock& block : t_.report_header) place_block(block, all_records());
            if (!t_.detail.group && !columns_.empty()) place_title_row(t_.detail.row_height_mm);
            stage_ = Stage::Body;
        }
        if (stage_ == Stage::Body) {
            if (t_.detail.group) {
                while (next_ < n && budget > 0) {
                    const int first = next_;
                    if (!place_next_group()) break;
                    budget -= next_ - first;
                }
            } else if (!columns_.empty()) {
                // The rows that may go with the report footer wait until the
                // last record is known.
                const int limit = complete_ ? n : std::max(next_, n - t_.footer_keep_rows);
                for (; next_ < limit && budget > 0; --budget) place_record(next_++);
            } else {
                next_ = n;
            }
            if (next_ < n || !complete_) return false;
            place_report_footer();
            finish_page(out_.pages.back());
            number_pages();
            stage_ = Stage::Done;
        }
        return true;
    }

    // Whether every record has been fetched; until then the last group may
    // go on in records still to come, and waits for them.
    void set_complete(bool complete) { complete_ = complete; }

    bool done() const { return stage_ == Stage::Done; }
    int records_placed() const { return next_; }
    int finished_pages() const {
        const int pages = static_cast<int>(out_.pages.size());
        return done() ? pages : std::max(0, pages - 1);
    }
    const ReportLayout& layout() const { return out_; }
    ReportLayout take() { return std::move(out_); }

    ReportLayout run() {
        step(std::numeric_limits<int>::max());
        return std::move(out_);
    }

private:
    double left() const { return t_.page.left_mm; }
    double content_width() const { return t_.page.content_width(); }
    double body_bottom() const { return t_.page.height_mm - t_.page.bottom_mm - footer_height(); }

    double bands_height(const std::vector<Band>& bands) {
        double h = 0;
        for (const Band& b : bands) h += band_height(b, header_record());
        return h;
    }
    double header_height() { return std::max(t_.page_header_height_mm, bands_height(t_.page_header)); }
    double footer_height() const { return footer_height_; }
    const Record* header_record() const { return data_.records.empty() ? nullptr : &data_.records.front(); }

    // The printed columns, scaled to fill the content width.
    void scale_columns() {
        double total = 0;
        for (const Column& c : t_.detail.columns) {
            if (c.printed) total += c.width_mm;
        }
        for (const Column& c : t_.detail.columns) {
            if (!c.printed) continue;
            columns_.push_back(&c);
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

    double band_height(const Band& band, const Record* record) {
        double needed = 0;
        const std::vector<double> widths = box_widths(band);
        for (std::size_t i = 0; i < band.boxes.size(); ++i) {
            const TextBox& b = band.boxes[i];
            needed = std::max(needed,
                              measure_.box_height(b.font, substitute_fields(b.text, t_, record), widths[i]));
        }
        return std::max(band.height_mm, needed);
    }

    RecordRange all_records() const {
        return RecordRange{0, static_cast<int>(data_.records.size()),
                           data_.records.empty() ? nullptr : &data_.records.front(), BoxRole::Static};
    }

    // A page is complete once the next one begins: its rules are joined and
    // its number is known; the page count follows when the report is.
    void finish_page(LaidOutPage& page) {
        join_rules(page);
        const QString number_ref = QStringLiteral("[#%1#]").arg(QLatin1String(kPageNumberName));
        const QString number = QString::number(&page - out_.pages.data() + 1);
        for (PlacedBox& b : page.boxes) {
            if (b.role == BoxRole::Cell || b.role == BoxRole::HeaderValue) continue;
            if (b.text.contains(number_ref)) b.text.replace(number_ref, number);
        }
    }

    void new_page() {
        if (!out_.pages.empty()) finish_page(out_.pages.back());
        out_.pages.emplace_back();
        page_ = &out_.pages.back();
        double y = t_.page.top_mm;
        for (const Band& band : t_.page_header)
            y = put_band(band, y, BoxRole::PageHeader, header_record(), -1);
        y_ = t_.page.top_mm + header_height();
        double fy = t_.page.height_mm - t_.page.bottom_mm - footer_height();
        for (const Band& band : t_.page_footer)
            fy = put_band(band, fy, BoxRole::PageFooter, header_record(), -1);
        fresh_ = true;
    }

    // Starts a new page unless `height` still fits on this one. A block taller
    // than a whole page goes on a fresh page and is cut at its foot.
    void make_room(double height) {
        if (y_ + height > body_bottom() + 1e-6 && !fresh_) new_page();
    }

    double put_band(const Band& band, double y, BoxRole role, const Record* record, int record_index) {
        const double h = band_height(band, record);
        const std::vector<double> widths = box_widths(band);
        double x = left();
        for (std::size_t i = 0; i < band.boxes.size(); ++i) {
            const TextBox& b = band.boxes[i];
            page_->boxes.push_back(PlacedBox{QRectF(x, y, widths[i], h),
                                             substitute_fields(b.text, t_, record), b.font, b.align, b.edges,
                                             role, record_index});
            x += widths[i];
        }
        return y + h;
    }

    int head_index(const RecordRange& range) const {
        return range.band_role == BoxRole::GroupText ? range.first : -1;
    }

    void place_band(const Band& band, BoxRole role, const RecordRange& range) {
        make_room(band_height(band, range.head));
        y_ = put_band(band, y_, role, range.head, head_index(range));
        fresh_ = false;
    }

    // The rows of a header grid: its cells grouped so that each row gets one height.
    static std::vector<std::vector<const GridCell*>> grid_rows(const HeaderGrid& grid) {
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
        if (rows.back().empty()) rows.pop_back();
        return rows;
    }

    double grid_row_height(const HeaderGrid& grid, const std::vector<const GridCell*>& row,
                           const Record* record) {
        const double slot = content_width() / grid.columns;
        double h = grid.row_height_mm;
        for (const GridCell* cell : row) {
            const double value_w = cell->span * slot - grid.label_width_mm;
            h = std::max(h, measure_.box_height(grid.label_font, cell->label, grid.label_width_mm));
            h = std::max(
                h, measure_.box_height(grid.value_font, cell->shown(value_of(record, cell->field)), value_w));
        }
        return h;
    }

    void place_grid(const HeaderGrid& grid, const RecordRange& range) {
        const double slot = content_width() / grid.columns;
        for (const auto& row : grid_rows(grid)) {
            const double h = grid_row_height(grid, row, range.head);
            make_room(h);
            double x = left();
            for (const GridCell* cell : row) {
                const double value_w = cell->span * slot - grid.label_width_mm;
                page_->boxes.push_back(PlacedBox{QRectF(x, y_, grid.label_width_mm, h), cell->label,
                                                 grid.label_font, Align::Center, kAllEdges,
                                                 BoxRole::HeaderLabel, head_index(range)});
                page_->boxes.push_back(PlacedBox{QRectF(x + grid.label_width_mm, y_, value_w, h),
                                                 cell->shown(value_of(range.head, cell->field)),
                                                 grid.value_font, Align::Left, kAllEdges,
                                                 BoxRole::HeaderValue, head_index(range)});
                x += cell->span * slot;
            }
            y_ += h;
            fresh_ = false;
        }
    }

    void place_chart(const ChartDef& def, const RecordRange& range) {
        make_room(def.height_mm);
        PlacedChart chart;
        const double width = def.width_mm > 0 ? std::min(def.width_mm, content_width()) : content_width();
        double x = left();
        if (def.align == Align::Center) x += (content_width() - width) / 2;
        if (def.align == Align::Right) x += content_width() - width;
        chart.rect_mm = QRectF(x, y_, width, def.height_mm);
        chart.def = def;
        chart.record = range.first < range.last ? range.first : -1;
        for (int r = range.first; r < range.last; ++r) {
            const Record& record = data_.records[r];
            const std::optional<double> v = number_of(record, def.bars);
            if (!v) continue;
            if (def.x >= 0) {
                if (const std::optional<double> x = number_of(record, def.x)) chart.points.emplace_back(*x, *v);
                continue;
            }
            chart.bars.push_back(*v);
            chart.labels.push_back(def.labels >= 0 ? record[def.labels].display()
                                                   : QString::number(chart.bars.size()));
        }
        if (range.head) {
            for (std::size_t i = 0; i < def.lines.size(); ++i) {
                const std::optional<double> v = number_of(*range.head, def.lines[i].field);
                if (!v) continue;
                chart.lines.push_back(*v);
                chart.line_defs.push_back(static_cast<int>(i));
                chart.line_texts.push_back((*range.head)[def.lines[i].field].display());
            }
        }
        page_->charts.push_back(std::move(chart));
        y_ += def.height_mm;
        fresh_ = false;
    }

    void place_block(const HeaderBlock& block, const RecordRange& range) {
        if (block.band) place_band(*block.band, range.band_role, range);
        if (block.grid) place_grid(*block.grid, range);
        if (block.chart) place_chart(*block.chart, range);
    }

    double block_height(const HeaderBlock& block, const RecordRange& range) {
        double h = 0;
        if (block.band) h += band_height(*block.band, range.head);
        if (block.grid) {
            for (const auto& row : grid_rows(*block.grid)) h += grid_row_height(*block.grid, row, range.head);
        }
        if (block.chart) h += block.chart->height_mm;
        return h;
    }

    double blocks_height(const std::vector<HeaderBlock>& blocks, const RecordRange& range) {
        double h = 0;
        for (const HeaderBlock& b : blocks) h += block_height(b, range);
        return h;
    }

    // The next group: consecutive records with the same value of the group
    // field. False, with nothing placed, when the group reaches the last
    // record fetched so far and more may come.
    bool place_next_group() {
        const GroupDef& g = *t_.detail.group;
        const int n = static_cast<int>(data_.records.size());
        const int first = next_;
        const QString key = value_of(&data_.records[first], g.field);
        int last = first + 1;
        while (last < n && value_of(&data_.records[last], g.field) == key) ++last;
        if (last == n && !complete_) return false;
        place_group(g, RecordRange{first, last, &data_.records[first], BoxRole::GroupText});
        next_ = last;
        return true;
    }

    bool header_has_chart() const {
        return std::any_of(t_.report_header.begin(), t_.report_header.end(),
                           [](const HeaderBlock& b) { return b.chart.has_value(); });
    }

    void place_group(const GroupDef& g, const RecordRange& range) {
        std::vector<int> rows;
        std::vector<double> heights;
        for (int r = range.first; r < range.last; ++r) {
            const double h = row_height(r);
            if (h < 0) continue;  // nothing to print in this record's row
            rows.push_back(r);
            heights.push_back(h);
        }
        const bool table = !columns_.empty();
        const double header_h = blocks_height(g.header, range);
        const double title_h = table ? title_row_height() : 0;
        const double footer_h = blocks_height(g.footer, range);
        double total = header_h + title_h + footer_h;
        for (double h : heights) total += h;
        // A group kept together starts a new page when it does not fit on the
        // rest of this one; one that would not fit on a page of its own runs
        // over pages anyway, so it starts where it is.
        const double page_room = body_bottom() - t_.page.top_mm - header_height();
        // The last group takes the report footer along when both fit on a page.
        double closing = 0;
        if (complete_ && range.last == static_cast<int>(data_.records.size()) && t_.footer_keep_rows > 0) {
            const std::vector<FooterBand> footer = footer_bands(t_, data_);
            closing = bands_height(footer, 0, footer.size());
        }
        if (g.keep_together && total + closing <= page_room + 1e-6) {
            make_room(total + closing);
        } else if (g.keep_together && total <= page_room + 1e-6) {
            make_room(total);
        } else {
            make_room(header_h + title_h + (heights.empty() ? 0 : heights.front()));
        }
        for (const HeaderBlock& block : g.header) place_block(block, range);
        if (table) {
            place_title_row(heights.empty() ? 0 : heights.front());
            group_ = &range;
            for (std::size_t i = 0; i < rows.size(); ++i) place_row(rows[i], heights[i]);
            group_ = nullptr;
        }
        make_room(footer_h);
        for (const HeaderBlock& block : g.footer) place_block(block, range);
    }

    double title_row_height() {
        const DetailTable& d = t_.detail;
        double h = d.title_height_mm;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            h = std::max(h, measure_.box_height(d.title_font, columns_[i]->title, column_widths_[i]));
        }
        return h;
    }

    void put_title_row() {
        const DetailTable& d = t_.detail;
        const double h = title_row_height();
        double x = left();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            page_->boxes.push_back(PlacedBox{QRectF(x, y_, column_widths_[i], h), columns_[i]->title,
                                             d.title_font, Align::Center, d.edges, BoxRole::ColumnTitle});
            x += column_widths_[i];
        }
        y_ += h;
        fresh_ = false;
    }

    void place_title_row(double first_row_height) {
        // The title row never stands alone at the foot of a page.
        make_room(title_row_height() + first_row_height);
        put_title_row();
    }

    // The text of a printed cell; empty when the record has no value.
    static QString cell_text(const Column& c, const Record& record) {
        const FieldValue& v = record[c.field];
        return v.kind == FieldValue::Kind::Unset ? QString() : c.prefix + v.display() + c.suffix;
    }

    // Height of a record's row, or -1 when none of the printed columns has a
    // value: such a record (a component without test areas, say) still opens
    // its group but prints no empty row.
    double row_height(int r) {
        const DetailTable& d = t_.detail;
        const Record& record = data_.records[r];
        double h = d.row_height_mm;
        bool any = false;
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            if (record[columns_[i]->field].kind == FieldValue::Kind::Unset) continue;
            any = true;
            h = std::max(h, measure_.box_height(d.font, cell_text(*columns_[i], record), column_widths_[i]));
        }
        return any ? h : -1;
    }

    // The report footer after the table. Its closing block stays in one
    // piece, and a band that heads repeated rows comes again above them on
    // each page they run onto, never alone at the foot of a page.
    void place_report_footer() {
        const RecordRange all = all_records();
        const std::vector<FooterBand> footer = footer_bands(t_, data_);
        std::map<int, const FooterBand*> headings;  // by the field whose rows they head
        bool closing = false;
        for (std::size_t i = 0; i < footer.size(); ++i) {
            const FooterBand& f = footer[i];
            const Band& band = *f.band;
            const double h = band_height(band, &f.record);
            if (band.keep && !closing) {
                closing = true;
                make_room(bands_height(footer, i, footer.size()));
            }
            if (band.heads >= 0) {
                headings[band.heads] = &f;
                make_room(bands_height(footer, i, std::min(i + 2, footer.size())));
            } else if (const auto head = headings.find(band.repeat);
                       head != headings.end() && !fresh_ && y_ + h > body_bottom() + 1e-6) {
                new_page();
                place_band(*head->second->band, BoxRole::Static,
                           RecordRange{all.first, all.last, &head->second->record, BoxRole::Static});
            }
            place_band(band, BoxRole::Static, RecordRange{all.first, all.last, &f.record, BoxRole::Static});
        }
    }

    double bands_height(const std::vector<FooterBand>& bands, std::size_t from, std::size_t to) {
        double h = 0;
        for (std::size_t i = from; i < to; ++i) h += band_height(*bands[i].band, &bands[i].record);
        return h;
    }

    // The first of the last rows that go with the report footer (-1: none).
    int kept_rows_start() {
        if (kept_from_ == -2) {
            kept_from_ = -1;
            int wanted = t_.footer_keep_rows;
            for (int r = static_cast<int>(data_.records.size()) - 1; r >= 0 && wanted > 0; --r) {
                if (row_height(r) < 0) continue;
                kept_from_ = r;
                --wanted;
            }
        }
        return kept_from_;
    }

    // Whether the table's last rows must begin a new page so that the report
    // footer does not stand on a page alone: when the rows, the last group's
    // footer and the report footer do not fit on the rest of this page but
    // do on a fresh one.
    bool keep_rows_with_footer(int r) {
        if (fresh_ || !complete_ || r != kept_rows_start()) return false;
        double tail = 0;
        for (int i = r; i < static_cast<int>(data_.records.size()); ++i) tail += std::max(0.0, row_height(i));
        if (group_ != nullptr) tail += blocks_height(t_.detail.group->footer, *group_);
        const std::vector<FooterBand> footer = footer_bands(t_, data_);
        tail += bands_height(footer, 0, footer.size());
        if (y_ + tail <= body_bottom() + 1e-6) return false;
        double room = body_bottom() - t_.page.top_mm - header_height() - title_row_height();
        if (group_ != nullptr) room -= blocks_height(t_.detail.group->continued, *group_);
        return tail <= room + 1e-6;
    }

    void place_record(int r) {
        const double h = row_height(r);
        if (h >= 0) place_row(r, h);
    }

    void place_row(int r, double h) {
        const DetailTable& d = t_.detail;
        const Record& record = data_.records[r];
        if (y_ + h > body_bottom() + 1e-6 || keep_rows_with_footer(r)) {
            new_page();
            if (group_) {
                for (const HeaderBlock& block : t_.detail.group->continued) place_block(block, *group_);
            }
            put_title_row();
        }
        double x = left();
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            page_->boxes.push_back(PlacedBox{QRectF(x, y_, column_widths_[i], h),
                                             cell_text(*columns_[i], record), d.font, columns_[i]->align,
                                             d.edges, BoxRole::Cell, r});
            x += column_widths_[i];
        }
        y_ += h;
    }

    void number_pages() {
        const QString count = QString::number(out_.pages.size());
        const QString count_ref = QStringLiteral("[#%1#]").arg(QLatin1String(kPageCountName));
        for (LaidOutPage& page : out_.pages) {
            for (PlacedBox& b : page.boxes) {
                if (b.role == BoxRole::Cell || b.role == BoxRole::HeaderValue) continue;
                if (b.text.contains(count_ref)) b.text.replace(count_ref, count);
            }
        }
    }

    // The edges of the page's boxes as rules: neighbouring boxes share their
    // edges, and a table's lines become one rule per row boundary and per
    // column boundary instead of four strokes per cell.
    static void join_rules(LaidOutPage& page) {
        // (position across, start, end) in micrometres, so that equal
        // positions compare equal.
        struct Segment {
            qint64 at, from, to;
            bool operator<(const Segment& o) const { return at != o.at ? at < o.at : from < o.from; }
        };
        std::vector<Segment> horizontal, vertical;
        auto um = [](double mm) { return qRound64(mm * 1000); };
        for (const PlacedBox& b : page.boxes) {
            const QRectF& r = b.rect_mm;
            if (b.edges & kTopEdge) horizontal.push_back({um(r.top()), um(r.left()), um(r.right())});
            if (b.edges & kBottomEdge) horizontal.push_back({um(r.bottom()), um(r.left()), um(r.right())});
            if (b.edges & kLeftEdge) vertical.push_back({um(r.left()), um(r.top()), um(r.bottom())});
            if (b.edges & kRightEdge) vertical.push_back({um(r.right()), um(r.top()), um(r.bottom())});
        }
        constexpr qint64 kTouch = 2;  // micrometres: rounding of the positions
        auto join = [&](std::vector<Segment>& segments, bool across_is_y) {
            std::sort(segments.begin(), segments.end());
            for (std::size_t i = 0; i < segments.size();) {
                Segment run = segments[i++];
                while (i < segments.size() && segments[i].at == run.at &&
                       segments[i].from <= run.to + kTouch) {
                    run.to = std::max(run.to, segments[i].to);
                    ++i;
                }
                const double at = run.at / 1000.0, from = run.from / 1000.0, to = run.to / 1000.0;
                page.rules.push_back(across_is_y ? Rule{QPointF(from, at), QPointF(to, at)}
                                                 : Rule{QPointF(at, from), QPointF(at, to)});
            }
        };
        join(horizontal, true);
        join(vertical, false);
    }

    const ReportTemplate& t_;
    const ReportData& data_;
    Measurer measure_;
    ReportLayout out_;
    LaidOutPage* page_ = nullptr;
    std::vector<const Column*> columns_;  // the printed columns
    std::vector<double> column_widths_;
    double footer_height_ = 0;
    double y_ = 0;
    bool fresh_ = true;  // nothing but the page header and footer on this page yet
    const RecordRange* group_ = nullptr;  // the group whose rows are being placed
    int kept_from_ = -2;  // kept_rows_start(), once known
    enum class Stage { Start, Body, Done };
    Stage stage_ = Stage::Start;
    int next_ = 0;  // the next record to place
    bool complete_ = true;
};

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

QString substitute_fields(const QString& text, const ReportTemplate& t, const Record* record) {
    if (!text.contains(QLatin1String("[#"))) return text;
    static const QRegularExpression ref(QStringLiteral("\\[#(.*?)#\\]"));
    QString out;
    qsizetype last = 0;
    for (auto it = ref.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).mid(last, m.capturedStart() - last);
        const int field = t.field_index(m.captured(1));
        out += field >= 0 ? value_of(record, field) : m.captured(0);
        last = m.capturedEnd();
    }
    out += QStringView(text).mid(last);
    return out;
}

std::vector<FooterBand> footer_bands(const ReportTemplate& t, const ReportData& data) {
    std::vector<FooterBand> out;
    const Record empty(t.fields.size());
    const Record& head = data.records.empty() ? empty : data.records.front();
    for (const Band& band : t.report_footer) {
        if (band.when >= 0 && value_of(&head, band.when).isEmpty()) continue;
        if (band.repeat < 0) {
            out.push_back(FooterBand{&band, head});
            continue;
        }
        if (value_of(&head, band.repeat).isEmpty()) continue;
        const qsizetype lines = value_of(&head, band.repeat).count(QLatin1Char('\n')) + 1;
        // Every text of several lines is split once, so that a table of
        // thousands of lines costs its lines, not their square.
        std::vector<std::pair<std::size_t, QStringList>> split;
        for (std::size_t f = 0; f < head.size(); ++f) {
            const FieldValue& v = head[f];
            if (v.kind == FieldValue::Kind::Text && v.text.contains(QLatin1Char('\n'))) {
                split.emplace_back(f, v.text.split(QLatin1Char('\n')));
            }
        }
        for (qsizetype i = 0; i < lines; ++i) {
            Record record = head;
            for (const auto& [f, parts] : split) record[f].text = i < parts.size() ? parts[i] : QString();
            out.push_back(FooterBand{&band, std::move(record)});
        }
    }
    return out;
}

bool shows_fields(const Band& band, const ReportTemplate& t) {
    static const QRegularExpression ref(QStringLiteral("\\[#(.*?)#\\]"));
    for (const TextBox& b : band.boxes) {
        for (auto it = ref.globalMatch(b.text); it.hasNext();) {
            if (t.field_index(it.next().captured(1)) >= 0) return true;
        }
    }
    return false;
}

ReportLayout lay_out(const ReportTemplate& t, const ReportData& data) {
    return Paginator(t, data).run();
}

LayoutJob::LayoutJob(const ReportTemplate& t, const ReportData& data, bool complete)
    : paginator_(std::make_unique<Paginator>(t, data)) {
    paginator_->set_complete(complete);
}

void LayoutJob::set_complete(bool complete) {
    paginator_->set_complete(complete);
}

LayoutJob::~LayoutJob() = default;

bool LayoutJob::step(int records) {
    return paginator_->step(std::max(1, records));
}

bool LayoutJob::done() const {
    return paginator_->done();
}

int LayoutJob::records_placed() const {
    return paginator_->records_placed();
}

int LayoutJob::finished_pages() const {
    return paginator_->finished_pages();
}

const ReportLayout& LayoutJob::layout() const {
    return paginator_->layout();
}

ReportLayout LayoutJob::take() {
    return paginator_->take();
}

ChartScale chart_scale(double low, double high) {
    low = std::min(0.0, low);
    high = std::max(0.0, high);
    if (!(high - low > 0)) high = low + 10;
    const double rough = (high - low) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    double step = 10 * magnitude;
    for (double f : {1.0, 2.0, 2.5, 5.0}) {
        if (f * magnitude >= rough) {
            step = f * magnitude;
            break;
        }
    }
    return ChartScale{std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

namespace {

QColor rgb(quint32 value) {
    return QColor::fromRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

// A tick label: no more decimals than the step needs.
QString tick_text(double value, double step) {
    int decimals = 0;
    for (double s = step; decimals < 3 && std::fabs(s - std::round(s)) > 1e-9 * std::max(1.0, s); s *= 10) {
        ++decimals;
    }
    return QString::number(value, 'f', decimals);
}

}  // namespace

namespace {

// Draws laid-out pages on one device. Texts on one line, which are nearly
// all the texts of a table, are shaped once per font and text for the
// device and collected per page into one glyph run per font: a page of a
// long table then costs a few text operations instead of one per cell, in
// the PDF and on a printer alike. Texts that wrap go through the painter's
// own text layout.
class PageRenderer {
public:
    PageRenderer(QPainter& painter, const QPaintDevice& device, const ReportTemplate& t,
                 const ReportLayout& layout)
        : painter_(painter),
          device_(device),
          layout_(layout),
          sx_(device.logicalDpiX() / kMmPerInch),
          sy_(device.logicalDpiY() / kMmPerInch) {
        for (const FontDef& f : t.fonts) fonts_.push_back(resolve_font(f));
    }

    void draw(int page) {
        const LaidOutPage& laid_out = layout_.pages[page];
        QPen pen(Qt::black);
        pen.setWidthF(std::max(1.0, layout_.line_width_mm * sx_));
        pen.setCapStyle(Qt::SquareCap);
        painter_.save();
        painter_.setPen(pen);
        for (const Rule& rule : laid_out.rules)
            painter_.drawLine(to_device(rule.from_mm), to_device(rule.to_mm));
        batches_.clear();
        for (const PlacedBox& b : laid_out.boxes) {
            if (!b.text.isEmpty()) draw_text(b);
        }
        for (const PlacedChart& c : laid_out.charts) {
            draw_chart(QRectF(to_device(c.rect_mm.topLeft()), to_device(c.rect_mm.bottomRight())), c);
        }
        painter_.setPen(Qt::black);
        for (Batch& batch : batches_) {
            QGlyphRun run;
            run.setRawFont(batch.font);
            run.setGlyphIndexes(batch.glyphs);
            run.setPositions(batch.positions);
            painter_.drawGlyphRun(QPointF(0, 0), run);
        }
        painter_.restore();
    }

private:
    // A text wrapped into a width and shaped for the device: its glyph
    // runs, positioned relative to the top-left corner of the text's block
    // with each line aligned in the width.
    struct Shaped {
        QList<QGlyphRun> runs;
        double width = 0;  // of the longest line
        double height = 0;
    };

    struct Key {
        int font;
        Align align;
        qint64 width;  // device units x 1000
        QString text;
        bool operator==(const Key&) const = default;
        friend size_t qHash(const Key& k, size_t seed = 0) {
            return qHashMulti(seed, k.font, static_cast<int>(k.align), k.width, k.text);
        }
    };

    struct Batch {
        QRawFont font;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };

    QPointF to_device(QPointF mm) const { return QPointF(mm.x() * sx_, mm.y() * sy_); }

    const Shaped& shaped(int font, Align align, double width, const QString& text) {
        Key key{font, align, qRound64(width * 1000), text};
        auto found = shaped_.find(key);
        if (found != shaped_.end()) return *found;
        Shaped s;
        // Line breaks in the text are the layout's line separators; lines wrap
        // as the layout measured them.
        QString lines = text;
        lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
        QTextLayout block(lines, fonts_[font], &device_);
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        block.setTextOption(option);
        block.beginLayout();
        for (QTextLine line = block.createLine(); line.isValid(); line = block.createLine()) {
            line.setLineWidth(width);
            double x = 0;
            if (align == Align::Right) x = width - line.naturalTextWidth();
            if (align == Align::Center) x = (width - line.naturalTextWidth()) / 2;
            line.setPosition(QPointF(x, s.height));
            s.width = std::max(s.width, line.naturalTextWidth());
            s.height += line.height();
        }
        block.endLayout();
        s.runs = block.glyphRuns();
        return *shaped_.insert(std::move(key), std::move(s));
    }

    void draw_text(const PlacedBox& b) {
        put_text(b.font, b.align,
                 QRectF(to_device(b.rect_mm.topLeft() + QPointF(kPadX, kPadY)),
                        to_device(b.rect_mm.bottomRight() - QPointF(kPadX, kPadY))),
                 b.text);
    }

    // Puts `text` into `r`, aligned across and centred vertically (a text
    // taller than its box starts at the top).
    void put_text(int font, Align align, const QRectF& r, const QString& text) {
        const Shaped& s = shaped(font, align, std::max(1.0, r.width()), text);
        const QPointF origin(r.left(), r.top() + std::max(0.0, (r.height() - s.height) / 2));
        for (const QGlyphRun& run : s.runs) add(run, origin);
    }

    // Width of a text on one line.
    double text_width(int font, const QString& text) { return shaped(font, Align::Left, 1e9, text).width; }

    // What both kinds of chart are drawn with: the chart's font (the first
    // one when the template names none it has), the height of a line of it,
    // the padding around the parts and the width of thin lines.
    struct ChartMeasures {
        int font;
        double line;
        double pad;
        double thin;
    };
    ChartMeasures chart_measures(const ChartDef& def) {
        const int font = def.font >= 0 && def.font < static_cast<int>(fonts_.size()) ? def.font : 0;
        return {font, shaped(font, Align::Left, 1e9, QStringLiteral("0")).height, 1.2 * sx_,
                std::max(1.0, 0.2 * sx_)};
    }

    // Draws a chart into `r` (device units): the unit, the title and the
    // legend of the lines above the plot, the value axis with its ticks on
    // the left, the bar labels below, the bars, then the lines over them.
    void draw_chart(const QRectF& r, const PlacedChart& chart) {
        if (chart.def.x >= 0) {
            draw_scatter(r, chart);
            return;
        }
        const ChartDef& def = chart.def;
        const auto [font, line, pad, thin] = chart_measures(def);

        double low = 0, high = 0;
        for (const std::vector<double>* values : {&chart.bars, &chart.lines}) {
            for (double v : *values) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
        const ChartScale scale = chart_scale(low, high);
        const int ticks = static_cast<int>(std::lround((scale.max - scale.min) / scale.step));
        double label_width = text_width(font, def.unit);
        for (int i = 0; i <= ticks; ++i) {
            label_width =
                std::max(label_width, text_width(font, tick_text(scale.min + i * scale.step, scale.step)));
        }
        const bool top_strip = !def.title.isEmpty() || !def.unit.isEmpty() || !chart.lines.empty();
        QRectF plot;
        plot.setLeft(r.left() + pad + label_width + pad);
        plot.setTop(r.top() + pad + (top_strip ? line + pad : line / 2));
        plot.setRight(r.right() - pad);
        plot.setBottom(r.bottom() - pad - line - pad / 2);
        if (plot.width() <= 0 || plot.height() <= 0) return;
        auto y_of = [&](double v) {
            return plot.bottom() - (v - scale.min) / (scale.max - scale.min) * plot.height();
        };
        painter_.save();

        // The unit over the tick labels, the title beside it, the legend at the right.
        const double strip_top = r.top() + pad;
        put_text(font, Align::Right, QRectF(r.left() + pad, strip_top, label_width, line), def.unit);
        put_text(font, Align::Left, QRectF(plot.left() + pad, strip_top, plot.width() / 2, line), def.title);
        double legend_x = r.right() - pad;
        for (int i = static_cast<int>(chart.lines.size()) - 1; i >= 0; --i) {
            const ChartLine& l = def.lines[chart.line_defs[i]];
            const QString text =
                l.label.isEmpty() ? chart.line_texts[i] : l.label + QLatin1Char(' ') + chart.line_texts[i];
            const double w = text_width(font, text);
            legend_x -= w;
            put_text(font, Align::Left, QRectF(legend_x, strip_top, w + 1, line), text);
            legend_x -= pad + 6 * sx_;
            painter_.setPen(line_pen(l));
            const double y = strip_top + line / 2;
            painter_.drawLine(QPointF(legend_x, y), QPointF(legend_x + 6 * sx_, y));
            legend_x -= 3 * pad;
        }

        // Grid lines and tick labels.
        for (int i = 0; i <= ticks; ++i) {
            const double v = scale.min + i * scale.step;
            const double y = y_of(v);
            if (i > 0) {
                painter_.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), thin));
                painter_.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
            }
            painter_.setPen(QPen(Qt::black, thin));
            painter_.drawLine(QPointF(plot.left() - pad / 2, y), QPointF(plot.left(), y));
            put_text(font, Align::Right, QRectF(r.left() + pad, y - line / 2, label_width, line),
                     tick_text(v, scale.step));
        }

        // Bars, and below them their labels, thinned out when they would touch.
        const int n = static_cast<int>(chart.bars.size());
        if (n > 0) {
            const double slot = plot.width() / n;
            const double bar = std::min(slot * 0.6, 8 * sx_);
            double widest = 0;
            for (const QString& l : chart.labels) widest = std::max(widest, text_width(font, l));
            const int every = std::max(1, static_cast<int>(std::ceil((widest + pad) / slot)));
            const QColor fill = rgb(def.bar_color);
            painter_.setPen(QPen(fill.darker(140), thin));
            painter_.setBrush(fill);
            const double zero = y_of(0);
            for (int i = 0; i < n; ++i) {
                const double cx = plot.left() + slot * (i + 0.5);
                const double y = y_of(chart.bars[i]);
                painter_.drawRect(QRectF(QPointF(cx - bar / 2, std::min(y, zero)),
                                         QPointF(cx + bar / 2, std::max(y, zero))));
            }
            painter_.setBrush(Qt::NoBrush);
            for (int i = 0; i < n; i += every) {
                const double cx = plot.left() + slot * (i + 0.5);
                put_text(font, Align::Center,
                         QRectF(cx - slot * every / 2, plot.bottom() + pad / 2, slot * every, line),
                         chart.labels[i]);
            }
        }

        // The lines over the bars.
        for (std::size_t i = 0; i < chart.lines.size(); ++i) {
            painter_.setPen(line_pen(def.lines[chart.line_defs[i]]));
            const double y = y_of(chart.lines[i]);
            painter_.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }

        // The axes.
        painter_.setPen(QPen(Qt::black, std::max(1.0, 0.25 * sx_)));
        painter_.drawLine(plot.bottomLeft(), plot.topLeft());
        painter_.drawLine(QPointF(plot.left(), y_of(0)), QPointF(plot.right(), y_of(0)));
        painter_.restore();
    }

    // Draws a scatter chart into `r` (device units): both axes on one scale
    // with their ticks, the points as small circles, and the line of
    // equality from corner to corner of the common range.
    void draw_scatter(const QRectF& r, const PlacedChart& chart) {
        const ChartDef& def = chart.def;
        const auto [font, line, pad, thin] = chart_measures(def);

        double low = 0, high = 0;
        bool first = true;
        for (const QPointF& p : chart.points) {
            for (const double v : {p.x(), p.y()}) {
                low = first ? v : std::min(low, v);
                high = first ? v : std::max(high, v);
                first = false;
            }
        }
        // The common scale, without forcing 0 in: strengths of concrete
        // start well above it.
        ChartScale scale = chart_scale(0, high - low);
        scale.min = std::floor(low / scale.step) * scale.step;
        scale.max = std::max(scale.min + scale.step, std::ceil(high / scale.step) * scale.step);
        const int ticks = static_cast<int>(std::lround((scale.max - scale.min) / scale.step));
        double label_width = text_width(font, def.unit);
        for (int i = 0; i <= ticks; ++i) {
            label_width =
                std::max(label_width, text_width(font, tick_text(scale.min + i * scale.step, scale.step)));
        }
        // A square plot, so that the line of equality runs at 45 degrees.
        const double side = std::min(r.width() - 3 * pad - label_width, r.height() - 3 * pad - 2 * line);
        if (side <= 0) return;
        QRectF plot(r.left() + (r.width() - side) / 2 + label_width / 2, r.top() + pad + line + pad, side, side);
        auto x_of = [&](double v) { return plot.left() + (v - scale.min) / (scale.max - scale.min) * plot.width(); };
        auto y_of = [&](double v) {
            return plot.bottom() - (v - scale.min) / (scale.max - scale.min) * plot.height();
        };
        painter_.save();
        const double strip_top = r.top() + pad;
        put_text(font, Align::Right, QRectF(plot.left() - pad - label_width, strip_top, label_width, line), def.unit);
        put_text(font, Align::Left, QRectF(plot.left() + pad, strip_top, plot.width(), line), def.title);
        for (int i = 0; i <= ticks; ++i) {
            const double v = scale.min + i * scale.step;
            painter_.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), thin));
            if (i > 0) {
                painter_.drawLine(QPointF(plot.left(), y_of(v)), QPointF(plot.right(), y_of(v)));
                painter_.drawLine(QPointF(x_of(v), plot.top()), QPointF(x_of(v), plot.bottom()));
            }
            painter_.setPen(QPen(Qt::black, thin));
            painter_.drawLine(QPointF(plot.left() - pad / 2, y_of(v)), QPointF(plot.left(), y_of(v)));
            painter_.drawLine(QPointF(x_of(v), plot.bottom()), QPointF(x_of(v), plot.bottom() + pad / 2));
            const QString text = tick_text(v, scale.step);
            put_text(font, Align::Right, QRectF(plot.left() - pad - label_width, y_of(v) - line / 2, label_width, line),
                     text);
            const double w = text_width(font, text) + pad;
            put_text(font, Align::Center, QRectF(x_of(v) - w / 2, plot.bottom() + pad / 2, w, line), text);
        }
        if (def.equality) {
            ChartLine equality;
            equality.color = 0xC0504D;
            painter_.setPen(line_pen(equality));
            painter_.drawLine(QPointF(x_of(scale.min), y_of(scale.min)), QPointF(x_of(scale.max), y_of(scale.max)));
        }
        const QColor fill = rgb(def.bar_color);
        painter_.setPen(QPen(fill.darker(140), thin));
        painter_.setBrush(fill);
        const double dot = 0.8 * sx_;
        for (const QPointF& p : chart.points) painter_.drawEllipse(QPointF(x_of(p.x()), y_of(p.y())), dot, dot);
        painter_.setBrush(Qt::NoBrush);
        painter_.setPen(QPen(Qt::black, std::max(1.0, 0.25 * sx_)));
        painter_.drawRect(plot);
        painter_.restore();
    }

    QPen line_pen(const ChartLine& l) const {
        return QPen(rgb(l.color), std::max(1.0, 0.4 * sx_), l.dashed ? Qt::DashLine : Qt::SolidLine);
    }

    // Glyph positions are kept to whole device units: on a printer or PDF
    // that is a few hundredths of a millimetre, and the PDF's text
    // operators stay short.
    void add(const QGlyphRun& run, QPointF origin) {
        const QRawFont font = run.rawFont();
        auto batch =
            std::find_if(batches_.begin(), batches_.end(), [&](const Batch& b) { return b.font == font; });
        if (batch == batches_.end()) batch = batches_.insert(batches_.end(), Batch{font, {}, {}});
        batch->glyphs += run.glyphIndexes();
        for (const QPointF& p : run.positions()) {
            batch->positions.push_back(
                QPointF(std::round(p.x() + origin.x()), std::round(p.y() + origin.y())));
        }
    }

    QPainter& painter_;
    const QPaintDevice& device_;
    const ReportLayout& layout_;
    const double sx_;
    const double sy_;
    std::vector<QFont> fonts_;
    QHash<Key, Shaped> shaped_;
    std::vector<Batch> batches_;
};

}  // namespace

void render_page(QPainter& painter, const QPaintDevice& device, const ReportTemplate& t,
                 const ReportLayout& layout, int page) {
    PageRenderer(painter, device, t, layout).draw(page);
}

bool render_pages(QPaintDevice& device, const ReportTemplate& t, const ReportLayout& layout, int first,
                  int last, const PageProgress& progress) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    PageRenderer renderer(painter, device, t, layout);
    auto* paged = dynamic_cast<QPagedPaintDevice*>(&device);
    bool stopped = false;
    for (int p = std::max(0, first); p <= last && p < static_cast<int>(layout.pages.size()); ++p) {
        if (p > std::max(0, first) && paged) paged->newPage();
        renderer.draw(p);
        if (progress && !progress(p - std::max(0, first) + 1)) {
            stopped = true;
            break;
        }
    }
    return painter.end() && !stopped;
}

QByteArray render_pdf(const ReportTemplate& t, const ReportLayout& layout, const PageProgress& progress) {
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
        if (!render_pages(writer, t, layout, 0, static_cast<int>(layout.pages.size()) - 1, progress) && progress) {
            return {};
        }
    }
    return bytes;
}

}  // namespace rebound::report
