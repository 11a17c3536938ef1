// The test record sheet: its feed on the shipped template, its pages, and
// its PDF read back by independent readers (pdftotext for the values and
// their order, pdftocairo's SVG for the charts' vector paths).
#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <functional>
#include <numeric>
#include <set>

#include "model/number_text.h"
#include "platform/dates.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_layout.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

using test::gbk;

class RecordSheet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine.load_from_file(test::record_template_path()));
    }
    const ReportTemplate& t() const { return engine.report_template(); }

    // Binds the feed the template asks for to `project`, which must outlive the engine's use.
    void feed_project(const ReboundFile& project) {
        feed = make_feed(t(), project, test::fixed_clock());
        feed->bind(engine);
        engine.set_fetch_record([this](bool& eof) { feed->fetch_record(eof); });
    }

    ReportData fetch(const ReboundFile& project) {
        feed_project(project);
        return engine.fetch_records();
    }

    // The value of the named field in a record; "<unset>" when the record has none.
    QString value(const Record& r, const QString& name) const {
        const int field = t().field_index(name);
        EXPECT_GE(field, 0) << name.toStdString();
        if (field < 0 || r[field].kind == FieldValue::Kind::Unset) return QStringLiteral("<unset>");
        return r[field].display();
    }

    // The PDF of the project's record sheet, written to `name` in the test's folder.
    QString write_pdf(const ReboundFile& project, const QString& name = QStringLiteral("records.pdf")) {
        feed_project(project);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(engine.export_pdf(path));
        return path;
    }

    QTemporaryDir dir;
    ReportEngine engine;
    std::unique_ptr<ProjectFeed> feed;
};

// The text of pages [first, last] of a PDF as pdftotext lays it out, split
// into lines of whitespace-separated words.
std::vector<QStringList> pdf_lines(const QString& path, int first = 0, int last = 0) {
    QStringList args{"-layout", "-enc", "UTF-8"};
    if (first > 0) args << "-f" << QString::number(first) << "-l" << QString::number(last);
    const auto out = test::run_program("pdftotext", args << path << "-");
    std::vector<QStringList> lines;
    if (!out) return lines;
    for (const QString& line : QString::fromUtf8(*out).split(QLatin1Char('\n'))) {
        lines.push_back(line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts));
    }
    return lines;
}

