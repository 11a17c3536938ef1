// What the window does around its document, driven as an operator would:
// the caption, the question before unsaved changes are thrown away (close,
// New, Open, a dropped project), Save As onto an existing name, importing
// many files at once, files dropped on the window or named on the command
// line, recent projects, the Delete key, the shortcuts, and the state the
// window keeps per user.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QTableWidget>
#include <QTest>
#include <QUrl>

#include <QProcess>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "platform/qt_bridge.h"
#include "ui/window_settings.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

const QString kCaption = QStringLiteral("Digital Concret Test Hammer Halvorn Instruments V1.2");

ComponentInfo named(const std::string& name, int areas = 1) {
    return component_with_areas(name, areas);
}

DeviceArea device_area(std::uint8_t base) {
    DeviceArea a;
    for (int i = 0; i < 16; ++i) a.readings[i] = static_cast<std::uint8_t>(base + i % 3);
    a.fifth = 28.0f;
    return a;
}

// Drops local files on the window as a file manager would.
void drop_files(TSDIAppForm& w, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    const QPointF at(w.width() / 2.0, w.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    QVERIFY(drop.isAccepted());
    // The files are handled once the drop is over.
    QCoreApplication::processEvents();
}

}  // namespace

class DocumentWindowTest : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { prepareTestCase(); }
    void init() { start(); }
    void cleanup() { stop(); }

    void captionShowsTheFileAndUnsavedChanges();
    void askedBeforeAnythingIsThrownAway_data();
    void askedBeforeAnythingIsThrownAway();
    void failedOpenChangesNothing_data();
    void failedOpenChangesNothing();
    void saveAsOntoAnExistingName();
    void anotherProgramsChangesAreAskedAbout();
    void importManyFilesWithABrokenFileAndADuplicate();
    void largeImportShowsProgressAndCanBeStopped();
    void droppedFiles();
    void commandLineFiles();
    void recentProjects();
    void deleteKeyAsksNamingTheComponent();
    void newShortcuts();
    void windowStateIsKeptPerUser();
    void unreadableWindowStateGivesTheDocumentedLayout();
    void fileDialogsRememberTheirOwnFolders();

private:
    // Two components saved as site.prj; unmodified.
    void savedProject() {
        edit_project(*window, [](ReboundFile& p) {
            p.add_component(named("A", 2));
            p.add_component(named("B", 3));
        });
        prompts->saveAnswers = {folder->file(QStringLiteral("site.prj"))};
        trigger(*window, "FileSave1");
        QVERIFY(!window->Document().isModified());
        prompts->saveFilters.clear();
        prompts->saveProposals.clear();
    }
    QString deviceFile(const QString& name, const std::string& component, std::uint8_t base) {
        const QString path = folder->file(name);
        write_file(platform::to_path(path), device_record(component, {device_area(base), device_area(base + 5)}));
        return path;
    }

};

void DocumentWindowTest::captionShowsTheFileAndUnsavedChanges() {
    TSDIAppForm& w = *window;
    QCOMPARE(w.windowTitle(), kCaption);
    QTest::keyClicks(box(w, "txt_report_serial"), QStringLiteral("R-1"));
    QCOMPARE(w.windowTitle(), kCaption + QLatin1Char('*'));

    prompts->saveAnswers = {folder->file(QStringLiteral("site"))};
    trigger(w, "FileSave1");
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj"));

    // Every kind of change marks it: a component edit, an import, a delete.
    edit_project(w, [](ReboundFile& p) {
        p.add_component(named("A"));
        p.add_component(named("B"));
    });
    QTest::keyClicks(box(w, "txt_component_name"), QStringLiteral("9"));
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj*"));
    trigger(w, "FileSave1");
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj"));
    child<QCheckBox>(w, "chk_pump_tag")->click();
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj*"));
    trigger(w, "FileSave1");
    trigger(w, "act_remove_component");
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj*"));

    // New clears both parts; opening sets the name without the mark.
    prompts->questionAnswers = {QMessageBox::No};
    trigger(w, "FileNew1");
    QCOMPARE(w.windowTitle(), kCaption);
    prompts->openAnswers = {folder->file(QStringLiteral("site.prj"))};
    trigger(w, "FileOpen1");
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - site.prj"));
    QVERIFY(prompts->messages.isEmpty());
}

