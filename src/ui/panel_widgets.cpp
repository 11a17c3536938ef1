#include "ui/panel_widgets.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include "platform/qt_bridge.h"
#include "ui/app_fonts.h"
#include "ui/user_prompts.h"

namespace rebound {

QLabel* new_panel_label(const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setFont(song_font(kPanelFontPixels));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

void make_read_only(QLineEdit* box) {
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) {
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    }
    setDisplayFormat(format);
}

QDate to_qdate(const platform::Date& d) {
    return QDate(d.year, d.month, d.day);
}

platform::Date from_qdate(const QDate& d) {
    return platform::Date{d.year(), d.month(), d.day()};
}

void show_date_text(QDateEdit* picker, const std::string& text, const platform::Clock& clock) {
    // A text no known form reads shows today's date but stays as it is in the
    // project until the operator picks a date; opening the file named such
    // texts once.
    const auto date = platform::parse_date(text, clock);
    picker->setDate(to_qdate(date ? *date : clock.today()));
}

}  // namespace rebound
