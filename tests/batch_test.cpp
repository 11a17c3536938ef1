// Inspection by batch, correction by cores, and how both are kept in the
// spare texts of a project. Figures worked by hand in the comments.
#include "evaluation/batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>

#include "batch_fixtures.h"
#include "evaluation/spare_texts.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

using test::component_of;

// Ten areas, five at mean - d and five at mean + d: S = d x sqrt(10 / 9).
ComponentInfo spread_component(double mean, double d) {
    const double lo = mean - d;
    const double hi = mean + d;
    return component_of({lo, hi, lo, hi, lo, hi, lo, hi, lo, hi});
}

std::vector<std::size_t> all_of(const ReboundFile& p) {
    std::vector<std::size_t> all;
    for (std::size_t i = 0; i < p.components.size(); ++i) all.push_back(i);
    return all;
}

BatchEvaluation evaluate_all(const ReboundFile& p, BatchSettings settings = {},
                             std::vector<CoreSample> cores = {}) {
    const auto components = all_of(p);
    return evaluate_batch(p, components, settings, cores);
}

std::vector<BatchReason::Kind> kinds(const BatchFigures& b) {
    std::vector<BatchReason::Kind> k;
    for (const BatchReason& r : b.reasons) k.push_back(r.kind);
    return k;
}

using Kind = BatchReason::Kind;

