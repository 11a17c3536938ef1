// The clock of the tests: today is always 10 December 2026, so that reset
// values, imports and reports do not depend on the day a test runs.
#pragma once

#include <string>

#include "platform/clock.h"
#include "platform/dates.h"

namespace rebound::test {

inline const platform::Clock& fixed_clock() {
    static const platform::FixedClock clock(platform::Date{2026, 12, 10});
    return clock;
}

// fixed_clock()'s today as a short-date text of the current default locale.
inline std::string today() {
    return platform::today_text(fixed_clock());
}

}  // namespace rebound::test