int pdf_page_count(const QString& path) {
    const auto info = test::run_program("pdfinfo", {path});
    if (!info) return 0;
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(*info);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The words of a table row as the sheet prints them: area number, the 16
// readings, depth, mean rebound value, angle and its correction, surface and
// its correction, converted strength, pumped correction, area strength.
QStringList row_words(int area_no, const AreaData& a, const QStringList& texts) {
    QStringList words{QString::number(area_no)};
    for (std::uint8_t reading : a.readings) words << QString::number(reading);
    return words + texts;
}

TEST_F(RecordSheet, FeedsOneRecordPerAreaWithItsComponentAndTheGridsTexts) {
    ReboundFile project = test::record_project();
    ComponentInfo bare(test::today());
    bare.component_name = gbk("板-3");
    project.add_component(bare);
    const ReportData data = fetch(project);
    ASSERT_EQ(data.records.size(), 6u) << "three areas, two areas, and one record for the component without";

    // data_id, area_no, depth, mean, angle, angle corr., surface, surface corr.,
    // converted, pumped corr., area strength: the grid's texts of the stored values.
    const QStringList names = {
        "data_id",          "area_no", "carbonation_depth",  "mean_rebound",       "angle",
        "angle_correction", "surface", "surface_correction", "converted_strength", "pump_correction",
        "area_strength"};
    const QStringList expected[] = {
        {"1", "1", "-.-", "36.3", "0", "0.0", "侧面", "0.0", "31.2", "2.4", "33.6"},
        {"1", "2", "0.0", "41.0", "-30", "2.5", "表面", "-1.3", "35.5", "0.5", "35.9"},
        {"1", "3", "> 6.0", "38.8", "-90", "4.0", "底面", "1.8", "28.7", "1.6", "30.3"},
        {"2", "1", "> 6.0", "44.3", "0", "0.0", "底面", "0.0", "22.1", "2.5", "24.6"},
        {"2", "2", "3.0", "33.3", "30", "-3.0", "侧面", "0.0", "25.9", "0.2", "26.1"},
        {"3", "<unset>", "<unset>", "<unset>", "<unset>", "<unset>", "<unset>", "<unset>", "<unset>",
         "<unset>", "<unset>"},
    };
    for (std::size_t r = 0; r < data.records.size(); ++r) {
        SCOPED_TRACE(r);
        QStringList got;
        for (const QString& n : names) got << value(data.records[r], n);
        EXPECT_EQ(got, expected[r]);
    }
    // Readings as integers, in the order taken.
    int row = 0;
    for (int c = 0; c < 2; ++c) {
        for (const AreaData& a : project.components[c].areas) {
            for (std::size_t i = 0; i < kReadingsPerArea; ++i) {
                const int field = t().field_index(QStringLiteral("reading_%1").arg(i + 1));
                ASSERT_EQ(data.records[row][field].kind, FieldValue::Kind::Integer);
                EXPECT_EQ(data.records[row][field].integer, a.readings[i]);
            }
            ++row;
        }
    }
    EXPECT_EQ(value(data.records[5], "reading_1"), "<unset>");

    // Every record carries its component; the project header comes once.
    struct Component {
        int record;
        const char* name;
        const char* grade;
        const char* pumped;
        const char* mode;
        const char* representative;
        const char* areas;
        const char* avg;
        const char* estimate;
    };
    const Component components[] = {
        {0, "梁-1", "25", "是", "取代表值", "-.-", "3", "33.3", "28.7"},
        {2, "梁-1", "25", "是", "取代表值", "-.-", "3", "33.3", "28.7"},
        {3, "柱-2", "30", "否", "各测区实测值", "> 6.0", "2", "30.5", "28.6"},
        {5, "板-3", "30", "是", "取代表值", "-.-", "0", "0.0", "0.0"},
    };
    for (const Component& c : components) {
        const Record& r = data.records[c.record];
        SCOPED_TRACE(c.record);
        EXPECT_EQ(value(r, "component_name"), QString::fromUtf8(c.name));
        EXPECT_EQ(value(r, "strength_degree"), c.grade);
        EXPECT_EQ(value(r, "pumped"), QString::fromUtf8(c.pumped));
        EXPECT_EQ(value(r, "carbonation_mode"), QString::fromUtf8(c.mode));
        EXPECT_EQ(value(r, "rep_carbonation"), c.representative);
        EXPECT_EQ(value(r, "area_count"), c.areas);
        EXPECT_EQ(value(r, "strength_avg"), c.avg);
        EXPECT_EQ(value(r, "strength_estimate"), c.estimate);
    }
    EXPECT_EQ(value(data.records[3], "examine_date"), "2026-05-22");
    EXPECT_EQ(value(data.records[0], "project_name"), QString::fromUtf8("滨江花园三号楼主体结构"));
    EXPECT_EQ(value(data.records[0], "report_date"), "2026-12-10");
    EXPECT_EQ(value(data.records[0], "agent_date"), "2026-04-02");
    EXPECT_EQ(value(data.records[0], "construction_date"), "2026-03-01");
    for (std::size_t r = 1; r < data.records.size(); ++r) {
        EXPECT_EQ(value(data.records[r], "project_name"), "<unset>") << r;
    }

    // Bound again, the feed starts again at the first area.
    feed->bind(engine);
    EXPECT_EQ(engine.fetch_records().records.size(), 6u);
}

// The Chinese record sheet reads in Chinese from header to signature: its
// text export holds no Latin word but units, the grade's "C" and what the
// project itself holds (names, serial numbers, the curve's file name). Dates
// written by an English and a Chinese desktop print in one form.
TEST_F(RecordSheet, ChineseTextExportHoldsNoEnglishWord) {
    ReboundFile project = test::record_project();
    project.agent_date = "11 Dec 2026";                           // an English desktop's
    project.components[1].examine_date = "2026\xc4\xea" "5\xd4\xc2" "22\xc8\xd5";  // 2026年5月22日
    // Imported from the instrument: one strength as converted and area
    // strength, while the areas list a pumped-concrete correction.
    ComponentInfo imported = project.components[0];
    imported.component_name = gbk("墙-4");
    for (AreaData& a : imported.areas) a.area_strength = a.converted_strength;
    project.add_component(imported);

    feed_project(project);
    const QString path = dir.filePath("records.txt");
    ASSERT_TRUE(engine.export_direct(ExportType::Text, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());

    std::set<QString> allowed = {"MPa", "mm", "C"};
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]+"));
    const auto allow_words_of = [&](const std::string& ansi) {
        for (auto it = latin.globalMatch(platform::to_qstring(ansi)); it.hasNext();) allowed.insert(it.next().captured());
    };
    for (const std::string* s : {&project.project_name, &project.report_serial, &project.examine_serial,
                                 &project.examine_basis, &project.agent_unit, &project.project_address}) {
        allow_words_of(*s);
    }
    for (const ComponentInfo& c : project.components) {
        allow_words_of(c.component_name);
        allow_words_of(c.device_serial);
        allow_words_of(c.curve_filename);
        allow_words_of(c.component_condition);
    }
    for (auto it = latin.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        EXPECT_TRUE(allowed.count(word)) << "English word in the Chinese record sheet: " << word.toStdString();
    }
    for (const char* chinese : {"侧面", "表面", "底面", "检测日期"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(chinese))) << chinese;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-11")));  // the measurement date
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-10")));  // the report date
    // The note, on each of the imported component's three rows only.
    const QString note = QString::fromUtf8("测区强度取自仪器");
    EXPECT_EQ(text.count(note), 3) << text.toStdString();
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.contains(note)) {
            EXPECT_TRUE(line.contains(QString::fromUtf8("墙-4"))) << line.toStdString();
        }
    }

    // The component's own texts and dates, as the page prints them above its rows.
    const ReportData data = fetch(project);
    EXPECT_EQ(value(data.records[3], "examine_date"), "2026-05-22");
    EXPECT_EQ(value(data.records[3], "pumped"), QString::fromUtf8("否"));
    EXPECT_EQ(value(data.records[3], "carbonation_mode"), QString::fromUtf8("各测区实测值"));
    EXPECT_EQ(value(data.records[0], "strength_note"), QString());
    EXPECT_EQ(value(data.records[5], "strength_note"), note + QString::fromUtf8("，未计入泵送修正"));
}

