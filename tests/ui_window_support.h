// Support for tests that drive the main window: a dialog answerer that replies
// from prepared lists and records what it was asked, and a fresh application
// folder made the current folder for each test, with the window's per-user
// settings kept inside it (never in the real user's settings).
#pragma once

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <utility>
#include <memory>

#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "test_clock.h"
#include "ui/app_fonts.h"
#include "ui/area_grid.h"
#include "ui/file_filters.h"
#include "ui/main_window.h"
#include "ui/user_prompts.h"
#include "ui/window_context.h"

namespace rebound::test {

// Triggers the window's action with this object name, as a menu item or
// shortcut would.
inline void trigger(TSDIAppForm& w, const char* name) {
    QAction* action = w.findChild<QAction*>(QString::fromLatin1(name));
    QVERIFY2(action != nullptr, name);
    action->trigger();
}

// The window's child of this type and object name; the test stops when the
// window has none.
template <class T>
T* child(const QWidget& w, const char* name) {
    T* found = w.findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("the window has no %s", name);
    }
    return found;
}
inline QAction* action(const QWidget& w, const char* name) {
    return child<QAction>(w, name);
}
inline QMenu* menu(const QWidget& w, const char* name) {
    return child<QMenu>(w, name);
}
inline QLineEdit* box(const QWidget& w, const char* name) {
    return child<QLineEdit>(w, name);
}
inline QTableWidget* component_list(const QWidget& w) {
    return child<QTableWidget>(w, "lvComponents");
}
inline QTableWidget* area_table(const QWidget& w) {
    return child<QTableWidget>(w, "sg_areas");
}

// Visible entries of a menu, separators as "-".
inline QStringList visible_entries(const QMenu* m) {
    QStringList entries;
    for (const QAction* a : m->actions()) {
        if (a->isVisible()) {
            entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        }
    }
    return entries;
}

// The project the window shows.
inline const ReboundFile& doc_project(TSDIAppForm& w) {
    return w.Document().project();
}
// Gives the window's document this project, as if it had been opened.
inline void set_project(TSDIAppForm& w, ReboundFile p, const QString& fileName = {}) {
    w.Document().adopt(std::move(p), fileName);
}

// The row of the component list the panels show (-1: none).
inline int current_row(const QWidget& w) {
    const QList<QTableWidgetItem*> selected = component_list(w)->selectedItems();
    return selected.isEmpty() ? -1 : selected.first()->row();
}

// Changes a copy of the window's project and gives it back as if it had been
// opened under the same file name (a new history, no unsaved changes).
template <class Change>
void edit_project(TSDIAppForm& w, Change change) {
    ReboundFile p = w.Document().project();
    change(p);
    w.Document().adopt(std::move(p), w.Document().fileName());
}

// Clicks a cell of the grid, in the grid's own coordinates (the window
// shown).
inline void click_cell(const QWidget& w, int column, int row) {
    QTableWidget* grid = area_table(w);
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}
// Puts a text into a grid cell as the cell's editor does when typing ends.
inline void type_in_cell(const QWidget& w, int column, int row, const QString& text) {
    area_table(w)->item(row - 1, column)->setText(text);
}

