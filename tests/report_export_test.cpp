// The report's files read back by independent readers: the PDF by pdftotext
// and pdffonts, the spreadsheet by libfreexl and by python3-xlrd, the text
// file byte for byte. The spreadsheet readers are Linux programs: on Windows
// the spreadsheets are written but not read back.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <freexl.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>

#include "locale_support.h"
#include "platform/dates.h"
#include "report/record_feed.h"
#include "report/report_engine.h"
#include "report/report_exports.h"
#include "report/report_feed.h"
#include "report/xls_writer.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

class ReportExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(engine.load_from_file(test::shipped_template_path()));
    }
    void feed_project(const ReboundFile& project) {
        feed = std::make_unique<ReportFeed>(project, test::fixed_clock());
        feed->bind(engine);
        engine.set_fetch_record([this](bool& eof) { feed->fetch_record(eof); });
    }

    QTemporaryDir dir;
    ReportEngine engine;
    std::unique_ptr<ReportFeed> feed;
};

QString u(const std::string& ansi) {
    return platform::to_qstring(ansi);
}

TEST_F(ReportExport, PdfTextIsEveryHeaderValueAndEveryComponentFigure) {
    const ReboundFile project = test::sample_project(3);
    feed_project(project);
    const QString path = dir.filePath("report.pdf");
    const Result<void> written = engine.export_pdf(path);
    ASSERT_TRUE(written) << (written ? std::string() : written.error().message);
#ifdef _WIN32
    ASSERT_GT(QFileInfo(path).size(), 0);
    GTEST_SKIP() << "pdftotext and pdffonts, which read the PDF back, are Linux programs that this Windows "
                    "build cannot start; scripts/windows/check.sh reads a PDF written under Windows";
#endif

    const auto out = test::run_program("pdftotext", {"-enc", "UTF-8", path, "-"});
    ASSERT_TRUE(out);
    QString text = QString::fromUtf8(*out);
    text.remove(QLatin1Char(' '));  // words may come out spaced; the characters must not change
    const std::vector<QString> header = {
        u(project.project_name),
        u(project.report_serial),
        u(project.agent_unit),
        QStringLiteral("2026-12-10"),  // the report date, in the reports' one form
        u(project.constructor_unit),
        u(project.components[0].examine_date),  // an ISO date already
        u(project.agent_date),
        u(project.design_unit),
        u(project.supervision_unit),
        u(project.components[0].device_serial),
        u(project.examine_basis),
        u(project.examine_serial),
        u(project.project_address),
        u(project.examine_condition),
        u(project.concrete_producer),
    };
    for (QString value : header) {
        value.remove(QLatin1Char(' '));
        EXPECT_TRUE(text.contains(value)) << value.toStdString();
    }
    for (const char* label : {"回弹法检测混凝土抗压强度报告", "工程名称", "混凝土生产单位", "检测：",
                              "审核：", "批准：", "第1页共1页"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(label))) << label;
    }
    for (const ComponentInfo& c : project.components) {
        EXPECT_TRUE(text.contains(u(c.component_name))) << u(c.component_name).toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("C%1").arg(20 + 5 * c.strength_degree)));
        for (float v : {c.strength_avg, c.strength_min, c.strength_delta, c.strength_estimate}) {
            EXPECT_TRUE(text.contains(ReportFeed::strength_text(v))) << v;
        }
    }

    // The Song-style face is embedded, so the extracted characters are the printed ones.
    const auto fonts = test::run_program("pdffonts", {path});
    ASSERT_TRUE(fonts);
    EXPECT_TRUE(fonts->contains("UMing")) << fonts->toStdString();
    const QList<QByteArray> lines = fonts->trimmed().split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) {  // after the two heading lines
        EXPECT_TRUE(lines[i].contains("UMing") && lines[i].contains(" yes ")) << lines[i].toStdString();
    }
}

