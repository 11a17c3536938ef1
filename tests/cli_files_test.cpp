// rebound-cli against other programs, links, broken counts and names that
// are not UTF-8: two imports at once lose nothing, a project another program
// is changing is left alone, file names are taken as the bytes given, and
// every command's exit status tells the truth (a FIFO read once, a full
// standard output, an export to a folder, "--").
//
// POSIX only: the tool is started with fork and exec so that its arguments
// and standard output are exactly what a shell would give it.
#include <gtest/gtest.h>

#ifdef _WIN32

TEST(CliFiles, NeedPosixFacilities) {
    GTEST_SKIP() << "the tool is started with fork and exec, with byte arguments and a chosen standard output";
}

#else

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "fileio/byte_io.h"
#include "fileio/exchange.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "platform/file_lock.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;  // exit status; -signal when killed
    std::string out;
    std::string err;
};

// Starts rebound-cli with exactly these argument bytes in `cwd`; standard
// output goes to `stdout_path` when given, else it is captured.
pid_t start(const std::vector<std::string>& args, const fs::path& cwd, const fs::path& out_file,
            const fs::path& err_file, const char* stdout_path = nullptr) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(cwd.c_str()) != 0) _exit(126);
    const int out = open(stdout_path ? stdout_path : out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0) _exit(126);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    static char name[] = "rebound-cli";
    argv.push_back(name);
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(REBOUND_CLI_PATH, argv.data());
    _exit(127);
}

ToolRun finish(pid_t pid, const fs::path& out_file, const fs::path& err_file) {
    int status = 0;
    waitpid(pid, &status, 0);
    std::error_code ec;
    ToolRun r{WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status),
          fs::exists(out_file, ec) ? test::read_file(out_file) : std::string(), test::read_file(err_file)};
    fs::remove(out_file, ec);
    fs::remove(err_file, ec);
    return r;
}

class CliFiles : public test::ScratchFolderTest {
protected:
    CliFiles() : ScratchFolderTest("rebound-cli-files-") {}
    void SetUp() override {
        ScratchFolderTest::SetUp();
        io_ = dir_.parent_path() / (dir_.filename().string() + "-io");
        fs::remove_all(io_);
        fs::create_directories(io_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(io_, ec);
        ScratchFolderTest::TearDown();
    }
    ToolRun run(const std::vector<std::string>& args, const char* stdout_path = nullptr) {
        const fs::path out = io_ / "out", err = io_ / "err";
        return finish(start(args, dir_, out, err, stdout_path), out, err);
    }
    fs::path io_;  // standard output and error of the runs, outside the folder under test
};

std::string project_bytes(const ReboundFile& p) {
    ByteWriter w;
    p.write_to(w);
    return w.bytes();
}

// Two imports into the same project at the same moment, many times over:
// afterwards the project holds every component that was imported, each
// import that did not get in exits 1 with the message, and nothing else is
// left in the folder.
TEST_F(CliFiles, TwoImportsAtOnceLoseNothing) {
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {test::DeviceArea{}}));
    test::write_file(dir_ / "b.cmp", test::device_record("B1", {test::DeviceArea{}, test::DeviceArea{}}));
    const int rounds = 25;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_TRUE(test::sample_project(round % 2 == 0 ? 2 : 200, 10).save(dir_ / "site.prj"));
        const std::size_t before = round % 2 == 0 ? 2 : 200;
        const pid_t first = start({"import", "site.prj", "a.cmp"}, dir_, io_ / "o1", io_ / "e1");
        const pid_t second = start({"import", "site.prj", "b.cmp"}, dir_, io_ / "o2", io_ / "e2");
        const ToolRun r1 = finish(first, io_ / "o1", io_ / "e1");
        const ToolRun r2 = finish(second, io_ / "o2", io_ / "e2");
        ReboundFile after;
        ASSERT_TRUE(after.load(dir_ / "site.prj", test::today()));
        std::set<std::string> names;
        for (std::size_t i = before; i < after.components.size(); ++i) names.insert(after.components[i].component_name);
        for (const auto& [r, name] : {std::pair{&r1, "A1"}, std::pair{&r2, "B1"}}) {
            if (r->status == 0) {
                EXPECT_TRUE(names.count(name)) << name << " was imported with exit 0 but is missing";
            } else {
                EXPECT_EQ(r->status, 1);
                EXPECT_NE(r->err.find("is being changed by another program; nothing was saved"), std::string::npos)
                    << r->err;
                EXPECT_FALSE(names.count(name));
            }
        }
        EXPECT_EQ(after.components.size(), before + names.size());
        std::set<std::string> left;
        for (const auto& e : fs::directory_iterator(dir_)) left.insert(e.path().filename().string());
        EXPECT_EQ(left, (std::set<std::string>{"a.cmp", "b.cmp", "site.prj"}));
    }
}