void DocumentWindowTest::askedBeforeAnythingIsThrownAway_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveFails");
    QTest::addColumn<bool>("goesOn");  // the action happened
    QTest::addColumn<bool>("saved");   // the edit reached the file
    const int yes = QMessageBox::Yes, no = QMessageBox::No, cancel = QMessageBox::Cancel;
    for (const char* action : {"close", "new", "open", "drop"}) {
        const QByteArray a(action);
        QTest::newRow(a + ", no changes") << QString(action) << false << -1 << false << true << false;
        QTest::newRow(a + ", yes") << QString(action) << true << yes << false << true << true;
        QTest::newRow(a + ", no") << QString(action) << true << no << false << true << false;
        QTest::newRow(a + ", cancel") << QString(action) << true << cancel << false << false << false;
        QTest::newRow(a + ", save fails") << QString(action) << true << yes << true << false << false;
    }
}

void DocumentWindowTest::askedBeforeAnythingIsThrownAway() {
    QFETCH(QString, action);
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    TSDIAppForm& w = *window;
    savedProject();
    const QString site = folder->file(QStringLiteral("site.prj"));
    ReboundFile other(test::today());
    other.project_name = "Other";
    other.add_component(named("Z"));
    const QString otherPath = folder->file(QStringLiteral("other.prj"));
    QVERIFY(other.save(platform::to_path(otherPath)));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    if (modified) {
        QTest::keyClicks(box(w, "txt_project_name"), QStringLiteral(" edited"));
    }
    if (saveFails) {
        QDir(folder->path()).mkdir(QStringLiteral("locked"));
        w.Document().setFileName(folder->file(QStringLiteral("locked/no/such/site.prj")));
    }
    const QString fileBefore = w.Document().fileName();
    const ReboundFile projectBefore = doc_project(w);
    const QString panelBefore = box(w, "txt_project_name")->text();
    if (answer >= 0) prompts->questionAnswers = {static_cast<QMessageBox::StandardButton>(answer)};
    prompts->openAnswers = {otherPath};

    if (action == QLatin1String("close")) {
        trigger(w, "FileExit1");
    } else if (action == QLatin1String("new")) {
        trigger(w, "FileNew1");
    } else if (action == QLatin1String("open")) {
        trigger(w, "FileOpen1");
    } else {
        drop_files(w, {otherPath});
    }

    // A failed save says why and offers Save As, which is declined here.
    QCOMPARE(prompts->questions.size(), modified ? (saveFails ? 2 : 1) : 0);
    if (modified) QCOMPARE(prompts->questions[0], QStringLiteral("Message|Save changes to current project?"));
    if (saveFails) {
        QVERIFY(prompts->questions[1].startsWith(QStringLiteral("Digital Concret Test Hammer|Save Project Fail!\n")));
    }
    QCOMPARE(prompts->messages.size(), 0);
    ReboundFile onDisk;
    QVERIFY(onDisk.load(platform::to_path(site), test::today()));
    QCOMPARE(onDisk.project_name == "New Project edited", saved);

    if (!goesOn) {
        // Everything as it was: the window, the project, the panel, the file
        // name and the unsaved changes.
        QVERIFY(w.isVisible());
        QCOMPARE(w.Document().fileName(), fileBefore);
        // A save that was tried has taken the panel's edit into the project.
        ReboundFile expected = projectBefore;
        if (saveFails) expected.project_name = "New Project edited";
        QVERIFY(doc_project(w) == expected);
        QCOMPARE(box(w, "txt_project_name")->text(), panelBefore);
        QVERIFY(w.Document().isModified());
        QVERIFY(w.windowTitle().endsWith(QLatin1Char('*')));
        return;
    }
    if (action == QLatin1String("close")) {
        QVERIFY(!w.isVisible());
    } else if (action == QLatin1String("new")) {
        QCOMPARE(int(doc_project(w).component_count()), 0);
        QVERIFY(w.Document().fileName().isEmpty());
        QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("New Project"));
    } else {
        QCOMPARE(w.Document().fileName(), otherPath);
        QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("Other"));
        QCOMPARE(component_list(w)->rowCount(), 1);
    }
    if (action != QLatin1String("close")) {
        QVERIFY(!w.Document().isModified());
    }
}

