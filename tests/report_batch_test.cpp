// The batch block and the cores table of the shipped report templates: on
// the pages, in the text file and in the spreadsheet, and absent from a
// project without a batch and without cores.
#include <gtest/gtest.h>

#include <QBuffer>

#include "batch_fixtures.h"
#include "evaluation/spare_texts.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_exports.h"
#include "report/report_layout.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

// As in the command-line test: the ticked components 1 and 3 give n 20,
// m 30.0, S 3.6, fe 24.1; cores at areas 1 to 6 of component 1 give
// delta 3.0, and corrected m 33.0, S 3.6, fe 27.1.
ReboundFile batch_project(bool batch) {
    ReboundFile p = test::batch_fixture_project();
    BatchSettings settings;
    settings.enabled = batch;
    settings.lot_size = 40;
    const std::vector<CoreSample> cores{{0, 0, 22}, {0, 1, 27}, {0, 2, 33}, {0, 3, 38}, {0, 4, 44}, {0, 5, 34}};
    EXPECT_FALSE(write_batch_data(p, settings, cores));
    return p;
}

ReportData fetch(ReportEngine& engine, const ReboundFile& project) {
    std::unique_ptr<ProjectFeed> feed = make_feed(engine.report_template(), project, test::fixed_clock());
    feed->bind(engine);
    engine.set_fetch_record([&feed](bool& eof) { feed->fetch_record(eof); });
    return engine.fetch_records();
}

QStringList text_lines(ReportEngine& engine, const ReboundFile& project) {
    const ReportData data = fetch(engine, project);
    const QByteArray bytes = text_report(engine.report_template(), data);
    return QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
}

QStringList page_texts(ReportEngine& engine, const ReboundFile& project) {
    const ReportData data = fetch(engine, project);
    QStringList texts;
    for (const LaidOutPage& page : lay_out(engine.report_template(), data).pages) {
        for (const PlacedBox& box : page.boxes) texts << box.text;
    }
    return texts;
}

const char* const kTemplates[] = {"rebound_report1.grf", "rebound_record1.grf"};
const char* const kAllTemplates[] = {"rebound_report1.grf", "rebound_record1.grf", "rebound_batch1.grf"};

TEST(ReportBatch, BlockAndCoresInTextExportOfEveryTemplate) {
    for (const char* name : kAllTemplates) {
        SCOPED_TRACE(name);
        ReportEngine engine;
        const Result<void> loaded = engine.load_from_file(test::shipped_template_path(name));
        ASSERT_TRUE(loaded) << loaded.error().message;
        const QStringList lines = text_lines(engine, batch_project(true));
        const QStringList expected = {
            QStringLiteral("批量检测结果"),
            QStringLiteral("批量构件  2 个构件，20 个测区  批总数  40"),
            QStringLiteral("平均值(MPa)  30.0  标准差(MPa)  3.6  k  1.645  推定值(MPa)  24.1"),
            QStringLiteral("批量推定有效"),
            QStringLiteral("抽样提示：抽检构件 2 个，少于批总数 40 个的 30%（至少 12 个）；抽检构件 2 个，少于 10 个"),
            QStringLiteral("芯样修正"),
            QStringLiteral("序号  构件  测区  测区强度(MPa)  芯样强度(MPa)  比值"),
            QStringLiteral("1  构件 1（KZ-1）  1  20.0  22.0  1.100"),
            QStringLiteral("6  构件 1（KZ-1）  6  30.0  34.0  1.133"),
            QStringLiteral("批量：修正量法，芯样 6 个，Δ = 3.0 MPa；修正后平均值 33.0 MPa，标准差 3.6 MPa，推定值 27.1 "
                           "MPa；批量推定有效"),
        };
        for (const QString& line : expected) {
            EXPECT_TRUE(lines.contains(line)) << line.toStdString() << "\nin:\n"
                                              << lines.join(QLatin1Char('\n')).toStdString();
        }
        // The pages print the same figures.
        const QStringList pages = page_texts(engine, batch_project(true));
        for (const char* text : {"24.1", "批量推定有效", "1.133", "构件 1（KZ-1）"}) {
            EXPECT_TRUE(pages.contains(QString::fromUtf8(text))) << text;
        }
    }
}

