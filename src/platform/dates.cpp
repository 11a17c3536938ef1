#include "platform/dates.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <array>
#include <utility>

#include "platform/qt_bridge.h"
#include "platform/text_codec.h"

namespace rebound::platform {

namespace {

Date from_qdate(const QDate& d) {
    return Date{d.year(), d.month(), d.day()};
}

// A two-digit year names the year within 80 years before and 20 years after
// today, not a year of the 1900s.
QDate with_century(const QDate& d, const Clock& clock) {
    const int this_year = clock.today().year;
    int year = this_year - this_year % 100 + d.year() % 100;
    if (year > this_year + 20) year -= 100;
    return QDate(year, d.month(), d.day());  // invalid for 29 February of another year
}

bool two_digit_year(const QString& format) {
    return !format.contains(QLatin1String("yyyy")) && format.contains(QLatin1String("yy"));
}

QDate read_with_locale(const QString& s, const QLocale& locale, const QString& format, const Clock& clock) {
    const QDate d = locale.toDate(s, format);
    if (!d.isValid()) return d;
    // The parser takes "11.12.26" for the year 11 in "yyyy/M/d": a
    // four-digit year must be written with four digits.
    if (!two_digit_year(format) && (d.year() < 1000 || d.year() > 9999)) return QDate();
    return two_digit_year(format) ? with_century(d, clock) : d;
}

// True when the locale's short format begins with the month ("M/d/yy").
bool month_first(const QLocale& locale) {
    for (const QChar c : locale.dateFormat(QLocale::ShortFormat)) {
        if (c == QLatin1Char('M')) return true;
        if (c == QLatin1Char('d') || c == QLatin1Char('y')) return false;
    }
    return false;
}

QDate make_date(int year, int month, int day) {
    return QDate::isValid(year, month, day) ? QDate(year, month, day) : QDate();
}

}  // namespace

std::string today_text(const Clock& clock) {
    return format_date(clock.today());
}

std::string format_date(const Date& date) {
    const QDate d(date.year, date.month, date.day);
    return from_qstring(QLocale().toString(d, QLocale::ShortFormat));
}

std::string iso_date(const Date& date) {
    return QDate(date.year, date.month, date.day).toString(Qt::ISODate).toStdString();
}

std::optional<Date> parse_date(std::string_view text, const Clock& clock) {
    const QString s = to_qstring(text).trimmed();
    if (s.isEmpty()) return std::nullopt;
    const QLocale locale;

    // The desktop's own forms first: what this program writes here.
    for (const QLocale::FormatType type : {QLocale::ShortFormat, QLocale::LongFormat}) {
        const QDate d = read_with_locale(s, locale, locale.dateFormat(type), clock);
        if (d.isValid()) return from_qdate(d);
    }

    // Year first, with any of the usual separators (ISO included) or the
    // Chinese year, month and day signs.
    static const QRegularExpression year_first(QString::fromUtf8(
        "^(\\d{4})\\s*(?:([-/.])|年)\\s*(\\d{1,2})\\s*(?:\\2|月)\\s*(\\d{1,2})\\s*日?$"));
    if (const QRegularExpressionMatch m = year_first.match(s); m.hasMatch()) {
        // The separators agree ("2026-12/11" is no date), and 年 goes with 月 and 日.
        const bool signs = m.captured(2).isEmpty();
        if (signs != s.contains(QString::fromUtf8("月"))) return std::nullopt;
        const QDate d = make_date(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
        if (d.isValid()) return from_qdate(d);
        return std::nullopt;
    }

    // Day first with dots, the form of most European desktops.
    static const QRegularExpression dotted(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})$"));
    if (const QRegularExpressionMatch m = dotted.match(s); m.hasMatch()) {
        int day = m.captured(1).toInt();
        int month = m.captured(2).toInt();
        if (month_first(locale)) std::swap(day, month);
        const QString year = m.captured(3);
        QDate d = make_date(year.size() == 4 ? year.toInt() : 2000 + year.toInt(), month, day);
        if (d.isValid() && year.size() == 2) d = with_century(d, clock);
        if (d.isValid()) return from_qdate(d);
        return std::nullopt;
    }

    // English month names, as an English desktop writes its long and medium dates.
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    static const std::array<const char*, 6> english_forms = {"d MMM yyyy", "d MMMM yyyy", "MMM d, yyyy",
                                                             "MMMM d, yyyy", "dddd, d MMMM yyyy",
                                                             "dddd, MMMM d, yyyy"};
    for (const char* form : english_forms) {
        const QDate d = english.toDate(s, QLatin1String(form));
        if (d.isValid()) return from_qdate(d);
    }
    return std::nullopt;
}

std::string report_date_text(std::string_view text, const Clock& clock) {
    if (const auto d = parse_date(text, clock)) return iso_date(*d);
    return std::string(text);
}

}  // namespace rebound::platform
