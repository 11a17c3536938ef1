#include "platform/file_lock.h"

#include "platform/files.h"

#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <vector>
#endif

#include "platform/message.h"
#include "platform/text_codec.h"

namespace rebound::platform {

namespace fs = std::filesystem;

namespace {

// Locks this process holds, by lock file: a second lock of the same file from
// the same process would wait for itself.
std::mutex& registry_mutex() {
    static std::mutex m;
    return m;
}
std::map<std::string, int>& registry() {
    static std::map<std::string, int> held;
    return held;
}

std::string key_of(const fs::path& lock_path) {
    const std::u8string u8 = lock_path.u8string();
    return std::string(u8.begin(), u8.end());
}

FileError lock_error(const fs::path& target, FileError::Kind kind, std::string message) {
    FileError error;
    error.kind = kind;
    error.file = target;
    error.message = std::move(message);
    return error;
}

// Another holder has the lock, in this process or in another one.
FileError busy_error(const fs::path& target) {
    return lock_error(target, FileError::Kind::Busy, "is being changed by another program");
}

// The folder the file would be in is not there.
FileError missing_folder(const fs::path& target, const fs::path& lock_path) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = target;
    const std::string folder = path_bytes_text(lock_path.parent_path());
    error.say("folder_missing_named", {folder}, "the folder " + folder + " does not exist");
    return error;
}

// FNV-1a over the bytes of the file name: the same on every run and machine.
std::uint64_t name_hash(const fs::path& name) {
#ifdef _WIN32
    const std::u8string u8 = name.u8string();
    const std::string bytes(u8.begin(), u8.end());
#else
    const std::string& bytes = name.native();
#endif
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

constexpr int kMaxLinks = 40;

}  // namespace

fs::path save_destination(const fs::path& target) {
    std::error_code ec;
    fs::path current = target;
    // Follows the chain of links by hand, since canonical() refuses a link
    // that leads to a file not yet there, and such a link must stay a link
    // while the save creates its file.
    for (int i = 0; i < kMaxLinks; ++i) {
        const fs::file_status status = fs::symlink_status(current, ec);
        if (ec || !fs::is_symlink(status)) break;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    // A full path: Windows' replace and move calls refuse a bare file name
    // relative to the current folder ("the directory name is invalid").
    fs::path full = fs::absolute(current, ec);
    return ec ? current : full.lexically_normal();
}

#ifdef _WIN32

// Windows keeps no owner a program could plant a link under in the sense of
// a sticky folder; links there need rights a user does not have by default.
Result<fs::path> trusted_save_destination(const fs::path& target) {
    return save_destination(target);
}

void assume_user_for_tests(std::optional<std::uint32_t>) {}

#else

namespace {

std::atomic<long long> g_assumed_user{-1};

uid_t saving_user() {
    const long long assumed = g_assumed_user.load();
    return assumed >= 0 ? static_cast<uid_t>(assumed) : ::geteuid();
}

// "user NAME (uid N)", or "uid N" for a user the system does not name.
std::string user_text(std::uint32_t uid) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(static_cast<uid_t>(uid), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return std::string("user ") + found->pw_name + " (uid " + std::to_string(uid) + ")";
    }
    return "uid " + std::to_string(uid);
}

}  // namespace

void assume_user_for_tests(std::optional<std::uint32_t> uid) {
    g_assumed_user.store(uid ? static_cast<long long>(*uid) : -1);
}

Result<fs::path> trusted_save_destination(const fs::path& target) {
    std::error_code ec;
    fs::path current = target;
    const uid_t me = saving_user();
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat link {};
        if (::lstat(current.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
        const fs::path folder = current.parent_path().empty() ? fs::path(".") : current.parent_path();
        struct stat dir {};
        const bool folder_known = ::stat(folder.c_str(), &dir) == 0;
        // The user's own link, or one the folder's owner made in a folder
        // of the user's or root's: nobody else could have put it there.
        const bool trusted = link.st_uid == me ||
                             (folder_known && link.st_uid == dir.st_uid && (dir.st_uid == me || dir.st_uid == 0));
        if (!trusted) {
            FileError error;
            error.kind = FileError::Kind::CannotOpen;
            error.file = target;
            const Message m = coded("link_of_another_user", {path_bytes_text(current), user_text(link.st_uid)},
                                    "the link %1 belongs to %2, not to you or the owner of its folder, and is "
                                    "not followed");
            error.say(m.code, m.args, m.english);
            return error;
        }
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) break;
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return save_destination(target);
}

#endif

fs::path::string_type hidden_name_stem(const fs::path& destination) {
    static const char digits[] = "0123456789abcdef";
    std::uint64_t h = name_hash(destination.filename());
    std::string stem = ".~";
    for (int shift = 60; shift >= 0; shift -= 4) stem += digits[(h >> shift) & 0xF];
    return fs::path(stem).native();
}

namespace {

// The lock file sits hidden beside the file the save really writes, so every
// name that leads there through links shares one lock.
fs::path lock_path_for(const fs::path& target) {
    const fs::path destination = save_destination(target);
    fs::path lock_path = destination.parent_path() / hidden_name_stem(destination);
    lock_path += ".lock";
    return lock_path;
}

bool held_here(const std::string& key) {
    const std::lock_guard guard(registry_mutex());
    return registry().count(key) > 0;
}

}  // namespace

FileLock::FileLock(FileLock&& other) noexcept
    : lock_path_(std::move(other.lock_path_)), key_(std::move(other.key_)), handle_(other.handle_) {
    other.handle_ = -1;
    other.key_.clear();
}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        release();
        lock_path_ = std::move(other.lock_path_);
        key_ = std::move(other.key_);
        handle_ = other.handle_;
        other.handle_ = -1;
        other.key_.clear();
    }
    return *this;
}

