// The window application: the main window, then its dialogs created hidden,
// then the message loop until the main window closes. The current folder at
// start-up is the application folder.
#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <QScreen>
#include <exception>

#include "ui/app_fonts.h"
#include "ui/main_window.h"

namespace {

// Errors that escape a command are shown and the loop goes on.
class Application : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(activeWindow(), QString::fromUtf8(rebound::kApplicationTitle),
                                  QString::fromLocal8Bit(error.what()));
        } catch (...) {
            QMessageBox::critical(activeWindow(), QString::fromUtf8(rebound::kApplicationTitle),
                                  QStringLiteral("Unexpected error!"));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char* argv[]) {
    Application app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(rebound::kApplicationTitle));
    // The installed desktop entry and icon theme entry are both named "rebound".
    QGuiApplication::setDesktopFileName(QStringLiteral("rebound"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("rebound")));
    rebound::install_font_substitutions();

    rebound::TSDIAppForm window;
    window.CreateDialogs();
    // Where no window manager honours the maximise request, the window still
    // opens over the whole available screen.
    if (const QScreen* screen = window.screen()) {
        window.setGeometry(screen->availableGeometry());
    }
    window.showMaximized();
    return app.exec();
}
