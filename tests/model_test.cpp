#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <vector>

#include "fixtures.h"
#include "locale_support.h"
#include "model/number_text.h"
#include "model/rebound_file.h"

namespace rebound {
namespace {

class ModelTest : public ::testing::Test {};

TEST_F(ModelTest, NewProjectAndComponentHaveTheirResetValues) {
    const std::string today = test::today();
    ReboundFile p(today);
    EXPECT_EQ(p.project_name, "New Project");
    EXPECT_EQ(p.construction_date, today);
    EXPECT_EQ(p.agent_date, today);
    EXPECT_TRUE(p.project_address.empty() && p.report_serial.empty() && p.examine_condition.empty());
    EXPECT_EQ(p.component_count(), 0u);

    ComponentInfo c(today);
    EXPECT_EQ(c.component_name, "New Component");
    EXPECT_EQ(c.device_text1, "xxx");
    EXPECT_EQ(c.device_text4, "xxx");
    EXPECT_EQ(c.examine_date, today);
    EXPECT_EQ(c.extra_date, today);
    EXPECT_EQ(c.curve_filename, "normal.cur");
    EXPECT_EQ(c.pump_tag, 1);
    EXPECT_EQ(c.list_checked, 1);
    EXPECT_EQ(c.strength_degree, 2);
    EXPECT_EQ(c.strength_avg, 0.0f);
    EXPECT_EQ(c.area_count(), 0u);
}

TEST_F(ModelTest, AddedComponentsAreIndependentCopies) {
    ComponentInfo scratch;
    AreaData area;
    area.readings[0] = 40;
    scratch.add_area(area);
    ReboundFile p;
    p.add_component(scratch);
    p.add_component(scratch);
    p.component(0)->area(0).readings[0] = 55;
    EXPECT_EQ(p.component(1)->area(0).readings[0], 40);
    EXPECT_EQ(scratch.area(0).readings[0], 40);
}

TEST_F(ModelTest, AreaCopyClearsOnlyReserved3And4) {
    AreaData source;
    source.reserved1 = 1;
    source.reserved2 = 2;
    source.reserved3 = 7;
    source.reserved4 = 1.5f;
    source.area_strength = 33.3f;
    ComponentInfo c;
    c.add_area(source);
    const AreaData& a = c.area(0);
    EXPECT_EQ(a.reserved3, 0);
    EXPECT_EQ(a.reserved4, 0.0f);
    EXPECT_EQ(a.reserved1, 1);
    EXPECT_EQ(a.reserved2, 2);
    EXPECT_EQ(a.area_strength, 33.3f);
}

// The copy takes every field of the component, whatever its kind, and every
// field of each area but the two reserved ones.
TEST_F(ModelTest, ComponentCopyTakesEveryField) {
    ComponentInfo source = *test::sample_project(2, 3).component(1);
    source.device_text1 = "D1";
    source.device_text2 = "D2";
    source.device_text4 = "D4";
    source.extra_date = "2026-06-30";
    source.curve_filename = "other.cur";
    source.reserved_text = "spare";
    source.list_checked = 0;
    ComponentInfo copy(test::today());
    copy = source;
    EXPECT_TRUE(copy == source);
    ReboundFile p;
    p.add_component(source);
    EXPECT_TRUE(*p.component(0) == source);
}

TEST_F(ModelTest, ComponentAssignmentToItselfKeepsAreas) {
    ComponentInfo c;
    c.add_area(AreaData{});
    c.component_name = "B1";
    ComponentInfo& same = c;
    c = same;
    EXPECT_EQ(c.area_count(), 1u);
    EXPECT_EQ(c.component_name, "B1");
}

TEST_F(ModelTest, RemovingComponentsKeepsOrderAndIgnoresBadIndex) {
    ReboundFile p;
    for (const char* name : {"A", "B", "C"}) {
        ComponentInfo c;
        c.component_name = name;
        p.add_component(c);
    }
    p.remove_component(3);
    EXPECT_EQ(p.component_count(), 3u);
    EXPECT_EQ(p.component(3), nullptr);
    p.remove_component(0);
    ASSERT_EQ(p.component_count(), 2u);
    EXPECT_EQ(p.component(0)->component_name, "B");
    EXPECT_EQ(p.component(1)->component_name, "C");
}

TEST_F(ModelTest, RemoveLastAreaOnEmptyComponentDoesNothing) {
    ComponentInfo c;
    c.remove_last_area();
    EXPECT_EQ(c.area_count(), 0u);
    c.add_area(AreaData{});
    c.add_area(AreaData{});
    c.remove_last_area();
    EXPECT_EQ(c.area_count(), 1u);
}

TEST_F(ModelTest, ResetDestroysComponentsAndRestoresTexts) {
    ReboundFile p;
    p.project_name = "X";
    p.add_component(ComponentInfo{});
    p.reset(test::today());
    EXPECT_EQ(p.project_name, "New Project");
    EXPECT_EQ(p.component_count(), 0u);
}

}  // namespace
}  // namespace rebound

namespace rebound {
namespace {

TEST(NumberText, OneDecimalRoundsLikeTheCLibrary) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {27.26f, "27.3"}, {31.26f, "31.3"}, {0.0f, "0.0"},    {28.25f, "28.2"},  // exact half: to even
        {28.75f, "28.8"}, {-1.25f, "-1.2"}, {36.26f, "36.3"}, {100.04f, "100.0"},
    };
    for (const Case& c : cases) EXPECT_EQ(one_decimal(c.value), c.text) << c.value;
}

TEST(NumberText, FiguresUseAPointInEveryLocale) {
    // The C library's "%.1f" in the C locale is the documented form: many
    // floats of every size are formatted by it first, then by one_decimal
    // under locales whose decimal mark is a comma.
    std::vector<float> values = {0.0f, -0.0f, 0.05f, 0.25f, 33.8f, 59.95f, -3.45f, 1e30f, 3.4e38f, 1e-30f};
    std::uint32_t state = 12345;
    for (int i = 0; i < 5000; ++i) {
        state = state * 1664525u + 1013904223u;
        values.push_back(static_cast<float>(state % 2000001) / 1000.0f - 1000.0f);  // -1000 to 1000
    }
    ASSERT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C");
    std::vector<std::string> expected;
    for (float v : values) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.1f", double{v});
        expected.emplace_back(buffer);
    }
    for (const char* name : test::kCommaLocales) {
        test::ScopedLocale locale(name);
        ASSERT_EQ(locale.error(), "");
        for (std::size_t i = 0; i < values.size(); ++i) {
            ASSERT_EQ(one_decimal(values[i]), expected[i]) << name << ", value " << i;
        }
        EXPECT_EQ(shortest_text(-3.5f), "-3.5") << name;
        EXPECT_EQ(shortest_text(0.1f), "0.1") << name;
    }
}

}  // namespace
}  // namespace rebound
