// The window application: the main window, then its dialogs created hidden,
// then the message loop until the main window closes. The current folder at
// start-up is the application folder.
//
//   rebound [FILE]...
//
// Files named on the command line are handled once the window is up, as if
// dropped on it: a project file is opened, component files are imported.
// Relative names are taken from the folder the command was started in.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "settings/version.h"
#include "ui/app_fonts.h"
#include "ui/language.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

namespace {

// Errors that escape a command are shown and the loop goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), rebound::UserPrompts::MessageTitle(),
                                  QString::fromLocal8Bit(error.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), rebound::UserPrompts::MessageTitle(),
                                  QCoreApplication::translate("main", "Unexpected error!"));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(rebound::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(rebound::kVersionText));
    // The installed desktop entry and icon theme entry are both named "rebound".
    QGuiApplication::setDesktopFileName(QStringLiteral("rebound"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("rebound")));
    rebound::install_font_substitutions();
    // The language is settled before the first text is made: the operator's
    // choice, else the system's UI languages.
    const std::unique_ptr<rebound::ChineseTranslation> chinese = rebound::InstallStartupLanguage();

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Opens a project file or imports component files."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QCoreApplication::translate("main", "Project (.prj) or component files."),
                                 QCoreApplication::translate("main", "[FILE...]"));
    parser.process(app);
    // Made absolute before anything can change the current folder.
    QStringList files;
#ifdef Q_OS_WIN
    for (const QString& name : parser.positionalArguments()) {
        files << QFileInfo(name).absoluteFilePath();
    }
#else
    // By argv's own bytes (Qt has already taken its own options out of it),
    // so that a name that is not UTF-8 reaches the file it names.
    bool options_ended = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!options_ended && arg == "--") {
            options_ended = true;
            continue;
        }
        if (!options_ended && arg.size() > 1 && arg[0] == '-') continue;
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(arg), ec);
        files << rebound::platform::from_path(ec ? std::filesystem::path(arg) : full.lexically_normal());
    }
#endif

    // The process's current folder at start-up is the application folder.
    rebound::AppContext context(rebound::platform::current_folder());
    rebound::WindowContext windowContext(context);
    rebound::TSDIAppForm window(windowContext);
    window.CreateDialogs();
    if (window.RestoreWindowState()) {
        window.show();
    } else {
        // Where no window manager honours the maximise request, the window
        // still opens over the whole available screen.
        if (const QScreen* screen = window.screen()) {
            window.setGeometry(screen->availableGeometry());
        }
        window.showMaximized();
    }
    if (!files.isEmpty()) {
        QTimer::singleShot(0, &window, [&window, files] { window.OpenFiles(files); });
    }
    return app.exec();
}
