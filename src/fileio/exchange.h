// Importing and exporting single components: the rules by file extension that
// the main window's commands and the command-line tool share.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/rebound_file.h"

namespace rebound {

// The extension of a path: from the last '.' of its file name on, dot
// included; empty when the file name has no dot. A dot followed by a folder
// separator ('/', '\\') or a drive colon belongs to a folder, not the file.
std::string_view file_extension(std::string_view path);

// Appends `required` (for example ".prj") unless the path's extension is
// exactly that, byte for byte: "site" -> "site.prj", "site.PRJ" -> "site.PRJ.prj".
std::string with_required_extension(std::string path, std::string_view required);

enum class ComponentFileKind {
    Device,    // .cmp or .tmp in any mix of case
    Exported,  // .xcmp in any mix of case
    Unsupported,
};
ComponentFileKind component_file_kind(std::string_view path);

enum class ImportStatus {
    Imported,    // `out` holds the component
    CannotOpen,  // the file could not be opened; nothing was read
    Failed,      // unsupported extension, or the record is cut short or corrupt
};

// Reads one component file by its extension into `out`. A device component
// takes the file's creation date as its examination date; an exported
// component keeps every field of the file. `error` receives a one-line
// description when the status is not Imported.
ImportStatus import_component_file(const std::filesystem::path& path, ComponentInfo& out,
                                   std::string* error = nullptr);

enum class ExportStatus { Written, CannotOpen, Failed };

// Writes `component` as an exported component file at `path` (the caller
// applies with_required_extension first). Atomic: a failed write leaves any
// previous file untouched.
ExportStatus export_component_file(const std::filesystem::path& path, const ComponentInfo& component,
                                   std::string* error = nullptr);

}  // namespace rebound
