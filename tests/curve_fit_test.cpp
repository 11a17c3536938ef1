// Strength curves of one's own: the pairs file, the fit, the acceptance
// limits and the curve file built from a formula.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "evaluation/curve_fit.h"
#include "evaluation/curve_pairs.h"
#include "evaluation/strength_curve.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

std::vector<CurvePair> pairs_from(const CurveFormula& f, std::size_t n, double noise, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> rebound(22.0, 55.0);
    std::uniform_int_distribution<int> depth_step(0, 12);
    std::uniform_real_distribution<double> scatter(-noise, noise);
    std::vector<CurvePair> pairs;
    for (std::size_t i = 0; i < n; ++i) {
        const double rm = std::round(rebound(random) * 10.0) / 10.0;
        const double dm = 0.5 * depth_step(random);
        pairs.push_back({rm, dm, f.strength_at(rm, dm) * (1.0 + scatter(random))});
    }
    return pairs;
}

TEST(CurveFit, RecoversTheCoefficientsOfNoisyPairs) {
    CurveFormula truth;
    truth.a = 0.025;
    truth.b = 2.01;
    truth.c = -0.036;
    for (const unsigned seed : {1u, 2u, 3u}) {
        const std::vector<CurvePair> pairs = pairs_from(truth, 200, 0.02, seed);
        const CurveFitOutcome outcome = fit_curve(pairs);
        ASSERT_TRUE(outcome.fit) << outcome.error;
        const CurveFit& fit = *outcome.fit;
        EXPECT_NEAR(fit.formula.a / truth.a, 1.0, 0.1) << "seed " << seed;
        EXPECT_NEAR(fit.formula.b, truth.b, 0.03) << "seed " << seed;
        EXPECT_NEAR(fit.formula.c, truth.c, 0.003) << "seed " << seed;
        EXPECT_TRUE(fit.depth_fitted);
        EXPECT_EQ(fit.n, 200u);
        // Uniform scatter of +-2 %: mean |e| about 1 %, standard deviation about 1.15 %.
        EXPECT_NEAR(fit.delta_percent, 1.0, 0.25);
        EXPECT_NEAR(fit.er_percent, 1.15, 0.25);
        EXPECT_GT(fit.r, 0.99);
    }
}

// Six pairs worked by hand: the normal equations solved by elimination,
// f-hat, the relative errors and the figures computed from them, and r as
// the correlation of log10 f with log10 f-hat.
TEST(CurveFit, FiguresOfSixPairsWorkedByHand) {
    const std::vector<CurvePair> pairs = {{25.0, 1.0, 16.8}, {30.0, 2.0, 21.5}, {35.0, 1.0, 31.0},
                                          {40.0, 3.0, 33.9}, {45.0, 2.0, 45.2}, {50.0, 3.0, 51.0}};
    const CurveFitOutcome outcome = fit_curve(pairs);
    ASSERT_TRUE(outcome.fit) << outcome.error;
    const CurveFit& fit = *outcome.fit;
    EXPECT_NEAR(fit.formula.a, 0.0504412660, 1e-8);
    EXPECT_NEAR(fit.formula.b, 1.8275609891, 1e-8);
    EXPECT_NEAR(fit.formula.c, -0.0337588995, 1e-8);
    const double fitted[] = {16.7435561775, 21.6170964609, 30.9674611220,
                             33.8354239201, 45.3539248449, 50.8722072548};
    const double relative[] = {-0.3359751339, 0.5446347018, -0.1049641226,
                               -0.1904899111, 0.3405416923, -0.2505740102};
    ASSERT_EQ(fit.fitted.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(fit.fitted[i], fitted[i], 1e-7) << "pair " << i + 1;
        EXPECT_NEAR(fit.relative_error_percent[i], relative[i], 1e-7) << "pair " << i + 1;
    }
    EXPECT_NEAR(fit.delta_percent, 0.2945299286, 1e-8);
    EXPECT_NEAR(fit.er_percent, 0.3565294100, 1e-8);
    EXPECT_NEAR(fit.r, 0.9999650472, 1e-9);
    EXPECT_EQ(fit.formula.rm, (FigureRange{25.0, 50.0}));
    EXPECT_EQ(fit.formula.depth, (FigureRange{1.0, 3.0}));
    EXPECT_EQ(fit.formula.strength, (FigureRange{16.8, 51.0}));
}

