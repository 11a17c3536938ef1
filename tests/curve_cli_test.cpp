// rebound-cli curve fit and curve formula, and evaluating with the curve they
// write, run as a user would.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <sstream>

#include "cli_support.h"
#include "curve_fixtures.h"
#include "evaluation/curve_fit.h"
#include "evaluation/strength_curve.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "platform/text_codec.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::run_cli;

class CurveCli : public test::ScratchFolderTest {
protected:
    CurveCli() : ScratchFolderTest("rebound-curve-cli-") {}
    void SetUp() override {
        ScratchFolderTest::SetUp();
        fs::create_directories(dir_ / "curve");
    }

    // A pairs file of `n` specimens of the formula 0.025 Rm^2.0108
    // 10^(-0.0358 dm), each strength off by up to `noise` (a fraction).
    void write_pairs(const fs::path& file, std::size_t n, double noise) {
        std::mt19937 random(7);
        std::uniform_real_distribution<double> rebound(24.0, 50.0);
        std::uniform_int_distribution<int> step(0, 8);
        std::uniform_real_distribution<double> scatter(-noise, noise);
        std::ostringstream csv;
        csv << "rm,depth,strength\r\n";
        for (std::size_t i = 0; i < n; ++i) {
            const double rm = std::round(rebound(random) * 10.0) / 10.0;
            const double dm = 0.5 * step(random);
            const double f = 0.025 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * dm) * (1.0 + scatter(random));
            csv << rm << ',' << dm << ',' << std::round(f * 10.0) / 10.0 << "\r\n";
        }
        test::write_file(file, csv.str());
    }
};