void DocumentWindowTest::failedOpenChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("truncated project") << "truncated";
    QTest::newRow("device file") << "device";
    QTest::newRow("folder") << "folder";
}

void DocumentWindowTest::failedOpenChangesNothing() {
    QFETCH(QString, kind);
    TSDIAppForm& w = *window;
    savedProject();
    select_row(w, 1);
    QTest::keyClicks(box(w, "txt_examine_serial"), QStringLiteral("M-5"));
    QString path;
    if (kind == QLatin1String("truncated")) {
        const std::string bytes = read_file(platform::to_path(folder->file(QStringLiteral("site.prj"))));
        path = folder->file(QStringLiteral("cut.prj"));
        write_file(platform::to_path(path), bytes.substr(0, bytes.size() - 20));
    } else if (kind == QLatin1String("device")) {
        path = deviceFile(QStringLiteral("K1.cmp"), "K1", 30);
    } else {
        path = folder->file(QStringLiteral("a-folder.prj"));
        QVERIFY(QDir(folder->path()).mkdir(QStringLiteral("a-folder.prj")));
    }
    const ReboundFile project = doc_project(w);
    const QString caption = w.windowTitle();
    QCOMPARE(caption, kCaption + QStringLiteral(" - site.prj*"));

    prompts->questionAnswers = {QMessageBox::No};
    prompts->openAnswers = {path};
    trigger(w, "FileOpen1");

    // What the file is, then the reader's detail.
    QCOMPARE(prompts->messages.size(), 1);
    const QString said = kind == QLatin1String("truncated") ? QStringLiteral(" is a damaged project file.\n")
                         : kind == QLatin1String("device")
                             ? QStringLiteral(" is not a project file but a component file; Import Component reads it.\n")
                             : QStringLiteral(": ");
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Open Project Fail!\n") + QDir::toNativeSeparators(path) + said),
             qPrintable(prompts->messages[0]));
    QVERIFY(doc_project(w) == project);
    QCOMPARE(w.Document().fileName(), folder->file(QStringLiteral("site.prj")));
    QCOMPARE(w.windowTitle(), caption);
    QCOMPARE(box(w, "txt_examine_serial")->text(), QStringLiteral("M-5"));
    QCOMPARE(current_row(w), 1);
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("B"));
    QCOMPARE(component_list(w)->rowCount(), 2);
    QCOMPARE(grid_rows(w), 4);
    QVERIFY(!w.RecentProjects().contains(path));
}

void DocumentWindowTest::saveAsOntoAnExistingName() {
    TSDIAppForm& w = *window;
    savedProject();
    const QString site = folder->file(QStringLiteral("site.prj"));
    const QString bridge = folder->file(QStringLiteral("bridge.prj"));
    write_file(platform::to_path(bridge), "an older project");
    w.Document().appendComponents({named("C")}, QStringLiteral("Import Component"));

    // "bridge" becomes bridge.prj, which the dialog never saw: asked, No.
    prompts->saveAnswers = {folder->file(QStringLiteral("bridge"))};
    prompts->questionAnswers = {QMessageBox::No};
    trigger(w, "FileSaveAs1");
    QCOMPARE(prompts->saveProposals, QStringList{site});  // proposes the current file
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(prompts->questions[0].contains(QStringLiteral("bridge.prj already exists")));
    QCOMPARE(read_file(platform::to_path(bridge)), std::string("an older project"));
    QCOMPARE(w.Document().fileName(), site);
    QVERIFY(prompts->messages.isEmpty());

    // Yes replaces it.
    prompts->saveAnswers = {folder->file(QStringLiteral("bridge"))};
    prompts->questionAnswers = {QMessageBox::Yes};
    trigger(w, "FileSaveAs1");
    QCOMPARE(w.Document().fileName(), bridge);
    ReboundFile written;
    QVERIFY(written.load(platform::to_path(bridge), test::today()));
    QCOMPARE(int(written.component_count()), 3);

    // A name the dialog returned as it stands was confirmed by the dialog.
    prompts->questions.clear();
    prompts->saveAnswers = {site};
    trigger(w, "FileSaveAs1");
    QVERIFY(prompts->questions.isEmpty());
    QCOMPARE(w.Document().fileName(), site);
    QVERIFY(prompts->messages.isEmpty());

    // A name that leads to the standard curve the window evaluates with is
    // refused before anything is written, and named.
    QVERIFY(folder->installCurve());
    const QString curve = folder->file(QStringLiteral("curve/normal.cur"));
    const std::string curveBytes = read_file(platform::to_path(curve));
    const QString alias = folder->file(QStringLiteral("alias.prj"));
    QVERIFY(QFile::link(curve, alias));
    // The failed save offers another name; declined, nothing more happens.
    prompts->saveAnswers = {alias};
    prompts->questionAnswers = {QMessageBox::No};
    trigger(w, "FileSaveAs1");
    QCOMPARE(read_file(platform::to_path(curve)), curveBytes);
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY2(prompts->questions[0].contains(QStringLiteral("Save Project Fail!")), qPrintable(prompts->questions[0]));
    QVERIFY2(prompts->questions[0].contains(QStringLiteral("normal.cur")), qPrintable(prompts->questions[0]));
}

