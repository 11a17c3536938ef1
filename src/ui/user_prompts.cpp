#include "ui/user_prompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStringList>

#include "ui/main_window.h"

namespace rebound {

QString qt_file_filter(const QString& pairs) {
    if (pairs.isEmpty()) {
        return {};
    }
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i];
        QStringList patterns;
        if (i + 1 < parts.size()) {
            for (QString p : parts[i + 1].split(QLatin1Char(';'))) {
                // A stray parenthesis (the component filter ends in one)
                // would hide every pattern from Qt's parser.
                p.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
                p = p.trimmed();
                if (!p.isEmpty()) {
                    patterns << p;
                }
            }
        }
        if (patterns.isEmpty()) {
            filters << description;
        } else {
            // Qt reads the patterns from the last parentheses of an entry, so
            // they follow the description even when it has its own.
            filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
        }
    }
    return filters.join(QStringLiteral(";;"));
}

// The dialogs list each filter by its description alone, as written.
QString UserPrompts::openFileName(const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(mParent, QString(), mLastFolder, qt_file_filter(filter),
                                                      nullptr, QFileDialog::HideNameFilterDetails);
    if (!path.isEmpty()) {
        mLastFolder = QFileInfo(path).absolutePath();
    }
    return path;
}

QString UserPrompts::saveFileName(const QString& filter) {
    // The commands add their extensions themselves and replace existing files
    // without asking.
    const QString path =
        QFileDialog::getSaveFileName(mParent, QString(), mLastFolder, qt_file_filter(filter), nullptr,
                                     QFileDialog::DontConfirmOverwrite | QFileDialog::HideNameFilterDetails);
    if (!path.isEmpty()) {
        mLastFolder = QFileInfo(path).absolutePath();
    }
    return path;
}

QMessageBox::StandardButton UserPrompts::question(const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons) {
    QMessageBox box(QMessageBox::NoIcon, title, text, buttons, mParent);
    const int result = box.exec();
    if (box.clickedButton() == nullptr) {
        return QMessageBox::Cancel;
    }
    return static_cast<QMessageBox::StandardButton>(result);
}

void UserPrompts::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok,
                    mParent);
    box.exec();
}

int UserPrompts::showModal(QDialog& dialog) {
    return dialog.exec();
}

void UserPrompts::printSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, mParent);
    dialog.exec();
}

}  // namespace rebound
