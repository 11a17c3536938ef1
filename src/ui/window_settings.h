// The window's own state, kept per user in the platform's usual place for an
// application's settings (on Linux ~/.config/rebound/rebound.conf): window
// geometry, splitters, list columns, the last folder of each file dialog and
// the recent projects. The application folder's Setting/setting.ini keeps
// only the strength curve's name.
#pragma once

#include <QSettings>
#include <memory>

namespace rebound {

std::unique_ptr<QSettings> window_settings();

// Writes the settings out now; empty when they were written, else why not
// (a settings file that cannot be written, or one that is not in the
// settings format).
QString write_window_settings(QSettings& settings);

}  // namespace rebound