// Another program (here rebound-cli's way of saving, through the model)
// saves the window's file: Save asks before it overwrites, and its answers
// overwrite, save elsewhere or save nothing; activating the window offers to
// reload the file once per change.
void DocumentWindowTest::anotherProgramsChangesAreAskedAbout() {
    TSDIAppForm& w = *window;
    savedProject();
    const QString site = folder->file(QStringLiteral("site.prj"));
    const auto outside = [&](int components) {
        const bool saved = bool(test::sample_project(components, 1).save(platform::to_path(site)));
        if (!saved) qWarning("the outside save failed");
        return read_file(platform::to_path(site));
    };
    const auto components_on_disk = [&] {
        ReboundFile p;
        return p.load(platform::to_path(site), test::today()) ? int(p.component_count()) : -1;
    };

    // Cancel: nothing is written, nothing reported as a failure.
    w.Document().appendComponents({named("C")}, QStringLiteral("Import Component"));
    std::string theirs = outside(5);
    prompts->questionAnswers = {QMessageBox::Cancel};
    trigger(w, "FileSave1");
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(prompts->questions[0].contains(QStringLiteral("was changed by another program")));
    QCOMPARE(read_file(platform::to_path(site)), theirs);
    QVERIFY(prompts->messages.isEmpty());
    QVERIFY(w.Document().isModified());

    // No: saved under another name; the other program's file stays.
    const QString elsewhere = folder->file(QStringLiteral("mine.prj"));
    prompts->questions.clear();
    prompts->questionAnswers = {QMessageBox::No};
    prompts->saveAnswers = {elsewhere};
    trigger(w, "FileSave1");
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(read_file(platform::to_path(site)), theirs);
    QCOMPARE(w.Document().fileName(), elsewhere);
    QVERIFY(!w.Document().isModified());

    // Yes: overwritten on purpose.
    QVERIFY(w.Document().open(site));
    outside(6);
    w.Document().appendComponents({named("D")}, QStringLiteral("Import Component"));
    prompts->questions.clear();
    prompts->questionAnswers = {QMessageBox::Yes};
    trigger(w, "FileSave1");
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(components_on_disk(), 6);  // the 5 opened plus D
    QVERIFY(prompts->messages.isEmpty());

    // While the question is open the file is locked: another program of
    // ours fails (rather than lose its change with success), and a change
    // made by a program without the lock is asked about again.
    outside(7);
    w.Document().appendComponents({named("F")}, QStringLiteral("Import Component"));
    prompts->questions.clear();
    bool lockedOut = false;
    prompts->whileAsked = [&] {
        // rebound-cli importing into the file meanwhile waits for the lock,
        // then fails, saving nothing.
        QProcess cli;
        cli.setWorkingDirectory(folder->file(QString()));
        cli.start(QStringLiteral(REBOUND_CLI_PATH),
                  {QStringLiteral("import"), site, QStringLiteral(REBOUND_SOURCE_DIR "/data/samples/KZ-1.cmp")});
        lockedOut = cli.waitForFinished(60000) && cli.exitCode() == 1 &&
                    cli.readAllStandardError().contains("is being changed by another program");
        prompts->whileAsked = [&] {};
        // A program that takes no lock writes in place meanwhile.
        write_file(platform::to_path(site), read_file(platform::to_path(site)) + "x");
    };
    prompts->questionAnswers = {QMessageBox::Yes, QMessageBox::Cancel};
    trigger(w, "FileSave1");
    QVERIFY(lockedOut);
    QCOMPARE(prompts->questions.size(), 2);  // asked again about the second change
    QVERIFY(read_file(platform::to_path(site)).ends_with("x"));
    QVERIFY(w.Document().isModified());
    prompts->questions.clear();
    prompts->questionAnswers = {QMessageBox::Yes};
    trigger(w, "FileSave1");
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(!w.Document().isModified());

    // Activation offers the reload once per change; Yes reads the file.
    const auto activate = [&] {
        QApplication::setActiveWindow(nullptr);
        QApplication::setActiveWindow(&w);
        QCoreApplication::processEvents();
    };
    prompts->questions.clear();
    activate();
    QVERIFY(prompts->questions.isEmpty());  // nothing changed since the save
    outside(2);
    prompts->questionAnswers = {QMessageBox::No};
    activate();
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY(prompts->questions[0].contains(QStringLiteral("Reload it?")));
    QCOMPARE(int(w.Document().project().component_count()), 7);  // with D and F
    activate();
    QCOMPARE(prompts->questions.size(), 1);  // not asked again about the same change
    outside(3);
    w.Document().appendComponents({named("E")}, QStringLiteral("Import Component"));
    prompts->questionAnswers = {QMessageBox::Yes};
    activate();
    QCOMPARE(prompts->questions.size(), 2);
    QVERIFY(prompts->questions[1].contains(QStringLiteral("discard the changes not saved here")));
    QCOMPARE(int(w.Document().project().component_count()), 3);
    QCOMPARE(component_list(w)->rowCount(), 3);
    QVERIFY(!w.Document().isModified());
}