TEST_F(ReportExport, TextFileHasLabelledHeaderLinesAndAlignedColumns) {
    const QByteArray xml = R"(<report title="报告">
      <fields><field name="name" type="text"/><field name="serial" type="text"/>
        <field name="n" type="integer"/><field name="part" type="text"/><field name="s" type="text"/></fields>
      <report-header><grid columns="2"><cell label="工程名称" field="name"/><cell label="报告编号" field="serial"/>
      </grid></report-header>
      <detail><column title="序号" field="n" align="right"/><column title="构件&#10;名称" field="part" align="left"/>
        <column title="强度" field="s" align="right" suffix="MPa"/></detail></report>)";
    ASSERT_TRUE(engine.load_from_data(xml));
    const ReportField name = engine.field_by_name("name"), serial = engine.field_by_name("serial"),
                      n = engine.field_by_name("n"), part = engine.field_by_name("part"),
                      s = engine.field_by_name("s");
    int k = 0;
    engine.set_fetch_record([&](bool& eof) {
        ++k;
        eof = k > 2;
        if (eof) return;
        if (k == 1) {
            name.set_text(QString::fromUtf8("甲工程"));
            serial.set_text("R-1");
            part.set_text(QString::fromUtf8("梁"));
            s.set_text("31.3");
        } else {
            part.set_text(QString::fromUtf8("柱AB"));  // no strength: an empty cell
        }
        n.set_integer(k == 1 ? 1 : 12);
    });
    const QString path = dir.filePath("report.txt");
    ASSERT_TRUE(engine.export_direct(ExportType::Text, path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray expected =
        "\xEF\xBB\xBF"
        "报告\r\n"
        "工程名称：甲工程\r\n"
        "报告编号：R-1\r\n"
        "\r\n"
        "序号  构件名称   强度\r\n"
        "   1  梁        31.3MPa\r\n"
        "  12  柱AB\r\n";
    const QByteArray written = file.readAll();
    EXPECT_EQ(written, expected) << written.toStdString();
    EXPECT_EQ(display_width(QString::fromUtf8("柱AB，")), 6);
}

// One cell as the two readers report it.
struct ReadCell {
    enum class Kind { Empty, Number, Text } kind = Kind::Empty;
    double number = 0;
    QString text;
};

#ifdef _WIN32
constexpr const char* kNoXlsReaders =
    "the .xls readers (libfreexl, python3-xlrd) are Linux programs; the file was written, and is read "
    "back in the Linux build";
#else
std::map<std::pair<int, int>, ReadCell> read_with_freexl(const QString& path) {
    std::map<std::pair<int, int>, ReadCell> cells;
    const void* handle = nullptr;
    if (freexl_open(path.toLocal8Bit().constData(), &handle) != FREEXL_OK) {
        ADD_FAILURE() << "freexl cannot open the file";
        return cells;
    }
    unsigned int sheets = 0;
    EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets), FREEXL_OK);
    EXPECT_EQ(sheets, 1u);
    unsigned int version = 0;
    EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_VERSION, &version), FREEXL_OK);
    EXPECT_EQ(version, static_cast<unsigned>(FREEXL_BIFF_VER_8));
    EXPECT_EQ(freexl_select_active_worksheet(handle, 0), FREEXL_OK);
    unsigned int rows = 0;
    unsigned short columns = 0;
    EXPECT_EQ(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
    for (unsigned r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue v;
            if (freexl_get_cell_value(handle, r, c, &v) != FREEXL_OK) {
                ADD_FAILURE() << "cell " << r << "," << c;
                continue;
            }
            ReadCell cell;
            if (v.type == FREEXL_CELL_INT) {
                cell = {ReadCell::Kind::Number, double(v.value.int_value), {}};
            } else if (v.type == FREEXL_CELL_DOUBLE) {
                cell = {ReadCell::Kind::Number, v.value.double_value, {}};
            } else if (v.type == FREEXL_CELL_TEXT || v.type == FREEXL_CELL_SST_TEXT) {
                cell = {ReadCell::Kind::Text, 0, QString::fromUtf8(v.value.text_value)};
            } else if (v.type != FREEXL_CELL_NULL) {
                ADD_FAILURE() << "unexpected cell type " << v.type << " at " << r << "," << c;
            }
            if (cell.kind != ReadCell::Kind::Empty) cells[{int(r), int(c)}] = cell;
        }
    }
    freexl_close(handle);
    return cells;
}

