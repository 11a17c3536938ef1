// Writes the seed corpus of the fuzz targets: make_fuzz_corpus <folder>
// <source folder> creates <folder>/<target>/<seed> for every target, using
// the fixture writers of the tests so that every seed is explained by code;
// the report template seeds are the shipped templates, a minimal one and one
// with a group and a chart. The output is committed as fuzz/corpus/.
#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "evaluation/strength_curve.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"

namespace {

using namespace rebound;
namespace fs = std::filesystem;

std::string project_bytes(const ReboundFile& p) {
    ByteWriter out;
    p.write_to(out);
    return out.bytes();
}

std::string component_bytes(const ComponentInfo& c) {
    ByteWriter out;
    c.write_record(out);
    return out.bytes();
}

std::vector<test::DeviceArea> device_areas(int n) {
    std::vector<test::DeviceArea> areas(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        test::DeviceArea& a = areas[static_cast<std::size_t>(i)];
        for (int r = 0; r < 16; ++r) a.readings[r] = static_cast<std::uint8_t>(30 + r + i);
        a.angle = static_cast<std::uint8_t>(i % 9);
        a.surface = static_cast<std::uint8_t>(i % 3);
        a.carbonation = static_cast<std::uint8_t>(i % 14);
        a.mean = 36.5f + static_cast<float>(i);
        a.angle_corr = -2.3f;
        a.surface_corr = 1.1f;
        a.fourth = 0.5f;
        a.fifth = 28.4f + static_cast<float>(i);
    }
    return areas;
}

std::string curve_bytes(std::int32_t rows, std::int32_t columns, int values_written) {
    test::Bytes b;
    b.i32(rows).i32(columns).i32(1).f32(20.0f).i32(2).f32(0.2f);
    for (int k = 0; k < values_written; ++k) b.f32(10.0f + 0.25f * static_cast<float>(k));
    return b.str();
}

// GBK "系统设置" and "测强曲线".
const std::string kSection = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";
const std::string kKey = "\xB2\xE2\xC7\xBF\xC7\xFA\xCF\xDF";

bool write(const fs::path& folder, const char* target, const char* name, const std::string& bytes) {
    std::error_code ec;
    fs::create_directories(folder / target, ec);
    test::write_file(folder / target / name, bytes);
    return fs::file_size(folder / target / name, ec) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER SOURCE_FOLDER\n");
        return 2;
    }
    const fs::path out = argv[1];
    const fs::path source = argv[2];
    bool ok = true;

    const ReboundFile full = test::sample_project(3, 4);
    const std::string full_bytes = project_bytes(full);
    ok &= write(out, "project", "empty-project", project_bytes(ReboundFile()));
    ok &= write(out, "project", "one-component", project_bytes(test::sample_project(1, 1)));
    ok &= write(out, "project", "three-components", full_bytes);
    ok &= write(out, "project", "cut-inside-last-area", full_bytes.substr(0, full_bytes.size() - 7));
    ok &= write(out, "project", "zero-inside-text", project_bytes([] {
                    ReboundFile p = test::sample_project(1, 0);
                    p.project_name = std::string("A\0B", 3);
                    return p;
                }()));

    ComponentInfo plain;
    ok &= write(out, "component", "reset-component", component_bytes(plain));
    ok &= write(out, "component", "four-areas", component_bytes(*full.component(0)));
    ok &= write(out, "component", "gbk-texts", component_bytes(*test::sample_project(2, 2).component(1)));

    ok &= write(out, "device", "no-areas", test::device_record("B1", {}));
    ok &= write(out, "device", "three-areas",
                test::device_record("COLUMN-8", device_areas(3), -1, 0, 30.2f, 24.1f, 3.3f, 25.0f));
    ok &= write(out, "device", "count-beyond-areas", test::device_record("B2", device_areas(2), 5));

    ok &= write(out, "curve", "three-by-two", curve_bytes(3, 2, 6));
    ok &= write(out, "curve", "header-only", curve_bytes(0, 13, 0));
    ok &= write(out, "curve", "ends-inside-values", curve_bytes(2, 13, 10));
    ok &= write(out, "curve", "standard-shape", curve_bytes(201, 13, 201 * 13));
    // A curve that passes the usability check and evaluates.
    const std::string shipped_curve = test::read_file(source / "data" / "curve" / "normal.cur");
    ok &= !shipped_curve.empty();
    ok &= write(out, "curve", "shipped", shipped_curve);

