// Small pieces the project and component panels share: the panels' font
// size, captions, read-only boxes drawn as labels, and date pickers that show
// a model date text.
#pragma once

#include <QDate>
#include <QDateEdit>
#include <QString>
#include <string>

#include "platform/dates.h"

class QLabel;
class QLineEdit;

namespace rebound {

class UserPrompts;

inline constexpr int kPanelFontPixels = 13;

// A caption right-aligned before its box, in the panels' font.
QLabel* new_panel_label(const QString& caption, QWidget* parent);

// A read-only box drawn in the panel's colour, so that it reads as a label.
void make_read_only(QLineEdit* box);

// A date picker that Tab leaves at once, like the other boxes of the panel,
// instead of stepping through the day, month and year first; it shows the
// locale's short date with the year in full.
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QDate to_qdate(const platform::Date& d);
platform::Date from_qdate(const QDate& d);

// Reads a date text into a picker; an unreadable text sets the picker to
// today without a word (the file's unreadable dates are named once, when it
// is opened). The model is not changed.
void show_date_text(QDateEdit* picker, const std::string& text, const platform::Clock& clock);

}  // namespace rebound