void DocumentWindowTest::importManyFilesWithABrokenFileAndADuplicate() {
    TSDIAppForm& w = *window;
    edit_project(w, [](ReboundFile& p) { p.add_component(named("A")); });
    deviceFile(QStringLiteral("K1.cmp"), "K1", 30);
    trigger(w, "act_import_component");  // nothing chosen
    prompts->openManyAnswers = {{folder->file(QStringLiteral("K1.cmp"))}};
    trigger(w, "act_import_component");
    QCOMPARE(component_list(w)->rowCount(), 2);

    const QString broken = deviceFile(QStringLiteral("K3.cmp"), "K3", 50);
    write_file(platform::to_path(broken), read_file(platform::to_path(broken)).substr(0, 100));
    prompts->openManyAnswers = {{deviceFile(QStringLiteral("K2.cmp"), "K2", 40), broken,
                                 folder->file(QStringLiteral("K1.cmp")), deviceFile(QStringLiteral("K4.TMP"), "K4", 60)}};
    prompts->questionAnswers = {QMessageBox::Yes};  // skip the duplicate
    trigger(w, "act_import_component");

    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY2(prompts->questions[0].contains(QStringLiteral("\nK1\n")), qPrintable(prompts->questions[0]));
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].startsWith(QStringLiteral("Import Component Fail!\nK3.cmp: ")),
             qPrintable(prompts->messages[0]));
    QCOMPARE(prompts->messages[0].count(QLatin1Char('\n')), 1);  // one failed file
    QStringList names;
    for (int r = 0; r < component_list(w)->rowCount(); ++r) names << component_list(w)->item(r, 1)->text();
    QCOMPARE(names, (QStringList{"A", "K1", "K2", "K4"}));
    QCOMPARE(component_list(w)->item(3, 0)->text(), QStringLiteral("4"));
    QCOMPARE(current_row(w), 3);  // the last imported is current
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("K4"));
    QVERIFY(prompts->progressTitles.isEmpty());  // few files: no progress dialog
}

