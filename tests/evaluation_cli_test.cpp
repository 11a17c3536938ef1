// rebound-cli evaluate and the curve dump, run as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_support.h"
#include "curve_fixtures.h"
#include "evaluation/evaluation.h"
#include "fixtures.h"
#include "locale_support.h"
#include "model/rebound_file.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "settings/setting.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;

using test::CliRun;
using test::python_on_json;
using test::run_cli;

const fs::path kShippedCurve = fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur";

Strength_Curve shipped_curve() {
    std::ifstream in(kShippedCurve, std::ios::binary);
    Strength_Curve curve;
    curve.read_from(in);
    return curve;
}

class EvaluateCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("rebound-eval-cli-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "curve");
        fs::copy_file(kShippedCurve, dir_ / "curve" / "normal.cur");
        // Component 0: one area of sixteen 40s at 1.0 mm (38.3 MPa on the
        // shipped curve), not pumped; the others from the sample project.
        ReboundFile p = test::sample_project(3, 12);
        ComponentInfo& first = *p.component(0);
        first.areas.resize(1);
        first.areas[0].readings.fill(40);
        first.areas[0].angle_index = 0;
        first.areas[0].surface_index = 0;
        first.areas[0].carbonation_index = 3;
        first.pump_tag = 0;
        ASSERT_TRUE(p.save(project()));
        original_ = test::read_file(project());
    }
    // Not an error when the folder stays: under Wine a tool that has just
    // ended can hold its working folder a moment longer, and the next run of
    // the test empties the folder first.
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    fs::path project() const { return dir_ / "site.prj"; }
    QString at(const fs::path& p) const { return QString::fromStdU16String(p.u16string()); }
    // Replaces the project by one with these components; returns its bytes.
    std::string save_project(const std::vector<ComponentInfo>& components) {
        ReboundFile p;
        for (const ComponentInfo& c : components) p.add_component(c);
        EXPECT_TRUE(p.save(project()));
        return test::read_file(project());
    }

    fs::path dir_;
    std::string original_;
};

// The project evaluated here with the shipped curve under the file name
// `curve_name`, which the evaluation writes into every component.
ReboundFile evaluated_in_process(const fs::path& file, const std::string& curve_name = "normal.cur") {
    ReboundFile p;
    EXPECT_TRUE(p.load(file, test::today()));
    const Strength_Curve curve = shipped_curve();
    for (ComponentInfo& c : p.components) evaluate_component(c, EvaluationCurves{&curve, curve_name, nullptr, {}});
    return p;
}