// While another program holds the project's lock (here the test itself), an
// import waits, then gives up with exit 1, and the project is untouched.
TEST_F(CliFiles, AnImportWhileAnotherProgramChangesTheProjectFails) {
    const std::string bytes = project_bytes(test::sample_project(2, 2));
    test::write_file(dir_ / "site.prj", bytes);
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {}));
    Result<platform::FileLock> lock = platform::FileLock::acquire(dir_ / "site.prj");
    ASSERT_TRUE(lock);
    const ToolRun r = run({"import", "site.prj", "a.cmp"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "rebound-cli: site.prj: is being changed by another program; nothing was saved\n");
    EXPECT_EQ(test::read_file(dir_ / "site.prj"), bytes);
    lock->release();
    EXPECT_EQ(run({"import", "site.prj", "a.cmp"}).status, 0);
}

// A count that disagrees with the records, bytes after the end, a
// read-only project: every command that would save refuses, exit 1, and the
// file keeps every byte.
TEST_F(CliFiles, CommandsThatWouldLoseDataRefuseAndSaveNothing) {
    fs::create_directory(dir_ / "curve");
    fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur", dir_ / "curve" / "normal.cur");
    test::write_file(dir_ / "a.cmp", test::device_record("A1", {}));
    const ReboundFile sample = test::sample_project(3, 4);
    const std::string good = project_bytes(sample);
    // The component count sits after the 15 header texts.
    std::size_t count_at = 0;
    for (int i = 0; i < 15; ++i) count_at += 4 + load_u32(reinterpret_cast<const unsigned char*>(good.data()) + count_at);
    std::string zeroed = good, smaller = good;
    zeroed[count_at] = 0;
    smaller[count_at] = 2;
    struct Case {
        const char* name;
        std::string bytes;
        mode_t mode;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"count zeroed", zeroed, 0644, "bytes follow the end of the project at byte"},
        {"count smaller", smaller, 0644, "after the 2 components its component count announces"},
        {"trailing bytes", good + "xyz", 0644, "3 bytes follow the end of the project"},
        {"read-only", good, 0444, "Permission denied"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"import", "site.prj", "a.cmp"}, std::vector<std::string>{"evaluate", "site.prj"}}) {
            SCOPED_TRACE(args[0]);
            fs::remove(dir_ / "site.prj");
            test::write_file(dir_ / "site.prj", c.bytes);
            ASSERT_EQ(chmod((dir_ / "site.prj").c_str(), c.mode), 0);
            const ToolRun r = run(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
            EXPECT_EQ(test::read_file(dir_ / "site.prj"), c.bytes);
        }
    }
}

