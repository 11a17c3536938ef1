#include "platform/dates.h"

#include <QDate>
#include <QLocale>

#include "platform/qt_bridge.h"
#include "platform/text_codec.h"

namespace rebound::platform {

namespace {
Date from_qdate(const QDate& d) {
    return Date{d.year(), d.month(), d.day()};
}
}  // namespace

std::string today_text(const Clock& clock) {
    return format_date(clock.today());
}

std::string format_date(const Date& date) {
    const QDate d(date.year, date.month, date.day);
    return from_qstring(QLocale().toString(d, QLocale::ShortFormat));
}

std::optional<Date> parse_date(std::string_view text, const Clock& clock) {
    const QString s = to_qstring(text).trimmed();
    const QLocale locale;
    const QString fmt = locale.dateFormat(QLocale::ShortFormat);
    QDate d = locale.toDate(s, fmt);
    if (!d.isValid()) {
        return std::nullopt;
    }
    if (!fmt.contains(QLatin1String("yyyy")) && fmt.contains(QLatin1String("yy"))) {
        // A two-digit year names the year within 80 years before and 20
        // years after today, not a year of the 1900s.
        const int this_year = clock.today().year;
        int year = this_year - this_year % 100 + d.year() % 100;
        if (year > this_year + 20) year -= 100;
        d = QDate(year, d.month(), d.day());
        if (!d.isValid()) return std::nullopt;  // 29 February of another year
    }
    return from_qdate(d);
}

std::optional<Date> parse_date_lenient(std::string_view text, const Clock& clock) {
    if (auto d = parse_date(text, clock)) {
        return d;
    }
    const QString s = to_qstring(text).trimmed();
    for (const char* fmt : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d"}) {
        const QDate d = QDate::fromString(s, QLatin1String(fmt));
        if (d.isValid()) {
            return from_qdate(d);
        }
    }
    return std::nullopt;
}

}  // namespace rebound::platform
