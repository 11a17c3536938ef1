// The fit report of a strength curve: its feed on the shipped template, the
// scatter chart with the line of equality, the PDF read back by independent
// readers, and rebound-cli curve fit --report.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <set>

#include "evaluation/curve_fit.h"
#include "report/curve_fit_feed.h"
#include "report/report_engine.h"
#include "report/report_layout.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

const std::vector<CurvePair> kPairs = {{25.0, 1.0, 16.8}, {30.0, 2.0, 21.5}, {35.0, 1.0, 31.0},
                                       {40.0, 3.0, 33.9}, {45.0, 2.0, 45.2}, {50.0, 3.0, 51.0}};

class FitReport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const Result<void> loaded = engine.load_from_file(test::shipped_template_path("curve_fit1.grf"));
        ASSERT_TRUE(loaded) << loaded.error().message;
        const CurveFitOutcome outcome = fit_curve(kPairs);
        ASSERT_TRUE(outcome.fit);
        content = CurveFitReport{kPairs, *outcome.fit, CurveKind::Special, QStringLiteral("lab.cur")};
        feed = std::make_unique<CurveFitFeed>(content, test::fixed_clock());
        feed->bind(engine);
        engine.set_fetch_record([this](bool& eof) { feed->fetch_record(eof); });
    }
    const ReportTemplate& t() const { return engine.report_template(); }
    QString value(const Record& r, const char* name) const {
        const int field = t().field_index(QString::fromLatin1(name));
        EXPECT_GE(field, 0) << name;
        if (field < 0 || r[field].kind == FieldValue::Kind::Unset) return QStringLiteral("<unset>");
        return r[field].display();
    }

    QTemporaryDir dir;
    ReportEngine engine;
    CurveFitReport content;
    std::unique_ptr<CurveFitFeed> feed;
};

TEST_F(FitReport, TemplateDeclaresExactlyTheFeedsFields) {
    EXPECT_EQ(t().records, RecordSource::CurvePairs);
    std::set<QString> declared;
    for (const FieldDef& f : t().fields) declared.insert(f.name);
    const std::vector<QString>& fed = CurveFitFeed::field_names();
    EXPECT_EQ(declared, std::set<QString>(fed.begin(), fed.end()));
}

TEST_F(FitReport, OneRecordPerPairWithTheFiguresInTheFirst) {
    const ReportData data = engine.fetch_records();
    ASSERT_EQ(data.records.size(), kPairs.size());
    const Record& first = data.records[0];
    EXPECT_EQ(value(first, "formula"), QStringLiteral("f = 0.0504413 × Rm^1.82756 × 10^(-0.0337589 × dm)"));
    EXPECT_EQ(value(first, "pair_count"), "6");
    EXPECT_EQ(value(first, "correlation"), "1.0000");
    EXPECT_EQ(value(first, "delta"), "0.29");
    EXPECT_EQ(value(first, "er"), "0.36");
    EXPECT_EQ(value(first, "limit_delta"), "12.0");
    EXPECT_EQ(value(first, "limit_er"), "14.0");
    // Six pairs fit well but are too few to accept a curve.
    EXPECT_EQ(value(first, "verdict"), QStringLiteral("不合格：只有 6 组数据，少于曲线合格所需的 30 组"));
    EXPECT_EQ(value(first, "curve_kind"), QStringLiteral("专用测强曲线"));
    EXPECT_EQ(value(first, "curve_file"), "lab.cur");
    EXPECT_EQ(value(first, "rm_range"), QStringLiteral("25.0 ～ 50.0"));
    EXPECT_EQ(value(first, "strength_range"), QStringLiteral("16.8 ～ 51.0"));
    // Every pair: its number, figures, f-hat and relative error.
    const char* fitted[] = {"16.7", "21.6", "31.0", "33.8", "45.4", "50.9"};
    const char* errors[] = {"-0.34", "0.54", "-0.10", "-0.19", "0.34", "-0.25"};
    for (std::size_t i = 0; i < kPairs.size(); ++i) {
        const Record& r = data.records[i];
        EXPECT_EQ(value(r, "pair_no"), QString::number(i + 1));
        EXPECT_EQ(value(r, "strength"), QString::number(kPairs[i].strength, 'f', 1));
        EXPECT_EQ(value(r, "fitted"), fitted[i]) << i;
        EXPECT_EQ(value(r, "relative_error"), errors[i]) << i;
        if (i > 0) {
            EXPECT_EQ(value(r, "formula"), "<unset>");
        }
    }

    // A curve that misses the limits says so.
    content.fit.delta_percent = 12.5;
    feed->bind(engine);
    EXPECT_TRUE(value(engine.fetch_records().records[0], "verdict").startsWith(QStringLiteral("不合格")));
}

