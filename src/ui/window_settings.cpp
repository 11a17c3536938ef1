#include "ui/window_settings.h"

namespace rebound {

std::unique_ptr<QSettings> window_settings() {
    // Named explicitly: the application name is the window's title text,
    // which is no name for a settings file.
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("rebound"),
                                       QStringLiteral("rebound"));
}

}  // namespace rebound
