// File names outside the ANSI code page: every file the core reads and
// writes (projects, device and exported component files) works under
// Chinese and emoji names, in folders with such names too. On Windows these
// go through the wide file functions; a narrowed path would lose them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "scratch_folder.h"
#include "model/rebound_file.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;

class NonAnsiFileNames : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = test::fresh_test_folder(u8"rebound 名称 😀 ");
        ASSERT_TRUE(fs::is_directory(dir_));
    }
    void TearDown() override { fs::remove_all(dir_); }

    // The names in the folder, so that a stray staging file or a file under a
    // mangled name shows.
    std::set<std::string> names() const {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.insert(utf8(e.path().filename().u8string()));
        return out;
    }
    static std::string utf8(const std::u8string& s) { return std::string(s.begin(), s.end()); }

    fs::path dir_;
};

const char8_t* const kNames[] = {u8"工程", u8"😀", u8"回弹 😀 测区", u8"ÄÖü €"};

TEST_F(NonAnsiFileNames, ProjectsSaveAndLoadUnderAnyName) {
    const ReboundFile project = test::sample_project(2, 3);
    for (const char8_t* stem : kNames) {
        const fs::path path = dir_ / fs::path(std::u8string(stem) + u8".prj");
        SCOPED_TRACE(utf8(path.filename().u8string()));
        ASSERT_TRUE(project.save(path));
        ReboundFile loaded;
        ASSERT_TRUE(loaded.load(path, test::today()));
        EXPECT_EQ(loaded, project);
        // Saving over the file again replaces it in place.
        ASSERT_TRUE(project.save(path));
    }
    std::set<std::string> expected;
    for (const char8_t* stem : kNames) expected.insert(utf8(std::u8string(stem) + u8".prj"));
    EXPECT_EQ(names(), expected);
}

TEST_F(NonAnsiFileNames, ComponentsImportAndExportUnderAnyName) {
    test::DeviceArea area;
    for (int i = 0; i < 16; ++i) area.readings[i] = std::uint8_t(30 + i);
    for (const char8_t* stem : kNames) {
        const std::u8string base(stem);
        SCOPED_TRACE(utf8(base));
        for (const char8_t* ext : {u8".cmp", u8".TMP"}) {
            const fs::path device = dir_ / fs::path(base + ext);
            test::write_file(device, test::device_record("KZ-1", {area, area}));
            const Result<ComponentInfo> imported = import_component_file(device, test::fixed_clock());
            ASSERT_TRUE(imported);
            EXPECT_EQ(imported->component_name, "KZ-1");
            EXPECT_EQ(imported->area_count(), 2u);

            const fs::path exported = dir_ / fs::path(base + u8" 导出.xcmp");
            ASSERT_TRUE(export_component_file(exported, *imported));
            const Result<ComponentInfo> back = import_component_file(exported, test::fixed_clock());
            ASSERT_TRUE(back);
            EXPECT_EQ(*back, *imported);
        }
    }
}

}  // namespace
}  // namespace rebound