std::map<std::pair<int, int>, ReadCell> read_with_xlrd(const QString& path) {
    static const char* script = R"(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
assert book.biff_version == 80, book.biff_version
assert book.nsheets == 1
sheet = book.sheet_by_index(0)
cells = []
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_TEXT:
            cells.append([r, c, "text", cell.value])
        elif cell.ctype == xlrd.XL_CELL_NUMBER:
            cells.append([r, c, "number", cell.value])
        elif cell.ctype not in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
            raise SystemExit("unexpected cell type %d" % cell.ctype)
json.dump({"cells": cells, "merged": sheet.merged_cells}, sys.stdout)
)";
    std::map<std::pair<int, int>, ReadCell> cells;
    const auto out = test::run_program("/usr/bin/python3", {"-c", script, path});
    if (!out) return cells;
    const QJsonObject doc = QJsonDocument::fromJson(*out).object();
    for (const QJsonValue& v : doc["cells"].toArray()) {
        const QJsonArray a = v.toArray();
        ReadCell cell;
        if (a[2].toString() == "text") {
            cell = {ReadCell::Kind::Text, 0, a[3].toString()};
        } else {
            cell = {ReadCell::Kind::Number, a[3].toDouble(), {}};
        }
        cells[{a[0].toInt(), a[1].toInt()}] = cell;
    }
    return cells;
}

// Compares what a reader found with the cells the writer was given.
void expect_cells(const xls::Workbook& book, const std::map<std::pair<int, int>, ReadCell>& read,
                  const char* reader) {
    std::size_t written = 0;
    for (const xls::Cell& c : book.cells) {
        if (c.kind == xls::Cell::Kind::Blank) continue;
        ++written;
        const auto it = read.find({c.row, c.column});
        ASSERT_NE(it, read.end()) << reader << ": cell " << c.row << "," << c.column << " missing";
        if (c.kind == xls::Cell::Kind::Number) {
            EXPECT_EQ(it->second.kind, ReadCell::Kind::Number) << reader << " " << c.row << "," << c.column;
            EXPECT_EQ(it->second.number, c.number) << reader << " " << c.row << "," << c.column;
        } else {
            EXPECT_EQ(it->second.kind, ReadCell::Kind::Text) << reader << " " << c.row << "," << c.column;
            EXPECT_EQ(it->second.text, c.text.left(xls::kMaxTextLength))
                << reader << " " << c.row << "," << c.column;
        }
    }
    EXPECT_EQ(read.size(), written) << reader << ": cells that were never written";
}

// Reads the file with both readers, checks what each found against the cells
// written, and returns what xlrd found.
std::map<std::pair<int, int>, ReadCell> read_back(const QString& path, const xls::Workbook& book) {
    const auto by_freexl = read_with_freexl(path);
    const auto by_xlrd = read_with_xlrd(path);
    expect_cells(book, by_freexl, "freexl");
    expect_cells(book, by_xlrd, "xlrd");
    return by_xlrd;
}
#endif

