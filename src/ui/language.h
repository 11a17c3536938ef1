// The language of the window: English (the texts as written in the code) or
// Simplified Chinese (the program's catalogue rebound_zh_CN.qm, with Qt's own
// qtbase_zh_CN.qm for the file, print and message dialogs). The operator's
// choice is kept per user with the window's own state; without a choice the
// system's UI languages decide. The choice takes effect at the next start,
// when the catalogues are installed before the first window is built.
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>
#include <memory>

namespace rebound {

enum class Language {
    System,  // follow the system's UI languages
    English,
    Chinese,  // Simplified Chinese
};

// The choice kept per user (key "Language": "en", "zh_CN"; missing or any
// other value means System).
Language StoredLanguage();
void StoreLanguage(Language language);

// Whether the window is to be shown in Chinese: English and Chinese choose
// themselves; System takes the first of the UI languages (most preferred
// first, as QLocale::uiLanguages() lists them) that the program has, English
// or any Chinese, and English when it has none of them.
bool UseChinese(Language choice, const QStringList& uiLanguages);

// The folders searched for the program's catalogue, in order, from the
// executable's folder: "translations" beside it (the build tree), then
// "../translations" (an install on Windows, beside Qt's deployed catalogues)
// and "../share/rebound/translations" (an install on Linux). Without an
// argument, from the running executable's folder.
QStringList TranslationFolders(const QString& executableFolder);
QStringList TranslationFolders();

// The Chinese catalogues, installed into the running application for as
// long as the object lives.
class ChineseTranslation {
public:
    ~ChineseTranslation();
    ChineseTranslation(const ChineseTranslation&) = delete;
    ChineseTranslation& operator=(const ChineseTranslation&) = delete;

    // Loads the program's catalogue from the first of `folders` that has it,
    // and Qt's own from Qt's translations folder (or, failing that, from
    // `folders`), and installs them. Null, with nothing installed, when the
    // program's catalogue is not found: the window then stays English. A
    // missing Qt catalogue leaves only Qt's own dialogs in English.
    static std::unique_ptr<ChineseTranslation> Install(const QStringList& folders);

    // The file the program's texts come from.
    QString ProgramCatalogue() const { return mProgram.filePath(); }
    // Qt's catalogue, or empty when none was found.
    QString QtCatalogue() const { return mQtLoaded ? mQt.filePath() : QString(); }

    // True while a Chinese translation is installed in this process.
    static bool Active();

private:
    ChineseTranslation() = default;
    QTranslator mProgram;
    QTranslator mQt;
    bool mQtLoaded = false;
    bool mInstalled = false;
};

// What a start of the program does before it builds its first window: the
// Chinese catalogues from TranslationFolders() when the stored choice, or
// else the system's UI languages, want Chinese. Null when the program runs in
// English.
std::unique_ptr<ChineseTranslation> InstallStartupLanguage();

}  // namespace rebound
