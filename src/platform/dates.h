// Date texts. A date is written as a text in the short date format of the
// default locale (QLocale(), the system locale unless a test sets another);
// reading accepts that format and every common unambiguous form, so that a
// project written on a desktop of another language keeps its dates. This is
// the one place that produces and parses such texts.
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
// A date as the reports print it: ISO "yyyy-MM-dd", the same on every desktop.
std::string iso_date(const Date& date);

// Reads a date text (ANSI bytes); nullopt when it is none of these forms:
//   - the default locale's short and long formats;
//   - year first: "yyyy-M-d", "yyyy/M/d", "yyyy.M.d", "yyyy年M月d日";
//   - English month names: "d MMM yyyy", "d MMMM yyyy", "MMM d, yyyy";
//   - dotted day first, "d.M.yyyy" and "d.M.yy" (month first where the
//     default locale's short format begins with the month).
// Slashed forms with the year last ("11/12/2026") are read only as the
// default locale writes them: elsewhere day and month are ambiguous. A
// two-digit year is placed within 80 years before and 20 years after the
// clock's today.
std::optional<Date> parse_date(std::string_view text, const Clock& clock);

// The date of a date text as the reports print it (iso_date), or the text
// itself, unchanged, when it cannot be read.
std::string report_date_text(std::string_view text, const Clock& clock);

}  // namespace rebound::platform
