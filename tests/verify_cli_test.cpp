// rebound-cli verify: a quality check that refuses projects holding readings
// typed by hand.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_support.h"
#include "model/rebound_file.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;

using test::run_cli;

class VerifyCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("rebound-verify-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "samples" / "KZ-1.cmp", dir_ / "KZ-1.cmp");
        fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "samples" / "LB-2.tmp", dir_ / "LB-2.tmp");
        ASSERT_EQ(run_cli({"import", "site.prj", "KZ-1.cmp", "LB-2.tmp"}, dir_).status, 0);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // Sets `flag` on the area of a component (positions from 0) in the file.
    void mark(std::size_t component, std::size_t area, std::uint8_t flag) {
        ReboundFile p;
        ASSERT_TRUE(p.load(dir_ / "site.prj", {}));
        p.components[component].areas[area].set_flag(flag, true);
        ASSERT_TRUE(p.save(dir_ / "site.prj"));
    }
    fs::path dir_;
};

TEST_F(VerifyCli, AnImportedProjectPassesAndATypedReadingFails) {
    const auto clean = run_cli({"verify", "site.prj"}, dir_);
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "every reading is as the hammer recorded it\n");

    // Conditions entered at the desk are listed but do not fail the check.
    mark(0, 1, area_flags::kDeskConditions);
    const auto desk = run_cli({"verify", "site.prj"}, dir_);
    EXPECT_EQ(desk.status, 0) << desk.err;

    mark(1, 2, area_flags::kTypedReadings);
    const auto typed = run_cli({"verify", "site.prj"}, dir_);
    EXPECT_EQ(typed.status, 1);
    EXPECT_NE(typed.out.find("conditions entered at the desk in areas 2"), std::string::npos) << typed.out;
    EXPECT_NE(typed.out.find("component 2 \"LB-2\": readings typed by hand in areas 3;"), std::string::npos)
        << typed.out;
    EXPECT_NE(typed.out.find("1 area holds readings typed by hand"), std::string::npos) << typed.out;

    const auto json = run_cli({"verify", "site.prj", "--json"}, dir_);
    EXPECT_EQ(json.status, 1);
    const QJsonObject o = test::json_object(json.out);
    EXPECT_EQ(o.value("typed").toInt(), 1);
    const QJsonArray components = o.value("components").toArray();
    ASSERT_EQ(components.size(), 2);
    const QJsonObject first = components[0].toObject();
    EXPECT_EQ(first.value("index").toInt(), 1);
    EXPECT_EQ(first.value("name").toString(), "KZ-1");
    EXPECT_EQ(first.value("typed_readings").toArray(), QJsonArray());
    EXPECT_EQ(first.value("desk_conditions").toArray(), QJsonArray({2}));
    EXPECT_EQ(components[1].toObject().value("typed_readings").toArray(), QJsonArray({3}));
}

TEST_F(VerifyCli, UsageErrorsExitTwo) {
    for (const QStringList& args : {QStringList{"verify"}, QStringList{"verify", "a.prj", "b.prj"},
                                    QStringList{"verify", "site.prj", "--bogus"}}) {
        EXPECT_EQ(run_cli(args, dir_).status, 2) << args.join(' ').toStdString();
    }
    const auto missing = run_cli({"verify", "missing.prj"}, dir_);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("missing.prj"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace rebound
