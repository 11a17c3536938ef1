// The project document: the one project of the window, the file it was last
// opened from or saved to, and the commands that change it (import, create
// and delete components and areas, header and component edits, readings and
// conditions of test areas, evaluation).
//
// The project is read-only to everyone else: every change is a command on the
// document's undo stack, so that it can be undone and redone, and the
// unsaved-changes mark is simply "the stack is not at its saved state". New
// and Open start a new history. The class knows no widgets. It signals what
// changed; the views show it, ask the operator whatever has to be asked and
// call the commands.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUndoStack>

class QAction;
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "evaluation/batch.h"
#include "evaluation/evaluation.h"
#include "evaluation/spare_texts.h"
#include "evaluation/strength_curve.h"
#include "model/rebound_file.h"
#include "platform/clock.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "settings/evaluation_curve.h"

namespace rebound {

class AppContext;

// True when two components hold the same measurement: the same name, the same
// test date and the same readings, area by area. Results, texts and flags are
// not compared: a component exported from one project and imported into
// another after a new calculation is still the same measurement. Dates compare
// as dates: "11 Dec 2026" and "2026/12/11" are the same day (`clock` places
// two-digit years).
bool same_measurement(const ComponentInfo& a, const ComponentInfo& b, const platform::Clock& clock);

// The name a file chosen in a save dialog is written under: `required` (for
// example ".prj") is appended unless the name's extension is exactly that,
// the rule the command-line tool follows too.
QString with_required_extension(const QString& path, const char* required);

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

// The three measuring conditions of a test area, as the grid's selectors
// choose them.
enum class AreaCondition { Carbonation, Angle, Surface };

class ProjectDocument : public QObject {
    Q_OBJECT
public:
    // The context's clock dates new projects, new components and imported
    // device records; the context outlives the document.
    explicit ProjectDocument(const AppContext& context, QObject* parent = nullptr);
    // The context the document was made with (its clock reads dates).
    const AppContext& context() const { return mContext; }
    // The name newProject gives (ANSI bytes); empty: the model's own
    // "New Project". A window sets it in its language.
    void setNewProjectName(std::string name) { mNewProjectName = std::move(name); }
    // The same for the components createComponent makes ("New Component").
    void setNewComponentName(std::string name) { mNewComponentName = std::move(name); }
    ~ProjectDocument() override;

    const ReboundFile& project() const { return mProject; }

    // ---- History ------------------------------------------------------------
    // The window's Undo and Redo: the undo framework's own actions over the
    // document's history, their captions `prefix` and the step's name. Each
    // also ends the present run of typing.
    QAction* createUndoAction(QObject* parent, const QString& prefix);
    QAction* createRedoAction(QObject* parent, const QString& prefix);
    void undo();
    void redo();
    bool canUndo() const { return mUndo.canUndo(); }
    bool canRedo() const { return mUndo.canRedo(); }
    QString undoText() const { return mUndo.undoText(); }
    QString redoText() const { return mUndo.redoText(); }
    // The number of steps in the history, undone ones included.
    int historyCount() const { return mUndo.count(); }

    // The project file last opened or saved; empty for a project never saved.
    const QString& fileName() const { return mFileName; }
    void setFileName(const QString& path);

    // True while the project differs from its last saved (or opened, or new)
    // state as far as the history knows.
    bool isModified() const { return !mUndo.isClean(); }

    // The curve evaluations use (the chosen one or the standard curve), read
    // again only when the choice or the file changed. It is no part of the
    // project file and of its history.
    EvaluationCurve& evaluationCurve() { return mCurve; }
    // The curve of pumped concrete beside the uniform curve, which the
    // project's rule "按泵送曲线" converts pumped components with while the
    // uniform curve is the chosen one (a laboratory curve serves every
    // component).
    EvaluationCurve& pumpedCurve() { return mPumpedCurve; }

    // True when the component's figures did not follow its last edit: its
    // readings or conditions were changed while no usable curve could be
    // had. An evaluation clears it, Undo and Redo restore it; it is not
    // saved, and a project opened or adopted starts without it.
    bool notRecalculated(std::size_t index) const;

