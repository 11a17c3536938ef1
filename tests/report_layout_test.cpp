// The record loop and the pagination of the shipped test report.
#include "report/report_layout.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <algorithm>

#include "platform/dates.h"
#include "report/report_engine.h"
#include "report/report_feed.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

[[maybe_unused]] auto* const kGui = ::testing::AddGlobalTestEnvironment(new test::GuiEnvironment);

const QByteArray kSmallTemplate =
    "<report><fields><field name='n' type='integer'/><field name='t' type='text'/></fields>"
    "<detail><column field='n'/><column field='t'/></detail></report>";

TEST(ReportRecordLoop, OnlyRecordsLeftWithEofFalseAreKept) {
    struct Case {
        const char* what;
        int records_wanted;  // the callback ends the data on call records_wanted + 1
        bool fill_last;      // values set in the call that ends the data
    };
    const Case cases[] = {
        {"no records", 0, false}, {"ending call fills values", 2, true}, {"five", 5, false}};
    for (const Case& c : cases) {
        ReportEngine engine;
        ASSERT_TRUE(engine.load_from_data(kSmallTemplate));
        const ReportField n = engine.field_by_name("n");
        const ReportField t = engine.field_by_name("t");
        int calls = 0;
        std::vector<bool> eof_seen;
        engine.set_fetch_record([&](bool& eof) {
            eof_seen.push_back(eof);
            ++calls;
            if (calls > c.records_wanted) {
                if (c.fill_last) n.set_integer(-1);
                eof = true;
                return;
            }
            n.set_integer(calls);
            if (calls % 2 == 0) t.set_text(QStringLiteral("even"));
            eof = false;
        });
        const ReportData data = engine.fetch_records();
        ASSERT_EQ(static_cast<int>(data.records.size()), c.records_wanted) << c.what;
        EXPECT_EQ(calls, c.records_wanted + 1) << c.what;
        EXPECT_TRUE(eof_seen.front()) << "the flag starts true";
        for (int i = 0; i < c.records_wanted; ++i) {
            EXPECT_EQ(data.records[i][0].integer, i + 1);
            // Each record starts empty: nothing carries over from the one before.
            EXPECT_EQ(data.records[i][1].kind,
                      (i + 1) % 2 == 0 ? FieldValue::Kind::Text : FieldValue::Kind::Unset);
        }
    }
}

TEST(ReportRecordLoop, ACallbackThatNeverEndsTheDataIsStopped) {
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_data(kSmallTemplate));
    int calls = 0;
    engine.set_fetch_record([&](bool& eof) {
        ++calls;
        eof = false;
    });
    EXPECT_EQ(static_cast<int>(engine.fetch_records().records.size()), ReportEngine::kMaxRecords);
    EXPECT_EQ(calls, ReportEngine::kMaxRecords);
}

class ShippedReportLayout : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(engine.load_from_file(test::shipped_template_path()));
    }

    ReportLayout lay_out_project(const ReboundFile& project) {
        ReportFeed feed(project, test::fixed_clock());
        feed.bind(engine);
        engine.set_fetch_record([&](bool& eof) { feed.fetch_record(eof); });
        data = engine.fetch_records();
        return lay_out(engine.report_template(), data);
    }

    ReportEngine engine;
    ReportData data;
};

std::vector<const PlacedBox*> boxes_of(const LaidOutPage& page, BoxRole role) {
    std::vector<const PlacedBox*> out;
    for (const PlacedBox& b : page.boxes) {
        if (b.role == role) out.push_back(&b);
    }
    return out;
}

TEST_F(ShippedReportLayout, EveryPageHasTheTitleRowAndPageXOfY) {
    for (int components : {1, 30, 300}) {
        SCOPED_TRACE(components);
        const ReboundFile project = test::sample_project(components);
        const ReportLayout layout = lay_out_project(project);
        const ReportTemplate& t = engine.report_template();
        const int pages = static_cast<int>(layout.pages.size());
        if (components == 1) {
            EXPECT_EQ(pages, 1);
        } else if (components == 300) {
            EXPECT_GE(pages, 8);
        }
        const double body_bottom = t.page.height_mm - t.page.bottom_mm - t.page_footer_height_mm;
        int next_record = 0;
        for (int p = 0; p < pages; ++p) {
            SCOPED_TRACE(p + 1);
            const LaidOutPage& page = layout.pages[p];
            const auto titles = boxes_of(page, BoxRole::ColumnTitle);
            ASSERT_EQ(titles.size(), 7u);
            EXPECT_EQ(titles[1]->text, QString::fromUtf8("构件名称"));
            const auto footer = boxes_of(page, BoxRole::PageFooter);
            ASSERT_EQ(footer.size(), 1u);
            EXPECT_EQ(footer[0]->text, QString::fromUtf8("第 %1 页 共 %2 页").arg(p + 1).arg(pages));
            EXPECT_EQ(boxes_of(page, BoxRole::HeaderValue).empty(), p > 0)
                << "header block on the first page only";
            double last_top = titles[0]->rect_mm.bottom() - 1e-6;
            for (const PlacedBox* cell : boxes_of(page, BoxRole::Cell)) {
                EXPECT_LE(cell->rect_mm.bottom(), body_bottom + 1e-6);
                EXPECT_GE(cell->rect_mm.top(), titles[0]->rect_mm.bottom() - 1e-6);
                if (cell->rect_mm.left() == titles[0]->rect_mm.left()) {  // first cell of a row
                    EXPECT_EQ(cell->record, next_record);
                    EXPECT_EQ(cell->text, QString::number(next_record + 1));
                    EXPECT_GE(cell->rect_mm.top(), last_top);
                    last_top = cell->rect_mm.bottom() - 1e-6;
                    ++next_record;
                }
            }
        }
        EXPECT_EQ(next_record, components) << "every component exactly once, in order";
        // The signature lines come once, after the table, on the last page.
        int signatures = 0;
        for (int p = 0; p < pages; ++p) {
            for (const PlacedBox& b : layout.pages[p].boxes) {
                if (b.text == QString::fromUtf8("审核：")) {
                    ++signatures;
                    EXPECT_EQ(p, pages - 1);
                }
            }
        }
        EXPECT_EQ(signatures, 1);
    }
}