// Names that are not UTF-8 (GBK bytes, as from a Chinese Windows machine)
// are used as given: import, export and evaluate work on those very files
// and create no file under another name.
TEST_F(CliFiles, NamesThatAreNotUtf8AreUsedAsGiven) {
    fs::create_directory(dir_ / "curve");
    fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur", dir_ / "curve" / "normal.cur");
    const std::string project = "\xb9\xa4\xb3\xcc.prj";   // 工程
    const std::string device = "\xb9\xb9\xbc\xfe.cmp";    // 构件
    const std::string exported = "\xb5\xbc\xb3\xf6";      // 导出
    ASSERT_TRUE(test::sample_project(1, 2).save(dir_ / fs::path(project)));
    test::write_file(dir_ / fs::path(device), test::device_record("D1", {test::DeviceArea{}}));

    ToolRun r = run({"import", project, device});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"export-component", project, "1", exported});
    ASSERT_EQ(r.status, 0) << r.err;
    r = run({"evaluate", project});
    ASSERT_EQ(r.status, 0) << r.err;

    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().native());
    EXPECT_EQ(names, (std::set<std::string>{"curve", project, device, exported + ".xcmp"}));
    ReboundFile back;
    ASSERT_TRUE(back.load(dir_ / fs::path(project), test::today()));
    ASSERT_EQ(back.components.size(), 2u);
    EXPECT_EQ(back.components[1].component_name, "D1");

    // A missing one is named in the message with its bytes shown.
    r = run({"dump", "\xb6\xaa.prj"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "rebound-cli: \\xB6\\xAA.prj: cannot be opened: the file does not exist\n");
}