TEST(CurveFit, OneDepthOnlyLeavesCAtZeroAndFillsThatColumnOnly) {
    CurveFormula truth;
    truth.a = 0.03;
    truth.b = 1.95;
    std::vector<CurvePair> pairs;
    for (double rm = 24.0; rm <= 52.0; rm += 4.0) pairs.push_back({rm, 2.0, truth.strength_at(rm, 2.0)});
    const CurveFitOutcome outcome = fit_curve(pairs);
    ASSERT_TRUE(outcome.fit) << outcome.error;
    EXPECT_FALSE(outcome.fit->depth_fitted);
    EXPECT_EQ(outcome.fit->formula.c, 0.0);
    EXPECT_NEAR(outcome.fit->formula.a, 0.03, 1e-9);
    EXPECT_NEAR(outcome.fit->formula.b, 1.95, 1e-9);
    EXPECT_NEAR(outcome.fit->delta_percent, 0.0, 1e-9);

    const Strength_Curve curve = build_curve(outcome.fit->formula);
    for (int r = 0; r < kEvaluationCurveRows; ++r) {
        for (int c = 0; c < kEvaluationCurveColumns; ++c) {
            const float v = curve.values[static_cast<std::size_t>(r * kEvaluationCurveColumns + c)];
            if (c != 4) {
                EXPECT_EQ(v, 0.0f) << "row " << r << ", column " << c;
            }
        }
    }
    EXPECT_EQ(filled_cells(curve), 141u);  // Rm 24.0 to 52.0 by 0.2
}

TEST(CurveFit, RefusesPairsThatDetermineNoCurve) {
    const struct {
        const char* name;
        std::vector<CurvePair> pairs;
        const char* says;
    } cases[] = {
        {"no pairs", {}, "at least 3 pairs, there are 0"},
        {"two pairs", {{30, 1, 25}, {40, 1, 35}}, "at least 3 pairs, there are 2"},
        {"one rebound value", {{30, 1, 25}, {30, 2, 24}, {30, 3, 23}}, "same rebound value"},
        // log10 Rm and dm vary together: Rm 10, 20, 40 with dm 1, 2, 3.
        {"rebound and depth together", {{10, 1, 25}, {20, 2, 30}, {40, 3, 35}}, "vary together"},
        {"bad pair", {{30, 1, 25}, {40, 1, -3}, {50, 1, 45}},
         "pair 2: the strength must lie from 5.0 to 100.0 MPa, not -3.0"},
    };
    for (const auto& c : cases) {
        const CurveFitOutcome outcome = fit_curve(c.pairs);
        EXPECT_FALSE(outcome.fit) << c.name;
        EXPECT_NE(outcome.error.find(c.says), std::string::npos) << c.name << ": " << outcome.error;
    }
}

TEST(CurveFit, PairCountWarningBelowTheRecommendedNumber) {
    EXPECT_EQ(pair_count_warning(30), "");
    EXPECT_NE(pair_count_warning(29).find("only 29 pairs"), std::string::npos);
    EXPECT_EQ(pair_count_warning(12, 10), "");
    EXPECT_NE(pair_count_warning(9, 10).find("at least 10"), std::string::npos);
}

// Three parameters fit three points exactly: a fit of fewer than 30 pairs is
// never accepted, however small its errors.
TEST(CurveAcceptance, FewerThanThirtyPairsAreNeverAccepted) {
    for (const std::size_t n : {std::size_t{3}, std::size_t{12}, std::size_t{29}, std::size_t{30}}) {
        CurveFit fit;
        fit.n = n;
        fit.delta_percent = 1.0;
        fit.er_percent = 1.0;
        const CurveVerdict verdict = judge_fit(fit, CurveKind::Special);
        EXPECT_EQ(verdict.accepted, n >= 30) << n;
        if (n < 30) {
            EXPECT_EQ(verdict.text, "not accepted as a special curve: " + std::to_string(n) +
                                        " pairs, fewer than the 30 it needs; delta 1.00 % <= 12.0 %, er 1.00 % <= "
                                        "14.0 %");
        }
    }
}