TEST_F(RecordSheet, TypedReadingsAreStarredAndBlankStrengthsPrintNoFigure) {
    ReboundFile project = test::record_project();
    project.components[0].areas[1].set_flag(area_flags::kTypedReadings, true);
    // The second component: its first area lies below the curve.
    ComponentInfo& below = project.components[1];
    below.areas[0].set_flag(area_flags::kBelowCurve, true);
    below.areas[0].converted_strength = 0.0f;
    below.areas[0].pump_correction = 0.0f;
    below.areas[0].area_strength = 0.0f;
    below.reserved_text = "curve_range=10.0:60.0";
    const ReportData data = fetch(project);
    QStringList labels;
    for (const Record& r : data.records) labels << value(r, "area_label");
    EXPECT_EQ(labels, (QStringList{"1", "2*", "3", "1", "2"}));
    const QString note = QString::fromUtf8("注：带 * 的测区回弹值为手工录入或修改");
    EXPECT_EQ(value(data.records[0], "typed_note"), note);
    EXPECT_EQ(value(data.records[3], "converted_strength"), "<10.0");
    EXPECT_EQ(value(data.records[3], "area_strength"), "<10.0");
    EXPECT_EQ(value(data.records[3], "strength_estimate"), "<10.0");
    EXPECT_TRUE(value(data.records[3], "strength_note").contains(QString::fromUtf8("低于测强曲线范围")));
    EXPECT_EQ(value(data.records[0], "pumped_rule"), QString::fromUtf8("按修正值"));
    EXPECT_EQ(value(data.records[0], "arithmetic_rule"), QString::fromUtf8("按仪器计算"));

    // On paper: the starred number opens its row and the note follows the table.
    const std::vector<QStringList> lines = pdf_lines(write_pdf(project));
    bool starred = false;
    bool noted = false;
    for (const QStringList& line : lines) {
        starred = starred || (!line.isEmpty() && line[0] == "2*");
        noted = noted || line.join(' ').contains(QString::fromUtf8("注：带 *"));
    }
    EXPECT_TRUE(starred);
    EXPECT_TRUE(noted);

    // Without a typed reading there is no note.
    const ReboundFile plain = test::record_project();
    EXPECT_EQ(value(fetch(plain).records[0], "typed_note"), QString());
}

