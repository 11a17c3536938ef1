// rebound-launcher: prepares the user's own application folder from the
// shipped one next to the installed programs, then starts the window there.
// The Start-menu entry and the ".prj" file type start this program; its
// arguments (a project file opened from Explorer) go on to the window.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <memory>

#include "app/user_folder.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(rebound::kApplicationTitle));
    // Its messages speak the window's language.
    const std::unique_ptr<rebound::ChineseTranslation> chinese = rebound::InstallStartupLanguage();
    const auto fail = [](const QString& message) {
        QMessageBox::critical(nullptr, rebound::UserPrompts::MessageTitle(), message);
        return 1;
    };

    // The programs are in bin\ of the install folder; the shipped
    // application folder is the install folder itself.
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString shipped = QDir::cleanPath(bin.filePath(QStringLiteral("..")));
    const QString folder = rebound::app::user_application_folder();
    const rebound::Result<void> prepared = rebound::app::prepare_user_folder(
        shipped, QString::fromUtf8(REBOUND_SHIPPED_ENTRIES).split(QLatin1Char('|')), folder);
    if (!prepared) {
        return fail(QString::fromStdString(prepared.error().message));
    }
    const QString window = bin.filePath(QStringLiteral("rebound.exe"));
    if (!QProcess::startDetached(window, QApplication::arguments().mid(1), folder)) {
        return fail(QCoreApplication::translate("launcher", "Cannot start %1.")
                        .arg(QDir::toNativeSeparators(window)));
    }
    return 0;
}