// The exit status tells the truth: a FIFO is read once, output that cannot
// be written is an error (after the save, which is said), an export needs a
// file name, a file that cannot be opened says why, "--" ends the options.
TEST_F(CliFiles, ExitStatusesTellTheTruth) {
    fs::create_directory(dir_ / "curve");
    fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur", dir_ / "curve" / "normal.cur");
    const ReboundFile sample = test::sample_project(2, 3);
    const std::string bytes = project_bytes(sample);
    test::write_file(dir_ / "site.prj", bytes);

    // A FIFO holding a project: dump reads it once and ends.
    ASSERT_EQ(mkfifo((dir_ / "pipe.prj").c_str(), 0600), 0);
    std::thread writer([&] {
        const int fd = open((dir_ / "pipe.prj").c_str(), O_WRONLY);
        if (fd >= 0) {
            (void)!write(fd, bytes.data(), bytes.size());
            close(fd);
        }
    });
    ToolRun r = run({"dump", "pipe.prj", "--compact"});
    writer.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"format\":\"project\""), std::string::npos);

    // A project with bytes after its last component: dump prints what it
    // read, then the error.
    test::write_file(dir_ / "tail.prj", bytes + "xyz");
    r = run({"dump", "tail.prj", "--compact"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("\"components\":[{"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("tail.prj: 3 bytes follow the end of the project at byte " +
                         std::to_string(bytes.size())),
              std::string::npos)
        << r.err;

    // Standard output on a full device.
    r = run({"dump", "site.prj"}, "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "rebound-cli: standard output could not be written\n");
    r = run({"evaluate", "site.prj"}, "/dev/full");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "rebound-cli: standard output could not be written; the project was saved\n");
    EXPECT_NE(test::read_file(dir_ / "site.prj"), bytes) << "the evaluation was not saved";
    r = run({"--help"}, "/dev/full");
    EXPECT_EQ(r.status, 1);

    // An export needs a file's name.
    fs::create_directory(dir_ / "dir");
    for (const std::string out : {"", "dir/", "dir", ".", "dir/.."}) {
        SCOPED_TRACE("OUT '" + out + "'");
        r = run({"export-component", "site.prj", "0", out});
        EXPECT_NE(r.status, 0);
        EXPECT_FALSE(fs::exists(dir_ / ".xcmp"));
        EXPECT_FALSE(fs::exists(dir_ / "dir" / ".xcmp"));
        EXPECT_TRUE(fs::is_empty(dir_ / "dir"));
    }

    // Why a file cannot be opened.
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socket_path = (dir_ / "sock.prj").string();
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    socket_path.copy(address.sun_path, socket_path.size());
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    struct Case {
        const char* file;
        const char* reason;
    };
    for (const Case& c : {Case{"missing.prj", "cannot be opened: the file does not exist"},
                          Case{"sock.prj", "cannot be opened: not a regular file"},
                          Case{"dir", "unknown file type"}, Case{"missing.cmp", "cannot be opened: the file does not exist"},
                          Case{"missing.cur", "cannot be opened: the file does not exist"}}) {
        SCOPED_TRACE(c.file);
        r = run({"dump", c.file});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(std::string(c.file) + ": " + c.reason), std::string::npos) << r.err;
    }
    close(sock);

    // "--" ends the options: a file whose name starts with a dash.
    test::write_file(dir_ / "-x.prj", bytes);
    r = run({"dump", "--compact", "--", "-x.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = run({"import", "--", "-x.prj", "site.prj"});
    EXPECT_EQ(r.status, 1);  // site.prj is not a component file
    r = run({"evaluate", "--", "-x.prj"});
    EXPECT_EQ(r.status, 0) << r.err;
}

// ---- A laboratory's shared folder ------------------------------------------

// Pairs of a special curve, within the plausible ranges: f = 0.025 Rm^2.01.
std::string plausible_pairs(int n) {
    std::string csv = "rm,depth,strength\n";
    for (int i = 0; i < n; ++i) {
        const double rm = 22.0 + i;
        const double f = std::round(0.025 * std::pow(rm, 2.01) * (1.0 + 0.02 * (i % 3 - 1)) * 10.0) / 10.0;
        csv += std::to_string(rm) + "," + std::to_string(0.5 * (i % 5)) + "," + std::to_string(f) + "\n";
    }
    return csv;
}

class CliSharedFolder : public CliFiles {
protected:
    void SetUp() override {
        CliFiles::SetUp();
        ASSERT_TRUE(test::sample_project(2, 10).save(dir_ / "site.prj"));
        test::write_file(dir_ / "KZ.cmp", test::device_record("KZ", {test::DeviceArea{}}));
        test::write_file(dir_ / "pairs.csv", plausible_pairs(40));
        fs::create_directories(dir_ / "curve");
        fs::create_directories(dir_ / "report");
        fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur", dir_ / "curve" / "normal.cur");
        fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "curve" / "normal.cur", dir_ / "lab.cur");
        for (const char* t : {"rebound_report1.grf", "curve_fit1.grf"}) {
            fs::copy_file(fs::path(REBOUND_SOURCE_DIR) / "data" / "report" / t, dir_ / "report" / t);
        }
        reports_ = run({"--help"}).out.find("report PROJECT") != std::string::npos;
    }
    // Every regular file of the folder with its bytes.
    std::map<std::string, std::string> files() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(dir_)) {
            if (e.is_regular_file()) out[e.path().lexically_relative(dir_).string()] = test::read_file(e.path());
        }
        return out;
    }
    bool reports_ = false;
};

// No command writes its output over one of its inputs or its template,
// whatever name or link reaches it: each refuses before anything is written.
TEST_F(CliSharedFolder, NoCommandReplacesOneOfItsInputs) {
    fs::create_hard_link(dir_ / "KZ.cmp", dir_ / "kz.prj");
    fs::create_symlink("site.prj", dir_ / "alias.xcmp");
    fs::create_hard_link(dir_ / "pairs.csv", dir_ / "pairs-link.cur");
    fs::create_symlink("report/rebound_report1.grf", dir_ / "template.txt");
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool report;
    };
    const Case cases[] = {
        {"import into a component file", {"import", "kz.prj", "KZ.cmp"}, false},
        {"export over the project", {"export-component", "site.prj", "0", "alias"}, false},
        {"evaluate over the curve", {"evaluate", "site.prj", "--curve", "lab.cur", "-o", "lab.cur"}, false},
        {"curve over the pairs", {"curve", "fit", "pairs.csv", "-o", "pairs-link"}, false},
        {"fit report over the pairs", {"curve", "fit", "pairs.csv", "-o", "new.cur", "--report", "pairs.csv"}, true},
        {"fit report over the curve", {"curve", "fit", "pairs.csv", "-o", "lab.cur", "--report", "lab.cur"}, true},
        {"report over the project", {"report", "site.prj", "--pdf", "site.prj"}, true},
        {"text over its template",
         {"report", "site.prj", "--template", "report/rebound_report1.grf", "--text", "template.txt"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.report && !reports_) continue;
        const auto before = files();
        const ToolRun r = run(c.args);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.find("is the same file as the input") != std::string::npos ||
                    r.err.find("name the same file") != std::string::npos)
            << r.err;
        EXPECT_EQ(files(), before);
    }
}

