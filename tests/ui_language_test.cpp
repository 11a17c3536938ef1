// The window in Simplified Chinese: which language a start chooses, the
// operator's choice kept for the next start, the catalogues found and
// installed, the window's texts in Chinese with the field's terms, and no
// window text left in English when the Chinese catalogue is installed.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QTabWidget>
#include <QTableView>
#include <QXmlStreamReader>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include "fixtures.h"
#include "platform/dates.h"
#include "platform/qt_bridge.h"
#include "ui/about_box.h"
#include "ui/error_text.h"
#include "ui/language.h"
#include "ui/load_strength_curve_form.h"
#include "ui/strength_curve_syn_form.h"
#include "ui/window_settings.h"
#include "ui_window_support.h"

using namespace rebound;
using namespace rebound::test;

namespace {

const QString kCaption = QStringLiteral("Digital Concret Test Hammer Halvorn Instruments V1.2");

// Every fixed text of the window and its dialogs, each with the place it
// shows in, in the order of the window's children: captions, menu entries,
// hints, labels, buttons, list and grid titles, selector entries. Texts that
// the operator types or that come from files (text boxes, list and grid
// cells) are not among them.
QList<QPair<QString, QString>> window_texts(TSDIAppForm& w) {
    QList<QPair<QString, QString>> texts;
    auto add = [&](const QObject* o, const char* what, const QString& text) {
        if (!text.isEmpty()) {
            texts.append({QStringLiteral("%1 %2 %3")
                              .arg(QString::fromLatin1(o->metaObject()->className()), o->objectName(),
                                   QString::fromLatin1(what)),
                          text});
        }
    };
    add(&w, "title", w.windowTitle());
    for (const QWidget* widget : w.findChildren<QWidget*>()) {
        if (widget->isWindow()) {
            add(widget, "title", widget->windowTitle());
        }
        add(widget, "tip", widget->toolTip());
        if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            add(group, "title", group->title());
        } else if (const auto* tabs = qobject_cast<const QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(tabs, "tab", tabs->tabText(i));
            }
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            add(edit, "placeholder", edit->placeholderText());
        } else if (const auto* view = qobject_cast<const QTableView*>(widget);
                   view != nullptr && qobject_cast<const QTableWidget*>(widget) == nullptr && view->model() != nullptr) {
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                add(view, "header", view->model()->headerData(c, Qt::Horizontal).toString());
            }
        }
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            add(label, "text", label->text());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            add(button, "text", button->text());
        } else if (const auto* menu = qobject_cast<const QMenu*>(widget)) {
            add(menu, "title", menu->title());
        } else if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                add(combo, "item", combo->itemText(i));
            }
        } else if (const auto* table = qobject_cast<const QTableWidget*>(widget)) {
            for (int c = 0; c < table->columnCount(); ++c) {
                if (const QTableWidgetItem* header = table->horizontalHeaderItem(c)) {
                    add(table, "header", header->text());
                }
            }
        }
    }
    for (const QAction* action : w.findChildren<QAction*>()) {
        add(action, "text", action->text());
        add(action, "hint", action->statusTip());
        add(action, "tip", action->toolTip());
    }
    return texts;
}

// A text in English: Latin letters and no Chinese. Numbers, signs,
// measures ("0.5mm", ">6 mm", "-.-") and concrete strength grades ("C30") are
// the same in both languages.
//
// The English words of a text: what is left of its Latin letters once the
// placeholders, mnemonics, file patterns, the symbols of the formulas (one or
// two letters: Rm, dm, fe, k, S, A) and the units and names both languages
// write alike are taken out.
QStringList english_words(QString text) {
    static const QRegularExpression shared(
        QStringLiteral("%[0-9n]|\\(&[A-Z0-9]\\)|&[A-Za-z]|\\*\\.[A-Za-z*]+|\\.[A-Za-z]{2,4}\\b|\\b[A-Za-z][0-9]+\\b"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z][A-Za-z0-9_]*"));
    static const QStringList terms = {"MPa", "PDF", "CSV", "Excel", "Word", "fcu", "Fcu", "Ctrl", "Shift", "UTF", "GBK",
                                      "Windows", "normal", "cur"};
    text.remove(shared);
    QStringList words;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QString w = it.next().captured();
        if (w.size() > 2 && !terms.contains(w)) words << w;
    }
    return words;
}

