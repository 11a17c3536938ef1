#include "report/report_template.h"

#include "platform/qt_bridge.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QXmlStreamReader>
#include <algorithm>
#include <cmath>

namespace rebound::report {

int ReportTemplate::field_index(const QString& name) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

namespace {

// Thrown inside the reader and turned into a FileError at the top.
struct ReadFailure {
    QString message;
    qint64 line;
    qint64 column;
};

struct PaperSize {
    const char* name;
    double width_mm;
    double height_mm;
};
constexpr PaperSize kPaperSizes[] = {
    {"A3", 297, 420}, {"A4", 210, 297}, {"A5", 148, 210}, {"B5", 176, 250}, {"Letter", 215.9, 279.4},
};

// Limits that keep a hand-edited template from producing absurd pages.
constexpr double kMaxPageMm = 2000;
constexpr double kMaxFontPt = 200;

class Reader {
public:
    explicit Reader(QIODevice& in) : xml_(&in) {}

    ReportTemplate read() {
        if (!next_start()) fail(QStringLiteral("the file holds no <report> element"));
        if (xml_.name() != QLatin1String("report")) {
            fail(QStringLiteral("the root element must be <report>, not <%1>").arg(xml_.name()));
        }
        allow({"title", "version", "records", "language"});
        t_.title = xml_.attributes().value(QLatin1String("title")).toString();
        t_.language = xml_.attributes().value(QLatin1String("language")).toString();
        if (t_.language.isEmpty()) {
            // A template written before it could name its language: Chinese
            // when its title is.
            const bool han = std::any_of(t_.title.cbegin(), t_.title.cend(), [](QChar c) {
                return c.script() == QChar::Script_Han;
            });
            t_.language = han ? QStringLiteral("zh_CN") : QStringLiteral("en");
        }
        const QString records = xml_.attributes().value(QLatin1String("records")).toString();
        if (records == QLatin1String("test-areas")) {
            t_.records = RecordSource::TestAreas;
        } else if (records == QLatin1String("curve-pairs")) {
            t_.records = RecordSource::CurvePairs;
        } else if (records == QLatin1String("batch-components")) {
            t_.records = RecordSource::BatchComponents;
        } else if (!records.isEmpty() && records != QLatin1String("components")) {
            fail(QStringLiteral("records must be components, test-areas, batch-components or curve-pairs, not \"%1\"")
                     .arg(records));
        }
        t_.fonts.push_back(FontDef{QStringLiteral("default"), QStringLiteral("宋体"), 10.5, false});
        bool have_fields = false;
        while (next_child()) {
            const QStringView name = xml_.name();
            if (name == QLatin1String("fields")) {
                read_fields();
                have_fields = true;
            } else if (name == QLatin1String("fonts")) {
                need_fields(have_fields);
                read_fonts();
            } else if (name == QLatin1String("page")) {
                read_page();
            } else if (name == QLatin1String("page-header")) {
                need_fields(have_fields);
                t_.page_header_height_mm = length_attr("height", 0);
                allow({"height"});
                t_.page_header = read_bands();
            } else if (name == QLatin1String("page-footer")) {
                need_fields(have_fields);
                t_.page_footer_height_mm = length_attr("height", 0);
                allow({"height"});
                t_.page_footer = read_bands();
            } else if (name == QLatin1String("report-header")) {
                need_fields(have_fields);
                allow({});
                t_.report_header = read_blocks();
            } else if (name == QLatin1String("detail")) {
                need_fields(have_fields);
                read_detail();
            } else if (name == QLatin1String("report-footer")) {
                need_fields(have_fields);
                allow({"keep-rows"});
                t_.footer_keep_rows = static_cast<int>(number_attr("keep-rows", 0, 0, 1000));
                t_.report_footer = read_bands(true);
            } else {
                unknown();
            }
        }
        if (!have_fields) fail(QStringLiteral("the report declares no <fields>"));
        // Anything after the root element is an error of the document.
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) fail(QStringLiteral("content after the end of <report>"));
        }
        check_xml();
        return std::move(t_);
    }