    // ---- Whole project ---------------------------------------------------
    // An empty project without a file name and without history.
    void newProject();
    // Reads `path` into a new project and replaces the current one only when
    // the file was read completely; otherwise nothing changes and the error
    // says what is wrong with the file. A new history starts.
    Result<void> open(const QString& path);
    // Takes a project read or built elsewhere as the document's, with the
    // given file name (may be empty); a new history starts, unmodified.
    void adopt(ReboundFile project, const QString& fileName = {});
    // The name a chosen project file name is saved under: ".prj" is appended
    // unless the name already ends in exactly ".prj".
    static QString projectPathFor(const QString& chosen);
    // Takes `path` as the file name, then writes the project there (the name
    // is kept when the write fails, so that Save tries the same file again).
    // An existing file is replaced only by a complete new one. Saving to the
    // document's own file is checked for outside changes as save() is.
    Result<void> saveAs(const QString& path, bool overwriteOutsideChanges = false);
    // Writes the project to its file name; an error when it has none. While
    // the file's lock is held, the file is compared with what was opened or
    // saved here: when another program changed it since, nothing is written
    // and the error is an outside change (isOutsideChange), unless
    // `overwriteOutsideChanges` says the operator chose to overwrite it.
    Result<void> save(bool overwriteOutsideChanges = false);
    // True for the error save() gives when the file changed on disk.
    static bool isOutsideChange(const FileError& error);

    // ---- The file on disk ---------------------------------------------------------
    // True when the document's file changed on disk (or went away) since it
    // was last opened or saved here. `compareContent` also compares a digest
    // of the content when size and time agree (reads the file).
    bool fileChangedOnDisk(bool compareContent = true) const;
    // An outside change the operator has not yet been asked about: the file
    // changed on disk and is not the change last declined.
    bool outsideChangeToOffer() const;
    // Remembers the file as it is now as declined: outsideChangeToOffer()
    // stays false until the file changes again. A later save still asks.
    void declineOutsideChange();
    // Reads the document's file again, as open() does.
    Result<void> reload();

    // ---- Import --------------------------------------------------------------
    // Asked once per import when read components are already in the project;
    // gets their names and returns true to skip them, false to import them
    // all the same.
    using DuplicateQuestion = std::function<bool(const QStringList& names)>;
    // Told before each file is read (`done` files of `total` read so far) and
    // once at the end; returns false to stop reading.
    using ImportProgress = std::function<bool(int done, int total)>;

    // Reads the component files in the given order, one component each, and
    // appends in one undo step the ones that were read completely. Files that
    // fail are reported and add nothing. After a stop, what was read before
    // it is appended.
    ImportReport importFiles(const QStringList& paths, const DuplicateQuestion& skipDuplicates = {},
                             const ImportProgress& progress = {});
    // Appends components in one undo step named `step`; returns the index of
    // the first (the component count when the list is empty).
    std::size_t appendComponents(std::vector<ComponentInfo> components, const QString& step);

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
    // Each is one undo step, and only when the value really changes.
    // Consecutive edits of one text merge into one step until breakTyping().
    void setHeaderText(std::string ReboundFile::*field, std::string value);
    void setComponentName(std::size_t index, std::string name);
    void setComponentCondition(std::size_t index, std::string condition);
    void setPumpTag(std::size_t index, bool pumped);
    void setListChecked(std::size_t index, bool checked);
    // The test date as a model date text, and the strength grade index
    // (grade 20 + 5 x index).
    void setExamineDate(std::size_t index, std::string date);
    void setStrengthDegree(std::size_t index, int degree);
    // Ends the present run of typing: the next text edit is a step of its
    // own even in the same field (the field lost the focus, say).
    void breakTyping() { ++mTypingRun; }

    // What an evaluation did: the results when the component was evaluated,
    // or why no curve could be had (nothing changed then).
    struct Evaluated {
        std::optional<ComponentEvaluation> evaluation;
        std::optional<CurveProblem> curveProblem;
    };
    // Evaluates the component with the evaluation curve in one undo step;
    // neither part for an index past the end.
    // The component's curve_filename takes the name of the curve that
    // converted it; the project's evaluation rules apply.
    Evaluated evaluateComponent(std::size_t index);

    // The project's evaluation rules (pumped concrete, arithmetic), kept in
    // the header's spare texts; setting them is one undo step. False, with
    // nothing changed, when neither header spare text can take them.
    EvaluationRules evaluationRules() const { return read_evaluation_rules(mProject); }
    bool setEvaluationRules(const EvaluationRules& rules);

