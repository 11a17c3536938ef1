// Date texts. Every date in the model is a text in the short date format of the
// default locale (QLocale(), the system locale unless a test sets another);
// this is the one place that produces and parses such texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace rebound::platform {

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
};

// Today's local date, or the date fixed by set_fixed_today.
Date today();
// today() as a short-date text (ANSI bytes).
std::string today_text();
// A date as a short-date text of the default locale (ANSI bytes).
std::string format_date(const Date& date);
// Parses a short-date text of the default locale; nullopt when it does not parse.
std::optional<Date> parse_date(std::string_view text);
// Like parse_date, then falls back to the year-first forms "yyyy-M-d",
// "yyyy/M/d" and "yyyy.M.d", so that a project written under another locale
// still shows its dates.
std::optional<Date> parse_date_lenient(std::string_view text);

// Test seam: makes today() return a fixed date (nullopt restores the clock).
void set_fixed_today(std::optional<Date> date);

}  // namespace rebound::platform
