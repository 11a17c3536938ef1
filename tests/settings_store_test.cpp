// The settings store and its INI file.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures.h"
#include "settings/app_context.h"
#include "settings/ini_file.h"
#include "settings/setting.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;

// GBK bytes of the section "系统设置" and the key "测强曲线".
const std::string kSection = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";
const std::string kKey = "\xB2\xE2\xC7\xBF\xC7\xFA\xCF\xDF";

class SettingStore : public ::testing::Test {
protected:
    void SetUp() override {
        base_ = fs::temp_directory_path() /
                ("rebound_setting_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(base_);
        fs::create_directories(base_);
        store_.set_base_folder(base_);
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path folder() const { return base_ / "Setting"; }
    fs::path ini() const { return folder() / "setting.ini"; }

    fs::path base_;
    setting store_;
};

TEST_F(SettingStore, BaseFolderGivesNativePaths) {
    EXPECT_EQ(fs::path(store_.folder_path), folder());
    EXPECT_EQ(fs::path(store_.ini_path), ini());
    EXPECT_FALSE(fs::exists(folder()));  // no file access
}

TEST_F(SettingStore, FirstStartCreatesFolderAndDefaults) {
    EXPECT_FALSE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, "normal.cuv");
    EXPECT_EQ(test::read_file(ini()), "[" + kSection + "]\r\n" + kKey + "=normal.cuv\r\n");
}

TEST_F(SettingStore, FolderWithoutFileGetsDefaults) {
    fs::create_directory(folder());
    store_.curve_file = "other.cur";
    EXPECT_FALSE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, "normal.cuv");
    EXPECT_EQ(test::read_file(ini()), "[" + kSection + "]\r\n" + kKey + "=normal.cuv\r\n");
}

TEST_F(SettingStore, FileWithoutKeyGivesEmptyNameAndIsLeftAlone) {
    fs::create_directory(folder());
    const std::string content = "[" + kSection + "]\r\nother=1\r\n[More]\r\n" + kKey + "=elsewhere.cur\r\n";
    test::write_file(ini(), content);
    store_.curve_file = "previous.cur";
    EXPECT_TRUE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, "");
    EXPECT_EQ(test::read_file(ini()), content);
}

TEST_F(SettingStore, ReadsTheStoredName) {
    fs::create_directory(folder());
    const std::string gbk_name = "\xC6\xD5\xCD\xA8.cur";  // GBK "普通.cur"
    test::write_file(ini(), "; settings\n[" + kSection + "]\n  " + kKey + " =  " + gbk_name + "  \n");
    EXPECT_TRUE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, gbk_name);
}

TEST_F(SettingStore, TheEvaluationCurveIsTheChoiceOrTheStandardCurve) {
    // Reading for a look only creates nothing and leaves no choice.
    store_.curve_file = "previous.cur";
    EXPECT_TRUE(store_.read_existing_ini());
    EXPECT_EQ(store_.curve_file, "");
    EXPECT_FALSE(fs::exists(folder()));
    EXPECT_EQ(store_.evaluation_curve_file(), "normal.cur");

    const struct {
        std::string kept;
        std::string used;
    } cases[] = {
        {"", "normal.cur"},
        {"normal.cuv", "normal.cur"},  // the default put in place for a missing file
        {"normal.cur", "normal.cur"},
        {"lab.cur", "lab.cur"},
        {"\xC6\xD5\xCD\xA8.cur", "\xC6\xD5\xCD\xA8.cur"},
    };
    fs::create_directory(folder());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        test::write_file(ini(), "[" + kSection + "]\r\n" + kKey + "=" + c.kept + "\r\n");
        EXPECT_TRUE(store_.read_existing_ini());
        EXPECT_EQ(store_.curve_file, c.kept);
        EXPECT_EQ(store_.evaluation_curve_file(), c.used);
    }
}

TEST(CurveFileName, OnlyABareNameStaysInTheCurveFolder) {
    EXPECT_TRUE(is_plain_file_name("lab.cur"));
    EXPECT_TRUE(is_plain_file_name("..lab.cur"));
    for (const char* name : {"", ".", "..", "../lab.cur", "sub/lab.cur", "/etc/lab.cur"}) {
        EXPECT_FALSE(is_plain_file_name(name)) << name;
    }
}

