// Date texts: the bytes are a date text from a project or component file,
// parsed the way the panels and the report parse it, under a locale picked by
// the first byte. A date that parses is a valid calendar date and formats to
// a text that parses back to the same date.
#include <QDate>
#include <QLocale>
#include <cstdint>
#include <optional>
#include <string_view>

#include "fuzz_check.h"
#include "platform/dates.h"

namespace {

const QLocale kLocales[] = {QLocale::c(), QLocale(QLocale::Chinese, QLocale::China),
                            QLocale(QLocale::English, QLocale::UnitedStates),
                            QLocale(QLocale::German, QLocale::Germany)};

bool valid(const rebound::platform::Date& d) {
    return QDate(d.year, d.month, d.day).isValid();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rebound::platform;
    if (size == 0) return 0;
    // A fixed today keeps the two-digit year window the same for every run.
    static const FixedClock clock(Date{2026, 12, 10});
    QLocale::setDefault(kLocales[data[0] % std::size(kLocales)]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

    if (const std::optional<Date> d = parse_date(text, clock)) {
        FUZZ_CHECK(valid(*d));
        // A short format with a two-digit year names only the hundred years
        // that end 20 years after today; within them the short form reads back.
        if (d->year > 2026 + 20 - 100 && d->year <= 2026 + 20) {
            FUZZ_CHECK(parse_date(format_date(*d), clock) == d);
        }
        FUZZ_CHECK(parse_date(iso_date(*d), clock) == d);
    }
    return 0;
}