TEST_F(RecordSheet, TemplateDeclaresExactlyTheFeedsFields) {
    EXPECT_EQ(t().records, RecordSource::TestAreas);
    std::set<QString> declared;
    for (const FieldDef& f : t().fields) declared.insert(f.name);
    std::set<QString> fed(TestRecordFeed::field_names().begin(), TestRecordFeed::field_names().end());
    for (const char* name : batch_field_names()) fed.insert(QString::fromLatin1(name));
    EXPECT_EQ(declared, fed);
    for (const char* integer :
         {"data_id", "strength_degree", "area_count", "area_no", "reading_1", "reading_16"}) {
        EXPECT_EQ(t().fields[t().field_index(integer)].type, FieldType::Integer) << integer;
    }
    // The test report's template keeps its own feed.
    ReportEngine report;
    ASSERT_TRUE(report.load_from_file(test::shipped_template_path()));
    EXPECT_EQ(report.report_template().records, RecordSource::Components);
    EXPECT_TRUE(dynamic_cast<ReportFeed*>(make_feed(report.report_template(), ReboundFile{}, test::fixed_clock()).get()));
}

TEST_F(RecordSheet, PdfTextHoldsEveryReadingAndStrengthInOrder) {
    const ReboundFile project = test::record_project();
    const QString pdf = write_pdf(project);
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(pdf);
    const std::vector<QStringList> lines = pdf_lines(pdf);
    ASSERT_FALSE(lines.empty());

    const QStringList texts[2][3] = {
        {{"-.-", "36.3", "0", "0.0", "侧面", "0.0", "31.2", "2.4", "33.6"},
         {"0.0", "41.0", "-30", "2.5", "表面", "-1.3", "35.5", "0.5", "35.9"},
         {">", "6.0", "38.8", "-90", "4.0", "底面", "1.8", "28.7", "1.6", "30.3"}},
        {{">", "6.0", "44.3", "0", "0.0", "底面", "0.0", "22.1", "2.5", "24.6"},
         {"3.0", "33.3", "30", "-3.0", "侧面", "0.0", "25.9", "0.2", "26.1"}},
    };
    // Each component: its caption, its rows word for word, then a line with
    // its mean, standard deviation, minimum and estimate in that order.
    std::size_t at = 0;
    auto find_line = [&](const std::function<bool(const QStringList&)>& match, const std::string& what) {
        while (at < lines.size() && !match(lines[at])) ++at;
        ASSERT_LT(at, lines.size()) << what << " not found in order";
        ++at;
    };
    for (int c = 0; c < 2; ++c) {
        const ComponentInfo& comp = project.components[c];
        const QString name = platform::to_qstring(comp.component_name);
        find_line([&](const QStringList& words) { return words.join(QString()).contains(name); },
                  name.toStdString());
        for (std::size_t a = 0; a < comp.area_count(); ++a) {
            const QStringList row = row_words(static_cast<int>(a + 1), comp.areas[a], texts[c][a]);
            find_line([&](const QStringList& words) { return words == row; }, row.join(' ').toStdString());
        }
        QStringList figures;
        for (float v : {comp.strength_avg, comp.strength_delta, comp.strength_min, comp.strength_estimate}) {
            figures << QString::fromStdString(one_decimal(v));
        }
        find_line(
            [&](const QStringList& words) {
                QStringList numbers;
                for (const QString& w : words) {
                    if (figures.contains(w)) numbers << w;
                }
                return numbers == figures;
            },
            figures.join(' ').toStdString());
    }
}

