// Runs the rebound-cli executable the way a user or a batch script does.
#include <gtest/gtest.h>

#include "cli_support.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"

namespace rebound {
namespace {

using test::CliRun;
using test::python_on_json;
using test::run_cli;

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            (std::string("rebound-cli-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    QString at(const char* name) const { return QString::fromStdString((dir_ / name).string()); }
    std::filesystem::path dir_;
};

TEST_F(CliTest, DumpPrintsTheProjectAsJson) {
    ReboundFile p = test::sample_project(2, 3);
    p.component(0)->area(1).area_strength = 0.1f;
    p.component(1)->strength_delta = std::numeric_limits<float>::infinity();
    ASSERT_TRUE(p.save(dir_ / "site.prj"));
    const CliRun r = run_cli({"dump", at("site.prj")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(python_on_json(r.out, "d['format'], d['project_name'], d['examine_condition']"),
              "project 测试工程 楼板");
    EXPECT_EQ(python_on_json(r.out, "len(d['components']), len(d['components'][1]['areas'])"), "2 3");
    EXPECT_EQ(python_on_json(r.out, "d['components'][0]['areas'][1]['readings']"),
              "[31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46]");
    // The JSON number reads back to the identical single-precision value.
    EXPECT_EQ(python_on_json(r.out,
                             "__import__('struct').unpack('<f', __import__('struct').pack('<f', "
                             "d['components'][0]['areas'][1]['area_strength']))[0] == "
                             "__import__('struct').unpack('<f', bytes.fromhex('cdcccc3d'))[0]"),
              "True");
    EXPECT_EQ(python_on_json(r.out, "d['components'][1]['strength_delta']"), "inf");
}

TEST_F(CliTest, DumpOfDeviceFileShowsTheImportedComponent) {
    test::DeviceArea a;
    a.fifth = 27.5f;
    test::write_file(dir_ / "B7.TMP", test::device_record("B7", {a, a}));
    const CliRun r = run_cli({"dump", at("B7.TMP")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(python_on_json(r.out,
                             "d['format'], d['component_name'], d['list_checked'], len(d['areas']), "
                             "d['areas'][0]['converted_strength'], d['areas'][0]['area_strength']"),
              "device B7 1 2 27.5 27.5");
}

TEST_F(CliTest, ImportAppendsAndSavesOnlyWhenEveryFileReads) {
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {}));
    test::write_file(dir_ / "b.cmp", test::device_record("B1", {test::DeviceArea{}}));
    std::string broken = test::device_record("C1", {test::DeviceArea{}});
    broken.resize(100);
    test::write_file(dir_ / "broken.cmp", broken);

    CliRun r = run_cli({"import", at("new.prj"), at("a.cmp"), at("b.cmp")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    ReboundFile p;
    ASSERT_TRUE(p.load(dir_ / "new.prj", test::today()));
    ASSERT_EQ(p.component_count(), 2u);
    EXPECT_EQ(p.component(1)->component_name, "B1");
    const std::string before = test::read_file(dir_ / "new.prj");

    r = run_cli({"import", at("new.prj"), at("a.cmp"), at("broken.cmp")}, dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("rebound-cli: " + (dir_ / "broken.cmp").string() + ": "), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("ends at byte 100"), std::string::npos) << r.err;
    EXPECT_EQ(test::read_file(dir_ / "new.prj"), before);
}

TEST_F(CliTest, ExportComponentAppendsTheExtensionAndRoundTrips) {
    const ReboundFile p = test::sample_project(3, 2);
    ASSERT_TRUE(p.save(dir_ / "site.prj"));
    CliRun r = run_cli({"export-component", at("site.prj"), "1", at("second.XCMP")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(std::filesystem::exists(dir_ / "second.XCMP.xcmp"));
    r = run_cli({"import", at("copy.prj"), at("second.XCMP.xcmp")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    ReboundFile copy;
    ASSERT_TRUE(copy.load(dir_ / "copy.prj", test::today()));
    EXPECT_TRUE(*copy.component(0) == *p.component(1));

    r = run_cli({"export-component", at("site.prj"), "3", at("x")}, dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "x.xcmp"));
}

TEST_F(CliTest, UsageAndFileErrors) {
    struct Case {
        QStringList args;
        int status;
        const char* message_part;
    };
    const std::vector<Case> cases = {
        {{}, 2, "no command"},
        {{"frobnicate"}, 2, "unknown command"},
        {{"dump"}, 2, "wrong number of arguments"},
        {{"export-component", "a.prj", "x", "out"}, 2, "INDEX"},
        {{"dump", "missing.prj"}, 1, "missing.prj: cannot be opened"},
        {{"dump", "notes.txt"}, 1, "unknown file type"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = run_cli(c.args, dir_);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message_part), std::string::npos) << r.err;
    }
    const CliRun help = run_cli({"--help"}, dir_);
    EXPECT_EQ(help.status, 0);
    for (const char* command :
         {"dump FILE", "import PROJECT FILE...", "export-component PROJECT INDEX OUT"}) {
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    }
}

}  // namespace
}  // namespace rebound
