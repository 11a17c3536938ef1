#include "fileio/exchange.h"

#include <fstream>

#include "fileio/byte_io.h"
#include "platform/files.h"

namespace rebound {

namespace {
bool equals_ignoring_ascii_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}
}  // namespace

std::string_view file_extension(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return {};
    if (path.find_first_of("/\\:", dot) != std::string_view::npos) return {};
    return path.substr(dot);
}

std::string with_required_extension(std::string path, std::string_view required) {
    if (file_extension(path) != required) {
        path += required;
    }
    return path;
}

ComponentFileKind component_file_kind(std::string_view path) {
    const std::string_view ext = file_extension(path);
    if (equals_ignoring_ascii_case(ext, ".cmp") || equals_ignoring_ascii_case(ext, ".tmp")) {
        return ComponentFileKind::Device;
    }
    if (equals_ignoring_ascii_case(ext, ".xcmp")) {
        return ComponentFileKind::Exported;
    }
    return ComponentFileKind::Unsupported;
}

ImportStatus import_component_file(const std::filesystem::path& path, ComponentInfo& out,
                                   std::string* error) {
    const ComponentFileKind kind = component_file_kind(path.string());
    if (kind == ComponentFileKind::Unsupported) {
        if (error) *error = "not a component file (expected .cmp, .tmp or .xcmp)";
        return ImportStatus::Failed;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        if (error) *error = "is a folder, not a file";
        return ImportStatus::CannotOpen;
    }
    std::string date;
    if (kind == ComponentFileKind::Device) {
        date = platform::file_creation_date(path);
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (error) *error = "cannot be opened";
        return ImportStatus::CannotOpen;
    }
    try {
        ComponentInfo scratch;
        ByteReader in(file);
        if (kind == ComponentFileKind::Device) {
            scratch.read_device_record(in);
            scratch.examine_date = date;
        } else {
            scratch.read_record(in);
        }
        out = std::move(scratch);
        return ImportStatus::Imported;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return ImportStatus::Failed;
    }
}

ExportStatus export_component_file(const std::filesystem::path& path, const ComponentInfo& component,
                                   std::string* error) {
    bool produced = false;
    try {
        const bool ok = platform::write_file_atomically(
            path,
            [&](platform::ByteSink& sink) {
                produced = true;
                ByteWriter out(sink);
                component.write_record(out);
                out.flush();
                return true;
            },
            error);
        if (ok) return ExportStatus::Written;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
    }
    // The producer never ran: the file could not be created at all.
    return produced ? ExportStatus::Failed : ExportStatus::CannotOpen;
}

}  // namespace rebound