TEST_F(FitReport, ChartPlacesOnePointPerPairAtMeasuredAndCurveStrength) {
    const ReportLayout layout = lay_out(t(), engine.fetch_records());
    std::vector<const PlacedChart*> charts;
    for (const LaidOutPage& page : layout.pages) {
        for (const PlacedChart& c : page.charts) charts.push_back(&c);
    }
    ASSERT_EQ(charts.size(), 1u);
    EXPECT_TRUE(charts[0]->def.equality);
    ASSERT_EQ(charts[0]->points.size(), kPairs.size());
    for (std::size_t i = 0; i < kPairs.size(); ++i) {
        EXPECT_DOUBLE_EQ(charts[0]->points[i].x(), kPairs[i].strength);
        EXPECT_DOUBLE_EQ(charts[0]->points[i].y(), QString::number(content.fit.fitted[i], 'f', 1).toDouble());
    }
}

// The line of equality is a vector path from the lower left to the upper
// right corner of a square plot, in the line colour.
TEST_F(FitReport, LineOfEqualityIsAVectorPathInThePdf) {
    const QString pdf = dir.filePath(QStringLiteral("fit.pdf"));
    ASSERT_TRUE(engine.export_pdf(pdf));
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(pdf);
    const QString svg = dir.filePath(QStringLiteral("fit.svg"));
    ASSERT_TRUE(test::run_program("pdftocairo", {"-svg", "-f", "1", "-l", "1", pdf, svg}));
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content_svg = QString::fromUtf8(file.readAll());
    static const QRegularExpression path_re(
        QStringLiteral("<path style=\"[^\"]*stroke:rgb\\(75\\.[0-9]*%,31\\.[0-9]*%,30\\.[0-9]*%\\)[^\"]*\" "
                       "d=\"M (-?[\\d.]+) (-?[\\d.]+) L (-?[\\d.]+) (-?[\\d.]+) \""));
    bool diagonal = false;
    for (auto it = path_re.globalMatch(content_svg); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const double dx = m.captured(3).toDouble() - m.captured(1).toDouble();
        const double dy = m.captured(4).toDouble() - m.captured(2).toDouble();
        diagonal |= dx > 50 && std::abs(dx + dy) < 0.5;  // up to the right at 45 degrees
    }
    EXPECT_TRUE(diagonal) << "no line of equality in the chart";

    const auto text = test::run_program("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text);
    const QString words = QString::fromUtf8(*text).simplified();
    EXPECT_TRUE(words.contains(QStringLiteral("测强曲线拟合报告")));
    EXPECT_TRUE(words.contains(QStringLiteral("4 40.0 3.0 33.9 33.8 -0.19"))) << words.toStdString();
}

TEST(FitReportCli, CurveFitWritesTheReportBesideTheCurve) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("report")));
    ASSERT_TRUE(QFile::copy(test::shipped_template_path("curve_fit1.grf"),
                            dir.filePath(QStringLiteral("report/curve_fit1.grf"))));
    QFile pairs(dir.filePath(QStringLiteral("pairs.csv")));
    ASSERT_TRUE(pairs.open(QIODevice::WriteOnly));
    pairs.write(QByteArray::fromStdString(pairs_csv_text(kPairs)));
    pairs.close();
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command chooses the offscreen platform itself
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(REBOUND_CLI_PATH),
            {"curve", "fit", "pairs.csv", "-o", "lab.cur", "--report", "fit.pdf", "--recommended-pairs", "6"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    // Six pairs: written and reported, but not accepted.
    EXPECT_TRUE(p.readAllStandardError().startsWith("rebound-cli: warning: the curve is not accepted"));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("lab.cur"))));
    const QString pdf = dir.filePath(QStringLiteral("fit.pdf"));
    ASSERT_TRUE(QFile::exists(pdf));
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(pdf);
    const auto text = test::run_program("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text);
    const QString words = QString::fromUtf8(*text).simplified();
    EXPECT_TRUE(words.contains(QStringLiteral("lab.cur")));
    EXPECT_TRUE(words.contains(QStringLiteral("0.29 %"))) << words.toStdString();
}

// The report command fills projects; the fit report's template is refused
// with a hint instead of printing an empty report.
TEST(FitReportCli, ReportCommandRefusesTheFitTemplate) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::sample_project(1).save(platform::to_path(dir.filePath(QStringLiteral("site.prj")))));
    QProcess p;
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(REBOUND_CLI_PATH),
            {"report", "site.prj", "--template", test::shipped_template_path("curve_fit1.grf"), "--pdf", "x.pdf"});
    ASSERT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("'rebound-cli curve fit --report' writes it"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));
}

}  // namespace
}  // namespace rebound::report
