// rebound-cli batch, run as a user would. The JSON is read back with Qt's
// JSON reader.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>

#include "batch_fixtures.h"
#include "cli_support.h"
#include "evaluation/spare_texts.h"
#include "fixtures.h"
#include "model/rebound_file.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::run_cli;

// The shared batch project (ticked 1 and 3: n 20, m 30.0, S 3.6, fe 24.1),
// its third component named in GBK.
class BatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("rebound-batch-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        project_ = test::batch_fixture_project("\xD6\xF9-3");
        project_.components[0].strength_avg = 30.0f;
        project_.components[0].strength_delta = 5.27f;
        project_.components[0].strength_min = 20.0f;
        project_.components[0].strength_estimate = 21.33f;
        save();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    void save() {
        ASSERT_TRUE(project_.save(dir_ / "site.prj"));
        bytes_ = test::read_file(dir_ / "site.prj");
    }
    void write_cores(const std::string& text) {
        std::ofstream(dir_ / "cores.csv", std::ios::binary) << text;
    }
    CliRun run(QStringList args) {
        args.prepend("site.prj");
        args.prepend("batch");
        CliRun r = run_cli(args, dir_);
        // The command writes nothing.
        EXPECT_EQ(test::read_file(dir_ / "site.prj"), bytes_);
        return r;
    }
    static QJsonObject json(const CliRun& r) {
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << r.out;
        return doc.object();
    }

    fs::path dir_;
    ReboundFile project_;
    std::string bytes_;
};

const char* kSixCores =
    "component,area,strength\n1,1,22\n1,2,27\n1,3,33\n1,4,38\n1,5,44\n1,6,34\n";

