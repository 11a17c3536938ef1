// The record feed of the test report, driven by a recording stand-in for the
// engine so that every setter call is visible.
#include "report/report_feed.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "platform/dates.h"
#include "report/report_engine.h"
#include "report_fixtures.h"

namespace rebound::report {
namespace {

using test::gbk;
using test::sample_project;

// Knows a set of field names; records every value set, per record.
class FakeTarget : public ReportTarget {
public:
    explicit FakeTarget(std::set<QString> known) : known_(std::move(known)) {}

    ReportField field_by_name(const QString& name) override {
        if (!known_.count(name)) return {};
        names_.push_back(name);
        return ReportField(this, static_cast<int>(names_.size()) - 1, 1);
    }

    // The record loop exactly as the engine runs it.
    void run(ReportFeed& feed) {
        records.clear();
        bool eof = true;
        for (;;) {
            current_.clear();
            feed.fetch_record(eof);
            if (eof) break;
            records.push_back(current_);
        }
    }

    std::vector<std::map<QString, QString>> records;

protected:
    void store_integer(int field, std::uint64_t, std::int32_t value) override {
        current_[names_[field]] = QStringLiteral("int:%1").arg(value);
    }
    void store_text(int field, std::uint64_t, const QString& value) override {
        current_[names_[field]] = value;
    }

private:
    std::set<QString> known_;
    std::vector<QString> names_;
    std::map<QString, QString> current_;
};

std::set<QString> all_fields() {
    std::set<QString> names;
    for (const char* n : ReportFeed::field_names()) names.insert(QString::fromLatin1(n));
    return names;
}

class ReportFeedTest : public ::testing::Test {};

TEST_F(ReportFeedTest, ThreeComponentsGiveThreeRecordsWithTheHeaderInTheFirstOnly) {
    ReboundFile project = sample_project(3);
    project.components[0].strength_avg = 31.26f;
    FakeTarget target(all_fields());
    ReportFeed feed(project, test::fixed_clock());
    feed.bind(target);
    target.run(feed);

    ASSERT_EQ(target.records.size(), 3u);
    EXPECT_EQ(feed.record_counter(), 4);  // three records and the call that ended the data
    const auto& first = target.records[0];
    EXPECT_EQ(first.size(), 22u);
    EXPECT_EQ(first.at("project_name"), QString::fromUtf8("滨江花园三号楼主体结构"));
    EXPECT_EQ(first.at("report_serial"), "HT-2026-0317");
    EXPECT_EQ(first.at("agent_unit"), QString::fromUtf8("江南建设集团有限公司"));
    EXPECT_EQ(first.at("report_date"), "2026-12-10");  // the clock's day, in the reports' one form
    EXPECT_EQ(first.at("constructor"), QString::fromUtf8("华东第二建筑工程公司"));
    EXPECT_EQ(first.at("examine_date"), "2026-05-20");  // of the first component
    EXPECT_EQ(first.at("device_serial"), "SN-4711");
    EXPECT_EQ(first.at("design_unit"), QString::fromUtf8("城建设计研究院"));
    EXPECT_EQ(first.at("supervision_unit"), QString::fromUtf8("正信工程监理有限公司"));
    EXPECT_EQ(first.at("examine_basis"), "JGJ/T 23-2011");
    EXPECT_EQ(first.at("examine_serial"), "JC-0815");
    EXPECT_EQ(first.at("project_address"), QString::fromUtf8("滨江路188号"));
    EXPECT_EQ(first.at("examine_condition"), QString::fromUtf8("框架结构，地上十二层"));
    EXPECT_EQ(first.at("concrete_producer"), QString::fromUtf8("宏达商品混凝土站"));
    EXPECT_EQ(first.at("strength_avg"), "31.3");
    for (int i = 0; i < 3; ++i) {
        const auto& r = target.records[i];
        EXPECT_EQ(r.at("data_id"), QStringLiteral("int:%1").arg(i + 1));
        EXPECT_EQ(r.at("component_name"), QString::fromUtf8("构件-%1").arg(i + 1));
        EXPECT_EQ(r.at("construction_date"), "2026-03-01");
        if (i > 0) {
            EXPECT_EQ(r.size(), 8u) << "header fields set again in record " << i + 1;
        }
    }
}

TEST_F(ReportFeedTest, NoComponentsGiveNoRecordAndTouchNoField) {
    ReboundFile project;
    FakeTarget target(all_fields());
    ReportFeed feed(project, test::fixed_clock());
    feed.bind(target);
    target.run(feed);
    EXPECT_TRUE(target.records.empty());
    EXPECT_EQ(feed.record_counter(), 1);
}

TEST_F(ReportFeedTest, GradeAndStrengthTexts) {
    struct Case {
        std::uint8_t grade_index;
        float strength;
        const char* grade;
        const char* text;
    };
    const Case cases[] = {
        {0, 31.26f, "int:20", "31.3"},  {2, 0.0f, "int:30", "0.0"},           {1, 31.25f, "int:25", "31.2"},
        {12, -0.04f, "int:80", "-0.0"}, {255, 1e6f, "int:1295", "1000000.0"}, {3, 9.95f, "int:35", "9.9"},
    };
    for (const Case& c : cases) {
        ReboundFile project = sample_project(1);
        ComponentInfo& comp = project.components[0];
        comp.strength_degree = c.grade_index;
        comp.strength_avg = comp.strength_min = comp.strength_delta = comp.strength_estimate = c.strength;
        FakeTarget target(all_fields());
        ReportFeed feed(project, test::fixed_clock());
        feed.bind(target);
        target.run(feed);
        ASSERT_EQ(target.records.size(), 1u);
        const auto& r = target.records[0];
        EXPECT_EQ(r.at("strength_degree"), c.grade) << int(c.grade_index);
        for (const char* f : {"strength_avg", "strength_min", "strength_delta", "strength_estimate"}) {
            EXPECT_EQ(r.at(f), c.text) << f << " of " << c.strength;
        }
    }
}

TEST_F(ReportFeedTest, AFieldMissingFromTheTemplateIsSkipped) {
    std::set<QString> known = all_fields();
    known.erase("strength_min");
    known.erase("project_name");
    ReboundFile project = sample_project(2);
    FakeTarget target(known);
    ReportFeed feed(project, test::fixed_clock());
    feed.bind(target);
    target.run(feed);
    ASSERT_EQ(target.records.size(), 2u);
    EXPECT_EQ(target.records[0].size(), 20u);
    EXPECT_EQ(target.records[0].count("strength_min"), 0u);
    EXPECT_EQ(target.records[0].count("project_name"), 0u);
    EXPECT_EQ(target.records[1].at("component_name"), QString::fromUtf8("构件-2"));
}

TEST_F(ReportFeedTest, BindingAgainPrintsTheWholeReportAgain) {
    ReboundFile project = sample_project(2);
    FakeTarget target(all_fields());
    ReportFeed feed(project, test::fixed_clock());
    feed.bind(target);
    target.run(feed);
    target.run(feed);  // a second fetch without preparation delivers nothing
    EXPECT_TRUE(target.records.empty());
    feed.bind(target);
    target.run(feed);
    ASSERT_EQ(target.records.size(), 2u);
    EXPECT_EQ(target.records[0].size(), 22u);
}

// The feed on the real engine: a handle from before a reload is dead.
TEST_F(ReportFeedTest, HandlesDieWithTheTemplateTheyCameFrom) {
    const QByteArray xml =
        "<report><fields><field name='data_id' type='integer'/><field name='component_name' type='text'/>"
        "</fields><detail><column field='data_id'/><column field='component_name'/></detail></report>";
    ReportEngine engine;
    ASSERT_TRUE(engine.load_from_data(xml));
    ReboundFile project = sample_project(2);
    ReportFeed feed(project, test::fixed_clock());
    feed.bind(engine);
    engine.set_fetch_record([&](bool& eof) { feed.fetch_record(eof); });
    ReportData data = engine.fetch_records();
    ASSERT_EQ(data.records.size(), 2u);
    EXPECT_EQ(data.records[1][0].kind, FieldValue::Kind::Integer);
    EXPECT_EQ(data.records[1][0].integer, 2);
    EXPECT_EQ(data.records[1][1].text, QString::fromUtf8("构件-2"));

    ASSERT_TRUE(engine.load_from_data(xml));
    data = engine.fetch_records();  // old handles, counter past the end
    EXPECT_TRUE(data.records.empty());
    ReportField stale = engine.field_by_name("data_id");
    ASSERT_TRUE(engine.load_from_data(xml));
    int calls = 0;
    engine.set_fetch_record([&](bool& eof) {
        stale.set_integer(99);
        eof = ++calls > 1;
    });
    data = engine.fetch_records();
    ASSERT_EQ(data.records.size(), 1u);
    EXPECT_EQ(data.records[0][0].kind, FieldValue::Kind::Unset);
}

}  // namespace
}  // namespace rebound::report
