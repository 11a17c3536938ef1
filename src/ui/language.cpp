#include "ui/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

#include "ui/window_settings.h"

namespace rebound {

namespace {

const char* const kLanguageKey = "Language";
const char* const kProgramCatalogue = "rebound_zh_CN";
const char* const kQtCatalogue = "qtbase_zh_CN";

int gActive = 0;

bool LoadFromFirst(QTranslator& translator, const char* name, const QStringList& folders) {
    for (const QString& folder : folders) {
        if (!folder.isEmpty() && translator.load(QLatin1String(name), folder)) {
            return true;
        }
    }
    return false;
}

}  // namespace

Language StoredLanguage() {
    const QString value = window_settings()->value(QLatin1String(kLanguageKey)).toString();
    if (value == QLatin1String("en")) {
        return Language::English;
    }
    if (value == QLatin1String("zh_CN")) {
        return Language::Chinese;
    }
    return Language::System;
}

void StoreLanguage(Language language) {
    const std::unique_ptr<QSettings> settings = window_settings();
    switch (language) {
        case Language::English:
            settings->setValue(QLatin1String(kLanguageKey), QStringLiteral("en"));
            break;
        case Language::Chinese:
            settings->setValue(QLatin1String(kLanguageKey), QStringLiteral("zh_CN"));
            break;
        case Language::System:
            settings->remove(QLatin1String(kLanguageKey));
            break;
    }
}

bool UseChinese(Language choice, const QStringList& uiLanguages) {
    if (choice != Language::System) {
        return choice == Language::Chinese;
    }
    // "zh-CN", "zh-Hans-CN", "zh_TW", "zh": any Chinese reads Simplified
    // Chinese better than English. A language the program does not have is
    // passed over for the next one the operator reads.
    for (const QString& name : uiLanguages) {
        const QString language =
            name.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (language == QLatin1String("zh")) {
            return true;
        }
        if (language == QLatin1String("en") || language == QLatin1String("c")) {
            return false;
        }
    }
    return false;
}

QStringList TranslationFolders(const QString& executableFolder) {
    const QDir exe(executableFolder);
    return {QDir::cleanPath(exe.filePath(QStringLiteral("translations"))),
            QDir::cleanPath(exe.filePath(QStringLiteral("../translations"))),
            QDir::cleanPath(exe.filePath(QStringLiteral("../share/rebound/translations")))};
}

QStringList TranslationFolders() {
    return TranslationFolders(QCoreApplication::applicationDirPath());
}

std::unique_ptr<ChineseTranslation> ChineseTranslation::Install(const QStringList& folders) {
    std::unique_ptr<ChineseTranslation> t(new ChineseTranslation);
    if (!LoadFromFirst(t->mProgram, kProgramCatalogue, folders)) {
        return nullptr;
    }
    QStringList qtFolders = {QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    qtFolders += folders;
    t->mQtLoaded = LoadFromFirst(t->mQt, kQtCatalogue, qtFolders);
    QCoreApplication::installTranslator(&t->mProgram);
    if (t->mQtLoaded) {
        QCoreApplication::installTranslator(&t->mQt);
    }
    t->mInstalled = true;
    ++gActive;
    return t;
}

ChineseTranslation::~ChineseTranslation() {
    if (!mInstalled) {
        return;
    }
    QCoreApplication::removeTranslator(&mProgram);
    if (mQtLoaded) {
        QCoreApplication::removeTranslator(&mQt);
    }
    --gActive;
}

bool ChineseTranslation::Active() {
    return gActive > 0;
}

std::unique_ptr<ChineseTranslation> InstallStartupLanguage() {
    if (!UseChinese(StoredLanguage(), QLocale::system().uiLanguages())) {
        return nullptr;
    }
    return ChineseTranslation::Install(TranslationFolders());
}

}  // namespace rebound