// Selects a row of the component list as a click would.
inline void select_row(const QWidget& w, int row) {
    QTableWidget* list = component_list(w);
    list->setCurrentCell(row, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// The grid in its own coordinates: row 0 is the header row, row r >= 1 shows
// area r - 1; the row count includes the header row.
inline int grid_rows(const QWidget& w) {
    return area_table(w)->rowCount() + 1;
}
inline QString grid_text(const QWidget& w, int column, int row) {
    const QTableWidget* grid = area_table(w);
    const QTableWidgetItem* item =
        row == 0 ? grid->horizontalHeaderItem(column) : grid->item(row - 1, column);
    return item != nullptr ? item->text() : QString();
}

class ScriptedPrompts : public UserPrompts {
public:
    // Answers, used front first; an empty list answers "cancel".
    std::deque<QString> openAnswers;
    // For dialogs that choose several files; when empty, such a dialog takes
    // one answer of openAnswers as a single file.
    std::deque<QStringList> openManyAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QMessageBox::StandardButton> questionAnswers;
    // Runs once while the next question is open, as another program would
    // run while the operator reads it.
    std::function<void()> whileAsked;
    // What was shown.
    QStringList messages;
    QStringList questions;
    QStringList openFilters;
    QStringList saveFilters;
    // The file each save dialog started with.
    QStringList saveProposals;
    int printSetups = 0;
    // Runs as the page set-up dialog would: may change the printer; returns
    // whether the dialog was accepted.
    std::function<bool(QPrinter&)> onPrintSetup = [](QPrinter&) { return false; };
    // Progress dialogs: their titles, the steps reported, and the step at
    // which the operator presses Cancel (-1: never).
    QStringList progressTitles;
    QList<int> progressSteps;
    int cancelProgressAt = -1;
    // Runs instead of showing a modal dialog; returns the dialog's result.
    std::function<int(QDialog&)> onModal = [](QDialog&) { return int(QDialog::Rejected); };
    QStringList modalDialogs;

    QString openFileName(const QString& filter) override {
        openFilters << filter;
        return take(openAnswers);
    }
    QStringList openFileNames(const QString& filter) override {
        if (openManyAnswers.empty()) {
            const QString one = openFileName(filter);
            return one.isEmpty() ? QStringList() : QStringList{one};
        }
        openFilters << filter;
        QStringList answer = openManyAnswers.front();
        openManyAnswers.pop_front();
        return answer;
    }
    QString saveFileName(const QString& filter, const QString& proposed) override {
        saveFilters << filter;
        saveProposals << proposed;
        return take(saveAnswers);
    }
    QMessageBox::StandardButton question(const QString& title, const QString& text,
                                         QMessageBox::StandardButtons) override {
        questions << title + QLatin1Char('|') + text;
        if (whileAsked) std::exchange(whileAsked, nullptr)();
        if (questionAnswers.empty()) {
            return QMessageBox::Cancel;
        }
        const auto answer = questionAnswers.front();
        questionAnswers.pop_front();
        return answer;
    }
    void message(const QString& text) override { messages << text; }
    int showModal(QDialog& dialog) override {
        modalDialogs << dialog.objectName();
        return onModal(dialog);
    }
    bool printSetup(QPrinter& printer) override {
        ++printSetups;
        return onPrintSetup(printer);
    }
    std::unique_ptr<ProgressHandle> progress(const QString& title, const QString&, int) override {
        progressTitles << title;
        return std::make_unique<Progress>(*this);
    }

private:
    class Progress : public ProgressHandle {
    public:
        explicit Progress(ScriptedPrompts& owner) : mOwner(owner) {}
        bool update(int done) override {
            mOwner.progressSteps << done;
            return mOwner.cancelProgressAt < 0 || done < mOwner.cancelProgressAt;
        }

    private:
        ScriptedPrompts& mOwner;
    };

    static QString take(std::deque<QString>& answers) {
        if (answers.empty()) {
            return {};
        }
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A component named `name` with `areas` areas, whose readings are all
// 30 + the area's index.
inline ComponentInfo component_with_areas(const std::string& name, int areas) {
    ComponentInfo c(today());
    c.component_name = name;
    for (int i = 0; i < areas; ++i) {
        AreaData a;
        a.readings.fill(static_cast<std::uint8_t>(30 + i));
        c.add_area(a);
    }
    return c;
}

// A temporary application folder, made the current folder while it lives.
// The window's per-user settings go to its "config" folder meanwhile.
class AppFolder {
public:
    AppFolder() : mPrevious(QDir::currentPath()) {
        QDir::setCurrent(mDir.path());
        // INI files, so that on Windows too the settings stay in this folder
        // rather than in the registry that every test shares.
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, mDir.filePath(QStringLiteral("config")));
    }
    ~AppFolder() { QDir::setCurrent(mPrevious); }

    QString path() const { return mDir.path(); }
    QString file(const QString& relative) const { return mDir.filePath(relative); }

    // Copies the shipped standard curve to curve/<name>.
    bool installCurve(const QString& name = QStringLiteral("normal.cur")) const {
        QDir(mDir.path()).mkpath(QStringLiteral("curve"));
        return QFile::copy(QStringLiteral(REBOUND_SOURCE_DIR "/data/curve/normal.cur"),
                           file(QStringLiteral("curve/") + name));
    }

    // Copies a shipped report template into the report folder.
    bool installTemplate(const char* name) const {
        QDir(mDir.path()).mkpath(QStringLiteral("report"));
        const QString file_name = QString::fromLatin1(name);
        return QFile::copy(QStringLiteral(REBOUND_SOURCE_DIR "/data/report/") + file_name,
                           file(QStringLiteral("report/") + file_name));
    }

private:
    QTemporaryDir mDir;
    QString mPrevious;
};

// The contexts a test window runs in: the current folder as the application
// folder, the tests' clock, and the given prompts.
struct TestContexts {
    explicit TestContexts(std::unique_ptr<UserPrompts> prompts)
        : app(platform::to_path(QDir::currentPath()),
              std::make_unique<platform::FixedClock>(fixed_clock().today())),
          window(app, std::move(prompts)) {}
    AppContext app;
    WindowContext window;
};

// A main window that owns the contexts it runs in (they are made before it
// and go after it).
class TestWindow : private TestContexts, public TSDIAppForm {
public:
    explicit TestWindow(std::unique_ptr<UserPrompts> prompts)
        : TestContexts(std::move(prompts)), TSDIAppForm(TestContexts::window) {}
};

// A window started in the current folder, with its dialogs answered by the
// returned prompts (owned by the window's context).
inline std::unique_ptr<TSDIAppForm> make_window(ScriptedPrompts*& prompts) {
    auto owned = std::make_unique<ScriptedPrompts>();
    prompts = owned.get();
    auto window = std::make_unique<TestWindow>(std::move(owned));
    window->CreateDialogs();
    return window;
}

// The application folder, window and dialog answerer of one test function:
// a test class derives from it and calls start() in init(), stop() in
// cleanup(), and prepareTestCase() in initTestCase().
struct WindowFixture {
    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<TSDIAppForm> window;
    ScriptedPrompts* prompts = nullptr;

    // The fonts the window's texts need (today comes from the fixed clock of
    // the window's test contexts).
    static void prepareTestCase() { install_font_substitutions(); }
    void start() {
        folder = std::make_unique<AppFolder>();
        window = make_window(prompts);
    }
    void stop() {
        window.reset();
        folder.reset();
    }
};

}  // namespace rebound::test