// File names are bytes for every command: a GBK name, a name of 255 bytes
// and a name holding a newline each go in and come out unchanged, and a
// message shows the newline as \x0A.
TEST_F(CliSharedFolder, EveryCommandTakesFileNamesAsBytes) {
    const std::string names[] = {"\xB9\xA4\xB3\xCC", std::string(250, 'n'), "two\nlines"};
    for (const std::string& n : names) {
        SCOPED_TRACE(n.size());
        fs::copy_file(dir_ / "KZ.cmp", dir_ / (n + ".cmp"));
        fs::copy_file(dir_ / "pairs.csv", dir_ / (n + ".csv"));
        const std::vector<std::vector<std::string>> runs = {
            {"import", n + ".prj", n + ".cmp"},
            {"export-component", n + ".prj", "0", n},
            {"dump", n + ".xcmp"},
            {"evaluate", n + ".prj", "--curve", "lab.cur"},
            {"batch", n + ".prj", "--components", "1"},
            {"curve", "fit", n + ".csv", "-o", n},
            {"dump", n + ".cur"},
        };
        for (const auto& args : runs) {
            const ToolRun r = run(args);
            EXPECT_EQ(r.status, 0) << args[0] << ": " << r.err;
        }
        for (const char* ext : {".prj", ".xcmp", ".cur"}) EXPECT_TRUE(fs::is_regular_file(dir_ / (n + ext))) << ext;
        if (reports_) {
            EXPECT_EQ(run({"curve", "fit", n + ".csv", "-o", n, "--report", n + ".pdf"}).status, 0);
            EXPECT_EQ(run({"report", n + ".prj", "--pdf", "R" + n + ".pdf"}).status, 0);
            EXPECT_TRUE(fs::is_regular_file(dir_ / (n + ".pdf")));
            EXPECT_TRUE(fs::is_regular_file(dir_ / ("R" + n + ".pdf")));
        }
    }
    const ToolRun missing = run({"dump", "two\nlines-missing.prj"});
    EXPECT_EQ(missing.err,
              "rebound-cli: two\\x0Alines-missing.prj: cannot be opened: the file does not exist\n");
}

// -o names a file: a folder, an empty name and "." are usage errors, and no
// hidden ".cur" appears.
TEST_F(CliSharedFolder, CurveOutputMustNameAFile) {
    fs::create_directory(dir_ / "dir");
    for (const std::string out : {"", ".", "dir/", "dir", "dir/.."}) {
        SCOPED_TRACE("-o '" + out + "'");
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"curve", "fit", "pairs.csv", "-o", out},
              std::vector<std::string>{"curve", "formula", "--a", "0.025", "--b", "2", "--c", "-0.035", "--rm",
                                       "20,60", "--depth", "0,6", "--strength", "10,60", "-o", out}}) {
            const ToolRun r = run(args);
            EXPECT_EQ(r.status, 2) << r.err;
            EXPECT_NE(r.err.find("OUT must name a file"), std::string::npos) << r.err;
        }
        EXPECT_FALSE(fs::exists(dir_ / ".cur"));
        EXPECT_TRUE(fs::is_empty(dir_ / "dir"));
    }
}