TEST(BatchFigures, LineAndVerdictByHand) {
    struct Case {
        const char* name;
        double mean;
        double d;
        double k;
        double expected_sd;
        double expected_estimate;
        std::vector<Kind> reasons;
    };
    const Case cases[] = {
        // S = 4.3 x 1.0541 = 4.533 -> 4.5, at the limit: valid; 24.9 - 1.645 x 4.5 = 17.4975
        {"below 25, S at 4.5", 24.9, 4.3, 1.645, 4.5, 17.5, {}},
        // S = 4.638 -> 4.6 above 4.5; 24.9 - 7.567 = 17.333
        {"below 25, S just above 4.5", 24.9, 4.4, 1.645, 4.6, 17.3, {Kind::LowMeanSpread}},
        {"at 25, S 4.6 is within 5.5", 25.0, 4.4, 1.645, 4.6, 17.4, {}},
        // S = 5.481 -> 5.5, at the limit; 25.0 - 9.0475 = 15.9525
        {"at 25, S at 5.5", 25.0, 5.2, 1.645, 5.5, 16.0, {}},
        // S = 5.587 -> 5.6; 25.0 - 9.212 = 15.788
        {"at 25, S just above 5.5", 25.0, 5.3, 1.645, 5.6, 15.8, {Kind::MidMeanSpread}},
        {"at 60, S just above 5.5", 60.0, 5.3, 1.645, 5.6, 50.8, {Kind::MidMeanSpread}},
        {"above 60 no limit", 60.1, 5.3, 1.645, 5.6, 50.9, {}},
        // k changed: 25.0 - 2.0 x 5.5 = 14.0; 25.0 - 1.282 x 5.5 = 17.949
        {"k 2.0", 25.0, 5.2, 2.0, 5.5, 14.0, {}},
        {"k 1.282", 25.0, 5.2, 1.282, 5.5, 17.9, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReboundFile p;
        p.components.push_back(spread_component(c.mean, c.d));
        BatchSettings settings;
        settings.k = c.k;
        const BatchEvaluation e = evaluate_all(p, settings);
        EXPECT_EQ(e.batch.areas, 10u);
        EXPECT_DOUBLE_EQ(e.batch.mean, round_tenth(c.mean));
        EXPECT_DOUBLE_EQ(e.batch.sd, c.expected_sd);
        EXPECT_DOUBLE_EQ(e.batch.estimate, c.expected_estimate);
        EXPECT_EQ(kinds(e.batch), c.reasons);
        EXPECT_EQ(e.batch.valid, c.reasons.empty());
    }
}

TEST(BatchFigures, ValidBatchOverTwoComponents) {
    // Areas 30 to 39 split over two components: n 10, m 34.5,
    // S = sqrt(82.5 / 9) = 3.03 -> 3.0, fe = 34.5 - 4.935 = 29.565 -> 29.6.
    ReboundFile p;
    p.components.push_back(component_of({30, 32, 34, 36, 38}));
    p.components.push_back(component_of({31, 33, 35, 37, 39}));
    p.components[0].strength_avg = 34.0f;
    p.components[0].strength_estimate = 30.0f;
    const BatchEvaluation e = evaluate_all(p);
    EXPECT_EQ(e.batch.components, 2u);
    EXPECT_EQ(e.batch.areas, 10u);
    EXPECT_DOUBLE_EQ(e.batch.mean, 34.5);
    EXPECT_DOUBLE_EQ(e.batch.sd, 3.0);
    EXPECT_DOUBLE_EQ(e.batch.estimate, 29.6);
    EXPECT_TRUE(e.batch.valid);
    ASSERT_EQ(e.components.size(), 2u);
    // Each component line carries its own stored figures.
    EXPECT_EQ(e.components[0].areas, 5u);
    EXPECT_DOUBLE_EQ(e.components[0].mean, 34.0);
    EXPECT_DOUBLE_EQ(e.components[0].estimate, 30.0);
    EXPECT_FALSE(e.correction);
    EXPECT_FALSE(e.corrected);
}

TEST(BatchFigures, ComponentWithoutAreasAndAreaOutsideCurveNameThemselves) {
    ReboundFile p;
    p.components.push_back(spread_component(30.0, 1.0));
    p.components.push_back(ComponentInfo{});                     // no areas
    p.components.push_back(component_of({30, 0, 31, 32, 0}));  // areas 2 and 5 outside
    const BatchEvaluation e = evaluate_all(p);
    EXPECT_FALSE(e.batch.valid);
    // Every reason is named, the spread the blank areas cause included.
    ASSERT_EQ(kinds(e.batch),
              (std::vector<Kind>{Kind::ComponentWithoutAreas, Kind::AreaOutsideCurve, Kind::MidMeanSpread}));
    EXPECT_EQ(e.batch.reasons[0].components, std::vector<std::size_t>{1});
    const std::vector<BatchReason::AreaRef> outside{{2, 1}, {2, 4}};
    EXPECT_EQ(e.batch.reasons[1].areas, outside);
    EXPECT_EQ(describe(e.batch.reasons[0]), "components without test areas: 2");
    EXPECT_EQ(describe(e.batch.reasons[1]),
              "test areas outside the range of the curve, without a strength (component/area): 3/2, 3/5");
    // n counts every area, those outside the curve included.
    EXPECT_EQ(e.batch.areas, 15u);
}

TEST(BatchFigures, EmptyBatchAndSingleAreaAreNotValid) {
    ReboundFile p;
    EXPECT_EQ(kinds(evaluate_all(p).batch), std::vector<Kind>{Kind::NoComponents});
    p.components.push_back(component_of({30}));
    const BatchEvaluation one = evaluate_all(p);
    EXPECT_FALSE(one.batch.has_sd);
    EXPECT_EQ(kinds(one.batch), std::vector<Kind>{Kind::TooFewAreas});
}

TEST(BatchFigures, OnlyTickedComponentsByDefault) {
    ReboundFile p;
    p.components.resize(4);
    p.components[1].list_checked = 0;
    p.components[3].list_checked = 0;
    EXPECT_EQ(ticked_components(p), (std::vector<std::size_t>{0, 2}));
}

TEST(Sampling, AdviceNamesTheRule) {
    using W = SamplingWarning::Kind;
    struct Case {
        std::size_t inspected;
        std::uint32_t lot;
        std::vector<W> expected;
    };
    const Case cases[] = {
        {12, 40, {}},                 // 30 % of 40 is 12
        {11, 40, {W::BelowShare}},    // fewer than 12
        {29, 100, {W::BelowShare}},   // fewer than 30
        {9, 20, {W::BelowMinimum}},   // 30 % is 6, but fewer than 10
        {3, 40, {W::BelowShare, W::BelowMinimum}},
        {10, 10, {}},
        {9, 9, {}},                   // a small lot, inspected in full
        {8, 9, {W::NotAll}},
        {41, 40, {W::MoreThanLot}},
        {5, 0, {}},                   // lot not stated: no advice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.inspected) + " of " + std::to_string(c.lot));
        std::vector<W> got;
        for (const SamplingWarning& w : sampling_advice(c.inspected, c.lot)) got.push_back(w.kind);
        EXPECT_EQ(got, c.expected);
    }
    EXPECT_EQ(describe(sampling_advice(11, 40)[0]),
              "11 of 40 components inspected, fewer than 30 % of the batch (at least 12)");
}

// Component 1: areas 20, 25, 30, 35, 40, 30, 30, 30, 30, 30: m 30.0,
// S = sqrt(250 / 9) = 5.27 -> 5.3, fe = 30.0 - 8.7185 = 21.3.
// Cores at areas 1 to 6: 22, 27, 33, 38, 44, 34 against 20, 25, 30, 35, 40, 30.
ReboundFile cored_project() {
    ReboundFile p;
    p.components.push_back(component_of({20, 25, 30, 35, 40, 30, 30, 30, 30, 30}));
    return p;
}

std::vector<CoreSample> six_cores() {
    return {{0, 0, 22}, {0, 1, 27}, {0, 2, 33}, {0, 3, 38}, {0, 4, 44}, {0, 5, 34}};
}

std::vector<CoreSample> five_cores() {
    auto cores = six_cores();
    cores.pop_back();
    return cores;
}

TEST(Correction, BothMethodsOnTheSamePairs) {
    const ReboundFile p = cored_project();
    struct Case {
        CorrectionMethod method;
        double value;  // delta or eta
        double mean, sd, estimate;
        bool valid;
    };
    const Case cases[] = {
        // delta = 198 / 6 - 180 / 6 = 33.0 - 30.0 = 3.0: m 33.0, S 5.3 unchanged,
        // fe = 33.0 - 8.7185 = 24.2815
        {CorrectionMethod::Amount, 3.0, 33.0, 5.3, 24.3, true},
        // eta = (1.1 + 1.08 + 1.1 + 1.0857 + 1.1 + 1.1333) / 6 = 1.09984 -> 1.100:
        // m 33.0, S 5.27 x 1.1 = 5.80 -> 5.8 above 5.5: not valid; fe = 33.0 - 9.541
        {CorrectionMethod::Coefficient, 1.1, 33.0, 5.8, 23.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(method_name(c.method));
        BatchSettings settings;
        settings.method = c.method;
        const BatchEvaluation e = evaluate_all(p, settings, six_cores());
        EXPECT_DOUBLE_EQ(e.batch.mean, 30.0);
        EXPECT_DOUBLE_EQ(e.batch.sd, 5.3);
        EXPECT_DOUBLE_EQ(e.batch.estimate, 21.3);
        ASSERT_TRUE(e.correction) << describe(*e.correction_error);
        EXPECT_EQ(e.correction->pairs, 6u);
        EXPECT_DOUBLE_EQ(e.correction->value, c.value);
        EXPECT_DOUBLE_EQ(e.correction->core_mean, 33.0);
        EXPECT_DOUBLE_EQ(e.correction->area_mean, 30.0);
        ASSERT_TRUE(e.corrected);
        EXPECT_DOUBLE_EQ(e.corrected->mean, c.mean);
        EXPECT_DOUBLE_EQ(e.corrected->sd, c.sd);
        EXPECT_DOUBLE_EQ(e.corrected->estimate, c.estimate);
        EXPECT_EQ(e.corrected->valid, c.valid);
        // The component's corrected figures sit beside its own.
        ASSERT_TRUE(e.components[0].corrected);
        EXPECT_NEAR(e.components[0].corrected->min, c.method == CorrectionMethod::Amount ? 23.0 : 22.0, 1e-5);
    }
    // The stored figures are untouched.
    EXPECT_EQ(p, cored_project());
}

TEST(Correction, PairsThatGiveNone) {
    using E = CorrectionError::Kind;
    ReboundFile p = cored_project();
    p.components.push_back(component_of({30, 0, 30}));  // component 2, area 2 outside the curve
    const std::vector<std::size_t> only_first{0};
    const std::vector<std::size_t> both{0, 1};
    struct Case {
        const char* name;
        std::vector<CoreSample> cores;
        const std::vector<std::size_t>* components;
        E expected;
    };
    auto with = [](CoreSample extra) {
        auto cores = six_cores();
        cores.push_back(extra);
        return cores;
    };
    const Case cases[] = {
        {"five pairs", five_cores(), &only_first, E::TooFewPairs},
        {"area beyond the component", with({0, 10, 30}), &only_first, E::NoSuchArea},
        {"component beyond the project", with({5, 0, 30}), &both, E::NoSuchComponent},
        {"component outside the batch", with({1, 0, 30}), &only_first, E::NotInBatch},
        {"area outside the curve", with({1, 1, 30}), &both, E::AreaWithoutStrength},
        {"core of 0 MPa", with({0, 7, 0}), &only_first, E::BadStrength},
        {"two cores at one area", with({0, 2, 31}), &only_first, E::SameArea},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CorrectionOutcome out = compute_correction(p, *c.components, c.cores, CorrectionMethod::Amount);
        EXPECT_FALSE(out.correction);
        ASSERT_TRUE(out.error);
        EXPECT_EQ(out.error->kind, c.expected);
    }
    const CorrectionOutcome five = compute_correction(p, only_first, five_cores(), CorrectionMethod::Amount);
    EXPECT_EQ(describe(*five.error), "5 cores, a correction needs at least 6");
    // The batch is still judged without them.
    BatchSettings settings;
    const std::vector<CoreSample> cores = five_cores();
    const BatchEvaluation e = evaluate_batch(p, only_first, settings, cores);
    EXPECT_TRUE(e.batch.valid);
    EXPECT_TRUE(e.correction_error);
    EXPECT_FALSE(e.corrected);
}

TEST(CoreTable, CsvAndPastedCells) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<CoreSample> cores;
        std::size_t error_line;
    };
    const Case cases[] = {
        {"csv with titles", "component,area,strength\r\n1,3,32.5\r\n2,1,30\r\n", {{0, 2, 32.5}, {1, 0, 30}}, 0},
        {"pasted cells, blank line", "1\t3\t32.5\n\n2\t1\t30", {{0, 2, 32.5}, {1, 0, 30}}, 0},
        {"semicolons and spaces", " 1 ; 3 ; 32.5 ", {{0, 2, 32.5}}, 0},
        {"a comma decimal is not a strength", "1;3;32,5", {}, 1},
        {"titles only once", "component,area,strength\ncomponent,area,strength\n", {}, 2},
        {"area 0", "1,0,30\n", {}, 1},
        {"no strength", "1,3,0\n", {}, 1},
        {"two cells", "1,3,30\n1,4\n", {}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CoreTable t = parse_core_table(c.text);
        EXPECT_EQ(t.error_line, c.error_line) << t.error;
        EXPECT_EQ(t.cores, c.cores);
    }
}

// ---------------------------------------------------------------- spare texts

TEST(SpareTexts, Syntax) {
    struct Case {
        const char* text;
        bool parses;
    };
    const Case cases[] = {
        {"", true},
        {"batch=1", true},
        {"batch=1;k=2;note=a b", true},
        {"note=", true},
        {"batch=1;", false},
        {"=1", false},
        {"Batch=1", false},
        {"batch", false},
        {"batch=1;batch=0", false},
        {"note=\xB2\xE2", false},
        {"\xB2\xE2\xCA\xD4", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto pairs = parse_spare_text(c.text);
        EXPECT_EQ(pairs.has_value(), c.parses);
        if (pairs) {
            EXPECT_EQ(format_spare_text(*pairs), c.text);
        }
    }
}

TEST(SpareTexts, SettingsAndCoresRoundTrip) {
    ReboundFile p = cored_project();
    p.components.push_back(component_of({30, 31}));
    p.components[1].reserved_text = "note=x";
    BatchSettings settings;
    settings.enabled = true;
    settings.k = 2.0;
    settings.lot_size = 40;
    settings.method = CorrectionMethod::Coefficient;
    std::vector<CoreSample> cores = six_cores();
    cores[1].strength = 27.25;
    cores.push_back({1, 1, 30.5});
    EXPECT_FALSE(write_batch_data(p, settings, cores));
    EXPECT_EQ(p.reserved_text1, "batch=1;k=2;lot=40;method=coefficient");
    EXPECT_EQ(p.reserved_text2, "");
    EXPECT_EQ(p.components[0].reserved_text, "cores=1:22,2:27.25,3:33,4:38,5:44,6:34");
    EXPECT_EQ(p.components[1].reserved_text, "note=x;cores=2:30.5");

    // Through the project file and back.
    ByteWriter w;
    p.write_to(w);
    ByteReader r(w.bytes());
    ReboundFile back;
    back.read_from(r, "");
    const ProjectBatchData data = read_batch_data(back);
    EXPECT_EQ(data.settings, settings);
    EXPECT_EQ(data.cores, cores);
    EXPECT_TRUE(data.unparsable.empty());

    // Back to the defaults without cores: the texts are as before.
    EXPECT_FALSE(write_batch_data(back, BatchSettings{}, {}));
    EXPECT_EQ(back.reserved_text1, "");
    EXPECT_EQ(back.components[0].reserved_text, "");
    EXPECT_EQ(back.components[1].reserved_text, "note=x");
}

TEST(SpareTexts, UnparsableTextIsKeptAndReportedOnce) {
    ReboundFile p = cored_project();
    p.reserved_text1 = "\xB2\xE2\xCA\xD4";  // someone's note, in GBK
    p.reserved_text2 = "k=-1";               // a value out of range
    p.components[0].reserved_text = "cores=1:22,0:30";  // there is no area 0
    const ProjectBatchData data = read_batch_data(p);
    ASSERT_EQ(data.unparsable.size(), 3u);
    EXPECT_EQ(data.unparsable[0].where, UnparsableSpareText::Where::HeaderText1);
    EXPECT_EQ(data.unparsable[0].text, p.reserved_text1);
    EXPECT_EQ(data.unparsable[1].where, UnparsableSpareText::Where::HeaderText2);
    EXPECT_EQ(data.unparsable[2].where, UnparsableSpareText::Where::Component);
    EXPECT_EQ(data.settings, BatchSettings{});
    EXPECT_TRUE(data.cores.empty());

    // Neither header text can take settings, nor the component cores:
    // nothing changes.
    const ReboundFile before = p;
    BatchSettings on;
    on.enabled = true;
    EXPECT_TRUE(write_batch_data(p, on, {}));
    EXPECT_TRUE(write_batch_data(p, BatchSettings{}, six_cores()));
    EXPECT_EQ(p, before);
    // Defaults and no cores ask nothing of them: still nothing changes.
    EXPECT_FALSE(write_batch_data(p, BatchSettings{}, {}));
    EXPECT_EQ(p, before);

    // With the second header text free, the settings go there.
    p.reserved_text2 = "";
    EXPECT_FALSE(write_batch_data(p, on, {}));
    EXPECT_EQ(p.reserved_text1, before.reserved_text1);
    EXPECT_EQ(p.reserved_text2, "batch=1");
    EXPECT_TRUE(read_batch_data(p).settings.enabled);
}

TEST(SpareTexts, ProjectWithoutBatchIsByteIdenticalAfterSave) {
    ReboundFile p = cored_project();
    p.project_name = "\xB2\xE2\xCA\xD4";
    p.reserved_text1 = "";
    p.components[0].reserved_text = "";
    ByteWriter before;
    p.write_to(before);
    const ProjectBatchData data = read_batch_data(p);
    EXPECT_FALSE(write_batch_data(p, data.settings, data.cores));
    ByteWriter after;
    p.write_to(after);
    EXPECT_EQ(after.bytes(), before.bytes());

    // Saved to a file and read back, the bytes are the same. The files are
    // read through streams closed before the folder goes: on Windows a file
    // still open cannot be deleted.
    const auto dir = test::fresh_test_folder(u8"rebound-batch-");
    ASSERT_TRUE(p.save(dir / "plain.prj"));
    ReboundFile reread;
    ASSERT_TRUE(test::load_project(reread, dir / "plain.prj"));
    const ProjectBatchData again = read_batch_data(reread);
    EXPECT_FALSE(write_batch_data(reread, again.settings, again.cores));
    ASSERT_TRUE(reread.save(dir / "again.prj"));
    const std::string bytes_a = test::read_file(dir / "plain.prj");
    EXPECT_EQ(bytes_a, before.bytes());
    EXPECT_EQ(test::read_file(dir / "again.prj"), bytes_a);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace rebound
