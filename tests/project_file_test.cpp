#include <gtest/gtest.h>

#include <QLocale>
#include <cstring>

#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "platform/files.h"

namespace rebound {
namespace {

using test::Bytes;

std::string to_bytes(const ReboundFile& p) {
    ByteWriter w;
    p.write_to(w);
    return w.bytes();
}

std::uint32_t bits(float f) {
    std::uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("rebound-prj-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        QLocale::setDefault(QLocale::system());
    }
    std::filesystem::path dir_;
};

TEST_F(ProjectFileTest, SaveAndLoadGiveBackEveryFieldBitForBit) {
    ReboundFile original = test::sample_project(3, 5);
    original.component(1)->strength_avg = -0.0f;
    original.component(2)->area(0).area_strength = std::numeric_limits<float>::quiet_NaN();
    const auto path = dir_ / "site.prj";
    ASSERT_TRUE(original.save(path));

    ReboundFile loaded;
    ASSERT_TRUE(loaded.load(path, test::today()));
    EXPECT_EQ(to_bytes(original), to_bytes(loaded));
    EXPECT_EQ(bits(loaded.component(1)->strength_avg), bits(-0.0f));
    EXPECT_EQ(bits(loaded.component(2)->area(0).area_strength),
              bits(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ(loaded.project_name, "\xB2\xE2\xCA\xD4\xB9\xA4\xB3\xCC");
    EXPECT_EQ(loaded.component(2)->area(4).readings[15], 30 + 15 + 4 + 2);
    EXPECT_EQ(test::read_file(path), to_bytes(original));
}

TEST_F(ProjectFileTest, NewProjectWithTenCharacterDatesIs95Bytes) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    const std::string today = test::today();
    ASSERT_EQ(today.size(), 10u) << today;
    ReboundFile p(today);
    const std::string b = to_bytes(p);
    ASSERT_EQ(b.size(), 95u);
    Bytes expected;
    expected.text("New Project").text("").text(today);
    for (int i = 0; i < 6; ++i) expected.text("");
    expected.text(today);
    for (int i = 0; i < 5; ++i) expected.text("");
    expected.u32(0);
    EXPECT_EQ(b, expected.str());
}

TEST_F(ProjectFileTest, ComponentRecordLayoutIsPacked) {
    ComponentInfo c;
    c.component_name = "B1";
    AreaData a;
    a.readings[0] = 41;
    a.angle_index = 1;
    a.reserved2 = 5;
    a.area_strength = 33.5f;
    c.add_area(a);
    ByteWriter w;
    c.write_record(w);
    std::size_t texts = 0;
    for (const std::string* t :
         {&c.component_name, &c.device_text1, &c.device_text2, &c.device_serial, &c.device_text4,
          &c.examine_date, &c.extra_date, &c.curve_filename, &c.reserved_text, &c.component_condition}) {
        texts += 4 + t->size();
    }
    ASSERT_EQ(w.bytes().size(), texts + 25 + 50);
    const auto* area = reinterpret_cast<const unsigned char*>(w.bytes().data()) + texts + 25;
    EXPECT_EQ(area[0], 41);
    EXPECT_EQ(area[16], 1);
    EXPECT_EQ(area[40], 5);
    EXPECT_EQ(load_f32(area + 42), 33.5f);  // unaligned, right after reserved3
    EXPECT_EQ(load_u32(area - 4), 1u);      // area count ends the fixed block
}

// A project file cut at every byte: the load fails, and the project keeps the
// header and exactly the components whose record ended before the cut.
TEST_F(ProjectFileTest, EveryTruncationFailsAndKeepsCompleteComponents) {
    const ReboundFile original = test::sample_project(3, 2);
    const std::string full = to_bytes(original);

    ReboundFile header_only = original;
    header_only.components.clear();
    const std::size_t header_end = to_bytes(header_only).size();  // texts + count
    std::vector<std::size_t> component_ends;
    std::size_t at = header_end;
    for (const ComponentInfo& c : original.components) {
        ByteWriter w;
        c.write_record(w);
        at += w.bytes().size();
        component_ends.push_back(at);
    }
    ASSERT_EQ(at, full.size());

    for (std::size_t cut = 0; cut < full.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        ReboundFile p;
        ByteReader in(std::string_view(full).substr(0, cut));
        EXPECT_THROW(p.read_from(in, test::today()), FormatError);
        std::size_t complete = 0;
        for (std::size_t end : component_ends) complete += end <= cut ? 1 : 0;
        ASSERT_EQ(p.component_count(), complete);
        if (cut >= header_end) {
            EXPECT_EQ(p.examine_condition, original.examine_condition);
        }
        for (std::size_t i = 0; i < complete; ++i) {
            EXPECT_TRUE(*p.component(i) == *original.component(i));
        }
    }
}

TEST_F(ProjectFileTest, CorruptCountsAndLengthsFailWithoutHugeAllocations) {
    Bytes header;
    for (int i = 0; i < 15; ++i) header.text(i == 0 ? "P" : "");
    Bytes one_component;
    for (int i = 0; i < 10; ++i) one_component.text("c");
    one_component.u8(1).u8(1).u8(0).u8(0).u8(2).f32(1).f32(2).f32(3).f32(4);

    struct Case {
        const char* name;
        std::string bytes;
        std::size_t components_kept;
        const char* message_part;
    };
    const std::vector<Case> cases = {
        {"huge component count", Bytes(header).u32(0xFFFFFFFFu).raw(one_component.str()).u32(0).str(), 1,
         "component 2"},
        {"huge area count", Bytes(header).u32(1).raw(one_component.str()).u32(0x7FFFFFFFu).str(), 0,
         "2147483647 x 50 bytes announced"},
        {"negative text length", Bytes().text("P").i32(-5).str(), 0, "negative"},
        {"text longer than the file", Bytes().text("P").i32(1000).raw("abc").str(), 0, "only 3 bytes remain"},
        {"only the header texts", header.str(), 0, "component count"},
        {"empty file", std::string(), 0, "project name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReboundFile p;
        ByteReader in(c.bytes);
        try {
            p.read_from(in, test::today());
            ADD_FAILURE() << "no error";
        } catch (const FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message_part), std::string::npos) << e.what();
        }
        EXPECT_EQ(p.component_count(), c.components_kept);
    }
}

TEST_F(ProjectFileTest, ReadingCutsTextsAtZeroIgnoresReservedAndTrailingBytes) {
    ReboundFile original = test::sample_project(1, 1);
    std::string b = to_bytes(original);
    // reserved3 (offset 41) and reserved4 (offset 46) of the only area record,
    // which ends the file.
    b[b.size() - 50 + 41] = 7;
    store_f32(reinterpret_cast<unsigned char*>(b.data()) + b.size() - 4, 1.5f);
    b += "trailing garbage";
    // Put a zero byte inside the project name (first text, after its length).
    b[4 + 2] = '\0';

    ReboundFile p;
    ByteReader in(b);
    ASSERT_NO_THROW(p.read_from(in, test::today()));
    EXPECT_EQ(p.project_name, std::string(original.project_name, 0, 2));
    const AreaData& a = p.component(0)->area(0);
    EXPECT_EQ(a.reserved3, 0);
    EXPECT_EQ(a.reserved4, 0.0f);
    EXPECT_EQ(a.reserved1, 7);
    EXPECT_EQ(a.reserved2, 9);
}

TEST_F(ProjectFileTest, LoadOfMissingFileOrFolderLeavesProjectUntouched) {
    ReboundFile p = test::sample_project(2, 1);
    const ReboundFile before = p;
    const Result<void> missing = p.load(dir_ / "missing.prj", test::today());
    EXPECT_FALSE(missing);
    EXPECT_FALSE(test::error_message(missing).empty());
    EXPECT_EQ(missing.error().kind, FileError::Kind::CannotOpen);
    EXPECT_EQ(missing.error().file, dir_ / "missing.prj");
    EXPECT_FALSE(p.load(dir_, test::today()));
    EXPECT_TRUE(p == before);
}

TEST_F(ProjectFileTest, LoadOfBrokenFileResetsAndKeepsWhatWasRead) {
    const ReboundFile original = test::sample_project(2, 3);
    std::string b = to_bytes(original);
    b.resize(b.size() - 10);
    test::write_file(dir_ / "cut.prj", b);
    ReboundFile p = test::sample_project(5, 1);
    const Result<void> loaded = p.load(dir_ / "cut.prj", test::today());
    EXPECT_FALSE(loaded);
    const std::string error = test::error_message(loaded);
    EXPECT_NE(error.find("component 2 of 2"), std::string::npos) << error;
    EXPECT_NE(error.find("inside the area records of the component"), std::string::npos) << error;
    EXPECT_EQ(p.component_count(), 1u);
    EXPECT_EQ(p.project_name, original.project_name);
}

// A sink that accepts `limit` bytes and then fails, like a disk that fills up.
class FailingSink : public platform::ByteSink {
public:
    FailingSink(platform::ByteSink& real, std::size_t limit) : real_(real), left_(limit) {}
    bool write(const char* data, std::size_t size) override {
        if (size > left_) {
            real_.write(data, left_);
            left_ = 0;
            return false;
        }
        left_ -= size;
        return real_.write(data, size);
    }

private:
    platform::ByteSink& real_;
    std::size_t left_;
};

TEST_F(ProjectFileTest, AWriteThatFailsMidwayLeavesThePreviousFileIntact) {
    const auto path = dir_ / "site.prj";
    const ReboundFile old_project = test::sample_project(1, 1);
    ASSERT_TRUE(old_project.save(path));
    const std::string old_bytes = test::read_file(path);

    const ReboundFile big = test::sample_project(40, 100);  // larger than one write block
    for (std::size_t limit : {std::size_t{0}, std::size_t{10}, std::size_t{70000}}) {
        SCOPED_TRACE(limit);
        const Result<void> ok = platform::write_file_atomically(path, [&](platform::ByteSink& real) {
            FailingSink sink(real, limit);
            ByteWriter out(sink);
            big.write_to(out);
            out.flush();
            return true;
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(test::read_file(path), old_bytes);
    }
    // Nothing but the project file is left in the folder.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir_)) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST_F(ProjectFileTest, SaveIntoMissingFolderFailsAndCreatesNothing) {
    const ReboundFile p;
    const Result<void> saved = p.save(dir_ / "no-such-folder" / "site.prj");
    EXPECT_FALSE(saved);
    EXPECT_FALSE(test::error_message(saved).empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ / "no-such-folder"));
}

TEST_F(ProjectFileTest, LoadedComponentsAreIndependent) {
    const ReboundFile original = test::sample_project(2, 2);
    ASSERT_TRUE(original.save(dir_ / "two.prj"));
    ReboundFile p;
    ASSERT_TRUE(p.load(dir_ / "two.prj", test::today()));
    p.component(0)->area(0).readings[0] = 99;
    EXPECT_NE(p.component(1)->area(0).readings[0], 99);
}

}  // namespace
}  // namespace rebound
