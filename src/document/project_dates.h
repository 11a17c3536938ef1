// Dates of a project as dates rather than texts: the key under which two
// texts of the same day compare equal, and the date texts that no known form
// reads (kept as they are, never replaced, and named once per file).
#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

#include "model/rebound_file.h"
#include "platform/clock.h"

namespace rebound {

// The day a date text names, as "yyyy-MM-dd", or the text itself (marked so
// that it never equals a day) when it cannot be read. "11 Dec 2026",
// "2026/12/11" and "11.12.26" give the same key.
std::string date_key(std::string_view text, const platform::Clock& clock);

// A date text of the project that cannot be read.
struct UnreadableDate {
    QString where;  // "Measurement date", "Date of component KZ-1", in the window's language
    QString text;   // the text as stored
};

class ProjectDates {
    Q_DECLARE_TR_FUNCTIONS(ProjectDates)
public:
    // The project's shown dates that cannot be read: the measurement date,
    // the construction date and every component's test date.
    static std::vector<UnreadableDate> unreadable(const ReboundFile& project, const platform::Clock& clock);
    // One message naming them all (at most `listed`, then how many more), or
    // an empty text when there is none.
    static QString message(const std::vector<UnreadableDate>& dates, int listed = 8);
};

}  // namespace rebound
