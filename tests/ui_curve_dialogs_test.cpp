// The strength-curve selection dialog and the curve synchronisation dialog,
// driven as the operator drives them: shown, entries picked, buttons clicked.
// Every test runs with a fresh temporary folder as the current folder and as
// the application folder of its context, which the dialogs take as their
// start-up folder.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <map>
#include <memory>

#include "evaluation/strength_curve.h"
#include "platform/qt_bridge.h"
#include "settings/app_context.h"
#include "settings/setting.h"
#include "ui/file_list_box.h"
#include "ui/load_strength_curve_form.h"
#include "ui/strength_curve_syn_form.h"

using namespace rebound;

namespace {

Strength_Curve MakeCurve(std::int32_t rows, std::int32_t columns, float first) {
    Strength_Curve curve;
    curve.row_count = rows;
    curve.column_count = columns;
    curve.aux_int_1 = rows + 1;
    curve.aux_real_1 = first / 2;
    for (int i = 0; i < rows * columns; ++i) curve.values.push_back(first + static_cast<float>(i));
    return curve;
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void WriteCurve(const QString& path, const Strength_Curve& curve) {
    const std::string bytes = curve.to_bytes();
    WriteBytes(path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

QByteArray Gbk(const QString& text) {
    const std::string bytes = platform::from_qstring(text);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Value of the curve key in the settings file, read as raw bytes; "<absent>"
// when the section or the key is missing.
QByteArray IniCurveValue(const QString& iniPath) {
    const QByteArray section = "[" + Gbk(QStringLiteral("系统设置")) + "]";
    const QByteArray key = Gbk(QStringLiteral("测强曲线")) + "=";
    bool inSection = false;
    for (QByteArray line : ReadBytes(iniPath).split('\n')) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.startsWith('['))
            inSection = line == section;
        else if (inSection && line.startsWith(key))
            return line.mid(key.size());
    }
    return "<absent>";
}

// Names and bytes of the entries of a folder, subfolders marked.
std::map<QString, QByteArray> Snapshot(const QString& folder) {
    std::map<QString, QByteArray> entries;
    for (const QFileInfo& info :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        entries[info.fileName()] = info.isDir() ? QByteArray("<folder>") : ReadBytes(info.filePath());
    return entries;
}

bool SelectEntry(QListWidget* list, const QString& name) {
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    list->setCurrentItem(found.front(), QItemSelectionModel::ClearAndSelect);
    return true;
}

QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
    return names;
}

int SelectedRow(const QListWidget* list) {
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

}  // namespace

class CurveDialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> mTemp;
    QString mPreviousFolder;
    QString mCurveFolder;
    QString mIniPath;

    std::unique_ptr<AppContext> mContext;

    QString Root() const { return mTemp->path(); }
    setting& Settings() { return mContext->get_setting(); }
    QString CurvePath(const QString& name) const { return mCurveFolder + "/" + name; }

    // The settings store as the main window leaves it at start-up.
    void StartSettings() { (void)Settings().read_ini(); }

private slots:
    void init() {
        mTemp = std::make_unique<QTemporaryDir>();
        QVERIFY(mTemp->isValid());
        mPreviousFolder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(Root()));
        mCurveFolder = Root() + "/curve";
        mIniPath = Root() + "/Setting/setting.ini";
        mContext = std::make_unique<AppContext>(platform::to_path(Root()));
        Settings().curve_file.clear();
    }

    void cleanup() {
        QDir::setCurrent(mPreviousFolder);
        mContext.reset();
        mTemp.reset();
    }

    // --- Selection dialog -------------------------------------------------

    void loadDialogIsBuiltAsLaidOut() {
        TLoadStrengthCurveFrm dialog(*mContext);
        QCOMPARE(dialog.objectName(), QStringLiteral("LoadStrengthCurveFrm"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Load Strength Curve"));
        QCOMPARE(dialog.size(), QSize(299, 227));
        QCOMPARE(dialog.OKBtn->text(), QStringLiteral("OK"));
        QCOMPARE(dialog.CancelBtn->text(), QStringLiteral("Cancel"));
        QVERIFY(dialog.OKBtn->isDefault());
        QCOMPARE(dialog.FileListBox1->geometry(), QRect(8, 25, 283, 161));
        QCOMPARE(dialog.FileListBox1->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(dialog.mCurveFolder, QDir::toNativeSeparators(Root()) + QDir::separator() + "curve");
        QCOMPARE(dialog.mTargetCurve, nullptr);
        QCOMPARE(dialog.findChild<QListWidget*>("FileListBox1"), dialog.FileListBox1);
    }

    void labelShowsStoredCurveName_data() {
        QTest::addColumn<QByteArray>("iniFile");  // empty: first start, no settings folder
        QTest::addColumn<QString>("expected");
        QTest::newRow("first start") << QByteArray() << QStringLiteral("Current strength curve: normal.cuv");
        QTest::newRow("empty name") << QByteArray("[" + Gbk("系统设置") + "]\r\n" + Gbk("测强曲线") + "=\r\n")
                                    << QStringLiteral("Current strength curve: ");
        QTest::newRow("chinese name")
            << QByteArray("[" + Gbk("系统设置") + "]\r\n" + Gbk("测强曲线") + "=" + Gbk("泵送.cur") + "\r\n")
            << QString::fromUtf8("Current strength curve: 泵送.cur");
    }

    void labelShowsStoredCurveName() {
        QFETCH(QByteArray, iniFile);
        QFETCH(QString, expected);
        if (!iniFile.isEmpty()) {
            QVERIFY(QDir(Root()).mkdir("Setting"));
            WriteBytes(mIniPath, iniFile);
        }
        StartSettings();
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.show();
        QCOMPARE(dialog.Label1->text(), expected);
    }

    void listShowsOrdinaryFilesOfCurveFolderSorted() {
        QVERIFY(QDir(Root()).mkpath("curve/sub"));
        for (const char* name : {"b.cur", "A.cur", "notes.txt", "C"}) WriteBytes(CurvePath(name), "x");
        WriteBytes(Root() + "/startup.cur", "x");
        StartSettings();
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.show();
        QCOMPARE(Names(dialog.FileListBox1), (QStringList{"A.cur", "b.cur", "C", "notes.txt"}));
        QCOMPARE(SelectedRow(dialog.FileListBox1), -1);
    }

    void choosingFileReplacesCurveAndStoresName_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("pressEnter");
        QTest::newRow("OK clicked") << "B.cur" << false;
        QTest::newRow("Enter pressed") << "B.cur" << true;
        QTest::newRow("chinese file name") << QStringLiteral("泵送.cur") << false;
        // Only the opening is checked: a file without a curve is read as the
        // reader sees it (here too short for a header) and its name stored.
        QTest::newRow("not a curve") << "notes.txt" << false;
    }

    void choosingFileReplacesCurveAndStoresName() {
        QFETCH(QString, chosen);
        QFETCH(bool, pressEnter);
        QVERIFY(QDir(Root()).mkdir("curve"));
        const Strength_Curve a = MakeCurve(3, 13, 10.0f);
        const Strength_Curve b = MakeCurve(2, 4, 50.0f);
        WriteCurve(CurvePath("A.cur"), a);
        WriteCurve(CurvePath("B.cur"), b);
        WriteCurve(CurvePath(QStringLiteral("泵送.cur")), b);
        WriteBytes(CurvePath("notes.txt"), "abc");
        const Strength_Curve expected = chosen == "notes.txt" ? Strength_Curve{} : b;
        // Another section of the settings file must survive the write.
        QVERIFY(QDir(Root()).mkdir("Setting"));
        WriteBytes(mIniPath,
                   "[Other]\r\nkey=1\r\n[" + Gbk("系统设置") + "]\r\n" + Gbk("测强曲线") + "=A.cur\r\n");
        StartSettings();
        Strength_Curve curve = a;

        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = &curve;
        dialog.show();
        QVERIFY(SelectEntry(dialog.FileListBox1, chosen));
        if (pressEnter)
            QTest::keyClick(dialog.FileListBox1, Qt::Key_Return);
        else
            QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(curve == expected);
        QCOMPARE(Settings().curve_file, platform::from_qstring(chosen));
        QCOMPARE(IniCurveValue(mIniPath), Gbk(chosen));
        QVERIFY(ReadBytes(mIniPath).contains("[Other]\r\nkey=1"));

        // The next start reads the same name.
        setting nextStart;
        nextStart.set_base_folder(platform::to_path(Root()));
        QVERIFY(nextStart.read_ini());
        QCOMPARE(nextStart.curve_file, platform::from_qstring(chosen));
    }

    // Ways of leaving the dialog that must leave curve, stored name and
    // settings file exactly as they were.
    void leavingWithoutChoiceChangesNothing_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("result");
        QTest::newRow("Cancel after choosing") << "cancel" << int(QDialog::Rejected);
        QTest::newRow("Escape after choosing") << "escape" << int(QDialog::Rejected);
        QTest::newRow("window closed") << "close" << int(QDialog::Rejected);
        QTest::newRow("OK with nothing selected") << "ok-nothing" << int(QDialog::Accepted);
        QTest::newRow("OK without a target curve") << "ok-no-target" << int(QDialog::Accepted);
    }

    void leavingWithoutChoiceChangesNothing() {
        QFETCH(QString, way);
        QFETCH(int, result);
        QVERIFY(QDir(Root()).mkdir("curve"));
        const Strength_Curve a = MakeCurve(3, 13, 10.0f);
        WriteCurve(CurvePath("A.cur"), a);
        WriteCurve(CurvePath("B.cur"), MakeCurve(2, 4, 50.0f));
        StartSettings();
        Settings().curve_file = "A.cur";
        QVERIFY(Settings().write_ini());
        const QByteArray iniBefore = ReadBytes(mIniPath);
        Strength_Curve curve = a;

        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = way == "ok-no-target" ? nullptr : &curve;
        dialog.show();
        if (way != "ok-nothing") QVERIFY(SelectEntry(dialog.FileListBox1, "B.cur"));

        if (way == "cancel")
            QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);
        else if (way == "escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else if (way == "close")
            dialog.close();
        else
            QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QVERIFY(curve == a);
        QCOMPARE(Settings().curve_file, std::string("A.cur"));
        QCOMPARE(ReadBytes(mIniPath), iniBefore);
    }

    // A chosen file that cannot be read is named with the reason, and the
    // dialog stays open for another choice; nothing changes meanwhile.
    void unreadableChoiceSaysWhyAndStaysOpen() {
        QVERIFY(QDir(Root()).mkdir("curve"));
        const Strength_Curve a = MakeCurve(3, 13, 10.0f);
        WriteCurve(CurvePath("A.cur"), a);
        WriteCurve(CurvePath("B.cur"), MakeCurve(2, 4, 50.0f));
        StartSettings();
        Settings().curve_file = "A.cur";
        QVERIFY(Settings().write_ini());
        const QByteArray iniBefore = ReadBytes(mIniPath);
        Strength_Curve curve = a;
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = &curve;
        dialog.show();
        dialog.reject();
        QVERIFY(QFile::remove(CurvePath("B.cur")));  // gone after the list was read
        dialog.show();
        QVERIFY(SelectEntry(dialog.FileListBox1, "B.cur"));
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);

        QVERIFY(dialog.isVisible());
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QVERIFY(box->isVisible());
        QVERIFY2(box->text().contains(QStringLiteral("B.cur")), qPrintable(box->text()));
        QVERIFY2(!box->informativeText().isEmpty(), "the reason");
        box->accept();
        QVERIFY(curve == a);
        QCOMPARE(Settings().curve_file, std::string("A.cur"));
        QCOMPARE(ReadBytes(mIniPath), iniBefore);

        // Another choice then closes it as usual.
        QVERIFY(SelectEntry(dialog.FileListBox1, "A.cur"));
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }

    // The curve is taken for this run even when its name cannot be stored;
    // the operator is told that the next start will not know it.
    void settingsThatCannotBeWrittenAreSaid() {
        QVERIFY(QDir(Root()).mkdir("curve"));
        const Strength_Curve b = MakeCurve(2, 4, 50.0f);
        WriteCurve(CurvePath("B.cur"), b);
        StartSettings();
        QFile::remove(mIniPath);
        QVERIFY(QDir().mkpath(mIniPath));  // a folder where the file should go
        Strength_Curve curve;
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = &curve;
        dialog.show();
        QVERIFY(SelectEntry(dialog.FileListBox1, "B.cur"));
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(curve == b);
        QCOMPARE(Settings().curve_file, std::string("B.cur"));
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QVERIFY2(box->text().contains(QStringLiteral("next start")), qPrintable(box->text()));
        QVERIFY(!box->informativeText().isEmpty());
    }

    void secondOpeningKeepsListAndChoice() {
        QVERIFY(QDir(Root()).mkdir("curve"));
        WriteCurve(CurvePath("A.cur"), MakeCurve(1, 1, 1.0f));
        WriteCurve(CurvePath("B.cur"), MakeCurve(2, 2, 2.0f));
        StartSettings();
        Strength_Curve curve;
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = &curve;
        dialog.show();
        QVERIFY(SelectEntry(dialog.FileListBox1, "B.cur"));
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);

        // While the program runs, B.cur gets new content and a file is added.
        const Strength_Curve newer = MakeCurve(4, 3, 7.0f);
        WriteCurve(CurvePath("B.cur"), newer);
        WriteCurve(CurvePath("C.cur"), MakeCurve(1, 1, 3.0f));

        dialog.show();
        QCOMPARE(dialog.Label1->text(), QStringLiteral("Current strength curve: B.cur"));
        QCOMPARE(Names(dialog.FileListBox1), (QStringList{"A.cur", "B.cur"}));
        QCOMPARE(SelectedRow(dialog.FileListBox1), 1);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        QVERIFY(curve == newer);
        QCOMPARE(IniCurveValue(mIniPath), QByteArray("B.cur"));
    }