bool is_english(const QString& text) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
    return !english_words(text).isEmpty() && !text.contains(chinese);
}

bool has_chinese(const QString& text) {
    static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(chinese);
}

// The mnemonic letter of a caption ("Cu&t" and "剪切(&T)" give T), or a null
// character when it has none; "&&" is a plain ampersand.
QChar mnemonic(const QString& caption) {
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (caption[i + 1] == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return caption[i + 1].toUpper();
        }
    }
    return {};
}

// Opens every dialog the window makes on demand, so that a walk sees them:
// the About box, the curve dialogs, the curve fit and the batch window.
void open_every_dialog(TSDIAppForm& w) {
    trigger(w, "HelpAbout1");
    trigger(w, "act_create_strength_curve");
    trigger(w, "act_group_caculate");
}

// The menus of the window: the menu bar's, their submenus and the pop-ups.
QList<const QMenu*> every_menu(TSDIAppForm& w) {
    QList<const QMenu*> menus;
    for (const QMenu* m : w.findChildren<QMenu*>()) {
        menus << m;
    }
    return menus;
}

// Where a message names a file, the name is the operator's, in whatever
// script: only the rest is the window's.
QString without_paths(QString text, const QString& folder) {
    text.replace(QDir::toNativeSeparators(folder), QString());
    text.replace(folder, QString());
    static const QRegularExpression file(QStringLiteral("[/\\\\][^\\s:：]*|[\\w.-]+\\.[A-Za-z]{2,4}\\b"));
    return text.remove(file);
}

}  // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { install_font_substitutions(); }
    void init() { folder = std::make_unique<AppFolder>(); }
    void cleanup() {
        chinese.reset();
        window.reset();
        folder.reset();
    }

    void useChinese_data();
    void useChinese();
    void choiceIsKeptPerUser();
    void catalogueFolders();
    void missingCatalogueKeepsEnglish();
    void chineseWindowUsesTheFieldsTerms();
    void everyWindowTextIsTranslated();
    void languageMenuKeepsTheChoiceForTheNextStart();
    void projectFromAnEnglishDesktopOpensWithoutAWord();
    void errorDetailsFollowTheWindowsLanguage();
    void menuMnemonicsAreUniqueInBothLanguages();
    void messagesFollowTheWindowsLanguage_data();
    void messagesFollowTheWindowsLanguage();
    void catalogueKeepsTheLanguagesApart();
    void newComponentsAreNamedInTheWindowsLanguage();

private:
    void startChinese() {
        chinese = ChineseTranslation::Install({QStringLiteral(REBOUND_QM_DIR)});
        QVERIFY2(chinese != nullptr, "rebound_zh_CN.qm not found in " REBOUND_QM_DIR);
    }

    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<ChineseTranslation> chinese;
    std::unique_ptr<TSDIAppForm> window;
    ScriptedPrompts* prompts = nullptr;
};

void LanguageTest::useChinese_data() {
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("uiLanguages");
    QTest::addColumn<bool>("chinese");
    const int system = int(Language::System);
    QTest::newRow("Chinese desktop") << system << "zh-CN en-US" << true;
    QTest::newRow("with script") << system << "zh-Hans-CN" << true;
    QTest::newRow("traditional") << system << "zh_TW" << true;
    QTest::newRow("English first") << system << "en-US zh-CN" << false;
    QTest::newRow("unknown first, then Chinese") << system << "de-DE zh-CN en" << true;
    QTest::newRow("unknown first, then English") << system << "de-DE en-GB zh-CN" << false;
    QTest::newRow("only unknown") << system << "de-DE fr" << false;
    QTest::newRow("C locale") << system << "C" << false;
    QTest::newRow("nothing known") << system << "" << false;
    QTest::newRow("English chosen") << int(Language::English) << "zh-CN" << false;
    QTest::newRow("Chinese chosen") << int(Language::Chinese) << "en-US" << true;
}