TEST_F(SettingStore, WriteKeepsEverythingElseByteForByte) {
    struct Case {
        const char* name;
        std::string before;
        std::string after;
    };
    const std::string s = "[" + kSection + "]";
    const std::string k = kKey + "=";
    const Case cases[] = {
        {"value replaced, comments and other sections kept",
         "; written by hand\r\n[Other]\r\nA = 1\r\n\r\n" + s + "\r\nX=y\r\n" + k +
             "old.cur\r\nZ=z\r\n[Last]\r\n",
         "; written by hand\r\n[Other]\r\nA = 1\r\n\r\n" + s + "\r\nX=y\r\n" + k +
             "new.cur\r\nZ=z\r\n[Last]\r\n"},
        {"key added after the section's last line", s + "\r\nX=y\r\n\r\n[Next]\r\nB=2\r\n",
         s + "\r\nX=y\r\n" + k + "new.cur\r\n\r\n[Next]\r\nB=2\r\n"},
        {"same key in another section untouched", "[Other]\n" + k + "keep.cur\n" + s + "\n",
         "[Other]\n" + k + "keep.cur\n" + s + "\n" + k + "new.cur\n"},
        {"section added to a file without a final line break", "[Other]\r\nA=1",
         "[Other]\r\nA=1\r\n" + s + "\r\n" + k + "new.cur\r\n"},
        {"file ending in a lone carriage return", "[Other]\r\nA=1\r",
         "[Other]\r\nA=1\r\n" + s + "\r\n" + k + "new.cur\r\n"},
        {"key added to a section ending the file", s + "\r\nX=y\r", s + "\r\nX=y\r\n" + k + "new.cur\r\n"},
        {"line feeds only", "[Other]\nA=1\n", "[Other]\nA=1\n" + s + "\n" + k + "new.cur\n"},
        {"empty file", "", s + "\r\n" + k + "new.cur\r\n"},
        {"blanks around the key kept", s + "\r\n  " + kKey + " = old\r\n",
         s + "\r\n  " + kKey + " =new.cur\r\n"},
    };
    fs::create_directory(folder());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::write_file(ini(), c.before);
        store_.curve_file = "new.cur";
        EXPECT_TRUE(store_.write_ini());
        EXPECT_EQ(test::read_file(ini()), c.after);
        setting reader;
        reader.set_base_folder(base_);
        EXPECT_TRUE(reader.read_ini());
        EXPECT_EQ(reader.curve_file, "new.cur");
    }
}

TEST_F(SettingStore, AnApplicationFolderNamedOutsideTheCodePageWorks) {
    // A user folder with Chinese and emoji characters, as a per-user
    // application folder below a Chinese user name would be.
    const fs::path base = base_ / fs::path(u8"张三 😀");
    fs::create_directories(base);
    setting writer;
    writer.set_base_folder(base);
    EXPECT_FALSE(writer.read_ini());  // first start: defaults written
    writer.curve_file = "pumped.cur";
    ASSERT_TRUE(writer.write_ini());
    EXPECT_TRUE(fs::is_regular_file(base / "Setting" / "setting.ini"));
    setting reader;
    reader.set_base_folder(base);
    ASSERT_TRUE(reader.read_ini());
    EXPECT_EQ(reader.curve_file, "pumped.cur");
}

TEST_F(SettingStore, FailuresLeaveTheFileAndReturnFalse) {
    // The settings folder cannot be created: a file stands in its way.
    test::write_file(folder(), "not a folder");
    store_.curve_file = "chosen.cur";
    EXPECT_FALSE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, "normal.cuv");
    EXPECT_EQ(test::read_file(folder()), "not a folder");
    EXPECT_FALSE(store_.write_ini());

    // A name with a line break would add lines to the file: refused.
    fs::remove(folder());
    fs::create_directory(folder());
    const std::string content = "[" + kSection + "]\r\n" + kKey + "=normal.cur\r\n";
    test::write_file(ini(), content);
    store_.curve_file = "a.cur\r\n[Injected]";
    EXPECT_FALSE(store_.write_ini());
    EXPECT_EQ(test::read_file(ini()), content);

    // The INI path is a folder: nothing can be read or written.
    fs::remove(ini());
    fs::create_directory(ini());
    store_.curve_file = "b.cur";
    EXPECT_FALSE(store_.write_ini());
    EXPECT_FALSE(store_.read_ini());
    EXPECT_EQ(store_.curve_file, "b.cur");
}

TEST(SettingInstance, TheContextHoldsOneStorePointedAtItsFolder) {
    const fs::path base = fs::temp_directory_path() / "rebound_setting_context";
    AppContext context(base);
    EXPECT_EQ(&context.get_setting(), &context.get_setting());
    context.get_setting().use_defaults();
    EXPECT_EQ(context.get_setting().curve_file, "normal.cuv");
    EXPECT_EQ(context.get_setting().ini_path, base / "Setting" / "setting.ini");
    EXPECT_EQ(context.curve_folder(), base / "curve");
    EXPECT_FALSE(fs::exists(base));  // no file access
}

TEST(IniFile, ReadsValues) {
    struct Case {
        const char* name;
        std::string content;
        std::optional<std::string> expected;
    } cases[] = {
        {"plain", "[S]\nK=v\n", "v"},
        {"blanks trimmed", "[ S ]\n\t K  =  v w \r\n", "v w"},
        {"quotes removed", "[S]\nK=\"a b\"\n", "a b"},
        {"empty value", "[S]\nK=\n", ""},
        {"first section wins", "[S]\nK=1\n[S]\nK=2\n", "1"},
        {"key in another section", "[T]\nK=v\n[S]\nJ=w\n", std::nullopt},
        {"no section", "K=v\n", std::nullopt},
        {"keys are compared exactly", "[S]\nk=v\n", std::nullopt},
        // 0x5D (']') as the second byte of a double-byte character.
        {"trail byte that looks like a bracket", "[\x81]]\nK=1\n[S]\nK=2\n", "2"},
    };
    for (const Case& c : cases) EXPECT_EQ(ini_read_value(c.content, "S", "K"), c.expected) << c.name;
    EXPECT_EQ(ini_read_value("[\x81]]\nK=1\n", "\x81]", "K"), "1");
}

}  // namespace
}  // namespace rebound