FileLock::~FileLock() {
    release();
}

bool FileLock::held(const fs::path& target) {
    return held_here(key_of(lock_path_for(target)));
}

#ifdef _WIN32

Result<FileLock> FileLock::acquire(const fs::path& target, std::chrono::milliseconds wait) {
    const fs::path lock_path = lock_path_for(target);
    const std::string key = key_of(lock_path);
    if (held_here(key)) return busy_error(target);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    int denied_without_file = 0;
    std::error_code folder_ec;
    if (!fs::is_directory(lock_path.parent_path(), folder_ec)) return missing_folder(target, lock_path);
    for (;;) {
        // Opened without sharing and deleted when closed: the system closes
        // it when the holder ends, however it ends.
        HANDLE h = CreateFileW(lock_path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            FileLock lock;
            lock.lock_path_ = lock_path;
            lock.key_ = key;
            lock.handle_ = reinterpret_cast<std::intptr_t>(h);
            const std::lock_guard guard(registry_mutex());
            registry()[key] += 1;
            return lock;
        }
        const DWORD code = GetLastError();
        // Access is denied both to a lock file another holder is deleting
        // and in a folder we may not write to; only the first is worth
        // waiting for.
        if (code == ERROR_ACCESS_DENIED && GetFileAttributesW(lock_path.c_str()) == INVALID_FILE_ATTRIBUTES &&
            ++denied_without_file > 3) {
            return lock_error(target, FileError::Kind::CannotOpen,
                              "cannot be locked for the change: access is denied");
        }
        if (code != ERROR_SHARING_VIOLATION && code != ERROR_ACCESS_DENIED) {
            return lock_error(target, FileError::Kind::CannotOpen,
                              "cannot be locked for the change (system error " + std::to_string(code) + ")");
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return busy_error(target);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void FileLock::release() {
    if (handle_ == -1) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = -1;
    const std::lock_guard guard(registry_mutex());
    if (--registry()[key_] <= 0) registry().erase(key_);
    key_.clear();
}

#else

namespace {

// The lock file could not be opened or locked for a reason of the system's,
// worded for the window where the operator can act on it.
FileError system_lock_error(const fs::path& target, int code) {
    FileError error = lock_error(target, FileError::Kind::CannotOpen,
                                 std::string("cannot be locked for the change: ") + std::strerror(code));
    if (const char* sentence = system_error_sentence(code)) error.sentences = {FileError::Sentence{sentence, {}}};
    return error;
}

// What a lock file is, for the message that refuses it.
std::string lock_file_kind(const struct stat& st) {
    if (S_ISFIFO(st.st_mode)) return "a FIFO";
    if (S_ISDIR(st.st_mode)) return "a folder";
    if (S_ISLNK(st.st_mode)) return "a link";
    if (S_ISSOCK(st.st_mode)) return "a socket";
    if (!S_ISREG(st.st_mode)) return "a device";
    return "a file that cannot be read";
}

// True when the user may remove the name `path` (of what `st` describes):
// the folder lets the user write, and, when it is sticky, the user owns the
// folder or the name's file (or is root).
bool may_remove(const fs::path& path, const struct stat& st) {
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) return false;
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) return false;
    const uid_t me = saving_user();
    return (dir.st_mode & S_ISVTX) == 0 || me == 0 || dir.st_uid == me || st.st_uid == me;
}

// The lock file is in the way and may not be removed by this user.
FileError lock_file_refused(const fs::path& target, const fs::path& lock_path, const struct stat& st) {
    FileError error;
    error.kind = FileError::Kind::CannotOpen;
    error.file = target;
    const std::string name = path_bytes_text(lock_path);
    const std::string kind = lock_file_kind(st);
    const std::string owner = user_text(st.st_uid);
    const std::string how = S_ISDIR(st.st_mode) ? "rmdir -- '" + name + "'" : "rm -- '" + name + "'";
    error.say("lock_file_unusable", {name, kind, owner, how},
              "cannot be locked for the change: its hidden lock file " + name + " is " + kind + ", owned by " +
                  owner + ", and cannot be used; its owner or an administrator can remove it with " + how);
    return error;
}

}  // namespace

Result<FileLock> FileLock::acquire(const fs::path& target, std::chrono::milliseconds wait) {
    Result<fs::path> destination = trusted_save_destination(target);
    if (!destination) return destination.error();
    const fs::path lock_path = lock_path_for(target);
    const std::string key = key_of(lock_path);
    if (held_here(key)) return busy_error(target);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // Never through a link planted at the lock's name, and without
        // blocking, so that a FIFO there cannot hold the save. An existing
        // file is opened without O_CREAT (which the system refuses for
        // another user's file in a sticky folder); read access is all flock
        // needs, so a lock file another user created serves too.
        constexpr int kFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int fd = ::open(lock_path.c_str(), kFlags);
        int code = fd < 0 ? errno : 0;
        if (fd < 0 && code == ENOENT) {
            fd = ::open(lock_path.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
            code = fd < 0 ? errno : 0;
            if (fd >= 0) {
                // Readable by every user of the folder, whatever the umask:
                // a second user must be able to wait on it rather than find
                // it in the way.
                [[maybe_unused]] const int ignored = ::fchmod(fd, 0644);
            } else if (code == ENOENT) {
                return missing_folder(target, lock_path);
            } else if (code == EEXIST) {
                // Created meanwhile by another writer: open that one.
                if (std::chrono::steady_clock::now() >= deadline) return busy_error(target);
                continue;
            }
        }
        struct stat opened {};
        if (fd >= 0 && ::fstat(fd, &opened) != 0) {
            code = errno;
            ::close(fd);
            fd = -1;
        }
        const bool usable = fd >= 0 && S_ISREG(opened.st_mode);
        if (!usable) {
            if (fd >= 0) ::close(fd);
            struct stat named {};
            if (::lstat(lock_path.c_str(), &named) != 0) {
                // Gone after it was opened: try again. Not there and not
                // to be created (a read-only folder): the system's reason.
                const int missing = errno;
                if (missing == ENOENT && code == 0 && std::chrono::steady_clock::now() < deadline) continue;
                return system_lock_error(target, code != 0 ? code : missing);
            }
            if (code != 0 && code != EACCES && code != EPERM && code != ELOOP && code != ENXIO && code != EISDIR &&
                code != EWOULDBLOCK) {
                return system_lock_error(target, code);
            }
            // A FIFO, folder, link or unreadable file at the lock's name is
            // nobody's lock: removed when the user may remove it (only the
            // name goes), else refused with the way to remove it.
            if (S_ISDIR(named.st_mode) || !may_remove(lock_path, named) || ::unlink(lock_path.c_str()) != 0) {
                return lock_file_refused(target, lock_path, named);
            }
            if (std::chrono::steady_clock::now() >= deadline) return lock_file_refused(target, lock_path, named);
            continue;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the file while it still holds it:
            // a lock on a file no longer under that name locks nothing.
            struct stat now_named {};
            if (::lstat(lock_path.c_str(), &now_named) == 0 && opened.st_dev == now_named.st_dev &&
                opened.st_ino == now_named.st_ino) {
                FileLock lock;
                lock.lock_path_ = lock_path;
                lock.key_ = key;
                lock.handle_ = fd;
                const std::lock_guard guard(registry_mutex());
                registry()[key] += 1;
                return lock;
            }
            ::close(fd);
            continue;
        }
        const int refused = errno;
        ::close(fd);
        if (refused != EWOULDBLOCK && refused != EINTR) {
            return system_lock_error(target, refused);
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return busy_error(target);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void FileLock::release() {
    if (handle_ == -1) return;
    // Removed while still held, so that whoever waits on this file retries
    // on a fresh one instead of locking a name nobody else sees.
    ::unlink(lock_path_.c_str());
    ::close(static_cast<int>(handle_));
    handle_ = -1;
    const std::lock_guard guard(registry_mutex());
    if (--registry()[key_] <= 0) registry().erase(key_);
    key_.clear();
}

#endif

}  // namespace rebound::platform