TEST_F(BatchCli, JsonOfTheTickedComponents) {
    const CliRun r = run({"--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r);
    const QJsonArray components = o["components"].toArray();
    ASSERT_EQ(components.size(), 2);
    const QJsonObject first = components[0].toObject();
    EXPECT_EQ(first["index"].toInt(), 1);
    EXPECT_EQ(first["name"].toString(), QStringLiteral("KZ-1"));
    EXPECT_EQ(first["areas"].toInt(), 10);
    EXPECT_DOUBLE_EQ(first["mean"].toDouble(), 30.0);
    EXPECT_DOUBLE_EQ(first["sd"].toDouble(), 5.3);
    EXPECT_DOUBLE_EQ(first["min"].toDouble(), 20.0);
    EXPECT_DOUBLE_EQ(first["estimate"].toDouble(), 21.3);
    EXPECT_EQ(components[1].toObject()["index"].toInt(), 3);
    EXPECT_EQ(components[1].toObject()["name"].toString(), QStringLiteral("柱-3"));
    const QJsonObject batch = o["batch"].toObject();
    EXPECT_EQ(batch["components"].toInt(), 2);
    EXPECT_EQ(batch["areas"].toInt(), 20);
    EXPECT_DOUBLE_EQ(batch["mean"].toDouble(), 30.0);
    EXPECT_DOUBLE_EQ(batch["sd"].toDouble(), 3.6);
    EXPECT_DOUBLE_EQ(batch["k"].toDouble(), 1.645);
    EXPECT_DOUBLE_EQ(batch["estimate"].toDouble(), 24.1);
    EXPECT_TRUE(batch["valid"].toBool());
    EXPECT_TRUE(batch["reasons"].toArray().isEmpty());
    EXPECT_TRUE(o["correction"].isNull());
    // Figures to 0.1, as shown.
    EXPECT_NE(r.out.find("\"mean\":30.0,"), std::string::npos) << r.out;
}

TEST_F(BatchCli, TextLinesAndStrictVerdict) {
    // Components 1 and 2: n 20, m 40.0, S about 12.2 above 5.5: not valid.
    struct Case {
        QStringList args;
        int status;
        const char* batch_line;
    };
    const Case cases[] = {
        {{}, 0, "batch: 2 components, 20 areas, mean 30.0 MPa, SD 3.6 MPa, k 1.645, estimate 24.1 MPa, valid\n"},
        {{"--components", "1-2"}, 0, "not valid, inspect component by component: mean from 25.0 to 60.0 MPa"},
        {{"--components", "1-2", "--strict"}, 1, "not valid"},
        {{"--strict", "--k", "2"}, 0, "k 2, estimate 22.8 MPa, valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.out.find(c.batch_line), std::string::npos) << r.out;
    }
    const CliRun r = run({});
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "component 1 \"KZ-1\": 10 areas, mean 30.0 MPa, SD 5.3 MPa, minimum 20.0 MPa, estimate 21.3 MPa");
}

TEST_F(BatchCli, CorrectionByBothMethods) {
    write_cores(kSixCores);
    struct Case {
        const char* method;
        const char* key;
        double value, mean, sd, estimate;
    };
    // delta 3.0: m 33.0, S 3.6, fe 33.0 - 5.922 = 27.078;
    // eta 1.100: m 33.0, S 3.63 x 1.1 = 3.99 -> 4.0, fe 33.0 - 6.58 = 26.42.
    const Case cases[] = {
        {"amount", "delta", 3.0, 33.0, 3.6, 27.1},
        {"coefficient", "eta", 1.1, 33.0, 4.0, 26.4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        const CliRun r = run({"--cores", "cores.csv", "--method", c.method, "--json"});
        ASSERT_EQ(r.status, 0) << r.err;
        const QJsonObject correction = json(r)["correction"].toObject();
        EXPECT_EQ(correction["method"].toString(), QString::fromLatin1(c.method));
        EXPECT_EQ(correction["pairs"].toInt(), 6);
        EXPECT_DOUBLE_EQ(correction[c.key].toDouble(), c.value);
        EXPECT_DOUBLE_EQ(correction["mean"].toDouble(), c.mean);
        EXPECT_DOUBLE_EQ(correction["sd"].toDouble(), c.sd);
        EXPECT_DOUBLE_EQ(correction["estimate"].toDouble(), c.estimate);
    }
    const CliRun eta = run({"--cores", "cores.csv", "--method", "coefficient", "--json"});
    EXPECT_NE(eta.out.find("\"eta\":1.100"), std::string::npos) << eta.out;
}

TEST_F(BatchCli, StoredSettingsAndCoresAreUsed) {
    BatchSettings settings;
    settings.enabled = true;
    settings.k = 2.0;
    settings.lot_size = 40;
    settings.method = CorrectionMethod::Coefficient;
    std::vector<CoreSample> cores{{0, 0, 22}, {0, 1, 27}, {0, 2, 33}, {0, 3, 38}, {0, 4, 44}, {0, 5, 34}};
    ASSERT_FALSE(write_batch_data(project_, settings, cores));
    save();
    const CliRun r = run({"--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject o = json(r);
    EXPECT_DOUBLE_EQ(o["batch"].toObject()["k"].toDouble(), 2.0);
    EXPECT_DOUBLE_EQ(o["correction"].toObject()["eta"].toDouble(), 1.1);
    EXPECT_NE(r.err.find("2 of 40 components inspected, fewer than 30 % of the batch (at least 12)"),
              std::string::npos)
        << r.err;
    // Options override what is stored.
    const CliRun amount = run({"--json", "--method", "amount", "--k", "1.645", "--lot-size", "2"});
    ASSERT_EQ(amount.status, 0) << amount.err;
    EXPECT_DOUBLE_EQ(json(amount)["correction"].toObject()["delta"].toDouble(), 3.0);
    EXPECT_TRUE(amount.err.empty()) << amount.err;
}

TEST_F(BatchCli, Refusals) {
    struct Case {
        const char* name;
        const char* cores;  // nullptr: no cores file
        QStringList args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {"five cores", "1,1,22\n1,2,27\n1,3,33\n1,4,38\n1,5,44\n", {"--cores", "cores.csv"}, 1,
         "cores.csv: no correction by cores: 5 cores, a correction needs at least 6"},
        {"bad row", "1,1,22\n1,x,27\n", {"--cores", "cores.csv"}, 1, "cores.csv: line 2: expected"},
        {"core outside the batch", "2,1,22\n1,2,27\n1,3,33\n1,4,38\n1,5,44\n1,6,44\n", {"--cores", "cores.csv"}, 1,
         "component 2, which is not in the batch"},
        {"missing cores file", nullptr, {"--cores", "none.csv"}, 1, "none.csv"},
        {"component beyond the project", nullptr, {"--components", "2-4"}, 1, "the project holds 3"},
        {"malformed list", nullptr, {"--components", "1,,3"}, 1, "is not a component number"},
        {"unknown method", nullptr, {"--method", "average"}, 2, "--method must be amount or coefficient"},
        {"k of 0", nullptr, {"--k", "0"}, 2, "--k must be"},
        {"lot of 0", nullptr, {"--lot-size", "0"}, 2, "--lot-size must be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cores) write_cores(c.cores);
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace rebound
