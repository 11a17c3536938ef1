// Runs the rebound-cli executable the way a user or a batch script does.
#include <gtest/gtest.h>

#include <set>

#include "cli_support.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "open_files.h"
#include "platform/file_lock.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

using test::CliRun;
using test::python_on_json;
using test::run_cli;

// A folder of its own for each run (named with the run's random seed, so
// that runs of the same test in other build trees at the same moment do not
// share it). Not an error when the folder stays: under Wine a tool that has
// just ended can hold its working folder a moment longer.
class CliTest : public test::ScratchFolderTest {
protected:
    CliTest() : ScratchFolderTest("rebound-cli-") {}
    QString at(const char* name) const { return QString::fromStdString((dir_ / name).string()); }
};

TEST_F(CliTest, DumpPrintsTheProjectAsJson) {
    ReboundFile p = test::sample_project(2, 3);
    p.component(0)->area(1).area_strength = 0.1f;
    p.component(1)->strength_delta = std::numeric_limits<float>::infinity();
    ASSERT_TRUE(p.save(dir_ / "site.prj"));
    const CliRun r = run_cli({"dump", at("site.prj")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    const QJsonObject d = test::json_object(r.out);
    EXPECT_EQ(d["project_name"].toString(), QString::fromUtf8("测试工程"));
    EXPECT_EQ(d["examine_condition"].toString(), QString::fromUtf8("楼板"));
    EXPECT_EQ(d["components"].toArray().size(), 2);
    EXPECT_EQ(d["components"][1]["strength_delta"].toString(), "inf");
    if (!test::kPythonReachable) GTEST_SKIP() << test::kNoPython;
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
    const QJsonObject d = test::json_object(r.out);
    EXPECT_EQ(d["format"].toString(), "device");
    EXPECT_EQ(d["component_name"].toString(), "B7");
    EXPECT_EQ(d["areas"].toArray().size(), 2);
    if (!test::kPythonReachable) GTEST_SKIP() << test::kNoPython;
    EXPECT_EQ(python_on_json(r.out,
                             "d['format'], d['component_name'], d['list_checked'], len(d['areas']), "
                             "d['areas'][0]['converted_strength'], d['areas'][0]['area_strength']"),
              "device B7 1 2 27.5 27.5");
}

// Standard output is not a terminal here, so the JSON is compact unless
// --pretty asks otherwise; both forms hold the same data.
TEST_F(CliTest, DumpIsCompactUnlessAskedToBePretty) {
    ASSERT_TRUE(test::sample_project(2, 2).save(dir_ / "site.prj"));
    struct Case {
        QStringList args;
        std::size_t lines;
    };
    const std::vector<Case> cases = {
        {{"dump", at("site.prj")}, 1},
        {{"dump", "--compact", at("site.prj")}, 1},
        {{"dump", "--pretty", at("site.prj")}, 0},  // one line per member
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CliRun r = run_cli(c.args, dir_);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto lines = static_cast<std::size_t>(std::count(r.out.begin(), r.out.end(), '\n'));
        if (c.lines != 0) {
            EXPECT_EQ(lines, c.lines);
            EXPECT_EQ(r.out.find("\": "), std::string::npos);
            EXPECT_NE(r.out.find("\"project_name\":\""), std::string::npos);
        } else {
            EXPECT_GT(lines, 100u);
            EXPECT_NE(r.out.find("\n  \"project_name\": "), std::string::npos);
        }
        if (test::kPythonReachable) {
            EXPECT_EQ(
                python_on_json(r.out, "len(d['components']), d['components'][1]['areas'][1]['readings'][0]"),
                "2 32");
        }
    }
}

#ifdef __linux__
// A disk that fills up while the JSON is written is a failure, not a success.
TEST_F(CliTest, DumpIntoAFullDiskFails) {
    ASSERT_TRUE(test::sample_project(1, 1).save(dir_ / "site.prj"));
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QStringLiteral(REBOUND_CLI_PATH), {"dump", at("site.prj")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().toStdString(), "rebound-cli: standard output could not be written\n");
}
#endif

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
    // A project the import creates is named after its file, in no language.
    EXPECT_EQ(p.project_name, "new");
    EXPECT_EQ(p.component(1)->component_name, "B1");
    const std::string before = test::read_file(dir_ / "new.prj");

    r = run_cli({"import", at("new.prj"), at("a.cmp"), at("broken.cmp")}, dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("rebound-cli: " + (dir_ / "broken.cmp").string() + ": "), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("ends at byte 100"), std::string::npos) << r.err;
    EXPECT_EQ(test::read_file(dir_ / "new.prj"), before);
}

// Two imports in a row save the project twice, the second replacing the
// first file; then the project can be renamed and deleted: the tool left
// neither the file nor its lock open, and nothing but the file behind.
TEST_F(CliTest, TwoImportsInARowLeaveTheProjectFreeToRenameAndDelete) {
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {test::DeviceArea{}}));
    for (int i = 0; i < 2; ++i) {
        const CliRun r = run_cli({"import", at("site.prj"), at("a.cmp")}, dir_);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    ReboundFile p;
    ASSERT_TRUE(p.load(dir_ / "site.prj", test::today()));
    EXPECT_EQ(p.component_count(), 2u);
    std::set<std::filesystem::path> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_)) names.insert(e.path().filename());
    EXPECT_EQ(names, (std::set<std::filesystem::path>{"a.cmp", "site.prj"}));
    test::expect_renamed_and_deleted(dir_ / "site.prj");
}

