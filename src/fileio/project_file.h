// Reading a project file one component at a time, for batch work on projects
// larger than is worth holding in memory at once: the command-line tool dumps
// and extends projects this way. ReboundFile::load reads the same records.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "model/rebound_file.h"
#include "platform/file_error.h"

namespace rebound {

namespace platform {
class InputFile;
}

class ProjectFileReader {
public:
    // Opens the file and reads its header texts and component count.
    static Result<ProjectFileReader> open(const std::filesystem::path& path);

    ProjectFileReader(ProjectFileReader&&) noexcept;
    ProjectFileReader& operator=(ProjectFileReader&&) noexcept;
    ~ProjectFileReader();

    // The header texts as stored; no components.
    const ReboundFile& header() const { return header_; }
    std::uint32_t component_count() const { return count_; }

    // Reads the next component record into `out`, reusing its storage: true,
    // or false when every component has been read. Once every announced
    // component is read, bytes left after the last one are an error (the
    // count disagrees with the file).
    Result<bool> next(ComponentInfo& out);

private:
    ProjectFileReader() = default;

    std::filesystem::path path_;
    std::unique_ptr<platform::InputFile> file_;
    std::unique_ptr<ByteReader> in_;
    ReboundFile header_;
    std::uint32_t count_ = 0;
    std::uint32_t next_ = 0;
};

}  // namespace rebound
