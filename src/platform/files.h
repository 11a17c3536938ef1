// File-system services of the platform: atomic saving and file creation dates.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

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
// save. Returns true when the target now holds the new content; on failure
// `error` (when given) receives a short description.
bool write_file_atomically(const std::filesystem::path& target, const std::function<bool(ByteSink&)>& produce,
                           std::string* error = nullptr);

// The local date of the file's creation time as a short-date text; today's
// date when the creation time cannot be read.
std::string file_creation_date(const std::filesystem::path& path);

}  // namespace rebound::platform