// The closing block (note, signatures, end mark) never stands on a page of
// its own: at every page boundary the last rows go along with it, and the
// report ends with "（以下空白）" under its last line.
TEST_F(ShippedReportLayout, TheClosingBlockTravelsWithTheLastRowsAndEndsTheReport) {
    const ReportTemplate& t = engine.report_template();
    const double body_bottom = t.page.height_mm - t.page.bottom_mm - t.page_footer_height_mm;
    int moved = 0;
    for (int components = 1; components <= 70; ++components) {
        SCOPED_TRACE(components);
        const ReportLayout layout = lay_out_project(test::sample_project(components));
        const LaidOutPage& last = layout.pages.back();
        const auto cells = boxes_of(last, BoxRole::Cell);
        EXPECT_FALSE(cells.empty()) << "the closing block is on a page without rows";
        if (layout.pages.size() > 1 && cells.size() <= 7u * 3u) ++moved;
        const PlacedBox* lowest = nullptr;
        const PlacedBox* signature = nullptr;
        for (const PlacedBox& b : last.boxes) {
            if (b.role == BoxRole::PageFooter || b.role == BoxRole::PageHeader) continue;
            if (lowest == nullptr || b.rect_mm.top() >= lowest->rect_mm.top()) lowest = &b;
            if (b.text == QString::fromUtf8("审核：")) signature = &b;
            EXPECT_LE(b.rect_mm.bottom(), body_bottom + 1e-6);
        }
        ASSERT_NE(lowest, nullptr);
        ASSERT_NE(signature, nullptr);
        EXPECT_EQ(lowest->text, QString::fromUtf8("（以下空白）"));
        // Nothing of the report is left out by the move.
        int rows = 0;
        for (const LaidOutPage& page : layout.pages) rows += static_cast<int>(boxes_of(page, BoxRole::Cell).size()) / 7;
        EXPECT_EQ(rows, components);
    }
    EXPECT_GT(moved, 0) << "no count of components put the closing block at a page boundary";
}

// Every shipped template, the record sheet and the fit report among them,
// ends with the end mark under its last line.
TEST(ShippedTemplates, EveryReportEndsWithTheEndMark) {
    for (const char* name : {"rebound_report1.grf", "rebound_batch1.grf", "rebound_record1.grf", "curve_fit1.grf"}) {
        SCOPED_TRACE(name);
        ReportEngine engine;
        ASSERT_TRUE(engine.load_from_file(test::shipped_template_path(name)));
        const ReportTemplate& t = engine.report_template();
        ASSERT_FALSE(t.report_footer.empty());
        const Band& last = t.report_footer.back();
        ASSERT_EQ(last.boxes.size(), 1u);
        EXPECT_EQ(last.boxes[0].text, QString::fromUtf8("（以下空白）"));
        EXPECT_GT(t.footer_keep_rows, 0);
        EXPECT_TRUE(std::any_of(t.report_footer.begin(), t.report_footer.end(), [](const Band& b) { return b.keep; }));
    }
}