// The standard curve is reached under another name through a link: it is
// still the standard curve and is not replaced without --force.
TEST_F(CliSharedFolder, TheStandardCurveUnderAnotherNameIsNotReplaced) {
    fs::create_symlink("curve/normal.cur", dir_ / "mine.cur");
    const std::string before = test::read_file(dir_ / "curve" / "normal.cur");
    ToolRun r = run({"curve", "fit", "pairs.csv", "-o", "mine.cur"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is the standard curve and is not replaced without --force"), std::string::npos) << r.err;
    EXPECT_EQ(test::read_file(dir_ / "curve" / "normal.cur"), before);
    r = run({"curve", "fit", "pairs.csv", "-o", "mine.cur", "--force"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(test::read_file(dir_ / "curve" / "normal.cur"), before);
}

// Bytes from files reach the terminal escaped: control bytes as \xNN, a
// quoted line cut at 200 characters; the JSON stays JSON.
TEST_F(CliSharedFolder, ControlBytesFromFilesAreEscaped) {
    test::write_file(dir_ / "bad.csv", "\x1B]0;owned\x07" + std::string(300, 'x') + "\nrm\n");
    ToolRun r = run({"curve", "fit", "bad.csv", "-o", "out.cur"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.find('\x1B'), std::string::npos);
    EXPECT_EQ(r.err.find('\x07'), std::string::npos);
    const std::string quoted = "not \"\\x1B]0;owned\\x07" + std::string(190, 'x') + "...\"";
    EXPECT_NE(r.err.find(quoted), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    ReboundFile project = test::sample_project(1, 10);
    project.components[0].component_name = "KZ\x1B[2J";
    ASSERT_TRUE(project.save(dir_ / "esc.prj"));
    r = run({"batch", "esc.prj", "--components", "1"});
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
    EXPECT_NE(r.out.find("\"KZ\\x1B[2J\""), std::string::npos) << r.out;
    r = run({"batch", "esc.prj", "--components", "1", "--json"});
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
    EXPECT_NE(r.out.find("KZ\\u001b[2J"), std::string::npos) << r.out;
}

// A pairs file is capped like a cores file: an endless device is refused
// with the limit, having read no more than it.
TEST_F(CliSharedFolder, APairsFileIsBounded) {
    const ToolRun r = run({"curve", "fit", "/dev/zero", "-o", "out.cur"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "rebound-cli: /dev/zero: is larger than 4194304 bytes, the most a table of pairs may hold\n");
    EXPECT_FALSE(fs::exists(dir_ / "out.cur"));
}

// Messages name the real cause, and every limit states its maximum.
TEST_F(CliSharedFolder, MessagesNameTheRealCause) {
    std::string absurd(24, '\0');
    absurd[0] = '\xFF', absurd[1] = '\xFF', absurd[2] = '\xFF', absurd[3] = '\x7F', absurd[4] = 13;
    test::write_file(dir_ / "absurd.cur", absurd);
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"import", "none/site.prj", "KZ.cmp"}, 1, "none/site.prj: the folder "},
        {{"curve", "fit", "none.csv", "-o", "x.cur"}, 1, "none.csv: cannot be opened: the file does not exist"},
        {{"dump", "absurd.cur"}, 1, "the curve header announces 2147483647 rows x 13 columns, not a table of 1 to"},
        {{"export-component", "site.prj", "-1", "x"}, 2, "INDEX must be a whole number from 0, not '-1'"},
        {{"batch", "site.prj", "--lot-size", "2000000"}, 2, "from 1 to 1000000, not '2000000'"},
        {{"batch", "site.prj", "--k", "-1"}, 2, "--k must be a number from 0.5 to 3.0, such as 1.645, not '-1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const ToolRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    EXPECT_NE(run({"import", "none/site.prj", "KZ.cmp"}).err.find("does not exist; nothing was saved"),
              std::string::npos);
}

}  // namespace
}  // namespace rebound

#endif
