#include "ui/user_prompts.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStringList>

#include "ui/main_window.h"
#include "ui/window_settings.h"

namespace rebound {

QString qt_file_filter(const QString& pairs) {
    if (pairs.isEmpty()) {
        return {};
    }
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        // Descriptions are shown in the window's language.
        const QString description = QCoreApplication::translate("FileFilter", parts[i].toUtf8().constData());
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

namespace {

// Settings key of the last folder of the file dialog with this filter: the
// first description, up to its patterns.
QString folder_key(const QString& filter) {
    QString name = filter.section(QLatin1Char('|'), 0, 0).section(QLatin1Char('('), 0, 0).trimmed();
    if (name.isEmpty()) {
        name = QStringLiteral("Unfiltered");
    }
    return QStringLiteral("FileDialogs/") + name;
}

class DialogProgress : public ProgressHandle {
public:
    DialogProgress(QWidget* parent, const QString& title, const QString& label, int total)
        : mDialog(label, UserPrompts::tr("Cancel"), 0, total, parent) {
        mDialog.setObjectName(QStringLiteral("ProgressDialog"));
        mDialog.setWindowTitle(title);
        mDialog.setWindowModality(Qt::WindowModal);
        // Short work finishes before the dialog would appear.
        mDialog.setMinimumDuration(400);
        mDialog.setValue(0);
    }
    bool update(int done) override {
        // A modal progress dialog processes events here, so Cancel is seen.
        mDialog.setValue(done);
        return !mDialog.wasCanceled();
    }

private:
    QProgressDialog mDialog;
};

}  // namespace

QString UserPrompts::StartFolder(const QString& filter) {
    const QString folder = window_settings()->value(folder_key(filter)).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return {};  // the dialog's own choice: the current folder
    }
    return folder;
}

void UserPrompts::RememberFolder(const QString& filter, const QString& chosenPath) {
    if (chosenPath.isEmpty()) {
        return;
    }
    window_settings()->setValue(folder_key(filter), QFileInfo(chosenPath).absolutePath());
}

// The dialogs list each filter by its description alone, as written.
QString UserPrompts::openFileName(const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(mParent, QString(), StartFolder(filter),
                                                      qt_file_filter(filter), nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    RememberFolder(filter, path);
    return path;
}

QStringList UserPrompts::openFileNames(const QString& filter) {
    const QStringList paths = QFileDialog::getOpenFileNames(mParent, QString(), StartFolder(filter),
                                                            qt_file_filter(filter), nullptr,
                                                            QFileDialog::HideNameFilterDetails);
    if (!paths.isEmpty()) {
        RememberFolder(filter, paths.first());
    }
    return paths;
}

QString UserPrompts::saveFileName(const QString& filter, const QString& proposed) {
    // The commands add their extensions themselves; the dialog asks before
    // it returns an existing file.
    const QString start = proposed.isEmpty() ? StartFolder(filter) : proposed;
    const QString path = QFileDialog::getSaveFileName(mParent, QString(), start, qt_file_filter(filter), nullptr,
                                                      QFileDialog::HideNameFilterDetails);
    RememberFolder(filter, path);
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

QString UserPrompts::MessageTitle() {
    return tr(kApplicationTitle);
}

void UserPrompts::message(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, MessageTitle(), text, QMessageBox::Ok, mParent);
    box.exec();
}

int UserPrompts::showModal(QDialog& dialog) {
    return dialog.exec();
}

bool UserPrompts::printSetup(QPrinter& printer) {
    QPageSetupDialog dialog(&printer, mParent);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<ProgressHandle> UserPrompts::progress(const QString& title, const QString& label, int total) {
    return std::make_unique<DialogProgress>(mParent, title, label, total);
}

}  // namespace rebound
