// rebound-cli report: the same feed and engine as the window, without windows.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "locale_support.h"
#include "report_fixtures.h"

namespace rebound::test {
namespace {

struct CliRun {
    int status = -1;
    QString err;
};

CliRun run_cli(const QStringList& args, const QString& folder, const QString& locale = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the command chooses the offscreen platform itself
    if (!locale.isEmpty()) env.insert(QStringLiteral("LC_ALL"), locale);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(REBOUND_CLI_PATH), QStringList{QStringLiteral("report")} + args);
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardError())};
}

TEST(ReportCli, WritesEachKindOfFileWithTheTemplateBelowTheCurrentFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("report")));
    ASSERT_TRUE(
        QFile::copy(shipped_template_path(), dir.filePath(QStringLiteral("report/rebound_report1.grf"))));
    const ReboundFile project = sample_project(4);
    ASSERT_TRUE(project.save(platform::to_path(dir.filePath(QStringLiteral("site.prj")))));

    struct Case {
        const char* option;
        const char* out;
        QByteArray starts;
    };
    const Case cases[] = {{"--pdf", "r.pdf", "%PDF-"},
                          {"--text", "r.txt", "\xEF\xBB\xBF"},
                          {"--xls", "r.xls", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"}};
    for (const Case& c : cases) {
        const CliRun r =
            run_cli({QStringLiteral("site.prj"), QString::fromLatin1(c.option), QString::fromLatin1(c.out)},
                    dir.path());
        EXPECT_EQ(r.status, 0) << c.option << ": " << r.err.toStdString();
        QFile f(dir.filePath(QString::fromLatin1(c.out)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.out;
        EXPECT_TRUE(f.readAll().startsWith(c.starts)) << c.out;
    }
    QFile text(dir.filePath(QStringLiteral("r.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(text.readAll());
    for (const ComponentInfo& comp : project.components) {
        EXPECT_TRUE(content.contains(platform::to_qstring(comp.component_name)));
    }
}

// The template names the feed: the record sheet's template gives one row
// per test area, with no option of its own.
TEST(ReportCli, WritesTheTestRecordSheetWithItsTemplate) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("report")));
    ASSERT_TRUE(
        QFile::copy(record_template_path(), dir.filePath(QStringLiteral("report/rebound_record1.grf"))));
    const ReboundFile project = record_project();
    ASSERT_TRUE(project.save(platform::to_path(dir.filePath(QStringLiteral("site.prj")))));
    for (const auto& [option, out] : {std::pair{"--pdf", "r.pdf"}, std::pair{"--text", "r.txt"}}) {
        const CliRun r =
            run_cli({"site.prj", "--template", "report/rebound_record1.grf", option, out}, dir.path());
        EXPECT_EQ(r.status, 0) << option << ": " << r.err.toStdString();
    }
    // The first area's row: its number and readings 20 to 35.
    REBOUND_SKIP_PDF_READBACK_ON_WINDOWS(dir.filePath(QStringLiteral("r.pdf")));
    const auto pdf = run_program("pdftotext", {"-layout", dir.filePath(QStringLiteral("r.pdf")), "-"});
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->simplified().contains("1 20 21 22 23 24 25 26 27 28 29 30 31 32 33 34 35 -.- 36.3"));
    QFile text(dir.filePath(QStringLiteral("r.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    int rows = 0;
    for (const QByteArray& line : text.readAll().split('\n')) {
        const QByteArray words = line.simplified();
        rows += words.startsWith("1 ") || words.startsWith("2 ");
    }
    EXPECT_EQ(rows, 5) << "one row per test area";
}

TEST(ReportCli, ProjectsAndReportsNamedOutsideTheCodePage) {
    // Chinese and emoji names for the folder, the project and every output,
    // and a template given by such a name.
    QTemporaryDir tmp;
    const QString folder = tmp.filePath(QString::fromUtf8("检测 😀"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QDir dir(folder);
    ASSERT_TRUE(QFile::copy(shipped_template_path(), dir.filePath(QString::fromUtf8("模板 😀.grf"))));
    const ReboundFile project = sample_project(2);
    ASSERT_TRUE(project.save(platform::to_path(dir.filePath(QString::fromUtf8("工程 😀.prj")))));
    const std::pair<const char*, const char*> outputs[] = {
        {"--pdf", "报告 😀.pdf"}, {"--text", "报告 😀.txt"}, {"--xls", "报告 😀.xls"}};
    for (const auto& [option, name] : outputs) {
        const QString out = QString::fromUtf8(name);
        const CliRun r = run_cli({QString::fromUtf8("工程 😀.prj"), QStringLiteral("--template"),
                                  QString::fromUtf8("模板 😀.grf"), QString::fromLatin1(option), out},
                                 folder);
        EXPECT_EQ(r.status, 0) << option << ": " << r.err.toStdString();
        EXPECT_GT(QFileInfo(dir.filePath(out)).size(), 0) << out.toStdString();
    }
    QFile text(dir.filePath(QString::fromUtf8("报告 😀.txt")));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(text.readAll()).contains(platform::to_qstring(project.project_name)));
}

TEST(ReportCli, Failures) {
    QTemporaryDir dir;
    ASSERT_TRUE(sample_project(1).save(platform::to_path(dir.filePath(QStringLiteral("site.prj")))));
    QFile broken(dir.filePath(QStringLiteral("broken.grf")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("<report>\n<fields>\n<field name='a' type='date'/>\n</fields>\n</report>\n");
    broken.close();

    struct Case {
        const char* what;
        QStringList args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"no template below the folder", {"site.prj", "--pdf", "r.pdf"}, 1, "rebound_report1.grf"},
        {"broken template", {"site.prj", "--template", "broken.grf", "--text", "r.txt"}, 1, "line 3, column"},
        {"missing project", {"none.prj", "--template", "broken.grf", "--pdf", "r.pdf"}, 1, "none.prj"},
        {"two outputs", {"site.prj", "--pdf", "a.pdf", "--xls", "b.xls"}, 2, "exactly one"},
        {"no output", {"site.prj"}, 2, "exactly one"},
    };
    for (const Case& c : cases) {
        const CliRun r = run_cli(c.args, dir.path());
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << c.what << ": " << r.err.toStdString();
    }
    EXPECT_EQ(QDir(dir.path())
                  .entryList({QStringLiteral("*.pdf"), QStringLiteral("*.txt"), QStringLiteral("*.xls")},
                             QDir::Files),
              QStringList());
}

TEST(ReportCli, FiguresUseAPointUnderACommaLocaleAndNamesKeepTheirCharacters) {
    // The tool started under a German or French desktop, on a project and
    // template in a folder named in Chinese with an emoji.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QString::fromUtf8("工程😀"));
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/report")));
    ASSERT_TRUE(QFile::copy(shipped_template_path(), folder + QStringLiteral("/report/rebound_report1.grf")));
    ReboundFile project = sample_project(2);
    project.components[1].strength_avg = 33.8f;
    const QString project_file = folder + QString::fromUtf8("/工地😀.prj");
    ASSERT_TRUE(project.save(platform::to_path(project_file)));
    for (const char* name : kCommaLocales) {
        SCOPED_TRACE(name);
        ScopedLocale available(name);
        ASSERT_EQ(available.error(), "");
        const QString text = folder + QString::fromUtf8("/报告😀.txt");
        const QString xls = folder + QString::fromUtf8("/报告😀.xls");
        for (const QString& out : {text, xls}) {
            const QString option = out.endsWith(QLatin1String(".txt")) ? "--text" : "--xls";
            const CliRun r = run_cli({project_file, option, out}, folder, QString::fromLatin1(name));
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
        }
        QFile file(text);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(content.contains(QStringLiteral("33.8"))) << content.toStdString();
        EXPECT_FALSE(content.contains(QStringLiteral("33,8"))) << content.toStdString();
#ifndef _WIN32
        // The spreadsheet's strength cells are numbers.
        const auto cells = run_program(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral(
                 "import sys, xlrd\n"
                 "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
                 "print(sorted(s.cell(r, c).value for r in range(s.nrows) for c in range(s.ncols)\n"
                 "             if s.cell(r, c).ctype == xlrd.XL_CELL_NUMBER and s.cell(r, c).value > 30))"),
             xls});
        ASSERT_TRUE(cells);
        EXPECT_TRUE(cells->contains("33.8")) << cells->toStdString();
        EXPECT_TRUE(cells->contains("30.2")) << cells->toStdString();  // the first component's mean, 30.25
#endif
    }
}

}  // namespace
}  // namespace rebound::test
