// The application context: what a run of the program shares between its
// parts, built once in main (by the window application and the command-line
// tool alike) and handed to whoever needs it; tests build their own.
//
// It carries the application folder (every folder the program uses, "curve",
// "Setting", "report", lies below it; the window takes the process's current
// folder at start-up), the settings store pointed at that folder, and the
// clock that says what today is.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "settings/setting.h"

namespace rebound {

class AppContext {
public:
    // Points the settings store at `app_folder` (no file access). Without a
    // clock the system's clock is used.
    explicit AppContext(std::filesystem::path app_folder,
                        std::unique_ptr<const platform::Clock> clock = nullptr);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    const std::filesystem::path& app_folder() const { return app_folder_; }
    // The folder of the strength curves, app_folder/curve.
    std::filesystem::path curve_folder() const { return app_folder_ / "curve"; }
    // The folder of the report templates, app_folder/report.
    std::filesystem::path report_folder() const { return app_folder_ / "report"; }

    // The settings store of this run.
    setting& get_setting() { return settings_; }
    const setting& get_setting() const { return settings_; }

    const platform::Clock& clock() const { return *clock_; }
    // The clock's today as the short-date text the model keeps.
    std::string today_text() const;

private:
    std::filesystem::path app_folder_;
    std::unique_ptr<const platform::Clock> clock_;
    setting settings_;
};

}  // namespace rebound