void LanguageTest::useChinese() {
    QFETCH(int, choice);
    QFETCH(QString, uiLanguages);
    QFETCH(bool, chinese);
    QCOMPARE(UseChinese(Language(choice), uiLanguages.split(QLatin1Char(' '), Qt::SkipEmptyParts)), chinese);
}

void LanguageTest::choiceIsKeptPerUser() {
    QCOMPARE(StoredLanguage(), Language::System);
    for (Language language : {Language::Chinese, Language::English, Language::System}) {
        StoreLanguage(language);
        QCOMPARE(StoredLanguage(), language);
    }
    // Kept with the window's own state, never in Setting/setting.ini.
    StoreLanguage(Language::Chinese);
    QCOMPARE(window_settings()->value(QStringLiteral("Language")).toString(), QStringLiteral("zh_CN"));
    StoreLanguage(Language::System);
    QVERIFY(!window_settings()->contains(QStringLiteral("Language")));
    // A value written by hand that names no language follows the system.
    window_settings()->setValue(QStringLiteral("Language"), QStringLiteral("klingon"));
    QCOMPARE(StoredLanguage(), Language::System);
}

void LanguageTest::catalogueFolders() {
    // Build tree, Windows install (bin/ beside translations/), Linux install.
    QCOMPARE(TranslationFolders(QStringLiteral("/usr/bin")),
             (QStringList{"/usr/bin/translations", "/usr/translations", "/usr/share/rebound/translations"}));
    QCOMPARE(TranslationFolders(QStringLiteral("C:/Program Files/rebound/bin")).at(1),
             QStringLiteral("C:/Program Files/rebound/translations"));
    // The build tree puts the catalogue beside the window's executable.
    QVERIFY(QFileInfo::exists(QStringLiteral(REBOUND_QM_DIR "/rebound_zh_CN.qm")));
    QCOMPARE(QFileInfo(QStringLiteral(REBOUND_QM_DIR)).fileName(), QStringLiteral("translations"));
}

void LanguageTest::missingCatalogueKeepsEnglish() {
    QVERIFY(ChineseTranslation::Install({folder->path(), QString()}) == nullptr);
    QVERIFY(!ChineseTranslation::Active());
    QCOMPARE(QCoreApplication::translate("rebound::TSDIAppForm", "File(&F)"), QStringLiteral("File(&F)"));

    // The first folder that has the catalogue is used.
    startChinese();
    const auto second = ChineseTranslation::Install({folder->path(), QStringLiteral(REBOUND_QM_DIR)});
    QVERIFY(second != nullptr);
    QCOMPARE(QFileInfo(second->ProgramCatalogue()).absolutePath(),
             QFileInfo(QStringLiteral(REBOUND_QM_DIR)).absoluteFilePath());
}

