// Running a test under a desktop locale with a decimal comma, the way the
// application meets it: Qt sets the C library's locale from the environment
// at start-up, and QLocale's default follows the system's. The locales come
// from scripts/deps.sh; a machine without them fails the test, so that the
// check is never skipped without a word.
#pragma once

#include <QLocale>
#include <QString>
#include <clocale>
#include <cstring>
#include <string>

namespace rebound::test {

// The locales with a decimal comma that the figures are checked under.
inline const char* const kCommaLocales[] = {"de_DE.UTF-8", "fr_FR.UTF-8"};

// The C library's own name of one of those locales: Windows names them by
// language and country with a code page.
inline const char* c_library_locale(const char* name) {
#ifdef _WIN32
    if (std::strcmp(name, "de_DE.UTF-8") == 0) return "German_Germany.1252";
    if (std::strcmp(name, "fr_FR.UTF-8") == 0) return "French_France.1252";
#endif
    return name;
}

// Puts the C library and QLocale's default in `name` for its lifetime and
// restores both after. error() is empty when the locale took effect with a
// decimal comma.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        if (std::setlocale(LC_ALL, c_library_locale(name)) == nullptr) {
            error_ = std::string("the locale ") + name +
                     " is not installed on this machine (scripts/deps.sh generates it)";
            return;
        }
        const std::lconv* conventions = std::localeconv();
        if (conventions == nullptr || std::string(conventions->decimal_point) != ",") {
            error_ = std::string("the locale ") + name + " has no decimal comma";
        }
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
    }
    ~ScopedLocale() {
        std::setlocale(LC_ALL, previous_.c_str());
        QLocale::setDefault(previous_default_);
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    const std::string& error() const { return error_; }

private:
    std::string previous_;
    QLocale previous_default_;
    std::string error_;
};

}  // namespace rebound::test