    [[noreturn]] void fail(const QString& message) {
        throw ReadFailure{message, xml_.lineNumber(), xml_.columnNumber()};
    }

private:
    void check_xml() {
        if (xml_.hasError()) {
            throw ReadFailure{xml_.errorString(), xml_.lineNumber(), xml_.columnNumber()};
        }
    }

    // Moves to the first start element of the document.
    bool next_start() {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) return true;
        }
        check_xml();
        return false;
    }

    // Moves to the next child element of the current one; false at its end.
    // Text between elements must be blank.
    bool next_child() {
        while (!xml_.atEnd()) {
            xml_.readNext();
            if (xml_.isStartElement()) return true;
            if (xml_.isEndElement()) return false;
            if (xml_.isCharacters() && !xml_.isWhitespace()) {
                fail(QStringLiteral("unexpected text \"%1\"").arg(xml_.text().toString().trimmed()));
            }
        }
        check_xml();
        fail(QStringLiteral("unexpected end of the file"));
    }

    void need_fields(bool have) {
        if (!have) fail(QStringLiteral("<%1> must follow <fields>").arg(xml_.name()));
    }

    [[noreturn]] void unknown() { fail(QStringLiteral("unknown element <%1>").arg(xml_.name())); }

    void allow(std::initializer_list<const char*> names) {
        for (const QXmlStreamAttribute& a : xml_.attributes()) {
            bool known = false;
            for (const char* n : names) known = known || a.name() == QLatin1String(n);
            if (!known) {
                fail(QStringLiteral("<%1> has no attribute \"%2\"").arg(xml_.name(), a.name()));
            }
        }
    }

    QString required(const char* name) {
        if (!xml_.attributes().hasAttribute(QLatin1String(name))) {
            fail(QStringLiteral("<%1> needs the attribute \"%2\"").arg(xml_.name(), QLatin1String(name)));
        }
        return xml_.attributes().value(QLatin1String(name)).toString();
    }

    double number_attr(const char* name, double fallback, double min, double max) {
        if (!xml_.attributes().hasAttribute(QLatin1String(name))) return fallback;
        bool ok = false;
        const QString text = xml_.attributes().value(QLatin1String(name)).toString();
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v) || v < min || v > max) {
            fail(QStringLiteral("\"%1\" is not a valid value for \"%2\" (expected %3 to %4)")
                     .arg(text, QLatin1String(name))
                     .arg(min)
                     .arg(max));
        }
        return v;
    }

    bool bool_attr(const char* name, bool fallback) {
        if (!xml_.attributes().hasAttribute(QLatin1String(name))) return fallback;
        const QStringView v = xml_.attributes().value(QLatin1String(name));
        if (v != QLatin1String("true") && v != QLatin1String("false")) {
            fail(QStringLiteral("%1 must be true or false, not \"%2\"").arg(QLatin1String(name), v));
        }
        return v == QLatin1String("true");
    }

    double length_attr(const char* name, double fallback) {
        return number_attr(name, fallback, 0, kMaxPageMm);
    }

    Align align_attr(Align fallback) {
        if (!xml_.attributes().hasAttribute(QLatin1String("align"))) return fallback;
        const QStringView v = xml_.attributes().value(QLatin1String("align"));
        if (v == QLatin1String("left")) return Align::Left;
        if (v == QLatin1String("center")) return Align::Center;
        if (v == QLatin1String("right")) return Align::Right;
        fail(QStringLiteral("align must be left, center or right, not \"%1\"").arg(v));
    }

    unsigned edges_attr(unsigned fallback) {
        if (!xml_.attributes().hasAttribute(QLatin1String("border"))) return fallback;
        const QString v = xml_.attributes().value(QLatin1String("border")).toString();
        if (v == QLatin1String("none")) return kNoEdge;
        if (v == QLatin1String("box")) return kAllEdges;
        unsigned edges = kNoEdge;
        for (const QString& part : v.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (part == QLatin1String("left")) {
                edges |= kLeftEdge;
            } else if (part == QLatin1String("top")) {
                edges |= kTopEdge;
            } else if (part == QLatin1String("right")) {
                edges |= kRightEdge;
            } else if (part == QLatin1String("bottom")) {
                edges |= kBottomEdge;
            } else {
                fail(QStringLiteral(
                         "border must be none, box or a list of left, top, right, bottom; not \"%1\"")
                         .arg(v));
            }
        }
        return edges;
    }

    int font_attr(const char* name, int fallback) {
        if (!xml_.attributes().hasAttribute(QLatin1String(name))) return fallback;
        const QString id = xml_.attributes().value(QLatin1String(name)).toString();
        for (std::size_t i = 0; i < t_.fonts.size(); ++i) {
            if (t_.fonts[i].id == id) return static_cast<int>(i);
        }
        fail(QStringLiteral("no font with the id \"%1\"").arg(id));
    }

    int field_attr(const char* name) {
        const QString field = required(name);
        const int index = t_.field_index(field);
        if (index < 0) fail(QStringLiteral("no field named \"%1\" is declared").arg(field));
        return index;
    }

    // Checks every [#name#] reference of a text.
    void check_references(const QString& text) {
        static const QRegularExpression ref(QStringLiteral("\\[#(.*?)#\\]"));
        for (auto it = ref.globalMatch(text); it.hasNext();) {
            const QString name = it.next().captured(1);
            if (name != QLatin1String(kPageNumberName) && name != QLatin1String(kPageCountName) &&
                t_.field_index(name) < 0) {
                fail(QStringLiteral("the text refers to \"%1\", which is not a declared field").arg(name));
            }
        }
    }

    void read_fields() {
        allow({});
        QSet<QString> seen;
        while (next_child()) {
            if (xml_.name() != QLatin1String("field")) unknown();
            allow({"name", "type"});
            FieldDef f;
            f.name = required("name");
            static const QRegularExpression valid(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
            if (!valid.match(f.name).hasMatch()) {
                fail(QStringLiteral("\"%1\" is not a valid field name").arg(f.name));
            }
            if (f.name == QLatin1String(kPageNumberName) || f.name == QLatin1String(kPageCountName)) {
                fail(QStringLiteral("\"%1\" is reserved for page numbers").arg(f.name));
            }
            if (seen.contains(f.name)) fail(QStringLiteral("the field \"%1\" is declared twice").arg(f.name));
            seen.insert(f.name);
            const QString type = required("type");
            if (type == QLatin1String("integer")) {
                f.type = FieldType::Integer;
            } else if (type == QLatin1String("text")) {
                f.type = FieldType::Text;
            } else {
                fail(QStringLiteral("field type must be integer or text, not \"%1\"").arg(type));
            }
            t_.fields.push_back(f);
            if (next_child()) unknown();
        }
    }

    void read_fonts() {
        allow({});
        while (next_child()) {
            if (xml_.name() != QLatin1String("font")) unknown();
            allow({"id", "family", "size", "bold"});
            FontDef f;
            f.id = required("id");
            f.family = required("family");
            f.size_pt = number_attr("size", 10.5, 1, kMaxFontPt);
            const QString bold = xml_.attributes().value(QLatin1String("bold")).toString();
            if (!bold.isEmpty() && bold != QLatin1String("true") && bold != QLatin1String("false")) {
                fail(QStringLiteral("bold must be true or false, not \"%1\"").arg(bold));
            }
            f.bold = bold == QLatin1String("true");
            if (f.id == QLatin1String("default")) {
                t_.fonts[0] = f;
            } else {
                for (const FontDef& other : t_.fonts) {
                    if (other.id == f.id) fail(QStringLiteral("the font \"%1\" is defined twice").arg(f.id));
                }
                t_.fonts.push_back(f);
            }
            if (next_child()) unknown();
        }
    }

    void read_page() {
        allow({"size", "width", "height", "orientation", "left", "top", "right", "bottom"});
        PageSetup& p = t_.page;
        const QString size = xml_.attributes().value(QLatin1String("size")).toString();
        if (!size.isEmpty()) {
            bool found = false;
            for (const PaperSize& s : kPaperSizes) {
                if (size.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
                    p.width_mm = s.width_mm;
                    p.height_mm = s.height_mm;
                    found = true;
                }
            }
            if (!found) fail(QStringLiteral("unknown paper size \"%1\"").arg(size));
        }
        p.width_mm = number_attr("width", p.width_mm, 10, kMaxPageMm);
        p.height_mm = number_attr("height", p.height_mm, 10, kMaxPageMm);
        const QString orientation = xml_.attributes().value(QLatin1String("orientation")).toString();
        if (orientation == QLatin1String("landscape")) {
            p.landscape = true;
            if (p.width_mm < p.height_mm) std::swap(p.width_mm, p.height_mm);
        } else if (!orientation.isEmpty() && orientation != QLatin1String("portrait")) {
            fail(QStringLiteral("orientation must be portrait or landscape, not \"%1\"").arg(orientation));
        }
        p.left_mm = length_attr("left", p.left_mm);
        p.top_mm = length_attr("top", p.top_mm);
        p.right_mm = length_attr("right", p.right_mm);
        p.bottom_mm = length_attr("bottom", p.bottom_mm);
        if (p.left_mm + p.right_mm > p.width_mm - 10 || p.top_mm + p.bottom_mm > p.height_mm - 10) {
            fail(QStringLiteral("the margins leave no room on the page"));
        }
        if (next_child()) unknown();
    }

    TextBox read_text_box(bool conditional = false) {
        if (conditional) {
            allow({"font", "align", "border", "width", "height", "when", "repeat", "keep", "heads"});
        } else {
            allow({"font", "align", "border", "width", "height"});
        }
        TextBox box;
        box.font = font_attr("font", 0);
        box.align = align_attr(Align::Left);
        box.edges = edges_attr(kNoEdge);
        box.share = number_attr("width", 1, 0.001, kMaxPageMm);
        box.text = xml_.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        check_xml();
        check_references(box.text);
        return box;
    }

    // Reads the bands of the current element up to its end.
    std::vector<Band> read_bands(bool conditional = false) {
        std::vector<Band> bands;
        while (next_child()) bands.push_back(read_band_element(conditional));
        return bands;
    }

    // Reads the blocks of the current element up to its end: bands, grids
    // and charts.
    std::vector<HeaderBlock> read_blocks() {
        std::vector<HeaderBlock> blocks;
        while (next_child()) {
            if (xml_.name() == QLatin1String("grid")) {
                blocks.push_back(HeaderBlock{std::nullopt, read_grid(), std::nullopt});
            } else if (xml_.name() == QLatin1String("chart")) {
                blocks.push_back(HeaderBlock{std::nullopt, std::nullopt, read_chart()});
            } else {
                blocks.push_back(HeaderBlock{read_band_element(), std::nullopt, std::nullopt});
            }
        }
        return blocks;
    }

    HeaderGrid read_grid() {
        allow({"columns", "label-width", "row-height", "label-font", "font"});
        HeaderGrid grid;
        grid.columns = static_cast<int>(number_attr("columns", 2, 1, 12));
        grid.label_width_mm = length_attr("label-width", grid.label_width_mm);
        grid.row_height_mm = length_attr("row-height", grid.row_height_mm);
        grid.label_font = font_attr("label-font", 0);
        grid.value_font = font_attr("font", 0);
        while (next_child()) {
            if (xml_.name() != QLatin1String("cell")) unknown();
            allow({"label", "field", "span", "prefix", "suffix"});
            GridCell cell;
            cell.label = xml_.attributes().value(QLatin1String("label")).toString();
            cell.field = field_attr("field");
            cell.span = static_cast<int>(number_attr("span", 1, 1, grid.columns));
            cell.prefix = xml_.attributes().value(QLatin1String("prefix")).toString();
            cell.suffix = xml_.attributes().value(QLatin1String("suffix")).toString();
            grid.cells.push_back(cell);
            if (next_child()) unknown();
        }
        return grid;
    }

    // "#RRGGBB" as 0xRRGGBB.
    quint32 color_attr(const char* name, quint32 fallback) {
        if (!xml_.attributes().hasAttribute(QLatin1String(name))) return fallback;
        const QString v = xml_.attributes().value(QLatin1String(name)).toString();
        static const QRegularExpression rgb(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
        if (!rgb.match(v).hasMatch()) {
            fail(QStringLiteral("%1 must be a colour written #RRGGBB, not \"%2\"")
                     .arg(QLatin1String(name), v));
        }
        return v.mid(1).toUInt(nullptr, 16);
    }

    ChartDef read_chart() {
        allow({"height", "width", "align", "title", "unit", "font", "bars", "labels", "bar-color", "x", "equality"});
        ChartDef chart;
        chart.height_mm = number_attr("height", chart.height_mm, 10, kMaxPageMm);
        chart.width_mm = length_attr("width", 0);
        chart.align = align_attr(Align::Left);
        chart.title = xml_.attributes().value(QLatin1String("title")).toString();
        chart.unit = xml_.attributes().value(QLatin1String("unit")).toString();
        chart.font = font_attr("font", 0);
        chart.bars = field_attr("bars");
        chart.labels = xml_.attributes().hasAttribute(QLatin1String("labels")) ? field_attr("labels") : -1;
        chart.bar_color = color_attr("bar-color", chart.bar_color);
        chart.x = xml_.attributes().hasAttribute(QLatin1String("x")) ? field_attr("x") : -1;
        if (xml_.attributes().hasAttribute(QLatin1String("equality"))) {
            const QString v = xml_.attributes().value(QLatin1String("equality")).toString();
            if (v != QLatin1String("true") && v != QLatin1String("false")) {
                fail(QStringLiteral("equality must be true or false, not \"%1\"").arg(v));
            }
            if (chart.x < 0) fail(QStringLiteral("equality needs a scatter chart (the attribute x)"));
            chart.equality = v == QLatin1String("true");
        }
        // Lines without a colour of their own take the next one of these.
        static constexpr quint32 kLineColors[] = {0xC0504D, 0x2E7D32, 0x7E57C2, 0xEF6C00};
        while (next_child()) {
            if (xml_.name() != QLatin1String("line")) unknown();
            allow({"field", "label", "color", "style"});
            ChartLine line;
            line.field = field_attr("field");
            line.label = xml_.attributes().value(QLatin1String("label")).toString();
            line.color = color_attr("color", kLineColors[chart.lines.size() % std::size(kLineColors)]);
            const QString style = xml_.attributes().value(QLatin1String("style")).toString();
            if (style == QLatin1String("dash")) {
                line.dashed = true;
            } else if (!style.isEmpty() && style != QLatin1String("solid")) {
                fail(QStringLiteral("style must be solid or dash, not \"%1\"").arg(style));
            }
            chart.lines.push_back(line);
            if (next_child()) unknown();
        }
        return chart;
    }

    // Reads the current <text>, <row> or <spacer> element as one band.
    Band read_band_element(bool conditional = false) {
        Band band;
        if (conditional) {
            band.when = xml_.attributes().hasAttribute(QLatin1String("when")) ? field_attr("when") : -1;
            band.repeat = xml_.attributes().hasAttribute(QLatin1String("repeat")) ? field_attr("repeat") : -1;
            band.heads = xml_.attributes().hasAttribute(QLatin1String("heads")) ? field_attr("heads") : -1;
            band.keep = bool_attr("keep", false);
        }
        if (xml_.name() == QLatin1String("text")) {
            band.height_mm = length_attr("height", 0);
            band.boxes.push_back(read_text_box(conditional));
        } else if (xml_.name() == QLatin1String("row")) {
            if (conditional) {
                allow({"height", "when", "repeat", "keep", "heads"});
            } else {
                allow({"height"});
            }
            band.height_mm = length_attr("height", 0);
            while (next_child()) {
                if (xml_.name() != QLatin1String("text")) unknown();
                band.boxes.push_back(read_text_box());
            }
        } else if (xml_.name() == QLatin1String("spacer")) {
            if (conditional) {
                allow({"height", "when", "repeat", "keep", "heads"});
            } else {
                allow({"height"});
            }
            band.height_mm = length_attr("height", 0);
            if (next_child()) unknown();
        } else {
            unknown();
        }
        return band;
    }

    void read_detail() {
        allow({"title-height", "row-height", "title-font", "font", "line-width", "border"});
        DetailTable& d = t_.detail;
        d.title_height_mm = length_attr("title-height", d.title_height_mm);
        d.row_height_mm = length_attr("row-height", d.row_height_mm);
        if (d.row_height_mm < 1) fail(QStringLiteral("row-height must be at least 1 mm"));
        d.title_font = font_attr("title-font", 0);
        d.font = font_attr("font", 0);
        d.line_width_mm = number_attr("line-width", d.line_width_mm, 0, 5);
        d.edges = edges_attr(kAllEdges);
        while (next_child()) {
            if (xml_.name() == QLatin1String("group")) {
                if (d.group) fail(QStringLiteral("the table has one <group> at most"));
                d.group = read_group();
                continue;
            }
            if (xml_.name() != QLatin1String("column")) unknown();
            allow({"title", "field", "width", "align", "prefix", "suffix", "number-format", "show"});
            Column c;
            c.title = xml_.attributes().value(QLatin1String("title")).toString();
            c.field = field_attr("field");
            c.width_mm = number_attr("width", c.width_mm, 1, kMaxPageMm);
            c.align = align_attr(Align::Center);
            c.prefix = xml_.attributes().value(QLatin1String("prefix")).toString();
            c.suffix = xml_.attributes().value(QLatin1String("suffix")).toString();
            c.number_format = xml_.attributes().value(QLatin1String("number-format")).toString();
            const QString show = xml_.attributes().value(QLatin1String("show")).toString();
            if (show == QLatin1String("print")) {
                c.exported = false;
            } else if (show == QLatin1String("export")) {
                c.printed = false;
            } else if (!show.isEmpty() && show != QLatin1String("all")) {
                fail(QStringLiteral("show must be all, print or export, not \"%1\"").arg(show));
            }
            d.columns.push_back(c);
            if (next_child()) unknown();
        }
    }

    GroupDef read_group() {
        allow({"field", "keep-together"});
        GroupDef g;
        g.field = field_attr("field");
        g.keep_together = bool_attr("keep-together", false);
        bool header = false, continued = false, footer = false;
        auto once = [&](bool& seen) {
            if (seen) fail(QStringLiteral("<%1> appears twice in the group").arg(xml_.name()));
            seen = true;
            allow({});
        };
        while (next_child()) {
            if (xml_.name() == QLatin1String("header")) {
                once(header);
                g.header = read_blocks();
            } else if (xml_.name() == QLatin1String("continued")) {
                once(continued);
                g.continued = read_blocks();
            } else if (xml_.name() == QLatin1String("footer")) {
                once(footer);
                g.footer = read_blocks();
            } else {
                unknown();
            }
        }
        return g;
    }

    QXmlStreamReader xml_;
    ReportTemplate t_;
};

}  // namespace

Result<ReportTemplate> read_template(QIODevice& in, const std::filesystem::path& file) {
    Reader reader(in);
    try {
        return reader.read();
    } catch (const ReadFailure& f) {
        const QString where = f.line > 0 ? QStringLiteral("line %1, column %2: ").arg(f.line).arg(f.column) : QString();
        return FileError{FileError::Kind::Malformed, file, std::nullopt, {}, (where + f.message).toStdString()};
    }
}

Result<ReportTemplate> read_template_file(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileError{FileError::Kind::CannotOpen, platform::to_path(path), std::nullopt, {},
                         QStringLiteral("cannot be opened: %1").arg(file.errorString()).toStdString()};
    }
    return read_template(file, platform::to_path(path));
}

}  // namespace rebound::report
