// The window's file commands on a folder and files named in Chinese with an
// emoji: import, Save As, Open, component export and report export. The
// names reach the files as the operator chose them, with every character.
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "fileio/exchange.h"
#include "fixtures.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

// Records the files the commands ask the system to open.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    QStringList paths;
public slots:
    void open(const QUrl& url) { paths << url.toLocalFile(); }
};

class FileNamesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        install_font_substitutions();
        platform::set_fixed_today(platform::Date{2026, 12, 10});
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void commandsKeepEveryCharacterOfTheNames();

private:
    OpenedFiles opened;
};

void FileNamesTest::commandsKeepEveryCharacterOfTheNames() {
    AppFolder folder;
    QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("report")));
    QVERIFY(QFile::copy(QStringLiteral(REBOUND_SOURCE_DIR "/data/report/rebound_report1.grf"),
                        folder.file(QStringLiteral("report/rebound_report1.grf"))));
    const QString data = folder.file(QString::fromUtf8("工程数据😀"));
    QVERIFY(QDir().mkpath(data));
    const auto at = [&](const char* utf8) { return data + QLatin1Char('/') + QString::fromUtf8(utf8); };

    DeviceArea area;
    area.fifth = 33.8f;
    write_file(platform::to_path(at("柱😀.cmp")), device_record("KZ-1", {area, area}));

    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<TSDIAppForm> window = make_window(prompts);

    prompts->openAnswers = {at("柱😀.cmp")};
    trigger(*window, "act_import_component");
    QCOMPARE(window->mProject.component_count(), std::size_t{1});

    prompts->saveAnswers = {at("工地😀")};
    trigger(*window, "FileSaveAs1");
    QCOMPARE(window->mFileName, at("工地😀.prj"));
    QVERIFY(QFile::exists(at("工地😀.prj")));
    const ReboundFile saved = window->mProject;

    window->mProject.reset();
    prompts->openAnswers = {at("工地😀.prj")};
    trigger(*window, "FileOpen1");
    QVERIFY(window->mProject == saved);

    window->SelectComponentRow(0);
    prompts->saveAnswers = {at("导出😀")};
    trigger(*window, "act_export_component");
    ComponentInfo exported;
    QCOMPARE(import_component_file(platform::to_path(at("导出😀.xcmp")), exported), ImportStatus::Imported);
    QVERIFY(exported == saved.components[0]);

    prompts->saveAnswers = {at("报告😀")};
    trigger(*window, "act_export2txt");
    QFile report(at("报告😀.txt"));
    QVERIFY(report.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(report.readAll()).contains(QStringLiteral("KZ-1")));
    QCOMPARE(opened.paths, QStringList{at("报告😀.txt")});
    QVERIFY(prompts->messages.isEmpty());
}

QTEST_MAIN(FileNamesTest)
#include "ui_file_names_test.moc"
