#include "settings/setting.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/files.h"
#include "settings/ini_file.h"

namespace rebound {

namespace {

// Section "系统设置" and key "测强曲线" as GBK bytes, the code page of the file.
constexpr std::string_view kSection = "\xCF\xB5\xCD\xB3\xC9\xE8\xD6\xC3";
constexpr std::string_view kCurveKey = "\xB2\xE2\xC7\xBF\xC7\xFA\xCF\xDF";
constexpr std::string_view kDefaultCurveFile = "normal.cuv";
constexpr const char* kFolderName = "Setting";
constexpr const char* kFileName = "setting.ini";

// The whole file, or nullopt when it exists but cannot be read (not a
// regular file, no permission, a read error). A missing file reads as empty.
std::optional<std::string> read_whole_file(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return std::string();
    if (ec || status.type() != std::filesystem::file_type::regular) return std::nullopt;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return std::nullopt;
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

FileError settings_error(const std::filesystem::path& file, FileError::Kind kind, std::string message) {
    FileError error;
    error.kind = kind;
    error.file = file;
    error.message = std::move(message);
    return error;
}

}  // namespace

setting::~setting() = default;

void setting::set_base_folder(const std::filesystem::path& base) {
    folder_path = base / kFolderName;
    ini_path = folder_path / kFileName;
}

void setting::use_defaults() {
    curve_file = kDefaultCurveFile;
}

bool setting::check_folder() {
    std::error_code ec;
    if (std::filesystem::is_directory(folder_path, ec)) return std::filesystem::exists(ini_path, ec);
    std::filesystem::create_directory(folder_path, ec);  // result not needed: the file is missing anyway
    return false;
}

Result<void> setting::read_ini() {
    if (!check_folder()) {
        use_defaults();
        (void)write_ini();
        return settings_error(ini_path, FileError::Kind::CannotOpen, "does not exist; the defaults are used");
    }
    const std::optional<std::string> content = read_whole_file(ini_path);
    if (!content) {
        return settings_error(ini_path, FileError::Kind::CannotOpen, "cannot be read");
    }
    curve_file = ini_read_value(*content, kSection, kCurveKey).value_or(std::string());
    return {};
}

Result<void> setting::read_existing_ini() {
    // A missing file reads as empty text, so the name comes out empty.
    const std::optional<std::string> content = read_whole_file(ini_path);
    if (!content) {
        return settings_error(ini_path, FileError::Kind::CannotOpen, "cannot be read");
    }
    curve_file = ini_read_value(*content, kSection, kCurveKey).value_or(std::string());
    return {};
}

std::string setting::evaluation_curve_file() const {
    if (curve_file.empty() || curve_file == kDefaultCurveFile) return std::string(kStandardCurveFile);
    return curve_file;
}

bool is_plain_file_name(const std::filesystem::path& name) {
    return !name.empty() && !name.has_parent_path() && !name.has_root_path() && name != "." && name != "..";
}

Result<void> setting::write_ini() {
    // A line break or zero byte in the value would change the file's layout.
    if (curve_file.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        return settings_error(ini_path, FileError::Kind::WriteFailed,
                              "the curve file name holds a line break or a zero byte");
    }
    try {
        const std::optional<std::string> content = read_whole_file(ini_path);
        // An existing file that cannot be read is not overwritten: its other
        // sections would be lost.
        if (!content) {
            return settings_error(ini_path, FileError::Kind::CannotOpen,
                                  "cannot be read, so it is left as it is");
        }
        const std::string updated = ini_write_value(*content, kSection, kCurveKey, curve_file);
        return platform::write_file_atomically(
            ini_path, [&](platform::ByteSink& sink) { return sink.write(updated.data(), updated.size()); });
    } catch (const std::exception& e) {
        return settings_error(ini_path, FileError::Kind::WriteFailed, e.what());
    }
}

}  // namespace rebound
