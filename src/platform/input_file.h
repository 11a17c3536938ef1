// Reading a file's bytes in order, in blocks, without holding the whole file
// in memory. A regular file announces its size and is never read beyond it
// (bytes it gains while it is read are not taken, bytes it loses end the data
// early); a pipe, FIFO or device cannot announce a size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_error.h"

namespace rebound::platform {

// Where a reader takes its bytes from.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `n` bytes into `dst`; 0 at the end of the data or after a read
    // error (failure() then says which).
    virtual std::size_t read(char* dst, std::size_t n) = 0;
    // The number of bytes the source holds from its start, or nullopt when it
    // cannot know (a pipe).
    virtual std::optional<std::uint64_t> size() const = 0;
    // Empty, or the system's description of the read error that ended the data.
    virtual std::string failure() const { return {}; }
};

class InputFile final : public ByteSource {
public:
    // Opens `path` for reading. Fails with CannotOpen when it cannot be read
    // at all, saying why: "cannot be opened: the file does not exist",
    // "... permission denied", "... not a regular file", "is a folder, not a
    // file".
    static Result<InputFile> open(const std::filesystem::path& path);

    InputFile(InputFile&&) noexcept;
    InputFile& operator=(InputFile&&) noexcept;
    ~InputFile() override;

    std::size_t read(char* dst, std::size_t n) override;
    std::optional<std::uint64_t> size() const override;
    std::string failure() const override;

private:
    struct Impl;
    explicit InputFile(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// The most a table read whole is allowed to hold (a pairs file, a cores
// file): far more than any real table, and little enough to hold in memory.
inline constexpr std::size_t kMaxTableFileBytes = std::size_t{4} << 20;

// The whole content of a small file, such as a table of pairs or cores,
// read through InputFile (a FIFO or a device as well). A file that goes on
// beyond `limit` bytes fails as Malformed, "is larger than LIMIT bytes, the
// most WHAT may hold", having held no more than that; a read error fails
// with the system's reason.
Result<std::string> read_small_file(const std::filesystem::path& path, const char* what,
                                    std::size_t limit = kMaxTableFileBytes);

}  // namespace rebound::platform
