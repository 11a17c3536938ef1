// Faults while saving lose nothing. Every save (project file, exported
// component file, settings file) is driven into real file-system faults in a
// child process: a file-size limit that makes the write fail after N bytes, a
// full file system, a folder that is read-only, and SIGKILL at a random
// moment. Afterwards the file on disk is always the complete old file or the
// complete new one, and the folder holds nothing else.
//
// POSIX only: the faults are made with fork, setrlimit and signals; the full
// and the read-only file system need Linux mount namespaces and are skipped
// where those are not available. On Windows the suite is skipped with a
// message (the Windows save's own failures are tested with the platform).
#include <gtest/gtest.h>

#ifdef _WIN32

TEST(SaveFaults, NeedPosixFacilities) {
    GTEST_SKIP() << "the save faults are made with fork, setrlimit, signals and Linux mount namespaces, "
                    "which Windows does not have";
}

#else

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "child_process.h"
#include "fileio/byte_io.h"
#include "fileio/exchange.h"
#include "fixtures.h"
#include "model/rebound_file.h"
#include "settings/setting.h"

#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace rebound {
namespace {

namespace fs = std::filesystem;

// Exit codes of a child that ran one save.
constexpr int kSaveFailed = 0;
constexpr int kSaveSucceeded = 1;
constexpr int kSaveThrew = 2;
constexpr int kCannotMount = 77;

// Runs `body` in a child process and returns its exit code (-signal when it
// was killed); a body that throws counts as a save that threw.
int in_child(const std::function<int()>& body) {
    return test::in_child(body, kSaveThrew);
}

std::set<std::string> names_in(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// One kind of file the application saves: how to write the old and the new
// content at `path`, and the bytes each leaves on disk.
struct SavedFile {
    const char* name;
    const char* file_name;  // inside the folder under test
    std::function<bool(const fs::path&, bool new_content)> save;
};

const ReboundFile& old_project() {
    static const ReboundFile p = test::sample_project(2, 3);
    return p;
}
// Larger than the writer's 64 KiB block, so that it reaches the file in
// several writes.
const ReboundFile& new_project() {
    static const ReboundFile p = test::sample_project(30, 60);
    return p;
}

bool write_setting(const fs::path& ini, bool new_content) {
    // The store keeps its file in <base>/Setting/setting.ini.
    setting store;
    store.set_base_folder(ini.parent_path().parent_path());
    store.curve_file = new_content ? std::string(200, 'n') + ".cur" : "old.cur";
    return store.write_ini().ok();
}

std::vector<SavedFile> saved_files() {
    return {
        {"project file", "site.prj",
         [](const fs::path& path, bool new_content) {
             return (new_content ? new_project() : old_project()).save(path).ok();
         }},
        {"exported component file", "part.xcmp",
         [](const fs::path& path, bool new_content) {
             const ReboundFile& p = new_content ? new_project() : old_project();
             return export_component_file(path, *p.component(1)).ok();
         }},
        {"settings file", "setting.ini", write_setting},
    };
}

class SaveFaults : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("rebound-fault-" + std::to_string(getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, ec);
        for (const auto& e : fs::recursive_directory_iterator(root_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(root_, ec);
    }

    // The folder a file kind is saved into (the settings file lives in a
    // "Setting" folder of its own).
    fs::path folder_for(const SavedFile& f, const fs::path& base) const {
        const fs::path folder = std::string(f.file_name) == "setting.ini" ? base / "Setting" : base;
        fs::create_directories(folder);
        return folder;
    }

    // Saves the old and the new content once each and returns their bytes.
    std::pair<std::string, std::string> reference_bytes(const SavedFile& f) {
        const fs::path folder = folder_for(f, root_ / "reference" / f.file_name);
        const fs::path path = folder / f.file_name;
        EXPECT_TRUE(f.save(path, false));
        const std::string old_bytes = test::read_file(path);
        EXPECT_TRUE(f.save(path, true));
        const std::string new_bytes = test::read_file(path);
        EXPECT_NE(old_bytes, new_bytes);
        return {old_bytes, new_bytes};
    }

    fs::path root_;
};

// The file system refuses every byte beyond N (a file-size limit, like a
// device that fails after N bytes): for every N short of the new file's size
// the save fails and the old file stays whole; from the full size on it
// succeeds.
TEST_F(SaveFaults, AWriteFailingAfterNBytesKeepsTheOldFile) {
    for (const SavedFile& f : saved_files()) {
        SCOPED_TRACE(f.name);
        const auto [old_bytes, new_bytes] = reference_bytes(f);
        const fs::path folder = folder_for(f, root_ / "limit" / f.file_name);
        const fs::path path = folder / f.file_name;

        std::vector<std::size_t> limits = {0, 1, 4, 4095, 4096, 4097, 65535, 65536, 65537};
        for (std::size_t n = 7; n < new_bytes.size(); n += new_bytes.size() / 40 + 1) limits.push_back(n);
        limits.push_back(new_bytes.size() - 1);
        limits.push_back(new_bytes.size());
        for (std::size_t limit : limits) {
            if (limit > new_bytes.size()) continue;
            SCOPED_TRACE("limit " + std::to_string(limit) + " of " + std::to_string(new_bytes.size()));
            ASSERT_TRUE(f.save(path, false));
            const int result = in_child([&] {
                signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails with EFBIG instead
                const rlimit lim{rlim_t(limit), rlim_t(limit)};
                if (setrlimit(RLIMIT_FSIZE, &lim) != 0) return kSaveThrew;
                return f.save(path, true) ? kSaveSucceeded : kSaveFailed;
            });
            if (limit < new_bytes.size()) {
                EXPECT_EQ(result, kSaveFailed);
                EXPECT_EQ(test::read_file(path), old_bytes);
            } else {
                EXPECT_EQ(result, kSaveSucceeded);
                EXPECT_EQ(test::read_file(path), new_bytes);
            }
            EXPECT_EQ(names_in(folder), std::set<std::string>{f.file_name});
        }
    }
}

// Runs `body` in a child with a private mount namespace in which `where` is a
// fresh tmpfs of `size`. Returns kCannotMount when the machine does not allow
// it.
int with_tmpfs(const fs::path& where, const char* size, const std::function<int()>& body) {
#ifdef __linux__
    return in_child([&] {
        if (unshare(CLONE_NEWNS) != 0) return kCannotMount;
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return kCannotMount;
        const std::string options = std::string("size=") + size;
        if (mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) != 0) return kCannotMount;
        return body();
    });
#else
    (void)where, (void)size, (void)body;
    return kCannotMount;
#endif
}

// Makes a mounted folder read-only (Linux mount namespaces only).
bool remount_read_only(const fs::path& where) {
#ifdef __linux__
    return mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
#else
    (void)where;
    return false;
#endif
}

// Failure codes reported by the children of the mount tests.
constexpr int kOk = 0;
constexpr int kOldSaveFailed = 10;
constexpr int kFaultySaveSucceeded = 11;
constexpr int kOldFileChanged = 12;
constexpr int kLeftovers = 13;
constexpr int kCannotFill = 14;
constexpr int kCannotRemount = 15;

const char* describe(int code) {
    switch (code) {
        case kOk:
            return "ok";
        case kOldSaveFailed:
            return "the old content could not be saved";
        case kFaultySaveSucceeded:
            return "the save reported success";
        case kOldFileChanged:
            return "the old file changed";
        case kLeftovers:
            return "the folder holds other files";
        case kCannotFill:
            return "the file system could not be filled";
        case kCannotRemount:
            return "the file system could not be made read-only";
        default:
            return "the child failed";
    }
}

// A small tmpfs that fills up: the new content does not fit, the save fails
// and the old file stays whole.
TEST_F(SaveFaults, AFullFileSystemKeepsTheOldFile) {
    for (const SavedFile& f : saved_files()) {
        SCOPED_TRACE(f.name);
        const fs::path mount_point = root_ / "full" / f.file_name;
        fs::create_directories(mount_point);
        const int result = with_tmpfs(mount_point, "256k", [&] {
            const fs::path folder = folder_for(f, mount_point);
            const fs::path path = folder / f.file_name;
            if (!f.save(path, false)) return kOldSaveFailed;
            const std::string old_bytes = test::read_file(path);
            // Leave room for less than the new content (the settings file is
            // small: leave almost nothing).
            {
                const std::string block(4096, 'x');
                std::FILE* filler = std::fopen((mount_point / "filler").c_str(), "wb");
                if (filler == nullptr) return kCannotFill;
                while (std::fwrite(block.data(), 1, block.size(), filler) == block.size()) {
                }
                std::fclose(filler);
            }
            if (f.save(path, true)) return kFaultySaveSucceeded;
            if (test::read_file(path) != old_bytes) return kOldFileChanged;
            std::set<std::string> names = names_in(folder);
            names.erase("filler");
            if (names != std::set<std::string>{f.file_name}) return kLeftovers;
            return kOk;
        });
        if (result == kCannotMount) GTEST_SKIP() << "mounting a tmpfs is not permitted on this machine";
        EXPECT_EQ(result, kOk) << describe(result);
    }
}

// The folder becomes read-only: the save fails and leaves the old file. Root
// ignores permission bits, so as root the folder is a tmpfs remounted
// read-only in a private mount namespace.
TEST_F(SaveFaults, AReadOnlyFolderKeepsTheOldFile) {
    for (const SavedFile& f : saved_files()) {
        SCOPED_TRACE(f.name);
        const fs::path base = root_ / "readonly" / f.file_name;
        fs::create_directories(base);
        auto attempt = [&](const std::function<bool()>& make_read_only) {
            const fs::path folder = folder_for(f, base);
            const fs::path path = folder / f.file_name;
            if (!f.save(path, false)) return kOldSaveFailed;
            const std::string old_bytes = test::read_file(path);
            if (!make_read_only()) return kCannotRemount;
            if (f.save(path, true)) return kFaultySaveSucceeded;
            if (test::read_file(path) != old_bytes) return kOldFileChanged;
            if (names_in(folder) != std::set<std::string>{f.file_name}) return kLeftovers;
            return kOk;
        };
        int result = 0;
        if (geteuid() != 0) {
            result = attempt([&] {
                fs::permissions(folder_for(f, base), fs::perms::owner_read | fs::perms::owner_exec);
                return true;
            });
        } else {
            result = with_tmpfs(base, "1m", [&] { return attempt([&] { return remount_read_only(base); }); });
            if (result == kCannotMount) {
                GTEST_SKIP() << "running as root, and mounting a read-only tmpfs is not permitted here: "
                                "permission bits alone would not stop the save";
            }
        }
        EXPECT_EQ(result, kOk) << describe(result);
    }
}

// A save killed with SIGKILL at a random moment, many times over: the file is
// always the complete old or the complete new content, and no temporary file
// is left beside it.
TEST_F(SaveFaults, ASaveKilledAtARandomMomentLeavesOldOrNew) {
    std::mt19937 random(::testing::UnitTest::GetInstance()->random_seed());
    for (const SavedFile& f : saved_files()) {
        SCOPED_TRACE(f.name);
        const auto [old_bytes, new_bytes] = reference_bytes(f);
        const fs::path folder = folder_for(f, root_ / "kill" / f.file_name);
        const fs::path path = folder / f.file_name;

        // How long one save takes here, to spread the kills over it.
        ASSERT_TRUE(f.save(path, false));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(f.save(path, true));
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
        std::uniform_int_distribution<long> delay(0, took.count() * 3 / 2 + 200);

        int kept_old = 0, got_new = 0;
        for (int round = 0; round < 120; ++round) {
            ASSERT_TRUE(f.save(path, false));
            std::fflush(nullptr);
            const pid_t pid = fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                _exit(f.save(path, true) ? kSaveSucceeded : kSaveFailed);
            }
            const long wait_us = delay(random);
            usleep(static_cast<useconds_t>(wait_us));
            kill(pid, SIGKILL);
            int status = 0;
            waitpid(pid, &status, 0);

            const std::string now = test::read_file(path);
            ASSERT_TRUE(now == old_bytes || now == new_bytes)
                << "after a kill at " << wait_us << " us the file holds " << now.size() << " bytes";
            (now == old_bytes ? kept_old : got_new) += 1;
            // Only hidden files of the save may stay behind: at most one
            // staging file and the lock file.
            int staging = 0;
            for (const std::string& name : names_in(folder)) {
                if (name == f.file_name) continue;
                ASSERT_EQ(name.rfind(".~", 0), 0u) << name << " is left after a kill at " << wait_us << " us";
                if (!name.ends_with(".lock")) ++staging;
            }
            ASSERT_LE(staging, 1) << "after a kill at " << wait_us << " us: " << testing::PrintToString(names_in(folder));
        }
        // The next save that completes takes what was left along.
        ASSERT_TRUE(f.save(path, true));
        EXPECT_EQ(names_in(folder), std::set<std::string>{f.file_name});
        // Which outcome each kill gives depends on timing; both are correct.
        std::printf("%s: %d kills kept the old file, %d left the new one\n", f.name, kept_old, got_new);
    }
}

}  // namespace
}  // namespace rebound

#endif
