// A laboratory's shared folder: links another user planted at a file's name
// and hidden lock files that are not locks (a FIFO, a folder, a link, a file
// nobody else may read) never make a save write elsewhere, hang or fail
// without naming the cause; an output is compared with the inputs by file
// identity.
//
// Another user is a real one where the test runs as root (links and files
// given to uid 4242 with lchown, a child process that changes to user
// "nobody"); elsewhere the owner check is told to take another uid as the
// user saving (platform::assume_user_for_tests), so that the test's own links
// count as somebody else's.
#include <gtest/gtest.h>

#ifdef _WIN32

TEST(SharedFolder, NeedPosixFacilities) {
    GTEST_SKIP() << "made with symbolic links, FIFOs, owners and permission bits";
}

#else

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "child_process.h"
#include "fixtures.h"
#include "platform/file_lock.h"
#include "platform/files.h"
#include "scratch_folder.h"

namespace rebound {
namespace {

namespace fs = std::filesystem;
using platform::FileLock;

constexpr std::uint32_t kOtherUser = 4242;

Result<void> save_bytes(const fs::path& path, const std::string& bytes) {
    return platform::write_file_atomically(
        path, [&](platform::ByteSink& sink) { return sink.write(bytes.data(), bytes.size()); });
}

class SharedFolder : public test::ScratchFolderTest {
protected:
    SharedFolder() : ScratchFolderTest("rebound-shared-folder-") {}
    void TearDown() override {
        platform::assume_user_for_tests(std::nullopt);
        ScratchFolderTest::TearDown();
    }
    // Makes `link` somebody else's: given to another uid as root, else the
    // owner check takes another uid as the user saving.
    static void make_foreign(const fs::path& link) {
        if (geteuid() == 0) {
            ASSERT_EQ(lchown(link.c_str(), kOtherUser, kOtherUser), 0);
        } else {
            platform::assume_user_for_tests(geteuid() + 1);
        }
    }
    static std::string lock_name_of(const fs::path& target) {
        fs::path name(platform::hidden_name_stem(platform::save_destination(target)));
        name += ".lock";
        return platform::save_destination(target).parent_path() / name;
    }
};

// A link someone else planted at the project's name is not followed: the
// save, the lock and the command's read-change-write all refuse it, naming
// the link and its owner, and the file it leads to stays as it was.
TEST_F(SharedFolder, LinksOfAnotherUserAreNotFollowed) {
    const fs::path victim = dir_ / "outside" / "victim.txt";
    fs::create_directories(victim.parent_path());
    test::write_file(victim, "precious");
    const fs::path link = dir_ / "lab.cur";
    fs::create_symlink(victim, link);
    make_foreign(link);

    const Result<void> saved = save_bytes(link, "planted");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().kind, FileError::Kind::CannotOpen);
    EXPECT_NE(saved.error().message.find("the link " + link.string()), std::string::npos) << saved.error().message;
    EXPECT_NE(saved.error().message.find(geteuid() == 0 ? "uid 4242" : "uid " + std::to_string(geteuid())),
              std::string::npos)
        << saved.error().message;
    EXPECT_EQ(saved.error().sentences.front().code, "link_of_another_user");
    const Result<FileLock> lock = FileLock::acquire(link);
    ASSERT_FALSE(lock);
    EXPECT_EQ(lock.error().message, saved.error().message);
    EXPECT_EQ(test::read_file(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(link));

    // A link of one's own, first in a chain, does not vouch for the next.
    const fs::path mine = dir_ / "mine.cur";
    platform::assume_user_for_tests(std::nullopt);
    fs::create_symlink(link, mine);
    if (geteuid() != 0) {
        GTEST_SKIP() << "a chain of one's own and another's link needs root to give one away";
    }
    const Result<void> chained = save_bytes(mine, "planted");
    ASSERT_FALSE(chained);
    EXPECT_NE(chained.error().message.find("the link " + link.string()), std::string::npos)
        << chained.error().message;
    EXPECT_EQ(test::read_file(victim), "precious");
}

// The user's own links, and links that the owner of a folder of the user's
// or root's made there, are followed as before.
TEST_F(SharedFolder, OwnLinksAndThoseOfTheFolderOwnerAreFollowed) {
    const fs::path target = dir_ / "real.prj";
    test::write_file(target, "old");
    const fs::path link = dir_ / "site.prj";
    fs::create_symlink(target, link);
    ASSERT_TRUE(save_bytes(link, "new"));
    EXPECT_EQ(test::read_file(target), "new");
    EXPECT_TRUE(fs::is_symlink(link));

    // Another user saving through the same link: it is the folder owner's
    // link, which that user trusts only when the owner is root.
    platform::assume_user_for_tests(geteuid() + 1);
    const Result<void> foreign = save_bytes(link, "newer");
    if (geteuid() == 0) {
        // root's link in root's folder: trusted by every user.
        EXPECT_TRUE(foreign) << foreign.error().message;
    } else {
        EXPECT_FALSE(foreign);
    }
}

// Whatever sits at the lock's name, a writer never waits beyond the lock's
// wait: a FIFO or a link is removed (only the name) and the save goes on; a
// folder, and anything the user may not remove, is refused at once with a
// message naming the hidden file and how to remove it.
TEST_F(SharedFolder, ALockFileThatIsNoLockNeverHangsASave) {
    const fs::path target = dir_ / "site.prj";
    const fs::path lock = lock_name_of(target);
    const fs::path elsewhere = dir_ / "elsewhere";
    test::write_file(elsewhere, "kept");
    struct Case {
        const char* name;
        std::function<void()> plant;
        bool saves;
        const char* says;
    };
    const Case cases[] = {
        {"a FIFO", [&] { ASSERT_EQ(mkfifo(lock.c_str(), 0666), 0); }, true, ""},
        {"a link", [&] { fs::create_symlink(elsewhere, lock); }, true, ""},
        {"a folder", [&] { fs::create_directory(lock); }, false, "is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.plant();
        const auto started = std::chrono::steady_clock::now();
        // In a child with an alarm, so that a hang fails instead of stopping
        // the test run.
        const int status = test::in_child(
            [&] {
                alarm(20);
                const Result<void> saved = save_bytes(target, "data");
                if (saved) return 0;
                return saved.error().message.find(c.says) != std::string::npos &&
                               saved.error().message.find(lock.string()) != std::string::npos &&
                               saved.error().message.find("rmdir -- '" + lock.string() + "'") != std::string::npos
                           ? 3
                           : 4;
            },
            99);
        EXPECT_LT(std::chrono::steady_clock::now() - started, platform::kChangeLockWait);
        EXPECT_EQ(status, c.saves ? 0 : 3);
        EXPECT_EQ(test::read_file(elsewhere), "kept");
        std::error_code ec;
        fs::remove_all(lock, ec);
        fs::remove(target, ec);
    }
}

// In a sticky folder, a lock file of another user that this user may not
// remove is refused at once, naming it and how to remove it. As root with a
// real second user: root plants an unreadable file, "nobody" saves.
TEST_F(SharedFolder, AnotherUsersLockFileInAStickyFolderIsNamed) {
    const fs::path folder = dir_ / "shared";
    fs::create_directory(folder);
    ASSERT_EQ(chmod(folder.c_str(), 01777), 0);
    ASSERT_EQ(chmod(dir_.c_str(), 0755), 0);
    const fs::path target = folder / "site.prj";
    const fs::path lock = lock_name_of(target);
    ASSERT_EQ(mkfifo(lock.c_str(), 0600), 0);
    const auto started = std::chrono::steady_clock::now();
    const int status = test::in_child(
        [&] {
            alarm(20);
            if (geteuid() == 0) {
                // nobody
                if (setgid(65534) != 0 || setuid(65534) != 0) return 5;
            } else {
                platform::assume_user_for_tests(geteuid() + 1);
            }
            const Result<void> saved = save_bytes(target, "data");
            if (saved) return 0;
            const std::string& m = saved.error().message;
            return m.find("hidden lock file " + lock.string() + " is a FIFO") != std::string::npos &&
                           m.find("rm -- '" + lock.string() + "'") != std::string::npos
                       ? 3
                       : 4;
        },
        99);
    EXPECT_LT(std::chrono::steady_clock::now() - started, platform::kChangeLockWait);
    EXPECT_EQ(status, 3);
    EXPECT_FALSE(fs::exists(target));
}

// The folder of the file does not exist: the message says so.
TEST_F(SharedFolder, AMissingFolderIsNamed) {
    const Result<void> saved = save_bytes(dir_ / "none" / "site.prj", "data");
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().message, "the folder " + (dir_ / "none").string() + " does not exist");
}

// An output is one of the inputs by identity, whatever name reaches it.
TEST_F(SharedFolder, OutputsAreComparedWithInputsByIdentity) {
    const fs::path input = dir_ / "site.prj";
    test::write_file(input, "project");
    fs::create_symlink(input, dir_ / "alias.pdf");
    fs::create_hard_link(input, dir_ / "hard.pdf");
    test::write_file(dir_ / "other.pdf", "other");
    const struct {
        fs::path output;
        bool refused;
    } cases[] = {
        {input, true},
        {dir_ / "." / "site.prj", true},
        {dir_ / "alias.pdf", true},
        {dir_ / "hard.pdf", true},
        {dir_ / "other.pdf", false},
        {dir_ / "new.pdf", false},
    };
    const fs::path inputs[] = {dir_ / "template.grf", input};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output.string());
        const Result<void> checked = platform::refuse_output_over_inputs(c.output, inputs);
        EXPECT_EQ(!checked, c.refused);
        if (!checked) {
            EXPECT_EQ(checked.error().message,
                      "is the same file as the input " + input.string() +
                          "; it is not replaced and nothing was written");
        }
    }
}

}  // namespace
}  // namespace rebound

#endif
