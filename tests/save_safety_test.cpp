// What a save respects and what it refuses to be led into: a save stopped at
// each of its steps, a link planted where a save leaves its hidden files,
// symbolic links, read-only files and permissions, names of any length and
// names that are not UTF-8, and the lock that keeps two writers apart.
//
// POSIX only (fork, signals, symbolic links, permission bits); the Windows
// save is tested with the platform tests.
#include <gtest/gtest.h>

#ifdef _WIN32

TEST(SaveSafety, NeedPosixFacilities) {
    GTEST_SKIP() << "made with fork, signals, symbolic links and permission bits";
}

#else

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>

#include "child_process.h"
#include "fileio/byte_io.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;
using platform::ByteSink;
using platform::FileLock;
using platform::SaveStep;

Result<void> save_bytes(const fs::path& path, const std::string& bytes) {
    return platform::write_file_atomically(path,
                                           [&](ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
}

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// Runs `body` in a child process; its exit code, or -signal when killed.
int in_child(const std::function<int()>& body) {
    return test::in_child(body, 99);
}

SaveStep g_kill_at = SaveStep::Locked;
void kill_at_step(SaveStep step) {
    if (step == g_kill_at) raise(SIGKILL);
}

mode_t mode_of(const fs::path& p) {
    struct stat st {};
    EXPECT_EQ(lstat(p.c_str(), &st), 0) << p;
    return st.st_mode & 07777;
}

class SaveSafety : public test::ScratchFolderTest {
protected:
    SaveSafety() : ScratchFolderTest("rebound-save-safety-") {}
    void TearDown() override {
        std::error_code ec;
        for (const auto& e : fs::recursive_directory_iterator(dir_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        ScratchFolderTest::TearDown();
    }
};

// A save killed at each of its steps leaves the complete old file before the
// replacement and the complete new one after it, at most one hidden staging
// file (and the lock file, which the system has already let go of) beside
// it; the next save removes both.
TEST_F(SaveSafety, KilledAtEachStepLeavesOldOrNewAndTheNextSaveCleansUp) {
    const std::string old_bytes(100000, 'o');
    const std::string new_bytes(150000, 'n');
    const struct {
        SaveStep step;
        const char* name;
        bool replaced;
    } steps[] = {
        {SaveStep::Locked, "locked", false},
        {SaveStep::StagingCreated, "staging created", false},
        {SaveStep::ContentWritten, "content written", false},
        {SaveStep::StagingClosed, "staging closed", false},
        {SaveStep::Replaced, "replaced", true},
    };
    const fs::path path = dir_ / "site.prj";
    for (const auto& s : steps) {
        SCOPED_TRACE(s.name);
        // Twice in a row: leftovers of the first killed save do not pile up.
        ASSERT_TRUE(save_bytes(path, old_bytes));
        for (int kill = 0; kill < 2; ++kill) {
            const int status = in_child([&] {
                g_kill_at = s.step;
                platform::set_save_step_hook(kill_at_step);
                return save_bytes(path, new_bytes) ? 0 : 1;
            });
            ASSERT_EQ(status, -SIGKILL);
            EXPECT_EQ(test::read_file(path), s.replaced ? new_bytes : old_bytes);
            int staging = 0;
            for (const std::string& name : names_in(dir_)) {
                if (name == "site.prj") continue;
                ASSERT_EQ(name.rfind(".~", 0), 0u) << name;
                if (!name.ends_with(".lock")) ++staging;
            }
            EXPECT_LE(staging, 1);
            if (s.step == SaveStep::StagingCreated || s.step == SaveStep::ContentWritten ||
                s.step == SaveStep::StagingClosed) {
                EXPECT_EQ(staging, 1) << "the killed save should have left its staging file";
            }
        }
        ASSERT_TRUE(save_bytes(path, old_bytes));
        EXPECT_EQ(names_in(dir_), std::set<std::string>{"site.prj"});
    }
}

// Someone who can write to the folder plants links at the names a save uses
// for its hidden files (the present ones and the earlier ".<name>.saving"):
// the save never writes through them, the files they lead to stay as they
// were, and the save leaves the project whole.
TEST_F(SaveSafety, LinksPlantedAtHiddenNamesAreNeverFollowed) {
    const fs::path outside = dir_ / "outside";
    fs::create_directory(outside);
    const fs::path victim = outside / "victim.txt";
    test::write_file(victim, "not yours");
    const fs::path path = dir_ / "site.prj";
    ASSERT_TRUE(save_bytes(path, "old project"));

    std::string stem = fs::path(platform::hidden_name_stem(path)).string();
    for (const std::string& name : {std::string(".site.prj.saving"), stem + ".aaaaaa", stem + ".zz9zz9"}) {
        fs::create_symlink(victim, dir_ / name);
    }
    ASSERT_TRUE(save_bytes(path, "new project"));
    EXPECT_EQ(test::read_file(victim), "not yours");
    EXPECT_EQ(test::read_file(path), "new project");
    EXPECT_FALSE(fs::is_symlink(path));
    EXPECT_EQ(names_in(dir_), (std::set<std::string>{"outside", "site.prj"}));
}

// A link stays a link and the file it leads to is written, also when it
// leads nowhere yet and when links lead to links; the file keeps its
// permissions; a read-only file, a folder and a FIFO are never replaced.
TEST_F(SaveSafety, LinksPermissionsAndFilesThatMayNotBeReplaced) {
    const fs::path data = dir_ / "data";
    fs::create_directory(data);

    // A live link, relative, to a file in another folder.
    test::write_file(data / "real.prj", "old");
    fs::create_symlink("data/real.prj", dir_ / "live.prj");
    ASSERT_TRUE(save_bytes(dir_ / "live.prj", "via live link"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "live.prj"));
    EXPECT_EQ(test::read_file(data / "real.prj"), "via live link");
    EXPECT_EQ(names_in(data), std::set<std::string>{"real.prj"});

    // A dangling link, reached through a second link.
    fs::create_symlink(data / "new.prj", dir_ / "dangling.prj");
    fs::create_symlink("dangling.prj", dir_ / "chain.prj");
    ASSERT_TRUE(save_bytes(dir_ / "chain.prj", "created"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "chain.prj"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "dangling.prj"));
    EXPECT_EQ(test::read_file(data / "new.prj"), "created");

    // Permissions as they were.
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0664), mode_t(0755)}) {
        SCOPED_TRACE(mode);
        const fs::path p = dir_ / "mode.prj";
        test::write_file(p, "old");
        ASSERT_EQ(chmod(p.c_str(), mode), 0);
        ASSERT_TRUE(save_bytes(p, "new"));
        EXPECT_EQ(mode_of(p), mode);
    }
    // A new file as the process's mask allows.
    const mode_t mask = umask(027);
    ASSERT_TRUE(save_bytes(dir_ / "fresh.prj", "new"));
    umask(mask);
    EXPECT_EQ(mode_of(dir_ / "fresh.prj"), mode_t(0640));

    // Read-only: refused with the system's reason, also for root.
    const fs::path locked = dir_ / "locked.prj";
    test::write_file(locked, "keep me");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    const Result<void> refused = save_bytes(locked, "overwritten");
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find("Permission denied"), std::string::npos) << refused.error().message;
    EXPECT_EQ(test::read_file(locked), "keep me");
    EXPECT_EQ(mode_of(locked), mode_t(0444));

    // A folder and a FIFO under the target's name.
    fs::create_directory(dir_ / "folder.prj");
    const Result<void> folder = save_bytes(dir_ / "folder.prj", "x");
    ASSERT_FALSE(folder);
    EXPECT_EQ(folder.error().message, "is a folder, not a file");
    ASSERT_EQ(mkfifo((dir_ / "pipe.prj").c_str(), 0600), 0);
    const Result<void> fifo = save_bytes(dir_ / "pipe.prj", "x");
    ASSERT_FALSE(fifo);
    EXPECT_NE(fifo.error().message.find("not a regular file"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(dir_ / "pipe.prj"));

    std::set<std::string> left = names_in(dir_);
    for (const std::string& name : left) EXPECT_NE(name.rfind(".~", 0), 0u) << name << " left behind";
}

// Any name the system accepts can be saved: the longest one (255 bytes) and
// names that are not UTF-8 (GBK bytes), which keep their bytes.
TEST_F(SaveSafety, LongestNamesAndNamesThatAreNotUtf8) {
    const std::string longest = std::string(251, 'n') + ".prj";
    const std::string gbk = "\xb9\xa4\xb3\xcc.prj";  // 工程 in GBK
    const std::string mixed = "site-\xff\xfe.prj";
    for (const std::string& name : {longest, gbk, mixed}) {
        SCOPED_TRACE(name.size());
        const fs::path path = dir_ / fs::path(name);
        const ReboundFile project = test::sample_project(2, 2);
        ASSERT_TRUE(project.save(path)) << project.save(path).error().message;
        ASSERT_TRUE(project.save(path));  // replacing it too
        ReboundFile back;
        ASSERT_TRUE(back.load(path, test::today()));
        EXPECT_TRUE(back == project);
        EXPECT_EQ(names_in(dir_), std::set<std::string>{name});
        fs::remove(path);
    }
}

// One writer at a time: while another process holds the lock, a second
// writer waits and gives up after the wait with "is being changed by another
// program", and a save in its place fails the same way and leaves the file;
// once the holder is killed, the lock is taken at once and leaves nothing.
TEST_F(SaveSafety, TheLockKeepsASecondWriterOutAndNeverOutlivesItsHolder) {
    const fs::path path = dir_ / "site.prj";
    ASSERT_TRUE(save_bytes(path, "old"));
    {
        Result<FileLock> own = FileLock::acquire(path);
        ASSERT_TRUE(own);
        EXPECT_TRUE(FileLock::held(path));
        // The holder itself saves without waiting for itself.
        ASSERT_TRUE(save_bytes(path, "by the holder"));
    }
    EXPECT_FALSE(FileLock::held(path));

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    std::fflush(nullptr);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        Result<FileLock> lock = FileLock::acquire(path);
        const char byte = lock ? 'y' : 'n';
        (void)!write(ready[1], &byte, 1);
        pause();  // until killed
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    close(ready[1]);
    ASSERT_EQ(byte, 'y');

    const auto start = std::chrono::steady_clock::now();
    Result<FileLock> second = FileLock::acquire(path, std::chrono::milliseconds(300));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(250));
    ASSERT_FALSE(second);
    EXPECT_EQ(second.error().kind, FileError::Kind::Busy);
    EXPECT_EQ(second.error().message, "is being changed by another program");

    const Result<void> saved = save_bytes(path, "lost?");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, FileError::Kind::Busy);
    EXPECT_EQ(test::read_file(path), "by the holder");

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    const auto after_kill = std::chrono::steady_clock::now();
    Result<FileLock> after = FileLock::acquire(path, std::chrono::milliseconds(2000));
    ASSERT_TRUE(after) << after.error().message;
    EXPECT_LT(std::chrono::steady_clock::now() - after_kill, std::chrono::milliseconds(1000));
    after->release();
    EXPECT_EQ(names_in(dir_), std::set<std::string>{"site.prj"});
}

}  // namespace
}  // namespace rebound

#endif