void DocumentWindowTest::largeImportShowsProgressAndCanBeStopped() {
    TSDIAppForm& w = *window;
    QStringList files;
    for (int i = 0; i < 30; ++i) {
        files << deviceFile(QStringLiteral("D%1.cmp").arg(i), "D" + std::to_string(i), static_cast<std::uint8_t>(20 + i));
    }
    prompts->openManyAnswers = {files};
    prompts->cancelProgressAt = 12;
    trigger(w, "act_import_component");
    QCOMPARE(prompts->progressTitles, QStringList{QStringLiteral("Import Component")});
    QCOMPARE(prompts->progressSteps.last(), 12);
    QCOMPARE(component_list(w)->rowCount(), 12);  // what was read before Cancel stays
    QCOMPARE(box(w, "txt_component_name")->text(), QStringLiteral("D11"));
    QVERIFY(prompts->messages.isEmpty());
}

void DocumentWindowTest::droppedFiles() {
    TSDIAppForm& w = *window;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QString notes = folder->file(QStringLiteral("notes.txt"));
    write_file(platform::to_path(notes), "site notes");
    ComponentInfo exported = named("X7", 4);
    const QString xcmp = folder->file(QStringLiteral("X7.xcmp"));
    QVERIFY(export_component_file(platform::to_path(xcmp), exported));

    // Files dropped on a text box reach the window too: no control takes
    // them as text.
    for (const QWidget* child : w.findChildren<QWidget*>()) {
        QVERIFY2(!child->acceptDrops(), qPrintable(child->objectName()));
    }
    drop_files(w, {deviceFile(QStringLiteral("K1.cmp"), "K1", 30), notes, xcmp, folder->path()});

    QCOMPARE(component_list(w)->rowCount(), 2);
    QCOMPARE(doc_project(w).components[0].component_name, std::string("K1"));
    QVERIFY(doc_project(w).components[1] == exported);
    // The text file and the folder are refused, named one per line.
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY2(prompts->messages[0].endsWith(QStringLiteral(":\n") + QDir::toNativeSeparators(notes) + QLatin1Char('\n') +
                                           QDir::toNativeSeparators(folder->path())),
             qPrintable(prompts->messages[0]));
    QVERIFY(!prompts->messages[0].contains(QStringLiteral("K1.cmp")));
    QVERIFY(w.Document().isModified());

    // A project dropped with an unsaved project asks first; Cancel keeps all.
    ReboundFile other(test::today());
    other.add_component(named("Z"));
    QVERIFY(other.save(platform::to_path(folder->file(QStringLiteral("z.prj")))));
    prompts->messages.clear();
    drop_files(w, {folder->file(QStringLiteral("z.prj")), folder->file(QStringLiteral("K1.cmp"))});
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(component_list(w)->rowCount(), 2);
    QVERIFY(prompts->messages.isEmpty());
}

void DocumentWindowTest::commandLineFiles() {
    TSDIAppForm& w = *window;
    ReboundFile project(test::today());
    project.project_name = "Harbour";
    project.add_component(named("P1"));
    QDir(folder->path()).mkpath(QStringLiteral("site"));
    QVERIFY(project.save(platform::to_path(folder->file(QStringLiteral("site/harbour.prj")))));
    deviceFile(QStringLiteral("site/K9.cmp"), "K9", 45);

    // The project first, then the components into it; a second project and
    // a missing project are named.
    w.OpenFiles({folder->file(QStringLiteral("site/harbour.prj")), folder->file(QStringLiteral("site/K9.cmp")),
                 folder->file(QStringLiteral("site/harbour.prj"))});
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("Harbour"));
    QCOMPARE(component_list(w)->rowCount(), 2);
    QCOMPARE(w.windowTitle(), kCaption + QStringLiteral(" - harbour.prj*"));
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages[0].startsWith(QStringLiteral("Only one project can be open at a time")));

    prompts->messages.clear();
    prompts->questionAnswers = {QMessageBox::No};
    w.OpenFiles({folder->file(QStringLiteral("gone.prj"))});
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages[0].startsWith(QStringLiteral("Open Project Fail!\n") +
                                            QDir::toNativeSeparators(folder->file("gone.prj"))));
    QCOMPARE(component_list(w)->rowCount(), 2);
}

