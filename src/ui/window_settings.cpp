#include "ui/window_settings.h"

namespace rebound {

std::unique_ptr<QSettings> window_settings() {
    // Named explicitly: the application name is the window's title text,
    // which is no name for a settings file. The format is the process's
    // default: native (the registry on Windows) unless a test has chosen INI
    // files in a folder of its own.
    return std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("rebound"),
                                       QStringLiteral("rebound"));
}

}  // namespace rebound
