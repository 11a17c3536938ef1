// Importing and exporting single components: the rules by file extension that
// the main window's commands and the command-line tool share.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "model/rebound_file.h"
#include "platform/clock.h"
#include "platform/file_error.h"

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

// The same rules on a file-system path, which is never narrowed to a byte
// string on the way (on Windows that would lose every character outside the
// ANSI code page). The extension is read from the file name in UTF-8.
std::string file_extension_of(const std::filesystem::path& path);
std::filesystem::path append_required_extension(const std::filesystem::path& path, std::string_view required);
ComponentFileKind component_file_kind_of(const std::filesystem::path& path);

// Reads one component file by its extension. A device component takes the
// file's creation date as its examination date (the clock's today when that
// cannot be read) and today as its second date; an exported component keeps
// every field of the file. Errors: Unsupported (not a component file's
// extension), CannotOpen (nothing was read) or Malformed (the record is cut
// short or corrupt).
Result<ComponentInfo> import_component_file(const std::filesystem::path& path, const platform::Clock& clock);

// Writes `component` as an exported component file at `path` (the caller
// applies with_required_extension first). Atomic: a failed write leaves any
// previous file untouched. Errors: CannotOpen (the file could not be created;
// nothing was written) or WriteFailed.
Result<void> export_component_file(const std::filesystem::path& path, const ComponentInfo& component);

}  // namespace rebound