TEST_F(ReportExport, ExcelFileReadsBackCellForCellInTwoReaders) {
    ReboundFile project = test::sample_project(3);
    project.components[1].strength_estimate = 31.26f;
    feed_project(project);
    const QString path = dir.filePath("report.xls");
    const Result<void> written = engine.export_direct(ExportType::Excel, path);
    ASSERT_TRUE(written) << (written ? std::string() : written.error().message);

#ifdef _WIN32
    GTEST_SKIP() << kNoXlsReaders;
#else
    feed->bind(engine);
    const auto cells = read_back(path, excel_workbook(engine.report_template(), engine.fetch_records()));

    // What the report puts where: the title, a labelled header value, and
    // the detail rows with numbers as numbers.
    auto text_at = [&](int r, int c) { return cells.count({r, c}) ? cells.at({r, c}).text : QString(); };
    EXPECT_EQ(text_at(0, 0), QString::fromUtf8("回弹法检测混凝土抗压强度报告"));
    EXPECT_EQ(text_at(1, 0), QString::fromUtf8("工程名称"));
    EXPECT_EQ(text_at(1, 1), u(project.project_name));
    int title_row = -1;
    for (const auto& [pos, cell] : cells) {
        if (cell.text == QString::fromUtf8("构件名称")) title_row = pos.first;
    }
    ASSERT_GT(title_row, 1);
    for (int i = 0; i < 3; ++i) {
        const ComponentInfo& c = project.components[i];
        const int row = title_row + 1 + i;
        EXPECT_EQ(cells.at({row, 0}).kind, ReadCell::Kind::Number);
        EXPECT_EQ(cells.at({row, 0}).number, i + 1);
        EXPECT_EQ(text_at(row, 1), u(c.component_name));
        EXPECT_EQ(cells.at({row, 2}).number, 20 + 5 * c.strength_degree);
        EXPECT_EQ(cells.at({row, 6}).kind, ReadCell::Kind::Number);
        EXPECT_EQ(cells.at({row, 6}).number, ReportFeed::strength_text(c.strength_estimate).toDouble());
    }
    EXPECT_EQ(cells.at({title_row + 2, 6}).number, 31.3);
#endif
}

