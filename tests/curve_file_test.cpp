// Reading curve files, and the shipped standard curve.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <optional>
#include <sstream>

#include "curve_fixtures.h"
#include "curve_table.h"
#include "evaluation/strength_curve.h"
#include "fixtures.h"

namespace rebound {
namespace {

using test::Bytes;

Bytes header(std::int32_t rows, std::int32_t columns, std::int32_t aux1 = 7, float real1 = 1.5f,
             std::int32_t aux2 = -3, float real2 = 2.25f) {
    Bytes b;
    b.i32(rows).i32(columns).i32(aux1).f32(real1).i32(aux2).f32(real2);
    return b;
}

Strength_Curve read(const std::string& bytes) {
    std::istringstream in(bytes, std::ios::binary);
    Strength_Curve curve;
    curve.read_from(in);
    return curve;
}

TEST(CurveFile, FullFileInFileOrder) {
    Bytes b = header(201, 13);
    for (int k = 0; k < 201 * 13; ++k) b.f32(static_cast<float>(k) * 0.5f);
    b.raw("trailing bytes are ignored");
    ASSERT_EQ(b.size(), 24u + 4u * 201u * 13u + 26u);
    const Strength_Curve curve = read(b.str());
    EXPECT_EQ(curve.row_count, 201);
    EXPECT_EQ(curve.column_count, 13);
    EXPECT_EQ(curve.aux_int_1, 7);
    EXPECT_EQ(curve.aux_real_1, 1.5f);
    EXPECT_EQ(curve.aux_int_2, -3);
    EXPECT_EQ(curve.aux_real_2, 2.25f);
    ASSERT_EQ(curve.values.size(), 201u * 13u);
    for (int r : {0, 46, 200})
        for (int c : {0, 4, 12}) EXPECT_EQ(curve.values[13 * r + c], static_cast<float>(13 * r + c) * 0.5f);
}

TEST(CurveFile, ShortAndCorruptFiles) {
    struct Case {
        const char* name;
        std::string bytes;
        std::int32_t rows, columns, aux1;
        std::vector<float> values;
    };
    Bytes ten = header(2, 13);
    for (int k = 1; k <= 10; ++k) ten.f32(static_cast<float>(k));
    std::vector<float> ten_then_repeats;
    for (int k = 1; k <= 10; ++k) ten_then_repeats.push_back(static_cast<float>(k));
    ten_then_repeats.resize(26, 10.0f);

    Bytes cut_value = header(1, 3);
    cut_value.f32(4.0f).raw("\x01\x02");  // the second value is cut after two bytes

    const Case cases[] = {
        {"24 bytes, no rows", header(0, 13).str(), 0, 13, 7, {}},
        {"ends inside the values", ten.str(), 2, 13, 7, ten_then_repeats},
        {"value cut short repeats the one before", cut_value.str(), 1, 3, 7, {4.0f, 4.0f, 4.0f}},
        {"ends before the first value", header(1, 2).str(), 1, 2, 7, {0.0f, 0.0f}},
        {"header cut short", Bytes().i32(5).raw("\x0D\x00").str(), 5, 0, 0, {}},
        {"empty file", "", 0, 0, 0, {}},
        {"negative product", header(-2, 13).str(), -2, 13, 7, {}},
        {"corrupt header asking for too many values", header(100000, 100000).f32(1.0f).str(), 0, 0, 0, {}},
        {"just above the limit", header(1000001, 1).str(), 0, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Strength_Curve curve = read(c.bytes);
        EXPECT_EQ(curve.row_count, c.rows);
        EXPECT_EQ(curve.column_count, c.columns);
        EXPECT_EQ(curve.aux_int_1, c.aux1);
        EXPECT_EQ(curve.values, c.values);
    }
}

TEST(CurveFile, SecondReadReplacesTheFirst) {
    Bytes first = header(3, 13, 1, 1.0f, 1, 1.0f);
    for (int k = 0; k < 39; ++k) first.f32(99.0f);
    Bytes second = header(1, 2, 0, 0.0f, 0, 0.0f);
    second.f32(5.0f);  // ends after one of two values

    Strength_Curve curve;
    std::istringstream a(first.str(), std::ios::binary);
    curve.read_from(a);
    ASSERT_EQ(curve.values.size(), 39u);
    std::istringstream b(second.str(), std::ios::binary);
    curve.read_from(b);
    EXPECT_EQ(curve, read(second.str()));
    EXPECT_EQ(curve.values, (std::vector<float>{5.0f, 5.0f}));
    EXPECT_EQ(curve.aux_int_1, 0);
}

TEST(CurveFile, BytesReadBackToTheSameCurve) {
    Strength_Curve curve;
    curve.row_count = 3;
    curve.column_count = 2;
    curve.aux_int_1 = 11;
    curve.aux_real_1 = -0.5f;
    curve.aux_int_2 = 12;
    curve.aux_real_2 = 8.0f;
    curve.values = {1.0f, 2.5f, 0.0f, 60.0f, 10.3f, 56.4f};
    const std::string bytes = curve.to_bytes();
    EXPECT_EQ(bytes.size(), 24u + 6u * 4u);
    EXPECT_EQ(read(bytes), curve);
}

TEST(CurveFile, ReaderCountsThePaddedValues) {
    Bytes ten = header(2, 13);
    for (int k = 1; k <= 10; ++k) ten.f32(static_cast<float>(k));
    Bytes full = header(1, 2);
    full.f32(1.0f).f32(2.0f);
    EXPECT_EQ(read(ten.str()).padded_values, 16);
    EXPECT_EQ(read(header(1, 2).str()).padded_values, 2);
    EXPECT_EQ(read(full.str()).padded_values, 0);
    EXPECT_EQ(read("").padded_values, 0);
}

// ------------------------------------------------------- curves that evaluate

namespace fs = std::filesystem;

class CurveCheck : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("rebound-curve-check-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

using test::curve_file_bytes;

TEST_F(CurveCheck, UnusableCurvesAreRefusedAndTheLoadedOneIsKept) {
    using Kind = CurveDefect::Kind;
    std::vector<test::UnusableCurve> cases = test::unusable_curves();
    const auto file = [](std::string bytes) {
        return [bytes](const fs::path& p) { test::write_file(p, bytes); };
    };
    cases.push_back({"missing", [](const fs::path&) {}, Kind::Missing, "no such file"});
    cases.push_back({"cut inside the last value",
                     file(curve_file_bytes(201, 13).substr(0, 24 + 4 * 2613 - 1)), Kind::ValuesMissing,
                     "holds 2612 of the 2613 values"});
    cases.push_back({"infinite value",
                     file(curve_file_bytes(201, 13, 30.0f, 0, std::numeric_limits<float>::infinity())),
                     Kind::ValueNotFinite, "row 0, column 0 (counted from 0) is inf"});
    cases.push_back({"value above 150 MPa", file(curve_file_bytes(201, 13, 30.0f, 13, 150.5f)),
                     Kind::ValueOutOfRange, "row 1, column 0 (counted from 0) is 150.5 MPa"});
    cases.push_back(
        {"201 x 12 header", file(curve_file_bytes(201, 12)), Kind::TooSmall, "201 rows and 12 columns"});

    Strength_Curve loaded;
    loaded.row_count = 1;
    loaded.values = {42.0f};
    for (const test::UnusableCurve& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / (std::string(c.name) + ".cur");
        c.make(path);
        Strength_Curve curve = loaded;
        const std::optional<CurveDefect> defect = read_curve_for_evaluation(path, curve);
        ASSERT_TRUE(defect.has_value());
        EXPECT_EQ(defect->kind, c.kind);
        EXPECT_NE(describe(*defect).find(c.says), std::string::npos) << describe(*defect);
        EXPECT_EQ(curve, loaded);
    }
}

TEST_F(CurveCheck, CurvesThatEvaluate) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"shipped curve", test::read_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur")},
        {"limits 0 and 150 MPa", curve_file_bytes(201, 13, 0.0f, 7, 150.0f)},
        {"larger than needed, trailing bytes", curve_file_bytes(210, 14) + "tail"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = dir_ / "curve.cur";
        test::write_file(path, c.bytes);
        Strength_Curve curve;
        EXPECT_EQ(read_curve_for_evaluation(path, curve), std::nullopt);
        EXPECT_EQ(curve, read(c.bytes));
        EXPECT_EQ(find_curve_defect(curve), std::nullopt);
    }
    // A curve built in memory is checked the same way.
    Strength_Curve short_of_values;
    short_of_values.row_count = 201;
    short_of_values.column_count = 13;
    short_of_values.values.assign(2600, 20.0f);
    ASSERT_TRUE(find_curve_defect(short_of_values).has_value());
    EXPECT_EQ(find_curve_defect(short_of_values)->present, 2600);
}

// ------------------------------------------------------------- curve tables

const std::filesystem::path kSourceDir(REBOUND_SOURCE_DIR);

TEST(CurveTable, ShippedCurveEqualsTheConversionTable) {
    std::ifstream csv(kSourceDir / "tools" / "data" / "uniform-conversion-table.csv", std::ios::binary);
    ASSERT_TRUE(csv.is_open());
    Strength_Curve from_table;
    std::string error;
    ASSERT_TRUE(tools::curve_from_csv(csv, from_table, error)) << error;
    const std::string shipped = test::read_file(kSourceDir / "data" / "curve" / "normal.cur");
    EXPECT_EQ(shipped, from_table.to_bytes());

    const Strength_Curve curve = read(shipped);
    EXPECT_EQ(curve.row_count, 201);
    EXPECT_EQ(curve.column_count, 13);
    EXPECT_EQ(curve.aux_int_1, 0);
    EXPECT_EQ(curve.aux_real_1, 0.0f);
    EXPECT_EQ(curve.aux_int_2, 0);
    EXPECT_EQ(curve.aux_real_2, 0.0f);
    // Rows for 20.0, 40.0 and 60.0 mean rebound.
    const std::vector<float> row0(curve.values.begin(), curve.values.begin() + 13);
    EXPECT_EQ(row0, (std::vector<float>{10.3f, 10.1f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    const std::vector<float> row100(curve.values.begin() + 1300, curve.values.begin() + 1313);
    EXPECT_EQ(row100, (std::vector<float>{41.6f, 39.9f, 38.3f, 36.2f, 34.5f, 33.3f, 31.7f, 30.8f, 30.0f,
                                          28.4f, 27.0f, 25.8f, 25.0f}));
    const std::vector<float> row200(curve.values.end() - 13, curve.values.end());
    EXPECT_EQ(row200, (std::vector<float>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 58.3f, 56.4f}));
}

TEST(CurveTable, RepositoryTableMatchesTheReferenceCopy) {
    // The reference data folder lies beside the repository when it is present.
    const std::filesystem::path reference =
        kSourceDir.parent_path() / "shared" / "data" / "uniform-conversion-table.csv";
    if (!std::filesystem::exists(reference)) GTEST_SKIP() << "no reference copy at " << reference;
    EXPECT_EQ(test::read_file(kSourceDir / "tools" / "data" / "uniform-conversion-table.csv"),
              test::read_file(reference));
}

TEST(CurveTable, ReadsAndRejectsTables) {
    struct Case {
        const char* name;
        std::string csv;
        bool ok;
        std::vector<float> values;
    } cases[] = {
        {"blank cells and CR LF", "Rm,a,b\r\n20.0,1.5,\r\n20.2,,2\r\n\r\n", true, {1.5f, 0.0f, 0.0f, 2.0f}},
        {"byte order mark", "\xEF\xBB\xBFRm,a\n20,3\n", true, {3.0f}},
        {"too few cells", "Rm,a,b\n20,1\n", false, {}},
        {"too many cells", "Rm,a\n20,1,2\n", false, {}},
        {"not a number", "Rm,a\n20,x\n", false, {}},
        {"trailing garbage", "Rm,a\n20,1.5mm\n", false, {}},
        {"rebound values falling", "Rm,a\n20.2,1\n20.0,2\n", false, {}},
        {"no rows", "Rm,a\n", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.csv);
        Strength_Curve curve;
        std::string error;
        EXPECT_EQ(tools::curve_from_csv(in, curve, error), c.ok);
        if (c.ok) {
            EXPECT_EQ(curve.values, c.values);
            EXPECT_EQ(static_cast<std::size_t>(curve.row_count) * curve.column_count, c.values.size());
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

}  // namespace
}  // namespace rebound