void LanguageTest::chineseWindowUsesTheFieldsTerms() {
    startChinese();
    QVERIFY(ChineseTranslation::Active());
    // Qt's own dialogs follow: their buttons come from Qt's catalogue.
    QVERIFY2(!chinese->QtCatalogue().isEmpty(), "qtbase_zh_CN.qm not found (Debian: qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));

    window = make_window(prompts);
    TSDIAppForm& w = *window;
    // The caption is the product's, in every language.
    QCOMPARE(w.windowTitle(), kCaption);

    // Menus.
    const QList<QAction*> top = w.menuBar()->actions();
    QCOMPARE(top[0]->text(), QString::fromUtf8("文件(&F)"));
    QCOMPARE(top[2]->text(), QString::fromUtf8("数据(&D)"));
    QCOMPARE(top[3]->text(), QString::fromUtf8("关于(&A)"));
    QCOMPARE(action(w, "FileNew1")->text(), QString::fromUtf8("新建工程(&N)"));
    QCOMPARE(action(w, "FileNew1")->statusTip(), QString::fromUtf8("新建工程文件"));
    QCOMPARE(action(w, "act_import_component")->text(), QString::fromUtf8("导入构件(&I)"));
    QCOMPARE(action(w, "FileNew1")->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    // The entries documented in Chinese read as documented, with their hints.
    const QPair<const char*, const char*> documented[] = {
        {"act_create_component", "新建构件(&C)"}, {"act_create_area", "新建测区(&A)"},
        {"act_remove_area", "删除测区(&R)"},      {"act_export_component", "导出构件(&E)"},
        {"act_create_strength_curve", "建立测强曲线(&B)"}, {"act_group_caculate", "计算批量构件(&G)"}};
    for (const auto& [name, caption] : documented) {
        QCOMPARE(action(w, name)->text(), QString::fromUtf8(caption));
    }
    QCOMPARE(action(w, "act_remove_area")->statusTip(), QString::fromUtf8("删除测区"));
    QCOMPARE(action(w, "EditCut1")->statusTip(), QString::fromUtf8("剪切"));

    // Panels: the labels in front of the boxes.
    QStringList labels;
    for (const QLabel* label : w.findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* term : {"委托单位：", "监理单位：", "检测日期：", "报告编号：", "测区数：", "泵送：",
                             "测强曲线：", "推定值：", "最小值：", "平均值：", "标准差："}) {
        QVERIFY2(labels.contains(QString::fromUtf8(term)), term);
    }
    QCOMPARE(component_list(w)->horizontalHeaderItem(1)->text(), QString::fromUtf8("构件名称"));

    // The grid: titles and the tested surface of each area.
    ComponentInfo c = component_with_areas("KZ-1", 3);
    for (std::uint8_t s = 0; s < 3; ++s) {
        c.area(s).surface_index = s;
    }
    edit_project(w, [&c](ReboundFile& p) { p.add_component(c); });
    QCOMPARE(grid_text(w, kGridDepthColumn, 0), QString::fromUtf8("碳化\n深度"));
    QCOMPARE(grid_text(w, kGridMeanColumn, 0), QString::fromUtf8("平均\n回弹值"));
    QCOMPARE(grid_text(w, kGridAngleColumn, 0), QString::fromUtf8("测试\n角度"));
    // The last column holds the area strength, and is called so.
    QCOMPARE(grid_text(w, kGridStrengthColumn, 0), QString::fromUtf8("测区强度\n(MPa)"));
    QCOMPARE(grid_text(w, kGridSideColumn, 1), QString::fromUtf8("侧面"));
    QCOMPARE(grid_text(w, kGridSideColumn, 2), QString::fromUtf8("表面"));
    QCOMPARE(grid_text(w, kGridSideColumn, 3), QString::fromUtf8("底面"));
    QCOMPARE(grid_text(w, 1, 1), QStringLiteral("30"));

    // A message: a save that fails, and the question before changes are lost.
    prompts->saveAnswers = {folder->file(QStringLiteral("no/such/folder/site"))};
    trigger(w, "FileSaveAs1");
    QCOMPARE(prompts->questions.size(), 1);
    QVERIFY2(prompts->questions[0].startsWith(QString::fromUtf8("数字混凝土回弹仪|保存工程失败！\n")),
             qPrintable(prompts->questions[0]));
    prompts->questions.clear();
    w.Document().setHeaderText(&ReboundFile::report_serial, "R-1");
    prompts->questionAnswers = {QMessageBox::Cancel};
    trigger(w, "FileNew1");
    QCOMPARE(prompts->questions, QStringList{QString::fromUtf8("提示|是否保存对当前工程的修改？")});

    // The file dialogs show the filters' descriptions in Chinese; the filter
    // the window keeps (and tests, and the folder each dialog remembers) stays.
    QCOMPARE(ProjectFilter(), QStringLiteral("Project(*.prj)|*.prj|All Files(*.*)|*.*"));
    QCOMPARE(qt_file_filter(ProjectFilter()),
             QString::fromUtf8("工程文件(*.prj) (*.prj);;所有文件(*.*) (*.*)"));

    // The dialogs.
    QCOMPARE(w.findChild<TAboutBox*>()->windowTitle(), QString::fromUtf8("关于..."));
    QCOMPARE(w.findChild<TAboutBox*>()->OKButton->text(), QString::fromUtf8("确定"));
    QCOMPARE(w.findChild<TStrengthCurve_Syn_Form*>()->CancelBtn->text(), QString::fromUtf8("取消"));
}

void LanguageTest::everyWindowTextIsTranslated() {
    window = make_window(prompts);
    open_every_dialog(*window);
    const QList<QPair<QString, QString>> english = window_texts(*window);
    window.reset();
    startChinese();
    window = make_window(prompts);
    open_every_dialog(*window);
    const QList<QPair<QString, QString>> translated = window_texts(*window);
    QCOMPARE(translated.size(), english.size());

    // The English window is English throughout; only the Chinese language
    // is named in its own script.
    QStringList chineseInEnglish;
    for (const auto& [where, text] : english) {
        if (has_chinese(text) && text != QString::fromUtf8("简体中文")) {
            chineseInEnglish << where + QStringLiteral(": ") + text;
        }
    }
    QVERIFY2(chineseInEnglish.isEmpty(), qPrintable(chineseInEnglish.join(QLatin1Char('\n'))));

    // Texts that are the same in both languages on purpose: the product's
    // name and each language's own name.
    const QStringList same = {kCaption,
                              QStringLiteral("Digital Concret Test Hammer\n       Halvorn Instruments  v1.2"),
                              QStringLiteral("English")};
    QStringList untranslated;
    int translatedCount = 0;
    for (int i = 0; i < english.size(); ++i) {
        QCOMPARE(translated[i].first, english[i].first);
        const QString& text = english[i].second;
        if (translated[i].second != text) {
            ++translatedCount;
        } else if (is_english(text) && !same.contains(text)) {
            untranslated << english[i].first + QStringLiteral(": ") + text;
        }
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QLatin1Char('\n'))));
    // The walk did see the window: menus, panels, grid, dialogs.
    QVERIFY2(translatedCount > 80, qPrintable(QString::number(translatedCount)));
}

