#include "ui/window_settings.h"

#include <QCoreApplication>
#include <QDir>

namespace rebound {

std::unique_ptr<QSettings> window_settings() {
    // Named explicitly: the application name is the window's title text,
    // which is no name for a settings file. The format is the process's
    // default: native (the registry on Windows) unless a test has chosen INI
    // files in a folder of its own.
    return std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("rebound"),
                                       QStringLiteral("rebound"));
}

QString write_window_settings(QSettings& settings) {
    settings.sync();
    switch (settings.status()) {
        case QSettings::NoError:
            return {};
        case QSettings::AccessError:
            return QCoreApplication::translate("rebound::TSDIAppForm", "%1 cannot be written.")
                .arg(QDir::toNativeSeparators(settings.fileName()));
        case QSettings::FormatError:
            return QCoreApplication::translate("rebound::TSDIAppForm", "%1 is not a settings file.")
                .arg(QDir::toNativeSeparators(settings.fileName()));
    }
    return {};
}

}  // namespace rebound
