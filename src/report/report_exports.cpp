#include "report/report_exports.h"

#include <QStringList>

#include "report/report_layout.h"
#include <algorithm>
#include <cmath>

namespace rebound::report {

namespace {

bool is_wide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// A cell's text as the detail table prints it; empty when the record has no value.
QString cell_text(const Column& c, const Record& r) {
    const FieldValue& v = r[c.field];
    return v.kind == FieldValue::Kind::Unset ? QString() : c.prefix + v.display() + c.suffix;
}

QString one_line(QString s) {
    s.replace(QLatin1String("\r\n"), QString());
    s.replace(QLatin1Char('\n'), QString());
    return s;
}

QString pad(const QString& s, int width, Align align) {
    const int missing = std::max(0, width - display_width(s));
    switch (align) {
        case Align::Left:
            return s + QString(missing, QLatin1Char(' '));
        case Align::Right:
            return QString(missing, QLatin1Char(' ')) + s;
        case Align::Center:
            break;
    }
    return QString(missing / 2, QLatin1Char(' ')) + s + QString(missing - missing / 2, QLatin1Char(' '));
}

// The columns of the exports, and the records that have a value in one of
// them: a record with nothing to show gets no row, as in the printed table.
std::vector<Column> exported_columns(const ReportTemplate& t) {
    std::vector<Column> columns;
    for (const Column& c : t.detail.columns) {
        if (c.exported) columns.push_back(c);
    }
    return columns;
}

bool has_row(const std::vector<Column>& columns, const Record& r) {
    for (const Column& c : columns) {
        if (r[c.field].kind != FieldValue::Kind::Unset) return true;
    }
    return false;
}

QString quoted(const QString& literal) {
    if (literal.isEmpty()) return {};
    QString s = literal;
    s.remove(QLatin1Char('"'));
    return QLatin1Char('"') + s + QLatin1Char('"');
}

// The report footer's bands that show figures or print only with them (the
// batch block, the cores table), each as its boxes' texts; fixed texts such
// as the signature lines belong to the pages only.
std::vector<QStringList> footer_rows(const ReportTemplate& t, const ReportData& data) {
    std::vector<QStringList> rows;
    for (const FooterBand& f : footer_bands(t, data)) {
        const bool figures = shows_fields(*f.band, t) || f.band->when >= 0 || f.band->repeat >= 0;
        if (!figures) continue;
        QStringList cells;
        bool any = false;
        for (const TextBox& b : f.band->boxes) {
            cells << one_line(substitute_fields(b.text, t, &f.record)).trimmed();
            any = any || !cells.back().isEmpty();
        }
        if (any) rows.push_back(cells);
    }
    return rows;
}

}  // namespace

int display_width(QStringView text) {
    int width = 0;
    for (char32_t c : text.toUcs4()) width += is_wide(c) ? 2 : 1;
    return width;
}

QByteArray text_report(const ReportTemplate& t, const ReportData& data) {
    QStringList lines;
    if (!t.title.isEmpty()) lines << t.title;
    for (const HeaderBlock& block : t.report_header) {
        if (!block.grid) continue;
        for (const GridCell& cell : block.grid->cells) {
            lines << cell.label + QStringLiteral("：") + one_line(cell.shown(data.header_value(cell.field)));
        }
    }
    const std::vector<Column> columns = exported_columns(t);
    if (!columns.empty()) {
        lines << QString();
        std::vector<int> widths;
        for (const Column& c : columns) widths.push_back(display_width(one_line(c.title)));
        std::vector<QStringList> rows;
        for (const Record& r : data.records) {
            if (!has_row(columns, r)) continue;
            QStringList row;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                row << one_line(cell_text(columns[i], r));
                widths[i] = std::max(widths[i], display_width(row.back()));
            }
            rows.push_back(row);
        }
        auto join = [&](const QStringList& cells, bool titles) {
            QString line;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                if (i > 0) line += QStringLiteral("  ");
                line += pad(cells[i], widths[i], titles ? Align::Center : columns[i].align);
            }
            while (line.endsWith(QLatin1Char(' '))) line.chop(1);
            return line;
        };
        QStringList titles;
        for (const Column& c : columns) titles << one_line(c.title);
        lines << join(titles, true);
        for (const QStringList& row : rows) lines << join(row, false);
    }
    const std::vector<QStringList> footer = footer_rows(t, data);
    if (!footer.empty()) lines << QString();
    for (const QStringList& cells : footer) {
        QString line;
        for (const QString& cell : cells) {
            if (cell.isEmpty()) continue;
            if (!line.isEmpty()) line += QStringLiteral("  ");
            line += cell;
        }
        lines << line;
    }
    QByteArray out("\xEF\xBB\xBF");
    for (const QString& line : lines) out += line.toUtf8() + "\r\n";
    return out;
}

