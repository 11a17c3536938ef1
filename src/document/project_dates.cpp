#include "document/project_dates.h"

#include "platform/dates.h"
#include "platform/qt_bridge.h"

namespace rebound {

std::string date_key(std::string_view text, const platform::Clock& clock) {
    if (const auto d = platform::parse_date(text, clock)) return platform::iso_date(*d);
    // A leading zero byte: no readable date's key starts so.
    std::string key(1, '\0');
    key.append(text);
    return key;
}

std::vector<UnreadableDate> ProjectDates::unreadable(const ReboundFile& project, const platform::Clock& clock) {
    std::vector<UnreadableDate> out;
    const auto check = [&](const std::string& text, const QString& where) {
        // An empty text is no date at all rather than one that cannot be read.
        if (!text.empty() && !platform::parse_date(text, clock)) out.push_back({where, platform::to_qstring(text)});
    };
    check(project.agent_date, tr("Measurement date"));
    check(project.construction_date, tr("Construction date"));
    for (const ComponentInfo& c : project.components) {
        check(c.examine_date, tr("Date of component %1").arg(platform::to_qstring(c.component_name)));
    }
    return out;
}

QString ProjectDates::message(const std::vector<UnreadableDate>& dates, int listed) {
    if (dates.empty()) return {};
    QStringList lines;
    lines << tr("These dates of the project cannot be read as dates; they are kept unchanged:");
    const int count = static_cast<int>(dates.size());
    for (int i = 0; i < count && i < listed; ++i) {
        lines << tr("%1: \"%2\"").arg(dates[static_cast<std::size_t>(i)].where,
                                       dates[static_cast<std::size_t>(i)].text);
    }
    if (count > listed) lines << tr("and %n more.", nullptr, count - listed);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace rebound
