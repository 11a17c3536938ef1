#include "fileio/exchange.h"

#include "fileio/byte_io.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/input_file.h"

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

// A device file is exactly its header and the area records the header
// announces; one of another size was not written by the hammer.
void require_device_end(const ByteReader& in, const ComponentInfo& read) {
    if (in.remaining() == 0) return;
    FileError error;
    error.kind = FileError::Kind::Malformed;
    error.offset = in.offset();
    error.field = "the end of the device record";
    error.message = "not a device component file: the header announces " + std::to_string(read.areas.size()) +
                    " test areas (" + std::to_string(in.offset()) + " bytes in all), the file holds " +
                    std::to_string(in.offset() + in.remaining()) + " bytes";
    throw FormatError(std::move(error));
}

}  // namespace

void ComponentInfo::read_exported_file(ByteReader& in) {
    read_record(in);
    in.require_end("the end of the component record",
                   "an exported component file holds one component record and nothing after it");
}

void ComponentInfo::read_device_file(ByteReader& in, std::string_view today) {
    read_device_record(in, today);
    require_device_end(in, *this);
}

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

std::string file_extension_of(const std::filesystem::path& path) {
    const std::u8string name = path.filename().u8string();
    return std::string(
        file_extension(std::string_view(reinterpret_cast<const char*>(name.data()), name.size())));
}

std::filesystem::path append_required_extension(const std::filesystem::path& path,
                                                std::string_view required) {
    std::filesystem::path result = path;
    if (file_extension_of(path) != required) result.concat(required.begin(), required.end());
    return result;
}

ComponentFileKind component_file_kind_of(const std::filesystem::path& path) {
    return component_file_kind(file_extension_of(path));
}

Result<ComponentInfo> import_component_file(const std::filesystem::path& path, const platform::Clock& clock) {
    const ComponentFileKind kind = component_file_kind_of(path);
    if (kind == ComponentFileKind::Unsupported) {
        FileError error;
        error.kind = FileError::Kind::Unsupported;
        error.file = path;
        error.say("not_component_file", {}, "not a component file (expected .cmp, .tmp or .xcmp)");
        return error;
    }
    const std::string today = platform::today_text(clock);
    std::string date;
    if (kind == ComponentFileKind::Device) {
        date = platform::file_creation_date(path, clock);
    }
    Result<platform::InputFile> file = platform::InputFile::open(path);
    if (!file) {
        return file.error();
    }
    ComponentInfo scratch;
    const Result<void> read = at_file_boundary(path, FileError::Kind::Malformed, [&] {
        ByteReader in(*file);
        if (kind == ComponentFileKind::Device) {
            scratch.read_device_file(in, today);
            scratch.examine_date = date;
        } else {
            scratch.read_exported_file(in);
        }
    });
    if (!read) {
        return read.error();
    }
    return scratch;
}

Result<void> export_component_file(const std::filesystem::path& path, const ComponentInfo& component) {
    return platform::write_file_atomically(path, [&](platform::ByteSink& sink) {
        ByteWriter out(sink);
        component.write_record(out);
        out.flush();
        return true;
    });
}

}  // namespace rebound
