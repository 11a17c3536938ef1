// A list of the ordinary files of one folder, as the curve dialogs show it:
// file names sorted without regard to case, each with the icon the platform
// draws for the file, no subfolders.
//
// The list knows its folder from construction but reads it only when asked:
// `FillIfEmpty` reads it the first time, `SetDirectory` re-reads the list from
// another folder and leaves entries and selection alone when the folder is the
// one already shown. Entries may be moved between lists freely; the list never
// touches the files themselves.
#pragma once

#include <QListWidget>
#include <QString>

namespace rebound {

class AppContext;

// The start-up folder as the curve dialogs show it (native separators), and
// the curve folder below it.
QString StartUpFolder(const AppContext& context);
QString CurveFolderOf(const AppContext& context);

// A warning of a curve dialog that does not block it: `text`, with `details`
// below it, in a box that `owner` keeps until it is closed.
void ShowDialogWarning(QWidget* owner, const QString& text, const QString& details);
// The warning of a curve dialog whose curve folder does not exist.
void WarnCurveFolderMissing(QWidget* owner, const QString& folder);

class FileListBox : public QListWidget {
    Q_OBJECT
public:
    // `folder` is the folder shown until SetDirectory points elsewhere.
    explicit FileListBox(const QString& folder, QWidget* parent = nullptr);

    // The folder whose files the list shows (or will show once filled).
    QString Directory() const { return mDirectory; }
    // True once the list has been read from a folder.
    bool IsFilled() const { return mFilled; }

    // Reads the list from its folder if it has never been read.
    void FillIfEmpty();
    // Points the list at `folder`. A folder other than the one shown is read
    // afresh; the folder already shown keeps its entries and selection. A
    // folder that does not exist leaves the list as it is and returns false.
    bool SetDirectory(const QString& folder);

    // Adds an entry at its sorted place (duplicates are kept side by side).
    void AddEntry(QListWidgetItem* item);
    // The entry texts from top to bottom.
    QStringList EntryNames() const;

private:
    void ReadFolder(const QString& folder);

    QString mDirectory;
    bool mFilled = false;
};

}  // namespace rebound
