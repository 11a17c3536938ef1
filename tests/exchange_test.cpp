#include "fileio/exchange.h"

#include <gtest/gtest.h>

#include "fileio/byte_io.h"
#include "fixtures.h"
#include "platform/files.h"

namespace rebound {
namespace {

using test::device_record;
using test::DeviceArea;

class ExchangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               (std::string("rebound-x-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path dir_;
};

DeviceArea sample_area(std::uint8_t base) {
    DeviceArea a;
    for (int i = 0; i < 16; ++i) a.readings[i] = static_cast<std::uint8_t>(base + i);
    a.angle = 1;
    a.surface = 2;
    a.carbonation = 5;
    a.spare = 0xAB;
    a.mean = 36.3f;
    a.angle_corr = -2.2f;
    a.surface_corr = 1.4f;
    a.fourth = 3.0f;
    a.fifth = 31.9f;
    return a;
}

TEST(FileNames, ExtensionAndRequiredExtension) {
    struct Case {
        const char* path;
        const char* extension;
        const char* with_prj;
    };
    const Case cases[] = {
        {"site", "", "site.prj"},
        {"site.prj", ".prj", "site.prj"},
        {"site.PRJ", ".PRJ", "site.PRJ.prj"},
        {"site.txt", ".txt", "site.txt.prj"},
        {"/data/v1.2/site", "", "/data/v1.2/site.prj"},
        {"C:\\jobs.old\\site", "", "C:\\jobs.old\\site.prj"},
        {"archive.tar.gz", ".gz", "archive.tar.gz.prj"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(file_extension(c.path), c.extension) << c.path;
        EXPECT_EQ(with_required_extension(c.path, ".prj"), c.with_prj) << c.path;
    }
}

TEST(FileNames, PathFormsKeepEveryCharacter) {
    namespace fs = std::filesystem;
    struct Case {
        fs::path path;
        const char* extension;
        fs::path with_prj;
        ComponentFileKind kind;
    };
    const Case cases[] = {
        {u8"工地😀", "", u8"工地😀.prj", ComponentFileKind::Unsupported},
        {u8"工地😀.prj", ".prj", u8"工地😀.prj", ComponentFileKind::Unsupported},
        {u8"数据.v2/工地😀", "", u8"数据.v2/工地😀.prj", ComponentFileKind::Unsupported},
        {u8"柱😀.PRJ", ".PRJ", u8"柱😀.PRJ.prj", ComponentFileKind::Unsupported},
        {u8"柱😀.CMP", ".CMP", u8"柱😀.CMP.prj", ComponentFileKind::Device},
        {u8"梁.xCmp", ".xCmp", u8"梁.xCmp.prj", ComponentFileKind::Exported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(reinterpret_cast<const char*>(c.path.u8string().c_str()));
        EXPECT_EQ(file_extension_of(c.path), c.extension);
        EXPECT_EQ(append_required_extension(c.path, ".prj"), c.with_prj);
        EXPECT_EQ(component_file_kind_of(c.path), c.kind);
    }
}

TEST_F(ExchangeTest, DeviceFileImportTakesOverHeaderAndAreas) {
    const auto path = dir_ / "B1.cmp";
    test::write_file(
        path, device_record("B1", {sample_area(30), sample_area(40)}, -1, 1, 30.5f, 25.1f, 2.25f, 27.0f));
    ComponentInfo c;
    std::string error;
    ASSERT_EQ(test::import_into(path, c, &error), test::ImportOutcome::Imported) << error;
    EXPECT_EQ(c.component_name, "B1");
    EXPECT_EQ(c.device_text1, "DT1");
    EXPECT_EQ(c.device_serial, "SN-0042");
    EXPECT_EQ(c.device_text4, "DT4");
    EXPECT_EQ(c.curve_filename, "normal.cur");
    EXPECT_EQ(c.pump_tag, 1);
    EXPECT_EQ(c.rep_carbonation_index, 3);
    EXPECT_EQ(c.list_checked, 1);
    EXPECT_EQ(c.strength_degree, 2);
    EXPECT_TRUE(c.reserved_text.empty());
    EXPECT_TRUE(c.component_condition.empty());
    EXPECT_EQ(c.strength_avg, 30.5f);
    EXPECT_EQ(c.strength_min, 25.1f);
    EXPECT_EQ(c.strength_delta, 2.25f);
    EXPECT_EQ(c.strength_estimate, 27.0f);
    EXPECT_EQ(c.examine_date, platform::file_creation_date(path, test::fixed_clock()));
    EXPECT_EQ(c.extra_date, test::today());
    ASSERT_EQ(c.area_count(), 2u);
    const AreaData& a = c.area(1);
    EXPECT_EQ(a.readings[0], 40);
    EXPECT_EQ(a.readings[15], 55);
    EXPECT_EQ(a.angle_index, 1);
    EXPECT_EQ(a.surface_index, 2);
    EXPECT_EQ(a.carbonation_index, 5);
    EXPECT_EQ(a.reserved1, 0xAB);
    EXPECT_EQ(a.mean_rebound, 36.3f);
    EXPECT_EQ(a.angle_correction, -2.2f);
    EXPECT_EQ(a.surface_correction, 1.4f);
    EXPECT_EQ(a.pump_correction, 3.0f);
    EXPECT_EQ(a.converted_strength, 31.9f);
    EXPECT_EQ(a.area_strength, 31.9f);
    EXPECT_EQ(a.reserved2, 0);
}

TEST_F(ExchangeTest, DeviceRecordLimits) {
    struct Case {
        const char* name;
        std::string bytes;
        test::ImportOutcome status;
        std::size_t areas;
        const char* component_name;
    };
    std::vector<DeviceArea> hundred(100, sample_area(20));
    std::string cut_area = device_record("B1", {sample_area(1), sample_area(2)});
    cut_area.resize(cut_area.size() - 1);
    const std::vector<Case> cases = {
        {"no areas, 96 bytes", device_record("B1", {}), test::ImportOutcome::Imported, 0, "B1"},
        {"100 areas", device_record("B1", hundred), test::ImportOutcome::Imported, 100, "B1"},
        {"eight-byte name", device_record("ABCDEFGH", {}), test::ImportOutcome::Imported, 0, "ABCDEFGH"},
        {"trailing bytes refused", device_record("B1", {}) + "xyz", test::ImportOutcome::Failed, 0, ""},
        {"one area more than announced", device_record("B1", {sample_area(1), sample_area(2)}, 1),
         test::ImportOutcome::Failed, 0, ""},
        {"no name and no areas", device_record("", {}), test::ImportOutcome::Failed, 0, ""},
        {"4,096 zero bytes", std::string(4096, '\0'), test::ImportOutcome::Failed, 0, ""},
        {"a control character in the name", device_record("B\x0b", {}), test::ImportOutcome::Failed, 0, ""},
        {"a control character in the curve name",
         [] {
             std::string r = device_record("B1", {});
             r[64] = 'n';
             r[65] = '\x7f';
             return r;
         }(),
         test::ImportOutcome::Failed, 0, ""},
        {"a GBK name", device_record("\xb9\xb9\xbc\xfe", {}), test::ImportOutcome::Imported, 0,
         "\xb9\xb9\xbc\xfe"},
        {"a name without areas", device_record("B1", {}), test::ImportOutcome::Imported, 0, "B1"},
        {"101 areas announced", device_record("B1", hundred, 101), test::ImportOutcome::Failed, 0, ""},
        {"255 areas announced", device_record("B1", {}, 255), test::ImportOutcome::Failed, 0, ""},
        {"header cut short", device_record("B1", {}).substr(0, 95), test::ImportOutcome::Failed, 0, ""},
        {"last area cut short", cut_area, test::ImportOutcome::Failed, 0, ""},
        {"empty file", std::string(), test::ImportOutcome::Failed, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir_ / "dev.CMP";
        test::write_file(path, c.bytes);
        ComponentInfo out;
        out.component_name = "untouched";
        std::string error;
        ASSERT_EQ(test::import_into(path, out, &error), c.status) << error;
        if (c.status == test::ImportOutcome::Imported) {
            EXPECT_EQ(out.area_count(), c.areas);
            EXPECT_EQ(out.component_name, c.component_name);
        } else {
            EXPECT_EQ(out.component_name, "untouched");
            EXPECT_FALSE(error.empty());
        }
    }
}

// A device file that is not what the hammer writes is refused as such, the
// message saying where and what was expected; a project renamed to .cmp is
// one of them.
TEST_F(ExchangeTest, FilesThatAreNotDeviceRecordsAreRefusedAsSuch) {
    ByteWriter project;
    test::sample_project(2, 3).write_to(project);
    struct Case {
        const char* name;
        std::string bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"a project renamed", project.bytes(), "the component name holds the control character 0x"},
        {"zero bytes", std::string(4096, '\0'), "it has no component name and no test areas"},
        {"trailing bytes", device_record("B1", {sample_area(1)}) + "x",
         "the header announces 1 test areas (136 bytes in all), the file holds 137 bytes"},
        {"areas missing", device_record("B1", {sample_area(1)}, 2),
         "the header announces 2 test areas (176 bytes in all), the data ends at byte 136"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir_ / "dev.cmp";
        test::write_file(path, c.bytes);
        ComponentInfo out;
        std::string error;
        ASSERT_EQ(test::import_into(path, out, &error), test::ImportOutcome::Failed);
        EXPECT_EQ(error.rfind("not a device component file: ", 0), 0u) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

TEST_F(ExchangeTest, ImportChoosesTheReaderByExtensionInAnyCase) {
    const std::string device = device_record("D1", {sample_area(30)});
    ComponentInfo exported_source = test::sample_project(1, 2).components[0];
    ByteWriter w;
    exported_source.write_record(w);

    struct Case {
        const char* file;
        const std::string* bytes;
        test::ImportOutcome status;
        const char* name;
    };
    const Case cases[] = {
        {"a.cmp", &device, test::ImportOutcome::Imported, "D1"},
        {"a.CMP", &device, test::ImportOutcome::Imported, "D1"},
        {"a.Cmp", &device, test::ImportOutcome::Imported, "D1"},
        {"a.tmp", &device, test::ImportOutcome::Imported, "D1"},
        {"a.TMP", &device, test::ImportOutcome::Imported, "D1"},
        {"a.xcmp", &w.bytes(), test::ImportOutcome::Imported, "B1"},
        {"a.XCmp", &w.bytes(), test::ImportOutcome::Imported, "B1"},
        {"a.txt", &device, test::ImportOutcome::Failed, ""},
        {"noext", &device, test::ImportOutcome::Failed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        test::write_file(dir_ / c.file, *c.bytes);
        ComponentInfo out;
        ASSERT_EQ(test::import_into(dir_ / c.file, out), c.status);
        if (c.status == test::ImportOutcome::Imported) {
            EXPECT_EQ(out.component_name, c.name);
        }
    }
    ComponentInfo out;
    EXPECT_EQ(test::import_into(dir_ / "missing.cmp", out), test::ImportOutcome::CannotOpen);
}

TEST_F(ExchangeTest, ExportThenImportGivesAnEqualComponent) {
    const ComponentInfo original = test::sample_project(1, 7).components[0];
    const auto path = with_required_extension((dir_ / "b1").string(), ".xcmp");
    EXPECT_EQ(std::filesystem::path(path).filename(), "b1.xcmp");
    ASSERT_TRUE(export_component_file(path, original));
    ComponentInfo back;
    ASSERT_EQ(test::import_into(path, back), test::ImportOutcome::Imported);
    EXPECT_TRUE(back == original);
    EXPECT_EQ(back.examine_date, original.examine_date);
}

TEST_F(ExchangeTest, EmptyExportedFileFailsToImport) {
    test::write_file(dir_ / "empty.xcmp", "");
    ComponentInfo out;
    std::string error;
    EXPECT_EQ(test::import_into(dir_ / "empty.xcmp", out, &error), test::ImportOutcome::Failed);
    EXPECT_NE(error.find("component name"), std::string::npos) << error;
}

TEST_F(ExchangeTest, ExportIntoMissingFolderCannotOpen) {
    const Result<void> written = export_component_file(dir_ / "nope" / "b.xcmp", ComponentInfo{});
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().kind, FileError::Kind::CannotOpen);
}

}  // namespace
}  // namespace rebound