void LanguageTest::languageMenuKeepsTheChoiceForTheNextStart() {
    window = make_window(prompts);
    TSDIAppForm& w = *window;
    QVERIFY(action(w, "LanguageSystem1")->isChecked());
    QCOMPARE(action(w, "LanguageChinese1")->text(), QString::fromUtf8("简体中文"));

    // This window is English: choosing Chinese is kept and said.
    QVERIFY(!ChineseTranslation::Active());
    action(w, "LanguageChinese1")->trigger();
    QCOMPARE(StoredLanguage(), Language::Chinese);
    QCOMPARE(prompts->messages,
             QStringList{QString::fromUtf8(
                 "The window will be shown in 简体中文 from the next start of the program.")});
    QVERIFY(action(w, "LanguageChinese1")->isChecked());
    QVERIFY(!action(w, "LanguageSystem1")->isChecked());

    // English again is what the window shows already: kept, nothing to say.
    action(w, "LanguageEnglish1")->trigger();
    QCOMPARE(StoredLanguage(), Language::English);
    QCOMPARE(prompts->messages.size(), 1);

    // The next start checks the stored choice.
    window = make_window(prompts);
    QVERIFY(action(*window, "LanguageEnglish1")->isChecked());
    action(*window, "LanguageSystem1")->trigger();
    QCOMPARE(StoredLanguage(), Language::System);
    const bool systemChinese = UseChinese(Language::System, QLocale::system().uiLanguages());
    QCOMPARE(prompts->messages.size(), systemChinese ? 1 : 0);
}