TEST_F(CurveCli, FitOfGoodPairsIsAcceptedAndWritten) {
    write_pairs(dir_ / "pairs.csv", 40, 0.03);
    const CliRun r = run_cli({"curve", "fit", "pairs.csv", "-o", "curve/lab"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("n = 40, r = 0.9"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("accepted as a special curve: delta "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("wrote curve/lab.cur: 201 x 13 cells"), std::string::npos) << r.out;
    Strength_Curve curve;
    EXPECT_EQ(read_curve_for_evaluation(dir_ / "curve" / "lab.cur", curve), std::nullopt);
}

TEST_F(CurveCli, JsonHoldsEveryFigureOnce) {
    write_pairs(dir_ / "pairs.csv", 12, 0.03);
    const CliRun r = run_cli({"curve", "fit", "pairs.csv", "-o", "curve/lab.cur", "--json", "--kind", "regional"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    // Fewer than 30 pairs: a warning, a curve that is not accepted however
    // well it fits, and the curve written all the same.
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1),
              "rebound-cli: warning: only 12 pairs; a special curve is normally built from at least 30\n");
    EXPECT_NE(r.err.find("rebound-cli: warning: the curve is not accepted as a regional curve: 12 pairs, fewer "
                         "than the 30 it needs; delta"),
              std::string::npos)
        << r.err;
    const QJsonObject json = test::json_object(r.out);
    const QStringList keys = {"a",     "b",      "c",        "n",       "r",  "delta", "er", "kind",
                              "limits", "accepted", "written", "rm", "depth", "strength"};
    EXPECT_EQ(json.keys().size(), keys.size());
    for (const QString& key : keys) EXPECT_TRUE(json.contains(key)) << key.toStdString();
    EXPECT_NEAR(json["a"].toDouble(), 0.025, 0.01);
    EXPECT_NEAR(json["b"].toDouble(), 2.0108, 0.1);
    EXPECT_EQ(json["n"].toInt(), 12);
    EXPECT_EQ(json["kind"].toString(), "regional");
    EXPECT_EQ(json["limits"].toObject()["delta"].toDouble(), 14.0);
    EXPECT_EQ(json["limits"].toObject()["er"].toDouble(), 17.0);
    EXPECT_FALSE(json["accepted"].toBool());
    EXPECT_TRUE(json["written"].toBool());
    EXPECT_EQ(json["depth"].toArray().size(), 2);
    EXPECT_TRUE(fs::exists(dir_ / "curve" / "lab.cur"));

    // With a threshold of 10 pairs, 12 draw no count warning; 40 pairs that
    // fit are accepted.
    const CliRun quiet =
        run_cli({"curve", "fit", "pairs.csv", "-o", "curve/lab.cur", "--json", "--recommended-pairs", "10"}, dir_);
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err.find("only 12 pairs"), std::string::npos) << quiet.err;
    write_pairs(dir_ / "many.csv", 40, 0.03);
    const CliRun many = run_cli({"curve", "fit", "many.csv", "-o", "curve/lab.cur", "--json"}, dir_);
    EXPECT_EQ(many.status, 0);
    EXPECT_EQ(many.err, "");
    EXPECT_TRUE(test::json_object(many.out)["accepted"].toBool());
}

// The JSON is printed after the curve was written or refused, and says which.
TEST_F(CurveCli, JsonTellsWhetherTheCurveWasWritten) {
    write_pairs(dir_ / "pairs.csv", 12, 0.03);
    const struct {
        const char* name;
        QStringList args;
        int status;
        bool written;
    } cases[] = {
        {"strict refuses a fit of 12 pairs", {"curve", "fit", "pairs.csv", "-o", "a.cur", "--json", "--strict"}, 1,
         false},
        {"folder missing", {"curve", "fit", "pairs.csv", "-o", "none/a.cur", "--json"}, 1, false},
        {"written", {"curve", "fit", "pairs.csv", "-o", "a.cur", "--json"}, 0, true},
        {"formula, folder missing",
         {"curve", "formula", "--a", "0.025", "--b", "2", "--c", "-0.035", "--rm", "20,60", "--depth", "0,6",
          "--strength", "10,60", "-o", "none/b.cur", "--json"},
         1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "a.cur");
        const CliRun r = run_cli(c.args, dir_);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(test::json_object(r.out)["written"].toBool(), c.written) << r.out;
        EXPECT_EQ(fs::exists(dir_ / "a.cur"), c.written);
    }
}

TEST_F(CurveCli, CurveNotAcceptedIsWrittenUnlessStrict) {
    write_pairs(dir_ / "pairs.csv", 40, 0.45);
    const CliRun strict = run_cli({"curve", "fit", "pairs.csv", "-o", "curve/lab.cur", "--strict"}, dir_);
    EXPECT_EQ(strict.status, 1);
    EXPECT_NE(strict.err.find("rebound-cli: curve/lab.cur: the curve is not accepted as a special curve: delta"),
              std::string::npos)
        << strict.err;
    EXPECT_NE(strict.err.find("(--strict); nothing was written"), std::string::npos) << strict.err;
    EXPECT_FALSE(fs::exists(dir_ / "curve" / "lab.cur"));

    const CliRun r = run_cli({"curve", "fit", "pairs.csv", "-o", "curve/lab.cur", "--json"}, dir_);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("rebound-cli: warning: the curve is not accepted as a special curve"), std::string::npos)
        << r.err;
    EXPECT_FALSE(test::json_object(r.out)["accepted"].toBool());
    EXPECT_TRUE(fs::exists(dir_ / "curve" / "lab.cur"));
}

TEST_F(CurveCli, FailuresWriteNothing) {
    test::write_file(dir_ / "bad.csv", "rm,depth,strength\n30,1,25\n31,1,26,5\n");
    test::write_file(dir_ / "two.csv", "rm,depth,strength\n30,1,25\n31,1,26\n");
    test::write_file(dir_ / "curve" / "normal.cur", "standard");
    const struct {
        const char* name;
        QStringList args;
        int status;
        const char* says;
    } cases[] = {
        {"bad line", {"curve", "fit", "bad.csv", "-o", "out.cur"}, 1,
         "rebound-cli: bad.csv: line 3: 4 cells where 3 are expected"},
        {"two pairs", {"curve", "fit", "two.csv", "-o", "out.cur"}, 1,
         "rebound-cli: two.csv: a curve needs at least 3 pairs, there are 2; nothing was written"},
        {"missing pairs file", {"curve", "fit", "none.csv", "-o", "out.cur"}, 1, "none.csv: cannot be opened"},
        {"no output", {"curve", "fit", "two.csv"}, 2, "needs -o OUT.cur"},
        {"bad kind", {"curve", "fit", "two.csv", "-o", "out.cur", "--kind", "national"}, 2,
         "--kind must be special or regional"},
        {"unknown option", {"curve", "fit", "two.csv", "-o", "out.cur", "--fast"}, 2, "unknown option '--fast'"},
        {"no subcommand", {"curve"}, 2, "'curve' needs fit or formula"},
        {"formula without C", {"curve", "formula", "--a", "0.03", "--b", "2", "--rm", "20,60", "--depth", "0,6",
                               "--strength", "10,60", "-o", "out.cur"}, 2, "needs --c"},
        {"formula range", {"curve", "formula", "--a", "0.03", "--b", "2", "--c", "0", "--rm", "20", "--depth",
                           "0,6", "--strength", "10,60", "-o", "out.cur"}, 2, "--rm must be two numbers LO,HI"},
        {"formula comma decimal", {"curve", "formula", "--a", "0,03", "--b", "2", "--c", "0", "--rm", "20,60",
                                   "--depth", "0,6", "--strength", "10,60", "-o", "out.cur"}, 2,
         "--a must be a number"},
        {"formula defect", {"curve", "formula", "--a", "-1", "--b", "2", "--c", "0", "--rm", "20,60", "--depth",
                            "0,6", "--strength", "10,60", "-o", "out.cur"}, 1, "A must be above 0"},
        {"no cell in range", {"curve", "formula", "--a", "0.025", "--b", "2", "--c", "0", "--rm", "20,60", "--depth",
                              "0,6", "--strength", "100,120", "-o", "out.cur"}, 1, "the curve would hold no strength"},
        {"standard curve", {"curve", "formula", "--a", "0.025", "--b", "2", "--c", "0", "--rm", "20,60", "--depth",
                            "0,6", "--strength", "10,60", "-o", "curve/normal.cur"}, 1,
         "is the standard curve and is not replaced without --force"},
    };
    for (const auto& c : cases) {
        const CliRun r = run_cli(c.args, dir_);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.name << ": " << r.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.cur")) << c.name;
    }
    EXPECT_EQ(test::read_file(dir_ / "curve" / "normal.cur"), "standard");
}

// A province's formula becomes a curve in one command, and the evaluation
// takes its strengths and names the areas it does not cover.
TEST_F(CurveCli, EvaluateWithAFormulaCurveGivesItsStrengthsAndNamesAreasOutside) {
    const CliRun made = run_cli({"curve", "formula", "--a", "0.0250", "--b", "2.0108", "--c", "-0.0358", "--rm",
                                 "30,50", "--depth", "0,3", "--strength", "10,60", "-o", "curve/province.cur", "--json"},
                                dir_);
    ASSERT_EQ(made.status, 0) << made.err;
    const QJsonObject json = test::json_object(made.out);
    EXPECT_EQ(json["a"].toDouble(), 0.025);
    EXPECT_EQ(json["c"].toDouble(), -0.0358);
    EXPECT_EQ(json["n"].toInt(), 0);
    EXPECT_TRUE(json["r"].isNull());
    EXPECT_TRUE(json["delta"].isNull());
    EXPECT_EQ(json["kind"].toString(), "regional");
    EXPECT_TRUE(json["accepted"].toBool());
    EXPECT_EQ(json["rm"].toArray()[1].toDouble(), 50.0);

    // Areas of sixteen equal readings, level and on a side face: Rm is the
    // reading. Carbonation indices: 3 is 1.0 mm, 9 is 4.0 mm.
    ReboundFile project;
    project.add_component(test::equal_readings_component(platform::utf8_to_ansi("KZ"),
                                                         {{40, 3}, {25, 3}, {55, 3}, {40, 9}, {45, 1}}, 0));
    ASSERT_TRUE(project.save(dir_ / "site.prj"));
    const CliRun r = run_cli({"evaluate", "site.prj", "--curve", "curve/province.cur"}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "rebound-cli: warning: component 1 \"KZ\": areas below the range of the curve, without a "
                     "strength: 2, 4; areas above the range of the curve, without a strength: 3; the estimate is "
                     "not valid with this curve\n");
    ReboundFile got;
    ASSERT_TRUE(got.load(dir_ / "site.prj", test::today()));
    const auto rounded = [](double rm, double dm) {
        return static_cast<float>(std::round(0.025 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * dm) * 10.0) / 10.0);
    };
    const std::vector<AreaData>& areas = got.components[0].areas;
    EXPECT_EQ(areas[0].converted_strength, rounded(40.0, 1.0));
    EXPECT_EQ(areas[1].converted_strength, 0.0f);
    EXPECT_EQ(areas[2].converted_strength, 0.0f);
    EXPECT_EQ(areas[3].converted_strength, 0.0f);
    EXPECT_EQ(areas[4].converted_strength, rounded(45.0, 0.0));
}

}  // namespace
}  // namespace rebound