TEST_F(RecordSheet, ComponentsStartANewPageRatherThanSplit) {
    ReboundFile project = test::sample_project(4);
    const int areas[] = {8, 10, 14, 3};
    std::vector<int> component_of;  // by record
    for (int c = 0; c < 4; ++c) {
        for (int a = 0; a < areas[c]; ++a) {
            AreaData area;
            area.area_strength = 30.0f + static_cast<float>(a);
            project.components[c].add_area(area);
            component_of.push_back(c);
        }
    }
    // The pages each component's rows are on, and the rows in page order.
    auto pages_of = [&](const ReportLayout& layout, std::vector<int>* rows) {
        std::map<int, std::set<int>> pages;
        for (std::size_t p = 0; p < layout.pages.size(); ++p) {
            for (const PlacedBox& b : layout.pages[p].boxes) {
                if (b.role != BoxRole::Cell || b.rect_mm.left() > t().page.left_mm + 1) continue;
                if (rows) rows->push_back(b.record);
                pages[component_of[b.record]].insert(static_cast<int>(p));
            }
        }
        return pages;
    };
    const ReportData data = fetch(project);
    std::vector<int> rows;
    const auto kept = pages_of(lay_out(t(), data), &rows);
    std::vector<int> all(component_of.size());
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(rows, all);
    ASSERT_EQ(kept.size(), 4u);
    for (const auto& [component, pages] : kept) EXPECT_EQ(pages.size(), 1u) << "component " << component;
    for (int c = 1; c < 4; ++c) EXPECT_LE(*kept.at(c - 1).begin(), *kept.at(c).begin());

    // Without keeping components together one of them is split: the
    // fixture does put a component where a page ends.
    ReportTemplate loose = t();
    loose.detail.group->keep_together = false;
    bool any_split = false;
    for (const auto& [component, pages] : pages_of(lay_out(loose, data), nullptr))
        any_split |= pages.size() > 1;
    EXPECT_TRUE(any_split);
}

TEST_F(RecordSheet, AComponentLongerThanAPageRepeatsTheTableHeaderOnEveryPage) {
    ReboundFile project = test::record_project();
    ComponentInfo& big = project.components[1];
    for (int a = 2; a < 100; ++a) {
        AreaData area = big.areas[a % 2];
        area.readings[0] = static_cast<std::uint8_t>(a);
        area.area_strength = 20.0f + 0.1f * static_cast<float>(a);
        big.add_area(area);
    }
    const ReportData data = fetch(project);
    const ReportLayout layout = lay_out(t(), data);
    const int first_of_big = 3;  // the records of the first component come first

    // The pages that hold the big component's rows: more than one, each with
    // the whole title row right above its first row and, after the first,
    // the caption marked as continued; rows 1 to 100 in order, once each.
    std::vector<int> pages;
    int next = first_of_big;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        const LaidOutPage& page = layout.pages[p];
        std::map<long, int> titles_ending_at;  // in micrometres
        bool continued = false;
        double first_top = -1;
        for (const PlacedBox& b : page.boxes) {
            if (b.role == BoxRole::ColumnTitle) ++titles_ending_at[std::lround(b.rect_mm.bottom() * 1000)];
            if (b.role == BoxRole::GroupText && b.text.contains(QString::fromUtf8("（续）")))
                continued = true;
            if (b.role != BoxRole::Cell || b.record < first_of_big || b.rect_mm.left() > t().page.left_mm + 1)
                continue;
            if (first_top < 0) first_top = b.rect_mm.top();
            EXPECT_EQ(b.record, next) << "page " << p + 1;
            EXPECT_EQ(b.text, QString::number(next - first_of_big + 1));
            ++next;
        }
        if (first_top < 0) continue;
        pages.push_back(static_cast<int>(p));
        EXPECT_EQ(titles_ending_at[std::lround(first_top * 1000)], 26) << "page " << p + 1;
        EXPECT_EQ(continued, pages.size() > 1) << "page " << p + 1;
    }
    EXPECT_EQ(next, first_of_big + 100);
    ASSERT_GE(pages.size(), 3u);
    // The component's figures and chart follow its last row only.
    std::vector<int> chart_pages;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        for (const PlacedChart& c : layout.pages[p].charts) {
            if (c.record == first_of_big) chart_pages.push_back(static_cast<int>(p));
        }
    }
    EXPECT_EQ(chart_pages, std::vector<int>{pages.back()});

    // Read back from the PDF: every page of the component starts with the
    // title row's words.
    const QString path = write_pdf(project);
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(path);
    ASSERT_EQ(pdf_page_count(path), static_cast<int>(layout.pages.size()));
    for (int p : pages) {
        const std::vector<QStringList> lines = pdf_lines(path, p + 1, p + 1);
        QString text;
        for (const QStringList& l : lines) text += l.join(QString());
        for (const char* title : {"测区", "碳化深度", "回弹值", "换算值", "测区强度"}) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(title))) << title << " on page " << p + 1;
        }
        EXPECT_TRUE(text.contains(QString::fromUtf8("柱-2"))) << "page " << p + 1;
    }
}