// Names outside the ANSI code page reach the tool whole (on Windows through
// the wide command line), and a project the tool may not change keeps every
// byte: one whose lock another program holds (here the test) is given up
// after the wait, a read-only one is refused at once; both exit 1.
TEST_F(CliTest, ImportTakesAnyNameAndLeavesALockedOrReadOnlyProjectAlone) {
    namespace fs = std::filesystem;
    const fs::path project = dir_ / fs::path(u8"工程 😀.prj");
    const fs::path device = dir_ / fs::path(u8"构件 😀.cmp");
    test::write_file(device, test::device_record("A1", {test::DeviceArea{}}));
    const QStringList import{"import", QString::fromStdU16String(project.u16string()),
                             QString::fromStdU16String(device.u16string())};
    CliRun r = run_cli(import, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string saved = test::read_file(project);
    {
        Result<platform::FileLock> lock = platform::FileLock::acquire(project);
        ASSERT_TRUE(lock) << lock.error().message;
        r = run_cli(import, dir_);
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("is being changed by another program; nothing was saved"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::read_file(project), saved);

    const fs::perms writable = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(project, writable, fs::perm_options::remove);
    r = run_cli(import, dir_);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot be saved"), std::string::npos) << r.err;
    fs::permissions(project, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(test::read_file(project), saved);

    ReboundFile back;
    ASSERT_TRUE(back.load(project, test::today()));
    EXPECT_EQ(back.component_count(), 1u);
    std::set<fs::path> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename());
    EXPECT_EQ(names, (std::set<fs::path>{project.filename(), device.filename()}));
}

// The import copies the project record by record; the file it writes is the
// one loading, adding and saving would write, texts cut at zero bytes
// included.
TEST_F(CliTest, ImportWritesWhatLoadAddAndSaveWould) {
    ReboundFile original = test::sample_project(3, 2);
    original.component(1)->component_name = std::string("B2\0tail", 7);
    ByteWriter w;
    original.write_to(w);
    test::write_file(dir_ / "site.prj", w.bytes());
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {test::DeviceArea{}}));

    // What loading, adding and saving would write.
    ReboundFile expected;
    ASSERT_TRUE(expected.load(dir_ / "site.prj", test::today()));
    EXPECT_EQ(expected.component(1)->component_name, "B2");
    const Result<ComponentInfo> device = import_component_file(dir_ / "a.cmp", platform::SystemClock());
    ASSERT_TRUE(device);
    expected.add_component(*device);
    ByteWriter want;
    expected.write_to(want);

    const CliRun r = run_cli({"import", at("site.prj"), at("a.cmp")}, dir_);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(test::read_file(dir_ / "site.prj"), want.bytes());
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
