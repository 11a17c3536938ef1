#include "platform/clock.h"

#include <QDate>

namespace rebound::platform {

Date SystemClock::today() const {
    const QDate d = QDate::currentDate();
    return Date{d.year(), d.month(), d.day()};
}

}  // namespace rebound::platform
