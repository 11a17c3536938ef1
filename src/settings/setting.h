// The settings store: the file name of the strength curve chosen last, kept in
// "Setting/setting.ini" below the application folder, section "系统设置",
// key "测强曲线" (both stored as GBK bytes). The application context holds the
// one store of a run (AppContext::get_setting). Failures are never shown by
// the store, only returned.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_error.h"

namespace rebound {

// The standard curve, shipped with the application.
inline constexpr std::string_view kStandardCurveFile = "normal.cur";

// True when `name` is a bare file name that stays inside the folder it is
// joined to: no folder part, not "." or "..". A chosen curve's name comes
// from an editable settings file and is checked before it is opened.
bool is_plain_file_name(const std::filesystem::path& name);

class setting {
public:
    virtual ~setting();

    // File name (with extension, without folder) of the selected curve file,
    // as raw bytes.
    std::string curve_file;
    // Full path of the INI file.
    std::filesystem::path ini_path = std::filesystem::path("Setting") / "setting.ini";
    // Full path of the settings folder.
    std::filesystem::path folder_path = "Setting";

    // Points the store at base/Setting/setting.ini. No file access.
    void set_base_folder(const std::filesystem::path& base);
    // Succeeds when the value was read from an existing INI file. Otherwise
    // the defaults are put in place and written (that write's result is not
    // examined) and the error says why: CannotOpen for a settings file that
    // does not exist yet or cannot be read.
    Result<void> read_ini();
    // Writes curve_file into the INI file, keeping every other line of it;
    // the file is replaced atomically.
    Result<void> write_ini();
    // Like read_ini, but never creates or writes anything: a missing INI file
    // leaves curve_file empty (no curve chosen). For tools that only look at
    // the choice, such as the command-line evaluation.
    Result<void> read_existing_ini();
    // curve_file = "normal.cuv".
    void use_defaults();
    // The file name (raw bytes) of the curve an evaluation uses: the chosen
    // curve, or the standard curve "normal.cur" when none was chosen, that is
    // when the name is empty or is the default put in place for a missing
    // settings file.
    std::string evaluation_curve_file() const;
    // True when the settings folder and the INI file both exist; creates the
    // folder (one level) when it is missing.
    bool check_folder();
};

}  // namespace rebound
