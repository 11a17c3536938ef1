// Every modal dialog the main window opens goes through one UserPrompts
// object: file dialogs, questions, simple messages and the window's own modal
// dialogs. The window owns the object; tests replace it with one that answers
// in advance and records what was shown.
#pragma once

#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;
class QWidget;

namespace rebound {

// A filter written as "description|patterns|description|patterns", with
// patterns separated by ';', turned into the form of Qt's file dialogs:
// "description (patterns separated by spaces);;...". Descriptions are kept as
// written; parentheses inside patterns and empty patterns are dropped. An
// empty filter stays empty.
QString qt_file_filter(const QString& pairs);

class UserPrompts {
public:
    explicit UserPrompts(QWidget* parent = nullptr) : mParent(parent) {}
    virtual ~UserPrompts() = default;

    void SetParent(QWidget* parent) { mParent = parent; }

    // The chosen path, or an empty text when the operator cancels. `filter`
    // is in the "description|patterns" form.
    virtual QString openFileName(const QString& filter);
    virtual QString saveFileName(const QString& filter);
    // A question with the given buttons and no icon; the button pressed, or
    // QMessageBox::Cancel when the box is closed.
    virtual QMessageBox::StandardButton question(const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons);
    // A simple box with an OK button, titled with the application title.
    virtual void message(const QString& text);
    // Shows a dialog modally and returns its result.
    virtual int showModal(QDialog& dialog);
    // The platform's printer set-up dialog.
    virtual void printSetup(QPrinter& printer);

protected:
    QWidget* parent() const { return mParent; }

private:
    QWidget* mParent = nullptr;
    // The folder the last file dialog ended in, so that the next one opens
    // there (both dialogs share it, as one pair of dialogs serves all
    // commands).
    QString mLastFolder;
};

}  // namespace rebound