TEST(CurveAcceptance, LimitsOfEachKindDecideTheVerdict) {
    // The limits are the figures the user guide quotes.
    EXPECT_EQ(acceptance_of(CurveKind::Special).max_delta_percent, 12.0);
    EXPECT_EQ(acceptance_of(CurveKind::Special).max_er_percent, 14.0);
    EXPECT_EQ(acceptance_of(CurveKind::Regional).max_delta_percent, 14.0);
    EXPECT_EQ(acceptance_of(CurveKind::Regional).max_er_percent, 17.0);
    EXPECT_EQ(curve_kind_named("special"), CurveKind::Special);
    EXPECT_EQ(curve_kind_named("regional"), CurveKind::Regional);
    EXPECT_EQ(curve_kind_named("Special"), std::nullopt);

    const struct {
        double delta, er;
        CurveKind kind;
        bool accepted;
    } cases[] = {
        {12.0, 14.0, CurveKind::Special, true},      // at the limits
        {12.004, 13.0, CurveKind::Special, true},    // shown as 12.00
        {12.006, 13.0, CurveKind::Special, false},   // shown as 12.01
        {11.0, 14.01, CurveKind::Special, false},
        {13.5, 16.5, CurveKind::Special, false},
        {13.5, 16.5, CurveKind::Regional, true},
        {14.2, 16.5, CurveKind::Regional, false},
        {10.0, 17.2, CurveKind::Regional, false},
    };
    for (const auto& c : cases) {
        CurveFit fit;
        fit.n = kRecommendedCurvePairs;
        fit.delta_percent = c.delta;
        fit.er_percent = c.er;
        const CurveVerdict verdict = judge_fit(fit, c.kind);
        EXPECT_EQ(verdict.accepted, c.accepted) << c.delta << " " << c.er << ": " << verdict.text;
        EXPECT_EQ(verdict.text.rfind(c.accepted ? "accepted" : "not accepted", 0), 0u) << verdict.text;
    }
}

// The formula the edge tests build from: its strengths rise with Rm and fall
// with dm, 24.4 MPa at Rm 30, dm 0.
CurveFormula edge_formula() {
    CurveFormula f;
    f.a = 0.0250;
    f.b = 2.0108;
    f.c = -0.0358;
    f.rm = {30.0, 40.0};
    f.depth = {1.0, 3.0};
    f.strength = {1.0, 150.0};
    return f;
}

float cell(const Strength_Curve& curve, double rm, double depth) {
    const int r = static_cast<int>(std::lround((rm - 20.0) * 5.0));
    const int c = static_cast<int>(std::lround(depth * 2.0));
    return curve.values.at(static_cast<std::size_t>(r * curve.column_count + c));
}

TEST(CurveBuild, BlanksEveryCellOutsideTheRangesAtEachEdge) {
    CurveFormula f = edge_formula();
    const Strength_Curve curve = build_curve(f);
    ASSERT_EQ(curve.row_count, 201);
    ASSERT_EQ(curve.column_count, 13);
    // Rebound range: 29.8 outside, 30.0 and 40.0 inside, 40.2 outside.
    EXPECT_EQ(cell(curve, 29.8, 2.0), 0.0f);
    EXPECT_GT(cell(curve, 30.0, 2.0), 0.0f);
    EXPECT_GT(cell(curve, 40.0, 2.0), 0.0f);
    EXPECT_EQ(cell(curve, 40.2, 2.0), 0.0f);
    // Depth range: 0.5 outside, 1.0 and 3.0 inside, 3.5 outside.
    EXPECT_EQ(cell(curve, 35.0, 0.5), 0.0f);
    EXPECT_GT(cell(curve, 35.0, 1.0), 0.0f);
    EXPECT_GT(cell(curve, 35.0, 3.0), 0.0f);
    EXPECT_EQ(cell(curve, 35.0, 3.5), 0.0f);

    // Strength range: at dm 2.0 the formula gives, rounded, 20.9 at Rm 30.8,
    // 21.1 at Rm 31.0, 29.9 at Rm 36.8 and 30.2 at Rm 37.0; a range of 21.1 to
    // 29.9 keeps the inner two and blanks the outer two.
    EXPECT_FLOAT_EQ(cell(curve, 30.8, 2.0), 20.9f);
    EXPECT_FLOAT_EQ(cell(curve, 31.0, 2.0), 21.1f);
    EXPECT_FLOAT_EQ(cell(curve, 36.8, 2.0), 29.9f);
    EXPECT_FLOAT_EQ(cell(curve, 37.0, 2.0), 30.2f);
    f.strength = {21.1, 29.9};
    const Strength_Curve cut = build_curve(f);
    EXPECT_EQ(cell(cut, 30.8, 2.0), 0.0f);
    EXPECT_FLOAT_EQ(cell(cut, 31.0, 2.0), 21.1f);
    EXPECT_FLOAT_EQ(cell(cut, 36.8, 2.0), 29.9f);
    EXPECT_EQ(cell(cut, 37.0, 2.0), 0.0f);
}

