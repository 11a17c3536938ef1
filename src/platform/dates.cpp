#include "platform/dates.h"

#include <QDate>
#include <QLocale>

#include "platform/text_codec.h"
#include "platform/qt_bridge.h"

namespace rebound::platform {

namespace {
std::optional<Date> g_fixed_today;

Date from_qdate(const QDate& d) { return Date{d.year(), d.month(), d.day()}; }
}  // namespace

Date today() {
    if (g_fixed_today) {
        return *g_fixed_today;
    }
    return from_qdate(QDate::currentDate());
}

std::string today_text() { return format_date(today()); }

std::string format_date(const Date& date) {
    const QDate d(date.year, date.month, date.day);
    return from_qstring(QLocale().toString(d, QLocale::ShortFormat));
}

std::optional<Date> parse_date(std::string_view text) {
    const QString s = to_qstring(text);
    QLocale locale;
    QDate d = locale.toDate(s, QLocale::ShortFormat);
    if (!d.isValid()) {
        // A two-digit year in the short format would be read as 19xx; the
        // short format is also tried with a four-digit year.
        QString fmt = locale.dateFormat(QLocale::ShortFormat);
        if (!fmt.contains(QLatin1String("yyyy"))) {
            fmt.replace(QLatin1String("yy"), QLatin1String("yyyy"));
            d = locale.toDate(s, fmt);
        }
    }
    if (!d.isValid()) {
        return std::nullopt;
    }
    return from_qdate(d);
}

std::optional<Date> parse_date_lenient(std::string_view text) {
    if (auto d = parse_date(text)) {
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

void set_fixed_today(std::optional<Date> date) { g_fixed_today = date; }

}  // namespace rebound::platform
