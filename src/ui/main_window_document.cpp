// The window around its document: what the window shows of the document's
// state (caption, list, panels), the question before unsaved changes are
// thrown away (close, session end), files from the command line and from
// drag and drop, the recent projects, and the window's own state kept per
// user.
#include <QActionGroup>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QSessionManager>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>

#include "fileio/exchange.h"
#include "ui/component_list.h"
#include "ui/main_window.h"
#include "ui/window_settings.h"

namespace rebound {

namespace {

const char* const kRecentKey = "RecentProjects";
const char* const kGeometryKey = "Window/Geometry";
const char* const kComponentColumnsKey = "Window/ComponentListColumns";
const char* const kSplitterKeyPrefix = "Window/";

bool is_project_file(const QString& path) {
    return QFileInfo(path).suffix().compare(QStringLiteral("prj"), Qt::CaseInsensitive) == 0;
}

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The local files of a drag, in its order.
QStringList local_files(const QMimeData* data) {
    QStringList files;
    if (data == nullptr || !data->hasUrls()) {
        return files;
    }
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) {
            files << url.toLocalFile();
        }
    }
    return files;
}

}  // namespace

void TSDIAppForm::ConnectDocument() {
    ProjectDocument* doc = mDocument.get();
    connect(doc, &ProjectDocument::modifiedChanged, this, [this] { UpdateCaption(); });
    connect(doc, &ProjectDocument::fileNameChanged, this, [this] { UpdateCaption(); });

#ifndef QT_NO_SESSIONMANAGER
    // The desktop session ending closes the window like the title bar does:
    // unsaved changes are asked about, and Cancel keeps the session.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (mDocument->isModified() && manager.allowsInteraction()) {
            const bool goOn = MaybeSave();
            manager.release();
            if (!goOn) {
                manager.cancel();
            }
        }
    });
#endif
}

void TSDIAppForm::ReportSettingsFailure(const QString& why) {
    // Said once a session: the window works on, it only forgets on exit.
    if (why.isEmpty() || mSettingsFailureShown) {
        return;
    }
    mSettingsFailureShown = true;
    Prompts().message(tr("Your settings (recent projects, edit mode, window layout) could not be saved:") +
                      QLatin1Char('\n') + why);
}

void TSDIAppForm::UpdateCaption() {
    QString caption = QString::fromUtf8(kMainWindowCaption);
    if (!mDocument->fileName().isEmpty()) {
        caption += QStringLiteral(" - ") + QFileInfo(mDocument->fileName()).fileName();
    }
    if (mDocument->isModified()) {
        caption += QLatin1Char('*');
    }
    setWindowTitle(caption);
}

void TSDIAppForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Asked once the activation is over, not inside its handling.
        QTimer::singleShot(0, this, &TSDIAppForm::OfferOutsideChange);
    }
}

void TSDIAppForm::closeEvent(QCloseEvent* event) {
    if (!MaybeSave()) {
        event->ignore();
        return;
    }
    SaveWindowState();
    event->accept();
}

// ---- Files from outside -------------------------------------------------------

void TSDIAppForm::OpenFiles(const QStringList& paths) {
    QStringList projects;
    QStringList components;
    QStringList refused;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (info.isDir()) {
            refused << path;
        } else if (component_file_kind(info.fileName().toUtf8().toStdString()) !=
                   ComponentFileKind::Unsupported) {
            components << path;
        } else if (is_project_file(path)) {
            projects << path;
        } else {
            refused << path;
        }
    }
    // One project at a time: the window holds one.
    const QStringList extraProjects = projects.mid(1);
    if (!projects.isEmpty()) {
        if (!MaybeSave()) {
            return;  // Cancel leaves everything as it was
        }
        OpenProject(projects.first());
    }
    if (!components.isEmpty()) {
        ImportComponentFiles(components);
    }
    QStringList lines;
    for (const QString& path : refused) {
        lines << QDir::toNativeSeparators(path);
    }
    QString text;
    if (!refused.isEmpty()) {
        text = tr("These are neither projects nor component files and were not opened:") + QLatin1Char('\n') +
               lines.join(QLatin1Char('\n'));
    }
    if (!extraProjects.isEmpty()) {
        QStringList names;
        for (const QString& path : extraProjects) {
            names << QDir::toNativeSeparators(path);
        }
        if (!text.isEmpty()) {
            text += QStringLiteral("\n\n");
        }
        text += tr("Only one project can be open at a time; these were not opened:") + QLatin1Char('\n') +
                names.join(QLatin1Char('\n'));
    }
    if (!text.isEmpty()) {
        Prompts().message(text);
    }
}

void TSDIAppForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!local_files(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void TSDIAppForm::dropEvent(QDropEvent* event) {
    const QStringList files = local_files(event->mimeData());
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Handled once the drop is over, so that the questions and messages do
    // not keep the program the files came from waiting.
    QTimer::singleShot(0, this, [this, files] { OpenFiles(files); });
}

// ---- Recent projects --------------------------------------------------------------

QStringList TSDIAppForm::RecentProjects() {
    QStringList list = window_settings()->value(QLatin1String(kRecentKey)).toStringList();
    list.removeAll(QString());
    return list.mid(0, kMaxRecentProjects);
}

void TSDIAppForm::SetRecentProjects(const QStringList& paths) {
    const std::unique_ptr<QSettings> settings = window_settings();
    settings->setValue(QLatin1String(kRecentKey), paths.mid(0, kMaxRecentProjects));
    ReportSettingsFailure(write_window_settings(*settings));
    RebuildRecentMenu();
}

void TSDIAppForm::AddRecentProject(const QString& path) {
    const QString full = absolute(path);
    QStringList list = RecentProjects();
    list.removeAll(full);
    list.prepend(full);
    SetRecentProjects(list);
}

void TSDIAppForm::RebuildRecentMenu() {
    RecentProjects1->clear();
    const QStringList list = RecentProjects();
    for (int i = 0; i < list.size(); ++i) {
        const QString& path = list[i];
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = RecentProjects1->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        entry->setObjectName(QStringLiteral("RecentProject%1").arg(i + 1));
        entry->setStatusTip(QDir::toNativeSeparators(path));
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecentProject(path); });
    }
    RecentProjects1->setEnabled(!list.isEmpty());
}

void TSDIAppForm::OpenRecentProject(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        QStringList list = RecentProjects();
        list.removeAll(path);
        SetRecentProjects(list);
        Prompts().message(tr("The project file %1 no longer exists; it was removed from the recent projects.")
                              .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!MaybeSave()) {
        return;
    }
    OpenProject(path);
}

// ---- The window's own state ----------------------------------------------------------

void TSDIAppForm::CreateLanguageMenu(QMenu* parent) {
    Language1 = parent->addMenu(tr("Language(&L)"));
    Language1->setObjectName(QStringLiteral("Language1"));
    auto* group = new QActionGroup(Language1);
    auto add = [&](const char* name, const QString& caption, Language language) {
        QAction* entry = Language1->addAction(caption);
        entry->setObjectName(QLatin1String(name));
        entry->setCheckable(true);
        group->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, language] { ChooseLanguage(language); });
        return entry;
    };
    LanguageSystem1 = add("LanguageSystem1", tr("System Default"), Language::System);
    // Each language is named in its own tongue, whatever the window's.
    LanguageEnglish1 = add("LanguageEnglish1", QStringLiteral("English"), Language::English);
    LanguageChinese1 = add("LanguageChinese1", QString::fromUtf8("简体中文"), Language::Chinese);
    switch (StoredLanguage()) {
        case Language::System:
            LanguageSystem1->setChecked(true);
            break;
        case Language::English:
            LanguageEnglish1->setChecked(true);
            break;
        case Language::Chinese:
            LanguageChinese1->setChecked(true);
            break;
    }
}

void TSDIAppForm::ChooseLanguage(Language language) {
    if (language == StoredLanguage()) {
        return;
    }
    StoreLanguage(language);
    const bool chinese = UseChinese(language, QLocale::system().uiLanguages());
    if (chinese != ChineseTranslation::Active()) {
        Prompts().message(tr("The window will be shown in %1 from the next start of the program.")
                              .arg(chinese ? LanguageChinese1->text() : LanguageEnglish1->text()));
    }
}

bool TSDIAppForm::RestoreWindowState() {
    const std::unique_ptr<QSettings> settings = window_settings();
    for (QSplitter* splitter : findChildren<QSplitter*>()) {
        const QByteArray state =
            settings->value(QLatin1String(kSplitterKeyPrefix) + splitter->objectName()).toByteArray();
        if (!state.isEmpty()) {
            // An unreadable state is refused whole and the layout stays.
            splitter->restoreState(state);
        }
    }
    const QVariantList widths = settings->value(QLatin1String(kComponentColumnsKey)).toList();
    bool usable = widths.size() == mComponentList->columnCount();
    for (const QVariant& w : widths) {
        bool ok = false;
        const int width = w.toInt(&ok);
        usable = usable && ok && width >= 10 && width <= 2000;
    }
    if (usable) {
        for (int c = 0; c < widths.size(); ++c) {
            mComponentList->setColumnWidth(c, widths[c].toInt());
        }
    }
    const QByteArray geometry = settings->value(QLatin1String(kGeometryKey)).toByteArray();
    return !geometry.isEmpty() && restoreGeometry(geometry);
}

void TSDIAppForm::SaveWindowState() const {
    const std::unique_ptr<QSettings> settings = window_settings();
    settings->setValue(QLatin1String(kGeometryKey), saveGeometry());
    for (const QSplitter* splitter : findChildren<QSplitter*>()) {
        settings->setValue(QLatin1String(kSplitterKeyPrefix) + splitter->objectName(), splitter->saveState());
    }
    QVariantList widths;
    for (int c = 0; c < mComponentList->columnCount(); ++c) {
        widths << mComponentList->columnWidth(c);
    }
    settings->setValue(QLatin1String(kComponentColumnsKey), widths);
}

}  // namespace rebound