void DocumentWindowTest::recentProjects() {
    TSDIAppForm& w = *window;
    QVERIFY(!menu(w, "RecentProjects1")->isEnabled());
    QStringList paths;
    for (int i = 1; i <= 9; ++i) {
        ReboundFile p(test::today());
        p.project_name = "P" + std::to_string(i);
        paths << folder->file(QStringLiteral("p%1.prj").arg(i));
        QVERIFY(p.save(platform::to_path(paths.last())));
        prompts->openAnswers = {paths.last()};
        trigger(w, "FileOpen1");
    }
    // Newest first, eight at most.
    QStringList expected;
    for (int i = 9; i >= 2; --i) expected << paths[i - 1];
    QCOMPARE(w.RecentProjects(), expected);
    QCOMPARE(menu(w, "RecentProjects1")->actions().size(), 8);
    QVERIFY(menu(w, "RecentProjects1")->isEnabled());
    QCOMPARE(menu(w, "RecentProjects1")->actions()[0]->text(), QStringLiteral("&1 ") + QDir::toNativeSeparators(paths[8]));

    // Saving under a new name puts it first; a new window sees the list.
    prompts->saveAnswers = {folder->file(QStringLiteral("saved"))};
    trigger(w, "FileSaveAs1");
    QCOMPARE(w.RecentProjects().first(), folder->file(QStringLiteral("saved.prj")));
    ScriptedPrompts* second = nullptr;
    auto other = make_window(second);
    QCOMPARE(other->RecentProjects(), w.RecentProjects());

    // Picking an entry opens it, asking first when there are changes.
    QTest::keyClicks(box(w, "txt_project_name"), QStringLiteral("x"));
    prompts->questionAnswers = {QMessageBox::No};
    menu(w, "RecentProjects1")->actions()[3]->trigger();  // p7
    QCOMPARE(prompts->questions.size(), 1);
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("P7"));
    QCOMPARE(w.RecentProjects().first(), paths[6]);

    // A file that is gone is dropped from the list with a message.
    QFile::remove(paths[4]);
    const int gone = int(w.RecentProjects().indexOf(paths[4]));
    QVERIFY(gone > 0);
    menu(w, "RecentProjects1")->actions()[gone]->trigger();
    QCOMPARE(prompts->messages.size(), 1);
    QVERIFY(prompts->messages[0].contains(QDir::toNativeSeparators(paths[4])));
    QVERIFY(!w.RecentProjects().contains(paths[4]));
    QCOMPARE(menu(w, "RecentProjects1")->actions().size(), 7);
    QCOMPARE(box(w, "txt_project_name")->text(), QStringLiteral("P7"));
}

void DocumentWindowTest::deleteKeyAsksNamingTheComponent() {
    TSDIAppForm& w = *window;
    edit_project(w, [](ReboundFile& p) {
        p.add_component(named("KZ-1"));
        p.add_component(named("KZ-2"));
    });
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    select_row(w, 1);
    component_list(w)->setFocus();

    prompts->questionAnswers = {QMessageBox::No};
    QTest::keyClick(component_list(w), Qt::Key_Delete);
    QCOMPARE(prompts->questions, QStringList{QStringLiteral("Message|Delete component \"KZ-2\"?")});
    QCOMPARE(component_list(w)->rowCount(), 2);

    prompts->questionAnswers = {QMessageBox::Yes};
    QTest::keyClick(component_list(w), Qt::Key_Delete);
    QCOMPARE(component_list(w)->rowCount(), 1);
    QCOMPARE(doc_project(w).components[0].component_name, std::string("KZ-1"));

    // The last component stays, and nothing is asked.
    QTest::keyClick(component_list(w), Qt::Key_Delete);
    QCOMPARE(prompts->questions.size(), 2);
    QCOMPARE(component_list(w)->rowCount(), 1);
}

