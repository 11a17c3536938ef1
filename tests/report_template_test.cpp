// Reading report templates: the shipped one, and broken ones whose errors
// must point at the right line.
#include "report/report_template.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

Result<ReportTemplate> parse(const QByteArray& xml) {
    QByteArray copy = xml;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read_template(buffer);
}

// What a failed read says, for the test's own messages.
std::string message_of(const Result<ReportTemplate>& read) {
    return read ? std::string() : read.error().message;
}

TEST(ReportTemplate, ShippedTemplateDefinesTheTwentyTwoFieldsWithTheirTypes) {
    const auto t = read_template_file(test::shipped_template_path());
    ASSERT_TRUE(t) << message_of(t);
    EXPECT_EQ(t->language, "zh_CN");
    // The 22 fields of the feed, the project panel's measurement date, then
    // the batch block's text fields.
    ASSERT_GT(t->fields.size(), ReportFeed::kFieldCount);
    EXPECT_EQ(t->fields[ReportFeed::kFieldCount].name, "agent_date");
    const std::vector<const char*>& batch = batch_field_names();
    const std::size_t first_batch = ReportFeed::kFieldCount + 1;
    ASSERT_EQ(t->fields.size(), first_batch + batch.size());
    for (std::size_t i = 0; i < batch.size(); ++i) {
        EXPECT_EQ(t->fields[first_batch + i].name, QString::fromLatin1(batch[i]));
        EXPECT_EQ(t->fields[first_batch + i].type, FieldType::Text);
    }
    for (std::size_t i = 0; i < ReportFeed::kFieldCount; ++i) {
        const QString name = QString::fromLatin1(ReportFeed::field_names()[i]);
        EXPECT_EQ(t->fields[i].name, name);
        const bool integer = name == "data_id" || name == "strength_degree";
        EXPECT_EQ(t->fields[i].type, integer ? FieldType::Integer : FieldType::Text) << name.toStdString();
    }
    // Every header field is shown in the header grid, every detail field in the table.
    std::set<int> shown;
    for (const HeaderBlock& b : t->report_header) {
        if (b.grid) {
            for (const GridCell& c : b.grid->cells) shown.insert(c.field);
        }
    }
    for (const Column& c : t->detail.columns) shown.insert(c.field);
    // All but the construction date, which the window cannot edit: the
    // project keeps the day it was made there, no day of casting.
    EXPECT_EQ(shown.size(), ReportFeed::kFieldCount);
    EXPECT_FALSE(shown.count(t->field_index("construction_date")));
    EXPECT_TRUE(shown.count(t->field_index("agent_date")));
    EXPECT_EQ(t->detail.columns.size(), 7u);
}

TEST(ReportTemplate, ErrorsNameTheLine) {
    const QByteArray fields =
        "<fields><field name='a' type='text'/><field name='n' type='integer'/></fields>\n";
    struct Case {
        const char* what;
        QByteArray xml;
        qint64 line;
        const char* message_part;
    };
    const Case cases[] = {
        {"empty file", "", 1, ""},
        {"unclosed element", "<report>\n" + fields + "<detail>\n</report>\n", 4, ""},
        {"wrong root", "<?xml version='1.0'?>\n<layout/>\n", 2, "root element"},
        {"unknown element", "<report>\n" + fields + "<page/>\n<pages/>\n</report>", 4,
         "unknown element <pages>"},
        {"field type", "<report>\n<fields>\n<field name='a' type='float'/>\n</fields></report>", 3, "float"},
        {"field twice",
         "<report>\n<fields>\n<field name='a' type='text'/>\n<field name='a' type='text'/>\n</fields>", 4,
         "twice"},
        {"reserved name", "<report>\n<fields>\n<field name='PageCount' type='text'/></fields></report>", 3,
         "reserved"},
        {"undeclared column field",
         "<report>\n" + fields + "<detail>\n<column field='b'/>\n</detail></report>", 4, "\"b\""},
        {"undeclared reference",
         "<report>\n" + fields + "<report-footer>\n<text>x [#zz#]</text>\n</report-footer>", 4, "\"zz\""},
        {"bad number", "<report>\n" + fields + "<detail row-height='seven'/>\n</report>", 3, "row-height"},
        {"unknown font", "<report>\n" + fields + "<page-footer>\n\n<text font='big'>1</text></page-footer>",
         5, "big"},
        {"unknown attribute", "<report>\n" + fields + "<page size='A4' colour='red'/></report>", 3, "colour"},
        {"border", "<report>\n" + fields + "\n<detail border='dotted'/>\n</report>", 4, "dotted"},
        {"paper size", "<report>\n" + fields + "<page size='A9'/></report>", 3, "A9"},
        {"no fields", "<report>\n<page/>\n</report>", 3, "fields"},
        {"text outside", "<report>\n" + fields + "stray\n<page/></report>", 4, "stray"},
        {"record source", "<report\nrecords='areas'>" + fields + "</report>", 2, "test-areas"},
        {"two groups",
         "<report>\n" + fields + "<detail>\n<group field='a'/>\n<group field='a'/>\n</detail></report>", 5,
         "one <group>"},
        {"group part", "<report>\n" + fields + "<detail>\n<group field='a'>\n<body/>", 5, "<body>"},
        {"group part twice", "<report>\n" + fields + "<detail><group field='a'>\n<footer/>\n<footer/>", 5,
         "twice"},
        {"keep together", "<report>\n" + fields + "<detail>\n<group field='a' keep-together='yes'/>", 4,
         "yes"},
        {"closing block", "<report>\n" + fields + "<report-footer>\n<text keep='maybe'/>", 4, "maybe"},
        {"heading of rows", "<report>\n" + fields + "<report-footer>\n<row heads='zz'/>", 4, "\"zz\""},
        {"rows kept with the footer", "<report>\n" + fields + "<report-footer keep-rows='-1'>", 3, "keep-rows"},
        {"column show", "<report>\n" + fields + "<detail>\n<column field='a' show='screen'/>", 4, "screen"},
        {"chart field", "<report>\n" + fields + "<report-header>\n<chart bars='zz'/>", 4, "\"zz\""},
        {"chart without bars", "<report>\n" + fields + "<report-header>\n<chart/>", 4, "bars"},
        {"equality without x", "<report>\n" + fields + "<report-header>\n<chart bars='n' equality='true'/>", 4,
         "scatter"},
        {"scatter field", "<report>\n" + fields + "<report-header>\n<chart bars='n' x='zz'/>", 4, "\"zz\""},
        {"chart colour", "<report>\n" + fields + "<report-header>\n<chart bars='n' bar-color='blue'/>", 4,
         "blue"},
        {"chart height", "<report>\n" + fields + "<report-header>\n<chart bars='n' height='2'/>", 4,
         "height"},
        {"line style",
         "<report>\n" + fields + "<report-header><chart bars='n'>\n<line field='n' style='dotted'/>", 4,
         "dotted"},
    };
    for (const Case& c : cases) {
        const auto t = parse(c.xml);
        ASSERT_FALSE(t) << c.what;
        EXPECT_EQ(t.error().kind, FileError::Kind::Malformed) << c.what;
        const QString message = QString::fromStdString(t.error().message);
        EXPECT_TRUE(message.startsWith(QStringLiteral("line %1, column ").arg(c.line))) << c.what << ": " << message_of(t);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.message_part))) << c.what << ": " << message_of(t);
    }
}