TEST_F(ReportExport, FiguresUseAPointAndDatesOneFormInEveryLocale) {
    // Qt puts the C library in the desktop's locale at start-up, so a
    // printf-made figure would read "33,8" under these locales. Files go into
    // a folder and under names in Chinese with an emoji.
    ReboundFile project = test::sample_project(2);
    project.components[0].strength_avg = 33.8f;
    project.components[0].strength_estimate = 31.26f;
    const QString folder = dir.filePath(QString::fromUtf8("报告😀"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : test::kCommaLocales) {
        SCOPED_TRACE(name);
        test::ScopedLocale locale(name);
        ASSERT_EQ(locale.error(), "");
        // Written by this desktop, printed in the one form of every report.
        project.agent_date = platform::format_date({2026, 12, 10});
        ASSERT_NE(project.agent_date, "2026-12-10");
        const QString date = QStringLiteral("2026-12-10");
        feed_project(project);
        const QString base = folder + QString::fromUtf8("/检测报告😀-") + QString::fromLatin1(name);

        ASSERT_TRUE(engine.export_direct(ExportType::Text, base + ".txt"));
        QFile text(base + ".txt");
        ASSERT_TRUE(text.open(QIODevice::ReadOnly));
        const QString content = QString::fromUtf8(text.readAll());
        EXPECT_TRUE(content.contains(QStringLiteral("33.8"))) << content.toStdString();
        EXPECT_TRUE(content.contains(QStringLiteral("31.3"))) << content.toStdString();
        EXPECT_FALSE(content.contains(QStringLiteral("33,8"))) << content.toStdString();
        EXPECT_TRUE(content.contains(date)) << date.toStdString();

        feed_project(project);  // each output is prepared afresh, as the commands do
        ASSERT_TRUE(engine.export_pdf(base + ".pdf"));
#ifndef _WIN32
        const auto pdf = test::run_program("pdftotext", {"-enc", "UTF-8", base + ".pdf", "-"});
        ASSERT_TRUE(pdf);
        EXPECT_TRUE(pdf->contains("33.8")) << pdf->toStdString();
        EXPECT_TRUE(pdf->contains(date.toUtf8())) << date.toStdString();
#endif

        feed_project(project);
        ASSERT_TRUE(engine.export_direct(ExportType::Excel, base + ".xls"));
#ifndef _WIN32
        const auto cells = read_with_freexl(base + ".xls");
        int strengths = 0;
        for (const auto& [pos, cell] : cells) {
            EXPECT_FALSE(cell.kind == ReadCell::Kind::Text && cell.text.contains(QStringLiteral("33,8")));
            if (cell.kind == ReadCell::Kind::Number && (cell.number == 33.8 || cell.number == 31.3))
                ++strengths;
        }
        EXPECT_EQ(strengths, 2);
#endif
    }
}

// The test record sheet in both exports: a flat table, one row per test area
// with its component's number and name in front; a component without areas
// keeps one row with nothing but those.
TEST_F(ReportExport, RecordSheetExportsOneRowPerTestArea) {
    ReboundFile project = test::record_project();
    ComponentInfo bare(test::today());
    bare.component_name = test::gbk("板-3");
    project.add_component(bare);
    ASSERT_TRUE(engine.load_from_file(test::record_template_path()));
    const std::unique_ptr<ProjectFeed> records = make_feed(engine.report_template(), project, test::fixed_clock());
    records->bind(engine);
    engine.set_fetch_record([&](bool& eof) { records->fetch_record(eof); });

    // Expected rows: component number and name, area number, readings, then
    // the grid's texts of the area's conditions and results.
    std::vector<QStringList> rows;
    const QStringList texts[] = {
        {"-.-", "36.3", "0", "0.0", "侧面", "0.0", "31.2", "2.4", "33.6"},
        {"0.0", "41.0", "-30", "2.5", "表面", "-1.3", "35.5", "0.5", "35.9"},
        {"> 6.0", "38.8", "-90", "4.0", "底面", "1.8", "28.7", "1.6", "30.3"},
        {"> 6.0", "44.3", "0", "0.0", "底面", "0.0", "22.1", "2.5", "24.6"},
        {"3.0", "33.3", "30", "-3.0", "侧面", "0.0", "25.9", "0.2", "26.1"},
    };
    int k = 0;
    for (int c = 0; c < 2; ++c) {
        const ComponentInfo& comp = project.components[c];
        for (std::size_t a = 0; a < comp.area_count(); ++a) {
            QStringList row{QString::number(c + 1), u(comp.component_name), QString::number(a + 1)};
            for (std::uint8_t reading : comp.areas[a].readings) row << QString::number(reading);
            rows.push_back(row + texts[k++]);
        }
    }
    rows.push_back({"3", QString::fromUtf8("板-3")});

    const QString text_path = dir.filePath("records.txt");
    ASSERT_TRUE(engine.export_direct(ExportType::Text, text_path));
    QFile text_file(text_path);
    ASSERT_TRUE(text_file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(text_file.readAll()).split(QStringLiteral("\r\n"));
    const auto title = std::find_if(lines.begin(), lines.end(), [](const QString& l) {
        return l.startsWith(QString::fromUtf8("构件序号"));
    });
    ASSERT_NE(title, lines.end());
    EXPECT_TRUE(title->contains(QString::fromUtf8("碳化深度(mm)")))
        << "titles on one line: " << title->toStdString();
    QStringList table(title + 1, lines.end());
    table.removeAll(QString());
    ASSERT_EQ(table.size(), static_cast<qsizetype>(rows.size())) << table.join('\n').toStdString();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        // "> 6.0" is one cell of two words.
        EXPECT_EQ(table[r].simplified(), rows[r].join(' ')) << r;
    }

    const QString xls_path = dir.filePath("records.xls");
    records->bind(engine);
    ASSERT_TRUE(engine.export_direct(ExportType::Excel, xls_path));
#ifdef _WIN32
    GTEST_SKIP() << kNoXlsReaders;
#else
    records->bind(engine);
    const auto by_xlrd =
        read_back(xls_path, excel_workbook(engine.report_template(), engine.fetch_records()));
    int title_row = -1;
    for (const auto& [pos, cell] : by_xlrd) {
        if (pos.second == 0 && cell.text == QString::fromUtf8("构件序号")) title_row = pos.first;
    }
    ASSERT_GT(title_row, 0);
    int last_row = 0;
    for (const auto& [pos, cell] : by_xlrd) last_row = std::max(last_row, pos.first);
    EXPECT_EQ(last_row, title_row + static_cast<int>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) {
            const ReadCell& cell = by_xlrd.at({title_row + 1 + static_cast<int>(r), c});
            bool number = false;
            const double value = rows[r][c].toDouble(&number);
            // Numbers stay numbers; "-.-", "> 6.0", names and surfaces are texts.
            if (number) {
                EXPECT_EQ(cell.kind, ReadCell::Kind::Number) << r << "," << c;
                EXPECT_EQ(cell.number, value) << r << "," << c;
            } else {
                EXPECT_EQ(cell.kind, ReadCell::Kind::Text) << r << "," << c;
                EXPECT_EQ(cell.text, rows[r][c]) << r << "," << c;
            }
        }
    }
    EXPECT_EQ(by_xlrd.count({title_row + static_cast<int>(rows.size()), 2}), 0u)
        << "no area number without an area";
#endif
}