TEST_F(RecordSheet, ChartsShowTheAreaStrengthsOfTheirComponentWithMeanAndEstimate) {
    ReboundFile project = test::record_project();
    ComponentInfo bare(test::today());
    bare.component_name = gbk("板-3");
    bare.strength_avg = 12.5f;
    project.add_component(bare);
    const ReportLayout layout = lay_out(t(), fetch(project));
    std::vector<const PlacedChart*> charts;
    for (const LaidOutPage& page : layout.pages) {
        for (const PlacedChart& c : page.charts) charts.push_back(&c);
    }
    ASSERT_EQ(charts.size(), 3u);
    EXPECT_EQ(charts[0]->bars, (std::vector<double>{33.6, 35.9, 30.3}));
    EXPECT_EQ(charts[0]->labels, (std::vector<QString>{"1", "2", "3"}));
    EXPECT_EQ(charts[0]->line_texts, (std::vector<QString>{"33.3", "28.7"}));
    EXPECT_EQ(charts[1]->bars, (std::vector<double>{24.6, 26.1}));
    EXPECT_TRUE(charts[2]->bars.empty()) << "no areas, no bars";
    EXPECT_EQ(charts[2]->lines, (std::vector<double>{12.5, 0.0}));
}

// The bars of the PDF's charts are filled vector paths in the bar colour,
// as tall as the strengths they stand for, and the mean and the estimate
// are horizontal lines at their height.
TEST_F(RecordSheet, ChartsAreVectorPathsInThePdf) {
    const ReboundFile project = test::record_project();
    const QString pdf = write_pdf(project);
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(pdf);
    const int pages = pdf_page_count(pdf);
    ASSERT_GE(pages, 1);
    struct Path {
        QString fill, stroke;
        std::vector<QPointF> points;
    };
    std::vector<std::vector<Path>> page_paths;
    for (int p = 1; p <= pages; ++p) {
        const QString svg = dir.filePath(QStringLiteral("page%1.svg").arg(p));
        ASSERT_TRUE(test::run_program(
            "pdftocairo", {"-svg", "-f", QString::number(p), "-l", QString::number(p), pdf, svg}));
        QFile file(svg);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        std::vector<Path>& paths = page_paths.emplace_back();
        static const QRegularExpression path_re(QStringLiteral("<path style=\"([^\"]*)\" d=\"([^\"]*)\""));
        static const QRegularExpression fill_re(QStringLiteral("(?:^|;)fill:(rgb\\([^)]*\\))"));
        static const QRegularExpression stroke_re(QStringLiteral("(?:^|;)stroke:(rgb\\([^)]*\\))"));
        static const QRegularExpression point_re(QStringLiteral("[ML] (-?[\\d.]+) (-?[\\d.]+)"));
        for (auto it = path_re.globalMatch(content); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            Path path;
            path.fill = fill_re.match(m.captured(1)).captured(1);
            path.stroke = stroke_re.match(m.captured(1)).captured(1);
            for (auto pt = point_re.globalMatch(m.captured(2)); pt.hasNext();) {
                const QRegularExpressionMatch q = pt.next();
                path.points.emplace_back(q.captured(1).toDouble(), q.captured(2).toDouble());
            }
            paths.push_back(path);
        }
    }
    // Colours as cairo writes them: percentages of 255.
    auto rgb = [](int r, int g, int b) { return std::array<double, 3>{r / 2.55, g / 2.55, b / 2.55}; };
    auto is = [](const QString& css, std::array<double, 3> want) {
        const QStringList parts = QString(css).remove("rgb(").remove(")").remove("%").split(',');
        if (parts.size() != 3) return false;
        for (int i = 0; i < 3; ++i) {
            if (std::abs(parts[i].toDouble() - want[i]) > 0.5) return false;
        }
        return true;
    };
    const auto bar_colour = rgb(0x4F, 0x81, 0xBD), mean_colour = rgb(0xC0, 0x50, 0x4D),
               estimate_colour = rgb(0x2E, 0x7D, 0x32);

    int component = 0;
    for (const std::vector<Path>& paths : page_paths) {
        // Bars of one chart share their foot; charts come in page order.
        std::map<long, std::vector<QRectF>> charts;
        for (const Path& p : paths) {
            if (!is(p.fill, bar_colour) || p.points.size() < 4) continue;
            const QRectF r = QRectF(p.points[0], p.points[2]).normalized();
            charts[std::lround(r.bottom())].push_back(r);
        }
        for (auto& [foot, bars] : charts) {
            ASSERT_LT(component, 2);
            const ComponentInfo& comp = project.components[component++];
            ASSERT_EQ(bars.size(), comp.area_count());
            std::sort(bars.begin(), bars.end(),
                      [](const QRectF& a, const QRectF& b) { return a.left() < b.left(); });
            const double per_mpa = bars[0].height() / comp.areas[0].area_strength;
            for (std::size_t a = 0; a < bars.size(); ++a) {
                EXPECT_NEAR(bars[a].height() / comp.areas[a].area_strength, per_mpa, per_mpa * 0.01)
                    << "bar " << a;
            }
            // The lines across the plot at the component's mean and estimate.
            for (const auto& [colour, mpa] : {std::pair{mean_colour, comp.strength_avg},
                                              std::pair{estimate_colour, comp.strength_estimate}}) {
                const double y = foot - mpa * per_mpa;
                bool found = false;
                for (const Path& p : paths) {
                    if (!is(p.stroke, colour) || p.points.size() != 2) continue;
                    const bool across = std::abs(p.points[1].x() - p.points[0].x()) >
                                        bars.back().right() - bars.front().left();
                    found |= across && std::abs(p.points[0].y() - y) < per_mpa * 0.2 &&
                             p.points[0].y() == p.points[1].y();
                }
                EXPECT_TRUE(found) << "line at " << mpa << " MPa of component " << component;
            }
        }
    }
    EXPECT_EQ(component, 2);
}

