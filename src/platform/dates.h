// Date texts. Every date in the model is a text in the short date format of the
// default locale (QLocale(), the system locale unless a test sets another);
// this is the one place that produces and parses such texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace rebound::platform {

// The clock's today as a short-date text (ANSI bytes).
std::string today_text(const Clock& clock);
// A date as a short-date text of the default locale (ANSI bytes).
std::string format_date(const Date& date);
// Parses a short-date text of the default locale; nullopt when it does not
// parse. A two-digit year is placed within 80 years before and 20 years after
// the clock's today.
std::optional<Date> parse_date(std::string_view text, const Clock& clock);
// Like parse_date, then falls back to the year-first forms "yyyy-M-d",
// "yyyy/M/d" and "yyyy.M.d", so that a project written under another locale
// still shows its dates.
std::optional<Date> parse_date_lenient(std::string_view text, const Clock& clock);

}  // namespace rebound::platform