QTEST_MAIN(LanguageTest)
// A project written on an English desktop (the C locale writes "11 Dec
// 2026") opens in the Chinese window on a Chinese desktop without a message,
// with the same dates; a new project is named in Chinese and stored so.
void LanguageTest::projectFromAnEnglishDesktopOpensWithoutAWord() {
    QLocale::setDefault(QLocale::c());
    ReboundFile english;
    english.agent_date = platform::format_date({2026, 12, 11});
    QCOMPARE(english.agent_date, std::string("11 Dec 2026"));
    ComponentInfo c = component_with_areas("KZ-1", 2);
    c.examine_date = platform::format_date({2026, 12, 9});
    english.add_component(c);
    const QString path = folder->file(QStringLiteral("english.prj"));
    QVERIFY(english.save(platform::to_path(path)));

    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    startChinese();
    window = make_window(prompts);
    TSDIAppForm& w = *window;
    QCOMPARE(box(w, "txt_project_name")->text(), QString::fromUtf8("新建工程"));
    QCOMPARE(doc_project(w).project_name, platform::from_qstring(QString::fromUtf8("新建工程")));
    QVERIFY(!w.Document().isModified());

    prompts->openAnswers = {path};
    trigger(w, "FileOpen1");
    QLocale::setDefault(QLocale::system());
    QVERIFY2(prompts->messages.isEmpty(), qPrintable(prompts->messages.join(QLatin1Char('\n'))));
    QCOMPARE(child<QDateEdit>(w, "dt_agent_date")->date(), QDate(2026, 12, 11));
    QCOMPARE(child<QDateEdit>(w, "dt_examine_date")->date(), QDate(2026, 12, 9));
    QCOMPARE(component_list(w)->item(0, 2)->text(), QStringLiteral("2026/12/9"));
    // Kept as the English desktop wrote it until the operator picks another date.
    trigger(w, "FileSave1");
    ReboundFile saved;
    QVERIFY(saved.load(platform::to_path(path), "today"));
    QCOMPARE(saved.agent_date, std::string("11 Dec 2026"));
}

// The reader's detail under an error headline: the English of the error
// itself in an English window, Chinese throughout in the Chinese one.
void LanguageTest::errorDetailsFollowTheWindowsLanguage() {
    ReboundFile project;
    project.project_name = "site";
    project.add_component(component_with_areas("KZ-1", 3));
    const QString whole = folder->file(QStringLiteral("whole.prj"));
    QVERIFY(project.save(platform::to_path(whole)));
    QFile file(whole);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Cut inside the header, inside a component's texts and inside its areas;
    // and a name length far beyond the end.
    QByteArray huge = bytes;
    huge.replace(0, 4, QByteArray("1234"));
    const QList<QByteArray> broken = {bytes.left(10), bytes.left(bytes.size() / 2), bytes.left(bytes.size() - 7), huge};
    std::vector<FileError> errors;
    for (int i = 0; i < broken.size(); ++i) {
        const QString path = folder->file(QStringLiteral("broken%1.prj").arg(i));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(broken[i]);
        out.close();
        ReboundFile read;
        const Result<void> loaded = read.load(platform::to_path(path), "today");
        QVERIFY(!loaded);
        errors.push_back(loaded.error());
        QVERIFY(!loaded.error().sentences.empty());
        // English: the reader's own message, word for word.
        QCOMPARE(ErrorText::Of(loaded.error()), QString::fromStdString(loaded.error().message));
    }
    startChinese();
    static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
    for (const FileError& error : errors) {
        const QString chinese = ErrorText::Of(error);
        QVERIFY2(!chinese.contains(latin), qPrintable(chinese));
    }
    QVERIFY(ErrorText::Of(errors.back()).contains(QString::fromUtf8("工程名称")));
}