TEST(ReportTemplate, GroupsChartsAndExportColumns) {
    const QByteArray xml = R"(<report records="test-areas">
      <fields><field name="g" type="integer"/><field name="v" type="text"/><field name="m" type="text"/></fields>
      <detail>
        <column field="g" show="export"/>
        <group field="g" keep-together="true">
          <header><text>[#g#]</text><grid columns="2"><cell label="G" field="g" prefix="No. " suffix="!"/></grid></header>
          <continued><text>[#g#] (cont.)</text></continued>
          <footer>
            <chart height="30" width="80" align="right" title="T" unit="MPa" bars="v" labels="g" bar-color="#102030">
              <line field="m" label="mean"/><line field="v" style="dash" color="#ABCDEF"/>
            </chart>
          </footer>
        </group>
        <column field="v" show="print"/><column field="m"/>
      </detail></report>)";
    const auto t = parse(xml);
    ASSERT_TRUE(t) << message_of(t);
    EXPECT_EQ(t->records, RecordSource::TestAreas);
    ASSERT_EQ(t->detail.columns.size(), 3u);
    EXPECT_EQ(std::make_pair(t->detail.columns[0].printed, t->detail.columns[0].exported),
              std::make_pair(false, true));
    EXPECT_EQ(std::make_pair(t->detail.columns[1].printed, t->detail.columns[1].exported),
              std::make_pair(true, false));
    EXPECT_EQ(std::make_pair(t->detail.columns[2].printed, t->detail.columns[2].exported),
              std::make_pair(true, true));
    ASSERT_TRUE(t->detail.group);
    const GroupDef& g = *t->detail.group;
    EXPECT_EQ(g.field, 0);
    EXPECT_TRUE(g.keep_together);
    ASSERT_EQ(g.header.size(), 2u);
    ASSERT_TRUE(g.header[1].grid);
    EXPECT_EQ(g.header[1].grid->cells[0].shown("7"), "No. 7!");
    EXPECT_EQ(g.header[1].grid->cells[0].shown(""), "");
    ASSERT_EQ(g.continued.size(), 1u);
    ASSERT_EQ(g.footer.size(), 1u);
    ASSERT_TRUE(g.footer[0].chart);
    const ChartDef& c = *g.footer[0].chart;
    EXPECT_EQ(c.height_mm, 30);
    EXPECT_EQ(c.width_mm, 80);
    EXPECT_EQ(c.align, Align::Right);
    EXPECT_EQ(c.bars, 1);
    EXPECT_EQ(c.labels, 0);
    EXPECT_EQ(c.bar_color, 0x102030u);
    ASSERT_EQ(c.lines.size(), 2u);
    EXPECT_EQ(c.lines[0].field, 2);
    EXPECT_EQ(c.lines[0].label, "mean");
    EXPECT_FALSE(c.lines[0].dashed);
    EXPECT_NE(c.lines[0].color, c.lines[1].color);
    EXPECT_TRUE(c.lines[1].dashed);
    EXPECT_EQ(c.lines[1].color, 0xABCDEFu);
}

TEST(ReportTemplate, AFailedLoadLeavesNoTemplateAndKillsOldHandles) {
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_file(test::shipped_template_path()));
    ReportField field = engine.field_by_name("data_id");
    EXPECT_TRUE(field.is_bound());
    EXPECT_FALSE(engine.field_by_name("no_such_field").is_bound());
    const Result<void> missing = engine.load_from_file(test::shipped_template_path() + ".missing");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, FileError::Kind::CannotOpen);
    EXPECT_FALSE(missing.error().file.empty());
    EXPECT_FALSE(engine.is_loaded());
    EXPECT_FALSE(engine.field_by_name("data_id").is_bound());
    int calls = 0;
    engine.set_fetch_record([&](bool& eof) {
        field.set_integer(1);
        eof = ++calls > 1;
    });
    EXPECT_TRUE(engine.fetch_records().records.empty());  // no template: the loop does not run
    EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace rebound::report