    void missingCurveFolderKeepsListAndWarns() {
        WriteBytes(Root() + "/startup.bin", "x");
        QVERIFY(QDir(Root()).mkdir("other"));
        StartSettings();  // creates the settings folder, which is not listed
        Strength_Curve curve;
        TLoadStrengthCurveFrm dialog(*mContext);
        dialog.mTargetCurve = &curve;
        dialog.show();
        QCOMPARE(Names(dialog.FileListBox1), QStringList{"startup.bin"});
        auto* box = dialog.findChild<QMessageBox*>();
        QVERIFY(box != nullptr);
        QVERIFY(box->isVisible());
        box->accept();
        dialog.reject();

        // Once the folder exists, the next opening shows it.
        QVERIFY(QDir(Root()).mkdir("curve"));
        WriteCurve(CurvePath("A.cur"), MakeCurve(1, 1, 1.0f));
        dialog.show();
        QCOMPARE(Names(dialog.FileListBox1), QStringList{"A.cur"});
    }

    // --- Synchronisation dialog -------------------------------------------

    void synDialogIsBuiltAsLaidOut() {
        TStrengthCurve_Syn_Form dialog(*mContext);
        QCOMPARE(dialog.objectName(), QStringLiteral("StrengthCurve_Syn_Form"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Choices Dialog"));
        QCOMPARE(dialog.size(), QSize(345, 255));
        QCOMPARE(dialog.SrcLabel->text(), QStringLiteral("Device curves:"));
        QCOMPARE(dialog.DstLabel->text(), QStringLiteral("Curves on this computer:"));
        const std::pair<QPushButton*, const char*> buttons[] = {
            {dialog.IncludeBtn, ">"}, {dialog.IncAllBtn, ">>"}, {dialog.ExcludeBtn, "<"},
            {dialog.ExAllBtn, "<<"},  {dialog.OKBtn, "OK"},     {dialog.CancelBtn, "Cancel"}};
        for (const auto& [button, text] : buttons) QCOMPARE(button->text(), QString(text));
        QVERIFY(dialog.OKBtn->isDefault());
        QCOMPARE(dialog.SrcList->geometry(), QRect(8, 24, 144, 185));
        QCOMPARE(dialog.DstList->geometry(), QRect(190, 25, 144, 185));
    }

    // Each step is "src:N" / "dst:N" (select row N) or a button caption.
    void moveRules_data() {
        QTest::addColumn<QStringList>("srcFiles");
        QTest::addColumn<QStringList>("dstFiles");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expectSrc");
        QTest::addColumn<QStringList>("expectDst");
        QTest::addColumn<int>("expectSrcSel");
        QTest::addColumn<int>("expectDstSel");
        QTest::addColumn<QString>("enabled");  // ">", ">>", "<", "<<" as 1/0

        const QStringList none;
        QTest::newRow("first opening") << QStringList{"a", "b"} << QStringList{"c"} << none
                                       << QStringList{"a", "b"} << QStringList{"c"} << -1 << -1 << "1100";
        QTest::newRow("> with nothing selected selects first")
            << QStringList{"a", "b"} << QStringList{"c"} << QStringList{">"} << QStringList{"a", "b"}
            << QStringList{"c"} << 0 << -1 << "1111";
        QTest::newRow("> on the only entry") << QStringList{"a"} << none << QStringList{"src:0", ">"} << none
                                             << QStringList{"a"} << -1 << -1 << "0011";
        QTest::newRow("> keeps the position")
            << QStringList{"a", "b", "c"} << QStringList{"B2"} << QStringList{"src:1", ">"}
            << QStringList{"a", "c"} << QStringList{"b", "B2"} << 1 << -1 << "1111";
        QTest::newRow("> on the last entry selects the new last")
            << QStringList{"a", "b"} << none << QStringList{"src:1", ">"} << QStringList{"a"}
            << QStringList{"b"} << 0 << -1 << "1111";
        QTest::newRow(">> into empty list sorts") << QStringList{"c", "A", "b"} << none << QStringList{">>"}
                                                  << none << QStringList{"A", "b", "c"} << -1 << -1 << "0011";
        QTest::newRow("same name listed twice")
            << QStringList{"x.cur", "y.cur"} << QStringList{"x.cur"} << QStringList{"src:0", ">"}
            << QStringList{"y.cur"} << QStringList{"x.cur", "x.cur"} << 0 << -1 << "1111";
        QTest::newRow("< stays disabled until a first move")
            << QStringList{"m"} << QStringList{"a", "z"} << QStringList{"dst:1", "<", "<<"}
            << QStringList{"m"} << QStringList{"a", "z"} << -1 << 1 << "1100";
        QTest::newRow("< moves back")
            << QStringList{"m"} << QStringList{"a", "z"} << QStringList{">", "dst:1", "<"}
            << QStringList{"m", "z"} << QStringList{"a"} << 0 << 0 << "1111";
        QTest::newRow("<< empties the right list")
            << QStringList{"m"} << QStringList{"a", "z"} << QStringList{">", "<<"}
            << QStringList{"a", "m", "z"} << none << 1 << -1 << "1100";
        QTest::newRow(">> then << restores")
            << QStringList{"a", "b"} << QStringList{"c"} << QStringList{">>", "<<"}
            << QStringList{"a", "b", "c"} << none << -1 << -1 << "1100";
        QTest::newRow("> on an empty list")
            << none << none << QStringList{">"} << none << none << -1 << -1 << "0000";
    }

    void moveRules() {
        QFETCH(QStringList, srcFiles);
        QFETCH(QStringList, dstFiles);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, expectSrc);
        QFETCH(QStringList, expectDst);
        QFETCH(int, expectSrcSel);
        QFETCH(int, expectDstSel);
        QFETCH(QString, enabled);
        QVERIFY(QDir(Root()).mkdir("curve"));
        for (const QString& name : srcFiles) WriteBytes(Root() + "/" + name, name.toUtf8());
        for (const QString& name : dstFiles) WriteBytes(CurvePath(name), name.toUtf8());

        TStrengthCurve_Syn_Form dialog(*mContext);
        dialog.show();
        QPushButton* const byCaption[] = {dialog.IncludeBtn, dialog.IncAllBtn, dialog.ExcludeBtn,
                                          dialog.ExAllBtn};
        for (const QString& step : steps) {
            if (step.startsWith("src:"))
                dialog.SrcList->setCurrentRow(step.mid(4).toInt(), QItemSelectionModel::ClearAndSelect);
            else if (step.startsWith("dst:"))
                dialog.DstList->setCurrentRow(step.mid(4).toInt(), QItemSelectionModel::ClearAndSelect);
            else
                for (QPushButton* button : byCaption)
                    if (button->text() == step) button->click();
        }

        QCOMPARE(Names(dialog.SrcList), expectSrc);
        QCOMPARE(Names(dialog.DstList), expectDst);
        QCOMPARE(SelectedRow(dialog.SrcList), expectSrcSel);
        QCOMPARE(SelectedRow(dialog.DstList), expectDstSel);
        QString state;
        for (QPushButton* button : byCaption) state += button->isEnabled() ? '1' : '0';
        QCOMPARE(state, enabled);
    }

    void helpersReportAndClampSelection() {
        QVERIFY(QDir(Root()).mkdir("curve"));
        for (const char* name : {"a", "b", "c"}) WriteBytes(Root() + "/" + name, "x");
        TStrengthCurve_Syn_Form dialog(*mContext);
        dialog.show();
        QCOMPARE(dialog.GetFirstSelection(dialog.SrcList), -1);
        const std::pair<int, int> cases[] = {{-1, 0}, {0, 0}, {2, 2}, {3, 2}, {99, 2}};
        for (const auto& [index, row] : cases) {
            dialog.SetItem(dialog.SrcList, index);
            QCOMPARE(dialog.GetFirstSelection(dialog.SrcList), row);
            QCOMPARE(SelectedRow(dialog.SrcList), row);
        }
        dialog.SetItem(dialog.DstList, 0);  // empty list: nothing to select
        QCOMPARE(dialog.GetFirstSelection(dialog.DstList), -1);
    }

    void movesLeaveBothFoldersUntouched() {
        QVERIFY(QDir(Root()).mkpath("curve/nested"));
        WriteCurve(CurvePath("normal.cur"), MakeCurve(2, 2, 1.0f));
        WriteCurve(CurvePath("pump.cur"), MakeCurve(2, 2, 5.0f));
        WriteBytes(Root() + "/device1.cur", "device one");
        WriteBytes(Root() + "/normal.cur", "device normal");
        const auto rootBefore = Snapshot(Root());
        const auto curveBefore = Snapshot(mCurveFolder);

        TStrengthCurve_Syn_Form dialog(*mContext);
        dialog.show();
        dialog.SrcList->setCurrentRow(1, QItemSelectionModel::ClearAndSelect);
        QTest::mouseClick(dialog.IncludeBtn, Qt::LeftButton);
        QTest::mouseClick(dialog.IncAllBtn, Qt::LeftButton);
        QTest::mouseClick(dialog.ExcludeBtn, Qt::LeftButton);  // nothing selected: selects device1.cur
        QTest::mouseClick(dialog.ExcludeBtn, Qt::LeftButton);
        QTest::mouseClick(dialog.OKBtn, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QStringList src = Names(dialog.SrcList);
        const QStringList dst = Names(dialog.DstList);
        QCOMPARE(src, QStringList{"device1.cur"});
        QCOMPARE(dst, (QStringList{"normal.cur", "normal.cur", "pump.cur"}));

        // A later opening shows the lists as they were left.
        dialog.show();
        QCOMPARE(Names(dialog.SrcList), src);
        QCOMPARE(Names(dialog.DstList), dst);
        QTest::mouseClick(dialog.ExAllBtn, Qt::LeftButton);
        QTest::mouseClick(dialog.CancelBtn, Qt::LeftButton);

        QVERIFY(Snapshot(Root()) == rootBefore);
        QVERIFY(Snapshot(mCurveFolder) == curveBefore);
    }
};

QTEST_MAIN(CurveDialogsTest)
#include "ui_curve_dialogs_test.moc"