void DocumentWindowTest::newShortcuts() {
    TSDIAppForm& w = *window;
    QCOMPARE(action(w, "FileSaveAs1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    QCOMPARE(action(w, "act_print")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
    QCOMPARE(action(w, "FileExit1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(action(w, "FileNew1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    box(w, "txt_examine_basis")->setFocus();
    QTRY_VERIFY(box(w, "txt_examine_basis")->hasFocus());
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(prompts->saveFilters.size(), 1);
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(prompts->messages.size(), 1);  // no template here
    QVERIFY(prompts->messages[0].startsWith(QStringLiteral("Print Preview Error!\n")));
    QTest::keyClick(box(w, "txt_examine_basis"), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!w.isVisible());
}

void DocumentWindowTest::windowStateIsKeptPerUser() {
    TSDIAppForm& w = *window;
    w.resize(1100, 750);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    auto* outer = w.findChild<QSplitter*>(QStringLiteral("Splitter1"));
    auto* lower = w.findChild<QSplitter*>(QStringLiteral("Splitter3"));
    QVERIFY(outer && lower);
    outer->setSizes({220, 400});
    lower->setSizes({330, 700});
    component_list(w)->setColumnWidth(0, 50);
    component_list(w)->setColumnWidth(1, 160);
    const QList<int> outerSizes = outer->sizes();
    const QList<int> lowerSizes = lower->sizes();
    QVERIFY(w.close());

    // Nothing lands in the application folder's settings file.
    QFile ini(folder->file(QStringLiteral("Setting/setting.ini")));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(!ini.readAll().contains("Window"));

    window = make_window(prompts);
    TSDIAppForm& again = *window;
    QVERIFY(again.RestoreWindowState());
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.size(), QSize(1100, 750));
    QCOMPARE(again.findChild<QSplitter*>(QStringLiteral("Splitter1"))->sizes(), outerSizes);
    QCOMPARE(again.findChild<QSplitter*>(QStringLiteral("Splitter3"))->sizes(), lowerSizes);
    QCOMPARE(component_list(again)->columnWidth(0), 50);
    QCOMPARE(component_list(again)->columnWidth(1), 160);
}

void DocumentWindowTest::unreadableWindowStateGivesTheDocumentedLayout() {
    {
        const auto settings = window_settings();
        settings->setValue(QStringLiteral("Window/Geometry"), QByteArray("garbage"));
        settings->setValue(QStringLiteral("Window/Splitter1"), QByteArray("\x01\x02\x03", 3));
        settings->setValue(QStringLiteral("Window/ComponentListColumns"), QVariantList{5, 99999});
    }
    window = make_window(prompts);
    TSDIAppForm& w = *window;
    QVERIFY(!w.RestoreWindowState());
    QCOMPARE(component_list(w)->columnWidth(0), 35);
    QCOMPARE(component_list(w)->columnWidth(1), 130);
    w.resize(1000, 700);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QCOMPARE(w.findChild<QSplitter*>(QStringLiteral("Splitter1"))->sizes().first(), 157);

    // No saved state at all: the same.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder->file(QStringLiteral("empty-config")));
    window = make_window(prompts);
    QVERIFY(!window->RestoreWindowState());
    QCOMPARE(component_list(*window)->columnWidth(2), 85);
}

void DocumentWindowTest::fileDialogsRememberTheirOwnFolders() {
    QDir(folder->path()).mkpath(QStringLiteral("projects"));
    QDir(folder->path()).mkpath(QStringLiteral("site/day1"));
    const QString projectFilter = ProjectFilter();
    const QString componentFilter = ComponentFilter();
    QCOMPARE(UserPrompts::StartFolder(projectFilter), QString());

    UserPrompts::RememberFolder(projectFilter, folder->file(QStringLiteral("projects/a.prj")));
    UserPrompts::RememberFolder(componentFilter, folder->file(QStringLiteral("site/day1/K1.cmp")));
    QCOMPARE(UserPrompts::StartFolder(projectFilter), folder->file(QStringLiteral("projects")));
    QCOMPARE(UserPrompts::StartFolder(componentFilter), folder->file(QStringLiteral("site/day1")));
    QCOMPARE(UserPrompts::StartFolder(ExcelFilter()), QString());

    // A folder that is gone is not offered.
    QDir(folder->file(QStringLiteral("site/day1"))).removeRecursively();
    QCOMPARE(UserPrompts::StartFolder(componentFilter), QString());
}

QTEST_MAIN(DocumentWindowTest)
#include "ui_document_window_test.moc"