// Alt and a letter reach one entry of a menu, in either language: no two
// entries of a menu share a mnemonic, hidden entries included (edit mode shows
// them), and each translation keeps its entry's letter.
void LanguageTest::menuMnemonicsAreUniqueInBothLanguages() {
    QHash<QString, QChar> englishLetters;
    for (const bool inChinese : {false, true}) {
        if (inChinese) startChinese();
        window = make_window(prompts);
        QStringList clashes;
        QList<const QMenu*> menus = every_menu(*window);
        QMenu bar;  // the menu bar's own entries, as one more menu
        for (QAction* top : window->menuBar()->actions()) bar.addAction(top);
        menus << &bar;
        for (const QMenu* m : menus) {
            QHash<QChar, QString> taken;
            for (const QAction* a : m->actions()) {
                if (a->isSeparator()) continue;
                const QChar letter = mnemonic(a->text());
                const QString key = m->objectName() + QLatin1Char('/') + QString::number(m->actions().indexOf(a));
                if (!inChinese) {
                    englishLetters[key] = letter;
                } else if (englishLetters.contains(key) && englishLetters[key] != letter) {
                    clashes << key + QStringLiteral(": ") + a->text() + QStringLiteral(" changes the letter");
                }
                if (letter.isNull()) continue;
                if (taken.contains(letter)) {
                    clashes << m->objectName() + QStringLiteral(": ") + taken[letter] + QStringLiteral(" / ") +
                                   a->text();
                }
                taken[letter] = a->text();
            }
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QLatin1Char('\n'))));
        // The walk saw the documented entries.
        QCOMPARE(mnemonic(action(*window, "EditCut1")->text()), QLatin1Char('T'));
        QCOMPARE(mnemonic(action(*window, "FileExit1")->text()), QLatin1Char('X'));
        QVERIFY(englishLetters.size() > 30);
        window.reset();
    }
}

void LanguageTest::messagesFollowTheWindowsLanguage_data() {
    QTest::addColumn<bool>("inChinese");
    QTest::newRow("English") << false;
    QTest::newRow("Chinese") << true;
}