xls::Workbook excel_workbook(const ReportTemplate& t, const ReportData& data) {
    xls::Workbook book;
    book.sheet_name = t.title.isEmpty() ? QStringLiteral("Report") : t.title;
    book.fonts.clear();
    for (const FontDef& f : t.fonts) book.fonts.push_back(xls::Font{f.family, f.size_pt, f.bold});

    const std::vector<Column> columns = exported_columns(t);
    const int width = std::max<int>(2, static_cast<int>(columns.size()));
    book.styles.clear();
    auto style = [&](int font, Align align, bool borders, const QString& format = {}) {
        book.styles.push_back(xls::CellStyle{font, align, true, borders, format});
        return static_cast<int>(book.styles.size()) - 1;
    };
    int title_font = 0;
    for (const HeaderBlock& b : t.report_header) {
        if (b.band && !b.band->boxes.empty()) {
            title_font = b.band->boxes.front().font;
            break;
        }
    }
    const int title_style = style(title_font, Align::Center, false);

    int row = 0;
    auto text_cell = [&](int r, int c, const QString& text, int s) {
        book.cells.push_back(
            xls::Cell{r, c, text.isEmpty() ? xls::Cell::Kind::Blank : xls::Cell::Kind::Text, 0, text, s});
    };
    // A value spread over columns [first, last], merged when wider than one.
    auto spread = [&](int r, int first, int last, const QString& text, int s) {
        text_cell(r, first, text, s);
        for (int c = first + 1; c <= last; ++c)
            book.cells.push_back(xls::Cell{r, c, xls::Cell::Kind::Blank, 0, {}, s});
        if (last > first) book.merges.push_back(xls::Merge{r, r, first, last});
    };
    if (!t.title.isEmpty()) {
        spread(row, 0, width - 1, t.title, title_style);
        book.row_heights[row] = t.fonts[title_font].size_pt * 2;
        ++row;
    }
    for (const HeaderBlock& block : t.report_header) {
        if (!block.grid) continue;
        const HeaderGrid& g = *block.grid;
        const int label_style = style(g.label_font, Align::Center, true);
        const int value_style = style(g.value_font, Align::Left, true);
        // Each slot of the grid takes an equal run of the table's columns: the
        // first for the label, the rest merged for the value. A table too
        // narrow for that gets one header field per row.
        const bool slots_fit = width >= 2 * g.columns;
        const int per_slot = slots_fit ? width / g.columns : 0;
        int used = 0;
        bool row_open = false;
        for (const GridCell& cell : g.cells) {
            int first_slot = used;
            if (!slots_fit || used + cell.span > g.columns || !row_open) {
                if (row_open) ++row;
                first_slot = 0;
                used = 0;
                row_open = true;
            }
            const QString value = cell.shown(data.header_value(cell.field));
            if (slots_fit) {
                const int first = first_slot * per_slot;
                const int last =
                    first_slot + cell.span >= g.columns ? width - 1 : (first_slot + cell.span) * per_slot - 1;
                text_cell(row, first, cell.label, label_style);
                spread(row, first + 1, last, value, value_style);
            } else {
                text_cell(row, 0, cell.label, label_style);
                spread(row, 1, width - 1, value, value_style);
            }
            used = first_slot + cell.span;
        }
        if (row_open) ++row;
    }
    if (!columns.empty()) {
        ++row;  // an empty row between the header block and the table
        const bool lines = t.detail.edges != kNoEdge;
        const int heading_style = style(t.detail.title_font, Align::Center, lines);
        std::vector<int> cell_styles;
        std::vector<bool> numeric;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const Column& c = columns[i];
            const bool integer = t.fields[c.field].type == FieldType::Integer;
            QString format;
            if (integer || !c.number_format.isEmpty()) {
                const QString base = c.number_format.isEmpty() ? QStringLiteral("0") : c.number_format;
                format = quoted(c.prefix) + base + quoted(c.suffix);
                if (integer && format == QLatin1String("0"))
                    format.clear();  // General shows integers as they are
            }
            numeric.push_back(integer || !c.number_format.isEmpty());
            cell_styles.push_back(style(t.detail.font, c.align, lines, format));
            text_cell(row, static_cast<int>(i), one_line(c.title), heading_style);
            book.column_widths.push_back(std::max(4.0, c.width_mm / 1.9));
        }
        book.row_heights[row] = std::max(15.0, t.detail.title_height_mm * 72 / 25.4);
        ++row;
        for (const Record& r : data.records) {
            if (!has_row(columns, r)) continue;
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const Column& c = columns[i];
                const FieldValue& v = r[c.field];
                const int col = static_cast<int>(i);
                if (v.kind == FieldValue::Kind::Integer && numeric[i]) {
                    book.cells.push_back(
                        xls::Cell{row, col, xls::Cell::Kind::Number, double(v.integer), {}, cell_styles[i]});
                    continue;
                }
                if (v.kind == FieldValue::Kind::Text && numeric[i]) {
                    bool ok = false;
                    const double number = v.text.trimmed().toDouble(&ok);
                    if (ok && std::isfinite(number)) {
                        book.cells.push_back(
                            xls::Cell{row, col, xls::Cell::Kind::Number, number, {}, cell_styles[i]});
                        continue;
                    }
                }
                text_cell(row, col, cell_text(c, r), cell_styles[i]);
            }
            ++row;
        }
    } else {
        book.column_widths.assign(static_cast<std::size_t>(width), 16.0);
    }
    const std::vector<QStringList> footer = footer_rows(t, data);
    if (!footer.empty()) {
        ++row;  // an empty row between the table and the footer's figures
        const int footer_style = style(0, Align::Left, false);
        for (const QStringList& cells : footer) {
            int col = 0;
            for (const QString& cell : cells) {
                if (cell.isEmpty()) continue;
                text_cell(row, col++, cell, footer_style);
            }
            ++row;
        }
    }
    return book;
}

}  // namespace rebound::report
