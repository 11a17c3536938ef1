// File-system services of the platform: atomic saving, file creation dates and
// the process's current folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/clock.h"
#include "platform/file_error.h"
#include "platform/file_lock.h"

namespace rebound::platform {

// Where an atomic save sends its bytes. write returns false once the
// underlying file has failed; later writes keep returning false.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* data, std::size_t size) = 0;
};

// The code of the sentence that words the system error `code` (an errno
// value) for the operator: "permission_denied", "no_space", "folder_missing",
// ...; null for the errors that keep the system's own words.
const char* system_error_sentence(int code);

// Writes a file so that it is either the complete new content or untouched:
// the bytes go to a new hidden file beside the target, created exclusively
// under a unique short name (never through a link planted at that name),
// which replaces the target only after every byte is written, flushed to
// disk and closed. `produce` writes the content into the sink and returns
// false to abandon the save; a FileFailure it throws becomes the result's
// error as it stands.
//
// What the user set is kept: a target that is a symbolic link stays a link
// and the file it leads to is written (created when the link leads nowhere
// yet); the new file takes over the old one's permissions; a read-only
// target, or one that is not a regular file, is never replaced. Hidden
// staging files left by earlier saves of the same target that were killed
// are removed. The save holds the target's FileLock for its duration unless
// this process already holds it (a command that reads, changes and writes a
// file takes the lock before it reads).
//
// Errors: CannotOpen when the target may not be replaced or the staging file
// could not be created (nothing was produced), Busy when another program
// holds the lock, WriteFailed otherwise.
Result<void> write_file_atomically(const std::filesystem::path& target,
                                   const std::function<bool(ByteSink&)>& produce);

// The steps of a save, in order, for tests that stop a save at each of them.
enum class SaveStep {
    Locked,          // the lock is held, leftovers of earlier saves are removed
    StagingCreated,  // the staging file exists, empty
    ContentWritten,  // every byte is in the staging file
    StagingClosed,   // flushed to disk, permissions set, closed
    Replaced,        // the staging file has taken the target's place
};
// Called at each step of every save of this process; nullptr for none.
using SaveStepHook = void (*)(SaveStep);
void set_save_step_hook(SaveStepHook hook);

// What can be known of a file on disk without keeping it open, to tell
// whether another program changed it: whether it exists, its size and
// modification time and, when asked for, a digest of its content (for a
// change that keeps the size within the time stamp's resolution).
struct FileIdentity {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t modified_ns = 0;  // since the epoch, as precise as the file system keeps it
    std::string digest;            // empty when not asked for or not readable

    // True when the two cannot be the same content: existence, size or time
    // differ, or both carry a digest and the digests differ.
    bool differs_from(const FileIdentity& other) const;
};
FileIdentity file_identity(const std::filesystem::path& path, bool with_digest);
// True when the file's modification time lies within the coarsest time
// stamp a file system keeps (2 s) of now, or in the future: a change made
// within that time may leave size and time as they were, so an identity
// taken now does not yet stand for the content.
bool modified_lately(const FileIdentity& identity);

// Which file a name leads to, whatever name or link reaches it: device and
// inode on POSIX, the volume's serial number and the file index on Windows.
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    bool operator==(const FileId&) const = default;
};
// nullopt when the name leads to no file.
std::optional<FileId> file_id(const std::filesystem::path& path);

// Refuses an output that is one of the inputs (or the template) of the same
// command, by file identity, not by name: a link, a second hard link and
// "./p.prj" are all caught. Call it before anything is written. The error is
// CannotOpen on `output`, naming the input.
Result<void> refuse_output_over_inputs(const std::filesystem::path& output,
                                       std::span<const std::filesystem::path> inputs);

// The local date of the file's creation time as a short-date text; the
// clock's today when the creation time cannot be read.
std::string file_creation_date(const std::filesystem::path& path, const Clock& clock);

// The process's current folder; empty when it cannot be determined.
std::filesystem::path current_folder();

// A path as UTF-8 text, for messages.
std::string path_text(const std::filesystem::path& path);

// True when the process's standard output is a terminal (not a file or pipe).
bool standard_output_is_terminal();

}  // namespace rebound::platform