    ok &= write(out, "ini", "crlf", "[" + kSection + "]\r\n" + kKey + "=normal.cur\r\n");
    ok &= write(out, "ini", "other-sections",
                "; comment\n[Other]\nname=kept\n\n[" + kSection + "]\nother=1\n" + kKey + " = \"x.cur\"\n");
    ok &= write(out, "ini", "no-final-break", "[Other]\nname=v\n[" + kSection + "]\nother=2");
    ok &= write(out, "ini", "empty", "");

    ok &= write(out, "pairs", "six-pairs",
                "rm,depth,strength\n25.0,1.0,16.8\n30.0,2.0,21.5\n35.0,1.0,31.0\n40.0,3.0,33.9\n45.0,2.0,45.2\n"
                "50.0,3.0,51.0\n");
    ok &= write(out, "pairs", "bom-crlf-one-depth",
                "\xEF\xBB\xBFrm,depth,strength\r\n28.4,2.0,20.1\r\n\"36.2\",2.0,31.5\r\n44.0,2.0,42.7\r\n");
    ok &= write(out, "pairs", "bad-line", "rm,depth,strength\n30,1,25\n31,5,1.0,26\n");

    const char* dates[] = {"2026-03-01", "2026/3/1", "1/3/26", "01.03.2026", "26-3-1", "2024-02-29"};
    for (int locale = 0; locale < 4; ++locale) {
        for (int i = 0; i < 6; ++i) {
            const std::string name = "locale" + std::to_string(locale) + "-" + std::to_string(i);
            ok &= write(out, "date", name.c_str(), std::string(1, char(locale)) + dates[i]);
        }
    }
    const std::string shipped = test::read_file(source / "data" / "report" / "rebound_report1.grf");
    ok &= !shipped.empty();
    ok &= write(out, "report_template", "shipped", shipped);
    const std::string records = test::read_file(source / "data" / "report" / "rebound_record1.grf");
    ok &= !records.empty();
    ok &= write(out, "report_template", "shipped-records", records);
    const std::string fit = test::read_file(source / "data" / "report" / "curve_fit1.grf");
    ok &= !fit.empty();
    ok &= write(out, "report_template", "shipped-curve-fit", fit);
    ok &= write(
        out, "report_template", "grouped",
        "<report records=\"test-areas\">\n"
        "  <fields><field name=\"g\" type=\"integer\"/><field name=\"v\" type=\"text\"/></fields>\n"
        "  <detail><group field=\"g\" keep-together=\"true\">\n"
        "    <header><text>[#g#]</text><grid columns=\"2\"><cell label=\"G\" field=\"g\" "
        "prefix=\"C\"/></grid>"
        "</header>\n"
        "    <continued><text>[#g#]+</text></continued>\n"
        "    <footer><chart height=\"30\" width=\"90\" align=\"center\" unit=\"MPa\" bars=\"v\" labels=\"g\" "
        "bar-color=\"#4F81BD\"><line field=\"v\" label=\"m\" style=\"dash\" color=\"#C0504D\"/></chart>"
        "</footer>\n"
        "  </group>\n"
        "  <column field=\"g\" show=\"export\"/><column field=\"v\" show=\"print\"/></detail>\n"
        "</report>\n");
    ok &= write(
        out, "report_template", "minimal",
        "<report title=\"T\">\n"
        "  <fields><field name=\"a\" type=\"text\"/><field name=\"n\" type=\"integer\"/></fields>\n"
        "  <fonts><font id=\"f\" family=\"Sans\" size=\"10\" bold=\"true\"/></fonts>\n"
        "  <page size=\"A4\" orientation=\"landscape\" left=\"20\" top=\"15\"/>\n"
        "  <page-header height=\"10\"><text font=\"f\" align=\"right\">[#PageNumber#]/[#PageCount#]</text>"
        "</page-header>\n"
        "  <report-header><grid columns=\"2\"><cell label=\"A\" field=\"a\" span=\"2\"/></grid>"
        "</report-header>\n"
        "  <detail row-height=\"7\"><column title=\"A\" field=\"a\" width=\"20\"/>"
        "<column title=\"N\" field=\"n\" prefix=\"C\"/></detail>\n"
        "  <report-footer><row><text border=\"box\">[#a#]</text></row></report-footer>\n"
        "</report>\n");
    return ok ? 0 : 1;
}