TEST_F(RecordSheet, EveryEdgeOfEveryBoxIsDrawn) {
    const ReportLayout layout = lay_out(t(), fetch(test::record_project()));
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        const LaidOutPage& page = layout.pages[p];
        auto covered = [&](QPointF a, QPointF b) {
            for (const Rule& r : page.rules) {
                const bool horizontal = std::abs(a.y() - b.y()) < 1e-3;
                if (horizontal && std::abs(r.from_mm.y() - a.y()) < 1e-3 &&
                    std::abs(r.to_mm.y() - a.y()) < 1e-3 && r.from_mm.x() <= a.x() + 1e-3 &&
                    r.to_mm.x() >= b.x() - 1e-3)
                    return true;
                if (!horizontal && std::abs(r.from_mm.x() - a.x()) < 1e-3 &&
                    std::abs(r.to_mm.x() - a.x()) < 1e-3 && r.from_mm.y() <= a.y() + 1e-3 &&
                    r.to_mm.y() >= b.y() - 1e-3)
                    return true;
            }
            return false;
        };
        int edges = 0;
        for (const PlacedBox& b : page.boxes) {
            const QRectF& r = b.rect_mm;
            const std::pair<unsigned, std::pair<QPointF, QPointF>> sides[] = {
                {kTopEdge, {r.topLeft(), r.topRight()}},
                {kBottomEdge, {r.bottomLeft(), r.bottomRight()}},
                {kLeftEdge, {r.topLeft(), r.bottomLeft()}},
                {kRightEdge, {r.topRight(), r.bottomRight()}},
            };
            for (const auto& [edge, line] : sides) {
                if (!(b.edges & edge)) continue;
                ++edges;
                EXPECT_TRUE(covered(line.first, line.second))
                    << "page " << p + 1 << ", box " << b.text.toStdString();
            }
        }
        // The table's lines are joined: far fewer rules than edges.
        EXPECT_LT(page.rules.size() * 4, static_cast<std::size_t>(edges)) << "page " << p + 1;
    }
}

TEST(ChartScale, TicksAreRoundAndIncludeZero) {
    struct Case {
        double low, high;
        ChartScale want;
    };
    const Case cases[] = {
        {0, 34.5, {0, 40, 10}}, {0, 0, {0, 10, 2}},      {0, 12.5, {0, 12.5, 2.5}},
        {-3, 7, {-4, 8, 2}},    {0, 0.3, {0, 0.3, 0.1}}, {5, 180, {0, 200, 50}},
    };
    for (const Case& c : cases) {
        const ChartScale s = chart_scale(c.low, c.high);
        EXPECT_DOUBLE_EQ(s.min, c.want.min) << c.low << ".." << c.high;
        EXPECT_NEAR(s.max, c.want.max, 1e-9) << c.low << ".." << c.high;
        EXPECT_NEAR(s.step, c.want.step, 1e-9) << c.low << ".." << c.high;
    }
}

}  // namespace
}  // namespace rebound::report