TEST_F(EvaluateCli, EvaluatesEveryComponentInPlaceWithTheDefaultCurve) {
    const ReboundFile want = evaluated_in_process(project());
    const CliRun r = run_cli({"evaluate", "site.prj"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    ReboundFile got;
    ASSERT_TRUE(got.load(project(), test::today()));
    EXPECT_EQ(got, want);
    EXPECT_FLOAT_EQ(got.component(0)->areas[0].converted_strength, 38.3f);
    EXPECT_FLOAT_EQ(got.component(0)->strength_estimate, 38.3f);
    EXPECT_NE(test::read_file(project()), original_);
}

TEST_F(EvaluateCli, WritesToOutputAndLeavesTheProject) {
    fs::create_directory(dir_ / "elsewhere");
    fs::rename(dir_ / "curve" / "normal.cur", dir_ / "elsewhere" / "mine.cur");
    const CliRun r = run_cli({"evaluate", at(project()), "--curve", at(dir_ / "elsewhere" / "mine.cur"), "-o",
                              at(dir_ / "result.prj")},
                             dir_ / "elsewhere");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::read_file(project()), original_);
    ReboundFile got;
    ASSERT_TRUE(got.load(dir_ / "result.prj", test::today()));
    EXPECT_EQ(got, evaluated_in_process(project(), "mine.cur"));
    EXPECT_EQ(got.components[0].curve_filename, "mine.cur");
}

TEST_F(EvaluateCli, WithoutACurveOptionTheCurveChosenInTheWindowIsUsed) {
    // A laboratory's curve, 31.5 MPa everywhere, beside the standard one
    // (38.3 MPa for component 0).
    test::write_file(dir_ / "curve" / "lab.cur", test::curve_file_bytes(201, 13, 31.5f));
    const auto keep_choice = [&](const std::string& name) {
        fs::create_directories(dir_ / "Setting");
        setting store;
        store.set_base_folder(dir_);
        store.curve_file = name;
        ASSERT_TRUE(store.write_ini());
    };
    const auto strength_of_first = [&](const QStringList& args) {
        test::write_file(project(), original_);
        const CliRun r = run_cli(args, dir_);
        EXPECT_EQ(r.status, 0) << r.err;
        ReboundFile got;
        EXPECT_TRUE(got.load(project(), test::today()));
        return got.component(0)->areas[0].converted_strength;
    };

    // No choice kept: the standard curve, and no settings file is made.
    EXPECT_FLOAT_EQ(strength_of_first({"evaluate", "site.prj"}), 38.3f);
    EXPECT_FALSE(fs::exists(dir_ / "Setting"));
    // The default name a missing settings file is given is no choice either.
    keep_choice("normal.cuv");
    EXPECT_FLOAT_EQ(strength_of_first({"evaluate", "site.prj"}), 38.3f);

    keep_choice("lab.cur");
    EXPECT_FLOAT_EQ(strength_of_first({"evaluate", "site.prj"}), 31.5f);
    EXPECT_FLOAT_EQ(strength_of_first({"evaluate", "site.prj", "--curve", "curve/normal.cur"}), 38.3f);

    // A chosen curve that is not there, or a name reaching outside the curve
    // folder, is refused: nothing falls back to the standard curve.
    struct Case {
        const char* chosen;
        const char* says;
    } cases[] = {
        {"gone.cur", "gone.cur"},
        {"../site.prj", "not a file name in the curve folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        keep_choice(c.chosen);
        test::write_file(project(), original_);
        const CliRun r = run_cli({"evaluate", "site.prj"}, dir_);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("nothing was evaluated"), std::string::npos) << r.err;
        EXPECT_EQ(test::read_file(project()), original_);
    }
}

TEST_F(EvaluateCli, CurveThatCannotBeOpenedWritesNothing) {
    struct Case {
        const char* name;
        QStringList args;
    } cases[] = {
        {"default curve missing from the current folder",
         {"evaluate", at(project()), "-o", at(dir_ / "out.prj")}},
        {"named curve missing",
         {"evaluate", at(project()), "--curve", at(dir_ / "none.cur"), "-o", at(dir_ / "out.prj")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun r = run_cli(c.args, dir_ / "curve");  // no curve/ below this folder
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(".cur"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.prj"));
        EXPECT_EQ(test::read_file(project()), original_);
    }
    EXPECT_EQ(run_cli({"evaluate"}, dir_).status, 2);
}

TEST_F(EvaluateCli, ProjectThatCannotBeReadWritesNothing) {
    test::write_file(dir_ / "broken.prj", original_.substr(0, original_.size() / 2));
    const CliRun r = run_cli({"evaluate", "broken.prj", "-o", "out.prj"}, dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("broken.prj"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "out.prj"));
    EXPECT_EQ(test::read_file(dir_ / "broken.prj"), original_.substr(0, original_.size() / 2));
}

// A component named `name` (UTF-8) whose areas have sixteen equal readings
// R with carbonation index k: {R, k}.
ComponentInfo component(const char* name, const std::vector<std::pair<int, int>>& areas, int pump_tag = 0) {
    return test::equal_readings_component(platform::utf8_to_ansi(name), areas, pump_tag);
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        result.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return result;
}

TEST_F(EvaluateCli, UnusableCurvesChangeNothing) {
    fs::create_directory(dir_ / "bad");
    for (const test::UnusableCurve& c : test::unusable_curves()) {
        SCOPED_TRACE(c.name);
        const fs::path curve = dir_ / "bad" / (std::string(c.name) + ".cur");
        c.make(curve);
        for (const bool to_other_file : {false, true}) {
            QStringList args = {"evaluate", "site.prj", "--curve", at(curve)};
            if (to_other_file)
                args << "-o"
                     << "out.prj";
            const CliRun r = run_cli(args, dir_);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
            EXPECT_NE(r.err.find(std::string(c.name) + ".cur: cannot be used as the strength curve: "),
                      std::string::npos)
                << r.err;
            EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("nothing was evaluated"), std::string::npos) << r.err;
            EXPECT_EQ(test::read_file(project()), original_);
            EXPECT_FALSE(fs::exists(dir_ / "out.prj"));
        }
    }
}

TEST_F(EvaluateCli, PrintsOneLineOfFiguresPerComponentInEveryLocale) {
    // Ten areas at 38.3 MPa; one pumped area of 23.3 + 4.5 MPa, whose
    // standard deviation is not recomputed (fewer than ten areas).
    ComponentInfo pumped = component("B2", {{30, 1}}, 1);
    pumped.strength_delta = 1.5f;
    const std::string before =
        save_project({component("柱A", std::vector<std::pair<int, int>>(10, {40, 3})), pumped});
    const std::string expected =
        "component 1 \"柱A\": 10 areas, mean 38.3 MPa, SD 0.0 MPa, minimum 38.3 MPa, estimate 38.3 MPa, "
        "carbonation mode 0, curve normal.cur\n"
        "component 2 \"B2\": 1 area, mean 27.8 MPa, SD 1.5 MPa, minimum 27.8 MPa, estimate 27.8 MPa, "
        "carbonation mode 1, curve normal.cur\n";
    std::vector<QString> environments = {"LC_ALL=C"};
    for (const char* name : test::kCommaLocales) {
        test::ScopedLocale available(name);
        ASSERT_EQ(available.error(), "");
        environments.push_back(QString("LC_ALL=") + name);
    }
    for (const QString& environment : environments) {
        SCOPED_TRACE(environment.toStdString());
        test::write_file(project(), before);
        const CliRun r = run_cli({"evaluate", "site.prj", "-o", "out.prj"}, dir_, {environment});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, expected);
        EXPECT_EQ(r.err, "");
        // The JSON of dump reads back the figures that were saved.
        const CliRun dump = run_cli({"dump", "out.prj"}, dir_, {environment});
        ASSERT_EQ(dump.status, 0) << dump.err;
        if (test::kPythonReachable) {
            EXPECT_EQ(python_on_json(dump.out,
                                     "[round(c['strength_avg'], 4) for c in d['components']], "
                                     "d['components'][1]['areas'][0]['pump_correction']"),
                      "[38.3, 27.8] 4.5");
        }
    }
}

TEST_F(EvaluateCli, AreasOutsideTheCurveAreNamed) {
    // R 22 at >6 mm lies below the shipped curve, R 55 at 0.0 mm above it.
    const std::vector<ComponentInfo> components = {
        component("A", {{40, 3}, {22, 13}, {55, 1}}),
        component("B", {{40, 3}}),
        component("C", {{40, 0}, {40, 0}}),
        component("D", {{21, 13}}),
    };
    const std::string before = save_project(components);
    const std::string below_and_above =
        "component 1 \"A\": areas below the range of the curve, without a strength: 2; areas above the range "
        "of the curve, without a strength: 3; the estimate is not valid with this curve\n";
    const std::string unmeasured =
        "rebound-cli: warning: component 3 \"C\": carbonation was not measured in any area, the areas were "
        "converted at 0.0 mm\n";
    const std::string only_below =
        "component 4 \"D\": areas below the range of the curve, without a strength: 1\n";

    const CliRun strict = run_cli({"evaluate", "site.prj", "--strict"}, dir_);
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, "");
    EXPECT_EQ(strict.err, "rebound-cli: error: " + below_and_above + unmeasured +
                              "rebound-cli: error: " + only_below +
                              "rebound-cli: site.prj: areas lie outside the range of the curve (--strict); "
                              "nothing was saved\n");
    EXPECT_EQ(test::read_file(project()), before);

    const CliRun r = run_cli({"evaluate", "site.prj"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "rebound-cli: warning: " + below_and_above + unmeasured +
                         "rebound-cli: warning: " + only_below);
    EXPECT_EQ(lines(r.out).size(), 4u) << r.out;
    // A blank area converts to 0.0 and takes no part in the figures; the
    // estimate of a component with an area below the curve is "<10.0".
    ReboundFile got;
    ASSERT_TRUE(got.load(project(), test::today()));
    EXPECT_EQ(got.components[0].areas[1].converted_strength, 0.0f);
    EXPECT_EQ(got.components[0].areas[2].converted_strength, 0.0f);
    EXPECT_FLOAT_EQ(got.components[0].strength_min, 38.3f);
    EXPECT_NE(lines(r.out)[0].find("minimum 38.3 MPa, estimate <10.0 MPa"), std::string::npos) << r.out;
    EXPECT_FLOAT_EQ(got.components[2].areas[0].converted_strength, 41.6f);  // at 0.0 mm

    // With every area on the curve, --strict saves.
    save_project({component("B", {{40, 3}})});
    const CliRun inside = run_cli({"evaluate", "site.prj", "--strict"}, dir_);
    EXPECT_EQ(inside.status, 0) << inside.err;
    EXPECT_EQ(inside.err, "");
}

TEST_F(EvaluateCli, FilesAndFoldersNamedInChineseWithAnEmoji) {
    const fs::path folder = dir_ / u8"工程数据😀";
    fs::create_directory(folder);
    fs::copy_file(kShippedCurve, folder / u8"曲线😀.cur");
    test::DeviceArea area;
    std::fill(std::begin(area.readings), std::end(area.readings), std::uint8_t{40});
    area.carbonation = 3;
    test::write_file(folder / u8"柱😀.cmp", test::device_record("KZ", {area, area}, -1, /*pump=*/0));

    const QString project = at(folder / u8"工地😀.prj");
    CliRun r = run_cli({"import", project, at(folder / u8"柱😀.cmp")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    r = run_cli(
        {"evaluate", project, "--curve", at(folder / u8"曲线😀.cur"), "-o", at(folder / u8"结果😀.prj")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    r = run_cli({"export-component", at(folder / u8"结果😀.prj"), "0", at(folder / u8"导出😀")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    r = run_cli({"dump", at(folder / u8"导出😀.xcmp")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    if (test::kPythonReachable) {
        EXPECT_EQ(python_on_json(r.out, "d['component_name'], len(d['areas']), d['strength_estimate']"),
                  "KZ 2 38.3");
    }

    // Messages show the names as they are.
    r = run_cli({"evaluate", project, "--curve", at(folder / u8"缺😀.cur")}, dir_);
    EXPECT_EQ(r.status, 1);
    const std::string shown = platform::path_text(std::filesystem::path(u8"工程数据😀/缺😀.cur").make_preferred());
    EXPECT_NE(r.err.find(shown + ": cannot be used"), std::string::npos) << r.err;
}

TEST_F(EvaluateCli, DumpPrintsACurve) {
    const CliRun r = run_cli({"dump", at(dir_ / "curve" / "normal.cur")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject d = test::json_object(r.out);
    EXPECT_EQ(d["row_count"].toInt(), 201);
    EXPECT_EQ(d["values"].toArray().size(), 2613);
    EXPECT_EQ(float(d["values"][1302].toDouble()), 38.3f);
    EXPECT_EQ(run_cli({"dump", at(dir_ / "missing.cur")}, dir_).status, 1);
    if (!test::kPythonReachable) GTEST_SKIP() << test::kNoPython;
    EXPECT_EQ(
        python_on_json(r.out,
                       "d['format'], d['row_count'], d['column_count'], d['aux_int_1'], d['aux_real_2'], "
                       "len(d['values']), d['values'][1302], d['values'][0]"),
        "curve 201 13 0 0 2613 38.3 10.3");

    test::write_file(dir_ / "short.cur",
                     test::Bytes().i32(1).i32(3).i32(4).f32(0.5f).i32(-1).f32(2.0f).f32(7.25f).str());
    // A curve cut short prints what the reader made of it, then the error.
    const CliRun s = run_cli({"dump", at(dir_ / "short.cur")}, dir_);
    EXPECT_EQ(s.status, 1);
    EXPECT_NE(s.err.find("short.cur: the data ends inside the values: 3 announced, 1 found"), std::string::npos)
        << s.err;
    EXPECT_EQ(python_on_json(s.out, "d['aux_int_1'], d['aux_real_1'], d['aux_int_2'], d['values']"),
              "4 0.5 -1 [7.25, 7.25, 7.25]");
}

// A curve whose header announces no usable table is an error of dump, not
// a curve of 0 rows.
TEST_F(EvaluateCli, DumpRefusesACurveWithACorruptHeader) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const char* header = "bad.cur: the curve header announces";
    const std::vector<Case> cases = {
        {"empty", "", header},
        {"header cut short", test::Bytes().i32(201).i32(13).str(),
         "bad.cur: the data ends inside the values: 2613 announced, 0 found"},
        {"no rows", test::Bytes().i32(0).i32(13).i32(0).f32(0).i32(0).f32(0).str(), header},
        {"negative columns", test::Bytes().i32(201).i32(-13).i32(0).f32(0).i32(0).f32(0).str(), header},
        {"beyond the limit", test::Bytes().i32(100000).i32(100).i32(0).f32(0).i32(0).f32(0).str(), header},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::write_file(dir_ / "bad.cur", c.bytes);
        const CliRun r = run_cli({"dump", at(dir_ / "bad.cur")}, dir_);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace rebound