// The messages of failed commands, their titles included, read in the
// window's language alone; the names of the files are the operator's.
void LanguageTest::messagesFollowTheWindowsLanguage() {
    QFETCH(bool, inChinese);
    if (inChinese) startChinese();
    window = make_window(prompts);
    TSDIAppForm& w = *window;
    edit_project(w, [](ReboundFile& p) { p.add_component(component_with_areas("KZ-1", 2)); });

    const QString text = folder->file(QStringLiteral("notes.prj"));
    write_file(platform::to_path(text), "this is not a project file\n");
    const QString device = folder->file(QStringLiteral("KZ-2.cmp"));
    write_file(platform::to_path(device), device_record("KZ-2", {DeviceArea{}}));
    const QString cut = folder->file(QStringLiteral("cut.cmp"));
    write_file(platform::to_path(cut), device_record("B1", {DeviceArea{}}, 3));

    prompts->openAnswers = {text, device};
    trigger(w, "FileOpen1");
    trigger(w, "FileOpen1");
    prompts->openAnswers = {cut};
    trigger(w, "act_import_component");
    w.Document().setFileName(folder->file(QStringLiteral("no/such/folder/x.prj")));
    trigger(w, "FileSave1");
    trigger(w, "act_print_preview");  // no report template in this folder
    trigger(w, "act_test_records");
    QCOMPARE(prompts->messages.size(), 5);
    QCOMPARE(prompts->questions.size(), 1);

    // The headlines and their advice.
    const auto line = [](const QString& message, int n) { return message.split(QLatin1Char('\n')).value(n); };
    const QString name = QDir::toNativeSeparators(text);
    const QString deviceName = QDir::toNativeSeparators(device);
    if (inChinese) {
        QCOMPARE(UserPrompts::MessageTitle(), QString::fromUtf8("数字混凝土回弹仪"));
        QCOMPARE(line(prompts->messages[0], 1), name + QString::fromUtf8(" 不是工程文件。"));
        QCOMPARE(line(prompts->messages[1], 1),
                 deviceName + QString::fromUtf8(" 不是工程文件，而是构件文件，请用“导入构件”读取。"));
        QVERIFY(prompts->questions[0].startsWith(QString::fromUtf8("数字混凝土回弹仪|保存工程失败！\n")));
        QVERIFY(prompts->questions[0].endsWith(QString::fromUtf8("\n\n是否将工程另存为其他文件？")));
    } else {
        QCOMPARE(UserPrompts::MessageTitle(), QStringLiteral("Digital Concret Test Hammer"));
        QCOMPARE(line(prompts->messages[0], 0), QStringLiteral("Open Project Fail!"));
        QCOMPARE(line(prompts->messages[0], 1), name + QStringLiteral(" is not a project file."));
        QCOMPARE(line(prompts->messages[1], 1),
                 deviceName + QStringLiteral(" is not a project file but a component file; Import Component reads it."));
        QVERIFY(prompts->questions[0].startsWith(QStringLiteral("Digital Concret Test Hammer|Save Project Fail!\n")));
        QVERIFY(prompts->questions[0].endsWith(QStringLiteral("\n\nSave the project under another name?")));
        QCOMPARE(line(prompts->messages[3], 0), QStringLiteral("Print Preview Error!"));
    }
    // The byte detail follows on a line of its own.
    QCOMPARE(prompts->messages[0].count(QLatin1Char('\n')), 2);
    // Each says why: the reason follows the headline.
    for (const QString& m : prompts->messages) QVERIFY2(m.count(QLatin1Char('\n')) >= 1, qPrintable(m));

    QStringList wrong;
    for (const QString& m : prompts->messages + prompts->questions) {
        const QString own = without_paths(m, folder->path());
        if (inChinese ? !english_words(own).isEmpty() : has_chinese(own)) wrong << m;
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("\n----\n"))));
}

// Every text of the catalogue, the window's and the reports': the English
// source has no Chinese and the Chinese translation no English word. What
// both scripts share: units, file patterns, product names of other programs
// and the placeholders.
void LanguageTest::catalogueKeepsTheLanguagesApart() {
    QFile ts(QStringLiteral(REBOUND_SOURCE_DIR "/translations/rebound_zh_CN.ts"));
    QVERIFY(ts.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&ts);
    QString source;
    QString context;
    QStringList wrong;
    int messages = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
            if (has_chinese(source)) wrong << context + QStringLiteral(" source: ") + source;
        } else if (xml.name() == QLatin1String("translation") || xml.name() == QLatin1String("numerusform")) {
            if (xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished")) {
                wrong << context + QStringLiteral(" unfinished: ") + source;
            }
            const QString translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            ++messages;
            if (const QStringList words = english_words(translation); !words.isEmpty()) {
                wrong << context + QStringLiteral(": ") + source + QStringLiteral(" -> ") + translation +
                             QStringLiteral(" (") + words.join(QLatin1Char(' ')) + QLatin1Char(')');
            }
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    QVERIFY(messages > 400);
}

// A component the window creates is named in the window's language, and so
// is stored.
void LanguageTest::newComponentsAreNamedInTheWindowsLanguage() {
    for (const bool inChinese : {false, true}) {
        if (inChinese) startChinese();
        window = make_window(prompts);
        trigger(*window, "act_create_component");
        const QString expected = inChinese ? QString::fromUtf8("新构件") : QStringLiteral("New Component");
        QCOMPARE(platform::to_qstring(doc_project(*window).components.back().component_name), expected);
        QCOMPARE(component_list(*window)->item(0, 1)->text(), expected);
        window.reset();
    }
}

#include "ui_language_test.moc"