// Rows repeated per line of a field run over pages with their title row
// above them on every page, and the title never stays behind alone.
TEST(FooterLayout, RepeatedRowsRepeatTheirHeadingOnEveryPage) {
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_data(
        "<report><fields><field name='core' type='text'/></fields>"
        "<page size='A5' top='10' bottom='10'/>"
        "<report-footer>"
        "<spacer height='120'/>"
        "<row height='7' heads='core'><text>HEAD</text></row>"
        "<row height='6' repeat='core'><text>[#core#]</text></row>"
        "<text>END</text>"
        "</report-footer></report>"));
    QStringList lines;
    for (int i = 1; i <= 60; ++i) lines << QStringLiteral("core %1").arg(i);
    const ReportField core = engine.field_by_name(QStringLiteral("core"));
    int calls = 0;
    engine.set_fetch_record([&](bool& eof) {
        eof = calls++ > 0;
        if (!eof) core.set_text(lines.join(QLatin1Char('\n')));
    });
    const ReportData data = engine.fetch_records();
    const ReportLayout layout = lay_out(engine.report_template(), data);
    ASSERT_GE(layout.pages.size(), 3u);
    int seen = 0;
    for (std::size_t p = 0; p < layout.pages.size(); ++p) {
        SCOPED_TRACE(p);
        QStringList texts;
        for (const PlacedBox& b : layout.pages[p].boxes) texts << b.text;
        const qsizetype first_row = texts.indexOf(QRegularExpression(QStringLiteral("^core \\d+$")));
        if (first_row < 0) continue;
        ASSERT_GT(first_row, 0);
        EXPECT_EQ(texts[first_row - 1], QStringLiteral("HEAD")) << "rows without their heading";
        for (const QString& t : texts) seen += t.startsWith(QStringLiteral("core ")) ? 1 : 0;
        // A heading on a page is followed by rows on that page.
        EXPECT_NE(texts.last(), QStringLiteral("HEAD"));
    }
    EXPECT_EQ(seen, 60);
}

TEST_F(ShippedReportLayout, ProjectWithoutComponentsPrintsAnEmptyHeaderAndTable) {
    const ReportLayout layout = lay_out_project(ReboundFile{});
    ASSERT_EQ(layout.pages.size(), 1u);
    EXPECT_EQ(boxes_of(layout.pages[0], BoxRole::ColumnTitle).size(), 7u);
    EXPECT_TRUE(boxes_of(layout.pages[0], BoxRole::Cell).empty());
    for (const PlacedBox* v : boxes_of(layout.pages[0], BoxRole::HeaderValue)) EXPECT_TRUE(v->text.isEmpty());
}

TEST_F(ShippedReportLayout, LongTextsWrapAndGrowTheirRow) {
    ReboundFile project = test::sample_project(2);
    project.components[0].component_name =
        test::gbk("三号楼第十二层北侧楼梯间与电梯井之间的框架梁及其两端节点区域的混凝土构件");
    const ReportLayout layout = lay_out_project(project);
    const auto cells = boxes_of(layout.pages[0], BoxRole::Cell);
    ASSERT_EQ(cells.size(), 14u);
    const double normal = engine.report_template().detail.row_height_mm;
    EXPECT_GT(cells[0]->rect_mm.height(), normal * 1.5);
    EXPECT_DOUBLE_EQ(cells[7]->rect_mm.height(), normal);
}

TEST_F(ShippedReportLayout, PagesRenderOntoAnImage) {
    const ReportLayout layout = lay_out_project(test::sample_project(3));
    QImage image(static_cast<int>(layout.width_mm / 25.4 * 96),
                 static_cast<int>(layout.height_mm / 25.4 * 96), QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    ASSERT_TRUE(render_pages(image, engine.report_template(), layout, 0, 0));
    // Ink in the title band and inside the table, none in the margins.
    auto ink = [&](double x0, double y0, double x1, double y1) {
        int dark = 0;
        for (int y = int(y0 * 3.78); y < int(y1 * 3.78); ++y) {
            for (int x = int(x0 * 3.78); x < int(x1 * 3.78); ++x) dark += qGray(image.pixel(x, y)) < 128;
        }
        return dark;
    };
    EXPECT_GT(ink(20, 20, 195, 45), 100);
    EXPECT_EQ(ink(0, 0, 19, 297), 0);
    EXPECT_EQ(ink(196, 0, 210, 297), 0);
}

// Drawing reports each page as it is done and stops where the progress
// says so: a cancelled PDF is no PDF at all, never a short one.
TEST_F(ShippedReportLayout, DrawingReportsProgressAndStopsWhenTold) {
    const ReportLayout layout = lay_out_project(test::sample_project(120));
    const int pages = static_cast<int>(layout.pages.size());
    ASSERT_GE(pages, 3);
    std::vector<int> told;
    const QByteArray whole = render_pdf(engine.report_template(), layout, [&](int done) {
        told.push_back(done);
        return true;
    });
    EXPECT_TRUE(whole.startsWith("%PDF"));
    ASSERT_EQ(static_cast<int>(told.size()), pages);
    for (int i = 0; i < pages; ++i) EXPECT_EQ(told[static_cast<std::size_t>(i)], i + 1);

    told.clear();
    const QByteArray stopped = render_pdf(engine.report_template(), layout, [&](int done) {
        told.push_back(done);
        return done < 2;
    });
    EXPECT_TRUE(stopped.isEmpty());
    EXPECT_EQ(told, (std::vector<int>{1, 2}));
}

}  // namespace
}  // namespace rebound::report
