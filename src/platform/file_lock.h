// The exclusive right to change one file: every command that reads a file,
// changes it and writes it back holds it from the read to the end of the
// write, so that two programs working on the same project one after the
// other each see the other's result instead of overwriting it.
//
// The lock is a small hidden file beside the target, ".~<hash>.lock", whose
// name depends only on the target's file name (so it stays short however
// long that name is). On POSIX it is held with flock(), on Windows by keeping
// the file open without sharing; either way the system lets go of it when
// the holder ends, even when it is killed, so a lock left behind never blocks
// anyone. The holder removes the file when it lets go.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_error.h"

namespace rebound::platform {

// How long a second writer waits for the first before it gives up.
inline constexpr std::chrono::milliseconds kChangeLockWait{5000};

class FileLock {
public:
    // Takes the lock for `target` (the file a symbolic link at `target`
    // leads to, when it is one), waiting up to `wait` while another program
    // holds it. The lock file is opened without blocking and never through a
    // link; it must be a regular file this process can open. One that is not
    // (a FIFO, a folder, a link, a file of another user that cannot be read)
    // is removed when the user may remove it, and otherwise refused at once
    // with a message that names it and says how to remove it. Errors: Busy
    // ("is being changed by another program") when the wait ran out,
    // CannotOpen when the lock file cannot be created or used (with the
    // reason; "the folder ... does not exist" for a missing folder) or when a
    // link on the way is not trusted (trusted_save_destination). Within one
    // process a target already locked is refused as Busy.
    static Result<FileLock> acquire(const std::filesystem::path& target,
                                    std::chrono::milliseconds wait = kChangeLockWait);
    // True when this process holds the lock of `target`.
    static bool held(const std::filesystem::path& target);

    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Lets go of the lock now (also done by the destructor).
    void release();

    const std::filesystem::path& lock_file() const { return lock_path_; }

private:
    FileLock() = default;

    std::filesystem::path lock_path_;
    std::string key_;
    std::intptr_t handle_ = -1;
};

// The name a save or a lock of `target` works with: the target itself or,
// when `target` is a symbolic link (also one that leads nowhere yet), the
// file it finally leads to; as a full path.
std::filesystem::path save_destination(const std::filesystem::path& target);

// The same, refusing a chain of links that somebody else could have
// planted. A link is followed only when it belongs to the user saving, or
// when it belongs to the owner of its folder and that owner is the user
// saving or root: the rule the system applies to links in sticky folders,
// here applied everywhere, because the program follows links itself. A
// link of anybody else fails as CannotOpen, naming the link and its owner.
Result<std::filesystem::path> trusted_save_destination(const std::filesystem::path& target);

// For tests that cannot run as a second user: the user id the link and lock
// checks take as the one saving (nullopt: the process's own).
void assume_user_for_tests(std::optional<std::uint32_t> uid);

// ".~" and sixteen hex digits derived from the destination's file name: the
// start of the hidden names (staging files, lock file) that belong to it.
std::filesystem::path::string_type hidden_name_stem(const std::filesystem::path& destination);

}  // namespace rebound::platform