TEST(CurveBuild, EveryFilledCellIsTheFormulaRoundedToATenth) {
    CurveFormula f = edge_formula();
    f.rm = {20.0, 60.0};
    f.depth = {0.0, 6.0};
    f.strength = {10.0, 60.0};
    const Strength_Curve curve = build_curve(f);
    std::size_t filled = 0;
    for (int r = 0; r < 201; ++r) {
        for (int c = 0; c < 13; ++c) {
            const double rm = 20.0 + 0.2 * r;
            const double depth = 0.5 * c;
            const double exact = 0.0250 * std::pow(rm, 2.0108) * std::pow(10.0, -0.0358 * depth);
            const double rounded = std::round(exact * 10.0) / 10.0;
            const float v = curve.values[static_cast<std::size_t>(r * 13 + c)];
            if (rounded >= 10.0 && rounded <= 60.0) {
                EXPECT_FLOAT_EQ(v, static_cast<float>(rounded)) << "Rm " << rm << ", dm " << depth;
                ++filled;
            } else {
                EXPECT_EQ(v, 0.0f) << "Rm " << rm << ", dm " << depth;
            }
        }
    }
    EXPECT_EQ(filled_cells(curve), filled);
    EXPECT_GT(filled, 2000u);
}

TEST(CurveBuild, FormulaDefects) {
    const struct {
        const char* name;
        void (*change)(CurveFormula&);
        const char* says;  // empty: no defect
    } cases[] = {
        {"valid", [](CurveFormula&) {}, ""},
        {"A zero", [](CurveFormula& f) { f.a = 0.0; }, "A must be above 0"},
        {"B not finite", [](CurveFormula& f) { f.b = std::nan(""); }, "finite"},
        {"rebound range reversed", [](CurveFormula& f) { f.rm = {40.0, 30.0}; }, "rebound range"},
        {"depth beyond 6 mm", [](CurveFormula& f) { f.depth = {0.0, 6.5}; }, "depth range"},
        {"negative depth", [](CurveFormula& f) { f.depth = {-0.5, 2.0}; }, "depth range"},
        {"strength beyond the curve check", [](CurveFormula& f) { f.strength = {10.0, 200.0}; },
         "strength range"},
    };
    for (const auto& c : cases) {
        CurveFormula f = edge_formula();
        c.change(f);
        const auto defect = formula_defect(f);
        if (std::string(c.says).empty()) {
            EXPECT_FALSE(defect) << c.name << ": " << *defect;
        } else {
            ASSERT_TRUE(defect) << c.name;
            EXPECT_NE(defect->find(c.says), std::string::npos) << c.name << ": " << *defect;
        }
    }
}

class CurveFileWrite : public test::ScratchFolderTest {
protected:
    CurveFileWrite() : ScratchFolderTest("rebound-curve-fit-") {}
};

TEST_F(CurveFileWrite, WrittenCurvePassesTheEvaluationCheck) {
    CurveFormula f = edge_formula();
    const Strength_Curve curve = build_curve(f);
    const std::filesystem::path path = dir_ / "lab.cur";
    ASSERT_TRUE(write_curve_file(curve, path));
    EXPECT_EQ(std::filesystem::file_size(path), 24u + 4u * 201u * 13u);
    Strength_Curve read;
    EXPECT_EQ(read_curve_for_evaluation(path, read), std::nullopt);
    EXPECT_EQ(read, curve);
}

TEST(CurvePairsCsv, ReadsTheHeaderAndLinesInEveryAcceptedForm) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"LF", "rm,depth,strength\n30.5,1.5,25.1\n42,0,40.75\n"},
        {"CR LF", "rm,depth,strength\r\n30.5,1.5,25.1\r\n42,0,40.75\r\n"},
        {"byte order mark", "\xEF\xBB\xBFrm,depth,strength\n30.5,1.5,25.1\n42,0,40.75"},
        {"spaces, quotes, blank lines", "\n RM , Depth , Strength \n\"30.5\", 1.5 ,25.1\n\n42,0.0,4075e-2\n\n"},
    };
    const std::vector<CurvePair> expected = {{30.5, 1.5, 25.1}, {42.0, 0.0, 40.75}};
    for (const auto& c : cases) {
        const Result<std::vector<CurvePair>> read = parse_pairs_csv(c.text);
        ASSERT_TRUE(read) << c.name << ": " << read.error().message;
        EXPECT_EQ(*read, expected) << c.name;
    }
    // Written pairs read back unchanged.
    const Result<std::vector<CurvePair>> again = parse_pairs_csv(pairs_csv_text(expected));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, expected);
}