    // Edits of one test area. With a usable evaluation curve the component
    // is evaluated in the same undo step, so that its results never lag
    // behind its readings; without one the results stay as they were and the
    // component is marked not recalculated. False (nothing changes) for an
    // area that does not exist or a value that is already there. A reading
    // is clamped to 0 to 255; a condition index to its range.
    struct AreaEdit {
        bool changed = false;
        std::optional<ComponentEvaluation> evaluation;  // when evaluated
        std::optional<CurveProblem> curveProblem;       // when changed but not evaluated
    };
    AreaEdit setReading(std::size_t component, std::size_t area, std::size_t reading, int value);
    // A reading typed marks the area's readings as typed by hand
    // (area_flags::kTypedReadings), a condition as entered at the desk
    // (kDeskConditions); Undo takes the mark back with the value.
    AreaEdit setAreaCondition(std::size_t component, std::size_t area, AreaCondition which, int index);

    // ---- Batch --------------------------------------------------------------------
    // The batch settings and cores the project's spare texts hold, and the
    // texts that do not parse (kept as they are).
    ProjectBatchData batchData() const { return read_batch_data(mProject); }
    // Each is one undo step, and only when something changes. The settings
    // and cores go into the spare texts; false, with nothing changed and
    // `problem` naming the text, when a spare text that would have to change
    // does not parse.
    bool setBatchSettings(const BatchSettings& settings, std::string* problem = nullptr);
    // Replaces every core of the project (positions from 0).
    bool setCores(const std::vector<CoreSample>& cores, std::string* problem = nullptr);
    // The ticks (list_checked) of every component at once, one flag per
    // component; a list of another length changes nothing.
    void setTicked(const std::vector<bool>& ticked);

signals:
    // The whole project was replaced (New, Open, adopt).
    void projectReplaced();
    // `count` components were inserted from position `first` on (appended,
    // or put back by Undo).
    void componentsInserted(int first, int count);
    // `count` components from position `first` on were removed.
    void componentsRemoved(int first, int count);
    // Texts, flags, areas or results of one component changed, or whether
    // it is marked not recalculated.
    void componentChanged(int index);
    // The header text `field` changed.
    void headerChanged();
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString& fileName);
    // The batch settings, the cores or the ticks changed (also sent with
    // componentChanged for a component ticked on its own).
    void batchChanged();

private:
    friend class DocumentCommand;
    friend class BatchStateCommand;
    Result<void> write(bool overwriteOutsideChanges);
    void rememberFileIdentity();
    // Puts the header's two spare texts as one undoable step named `step`;
    // nothing is pushed when they do not change.
    void pushHeaderSpareTexts(const QString& step, const HeaderSpareTexts& header);
    // Replaces the component at `index` by `value`, with its mark, and says so.
    void putComponent(std::size_t index, const ComponentInfo& value, bool notRecalculated);
    // How a component step leaves the not-recalculated mark.
    enum class Mark { Keep, Set, Clear };
    // Changes one component in one undo step named `step`: `change` edits a
    // copy, which replaces the component when it differs. `mark`, read after
    // `change` ran (so that the change can decide it), says what becomes of
    // the component's mark; none keeps it. Steps with the same non-negative
    // `mergeKey` on the same component merge while one run of typing lasts;
    // a step of the batch (a tick) also says batchChanged. False when
    // nothing changed or the index is past the end.
    bool changeComponent(std::size_t index, const QString& step, const std::function<void(ComponentInfo&)>& change,
                         int mergeKey = -1, bool batchStep = false, const Mark* mark = nullptr);
    AreaEdit editArea(std::size_t component, std::size_t area, const QString& step,
                      const std::function<void(AreaData&)>& change);

    const AppContext& mContext;
    std::string mNewProjectName;
    std::string mNewComponentName;
    ReboundFile mProject;
    QString mFileName;
    EvaluationCurve mCurve;
    EvaluationCurve mPumpedCurve;
    // The curves an evaluation under the project's rules converts with;
    // nullopt, with `problem` saying why, when one of them cannot be had.
    std::optional<EvaluationCurves> evaluationCurves(CurveProblem* problem);
    // One mark per component, beside the project's list.
    std::vector<bool> mNotRecalculated;
    QUndoStack mUndo;
    int mTypingRun = 0;
    // The file as this document last read or wrote it; what it was when an
    // offered reload was declined.
    platform::FileIdentity mDiskIdentity;
    platform::FileIdentity mDeclinedIdentity;
};

}  // namespace rebound
