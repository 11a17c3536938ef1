// The project document: the one project of the window, the file it was last
// opened from or saved to, whether it holds changes not yet saved, and the
// commands that change it (new, open, save, import, create and delete
// components and areas, header and component edits).
//
// The class knows no widgets. It signals what changed; the window shows it,
// asks the operator whatever has to be asked and calls the commands. Every
// command that changes the project marks the document modified; New, a
// successful Open and a successful save clear the mark.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "model/rebound_file.h"
#include "platform/file_error.h"

namespace rebound {

class AppContext;

// True when two components hold the same measurement: the same name, the same
// test date and the same readings, area by area. Results, texts and flags are
// not compared: a component exported from one project and imported into
// another after a new calculation is still the same measurement.
bool same_measurement(const ComponentInfo& a, const ComponentInfo& b);

// A file that an import could not take, and why.
struct ImportFailure {
    QString path;
    FileError error;
};

// What an import did.
struct ImportReport {
    int imported = 0;            // components appended to the project
    int duplicates = 0;          // read components already in the project
    bool duplicatesSkipped = false;
    bool cancelled = false;      // reading stopped before the last file
    std::vector<ImportFailure> failures;  // in the order of the files
};

class ProjectDocument : public QObject {
    Q_OBJECT
public:
    // The context's clock dates new projects, new components and imported
    // device records; the context outlives the document.
    explicit ProjectDocument(const AppContext& context, QObject* parent = nullptr);

    ReboundFile& project() { return mProject; }
    const ReboundFile& project() const { return mProject; }

    // The project file last opened or saved; empty for a project never saved.
    const QString& fileName() const { return mFileName; }
    void setFileName(const QString& path);

    bool isModified() const { return mModified; }
    void setModified(bool modified);
    void markModified() { setModified(true); }

    // ---- Whole project ---------------------------------------------------
    // An empty project without a file name.
    void newProject();
    // Reads `path` into a new project and replaces the current one only when
    // the file was read completely; otherwise nothing changes and the error
    // says what is wrong with the file.
    Result<void> open(const QString& path);
    // The name a chosen project file name is saved under: ".prj" is appended
    // unless the name already ends in exactly ".prj".
    static QString projectPathFor(const QString& chosen);
    // Takes `path` as the file name, then writes the project there (the name
    // is kept when the write fails, so that Save tries the same file again).
    // An existing file is replaced only by a complete new one.
    Result<void> saveAs(const QString& path);
    // Writes the project to its file name; an error when it has none.
    Result<void> save();

    // ---- Import --------------------------------------------------------------
    // Asked once per import when read components are already in the project;
    // gets their names and returns true to skip them, false to import them
    // all the same.
    using DuplicateQuestion = std::function<bool(const QStringList& names)>;
    // Told before each file is read (`done` files of `total` read so far) and
    // once at the end; returns false to stop reading.
    using ImportProgress = std::function<bool(int done, int total)>;

    // Reads the component files in the given order, one component each, and
    // appends in one step the ones that were read completely. Files that fail
    // are reported and add nothing. After a stop, what was read before it is
    // appended.
    ImportReport importFiles(const QStringList& paths, const DuplicateQuestion& skipDuplicates = {},
                             const ImportProgress& progress = {});

    // ---- Components and areas ------------------------------------------------
    // Removes the component; false (nothing changes) for an index past the
    // end or when it is the last component of the project.
    bool removeComponent(std::size_t index);
    // Appends a new component holding one cleared area; returns its index.
    std::size_t createComponent();
    // Appends a cleared area to a component, or removes its last area; false
    // for an index past the end (and for removing from a component without
    // areas).
    bool addArea(std::size_t component);
    bool removeLastArea(std::size_t component);

    // ---- Edits ------------------------------------------------------------------
    // Each marks the document modified only when the value really changes.
    void setHeaderText(std::string ReboundFile::*field, std::string value);
    void setComponentName(std::size_t index, std::string name);
    void setComponentCondition(std::size_t index, std::string condition);
    void setPumpTag(std::size_t index, bool pumped);

signals:
    // The whole project was replaced (New, Open).
    void projectReplaced();
    // `count` components were appended from position `first` on.
    void componentsAppended(int first, int count);
    void componentRemoved(int index);
    // The areas of one component changed.
    void areasChanged(int component);
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& fileName);

private:
    Result<void> write();

    const AppContext& mContext;
    ReboundFile mProject;
    QString mFileName;
    bool mModified = false;
};

}  // namespace rebound