// Many and long strings make the shared string table run over into
// continuation records, splitting strings between them.
TEST(XlsWriter, LongAndManyStringsSurviveContinuationRecords) {
    xls::Workbook book;
    book.column_widths = {20, 20, 20};
    for (int r = 0; r < 2500; ++r) {
        book.cells.push_back({r, 0, xls::Cell::Kind::Text, 0, QString::fromUtf8("第%1行：混凝土").arg(r), 0});
        book.cells.push_back({r, 1, xls::Cell::Kind::Number, r * 0.1 - 3, {}, 0});
    }
    QString long_text;
    for (int i = 0; i < 9000; ++i) long_text += QChar(0x4E00 + i % 500);
    book.cells.push_back({2500, 2, xls::Cell::Kind::Text, 0, long_text.left(3000), 0});  // split once
    book.cells.push_back({2501, 2, xls::Cell::Kind::Text, 0, QString::fromUtf8("𠀀 surrogate pair"), 0});
    QTemporaryDir dir;
    const QString path = dir.filePath("strings.xls");
    const auto bytes = xls::write_workbook(book);
    ASSERT_TRUE(bytes);
    ASSERT_TRUE(save_bytes(path, *bytes));
#ifdef _WIN32
    GTEST_SKIP() << kNoXlsReaders;
#else
    expect_cells(book, read_with_freexl(path), "freexl");
    expect_cells(book, read_with_xlrd(path), "xlrd");

    // Strings spread over several continuation records, and one longer than
    // a cell holds, which is cut at the limit. libfreexl 1.0.6 refuses a
    // table with strings split more than once, so only xlrd reads these.
    book.cells.push_back({2502, 2, xls::Cell::Kind::Text, 0, long_text, 0});
    book.cells.push_back(
        {2503, 2, xls::Cell::Kind::Text, 0, long_text + long_text + long_text + long_text, 0});
    book.cells.push_back({2504, 2, xls::Cell::Kind::Text, 0, QStringLiteral("after"), 0});
    const auto longer = xls::write_workbook(book);
    ASSERT_TRUE(longer);
    ASSERT_TRUE(save_bytes(path, *longer));
    const auto by_xlrd = read_with_xlrd(path);
    expect_cells(book, by_xlrd, "xlrd");
    ASSERT_TRUE(by_xlrd.count({2503, 2}));
    EXPECT_EQ(by_xlrd.at({2503, 2}).text.size(), xls::kMaxTextLength);
#endif
}

TEST(XlsWriter, RowsBeyondTheFormatAreRefused) {
    xls::Workbook book;
    book.cells.push_back({xls::kMaxRows, 0, xls::Cell::Kind::Number, 1, {}, 0});
    const Result<QByteArray> refused = xls::write_workbook(book);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, FileError::Kind::WriteFailed);
    EXPECT_FALSE(refused.error().message.empty());
}

}  // namespace
}  // namespace rebound::report
