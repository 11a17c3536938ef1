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
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

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

Result<FileLock> FileLock::acquire(const fs::path& target, std::chrono::milliseconds wait) {
    const fs::path lock_path = lock_path_for(target);
    const std::string key = key_of(lock_path);
    if (held_here(key)) return busy_error(target);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        // Never through a link planted at the lock's name; read access is
        // all flock needs, so a lock file another user created serves too.
        const int fd = ::open(lock_path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            const int code = errno;
            FileError error = lock_error(target, FileError::Kind::CannotOpen,
                                         std::string("cannot be locked for the change: ") + std::strerror(code));
            // Worded for the window where the reason is one the operator can act on.
            if (const char* sentence = system_error_sentence(code)) error.sentences = {FileError::Sentence{sentence, {}}};
            return error;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the file while it still holds it:
            // a lock on a file no longer under that name locks nothing.
            struct stat opened {};
            struct stat named {};
            if (::fstat(fd, &opened) == 0 && ::lstat(lock_path.c_str(), &named) == 0 &&
                opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
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
        const int code = errno;
        ::close(fd);
        if (code != EWOULDBLOCK && code != EINTR) {
            return lock_error(target, FileError::Kind::CannotOpen,
                              std::string("cannot be locked for the change: ") + std::strerror(code));
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
