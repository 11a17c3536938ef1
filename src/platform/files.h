// File-system services of the platform: atomic saving, file creation dates and
// the process's current folder.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/clock.h"
#include "platform/file_error.h"

namespace rebound::platform {

// Where an atomic save sends its bytes. write returns false once the
// underlying file has failed; later writes keep returning false.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const char* data, std::size_t size) = 0;
};

// Writes a file so that it is either the complete new content or untouched:
// the bytes go to a temporary file beside the target, which replaces the
// target only after every byte is written, flushed to disk and closed.
// `produce` writes the content into the sink and returns false to abandon the
// save; a FileFailure it throws becomes the result's error as it stands.
// The error's kind is CannotOpen when the temporary file could not be
// created (nothing was produced) and WriteFailed otherwise.
Result<void> write_file_atomically(const std::filesystem::path& target,
                                   const std::function<bool(ByteSink&)>& produce);

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
