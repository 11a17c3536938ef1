// rebound-cli evaluate and the curve dump, run as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli_support.h"
#include "evaluation/evaluation.h"
#include "fixtures.h"
#include "model/rebound_file.h"

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
    void TearDown() override { fs::remove_all(dir_); }

    fs::path project() const { return dir_ / "site.prj"; }
    QString at(const fs::path& p) const { return QString::fromStdString(p.string()); }

    fs::path dir_;
    std::string original_;
};

ReboundFile evaluated_in_process(const fs::path& file) {
    ReboundFile p;
    EXPECT_TRUE(p.load(file, test::today()));
    const Strength_Curve curve = shipped_curve();
    for (ComponentInfo& c : p.components) evaluate_component(c, curve);
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
    EXPECT_EQ(got, evaluated_in_process(project()));
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

TEST_F(EvaluateCli, DumpPrintsACurve) {
    const CliRun r = run_cli({"dump", at(dir_ / "curve" / "normal.cur")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        python_on_json(r.out,
                       "d['format'], d['row_count'], d['column_count'], d['aux_int_1'], d['aux_real_2'], "
                       "len(d['values']), d['values'][1302], d['values'][0]"),
        "curve 201 13 0 0 2613 38.3 10.3");

    test::write_file(dir_ / "short.cur",
                     test::Bytes().i32(1).i32(3).i32(4).f32(0.5f).i32(-1).f32(2.0f).f32(7.25f).str());
    const CliRun s = run_cli({"dump", at(dir_ / "short.cur")}, dir_);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(python_on_json(s.out, "d['aux_int_1'], d['aux_real_1'], d['aux_int_2'], d['values']"),
              "4 0.5 -1 [7.25, 7.25, 7.25]");
    EXPECT_EQ(run_cli({"dump", at(dir_ / "missing.cur")}, dir_).status, 1);
}

}  // namespace
}  // namespace rebound