TEST(ReportBatch, BatchReportListsTheTickedComponentsOnly) {
    ReportEngine engine;
    const Result<void> loaded = engine.load_from_file(test::shipped_template_path("rebound_batch1.grf"));
    ASSERT_TRUE(loaded) << loaded.error().message;
    EXPECT_EQ(engine.report_template().records, RecordSource::BatchComponents);
    const QStringList lines = text_lines(engine, batch_project(true));
    const QString all = lines.join(QLatin1Char('\n'));
    EXPECT_TRUE(all.contains(QStringLiteral("KZ-1")));
    EXPECT_TRUE(all.contains(QStringLiteral("KZ-3")));
    EXPECT_FALSE(all.contains(QStringLiteral("KZ-2"))) << all.toStdString();
    // Rows keep the components' numbers in the project.
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& l) {
        return l.startsWith(QStringLiteral(" 3 ")) || l.startsWith(QStringLiteral("3 "));
    })) << all.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("批量推定有效")));
}

TEST(ReportBatch, ComponentCorrectionWithoutBatch) {
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_file(test::shipped_template_path()));
    const QStringList lines = text_lines(engine, batch_project(false));
    // Component 1 alone: 23 to 43, m 33.0, minimum 23.0, fe 33.0 - 1.645 x 5.27 = 24.33.
    EXPECT_TRUE(lines.contains(QStringLiteral(
        "构件 1（KZ-1）：修正量法，芯样 6 个，Δ = 3.0 MPa；修正后平均值 33.0 MPa，最小值 23.0 MPa，推定值 24.3 MPa")))
        << lines.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(lines.join(QString()).contains(QStringLiteral("批量检测结果")));
}

TEST(ReportBatch, NothingOfItWithoutBatchOrCores) {
    for (const char* name : kTemplates) {
        SCOPED_TRACE(name);
        ReportEngine engine;
        ASSERT_TRUE(engine.load_from_file(test::shipped_template_path(name)));
        const ReboundFile plain = test::sample_project(3);
        const QString text = text_lines(engine, plain).join(QLatin1Char('\n'));
        const QString pages = page_texts(engine, plain).join(QLatin1Char('\n'));
        for (const QString& all : {text, pages}) {
            EXPECT_FALSE(all.contains(QStringLiteral("批量"))) << all.toStdString();
            EXPECT_FALSE(all.contains(QStringLiteral("芯样")));
        }
    }
}

TEST(ReportBatch, SpreadsheetCarriesTheFigures) {
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_file(test::shipped_template_path()));
    const ReportData data = fetch(engine, batch_project(true));
    const xls::Workbook book = excel_workbook(engine.report_template(), data);
    QStringList texts;
    for (const xls::Cell& cell : book.cells) texts << cell.text;
    for (const char* text : {"批量推定有效", "24.1", "1.133", "27.1"}) {
        EXPECT_TRUE(std::any_of(texts.begin(), texts.end(),
                                [&](const QString& t) { return t.contains(QString::fromUtf8(text)); }))
            << text;
    }
}

TEST(ReportBatch, WhenAndRepeatOnlyInTheFooterAndOnDeclaredFields) {
    const auto read = [](const char* footer, const char* header) {
        const QByteArray xml = QByteArray(R"(<report><fields><field name="a" type="text"/></fields>)") +
                               "<report-header>" + header + "</report-header>" + "<report-footer>" + footer +
                               "</report-footer></report>";
        QBuffer buffer;
        buffer.setData(xml);
        buffer.open(QIODevice::ReadOnly);
        const Result<ReportTemplate> t = read_template(buffer);
        return t ? std::string() : t.error().message;
    };
    EXPECT_EQ(read(R"(<text when="a">[#a#]</text><row repeat="a"><text>[#a#]</text></row>)", ""), "");
    EXPECT_NE(read(R"(<text when="b">x</text>)", ""), "");
    EXPECT_NE(read(R"(<row><text when="a">x</text></row>)", ""), "");
    EXPECT_NE(read("", R"(<text when="a">x</text>)"), "");
}

}  // namespace
}  // namespace rebound::report
