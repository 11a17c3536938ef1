// Every modal dialog the main window opens goes through one UserPrompts
// object: file dialogs, questions, simple messages, progress, the printer
// set-up and the window's own modal dialogs. The window owns the object;
// tests replace it with one that answers in advance and records what was
// shown.
#pragma once

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>

class QDialog;
class QPrinter;
class QWidget;

namespace rebound {

// A filter written as "description|patterns|description|patterns", with
// patterns separated by ';', turned into the form of Qt's file dialogs:
// "description (patterns separated by spaces);;...". Descriptions are shown
// as written, translated in the context "FileFilter" when the window's
// language has them; parentheses inside patterns and empty patterns are
// dropped. An empty filter stays empty.
QString qt_file_filter(const QString& pairs);

// A running progress report. update() returns false once the operator has
// asked to stop.
class ProgressHandle {
public:
    virtual ~ProgressHandle() = default;
    virtual bool update(int done) = 0;
};

class UserPrompts {
    Q_DECLARE_TR_FUNCTIONS(UserPrompts)

public:
    explicit UserPrompts(QWidget* parent = nullptr) : mParent(parent) {}
    virtual ~UserPrompts() = default;

    void SetParent(QWidget* parent) { mParent = parent; }

    // The chosen path, or an empty text when the operator cancels. `filter`
    // is in the "description|patterns" form.
    virtual QString openFileName(const QString& filter);
    // Several files at once, in the order the dialog gives them; empty when
    // the operator cancels.
    virtual QStringList openFileNames(const QString& filter);
    // `proposed`, when given, is the file the dialog starts with. The dialog
    // asks before it returns the name of an existing file.
    virtual QString saveFileName(const QString& filter, const QString& proposed = {});
    // A question with the given buttons and no icon; the button pressed, or
    // QMessageBox::Cancel when the box is closed.
    virtual QMessageBox::StandardButton question(const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons);
    // A simple box with an OK button, titled with the application title.
    virtual void message(const QString& text);
    // That title in the window's language.
    static QString MessageTitle();
    // Shows a dialog modally and returns its result.
    virtual int showModal(QDialog& dialog);
    // The platform's page set-up dialog for `printer`; true when the operator
    // accepted it (the printer then holds the choice).
    virtual bool printSetup(QPrinter& printer);
    // A cancellable progress dialog over `total` steps. It appears only when
    // the work takes long enough to be worth watching.
    virtual std::unique_ptr<ProgressHandle> progress(const QString& title, const QString& label, int total);

    // The folder a file dialog with this filter starts in: the folder the
    // last dialog with the same filter ended in (kept per user across
    // sessions), else the current folder.
    static QString StartFolder(const QString& filter);
    static void RememberFolder(const QString& filter, const QString& chosenPath);

protected:
    QWidget* parent() const { return mParent; }

private:
    QWidget* mParent = nullptr;
};

}  // namespace rebound
