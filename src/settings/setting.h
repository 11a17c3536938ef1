// The settings store: the file name of the strength curve chosen last, kept in
// "Setting/setting.ini" below the application folder, section "系统设置",
// key "测强曲线" (both stored as GBK bytes). One instance per process, reached
// through get_setting(). Failures are never reported, only returned.
#pragma once

#include <string>

namespace rebound {

class setting {
public:
    virtual ~setting();

    // File name (with extension, without folder) of the selected curve file,
    // as raw bytes.
    std::string curve_file;
    // Full path of the INI file, native separators.
    std::string ini_path = "Setting/setting.ini";
    // Full path of the settings folder, native separators.
    std::string folder_path = "Setting";

    // Points the store at base + "Setting" + "setting.ini"; `base` is a folder
    // without a trailing separator. No file access.
    void set_base_folder(const std::string& base);
    // True when the value was read from an existing INI file. Otherwise the
    // defaults are put in place and written (result not examined) and false
    // is returned.
    bool read_ini();
    // Writes curve_file into the INI file, keeping every other line of it;
    // the file is replaced atomically. False on any failure.
    bool write_ini();
    // curve_file = "normal.cuv".
    void use_defaults();
    // True when the settings folder and the INI file both exist; creates the
    // folder (one level) when it is missing.
    bool check_folder();
};

// The single process-wide settings store.
setting& get_setting();

}  // namespace rebound