TEST(CurvePairsCsv, BadLinesAreErrorsNamingTheLine) {
    const std::string head = "rm,depth,strength\n30.0,1.0,25.0\n";
    const struct {
        const char* name;
        std::string text;
        const char* field;
        const char* says;  // the message, from its start
    } cases[] = {
        {"missing cell", head + "31.0,26.0\n", "", "line 3: 2 cells where 3 are expected"},
        {"extra cell", head + "\n31.0,1.0,26.0,7\n", "", "line 4: 4 cells where 3 are expected"},
        {"comma decimal", head + "31,5,1.0,26.0\n", "", "line 3: 4 cells where 3 are expected (rm,depth,strength); numbers take a decimal point"},
        {"quoted comma decimal", head + "\"31,5\",1.0,26.0\n", "rm", "line 3: rm \"31,5\" is not a number; write a decimal point"},
        {"not a number", head + "31.0,abc,26.0\n", "depth", "line 3: depth \"abc\" is not a number"},
        {"empty cell", head + "31.0,,26.0\n", "depth", "line 3: depth is empty"},
        {"infinity", head + "31.0,1.0,inf\n", "strength", "line 3: strength \"inf\" is not a number"},
        {"negative rebound", head + "-31.0,1.0,26.0\n", "rm",
         "line 3: the rebound value must lie from 10.0 to 70.0, not -31.0"},
        {"zero rebound", head + "0,1.0,26.0\n", "rm", "line 3: the rebound value must lie from 10.0 to 70.0, not 0.0"},
        {"rebound below 10", head + "9.9,1.0,26.0\n", "rm", "line 3: the rebound value must lie from 10.0 to 70.0"},
        {"rebound of 1e6", head + "1e6,1.0,26.0\n", "rm",
         "line 3: the rebound value must lie from 10.0 to 70.0, not 1000000.0"},
        {"negative depth", head + "31.0,-0.5,26.0\n", "depth",
         "line 3: the carbonation depth must lie from 0.0 to 6.0 mm, not -0.5"},
        {"depth above 6.0", head + "31.0,6.5,26.0\n", "depth",
         "line 3: the carbonation depth must lie from 0.0 to 6.0 mm, not 6.5"},
        {"zero strength", head + "31.0,1.0,0\n", "strength",
         "line 3: the strength must lie from 5.0 to 100.0 MPa, not 0.0"},
        {"strength in kPa", head + "31.0,1.0,26000\n", "strength",
         "line 3: the strength must lie from 5.0 to 100.0 MPa, not 26000.0"},
        {"negative strength", "rm,depth,strength\r\n31.0,1.0,-2\r\n", "strength",
         "line 2: the strength must lie from 5.0 to 100.0 MPa, not -2.0"},
        {"open quote", head + "\"31.0,1.0,26.0\n", "", "line 3: a quoted cell is not closed"},
        {"wrong header", "rebound,depth,strength\n30,1,25\n", "", "line 1: the first line must be the header"},
        {"header missing", "30.0,1.0,25.0\n", "", "line 1: the first line must be the header"},
        {"semicolons", "rm;depth;strength\n", "", "line 1: the first line must be the header"},
        {"empty file", "", "", "the file is empty"},
    };
    for (const auto& c : cases) {
        const Result<std::vector<CurvePair>> read = parse_pairs_csv(c.text, "pairs.csv");
        ASSERT_FALSE(read) << c.name;
        EXPECT_EQ(read.error().kind, FileError::Kind::Malformed) << c.name;
        EXPECT_EQ(read.error().file, std::filesystem::path("pairs.csv")) << c.name;
        EXPECT_EQ(read.error().field, c.field) << c.name;
        EXPECT_EQ(read.error().message.rfind(c.says, 0), 0u) << c.name << ": " << read.error().message;
    }
}

TEST(CurvePairsCsv, ReportsTheOffsetOfTheBadLine) {
    const std::string text = "rm,depth,strength\r\n30.0,1.0,25.0\r\nx,1,2\r\n";
    const Result<std::vector<CurvePair>> read = parse_pairs_csv(text);
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().offset, text.find("x,1,2"));
}

TEST(CurvePairsCsv, MissingFileCannotBeOpened) {
    const Result<std::vector<CurvePair>> read = read_pairs_csv("/nonexistent/pairs.csv");
    ASSERT_FALSE(read);
    EXPECT_EQ(read.error().kind, FileError::Kind::CannotOpen);
}

}  // namespace
}  // namespace rebound
